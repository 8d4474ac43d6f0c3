// marevane-soundgen: renders the game's sound effects and music from the
// compositions in this folder and writes the banks and streams the sound
// tables name.
#include "Effects.h"
#include "Music.h"
#include "SoundFiles.h"
#include "WavFile.h"

#include "audio/FileFormat.h"
#include "sound/SoundTables.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace Marevane;
using namespace Marevane::SoundGen;

namespace {

const char* const kUsage = "usage:\n"
                           "  marevane-soundgen track CODE OUT.cks [--wav OUT.wav]\n"
                           "  marevane-soundgen bank system|battle OUT.ckb [--wav-dir DIR]\n"
                           "  marevane-soundgen silence OUT.wav\n";

constexpr int kMusicRate = 44100;

int track(const std::vector<std::string>& args)
{
    if (args.size() != 2 && !(args.size() == 4 && args[2] == "--wav"))
        throw std::invalid_argument("bad arguments");
    const auto code = static_cast<Sound::BgmCode>(std::atoi(args[0].c_str()));
    const auto started = std::chrono::steady_clock::now();
    const Sound::LoopPos loop = Sound::CBgmLoopSettings::GetInstance().Get(code);
    TrackReport report;
    const SoundTool::Audio audio = renderTrack(compose(code), loop.start, loop.end, kMusicRate, &report);
    SoundTool::Loop points;
    points.start = loop.start;
    points.end = loop.end;
    points.count = -1;
    SoundTool::writeFile(args[1], SoundTool::makeStream(audio, Daz::kFormat_Adpcm, points));
    if (args.size() == 4) SoundTool::writeWav(args[3], audio, SoundTool::WavSamples::Float32);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf(
        "%s: %d frames (%.1f s), loop %d..%d at %.2f bpm (intro %.2f), peak %.1f dBFS, rms %.1f dBFS, "
        "%.1f s\n",
        Sound::CBgmNames::GetInstance().Get(code).c_str(), audio.frames(),
        audio.frames() / static_cast<double>(kMusicRate), report.loopStart, report.loopEnd, report.loopBpm,
        report.introBpm, report.peakDb, report.rmsDb, seconds);
    return 0;
}

int bank(const std::vector<std::string>& args)
{
    if (args.size() != 2 && !(args.size() == 4 && args[2] == "--wav-dir"))
        throw std::invalid_argument("bad arguments");
    const Sound::SeType type = args[0] == "system" ? Sound::SeTypeSystem
                               : args[0] == "battle"
                                   ? Sound::SeTypeBattle
                                   : throw std::invalid_argument("no bank \"" + args[0] + "\"");
    const std::vector<SoundTool::Cue> cues = effectCues(type);
    SoundTool::writeFile(args[1], SoundTool::makeBank(bankName(type), cues, Daz::kFormat_PcmI16));
    for (const SoundTool::Cue& cue : cues) {
        if (args.size() == 4) {
            SoundTool::writeWav(args[3] + "/" + cue.name + ".wav", cue.audio, SoundTool::WavSamples::Float32);
        }
        std::printf("%s: %d frames (%.1f ms)\n", cue.name.c_str(), cue.audio.frames(),
                    cue.audio.frames() * 1000.0 / cue.audio.sampleRate);
    }
    return 0;
}

int silence(const std::vector<std::string>& args)
{
    if (args.size() != 1) throw std::invalid_argument("bad arguments");
    SoundTool::Audio audio;
    audio.channels = 2;
    audio.sampleRate = kMusicRate;
    audio.samples.assign(2 * kMusicRate, 0.0f);
    SoundTool::writeWav(args[0], audio, SoundTool::WavSamples::Pcm16);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    try {
        if (command == "track") return track(args);
        if (command == "bank") return bank(args);
        if (command == "silence") return silence(args);
        std::fprintf(stderr, "marevane-soundgen: unknown command \"%s\"\n%s", command.c_str(), kUsage);
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "marevane-soundgen: %s\n%s", error.what(), kUsage);
        return 1;
    }
}
