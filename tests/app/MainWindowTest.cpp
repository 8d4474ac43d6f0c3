#include "app/MainWindow.h"
#include "app/SequenceManager.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/RecordingSound.h"
#include "tests/app/TestSequence.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include <memory>
#include <string>
#include <vector>

using namespace Marevane;
using Testing::CTestSequence;
using Testing::WaitUntil;

namespace {

// Catches what the window asks the desktop to open.
class CUrlRecorder : public QObject {
    Q_OBJECT
  public:
    std::vector<QUrl> urls;
  public slots:
    void Open(const QUrl& url) { urls.push_back(url); }
};

class MainWindowTest : public Testing::AppTest {
  protected:
    void SetUp() override
    {
        AppTest::SetUp();
        window = std::make_unique<CMainWindow>(&sound, [this] { return Config(); });
        window->setCentralWidget(CSequenceManager::GetInstance()->GetContainer());
        window->show();
    }
    void TearDown() override
    {
        window.reset();
        QLocale::setDefault(QLocale::system());
        AppTest::TearDown();
    }

    CGameSequence* Config()
    {
        if (config == nullptr) config = new CTestSequence("config", CMainWindow::SystemConfigType);
        return config;
    }
    QAction* Action(const char* name) const { return window->FindAction(QString::fromLatin1(name)); }
    std::vector<std::string> TakeLog() { return std::exchange(log, {}); }
    // Answers the quit question with the button.
    void Answer(QMessageBox::StandardButton button)
    {
        ASSERT_TRUE(WaitUntil([this] { return window->GetQuitQuestion() != nullptr; }));
        QMessageBox* question = window->GetQuitQuestion();
        EXPECT_EQ(question->text(), QStringLiteral("Do you want to quit Marevane?"));
        EXPECT_EQ(question->windowTitle(), QStringLiteral("Quit Marevane"));
        question->button(button)->click();
        Testing::Settle();
    }

    std::vector<std::string> log;
    Testing::CRecordingSound sound{&log};
    std::unique_ptr<CMainWindow> window;
    QPointer<CTestSequence> config;
};

TEST_F(MainWindowTest, TheMenusHoldTheirActionsInOrder)
{
    EXPECT_EQ(window->objectName(), QStringLiteral("MarevaneClass"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Marevane"));
    EXPECT_EQ(window->menuBar()->objectName(), QStringLiteral("menuBar"));
    // "-" is a separator, "*" ends a checkable action's text.
    const std::vector<std::pair<QString, QStringList>> table = {
        {"&System", {"&Config", "-", "&Quit"}},
        {"&Graphics", {"Enable &OpenGL*", "Enable &Animation*"}},
        {"So&und", {"&Mute*", "-", "&BGM*", "S&E*"}},
        {"L&og", {"Open Log &File", "Open Log &Directory"}},
        {"&Language", {"Default*", "English*", "Japanese*"}},
        {"&Help", {"About &Marevane", "About &Qt"}},
    };
    const QList<QAction*> menus = window->menuBar()->actions();
    ASSERT_EQ(menus.size(), static_cast<int>(table.size()));
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(menus[static_cast<int>(i)]->text(), table[i].first);
        QStringList actions;
        for (const QAction* action : menus[static_cast<int>(i)]->menu()->actions()) {
            actions << (action->isSeparator() ? QStringLiteral("-")
                                              : action->text() + (action->isCheckable() ? "*" : ""));
        }
        EXPECT_EQ(actions, table[i].second) << table[i].first.toStdString();
    }
    for (int language = 0; language < 3; ++language) {
        EXPECT_EQ(Action(("actionLanguage" + std::to_string(language)).c_str())->data().toInt(), language);
    }
}

TEST_F(MainWindowTest, TheStoredSoundSettingsReachTheSoundManagersAtOnce)
{
    CSystemConfig::GetInstance().Sound = 0;
    CSystemConfig::GetInstance().BGM = 150;
    CSystemConfig::GetInstance().SE = 40;
    CSystemConfig::GetInstance().MuteSE = true;
    TakeLog();
    CMainWindow other(&sound);
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"MasterVolume 0", "BgmMute 0", "BgmVolume 100",
                                                   "SeVolume 40", "SeMute 1"}));
    EXPECT_TRUE(other.FindAction("actionMute")->isChecked());
    EXPECT_TRUE(other.FindAction("actionBgm")->isChecked());
    EXPECT_FALSE(other.FindAction("actionSe")->isChecked());
    EXPECT_TRUE(other.FindAction("actionLanguage0")->isChecked());
}

TEST_F(MainWindowTest, EachToggleWritesTheSettingsFileAtOnceAndTellsTheSound)
{
    const struct {
        const char* action;
        bool checked;
        const char* key;
        QVariant saved;
        std::vector<std::string> calls;
    } table[] = {
        {"actionMute", true, "Sound", 0, {"MasterMute 1"}},
        // Un-muting brings the volume back as well as the sound.
        {"actionMute", false, "Sound", 100, {"MasterMute 0", "MasterVolume 100"}},
        {"actionBgm", false, "MuteBGM", true, {"BgmMute 1"}},
        {"actionBgm", true, "MuteBGM", false, {"BgmMute 0"}},
        {"actionSe", false, "MuteSE", true, {"SeMute 1"}},
        {"actionOpenGL", false, "OpenGL", false, {}},
        {"actionOpenGL", true, "OpenGL", true, {}},
        {"actionAnimation", false, "Animation", false, {}},
    };
    for (const auto& row : table) {
        TakeLog();
        QAction* action = Action(row.action);
        action->setChecked(!row.checked);
        action->trigger();
        EXPECT_EQ(action->isChecked(), row.checked) << row.action;
        EXPECT_EQ(Saved(QString::fromLatin1(row.key)).toString(), row.saved.toString()) << row.action;
        EXPECT_EQ(TakeLog(), row.calls) << row.action;
    }
}

TEST_F(MainWindowTest, JapaneseTurnsTheMenuTitlesJapaneseAndEnglishBringsThemBack)
{
    TakeLog();
    Action("actionLanguage2")->trigger();
    EXPECT_EQ(Saved("Language").toInt(), 2);
    QStringList titles;
    for (const QAction* menu : window->menuBar()->actions()) titles << menu->text();
    EXPECT_EQ(titles, (QStringList{"システム(&S)", "グラフィックス(&G)", "サウンド(&U)", "ログ(&O)",
                                   "言語(&L)", "ヘルプ(&H)"}));
    EXPECT_EQ(Action("actionQuit")->text(), QStringLiteral("終了(&Q)"));
    // Language names stay as they are.
    EXPECT_EQ(Action("actionLanguage2")->text(), QStringLiteral("Japanese"));
    int checked = 0;
    for (int language = 0; language < 3; ++language)
        checked += Action(("actionLanguage" + std::to_string(language)).c_str())->isChecked() ? 1 : 0;
    EXPECT_EQ(checked, 1);
    EXPECT_TRUE(Action("actionLanguage2")->isChecked());
    // The sound settings are passed on again.
    const std::vector<std::string> calls = TakeLog();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "MasterVolume 100"), calls.end());

    Action("actionLanguage1")->trigger();
    EXPECT_EQ(window->menuBar()->actions().front()->text(), QStringLiteral("&System"));
    EXPECT_EQ(Action("actionQuit")->text(), QStringLiteral("&Quit"));
    EXPECT_EQ(QCoreApplication::translate("MarevaneClass", "&System"), QStringLiteral("&System"));
}

TEST_F(MainWindowTest, QuitAsksFirstAndOnlyYesClosesTheWindow)
{
    Action("actionQuit")->trigger();
    Answer(QMessageBox::No);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->GetQuitQuestion(), nullptr);

    // Closing by the title bar asks too.
    window->close();
    Answer(QMessageBox::No);
    EXPECT_TRUE(window->isVisible());

    window->Quit();
    Answer(QMessageBox::Yes);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, TheLogMenuOpensTheFolderAndTheChosenFileOnTheDesktop)
{
    CUrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "Open");
    std::vector<QString> asked;
    QString answer;
    window->SetFileChooser(
        [&](QWidget*, const QString& caption, const QString& folder, const QString& filter) {
            asked = {caption, folder, filter};
            return answer;
        });
    Action("actionOpenLogDirectory")->trigger();
    Action("actionOpenLogFile")->trigger(); // cancelled
    ASSERT_EQ(recorder.urls.size(), 1u);
    EXPECT_EQ(recorder.urls[0], QUrl::fromLocalFile(QDir::currentPath()));
    EXPECT_EQ(asked, (std::vector<QString>{"Open Log File", QDir::currentPath(), "Log Files (*.log)"}));

    CSystemConfig::GetInstance().LogPath = folder.path().toStdWString();
    answer = folder.filePath(QStringLiteral("Marevane-20240101120000.log"));
    Action("actionOpenLogFile")->trigger();
    Action("actionOpenLogDirectory")->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    ASSERT_EQ(recorder.urls.size(), 3u);
    EXPECT_EQ(asked[1], folder.path());
    EXPECT_EQ(recorder.urls[1], QUrl::fromLocalFile(answer));
    EXPECT_EQ(recorder.urls[2], QUrl::fromLocalFile(folder.path()));
}

TEST_F(MainWindowTest, ConfigOpensTheSystemConfigurationOnceAndGoesBackToItWhenItIsBelow)
{
    CSequenceManager* manager = CSequenceManager::GetInstance();
    auto* title = new CTestSequence("title");
    manager->ReturnTo(title);
    ASSERT_TRUE(Idle());
    TakeLog();

    Action("actionConfig")->trigger();
    Action("actionConfig")->trigger(); // during the change: nothing
    ASSERT_TRUE(Idle());
    EXPECT_EQ(manager->GetCurrentSequence(), config);
    EXPECT_EQ(manager->GetSequenceCount(), 2);
    EXPECT_EQ(TakeLog(), std::vector<std::string>{"PlaySe 7"});
    Action("actionConfig")->trigger(); // already shown: nothing
    EXPECT_FALSE(manager->IsChanging());

    // A setting changed while it shows is reported to it.
    Action("actionAnimation")->trigger();
    EXPECT_EQ(config->updates, std::vector<MessageCode>{CMainWindow::SettingsChangedCode});

    // With another screen above it, Config goes back to it.
    manager->Push(new CTestSequence("above"));
    ASSERT_TRUE(Idle());
    Action("actionConfig")->trigger();
    ASSERT_TRUE(Idle());
    EXPECT_EQ(manager->GetCurrentSequence(), config);
    EXPECT_EQ(manager->GetSequenceCount(), 2);
    EXPECT_EQ(TakeLog(), std::vector<std::string>{"PlaySe 7"});
}

TEST_F(MainWindowTest, AboutShowsTheNameAndTheLibraries)
{
    Action("actionAboutMarevane")->trigger();
    auto* about = window->findChild<QMessageBox*>(QStringLiteral("aboutBox"));
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->windowTitle(), QStringLiteral("About Marevane"));
    EXPECT_TRUE(about->text().startsWith(QStringLiteral("Marevane Ver")));
    EXPECT_TRUE(about->text().endsWith(QStringLiteral("\n\nWe use these libraries: Qt, cereal, Crypto++")));
    about->close();
}

} // namespace

#include "MainWindowTest.moc"
