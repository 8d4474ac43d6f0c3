#include "app/GameControl.h"
#include "app/GameView.h"
#include "app/MainWindow.h"
#include "app/SequenceManager.h"
#include "app/StandInScreens.h"
#include "model/UnitFactory.h"
#include "net/AudienceManager.h"
#include "net/SocketTcpClient.h"
#include "net/SocketTcpServer.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/RecordingSound.h"
#include "tests/app/TestSequence.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace Marevane;
using Testing::CTestSequence;
using Testing::WaitUntil;

namespace {

class GameControlTest : public Testing::AppTest {
  protected:
    void SetUp() override
    {
        AppTest::SetUp();
        control =
            std::make_unique<CGameControl>(GameScreens(), std::make_unique<Testing::CRecordingSound>(&log));
    }
    void TearDown() override
    {
        control.reset();
        AppTest::TearDown();
    }

    std::vector<std::string> log;
    std::unique_ptr<CGameControl> control;
};

TEST_F(GameControlTest, TheModuleFlagsNameTheObjectsASequenceIsGiven)
{
    const std::vector<int> keys = {GameEditModule,    GameMapModule,   SceneSetModule,
                                   TcpServerModule,   TcpClientModule, UnitFactoryModule,
                                   ShipFactoryModule, ScenePoolModule, AudienceManagerModule};
    const struct {
        unsigned flags;
        std::vector<int> installed;
    } table[] = {
        {0x01, {GameEditModule}},
        {0x02, {GameMapModule}},
        {0x04, {UnitFactoryModule}},
        {0x40, {UnitFactoryModule}},
        {0x10, {TcpServerModule}},
        {0x20, {TcpClientModule}},
        {0x80, {ShipFactoryModule}},
        {0x100, {ScenePoolModule}},
        {0x200, {AudienceManagerModule}},
        {0x09, {GameEditModule, SceneSetModule}},
        {0x2FF,
         {GameEditModule, GameMapModule, SceneSetModule, TcpServerModule, TcpClientModule, UnitFactoryModule,
          ShipFactoryModule, AudienceManagerModule}},
    };
    for (const auto& row : table) {
        CTestSequence sequence("s", 0, row.flags);
        control->InstallModules(&sequence);
        for (int key : keys) {
            const bool expected =
                std::find(row.installed.begin(), row.installed.end(), key) != row.installed.end();
            EXPECT_EQ(sequence.HasModule(key), expected)
                << std::hex << row.flags << " key " << std::dec << key;
        }
        EXPECT_EQ(sequence.inits, 1);
    }
    CTestSequence all("all", 0, 0x3FF);
    control->InstallModules(&all);
    EXPECT_EQ(all.GetModule<GameEditModule>(), control->GetGameEdit());
    EXPECT_EQ(all.GetModule<GameMapModule>(), control->GetBoard());
    EXPECT_EQ(all.GetModule<TcpServerModule>(), static_cast<CTcpServer*>(control->GetTcpServer()));
    EXPECT_EQ(all.GetModule<TcpClientModule>(), static_cast<CTcpClient*>(control->GetTcpClient()));
    EXPECT_EQ(all.GetModule<UnitFactoryModule>(), control->GetUnitFactory());
    EXPECT_EQ(all.GetModule<ShipFactoryModule>(), control->GetShipFactory());
    EXPECT_EQ(all.GetModule<ScenePoolModule>(), control->GetScenePool());
    EXPECT_EQ(all.GetModule<AudienceManagerModule>(), control->GetAudienceManager());
}

TEST_F(GameControlTest, ASequenceEnteredAgainIsOnlyLaidOutAgain)
{
    for (const unsigned flags : {0x09u, 0x01u}) {
        CTestSequence sequence("s", 13, flags);
        control->InstallModules(&sequence);
        const QLayout* grid = sequence.layout();
        control->InstallModules(&sequence);
        EXPECT_EQ(sequence.inits, 1);
        const bool isLaidOut = (flags & ModuleFlag::SceneSetUp) != 0;
        EXPECT_EQ(control->GetScenePool()->IsLaidOut(&sequence), isLaidOut);
        EXPECT_EQ(sequence.layout(), grid);
        EXPECT_EQ(sequence.HasModule(SceneSetModule), isLaidOut);
    }
    try {
        control->InstallModules(nullptr);
        ADD_FAILURE() << "no sequence, no error";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "InstallModules(CGameSequence*): CGameSequence* is null.");
    }
}

TEST_F(GameControlTest, TheAudienceManagerKnowsTheRulesTheUnitsAndTheServer)
{
    const CAudienceManager* audience = control->GetAudienceManager();
    EXPECT_EQ(audience->GetRules(), control->GetGameEdit());
    EXPECT_EQ(audience->GetUnitFactory(), control->GetUnitFactory());
    EXPECT_EQ(audience->GetServer(), static_cast<CTcpServer*>(control->GetTcpServer()));
    EXPECT_EQ(log, std::vector<std::string>({"Start", "MasterVolume 100", "BgmMute 0", "BgmVolume 80",
                                             "SeVolume 100", "SeMute 0"}));
}

TEST_F(GameControlTest, TheGameStartsWithTheTitleBehindAFadeAndItsTheme)
{
    control->Init();
    CMainWindow* window = control->GetMainWindow();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->centralWidget(), CSequenceManager::GetInstance()->GetContainer());
    ASSERT_TRUE(Idle());
    CGameSequence* title = CSequenceManager::GetInstance()->GetCurrentSequence();
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->GetType(), 0);
    EXPECT_TRUE(title->IsInstalled());
    EXPECT_EQ(title->GetModuleFlags(), 0x09u);
    CGameView* view = control->GetScenePool()->GetView(SceneSlot::Title);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    EXPECT_TRUE(view->hasFocus());
    EXPECT_NE(std::find(log.begin(), log.end(), "LoadSe 1"), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "PlayBgm 1"), log.end());
    const QImage shot = Shoot(window, QStringLiteral("title-offscreen"));
    EXPECT_GE(shot.width(), 720);

    // Escape on the title asks whether to quit.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(view->viewport(), &escape);
    ASSERT_TRUE(WaitUntil([window] { return window->GetQuitQuestion() != nullptr; }));
    window->GetQuitQuestion()->reject();
}

TEST_F(GameControlTest, ConfigFromTheMenuShowsTheStandInAndEscapeGoesBack)
{
    control->Init();
    ASSERT_TRUE(Idle());
    CSequenceManager* manager = CSequenceManager::GetInstance();
    control->GetMainWindow()->FindAction(QStringLiteral("actionConfig"))->trigger();
    ASSERT_TRUE(Idle());
    CGameSequence* config = manager->GetCurrentSequence();
    ASSERT_NE(config, nullptr);
    EXPECT_EQ(config->GetType(), 13);
    CGameView* view = control->GetScenePool()->GetView(SceneSlot::SystemConfig);
    EXPECT_TRUE(view->hasFocus());
    Shoot(control->GetMainWindow(), QStringLiteral("system-config-stand-in"));
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(view->viewport(), &escape);
    ASSERT_TRUE(Idle());
    EXPECT_EQ(manager->GetCurrentSequence()->GetType(), 0);
    EXPECT_EQ(manager->GetSequenceCount(), 1);
    EXPECT_TRUE(control->GetScenePool()->GetView(SceneSlot::Title)->hasFocus());
}

TEST_F(GameControlTest, AScreenThatFailsToStartIsReportedAndTheProgramGoesOn)
{
    GameScreens screens;
    screens.scenes[SceneSlot::Title] = {[](const SceneInputs&) { return nullptr; }, {}};
    control.reset();
    control = std::make_unique<CGameControl>(screens, std::make_unique<Testing::CRecordingSound>(&log));
    control->Init();
    ASSERT_TRUE(Idle());
    auto* notice = control->GetMainWindow()->findChild<QMessageBox*>(QStringLiteral("notice"));
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(notice->text().contains(QStringLiteral("invalid unordered_map<K, T> key")));
}

TEST_F(GameControlTest, TheScreensGoFirstAndTheSoundLastAtTheEnd)
{
    control->Init();
    ASSERT_TRUE(Idle());
    const QPointer<CGameSequence> title = CSequenceManager::GetInstance()->GetCurrentSequence();
    const QPointer<CGameView> view = control->GetScenePool()->GetView(SceneSlot::Title);
    const QPointer<CMainWindow> window = control->GetMainWindow();
    log.clear();
    control.reset();
    EXPECT_EQ(title, nullptr);
    EXPECT_EQ(view, nullptr);
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(log, std::vector<std::string>{"Stop"});
}

} // namespace
