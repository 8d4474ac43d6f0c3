#include "Generate.h"
#include "WavFile.h"

#include "audio/Bank.h"
#include "audio/BinaryStream.h"
#include "audio/SampleCodec.h"
#include "audio/StreamFile.h"
#include "sound/SoundTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

using namespace Marevane;

namespace {

using Bytes = std::vector<unsigned char>;

constexpr float kCeiling = 0.8913f; // -1 dBFS

// A file the tables name, in the build's sound folder.
std::string builtPath(const std::string& tablePath)
{
    const std::string prefix = "Resources/Sound/";
    EXPECT_EQ(0u, tablePath.rfind(prefix, 0)) << tablePath;
    return std::string(MAREVANE_SOUND_DIR) + "/" + tablePath.substr(prefix.size());
}

struct Stream {
    Daz::SampleInfo info;
    std::vector<float> samples;
};

Stream decodeStream(const Bytes& bytes)
{
    Stream stream;
    Daz::BufferStream reader(bytes.data(), static_cast<int>(bytes.size()));
    EXPECT_TRUE(Daz::StreamFile::readHead(reader, stream.info));
    EXPECT_EQ(static_cast<std::size_t>(Daz::StreamFile::kDataOffset + stream.info.getDataBytes()),
              bytes.size());
    stream.samples.resize(static_cast<std::size_t>(stream.info.getFrames()) * stream.info.channels);
    Daz::SampleCodec::decode(stream.info, bytes.data() + Daz::StreamFile::kDataOffset, stream.info.blocks,
                             stream.samples.data());
    return stream;
}

std::vector<Sound::BgmCode> streamCodes()
{
    std::vector<Sound::BgmCode> codes;
    for (Sound::BgmCode code : Sound::CBgmFilePaths::GetInstance().GetKeysInOrder()) {
        const std::string& path = Sound::CBgmFilePaths::GetInstance().Get(code);
        if (path.size() > 4 && path.compare(path.size() - 4, 4, ".cks") == 0) codes.push_back(code);
    }
    return codes;
}

int blockRounded(int frame)
{
    return static_cast<int>(std::lround(frame / 36.0)) * 36;
}

TEST(GeneratedMusic, EveryTrackIsAStreamLongEnoughForItsLoop)
{
    ASSERT_EQ(11u, streamCodes().size());
    for (Sound::BgmCode code : streamCodes()) {
        SCOPED_TRACE(Sound::CBgmFilePaths::GetInstance().Get(code));
        const Stream stream =
            decodeStream(SoundTool::readFile(builtPath(Sound::CBgmFilePaths::GetInstance().Get(code))));
        const Sound::LoopPos loop = Sound::CBgmLoopSettings::GetInstance().Get(code);
        EXPECT_EQ(Daz::kFormat_Adpcm, stream.info.format);
        EXPECT_EQ(2, stream.info.channels);
        EXPECT_EQ(44100, stream.info.sampleRate);
        EXPECT_EQ(loop.start, stream.info.loopStart);
        EXPECT_EQ(loop.end, stream.info.loopEnd);
        EXPECT_EQ(-1, stream.info.loopCount);
        EXPECT_GT(stream.info.getFrames(), loop.start);
        EXPECT_GE(stream.info.getFrames(), loop.end);
        // Pleasant for minutes needs more than a few bars.
        EXPECT_GT(stream.info.getLengthMs(), 20000.0f);
    }
    const auto frames = [](Sound::BgmCode code) {
        Daz::SampleInfo info;
        const Bytes bytes = SoundTool::readFile(builtPath(Sound::CBgmFilePaths::GetInstance().Get(code)));
        Daz::BufferStream reader(bytes.data(), static_cast<int>(bytes.size()));
        Daz::StreamFile::readHead(reader, info);
        return info.getFrames();
    };
    EXPECT_GT(frames(Sound::BgmTheme), 2646000);
    EXPECT_GT(frames(Sound::BgmSubmarine), 814130);
    EXPECT_GE(frames(Sound::BgmDeathMatch), 6123594);
    EXPECT_GT(frames(Sound::BgmBlueAnthem), 900654);
}

TEST(GeneratedMusic, LoopSeamsAreCleanAndLevelsStayBelowTheCeiling)
{
    for (Sound::BgmCode code : streamCodes()) {
        if (code == Sound::BgmRelaxationAgain) continue;
        SCOPED_TRACE(Sound::CBgmFilePaths::GetInstance().Get(code));
        const Stream stream =
            decodeStream(SoundTool::readFile(builtPath(Sound::CBgmFilePaths::GetInstance().Get(code))));
        const std::vector<float>& x = stream.samples;
        float peak = 0.0f;
        double sum[2] = {0.0, 0.0};
        double energy = 0.0;
        for (std::size_t i = 0; i < x.size(); ++i) {
            peak = std::max(peak, std::fabs(x[i]));
            sum[i % 2] += x[i];
            energy += static_cast<double>(x[i]) * x[i];
        }
        const double frames = static_cast<double>(stream.info.getFrames());
        EXPECT_LE(peak, kCeiling);
        EXPECT_LT(std::fabs(sum[0] / frames), 1e-3);
        EXPECT_LT(std::fabs(sum[1] / frames), 1e-3);
        EXPECT_GT(10.0 * std::log10(energy / x.size()), -30.0);

        // The player turns at whole blocks: after the loop end's last frame
        // comes the loop start's first. That step must be as well predicted
        // from the frames before it as the steps of the music around it.
        const Sound::LoopPos loop = Sound::CBgmLoopSettings::GetInstance().Get(code);
        const int start = blockRounded(loop.start);
        const int end = loop.end < 0 ? stream.info.getFrames() : blockRounded(loop.end);
        for (int c = 0; c < 2; ++c) {
            const auto at = [&](int frame) { return x[static_cast<std::size_t>(frame) * 2 + c]; };
            const auto miss = [](float next, float last, float before) {
                return std::fabs(next - 2 * last + before);
            };
            std::vector<float> misses;
            for (int i = 2; i < 4000; ++i) {
                misses.push_back(miss(at(start + i), at(start + i - 1), at(start + i - 2)));
                misses.push_back(miss(at(end - i), at(end - i - 1), at(end - i - 2)));
            }
            std::nth_element(misses.begin(), misses.begin() + misses.size() * 99 / 100, misses.end());
            EXPECT_LE(miss(at(start), at(end - 1), at(end - 2)), misses[misses.size() * 99 / 100])
                << "channel " << c;
        }
    }
}

TEST(GeneratedEffects, BanksHoldEveryCueOfTheTablesWithFittingLengths)
{
    for (Sound::SeType type : {Sound::SeTypeSystem, Sound::SeTypeBattle}) {
        const std::string path = builtPath(Sound::CSeFilePaths::GetInstance().Get(type));
        SCOPED_TRACE(path);
        CkBank* bank = CkBank::createFromFile(path.c_str(), kCkPathType_AsGiven);
        ASSERT_NE(nullptr, bank);
        EXPECT_STREQ(type == Sound::SeTypeSystem ? "System" : "Battle", bank->getName());
        const std::vector<Sound::SeCode>& codes = Sound::CSeGroupMap::GetInstance().Get(type);
        int index = 0;
        for (Sound::SeCode code : codes) {
            const std::string& cue = Sound::CBankProfiles::GetInstance().Get(code).cue;
            Daz::Bank* holder = nullptr;
            const Daz::BankEntry* entry = Daz::Bank::findEntry(cue.c_str(), &holder);
            if (code == Sound::SeNone) {
                EXPECT_EQ(nullptr, entry) << "\"None\" plays nothing";
                continue;
            }
            ASSERT_NE(nullptr, entry) << cue;
            EXPECT_EQ(bank, holder);
            EXPECT_EQ(cue, bank->getSoundName(index));
            EXPECT_EQ(entry, static_cast<Daz::Bank*>(bank)->getEntry(index));
            ++index;
            EXPECT_EQ(Daz::kFormat_PcmI16, entry->info.format);
            EXPECT_EQ(48000, entry->info.sampleRate);
            const float ms = entry->info.getLengthMs();
            const int ducking = Sound::CSeDuckingSettings::GetInstance().Get(code).milliseconds;
            if (ducking >= 0) {
                EXPECT_FLOAT_EQ(static_cast<float>(ducking), ms) << cue;
            } else if (type == Sound::SeTypeBattle) {
                EXPECT_NEAR(1000.0f, ms, 50.0f) << cue;
            } else {
                EXPECT_LE(ms, 1000.0f) << cue;
            }
            std::vector<float> samples(static_cast<std::size_t>(entry->info.getFrames()));
            Daz::SampleCodec::decode(entry->info, entry->data, entry->info.blocks, samples.data());
            float peak = 0.0f;
            double sum = 0.0;
            for (float value : samples) {
                peak = std::max(peak, std::fabs(value));
                sum += value;
            }
            EXPECT_LE(peak, kCeiling) << cue;
            EXPECT_LT(std::fabs(sum / samples.size()), 1e-3) << cue;
            EXPECT_GT(peak, 0.05f) << cue;
            EXPECT_LT(std::fabs(samples.back()), 0.01f) << cue << " ends in silence";
        }
        EXPECT_EQ(index, bank->getNumSounds());
        bank->destroy();
    }
}

TEST(GeneratedFiles, NoMusicIsAnOggFile)
{
    const Bytes bytes =
        SoundTool::readFile(builtPath(Sound::CBgmFilePaths::GetInstance().Get(Sound::BgmNone)));
    ASSERT_GT(bytes.size(), 4u);
    EXPECT_EQ("OggS", std::string(bytes.begin(), bytes.begin() + 4));
}

TEST(GeneratedFiles, AFreshRenderGivesTheSameBytesAsTheBuild)
{
    EXPECT_EQ(SoundTool::readFile(builtPath(Sound::CSeFilePaths::GetInstance().Get(Sound::SeTypeSystem))),
              SoundGen::bankFile(Sound::SeTypeSystem));
    const Bytes win = SoundGen::trackFile(Sound::BgmWin);
    EXPECT_EQ(SoundTool::readFile(builtPath(Sound::CBgmFilePaths::GetInstance().Get(Sound::BgmWin))), win);
    EXPECT_EQ(win, SoundGen::trackFile(Sound::BgmWin));
}

// Runs the tool; gives its exit status and standard output.
int runTool(const std::string& arguments, std::string& output)
{
    const std::string command = std::string("\"") + MAREVANE_SOUNDTOOL + "\" " + arguments + " 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    char buffer[4096];
    std::size_t got;
    output.clear();
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SoundToolCommand, InfoListsTheBattleCuesAndTheDeathMatchLength)
{
    std::string output;
    ASSERT_EQ(0, runTool("info \"" + std::string(MAREVANE_SOUND_DIR) + "/SE/Battle.ckb\"", output)) << output;
    EXPECT_NE(std::string::npos, output.find("bank \"Battle\": 6 entries"));
    const struct {
        const char* cue;
        const char* length;
    } cues[] = {{"AttackSound", "32640 frames (680.0 ms)"},    {"DamageSound", "64896 frames (1352.0 ms)"},
                {"SinkingSound", "132096 frames (2752.0 ms)"}, {"TorpedoSound", "41856 frames (872.0 ms)"},
                {"SurpriseSound", "48000 frames (1000.0 ms)"}, {"WhistleSound", "48000 frames (1000.0 ms)"}};
    for (const auto& cue : cues) {
        const std::size_t at = output.find(std::string("\"") + cue.cue + "\"");
        ASSERT_NE(std::string::npos, at) << cue.cue;
        const std::size_t line = output.find("pcm16, 1 ch, 48000 Hz, ", at);
        EXPECT_EQ(output.find(cue.length, at), line + 23) << cue.cue;
    }

    ASSERT_EQ(0, runTool("info \"" + std::string(MAREVANE_SOUND_DIR) + "/BGM/007_DeathMatch.cks\"", output));
    std::smatch match;
    ASSERT_TRUE(std::regex_search(output, match, std::regex("adpcm, 2 ch, 44100 Hz, ([0-9]+) frames")));
    EXPECT_GE(std::stol(match[1]), 6123594L);
    EXPECT_NE(std::string::npos, output.find("loop 680375..6123594, loop count -1"));
}

TEST(SoundToolCommand, MakesBanksAndStreamsFromWavFilesAndRefusesBrokenOnes)
{
    char folder[] = "/tmp/marevane-soundtool-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(folder));
    const std::string dir = folder;
    SoundTool::Audio audio;
    audio.channels = 2;
    audio.sampleRate = 22050;
    for (int i = 0; i < 2205; ++i) {
        audio.samples.push_back(0.3f * std::sin(0.05f * i));
        audio.samples.push_back(0.3f * std::cos(0.05f * i));
    }
    SoundTool::writeWav(dir + "/a.wav", audio, SoundTool::WavSamples::Pcm16);
    SoundTool::writeFile(dir + "/broken.wav", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'});
    std::string output;
    EXPECT_EQ(0, runTool("bank " + dir + "/t.ckb --name Tool --format pcm8 One=" + dir + "/a.wav Two=" + dir +
                             "/a.wav",
                         output))
        << output;
    EXPECT_EQ(0,
              runTool("stream " + dir + "/t.cks --format adpcm --loop 36 1800 2 " + dir + "/a.wav", output))
        << output;
    ASSERT_EQ(0, runTool("info " + dir + "/t.ckb " + dir + "/t.cks", output)) << output;
    EXPECT_NE(std::string::npos, output.find("1 \"Two\": 4410 data bytes"));
    EXPECT_NE(std::string::npos, output.find("stream: adpcm, 2 ch, 22050 Hz, 2232 frames"));
    EXPECT_NE(std::string::npos, output.find("loop 36..1800, loop count 2"));

    EXPECT_EQ(1, runTool("stream " + dir + "/b.cks --format pcm16 " + dir + "/broken.wav", output));
    EXPECT_NE(std::string::npos, output.find("broken.wav: no \"fmt \" chunk")) << output;
    EXPECT_EQ(2, runTool("bank " + dir + "/b.ckb --name X --format pcm16 Same=" + dir + "/a.wav Same=" + dir +
                             "/a.wav",
                         output));
    EXPECT_NE(std::string::npos, output.find("cue name \"Same\" is given twice")) << output;
    EXPECT_EQ(1, runTool("info " + dir + "/a.wav", output));
    EXPECT_NE(std::string::npos, output.find("Invalid file marker")) << output;
    for (const char* name : {"a.wav", "broken.wav", "t.ckb", "t.cks"})
        std::remove((dir + "/" + name).c_str());
    std::remove(dir.c_str());
}

} // namespace
