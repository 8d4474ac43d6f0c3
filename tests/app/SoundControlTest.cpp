// The game's sound control on the real sound managers (the engine on the
// dummy output, so nothing is heard) and the generated banks and music.
#include "app/SoundControl.h"
#include "app/GameControl.h"
#include "app/MainWindow.h"
#include "audio/CkMixer.h"
#include "sound/BgmManager.h"
#include "sound/SeManager.h"
#include "sound/SoundManager.h"
#include "tests/app/AppTestSupport.h"
#include "tests/gui/ItemsTestSupport.h"

#include <QAction>

#include <filesystem>
#include <memory>

using namespace Marevane;

namespace {

class SoundControlTest : public Testing::AppTest {
  protected:
    void SetUp() override
    {
        AppTest::SetUp();
        // The tables' paths start with Resources/Sound/.
        Sound::CSoundManager::SetFileFolder(
            std::filesystem::path(MAREVANE_SOUND_DIR).parent_path().parent_path().string());
    }
    void TearDown() override
    {
        control.reset();
        Sound::CSoundManager::SetFileFolder("");
        AppTest::TearDown();
    }

    void Start()
    {
        control = CreateSoundControl();
        control->Start();
        ASSERT_TRUE(Sound::CSoundManager::GetInstance()->IsEngineRunning());
    }

    static Sound::CBgmManager* Bgm() { return Sound::CBgmManager::GetInstance(); }
    static Sound::CSeManager* Se() { return Sound::CSeManager::GetInstance(); }

    std::unique_ptr<CSoundControl> control;
};

TEST_F(SoundControlTest, TheManagersStartWithTheVolumesAndMutesOfTheSettings)
{
    CSystemConfig& settings = CSystemConfig::GetInstance();
    settings.Sound = 0;
    settings.BGM = 30;
    settings.SE = 140;
    settings.MuteSE = true;
    Start();
    EXPECT_EQ(0.0f, CkMixer::masterMixer()->getVolume());
    EXPECT_FLOAT_EQ(0.3f, Bgm()->GetMixer()->getVolume());
    EXPECT_FLOAT_EQ(1.0f, Se()->GetVolume());
    EXPECT_EQ(0.0f, Se()->GetMixer()->getVolume());
}

TEST_F(SoundControlTest, StopTearsTheManagersDownAndGivesTheItemsTheirPlayerBack)
{
    Testing::SoundRecorder recorder;
    Start();
    control->LoadSe(Sound::SeTypeSystem);
    PlaySoundEffect(Sound::SeDefaultPointed);
    EXPECT_EQ(Sound::SeDefaultPointed, Se()->GetLastId());
    EXPECT_TRUE(Se()->IsPlaying(Sound::SeDefaultPointed));
    EXPECT_TRUE(recorder.Codes().empty());

    control->Stop();
    EXPECT_FALSE(Sound::CSeManager::HasInstance());
    EXPECT_FALSE(Sound::CBgmManager::HasInstance());
    EXPECT_FALSE(Sound::CSoundManager::HasInstance());
    PlaySoundEffect(Sound::SeDefaultSelected);
    EXPECT_EQ(std::vector<Sound::SeCode>{Sound::SeDefaultSelected}, recorder.Codes());
    // Stopped, the control does nothing and builds nothing again.
    control->PlaySe(Sound::SeDefaultSelected, true);
    control->PlayBgm(Sound::BgmTheme);
    control->SetMasterVolume(50);
    EXPECT_FALSE(Sound::CSoundManager::HasInstance());
}

TEST_F(SoundControlTest, TheSoundMenuReachesTheManagers)
{
    CSystemConfig::GetInstance().SE = 60;
    Start();
    CMainWindow window(control.get());
    const auto action = [&window](const char* name) { return window.FindAction(QString::fromLatin1(name)); };

    action("actionBgm")->trigger();
    EXPECT_TRUE(Bgm()->IsMute());
    EXPECT_EQ(0.0f, Bgm()->GetMixer()->getVolume());
    action("actionBgm")->trigger();
    EXPECT_FALSE(Bgm()->IsMute());
    EXPECT_FLOAT_EQ(0.8f, Bgm()->GetMixer()->getVolume());

    action("actionSe")->trigger();
    EXPECT_EQ(0.0f, Se()->GetMixer()->getVolume());
    action("actionSe")->trigger();
    EXPECT_FLOAT_EQ(0.6f, Se()->GetMixer()->getVolume()); // back, not left silent

    action("actionMute")->trigger();
    EXPECT_EQ(0.0f, CkMixer::masterMixer()->getVolume());
    action("actionMute")->trigger();
    EXPECT_EQ(1.0f, CkMixer::masterMixer()->getVolume());
}

TEST_F(SoundControlTest, TheTitleThemeLoadsOnceAndKeepsPlayingWhenTheTitleComesBack)
{
    Start();
    control->PlayBgm(Sound::BgmTheme);
    CkSound* theme = Bgm()->GetCurrentSound();
    ASSERT_NE(nullptr, theme);
    EXPECT_EQ(Sound::BgmTheme, Bgm()->GetCurrentId());
    control->PlayBgm(Sound::BgmTheme);
    EXPECT_EQ(theme, Bgm()->GetCurrentSound());
    // Still loading, it has nothing to fade: it goes at once.
    control->StopBgm();
    EXPECT_EQ(nullptr, Bgm()->GetCurrentSound());
}

TEST_F(SoundControlTest, GameControlTearsTheSoundDownWithItself)
{
    {
        CGameControl game;
        EXPECT_TRUE(Sound::CSoundManager::HasInstance());
        EXPECT_TRUE(Sound::CSeManager::HasInstance());
    }
    EXPECT_FALSE(Sound::CSoundManager::HasInstance());
    EXPECT_EQ(nullptr, CkMixer::masterMixer());
}

} // namespace
