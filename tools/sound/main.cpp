// marevane-sound: plays a music track and sound effects through the game's
// own sound managers, for a person to listen to.
//
// The music fades in and loops; each effect ducks it while it sounds; after
// the given seconds the music fades out and the program ends. It plays
// through the sound card (ALSA), or, with MAREVANE_AUDIO_OUTPUT=dummy,
// renders the same sound at once, ahead of real time, into the file that
// MAREVANE_AUDIO_CAPTURE names (raw float stereo at 48000 Hz).
#include "audio/EngineGraph.h"
#include "audio/GraphOutput.h"
#include "audio/Log.h"
#include "audio/StreamFileThread.h"
#include "audio/SystemLinux.h"
#include "sound/BgmManager.h"
#include "sound/SeManager.h"
#include "sound/SoundManager.h"
#include "sound/SoundTables.h"
#include "sound/SoundTimer.h"

#include <QCoreApplication>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace Marevane;

namespace {

const char* const Usage = "usage: marevane-sound --music CODE [--effect CODE]... [--seconds S]\n"
                          "  Plays the music CODE (0 to 11), fading in and looping, and each effect\n"
                          "  CODE (0 to 15) in turn from 2.5 s on, 1.5 s apart, each lowering the music\n"
                          "  while it sounds. After S seconds (default 10) the music fades out (2 s)\n"
                          "  and the program ends.\n"
                          "  MAREVANE_AUDIO_OUTPUT=alsa:DEVICE plays on another ALSA device;\n"
                          "  MAREVANE_AUDIO_OUTPUT=dummy renders ahead of real time, for\n"
                          "  MAREVANE_AUDIO_CAPTURE=FILE (raw float stereo, 48000 Hz).\n"
                          "exit status: 0 played, 1 the engine or the music could not start, 2 bad options\n";

constexpr int FirstEffectMs = 2500;
constexpr int EffectSpacingMs = 1500;
constexpr int StepMs = 5;

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Options {
    Sound::BgmCode music = Sound::BgmNone;
    std::vector<Sound::SeCode> effects;
    double seconds = 10.0;
};

long ParseCode(const std::string& text, const char* what)
{
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0')
        throw UsageError(std::string(what) + " \"" + text + "\" is not a number");
    return value;
}

Options ParseOptions(const std::vector<std::string>& args)
{
    Options options;
    bool hasMusic = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option != "--music" && option != "--effect" && option != "--seconds")
            throw UsageError("unknown option \"" + option + "\"");
        if (i + 1 >= args.size()) throw UsageError(option + " needs a value");
        const std::string& value = args[++i];
        if (option == "--music") {
            const long code = ParseCode(value, "music code");
            if (code < 0 || !Sound::CBgmFilePaths::GetInstance().Contains(static_cast<Sound::BgmCode>(code)))
                throw UsageError("no music has the code " + value + " (codes 0 to 11)");
            options.music = static_cast<Sound::BgmCode>(code);
            hasMusic = true;
        } else if (option == "--effect") {
            const long code = ParseCode(value, "effect code");
            if (code < 0 || !Sound::CBankProfiles::GetInstance().Contains(static_cast<Sound::SeCode>(code)))
                throw UsageError("no sound effect has the code " + value + " (codes 0 to 15)");
            options.effects.push_back(static_cast<Sound::SeCode>(code));
        } else {
            char* end = nullptr;
            options.seconds = std::strtod(value.c_str(), &end);
            if (value.empty() || *end != '\0' || !(options.seconds > 0.0) || options.seconds > 86400.0)
                throw UsageError("--seconds takes a number of seconds above 0, not \"" + value + "\"");
        }
    }
    if (!hasMusic) throw UsageError("--music CODE is missing");
    return options;
}

void EngineLog(int level, const char* message)
{
    std::fprintf(stderr, "marevane-sound: %s: %s\n", Daz::Log::levelWord(level), message);
}

bool IsRenderingAhead()
{
    const char* output = std::getenv("MAREVANE_AUDIO_OUTPUT");
    return output != nullptr && std::strcmp(output, "dummy") == 0;
}

int Play(const Options& options)
{
    // Rendering ahead: a pumped output and a clock this loop moves, so the
    // managers see the same time as the rendered sound.
    std::unique_ptr<Sound::CManualClock> clock;
    if (IsRenderingAhead()) {
        Daz::OutputChoice pumped;
        pumped.kind = Daz::OutputChoice::kPumped;
        Daz::OutputChoice::setOverride(&pumped);
        clock = std::make_unique<Sound::CManualClock>();
    }
    CkConfig config;
    config.logMask = kCkLog_Warning | kCkLog_Error;
    config.logFunc = EngineLog;
    if (!Sound::CSoundManager::CreateInstance(config)->IsEngineRunning()) {
        std::fprintf(stderr, "marevane-sound: the audio engine could not start\n");
        Sound::CSoundManager::DestroyInstance();
        return 1;
    }

    Sound::CBgmManager* bgm = Sound::CBgmManager::GetInstance();
    Sound::CSeManager* se = Sound::CSeManager::GetInstance();
    bgm->SetFadeInEnabled(true);
    bgm->SetFadeOutEnabled(true);
    bgm->SetLoopEnabled(true);
    std::printf("music %u \"%s\" for %g s\n", static_cast<unsigned>(options.music),
                Sound::CBgmNames::GetInstance().Get(options.music).c_str(), options.seconds);
    bgm->Play(options.music);
    if (bgm->GetCurrentSound() == nullptr) {
        std::fprintf(stderr, "marevane-sound: the music file \"%s\" could not be opened\n",
                     Sound::CBgmFilePaths::GetInstance().Get(options.music).c_str());
        Sound::CSoundManager::DestroyInstance();
        return 1;
    }

    const int endMs = static_cast<int>(std::lround(options.seconds * 1000.0));
    bool isDone = false;
    QObject::connect(bgm, &Sound::CBgmManager::Stopped, [&isDone] { isDone = true; });
    Sound::CSingleShots steps;
    for (std::size_t k = 0; k < options.effects.size(); ++k) {
        const int at = FirstEffectMs + EffectSpacingMs * static_cast<int>(k);
        if (at >= endMs) break;
        const Sound::SeCode code = options.effects[k];
        steps.After(at, [se, code, at] {
            std::printf("effect %u \"%s\" at %.1f s\n", static_cast<unsigned>(code),
                        Sound::CSeNames::GetInstance().Get(code).c_str(), at / 1000.0);
            std::fflush(stdout);
            se->Play(code, true);
        });
    }
    steps.After(endMs, [bgm, &isDone] {
        std::printf("fading out\n");
        std::fflush(stdout);
        // A track that could not be read has nothing to fade.
        if (bgm->GetCurrentSound() == nullptr) isDone = true;
        bgm->Stop();
    });
    // However the music ends, the program does too.
    steps.After(endMs + 5000, [&isDone] { isDone = true; });

    if (clock) {
        auto* output = static_cast<Daz::GraphOutputPumped*>(Daz::EngineGraph::get()->getOutput());
        const int frames = output->getBlockFrames();
        std::vector<float> block(static_cast<std::size_t>(2 * frames));
        const int stepMs = frames * 1000 / 48000;
        while (!isDone) {
            clock->Advance(stepMs > 0 ? stepMs : StepMs);
            Daz::StreamList::fileUpdateAll();
            output->pump(block.data(), frames);
        }
    } else {
        QObject::connect(bgm, &Sound::CBgmManager::Stopped, [] { QCoreApplication::quit(); });
        steps.After(endMs + 5000, [] { QCoreApplication::quit(); });
        if (!isDone) QCoreApplication::exec();
    }
    steps.CancelAll();
    Sound::CSoundManager::DestroyInstance();
    Daz::OutputChoice::setOverride(nullptr);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(Usage, stdout);
        return 0;
    }
    Options options;
    try {
        options = ParseOptions(args);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "marevane-sound: %s\n%s", error.what(), Usage);
        return 2;
    }
    QCoreApplication application(argc, argv);
    try {
        return Play(options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "marevane-sound: %s\n", error.what());
        return 1;
    }
}
