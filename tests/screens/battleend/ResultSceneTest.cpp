// The result screen: the choice buttons (open again on every showing, shut
// by the first choice), the stage buttons of an arcade run, saving the log
// (and saying so when that fails), the header, the columns, the replay
// guidance, the toggle, the keyboard focus and a picture of the screen.
#include "gui/Popups.h"
#include "gui/SelectionList.h"
#include "gui/TextItems.h"
#include "gui/Widgets.h"
#include "model/Unit.h"
#include "screens/battle/StatusLists.h"
#include "tests/screens/battleend/ResultFixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGraphicsLinearLayout>
#include <QGraphicsProxyWidget>
#include <QGraphicsWidget>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest/qtestkeyboard.h>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

class ResultSceneTest : public ResultFixture {
  protected:
    void SetUp() override
    {
        ResultFixture::SetUp();
        MakeBattle();
    }

    std::vector<MessageCode> Choices() const
    {
        std::vector<MessageCode> codes;
        for (const QList<QVariant>& emission : choices) codes.push_back(emission.at(0).value<MessageCode>());
        return codes;
    }
    bool AreChoicesEnabled() const
    {
        return scene.GetReplayButton()->isEnabled() && scene.GetExitButton()->isEnabled() &&
               scene.GetNextStageButton()->isEnabled();
    }
    bool AreChoicesDisabled() const
    {
        return !scene.GetReplayButton()->isEnabled() && !scene.GetExitButton()->isEnabled() &&
               !scene.GetNextStageButton()->isEnabled();
    }
    QString Message() const { return scene.GetMessageBar()->GetText(); }
    // The scene in an active view with Replay and Exit shown, as the keys reach it.
    void ShowForTheKeyboard(CBattleResultView& view)
    {
        view.resize(720, 600);
        view.show();
        QApplication::setActiveWindow(&view);
        scene.SetTurnManager(&turnManager);
        scene.ShowStageButtons(true, false);
        view.Show();
        scene.AdjustViewPosition(view.viewport()->size());
    }

    CBattleResultScene scene{0, 0, 720, 600};
    SignalSpy choices{&scene, &CBattleResultScene::MenuSelected};
};

// A turn manager whose battle was broken off by a disconnection.
class CBrokenOffTurnManager : public CStandInTurnManager {
  public:
    void BreakOff() { SetDisconnected(); }
};

TEST_F(ResultSceneTest, TheChoiceButtonsAreOpenAgainOnTheNextShowing)
{
    QTemporaryDir logs;
    ASSERT_TRUE(logs.isValid());
    CSystemConfig::GetInstance().LogPath = logs.path().toStdWString();
    LogOneMove();
    scene.SetTurnManager(&turnManager);
    scene.GetSaveLogButton()->click();
    ASSERT_EQ(scene.GetSaveLogButton()->text(), QStringLiteral("Log was Saved"));
    scene.GetToggleButton()->click();
    ASSERT_TRUE(scene.IsAllPlayShown());

    scene.GetReplayButton()->click();
    scene.GetExitButton()->click(); // shut by the first choice
    EXPECT_EQ(Choices(), std::vector<MessageCode>{28});
    EXPECT_TRUE(AreChoicesDisabled());

    // The next battle's result screen.
    scene.SetTurnManager(&turnManager);
    EXPECT_TRUE(AreChoicesEnabled());
    EXPECT_EQ(scene.GetSaveLogButton()->text(), QStringLiteral("Save Log"));
    EXPECT_TRUE(scene.GetSaveLogButton()->isEnabled());
    EXPECT_FALSE(scene.IsAllPlayShown());
    EXPECT_EQ(scene.GetToggleButton()->text(), QStringLiteral("All Play Stats"));
    scene.GetExitButton()->click();
    EXPECT_EQ(Choices(), (std::vector<MessageCode>{28, 29}));
}

TEST_F(ResultSceneTest, EachChoiceButtonSendsItsCodeOnce)
{
    const struct {
        CPushButton* (CBattleResultScene::*button)() const;
        MessageCode code;
    } cases[] = {{&CBattleResultScene::GetReplayButton, 28},
                 {&CBattleResultScene::GetExitButton, 29},
                 {&CBattleResultScene::GetNextStageButton, 30}};
    for (const auto& row : cases) {
        choices.clear();
        scene.SetTurnManager(&turnManager);
        CPushButton* button = (scene.*row.button)();
        button->click();
        button->click();
        EXPECT_EQ(Choices(), std::vector<MessageCode>{row.code}) << button->text().toStdString();
        EXPECT_TRUE(AreChoicesDisabled()) << button->text().toStdString();
    }
}

TEST_F(ResultSceneTest, TheStageButtonsFollowTheArcadeModeAndTheFlags)
{
    const struct {
        bool isArcade;
        bool isShown;
        bool isNextStage;
        bool isReplayShown;
        bool isNextStageShown;
    } cases[] = {
        {false, true, true, true, false},   // versus: always Replay
        {false, false, false, true, false}, //
        {true, true, false, true, false},   // arcade loss with stages left: Replay
        {true, true, true, false, true},    // arcade win with stages left: Next Stage
        {true, false, true, false, false},  // the last stage won: only Exit
        {true, false, false, false, false}, // the last stage lost: only Exit
    };
    scene.SetTurnManager(&turnManager);
    for (const auto& row : cases) {
        scene.SetArcadeMode(row.isArcade);
        scene.ShowStageButtons(row.isShown, row.isNextStage);
        const std::string name =
            std::to_string(row.isArcade) + std::to_string(row.isShown) + std::to_string(row.isNextStage);
        EXPECT_EQ(scene.IsReplayShown(), row.isReplayShown) << name;
        EXPECT_EQ(scene.IsNextStageShown(), row.isNextStageShown) << name;
        EXPECT_EQ(scene.GetReplayButton()->graphicsProxyWidget()->isVisible(), row.isReplayShown) << name;
        EXPECT_EQ(scene.GetNextStageButton()->graphicsProxyWidget()->isVisible(), row.isNextStageShown)
            << name;
        // The buttons shown stand in one centred row.
        const auto* layout = static_cast<QGraphicsLinearLayout*>(scene.GetButtonBar()->layout());
        EXPECT_EQ(layout->count(), 3 + int(row.isReplayShown) + int(row.isNextStageShown)) << name;
        const QGraphicsWidget* bar = scene.GetButtonBar();
        EXPECT_NEAR(bar->x() + bar->size().width() / 2, scene.GetArea().width() / 2.0, 2) << name;
    }
}

TEST_F(ResultSceneTest, SaveLogWritesTheBattleLogAndSaysSo)
{
    QTemporaryDir logs;
    ASSERT_TRUE(logs.isValid());
    CSystemConfig::GetInstance().LogPath = logs.path().toStdWString();
    LogOneMove();
    scene.SetTurnManager(&turnManager);
    ASSERT_TRUE(scene.GetSaveLogButton()->isEnabled());
    scene.GetSaveLogButton()->click();

    const QStringList files = QDir(logs.path()).entryList({QStringLiteral("Marevane-*.log")}, QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Marevane-\\d{14}\\.log$")).match(files[0]).hasMatch())
        << files[0].toStdString();
    QFile file(QDir(logs.path()).filePath(files[0]));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString contents = QString::fromUtf8(file.readAll());
    const QString moved = logger->GetLogText(1).trimmed();
    ASSERT_FALSE(moved.isEmpty());
    EXPECT_TRUE(contents.contains(moved)) << contents.toStdString();

    EXPECT_EQ(scene.GetSaveLogButton()->text(), QStringLiteral("Log was Saved"));
    EXPECT_FALSE(scene.GetSaveLogButton()->isEnabled());
    EXPECT_EQ(Message(), QStringLiteral("Saving the Log has been completed."));
    EXPECT_TRUE(scene.GetMessageBar()->isVisible());
}

TEST_F(ResultSceneTest, SavingWhileAReplayWaitsBringsTheGuidanceBack)
{
    QTemporaryDir logs;
    ASSERT_TRUE(logs.isValid());
    CSystemConfig::GetInstance().LogPath = logs.path().toStdWString();
    scene.SetTurnManager(&turnManager);
    scene.ShowReplayGuidance();
    ASSERT_TRUE(scene.GetCancelItem()->isVisible());
    scene.GetSaveLogButton()->click();
    EXPECT_EQ(Message(), QStringLiteral("Saving the Log has been completed."));
    EXPECT_FALSE(scene.GetCancelItem()->isVisible());
    ASSERT_TRUE(WaitUntil([this] { return scene.GetCancelItem()->isVisible(); }));
    EXPECT_TRUE(Message().startsWith(QStringLiteral("Request for a \"Replay\" has been sent.")));
}

TEST_F(ResultSceneTest, AFailedSaveSaysSoAndLeavesTheButtonAsItWas)
{
    QTemporaryDir logs;
    ASSERT_TRUE(logs.isValid());
    // A file where the folder should be: nothing can be written into it.
    const QString notAFolder = logs.filePath(QStringLiteral("plain-file"));
    QFile plain(notAFolder);
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    CSystemConfig::GetInstance().LogPath = notAFolder.toStdWString();
    LogOneMove();
    scene.SetTurnManager(&turnManager);
    scene.GetSaveLogButton()->click();

    EXPECT_TRUE(Message().startsWith(QStringLiteral("Saving the Log has failed.")))
        << Message().toStdString();
    EXPECT_FALSE(Message().contains(QStringLiteral("completed")));
    EXPECT_EQ(scene.GetSaveLogButton()->text(), QStringLiteral("Save Log"));
    EXPECT_TRUE(scene.GetSaveLogButton()->isEnabled());
}

TEST_F(ResultSceneTest, TheHeaderShowsTheLatestLogTextUnlessTheBattleWasBrokenOff)
{
    LogOneMove();
    scene.SetTurnManager(&turnManager);
    EXPECT_EQ(scene.GetHeader()->toPlainText(), logger->GetLogText(1));

    CBrokenOffTurnManager broken;
    broken.TakeSides(world->Sides());
    broken.SetLogCache(&logger);
    broken.BreakOff();
    scene.SetTurnManager(&broken);
    EXPECT_EQ(scene.GetHeader()->toPlainText(), QStringLiteral("\nThis battle ended."));

    scene.SetTurnManager(nullptr);
    EXPECT_EQ(scene.GetHeader()->toPlainText(), QStringLiteral("\nThis battle ended."));
    EXPECT_FALSE(scene.GetSaveLogButton()->isEnabled());
    EXPECT_TRUE(scene.GetStatsLists().isEmpty());
}

TEST_F(ResultSceneTest, ListsStandInTwoColumnsAndTheButtonsBelowThem)
{
    MakeBattle(3);
    scene.SetTurnManager(&turnManager);
    const QVector<CStatsListCollection*>& lists = scene.GetStatsLists();
    ASSERT_EQ(lists.size(), 3);
    EXPECT_EQ(lists[0]->x(), scene.GetArea().left());
    EXPECT_GT(lists[0]->y(), scene.GetHeader()->y());
    EXPECT_EQ(lists[1]->y(), lists[0]->y());
    EXPECT_EQ(lists[1]->x(), lists[0]->x() + lists[0]->rect().width());
    EXPECT_EQ(lists[2]->x(), lists[0]->x());
    EXPECT_EQ(lists[2]->y(),
              std::max(lists[0]->y() + lists[0]->rect().height(), lists[1]->y() + lists[1]->rect().height()) +
                  8);
    EXPECT_GE(scene.GetButtonBar()->y(), lists[2]->y() + lists[2]->rect().height());
    EXPECT_EQ(scene.sceneRect().bottom(), scene.GetButtonBar()->y() + scene.GetButtonBar()->size().height());
    // Each side's title names it.
    auto* title = dynamic_cast<QGraphicsTextItem*>(lists[2]->GetHeadItem());
    ASSERT_NE(title, nullptr);
    EXPECT_TRUE(title->toPlainText().contains(QString::fromStdWString(world->Side(2)->GetProfile().Name)));
}

TEST_F(ResultSceneTest, AWatcherIsOfferedToWatchAgainAndCanCancel)
{
    scene.SetTurnManager(&turnManager);
    scene.SetWatchMode(true);
    EXPECT_EQ(scene.GetReplayButton()->text(), QStringLiteral("Watch Again"));
    scene.ShowReplayGuidance(); // a player's guidance is not a watcher's
    EXPECT_FALSE(scene.GetCancelItem()->isVisible());
    scene.ShowRewatchGuidance();
    ASSERT_TRUE(scene.GetCancelItem()->isVisible());
    ASSERT_FALSE(scene.GetCancelItem()->GetRows().isEmpty());
    EXPECT_EQ(scene.GetCancelItem()->GetRows().first()->text(), QStringLiteral("Cancel Watching"));
    EXPECT_TRUE(Message().startsWith(QStringLiteral("Request for a \"Watch Again\" has been sent.")));
    // The cancel row sits under the message, centred.
    EXPECT_GT(scene.GetCancelItem()->y(), scene.GetMessageBar()->y());

    scene.GetCancelItem()->SelectOk();
    EXPECT_EQ(Choices(), std::vector<MessageCode>{29});
    EXPECT_EQ(Message(), QStringLiteral("\"Watch Again\" has been canceled.\nNow going back the Title..."));
    EXPECT_FALSE(scene.GetCancelItem()->isVisible());
    EXPECT_TRUE(AreChoicesDisabled());

    scene.SetWatchMode(false);
    EXPECT_EQ(scene.GetReplayButton()->text(), QStringLiteral("Replay"));
}

TEST_F(ResultSceneTest, TogglingTwiceComesBackToThisBattlesStatistics)
{
    world->Side(0)->GetStatistics(0)[StatAttacks] = 2;
    world->Side(0)->GetStatistics(1)[StatAttacks] = 9;
    scene.SetTurnManager(&turnManager);
    const auto firstValue = [this] {
        return static_cast<QGraphicsTextItem*>(scene.GetStatsLists().at(0)->GetValues().at(0))->toPlainText();
    };
    EXPECT_EQ(firstValue(), QStringLiteral("2 times"));
    scene.GetToggleButton()->click();
    EXPECT_EQ(scene.GetToggleButton()->text(), QStringLiteral("Current Stats"));
    EXPECT_EQ(Message(), QStringLiteral("Show statistics for all plays."));
    EXPECT_EQ(firstValue(), QStringLiteral("9 times"));
    scene.GetToggleButton()->click();
    EXPECT_EQ(scene.GetToggleButton()->text(), QStringLiteral("All Play Stats"));
    EXPECT_EQ(Message(), QStringLiteral("Show statistics for current battle."));
    EXPECT_EQ(firstValue(), QStringLiteral("2 times"));
}

TEST_F(ResultSceneTest, TheFirstChoiceHasTheFocusAndTabWalksTheShownButtons)
{
    LogOneMove();
    CBattleResultView view(&scene);
    ShowForTheKeyboard(view);
    scene.FocusFirstChoice();
    Settle();
    EXPECT_TRUE(scene.GetReplayButton()->hasFocus());

    const auto tab = [&view](Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(&view, Qt::Key_Tab, modifiers);
        Settle();
    };
    // The buttons stand below the fold; the keyboard brings them into sight.
    ASSERT_EQ(view.verticalScrollBar()->value(), 0);
    ASSERT_GT(view.verticalScrollBar()->maximum(), 0);
    tab(Qt::NoModifier);
    EXPECT_TRUE(scene.GetExitButton()->hasFocus()); // Next Stage is not shown
    EXPECT_TRUE(view.mapToScene(view.viewport()->rect())
                    .boundingRect()
                    .contains(scene.GetExitButton()->graphicsProxyWidget()->sceneBoundingRect()));
    tab(Qt::ShiftModifier);
    EXPECT_TRUE(scene.GetReplayButton()->hasFocus());
    tab(Qt::ShiftModifier);
    EXPECT_TRUE(scene.GetSaveLogButton()->hasFocus());
    tab(Qt::ShiftModifier);
    EXPECT_TRUE(scene.GetToggleButton()->hasFocus());
    tab(Qt::NoModifier);
    EXPECT_TRUE(scene.GetSaveLogButton()->hasFocus());

    // In an arcade run won with stages left, Next Stage comes first.
    scene.SetArcadeMode(true);
    scene.ShowStageButtons(true, true);
    scene.FocusFirstChoice();
    Settle();
    EXPECT_TRUE(scene.GetNextStageButton()->hasFocus());
    QTest::keyClick(&view, Qt::Key_Space);
    Settle();
    EXPECT_EQ(Choices(), std::vector<MessageCode>{30});

    SaveScreenRender(view, QStringLiteral("battleend/result-arcade-won"));
}

TEST_F(ResultSceneTest, TheButtonWithTheFocusIsFramedAndItsLabelStaysPut)
{
    CBattleResultView view(&scene);
    ShowForTheKeyboard(view);
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
    scene.FocusFirstChoice();
    Settle();
    ASSERT_TRUE(scene.GetReplayButton()->hasFocus());

    const QColor frame(210, 225, 255);
    const auto area = [&view](CPushButton* button) {
        const QRect inViewport =
            view.mapFromScene(button->graphicsProxyWidget()->sceneBoundingRect()).boundingRect();
        return inViewport.translated(view.viewport()->mapTo(&view, QPoint(0, 0)));
    };
    const auto framePixels = [&frame](const QImage& picture) {
        int count = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) count += picture.pixelColor(x, y) == frame ? 1 : 0;
        return count;
    };
    const QRect replay = area(scene.GetReplayButton());
    const QImage focused = RenderScreen(view);
    SaveScreenRender(focused, QStringLiteral("battleend/result-focus-replay"));
    QTest::keyClick(&view, Qt::Key_Tab);
    Settle();
    ASSERT_TRUE(scene.GetExitButton()->hasFocus());
    ASSERT_EQ(area(scene.GetReplayButton()), replay);
    const QImage unfocused = RenderScreen(view);
    SaveScreenRender(unfocused, QStringLiteral("battleend/result-focus-exit"));

    // A frame around the whole button, none without the focus.
    EXPECT_GT(framePixels(focused.copy(replay)), replay.width());
    EXPECT_EQ(framePixels(unfocused.copy(replay)), 0);
    EXPECT_GT(framePixels(unfocused.copy(area(scene.GetExitButton()))), 0);
    // Inside the frame and its rounded corners the button looks as it did.
    const QRect inside = replay.adjusted(4, 4, -4, -4);
    EXPECT_EQ(focused.copy(inside), unfocused.copy(inside));
}

TEST_F(ResultSceneTest, TheColumnsGrowWithTheViewUpTo480Pixels)
{
    scene.SetTurnManager(&turnManager);
    for (const int width : {800, 960, 1200}) {
        scene.AdjustViewPosition(QSize(width, 600));
        const QVector<CStatsListCollection*>& lists = scene.GetStatsLists();
        EXPECT_EQ(lists[0]->rect().width(), std::min(width / 2, 480)) << width;
        EXPECT_EQ(lists[1]->x(), lists[0]->x() + lists[0]->rect().width()) << width;
        // The pair stands in the middle.
        EXPECT_NEAR(lists[0]->x() + lists[0]->rect().width(), width / 2.0, 2) << width;
    }
}

TEST_F(ResultSceneTest, ThePictureOfTheResultScreen)
{
    LogOneMove();
    world->Side(0)->GetStatistics(0)[StatVictory] = 1;
    CBattleResultView view(&scene);
    view.resize(720, 600);
    view.show();
    scene.SetTurnManager(&turnManager);
    scene.ShowStageButtons(true, false);
    scene.AdjustViewPosition(view.viewport()->size());
    Settle();
    const QString path = SaveScreenRender(view, QStringLiteral("battleend/result-screen"));
    EXPECT_FALSE(path.isEmpty());
    // The whole result, the buttons below the lists included.
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
    Settle();
    SaveScreenRender(view, QStringLiteral("battleend/result-screen-bottom"));
    view.verticalScrollBar()->setValue(0);
    scene.ShowReplayGuidance();
    Settle();
    SaveScreenRender(view, QStringLiteral("battleend/result-replay-guidance"));
}

} // namespace
