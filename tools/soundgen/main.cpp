// marevane-soundgen: renders the game's sound effects and music from the
// compositions in this folder and writes the banks and streams the sound
// tables name.
#include "Generate.h"
#include "SoundFiles.h"
#include "WavFile.h"

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

int track(const std::vector<std::string>& args)
{
    if (args.size() != 2 && !(args.size() == 4 && args[2] == "--wav")) {
        throw std::invalid_argument("bad arguments");
    }
    const auto code = static_cast<Sound::BgmCode>(std::atoi(args[0].c_str()));
    const auto started = std::chrono::steady_clock::now();
    TrackReport report;
    SoundTool::Audio audio;
    SoundTool::writeFile(args[1], trackFile(code, &report, &audio));
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
    if (args.size() != 2 && !(args.size() == 4 && args[2] == "--wav-dir")) {
        throw std::invalid_argument("bad arguments");
    }
    const Sound::SeType type = args[0] == "system" ? Sound::SeTypeSystem
                               : args[0] == "battle"
                                   ? Sound::SeTypeBattle
                                   : throw std::invalid_argument("no bank \"" + args[0] + "\"");
    std::vector<SoundTool::Cue> cues;
    SoundTool::writeFile(args[1], bankFile(type, &cues));
    for (const SoundTool::Cue& cue : cues) {
        if (args.size() == 4) {
            SoundTool::writeWav(args[3] + "/" + cue.name + ".wav", cue.audio, SoundTool::WavSamples::Float32);
        }
        std::printf("%s: %d frames (%.1f ms)\n", cue.name.c_str(), cue.audio.frames(),
                    cue.audio.frames() * 1000.0 / cue.audio.sampleRate);
    }
    return 0;
}

int writeSilence(const std::vector<std::string>& args)
{
    if (args.size() != 1) throw std::invalid_argument("bad arguments");
    SoundTool::writeWav(args[0], silence(), SoundTool::WavSamples::Pcm16);
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
        if (command == "silence") return writeSilence(args);
        std::fprintf(stderr, "marevane-soundgen: unknown command \"%s\"\n%s", command.c_str(), kUsage);
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "marevane-soundgen: %s\n%s", error.what(), kUsage);
        return 1;
    }
}
