// Banks and streams made by our sound tool and the generator, played by the engine.
#if defined(MAREVANE_SOUNDTOOL) && defined(MAREVANE_SOUND_DIR)

#include "SoundFixture.h"

#include <algorithm>
#include <dirent.h>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>

using namespace Daz;

namespace {

const std::string kSoundDir = MAREVANE_SOUND_DIR;

Bytes readBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// Runs a command line and gives its exit status.
int run(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str());
}

// The 16-bit samples of a PCM WAV file, interleaved.
std::vector<std::int16_t> wavSamples(const Bytes& wav)
{
    std::vector<std::int16_t> samples;
    for (std::size_t at = 12; at + 8 <= wav.size();) {
        const std::uint32_t size = LittleEndian::u32(&wav[at + 4]);
        if (std::equal(wav.begin() + static_cast<long>(at), wav.begin() + static_cast<long>(at) + 4,
                       "data")) {
            for (std::size_t i = at + 8; i + 2 <= at + 8 + size && i + 2 <= wav.size(); i += 2)
                samples.push_back(LittleEndian::i16(&wav[i]));
            break;
        }
        at += 8 + size + (size & 1);
    }
    return samples;
}

using ToolMadeSoundTest = SoundFixture;

TEST_F(ToolMadeSoundTest, TheGeneratedBanksLoadAndTheirCuesAreFoundByNameAndIndex)
{
    const std::map<std::string, std::vector<std::string>> banks = {
        {"SE/Battle.ckb",
         {"AttackSound", "DamageSound", "SinkingSound", "TorpedoSound", "SurpriseSound", "WhistleSound"}},
        {"SE/System.ckb",
         {"SystemDefaultSelected", "SystemDefaultPointed", "SystemDefaultCanceled", "SystemTitleSelected",
          "SystemTitleSubSelected", "SystemNextStep", "SystemWindowOpened", "SystemTimer",
          "SystemAlarmTimer"}},
    };
    for (const auto& entry : banks) {
        SCOPED_TRACE(entry.first);
        CkBank* bank = CkBank::createFromFile((kSoundDir + "/" + entry.first).c_str(), kCkPathType_AsGiven);
        ASSERT_NE(nullptr, bank);
        ASSERT_EQ(static_cast<int>(entry.second.size()), bank->getNumSounds());
        std::vector<std::string> names;
        for (int i = 0; i < bank->getNumSounds(); ++i) names.push_back(bank->getSoundName(i));
        for (const std::string& cue : entry.second) {
            SCOPED_TRACE(cue);
            EXPECT_NE(names.end(), std::find(names.begin(), names.end(), cue));
            CkSound* sound = CkSound::createFromBank(nullptr, cue.c_str());
            ASSERT_NE(nullptr, sound);
            EXPECT_GT(sound->getLength(), 0);
            EXPECT_GT(sound->getSampleRate(), 0);
            // It plays to its end.
            sound->play();
            for (int block = 0; block < 2000 && (block == 0 || sound->isPlaying()); ++block) {
                pump();
                CkUpdate();
            }
            EXPECT_FALSE(sound->isPlaying());
            sound->destroy();
        }
    }
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(ToolMadeSoundTest, TheGeneratedMusicOpensWithItsLengthsAndLoops)
{
    std::vector<std::string> files;
    if (DIR* dir = opendir((kSoundDir + "/BGM").c_str())) {
        while (dirent* item = readdir(dir))
            if (item->d_name[0] != '.') files.push_back(item->d_name);
        closedir(dir);
    }
    ASSERT_EQ(11u, files.size());
    for (const std::string& name : files) {
        SCOPED_TRACE(name);
        CkSound* sound = CkSound::createFromStream((kSoundDir + "/BGM/" + name).c_str(), kCkPathType_AsGiven);
        ASSERT_NE(nullptr, sound);
        refill();
        CkUpdate();
        EXPECT_FALSE(sound->isFailed());
        EXPECT_GT(sound->getLength(), 0);
        EXPECT_GE(sound->getChannels(), 1);
        if (name == "007_DeathMatch.cks") {
            EXPECT_GE(sound->getLength(), 6123594);
            int start, end;
            sound->getLoop(start, end);
            EXPECT_EQ(680375, start);
            EXPECT_EQ(6123594, end);
            EXPECT_EQ(-1, sound->getLoopCount());
        }
        sound->destroy();
    }
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(ToolMadeSoundTest, PatchedGeneratedBanksFailCleanly)
{
    const Bytes valid = readBytes(kSoundDir + "/SE/Battle.ckb");
    ASSERT_GT(valid.size(), 16u + BankImage::kRecordBytes + BankImage::kEntryBytes);
    constexpr int kInfo = 16 + BankImage::kRecordBytes + 32;
    const auto put32 = [](int at, std::uint32_t v) {
        return [=](Bytes& b) { LittleEndian::put32(&b[at], v); };
    };
    const auto put16 = [](int at, std::uint16_t v) {
        return [=](Bytes& b) { LittleEndian::put16(&b[at], v); };
    };
    const auto put8 = [](int at, unsigned char v) { return [=](Bytes& b) { b[at] = v; }; };
    const std::function<void(Bytes&)> patches[] = {
        put32(16 + 40, 0xffffffffu),
        put32(16 + 40, 0x7fffffffu),
        put16(kInfo + 8, 0),
        put16(kInfo + 10, 0),
        put32(kInfo + 4, 0x7fffffffu),
        put8(kInfo + 1, 3),
        put8(kInfo, 9),
        put16(kInfo + 2, 0),
        put32(kInfo + 28, 0xffffff00u),
        [](Bytes& b) { b.resize(b.size() - 1); },
    };
    int index = 0;
    for (const auto& patch : patches) {
        SCOPED_TRACE(index++);
        Bytes bytes = valid;
        patch(bytes);
        const std::string path = folder.write("patched.ckb", bytes);
        log.lines().clear();
        EXPECT_EQ(nullptr, CkBank::createFromFile(path.c_str(), kCkPathType_AsGiven));
        ASSERT_EQ(2u, log.lines().size());
        EXPECT_EQ((LogLine{kCkLog_Error, "Bank from file \"" + path + "\" could not be processed"}),
                  log.lines()[1]);
    }
}

// A .cks the tool made from a WAV comes out of the engine as the WAV's
// samples at the stereo centre gains of 0.5. The tool reads a 16-bit sample x
// as x / 32768 and writes it back scaled by 32767, which gives x again only
// below half scale, so the tones stay there.
TEST_F(ToolMadeSoundTest, AStreamMadeFromAWavRendersTheWavSampleForSample)
{
    const std::string wav = folder.file("in.wav");
    const std::string cks = folder.file("out.cks");
    ASSERT_EQ(0, run("sox -n -r 48000 -c 2 -b 16 " + wav + " synth 0.25 sine 440 sine 660 vol 0.45"))
        << "sox is missing: install sox (tools/install-deps)";
    ASSERT_EQ(0, run(std::string(MAREVANE_SOUNDTOOL) + " stream " + cks + " --format pcm16 " + wav));
    const std::vector<std::int16_t> samples = wavSamples(readBytes(wav));
    ASSERT_EQ(2u * 12000u, samples.size());
    EXPECT_GT(*std::max_element(samples.begin(), samples.end()), 12000);

    CkSound* sound = CkSound::createFromStream(cks.c_str(), kCkPathType_AsGiven);
    ASSERT_NE(nullptr, sound);
    refill();
    sound->play();
    std::vector<float> out;
    for (int block = 0; block < 51; ++block) {
        refill();
        CkUpdate();
        const std::vector<float> part = pump();
        out.insert(out.end(), part.begin(), part.end());
    }
    ASSERT_GT(out.size(), samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i)
        ASSERT_EQ(static_cast<float>(samples[i]) * Pcm::kFromI16 * 0.5f, out[i]) << i;
    EXPECT_EQ(0.0f, out[samples.size()]);
    EXPECT_FALSE(sound->isPlaying());
    EXPECT_TRUE(log.lines().empty());
}

} // namespace

#endif
