// The sound managers on a running engine whose output the test pumps, with a
// clock the test moves: every 5 ms step runs the timers due, refills the
// streams and renders one block, so the rendered sound is known frame by
// frame. The music and banks are small files of the test's own.
#pragma once

#include "audio/EngineGraph.h"
#include "audio/GraphOutput.h"
#include "audio/SampleCodec.h"
#include "audio/StreamFileThread.h"
#include "model/settings/SystemConfig.h"
#include "sound/BgmManager.h"
#include "sound/SeManager.h"
#include "sound/SoundManager.h"
#include "sound/SoundTables.h"
#include "sound/SoundTimer.h"

#include "QtMessages.h"
#include "tests/audio/SoundFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Marevane::Testing {

constexpr int kRate = 48000;
constexpr int kStepMs = 5;
constexpr int kStepFrames = kRate * kStepMs / 1000;

// A mono 16-bit tone of `ms` milliseconds at a steady level.
inline std::vector<float> Tone(int ms, float level, float hz = 440.0f)
{
    std::vector<float> samples(static_cast<std::size_t>(kRate / 1000 * ms));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = level * std::sin(6.2831853f * hz * static_cast<float>(i) / kRate);
    return samples;
}

inline Daz::SampleInfo ToneInfo(const std::vector<float>& samples)
{
    return Daz::SampleCodec::makeInfo(Daz::kFormat_PcmI16, 1, kRate, static_cast<int>(samples.size()));
}

inline Bytes EncodedTone(const Daz::SampleInfo& info, const std::vector<float>& samples)
{
    Bytes data(static_cast<std::size_t>(info.getDataBytes()));
    EXPECT_TRUE(
        Daz::SampleCodec::encode(info, samples.data(), static_cast<int>(samples.size()), data.data()));
    return data;
}

// The left channel's RMS of a steady mono tone of peak `level`: the centre
// pan gives each side 0.7071 of it.
inline double SteadyRms(double level)
{
    return level * 0.70710678 / std::sqrt(2.0);
}

// Root mean square of the left channel over frames [first, first + count).
inline double Rms(const std::vector<float>& stereo, std::size_t first, std::size_t count)
{
    double sum = 0.0;
    for (std::size_t f = first; f < first + count && 2 * f < stereo.size(); ++f)
        sum += static_cast<double>(stereo[2 * f]) * stereo[2 * f];
    return std::sqrt(sum / static_cast<double>(count));
}

class ManagerTest : public ::testing::Test {
  protected:
    // One cue of a test bank and its length.
    struct Cue {
        const char* name;
        int ms;
    };

    void SetUp() override
    {
        CSystemConfig::GetInstance() = CSystemConfig();
        Sound::CSoundManager::SetFileFolder(folder.path());
        clock = std::make_unique<Sound::CManualClock>();
        StartEngine();
    }

    void TearDown() override
    {
        Sound::CSoundManager::DestroyInstance();
        Daz::OutputChoice::setOverride(nullptr);
        clock.reset();
        Sound::CSoundManager::SetFileFolder("");
        CSystemConfig::GetInstance() = CSystemConfig();
        QtMessages().clear();
    }

    // The sound manager on a pumped output; the stream file thread sleeps, the test refills.
    void StartEngine()
    {
        usePumpedOutput();
        CkConfig config;
        config.logFunc = Daz::Log::getFunc();
        config.streamFileUpdateMs = 1.0e6f;
        ASSERT_TRUE(Sound::CSoundManager::CreateInstance(config)->IsEngineRunning());
        log.lines().clear();
        QtMessages().clear();
    }

    // A track file of the tables: a tone of `ms` at `level`.
    void WriteTrack(Sound::BgmCode code, int ms = 1000, float level = 0.5f)
    {
        const std::vector<float> tone = Tone(ms, level);
        const Daz::SampleInfo info = ToneInfo(tone);
        WriteFile(Sound::CBgmFilePaths::GetInstance().Get(code),
                  streamBytes(info, EncodedTone(info, tone).data()));
    }

    // A bank file of the tables with tones of the given lengths.
    void WriteBank(Sound::SeType type, const std::vector<Cue>& cues)
    {
        std::vector<std::vector<float>> tones;
        std::vector<Bytes> data;
        std::vector<Daz::BankSample> samples;
        for (const Cue& cue : cues) {
            tones.push_back(Tone(cue.ms, 0.25f, 880.0f));
            const Daz::SampleInfo info = ToneInfo(tones.back());
            data.push_back(EncodedTone(info, tones.back()));
            samples.push_back({cue.name, info, nullptr, static_cast<std::uint32_t>(data.back().size())});
        }
        for (std::size_t i = 0; i < samples.size(); ++i) samples[i].data = data[i].data();
        WriteFile(Sound::CSeFilePaths::GetInstance().Get(type), bankBytes("Test", samples));
    }

    // Both banks: the system cues 100 ms long, the battle cues as named.
    void WriteBanks()
    {
        std::vector<Cue> system;
        for (Sound::SeCode code : Sound::CSeGroupMap::GetInstance().Get(Sound::SeTypeSystem)) {
            if (code != Sound::SeNone) system.push_back({CueOf(code), 100});
        }
        WriteBank(Sound::SeTypeSystem, system);
        WriteBank(Sound::SeTypeBattle, {{"AttackSound", 300},
                                        {"DamageSound", 300},
                                        {"SinkingSound", 500},
                                        {"TorpedoSound", 300},
                                        {"SurpriseSound", 700},
                                        {"WhistleSound", 1200}});
    }

    static const char* CueOf(Sound::SeCode code)
    {
        return Sound::CBankProfiles::GetInstance().Get(code).cue.c_str();
    }

    void WriteFile(const std::string& relative, const Bytes& bytes)
    {
        std::filesystem::create_directories(std::filesystem::path(folder.file(relative)).parent_path());
        folder.write(relative, bytes);
    }

    // Moves time on by `ms` in steps of 5 ms: the timers due, a stream
    // refill and one rendered block each; gives the blocks as float stereo.
    std::vector<float> Run(int ms)
    {
        std::vector<float> out;
        for (int t = 0; t < ms; t += kStepMs) {
            clock->Advance(kStepMs);
            Daz::StreamList::fileUpdateAll();
            std::vector<float> block(2 * kStepFrames);
            auto* output = static_cast<Daz::GraphOutputPumped*>(Daz::EngineGraph::get()->getOutput());
            EXPECT_TRUE(output->pump(block.data(), kStepFrames));
            out.insert(out.end(), block.begin(), block.end());
        }
        return out;
    }

    // Runs until `condition` holds, at most `ms`; false when it never did.
    template <typename F> bool RunUntil(F condition, int ms = 2000)
    {
        for (int t = 0; t < ms && !condition(); t += kStepMs) Run(kStepMs);
        return condition();
    }

    std::vector<LogLine> Errors() const
    {
        std::vector<LogLine> errors;
        for (const LogLine& line : log.lines())
            if (line.level == kCkLog_Error) errors.push_back(line);
        return errors;
    }

    static Sound::CBgmManager* Bgm() { return Sound::CBgmManager::GetInstance(); }
    static Sound::CSeManager* Se() { return Sound::CSeManager::GetInstance(); }
    static float BgmMixer() { return Bgm()->GetMixer()->getVolume(); }
    static float SeMixer() { return Se()->GetMixer()->getVolume(); }

    LogCapture log;
    TempFolder folder;
    std::unique_ptr<Sound::CManualClock> clock;
};

} // namespace Marevane::Testing
