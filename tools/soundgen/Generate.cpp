#include "Generate.h"

#include "Effects.h"
#include "Music.h"

#include "sound/SoundTables.h"

namespace Marevane {
namespace SoundGen {

std::vector<unsigned char> trackFile(Sound::BgmCode code, TrackReport* report, SoundTool::Audio* audio)
{
    const Sound::LoopPos loop = Sound::CBgmLoopSettings::GetInstance().Get(code);
    SoundTool::Audio rendered = renderTrack(compose(code), loop.start, loop.end, kMusicRate, report);
    SoundTool::Loop points;
    points.start = loop.start;
    points.end = loop.end;
    points.count = -1;
    std::vector<unsigned char> bytes = SoundTool::makeStream(rendered, Daz::kFormat_Adpcm, points);
    if (audio) *audio = std::move(rendered);
    return bytes;
}

std::vector<unsigned char> bankFile(Sound::SeType type, std::vector<SoundTool::Cue>* cues)
{
    std::vector<SoundTool::Cue> made = effectCues(type);
    std::vector<unsigned char> bytes = SoundTool::makeBank(bankName(type), made, Daz::kFormat_PcmI16);
    if (cues) *cues = std::move(made);
    return bytes;
}

SoundTool::Audio silence()
{
    SoundTool::Audio audio;
    audio.channels = 2;
    audio.sampleRate = kMusicRate;
    audio.samples.assign(2 * kMusicRate * 2, 0.0f);
    return audio;
}

} // namespace SoundGen
} // namespace Marevane
