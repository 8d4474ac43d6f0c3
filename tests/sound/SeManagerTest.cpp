#include "ManagerFixture.h"

#include "audio/CkBank.h"
#include "audio/CkSound.h"

#include <functional>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

using Sound::SeCode;

class SeManagerTest : public ManagerTest {
  protected:
    void SetUp() override
    {
        ManagerTest::SetUp();
        WriteBanks();
        Bgm()->SetVolume(0.5f);
    }

    bool Logged(const std::string& text) const
    {
        for (const LogLine& line : log.lines())
            if (line.text == text) return true;
        return false;
    }
};

TEST_F(SeManagerTest, ThreePlays200MsApartStartThreeEffectsAndThreeDucks)
{
    Se()->Play(Sound::SeSurprise, 3, 200); // each 700 ms long, ducking for its length
    EXPECT_EQ(0, Se()->GetLiveCount());    // the first one comes from the event loop
    Run(5);
    EXPECT_EQ(1, Se()->GetLiveCount());
    EXPECT_EQ(1, Bgm()->GetPendingDucks());
    EXPECT_FLOAT_EQ(0.4f, BgmMixer());
    Run(190);
    EXPECT_EQ(1, Se()->GetLiveCount());
    Run(10);
    EXPECT_EQ(2, Se()->GetLiveCount());
    EXPECT_EQ(2, Bgm()->GetPendingDucks());
    Run(200);
    EXPECT_EQ(3, Se()->GetLiveCount());
    EXPECT_EQ(3, Bgm()->GetPendingDucks());
    EXPECT_TRUE(Se()->IsPlaying(Sound::SeSurprise));
    // The last duck ends 700 ms after the third effect began, at 1100 ms.
    Run(690);
    EXPECT_EQ(1, Bgm()->GetPendingDucks());
    EXPECT_FLOAT_EQ(0.4f, BgmMixer());
    Run(10);
    EXPECT_EQ(0, Bgm()->GetPendingDucks());
    EXPECT_FLOAT_EQ(0.5f, BgmMixer());
}

TEST_F(SeManagerTest, AnEffectDucksForItsTableTimeOrItsLengthUnlessTheSettingsSilenceEffects)
{
    struct Case {
        const char* name;
        std::function<void(CSystemConfig&)> settings;
        SeCode id;
        bool applyDucking;
        int duckMs; // -1: no duck
    };
    const Case cases[] = {
        {"the table's time", [](CSystemConfig&) {}, Sound::SeSinking, true, 2752},
        {"the effect's length", [](CSystemConfig&) {}, Sound::SeSurprise, true, 700},
        {"not asked for", [](CSystemConfig&) {}, Sound::SeSinking, false, -1},
        {"effects muted", [](CSystemConfig& s) { s.MuteSE = true; }, Sound::SeSinking, true, -1},
        {"effect level 0", [](CSystemConfig& s) { s.SE = 0; }, Sound::SeSinking, true, -1},
        {"master level 0", [](CSystemConfig& s) { s.Sound = 0; }, Sound::SeSinking, true, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSystemConfig::GetInstance() = CSystemConfig();
        c.settings(CSystemConfig::GetInstance());
        Se()->Play(c.id, c.applyDucking);
        EXPECT_TRUE(Se()->IsPlaying(c.id));
        if (c.duckMs < 0) {
            EXPECT_EQ(0, Bgm()->GetPendingDucks());
            EXPECT_FLOAT_EQ(0.5f, BgmMixer());
            continue;
        }
        EXPECT_EQ(1, Bgm()->GetPendingDucks());
        EXPECT_FLOAT_EQ(0.4f, BgmMixer());
        clock->Advance(c.duckMs - 1);
        EXPECT_EQ(1, Bgm()->GetPendingDucks());
        clock->Advance(1);
        EXPECT_EQ(0, Bgm()->GetPendingDucks());
        EXPECT_FLOAT_EQ(0.5f, BgmMixer());
    }
}

TEST_F(SeManagerTest, UnmutingBringsTheStoredVolumeBackAndStepsStartFromIt)
{
    Se()->SetVolume(60);
    EXPECT_FLOAT_EQ(0.6f, SeMixer());
    Se()->SetMute(true);
    EXPECT_EQ(0.0f, SeMixer());
    Se()->SetMute(false);
    EXPECT_FLOAT_EQ(0.6f, SeMixer());

    Se()->SetMute(true);
    Se()->TurnVolumeUp(0.1f);
    EXPECT_EQ(0.0f, SeMixer());
    EXPECT_FLOAT_EQ(0.7f, Se()->GetVolume());
    Se()->SetMute(false);
    EXPECT_FLOAT_EQ(0.7f, SeMixer());

    Se()->ChangeMixerVolume(10); // the mixer alone
    EXPECT_FLOAT_EQ(0.1f, SeMixer());
    Se()->TurnVolumeDown(0.2f);
    EXPECT_FLOAT_EQ(0.5f, Se()->GetVolume());
    EXPECT_FLOAT_EQ(0.5f, SeMixer());
}

TEST_F(SeManagerTest, UnloadingABankWhoseEffectWasLastStopsEveryEffectWithoutAnError)
{
    Se()->Play(Sound::SeDefaultSelected);
    Se()->Play(Sound::SeWhistle);
    ASSERT_EQ(2, Se()->GetLiveCount());
    Se()->Unload(Sound::SeTypeBattle);
    EXPECT_EQ(0, Se()->GetLiveCount());
    EXPECT_FALSE(Se()->HasBankEntry(Sound::SeTypeBattle));
    EXPECT_NE(nullptr, Se()->GetBank(Sound::SeTypeSystem));
    Run(50);
    EXPECT_TRUE(Errors().empty()) << Errors().front();
}

TEST_F(SeManagerTest, UnloadingABankTakesItsOwnLiveEffectsAndLeavesTheOthersPlaying)
{
    Se()->Play(Sound::SeWhistle);
    Se()->Play(Sound::SeDefaultSelected); // the last one is of the system bank
    Se()->Unload(Sound::SeTypeBattle);
    EXPECT_EQ(1, Se()->GetLiveCount());
    EXPECT_TRUE(Se()->IsPlaying(Sound::SeDefaultSelected));
    EXPECT_FALSE(Se()->IsPlaying(Sound::SeWhistle));
    Run(50);
    EXPECT_TRUE(Errors().empty()) << Errors().front();
    // Played again, the bank comes back.
    Se()->Play(Sound::SeWhistle);
    EXPECT_TRUE(Se()->IsPlaying(Sound::SeWhistle));
}

TEST_F(SeManagerTest, AFinishedEffectIsNotPlayingWhetherOrNotTheCleanUpHasTakenIt)
{
    Se()->Play(Sound::SeTorpedo); // 300 ms
    EXPECT_TRUE(Se()->IsPlaying(Sound::SeTorpedo));
    EXPECT_TRUE(Se()->IsCleaningUp());
    Run(350);
    EXPECT_EQ(1, Se()->GetLiveCount());
    EXPECT_FALSE(Se()->IsPlaying(Sound::SeTorpedo));
    EXPECT_FALSE(Se()->IsPlaying());
    Run(200); // the clean-up at 500 ms
    EXPECT_EQ(0, Se()->GetLiveCount());
    EXPECT_FALSE(Se()->IsCleaningUp());
    EXPECT_FALSE(Se()->IsPlaying(Sound::SeTorpedo));
}

TEST_F(SeManagerTest, TheCleanUpTakesFinishedEffectsFromTheFrontOnly)
{
    Se()->Play(Sound::SeWhistle); // 1200 ms
    Se()->Play(Sound::SeTorpedo); // 300 ms
    Run(1000);
    EXPECT_EQ(2, Se()->GetLiveCount());
    Run(505);
    EXPECT_EQ(0, Se()->GetLiveCount());
    EXPECT_FALSE(Se()->IsCleaningUp());
}

TEST_F(SeManagerTest, ABankThatFailedToLoadIsKeptAsNullAndItsCuesAreLookedForElsewhere)
{
    std::filesystem::remove(folder.file(Sound::CSeFilePaths::GetInstance().Get(Sound::SeTypeBattle)));
    Se()->Play(Sound::SeAttack);
    EXPECT_TRUE(Se()->HasBankEntry(Sound::SeTypeBattle));
    EXPECT_EQ(nullptr, Se()->GetBank(Sound::SeTypeBattle));
    EXPECT_EQ(0, Se()->GetLiveCount());
    EXPECT_TRUE(Logged("Could not find sample \"AttackSound\""));
    // Not tried again.
    WriteBanks();
    Se()->Load(Sound::SeTypeBattle);
    EXPECT_EQ(nullptr, Se()->GetBank(Sound::SeTypeBattle));
    Se()->Unload(Sound::SeTypeBattle);
    Se()->Play(Sound::SeAttack);
    EXPECT_TRUE(Se()->IsPlaying(Sound::SeAttack));
}

TEST_F(SeManagerTest, PlayNextAndPrevStepFromTheLastEffectStarted)
{
    Se()->Play(Sound::SeSurprise);
    Se()->PlayNext();
    EXPECT_EQ(Sound::SeWhistle, Se()->GetLastId());
    // Code 0 ("None") is in no bank: nothing starts and the last one stays.
    Se()->PlayNext();
    EXPECT_EQ(Sound::SeWhistle, Se()->GetLastId());
    EXPECT_TRUE(Logged("Could not find sample \"None\""));
    Se()->PlayPrev();
    EXPECT_EQ(Sound::SeSurprise, Se()->GetLastId());
    EXPECT_EQ(3, Se()->GetLiveCount());
}

TEST_F(SeManagerTest, EffectsPlayOnTheirOwnMixerAtItsVolume)
{
    Se()->SetVolume(50);
    Se()->Play(Sound::SeWhistle, false);
    const std::vector<float> out = Run(300);
    // The 0.25 tone at half volume.
    EXPECT_NEAR(Rms(out, 2 * kRate / 10, kRate / 10), SteadyRms(0.125), 0.003);
    Se()->SetMute(true);
    const std::vector<float> muted = Run(300);
    EXPECT_LT(Rms(muted, 2 * kRate / 10, kRate / 10), 0.001);
}

} // namespace
