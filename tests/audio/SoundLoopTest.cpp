#include "SoundFixture.h"

using namespace Daz;

namespace {

// A marked mono sound of 1000 frames at 48 kHz looping over frames 200..600,
// as a bank sample and as a stream file.
constexpr int kFrames = 1000;
constexpr int kLoopStart = 200;
constexpr int kLoopEnd = 600;

struct LoopCase {
    const char* name;
    bool stream;
    int count;
};

class SoundLoopTest : public SoundFixture, public ::testing::WithParamInterface<LoopCase> {
  protected:
    CkSound* makeSound()
    {
        SampleInfo info = SampleCodec::makeInfo(kFormat_PcmI16, 1, 48000, kFrames);
        info.loopStart = kLoopStart;
        info.loopEnd = kLoopEnd;
        info.loopCount = static_cast<std::int16_t>(GetParam().count);
        const Bytes data = pcm16Bytes(markers(kFrames));
        if (GetParam().stream)
            return CkSound::createFromStream(folder.write("loop.cks", streamBytes(info, data.data())).c_str(),
                                             kCkPathType_AsGiven);
        const Bytes bank =
            bankBytes("Loops", {{"Loop", info, data.data(), static_cast<std::uint32_t>(data.size())}});
        EXPECT_NE(nullptr,
                  CkBank::createFromFile(folder.write("loop.ckb", bank).c_str(), kCkPathType_AsGiven));
        return CkSound::createFromBank(nullptr, "Loop");
    }
};

// The frame numbers of the whole sound with the loop section played `loops` more times.
std::vector<int> expectedFrames(int loops)
{
    std::vector<int> frames;
    for (int f = 1; f <= kLoopEnd; ++f) frames.push_back(f);
    for (int l = 0; l < loops; ++l)
        for (int f = kLoopStart + 1; f <= kLoopEnd; ++f) frames.push_back(f);
    for (int f = kLoopEnd + 1; f <= kFrames; ++f) frames.push_back(f);
    return frames;
}

TEST_P(SoundLoopTest, TheLoopSectionPlaysAsOftenAsCounted)
{
    CkSound* sound = makeSound();
    ASSERT_NE(nullptr, sound);
    refill();
    CkUpdate();
    EXPECT_EQ(GetParam().count, sound->getLoopCount());
    int start, end;
    sound->getLoop(start, end);
    EXPECT_EQ(kLoopStart, start);
    EXPECT_EQ(kLoopEnd, end);
    playAtUnitGain(sound);

    if (GetParam().count >= 0) {
        EXPECT_EQ(expectedFrames(GetParam().count), playOut(sound));
        EXPECT_FALSE(sound->isPlaying());
        return;
    }
    // Until released: 10 blocks are 2400 frames, far past the first loops;
    // then the sound plays on to its end.
    const std::vector<int> frames = playOut(sound, 200, 10);
    EXPECT_FALSE(sound->isPlaying());
    ASSERT_GT(frames.size(), 2400u);
    const int loops = static_cast<int>(frames.size() - (kFrames)) / (kLoopEnd - kLoopStart);
    EXPECT_GE(loops, 5);
    EXPECT_EQ(expectedFrames(loops), frames);
    EXPECT_TRUE(log.lines().empty());
}

INSTANTIATE_TEST_SUITE_P(BankAndStream, SoundLoopTest,
                         ::testing::Values(LoopCase{"BankOnce", false, 0}, LoopCase{"BankTwice", false, 1},
                                           LoopCase{"BankUntilReleased", false, -1},
                                           LoopCase{"StreamOnce", true, 0}, LoopCase{"StreamTwice", true, 1},
                                           LoopCase{"StreamUntilReleased", true, -1}),
                         [](const ::testing::TestParamInfo<LoopCase>& info) { return info.param.name; });

using SoundLoopSettingTest = SoundFixture;

// A loop set by the program wins over the file's.
TEST_F(SoundLoopSettingTest, ProgramLoopPointsAndCountsReplaceTheFiles)
{
    SampleInfo info = SampleCodec::makeInfo(kFormat_PcmI16, 1, 48000, 100);
    const Bytes data = pcm16Bytes(markers(100));
    ASSERT_NE(nullptr, CkBank::createFromFile(
                           folder.write("b.ckb", bankBytes("B", {{"S", info, data.data(), 200}})).c_str(),
                           kCkPathType_AsGiven));
    CkSound* sound = CkSound::createFromBank(nullptr, "S");
    sound->setLoop(90, -1);
    sound->setLoopCount(2);
    playAtUnitGain(sound);
    std::vector<int> expected;
    for (int f = 1; f <= 100; ++f) expected.push_back(f);
    for (int l = 0; l < 2; ++l)
        for (int f = 91; f <= 100; ++f) expected.push_back(f);
    EXPECT_EQ(expected, playOut(sound));

    log.lines().clear();
    sound->setLoop(50, 50);
    sound->setLoop(-5, 10);
    int start, end;
    sound->getLoop(start, end);
    EXPECT_EQ(0, start);
    EXPECT_EQ(10, end);
    EXPECT_EQ((std::vector<LogLine>{{kCkLog_Error, "loop start frame must be less than end frame"}}),
              log.lines());
}

} // namespace
