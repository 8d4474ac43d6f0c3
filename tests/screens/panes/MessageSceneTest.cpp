// The message pane: lines added at once and one by one, the page control
// over the battle log, and the reading mode.
#include "screens/battle/MessageScene.h"
#include "app/MessageView.h"
#include "gui/TextItems.h"
#include "gui/Widgets.h"
#include "tests/screens/panes/LoggedBattle.h"

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

class MessageSceneTest : public LoggedBattleTest {
  protected:
    CMessageScene scene{0, 0, QSize(720, 140)};
};

TEST_F(MessageSceneTest, LinesChainBelowEachOther)
{
    scene.Add(QStringLiteral("first"), true);
    scene.Add(std::wstring(L"second"));
    EXPECT_EQ(scene.GetShownTexts(), (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
    const auto& lines = scene.GetLines();
    EXPECT_EQ(lines[0]->pos(), QPointF(8, 12));
    EXPECT_EQ(lines[1]->parentItem(), lines[0]);
    EXPECT_DOUBLE_EQ(lines[1]->y(), lines[0]->boundingRect().height());
    EXPECT_DOUBLE_EQ(lines[0]->textWidth(), 720 - 12);
    EXPECT_FALSE(scene.IsAdding());
}

TEST_F(MessageSceneTest, TextWithLineFeedsIsAddedLineByLine)
{
    scene.Add(QStringLiteral("a\nb\nc"), true);
    EXPECT_TRUE(scene.IsAdding());
    EXPECT_EQ(scene.GetShownTexts(), QStringList{QStringLiteral("a")});
    ASSERT_TRUE(WaitUntil([this] { return !scene.IsAdding(); }));
    EXPECT_EQ(scene.GetShownTexts(),
              (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));

    // A line added while a list is still going waits for its turn.
    scene.Add(QVector<QString>{QStringLiteral("d"), QStringLiteral("e")});
    scene.Add(QStringLiteral("f"), true);
    ASSERT_TRUE(WaitUntil([this] { return !scene.IsAdding(); }));
    EXPECT_EQ(scene.GetShownTexts().mid(3),
              (QStringList{QStringLiteral("d"), QStringLiteral("e"), QStringLiteral("f")}));
}

TEST_F(MessageSceneTest, SetDropsTheLinesStillWaiting)
{
    scene.Add(QVector<QString>{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}, 1000);
    scene.Set(QStringLiteral("only"));
    EXPECT_FALSE(scene.IsAdding());
    EXPECT_EQ(scene.GetShownTexts(), QStringList{QStringLiteral("only")});
    ASSERT_EQ(scene.GetLines().size(), 1u);
    scene.Clear();
    EXPECT_TRUE(scene.GetLines().empty());
    EXPECT_EQ(scene.GetShownLineCount(), 0);
}

TEST_F(MessageSceneTest, PageControlBrowsesTheBattleLog)
{
    // Without a log every button is off and paging only refreshes them.
    scene.ShowPrevLog();
    scene.ShowNextLog();
    for (CPushButton* button : {scene.GetPrevButton(), scene.GetNextButton(), scene.GetLatestButton()})
        EXPECT_FALSE(button->isEnabled());
    EXPECT_EQ(scene.GetCurrentPage(), 1);

    StartBattle(2);
    for (int turn = 0; turn < 3; ++turn) Move(turn % 2, turn < 2);
    ASSERT_EQ(logger->GetLogCount(), 3u);
    scene.SetLogger(&logger.GetImpl());
    scene.SetPageLimit(2);

    struct Step {
        void (CMessageScene::*action)();
        int page;
        bool prev;
        bool next;
    };
    const Step steps[] = {{&CMessageScene::ShowLatestLog, 1, false, true},
                          {&CMessageScene::ShowPrevLog, 1, false, true},
                          {&CMessageScene::ShowNextLog, 2, true, false},
                          {&CMessageScene::ShowNextLog, 2, true, false}, // the limit holds
                          {&CMessageScene::ShowPrevLog, 1, false, true}};
    for (const Step& step : steps) {
        (scene.*step.action)();
        EXPECT_EQ(scene.GetCurrentPage(), step.page);
        EXPECT_EQ(scene.GetPrevButton()->isEnabled(), step.prev) << step.page;
        EXPECT_EQ(scene.GetNextButton()->isEnabled(), step.next) << step.page;
        EXPECT_TRUE(scene.GetLatestButton()->isEnabled());
        ASSERT_TRUE(WaitUntil([&] { return !scene.IsAdding(); }));
        EXPECT_EQ(scene.GetShownTexts().join(QLatin1Char('\n')),
                  logger->GetLogText(static_cast<unsigned>(step.page)));
    }
    scene.DisablePageControl();
    EXPECT_FALSE(scene.GetLatestButton()->isEnabled());
}

TEST_F(MessageSceneTest, ReadingModeShowsOnePieceAtATime)
{
    scene.Read(QVector<QString>{QStringLiteral("A"), QStringLiteral("B")});
    EXPECT_EQ(scene.GetShownTexts(), QStringList{QStringLiteral("A")});
    EXPECT_TRUE(scene.IsNextMarkerShown());
    PressKey(scene, Qt::Key_Return);
    EXPECT_EQ(scene.GetShownTexts(), QStringList{QStringLiteral("B")});
    EXPECT_FALSE(scene.IsNextMarkerShown());
    PressKey(scene, Qt::Key_Return);
    EXPECT_EQ(scene.GetShownTexts(), QStringList{QStringLiteral("B")});

    scene.Read(QVector<QString>{QStringLiteral("C"), QStringLiteral("D")});
    Click(scene, QPointF(100, 60));
    EXPECT_EQ(scene.GetShownTexts(), QStringList{QStringLiteral("D")});
}

TEST_F(MessageSceneTest, WiderViewRewrapsTheLines)
{
    CMessageView view(&scene);
    scene.Add(QStringLiteral("a line"), true);
    scene.Add(QStringLiteral("another line"), true);
    scene.AdjustViewPosition(QSize(900, 140));
    for (CTextItem* line : scene.GetLines()) EXPECT_DOUBLE_EQ(line->textWidth(), 900 - 11);
    EXPECT_DOUBLE_EQ(scene.sceneRect().width(), 899);
    QGraphicsRectItem* control = scene.GetPageControl();
    EXPECT_DOUBLE_EQ(control->x() + control->rect().width(), 900 - 12);
}

TEST_F(MessageSceneTest, LongReportKeepsThePageControlInSight)
{
    CMessageView view(&scene);
    view.resize(720, 140);
    for (int i = 0; i < 20; ++i) scene.Add(QStringLiteral("line %1").arg(i), true);
    QGraphicsRectItem* control = scene.GetPageControl();
    EXPECT_GT(scene.sceneRect().height(), 140);
    EXPECT_LE(control->y() + control->rect().height(), scene.sceneRect().height());
}

} // namespace
