#include "ManagerFixture.h"

#include "audio/Sound.h"
#include "model/Random.h"

#include <set>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

using Sound::BgmCode;

constexpr std::size_t kWindow = kRate / 10; // 100 ms of frames

class BgmManagerTest : public ManagerTest {
  protected:
    void SetUp() override
    {
        ManagerTest::SetUp();
        QObject::connect(Bgm(), &Sound::CBgmManager::Stopped, [this] { ++stopped; });
    }

    static bool Sounding()
    {
        return Bgm()->GetCurrentSound() != nullptr && Bgm()->GetCurrentSound()->isPlaying();
    }

    int stopped = 0;
};

TEST_F(BgmManagerTest, PlayWhileATrackSoundsWithoutFadeStopsItOnceAndLoadsTheNewOneAtOnce)
{
    WriteTrack(Sound::BgmRelaxation);
    WriteTrack(Sound::BgmSubmarine);
    Bgm()->Play(Sound::BgmRelaxation);
    ASSERT_TRUE(RunUntil(Sounding));
    Bgm()->Play(Sound::BgmSubmarine);
    EXPECT_EQ(1, stopped);
    EXPECT_EQ(Sound::BgmSubmarine, Bgm()->GetCurrentId());
    EXPECT_NE(nullptr, Bgm()->GetCurrentSound());
    EXPECT_TRUE(Bgm()->IsLoading());
    EXPECT_FALSE(Bgm()->IsStopping());
    EXPECT_EQ(1, Daz::Sound::getCount());
    EXPECT_TRUE(RunUntil(Sounding));
    EXPECT_EQ(1, stopped);
}

TEST_F(BgmManagerTest, TwoPlaysDuringAFadeOutStartExactlyOneTrackTheNewestWhenTheFadeEnds)
{
    for (BgmCode code : {Sound::BgmRelaxation, Sound::BgmSubmarine, Sound::BgmBattlefrontSamba})
        WriteTrack(code);
    Bgm()->SetFadeOutEnabled(true);
    Bgm()->Play(Sound::BgmRelaxation);
    ASSERT_TRUE(RunUntil(Sounding));
    CkSound* first = Bgm()->GetCurrentSound();

    std::vector<float> out;
    const auto run = [&](int ms) {
        const std::vector<float> part = Run(ms);
        out.insert(out.end(), part.begin(), part.end());
    };
    Bgm()->Play(Sound::BgmSubmarine);
    EXPECT_TRUE(Bgm()->IsStopping());
    run(1000);
    Bgm()->Play(Sound::BgmBattlefrontSamba);
    run(1000);
    EXPECT_EQ(0, stopped);
    EXPECT_EQ(first, Bgm()->GetCurrentSound());
    // The fade takes its 2000 ms and 10 more.
    run(15);
    EXPECT_EQ(1, stopped);
    EXPECT_EQ(Sound::BgmBattlefrontSamba, Bgm()->GetCurrentId());
    EXPECT_EQ(1, Daz::Sound::getCount());
    EXPECT_TRUE(RunUntil(Sounding));
    EXPECT_EQ(1, stopped);
    // The old track faded: loud at the start of the fade, nearly gone at its end.
    EXPECT_LT(Rms(out, 19 * kWindow, kWindow), 0.1 * Rms(out, 0, kWindow));
    EXPECT_FLOAT_EQ(40.0f, CkGetVolumeRampMs());
}

TEST_F(BgmManagerTest, PlayNextWrapsToZeroAndPlayPrevStopsAtZero)
{
    struct Case {
        std::uint32_t from;
        bool next;
        std::uint32_t to;
    };
    for (const Case& c : {Case{11, true, 0}, Case{0, false, 0}, Case{5, true, 6}, Case{5, false, 4},
                          Case{1, false, 0}, Case{10, true, 11}}) {
        SCOPED_TRACE(c.from);
        Bgm()->Stop();
        Bgm()->SetCurrentId(static_cast<BgmCode>(c.from));
        c.next ? Bgm()->PlayNext() : Bgm()->PlayPrev();
        EXPECT_EQ(c.to, Bgm()->GetCurrentId());
    }
}

TEST_F(BgmManagerTest, TwoDucks200MsApartHoldTheMusicDownUntil700Ms)
{
    Bgm()->SetVolume(0.5f);
    Bgm()->ApplySideChain(500, 0.8f);
    EXPECT_FLOAT_EQ(0.4f, BgmMixer());
    Run(200);
    Bgm()->ApplySideChain(500, 0.8f);
    Run(300); // the first one ends
    EXPECT_FLOAT_EQ(0.4f, BgmMixer());
    EXPECT_EQ(1, Bgm()->GetPendingDucks());
    Run(195);
    EXPECT_FLOAT_EQ(0.4f, BgmMixer());
    Run(10);
    EXPECT_FLOAT_EQ(0.5f, BgmMixer());
    EXPECT_EQ(0, Bgm()->GetPendingDucks());
    EXPECT_FLOAT_EQ(0.5f, Bgm()->GetVolume());
}

TEST_F(BgmManagerTest, MutedDuringADuckTheMusicStaysSilentWhenTheDuckEnds)
{
    Bgm()->SetVolume(0.5f);
    Bgm()->ApplySideChain(500, 0.8f);
    Run(100);
    Bgm()->SetMute(true);
    EXPECT_EQ(0.0f, BgmMixer());
    Run(500);
    EXPECT_EQ(0, Bgm()->GetPendingDucks());
    EXPECT_EQ(0.0f, BgmMixer());
    Bgm()->SetMute(false);
    EXPECT_FLOAT_EQ(0.5f, BgmMixer());
}

TEST_F(BgmManagerTest, ChangeMixerVolumeClampsAndLeavesTheStoredVolume)
{
    Bgm()->SetVolume(50);
    Bgm()->ChangeMixerVolume(250);
    EXPECT_EQ(1.0f, BgmMixer());
    Bgm()->ChangeMixerVolume(-3);
    EXPECT_EQ(0.0f, BgmMixer());
    EXPECT_FLOAT_EQ(0.5f, Bgm()->GetVolume());
    Bgm()->SetMute(false);
    EXPECT_FLOAT_EQ(0.5f, BgmMixer());
}

// The fade-in rises from silence over its 2 s: the music starts at 0 and
// the mixer goes up behind the play with the ramp as long as the fade.
TEST_F(BgmManagerTest, AFadeInRisesSteadilyOverTwoSeconds)
{
    WriteTrack(Sound::BgmRelaxation, 1000, 0.5f);
    Bgm()->SetFadeInEnabled(true);
    Bgm()->SetLoopEnabled(true);
    Bgm()->Play(Sound::BgmRelaxation);
    const std::vector<float> out = Run(2600);

    const double full = Rms(out, 20 * kWindow, kWindow);
    EXPECT_NEAR(full, SteadyRms(0.5), 0.01);
    EXPECT_LT(Rms(out, 0, kWindow), 0.1 * full);
    // The ramp moves each gain by the whole scale in the fade time, so the
    // tone's gain of 0.7071 is reached after 1.41 s; up to there it rises.
    for (std::size_t k = 1; k < 20; ++k) {
        const double before = Rms(out, (k - 1) * kWindow, kWindow);
        if (before < 0.97 * full) {
            EXPECT_GT(Rms(out, k * kWindow, kWindow), before + 0.005) << "window " << k;
        } else {
            EXPECT_NEAR(Rms(out, k * kWindow, kWindow), full, 0.005) << "window " << k;
        }
    }
    EXPECT_LT(Rms(out, 12 * kWindow, kWindow), 0.95 * full);
    // Once risen, the ramp is the engine's usual one again.
    EXPECT_FLOAT_EQ(40.0f, CkGetVolumeRampMs());
    EXPECT_EQ(1.0f, BgmMixer());
    EXPECT_NEAR(Rms(out, 25 * kWindow, kWindow), SteadyRms(0.5), 0.005);
}

TEST_F(BgmManagerTest, WithoutFadeInTheMusicIsFullFromItsStart)
{
    WriteTrack(Sound::BgmRelaxation, 1000, 0.5f);
    Bgm()->Play(Sound::BgmRelaxation);
    const std::vector<float> out = Run(300);
    EXPECT_NEAR(Rms(out, kWindow, kWindow), SteadyRms(0.5), 0.005);
}

TEST_F(BgmManagerTest, AVolumeSetDuringAFadeOutIsKeptAfterIt)
{
    WriteTrack(Sound::BgmRelaxation);
    Bgm()->SetFadeOutEnabled(true);
    Bgm()->Play(Sound::BgmRelaxation);
    ASSERT_TRUE(RunUntil(Sounding));
    Bgm()->Stop();
    Run(500);
    Bgm()->SetVolume(0.3f);
    EXPECT_EQ(0.0f, BgmMixer()); // still fading out
    Run(1600);
    EXPECT_EQ(1, stopped);
    EXPECT_EQ(nullptr, Bgm()->GetCurrentSound());
    EXPECT_FLOAT_EQ(0.3f, Bgm()->GetVolume());
    EXPECT_FLOAT_EQ(0.3f, BgmMixer());
    EXPECT_FLOAT_EQ(40.0f, CkGetVolumeRampMs());
}

TEST_F(BgmManagerTest, AStreamThatFailsToLoadIsGivenUpWithOneWarning)
{
    WriteFile(Sound::CBgmFilePaths::GetInstance().Get(Sound::BgmRelaxation), Bytes(64, 'x'));
    Bgm()->Play(Sound::BgmRelaxation);
    ASSERT_NE(nullptr, Bgm()->GetCurrentSound());
    Run(300);
    EXPECT_FALSE(Bgm()->IsLoading());
    EXPECT_EQ(nullptr, Bgm()->GetCurrentSound());
    EXPECT_EQ(0, Daz::Sound::getCount());
    Run(300);
    ASSERT_EQ(1u, QtMessages().size());
    EXPECT_NE(std::string::npos, QtMessages()[0].find("002_Relaxation.cks")) << QtMessages()[0];
    // The next track plays as usual.
    WriteTrack(Sound::BgmSubmarine);
    Bgm()->Play(Sound::BgmSubmarine);
    EXPECT_TRUE(RunUntil(Sounding));
}

TEST_F(BgmManagerTest, ALoopedTrackGoesOnAndAnUnloopedOneEndsAndStaysCurrent)
{
    WriteTrack(Sound::BgmRelaxation, 500);
    for (bool loop : {true, false}) {
        SCOPED_TRACE(loop);
        Bgm()->SetLoopEnabled(loop);
        Bgm()->Play(Sound::BgmRelaxation);
        const std::vector<float> out = Run(1500);
        EXPECT_EQ(loop, Rms(out, 13 * kWindow, kWindow) > SteadyRms(0.5) / 2);
        ASSERT_NE(nullptr, Bgm()->GetCurrentSound());
        EXPECT_EQ(loop ? -1 : 0, Bgm()->GetCurrentSound()->getLoopCount());
        Bgm()->Stop();
    }
    EXPECT_EQ(2, stopped);
}

TEST_F(BgmManagerTest, ARandomTrackComesFromTheGroupAndAnEmptyGroupKeepsTheCurrentOne)
{
    SeedRandom(7);
    std::set<std::uint32_t> seen;
    for (int i = 0; i < 40; ++i) {
        Bgm()->SetIdAtRandom(Sound::BgmTypeBattle);
        seen.insert(Bgm()->GetCurrentId());
    }
    EXPECT_EQ((std::set<std::uint32_t>{1, 5}), seen);
    Bgm()->SetCurrentId(Sound::BgmWin);
    Bgm()->SetIdAtRandom(static_cast<Sound::BgmType>(99));
    EXPECT_EQ(Sound::BgmWin, Bgm()->GetCurrentId());
    seen.clear();
    for (int i = 0; i < 200; ++i) {
        Bgm()->SetIdAtRandom();
        seen.insert(Bgm()->GetCurrentId());
    }
    EXPECT_EQ(9u, seen.size());
    EXPECT_EQ(1u, *seen.begin());
    EXPECT_EQ(9u, *seen.rbegin());
}

TEST_F(BgmManagerTest, AManagerGoneMidFadeGivesTheEngineItsUsualRampBack)
{
    WriteTrack(Sound::BgmRelaxation);
    Bgm()->SetFadeInEnabled(true);
    Bgm()->Play(Sound::BgmRelaxation);
    Run(200);
    EXPECT_FLOAT_EQ(2000.0f, CkGetVolumeRampMs());
    Sound::CBgmManager::DestroyInstance();
    EXPECT_FLOAT_EQ(40.0f, CkGetVolumeRampMs());
    EXPECT_EQ(0, Daz::Sound::getCount());
}

} // namespace
