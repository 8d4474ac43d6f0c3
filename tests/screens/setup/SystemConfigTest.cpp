#include "gui/Popups.h"
#include "gui/Widgets.h"
#include "screens/setup/SystemConfigScreen.h"
#include "tests/screens/setup/ScreensTestSupport.h"

#include <QComboBox>
#include <QTemporaryDir>

using namespace Marevane;

namespace {

class SystemConfigTest : public Testing::ScreensTest {
  protected:
    CSystemConfigScene* Open()
    {
        Manager()->Push(CSystemConfigSequence::GetInstance());
        EXPECT_TRUE(WaitForType(SequenceType::SystemConfig));
        return SceneOf<CSystemConfigScene>(SceneSlot::SystemConfig);
    }
};

TEST_F(SystemConfigTest, OkSavesWhatTheWidgetsShowAndARestartReadsItBack)
{
    QTemporaryDir logs;
    CSystemConfigScene* scene = Open();
    ASSERT_NE(scene, nullptr);
    EXPECT_TRUE(scene->GetFirstWidget()->hasFocus());
    ShootWindow(QStringLiteral("system-config"));
    scene->GetBgmBox()->setValue(0);
    scene->GetSeBox()->setValue(55);
    scene->GetOpenGLBox()->setCurrentIndex(0);
    scene->GetAnimationBox()->setCurrentIndex(0);
    scene->GetLanguageBox()->setCurrentIndex(2);
    scene->GetLogPathEdit()->setText(logs.path());
    scene->GetOkButton()->click();
    scene->GetOkButton()->click();
    ASSERT_TRUE(WaitForType(SequenceType::Title));
    EXPECT_EQ(Manager()->GetSequenceCount(), 1);

    const CSystemConfig& settings = CSystemConfig::GetInstance();
    EXPECT_EQ(settings.BGM, 0);
    EXPECT_TRUE(settings.MuteBGM);
    EXPECT_EQ(settings.SE, 55);
    EXPECT_FALSE(settings.MuteSE);
    EXPECT_FALSE(settings.Animation);
    EXPECT_EQ(settings.Language, 2);
    EXPECT_EQ(Saved(QStringLiteral("SE")).toInt(), 55);
    EXPECT_EQ(Saved(QStringLiteral("MuteBGM")).toBool(), true);
    EXPECT_EQ(Saved(QStringLiteral("LogPath")).toString(), logs.path());

    // A restart reads the same settings from the file.
    control.reset();
    CSystemConfig::GetInstance() = CSystemConfig();
    CIniManager::GetInstance().Load();
    EXPECT_EQ(CSystemConfig::GetInstance().SE, 55);
    EXPECT_EQ(CSystemConfig::GetInstance().Language, 2);
    EXPECT_EQ(QString::fromStdWString(CSystemConfig::GetInstance().LogPath), logs.path());
    CSystemConfig::GetInstance().Language = 0;
}

TEST_F(SystemConfigTest, DefaultOnlyFillsTheWidgetsAndCancelPutsTheSettingsAndMixersBack)
{
    CSystemConfig::GetInstance().BGM = 40;
    CSystemConfig::GetInstance().Animation = false;
    CSystemConfigScene* scene = Open();
    EXPECT_EQ(scene->GetBgmBox()->value(), 40);
    scene->GetDefaultButton()->click();
    EXPECT_EQ(scene->GetBgmBox()->value(), 80);
    EXPECT_EQ(scene->GetAnimationBox()->currentData().toBool(), true);
    EXPECT_EQ(CSystemConfig::GetInstance().BGM, 40);
    EXPECT_FALSE(CSystemConfig::GetInstance().Animation);
    // The slider moves the music at once; Cancel takes it back.
    log.clear();
    scene->GetBgmSlider()->setValue(10);
    EXPECT_TRUE(Logged("BgmVolume 10"));
    log.clear();
    scene->GetCancelButton()->click();
    EXPECT_TRUE(Logged("BgmVolume 40"));
    ASSERT_TRUE(WaitForType(SequenceType::Title));
    EXPECT_EQ(CSystemConfig::GetInstance().BGM, 40);
    EXPECT_FALSE(Saved(QStringLiteral("BGM")).isValid());

    // The next visit shows the settings, not what was left in the widgets.
    scene = Open();
    EXPECT_EQ(scene->GetBgmBox()->value(), 40);
    EXPECT_EQ(scene->GetAnimationBox()->currentData().toBool(), false);
    EXPECT_EQ(scene->GetSoundBox()->count(), 2);
    EXPECT_EQ(scene->GetLanguageBox()->count(), 3);
}

TEST_F(SystemConfigTest, ALogFolderThatCannotTakeLogsIsRefusedWithItsReason)
{
    CSystemConfigScene* scene = Open();
    const QString missing = folder.filePath(QStringLiteral("no-such-folder"));
    scene->GetLogPathEdit()->setText(missing);
    scene->GetOkButton()->click();
    Testing::Settle();
    EXPECT_TRUE(scene->GetNotificationBar()->GetText().contains(missing));
    EXPECT_EQ(Current()->GetType(), SequenceType::SystemConfig);
    EXPECT_TRUE(CSystemConfig::GetInstance().LogPath.empty());
    EXPECT_TRUE(scene->GetOkButton()->isEnabled());
    ShootWindow(QStringLiteral("system-config-refused"));
}

TEST_F(SystemConfigTest, TheFolderChooserFillsTheLogPathUnlessCancelled)
{
    CSystemConfigScene* scene = Open();
    QString answer = QStringLiteral("/tmp");
    scene->SetDirectoryChooser([&answer](QWidget*, const QString&, const QString&) { return answer; });
    scene->GetBrowseButton()->click();
    EXPECT_EQ(scene->GetLogPathEdit()->text(), QStringLiteral("/tmp"));
    answer.clear();
    scene->GetBrowseButton()->click();
    EXPECT_EQ(scene->GetLogPathEdit()->text(), QStringLiteral("/tmp"));
}

TEST_F(SystemConfigTest, ApplyStaysAndRunsTheWindowsUpdates)
{
    CSystemConfigScene* scene = Open();
    scene->GetSoundBox()->setCurrentIndex(0);
    log.clear();
    scene->GetApplyButton()->click();
    Testing::Settle();
    EXPECT_EQ(CSystemConfig::GetInstance().Sound, 0);
    EXPECT_EQ(Saved(QStringLiteral("Sound")).toInt(), 0);
    // The window's callbacks pass the settings on to the sound.
    EXPECT_TRUE(Logged("MasterMute 1") || Logged("MasterVolume 0"));
    ASSERT_TRUE(Testing::AppTest::Idle());
    EXPECT_EQ(Current()->GetType(), SequenceType::SystemConfig);
}

} // namespace
