#include "ManagerFixture.h"

#include "audio/CkMixer.h"

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

using Sound::CSoundManager;

class SoundManagerTest : public ManagerTest {
  protected:
    // Keeps the master volumes signalled from now on, in order.
    void RecordSignals()
    {
        QObject::connect(CSoundManager::GetInstance(), &CSoundManager::MasterVolumeChanged,
                         [this](float vol) { m_signals.push_back(vol); });
    }

    std::vector<float> m_signals;
};

TEST_F(SoundManagerTest, MasterVolumeFromPercentIsClampedAndFromFloatIsTakenAsIs)
{
    struct Case {
        const char* call;
        std::function<void(CSoundManager*)> set;
        float expected;
    };
    const Case cases[] = {
        {"150", [](CSoundManager* m) { m->SetMasterVolume(150); }, 1.0f},
        {"-5", [](CSoundManager* m) { m->SetMasterVolume(-5); }, 0.0f},
        {"40", [](CSoundManager* m) { m->SetMasterVolume(40); }, 0.4f},
        {"1.5f", [](CSoundManager* m) { m->SetMasterVolume(1.5f); }, 1.5f},
    };
    RecordSignals();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        c.set(CSoundManager::GetInstance());
        EXPECT_FLOAT_EQ(c.expected, CSoundManager::GetInstance()->GetMasterVolume());
        EXPECT_FLOAT_EQ(c.expected, CkMixer::masterMixer()->getVolume());
        EXPECT_FLOAT_EQ(c.expected, m_signals.back());
    }
    EXPECT_EQ(4u, m_signals.size());
}

TEST_F(SoundManagerTest, UnmutingGivesFullVolumeNotTheOneBeforeWithOneSignalPerCall)
{
    RecordSignals();
    CSoundManager* manager = CSoundManager::GetInstance();
    manager->SetMasterVolume(40);
    manager->SetMute(true);
    EXPECT_EQ(0.0f, CkMixer::masterMixer()->getVolume());
    manager->SetMute(false);
    EXPECT_EQ((std::vector<float>{0.4f, 0.0f, 1.0f}), m_signals);
    EXPECT_EQ(1.0f, CkMixer::masterMixer()->getVolume());
}

TEST_F(SoundManagerTest, TheSoundSettingOfZeroStartsTheEngineMuted)
{
    for (const auto& [level, expected] : {std::pair{0, 0.0f}, std::pair{1, 1.0f}, std::pair{100, 1.0f}}) {
        SCOPED_TRACE(level);
        CSoundManager::DestroyInstance();
        CSystemConfig::GetInstance().Sound = level;
        StartEngine();
        EXPECT_EQ(expected, CSoundManager::GetInstance()->GetMasterVolume());
        EXPECT_EQ(expected, CkMixer::masterMixer()->getVolume());
    }
}

TEST_F(SoundManagerTest, TheUpdateTimerRunsTheEngineEvery30Milliseconds)
{
    EXPECT_TRUE(CSoundManager::GetInstance()->IsUpdating());
    // A play reaches the render side through the update when nothing renders on a thread.
    WriteBanks();
    Se()->Play(Sound::SeAttack, false);
    Daz::CommandQueue* queue = Daz::CommandQueue::get();
    ASSERT_GT(queue->getCount(), 0);
    clock->Advance(29);
    EXPECT_GT(queue->getCount(), 0);
    clock->Advance(1);
    EXPECT_EQ(0, queue->getCount());
}

// Without an engine the managers do nothing at all: no update timer, and no
// line in the log however long the program runs.
TEST_F(SoundManagerTest, WithoutAnEngineEveryCallIsASilentNoOp)
{
    CSoundManager::DestroyInstance();
    // The one dummy output there may be is taken, so the engine cannot start.
    std::unique_ptr<Daz::GraphOutputDummy> taken(Daz::GraphOutputDummy::create(240, false));
    ASSERT_NE(nullptr, taken);
    Daz::OutputChoice dummy;
    dummy.kind = Daz::OutputChoice::kDummy;
    Daz::OutputChoice::setOverride(&dummy);
    CkConfig config;
    config.logFunc = Daz::Log::getFunc();
    CSoundManager* manager = CSoundManager::CreateInstance(config);
    ASSERT_FALSE(manager->IsEngineRunning());
    EXPECT_NE(log.lines().end(),
              std::find(log.lines().begin(), log.lines().end(), LogLine{4, "CkInit FAILED!"}));
    log.lines().clear();

    WriteBanks();
    WriteTrack(Sound::BgmTheme);
    EXPECT_FALSE(manager->IsUpdating());
    manager->Update();
    manager->Suspend();
    manager->Resume();
    manager->SetMasterVolume(50);
    Bgm()->SetFadeInEnabled(true);
    Bgm()->Play(Sound::BgmTheme);
    Bgm()->ApplySideChain(100, 0.5f);
    Bgm()->SetVolume(30);
    Se()->Load(Sound::SeTypeSystem);
    Se()->Play(Sound::SeDefaultSelected);
    Se()->Play(Sound::SeAttack, 3, 100);
    clock->Advance(5000);
    Se()->Unload(Sound::SeTypeSystem);
    Bgm()->Stop();

    EXPECT_EQ(nullptr, Bgm()->GetMixer());
    EXPECT_EQ(nullptr, Bgm()->GetCurrentSound());
    EXPECT_FALSE(Se()->HasBankEntry(Sound::SeTypeSystem));
    EXPECT_EQ(0, Se()->GetLiveCount());
    EXPECT_FLOAT_EQ(0.3f, Bgm()->GetVolume()); // the values are still kept
    EXPECT_EQ(0, clock->GetActiveCount());
    EXPECT_TRUE(log.lines().empty()) << log.lines().front();
    EXPECT_TRUE(QtMessages().empty());
}

TEST_F(SoundManagerTest, TeardownTakesTheEffectAndMusicManagersWithTheEngine)
{
    Bgm();
    Se();
    ASSERT_TRUE(Sound::CBgmManager::HasInstance());
    CSoundManager::DestroyInstance();
    EXPECT_FALSE(Sound::CSeManager::HasInstance());
    EXPECT_FALSE(Sound::CBgmManager::HasInstance());
    EXPECT_FALSE(CSoundManager::HasInstance());
    EXPECT_EQ(nullptr, CkMixer::masterMixer());
    EXPECT_EQ(0, clock->GetActiveCount());
}

} // namespace
