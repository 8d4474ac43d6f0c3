// The status detail screen and its lists: statistics rows of a side and a
// ship, a ship's status rows, the buttons and what they report, and the
// caption's clock that only reads the side's timer.
#include "model/Timer.h"
#include "model/TurnManager.h"
#include "screens/battle/ShipProfileItems.h"
#include "screens/battle/StatusDetailScene.h"
#include "screens/battle/StatusLists.h"
#include "tests/screens/panes/PanesFixture.h"

#include "gui/ScreenTiming.h"
#include "gui/Style.h"
#include "gui/TextItems.h"
#include "gui/Widgets.h"

#include <QGraphicsTextItem>
#include <QtCore/qtestsupport_core.h>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

QStringList Texts(const QList<QGraphicsItem*>& items)
{
    QStringList texts;
    for (QGraphicsItem* item : items)
        if (auto* text = dynamic_cast<QGraphicsTextItem*>(item)) texts << text->toPlainText();
    return texts;
}

class StatusDetailTest : public PanesTest {
  protected:
    void SetUp() override
    {
        PanesTest::SetUp();
        MakeSides(2);
    }
};

TEST_F(StatusDetailTest, SideStatisticsOfTheBattleLeaveOutOneRow)
{
    ActionStatistics& battle = players[0]->GetStatistics(0);
    battle[StatAttacks] = 4;
    battle[StatHits] = 1;
    battle[StatMaxFp] = 0; // fuel not in use
    battle[StatFp] = 0;
    CStatsListCollection current(QRectF(0, 0, 400, 600));
    current.SetUnitStatistics(players[0], false);
    CStatsListCollection all(QRectF(0, 0, 400, 600));
    all.SetUnitStatistics(players[0], true);
    EXPECT_EQ(current.GetLabels().size() + 1, all.GetLabels().size());
    EXPECT_EQ(current.GetValues().size(), current.GetLabels().size());

    const QStringList values = Texts(current.GetValues());
    const QStringList labels = Texts(current.GetLabels());
    EXPECT_EQ(labels.first(), QStringLiteral("Attack Count: "));
    EXPECT_EQ(values[labels.indexOf(QStringLiteral("(Hit Rate: "))], QStringLiteral("25%)"));
    for (const QString& value : values) {
        EXPECT_FALSE(value.contains(QStringLiteral("nan"))) << value.toStdString();
        EXPECT_FALSE(value.contains(QStringLiteral("inf"))) << value.toStdString();
    }
    // Rows stack from the top, labels at the margin, values right-aligned.
    EXPECT_DOUBLE_EQ(current.GetLabels().first()->x(), 8);
    EXPECT_LT(current.GetLabels()[0]->y(), current.GetLabels()[1]->y());
    EXPECT_NEAR(current.GetValues().first()->x() + current.GetValues().first()->boundingRect().width(), 392,
                1);
}

TEST_F(StatusDetailTest, ShipStatisticsListEveryCounter)
{
    Profile(0, 2).Statistics[ShipStatAttacks] = 2;
    Profile(0, 2).Statistics[ShipStatHits] = 2;
    CStatsListCollection list(QRectF(0, 0, 400, 600));
    list.SetShipStatistics(Ship(0, 2));
    const QStringList labels = Texts(list.GetLabels());
    const QStringList values = Texts(list.GetValues());
    ASSERT_EQ(labels.size(), 18);
    EXPECT_EQ(labels.last(), QStringLiteral("Exploration Count: "));
    EXPECT_EQ(values[2], QStringLiteral("100%)"));
}

TEST_F(StatusDetailTest, ResultListTitleOpensWithATriangleAndStoresTheScore)
{
    players[0]->GetStatistics(0)[StatSunk] = 2;
    players[0]->GetStatistics(0).Score = -1;
    CStatsListCollection list(QRectF(0, 0, 400, 600));
    list.SetUnit(players[0], false);
    auto* title = dynamic_cast<QGraphicsTextItem*>(list.GetHeadItem());
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->toPlainText(), QString(QChar(0x25BC)) + QStringLiteral("Ann's Battle Statistics"));
    EXPECT_NE(players[0]->GetStatistics(0).Score, -1);
    EXPECT_GT(list.GetLabels().first()->y(), title->y());
}

struct StatusCase {
    std::uint32_t shipId;
    const char* abilities;
    bool isGrey;
};

TEST_F(StatusDetailTest, ShipStatusRowsOfEachShipType)
{
    const StatusCase cases[] = {
        {1, "none", true}, {2, "Torpedo, Mine", false}, {3, "Stealth, Torpedo", false}, {4, "Refuel", false}};
    for (const StatusCase& c : cases) {
        SCOPED_TRACE(c.shipId);
        CShipStatusCollection list(QRectF(0, 0, 400, 600));
        list.SetShip(Ship(0, c.shipId));
        ASSERT_NE(list.GetHeadItem(), nullptr);
        EXPECT_EQ(Texts(list.GetLabels()),
                  (QStringList{QStringLiteral("Current Status: "), QStringLiteral("Current Panel: "),
                               QStringLiteral("Ship Ability: ")}));
        auto* ability = dynamic_cast<QGraphicsTextItem*>(list.GetValues()[2]);
        ASSERT_NE(ability, nullptr);
        EXPECT_EQ(ability->toPlainText(), QString::fromLatin1(c.abilities));
        EXPECT_EQ(ability->defaultTextColor() == DisabledTextColor, c.isGrey);
        // The panel row holds the coordinates, the picture and the name.
        const QStringList panel = Texts(list.GetValues()[1]->childItems());
        EXPECT_EQ(panel.first(), QStringLiteral("R1C%1").arg(c.shipId));
        EXPECT_GE(list.GetLabels().first()->y(),
                  list.GetHeadItem()->y() + list.GetHeadItem()->rect().height() - 1);
    }
}

TEST_F(StatusDetailTest, SideViewButtonsReportTheirCodes)
{
    CStatusDetailScene scene;
    scene.CreateItems(players[0]);
    EXPECT_FALSE(scene.GetPrevButton()->isEnabled());
    EXPECT_TRUE(scene.GetNextButton()->isEnabled());
    EXPECT_EQ(scene.GetToggleButton()->text(), QStringLiteral("All Play Stats"));
    EXPECT_EQ(scene.GetCaptionBar()->GetCaption(), QStringLiteral("Player Status"));
    EXPECT_NE(scene.GetStatsList(), nullptr);
    EXPECT_EQ(scene.GetShipStatusList(), nullptr);

    SoundRecorder sounds;
    SignalSpy codes(&scene, &CStatusDetailScene::MenuSelected);
    scene.GetNextButton()->click();
    scene.GetCloseButton()->click();
    scene.GetToggleButton()->click();
    ASSERT_EQ(codes.size(), 3);
    EXPECT_EQ(codes[0][0].toUInt(), 30u);
    EXPECT_EQ(codes[1][0].toUInt(), 33u);
    EXPECT_EQ(codes[2][0].toUInt(), 31u);
    EXPECT_EQ(sounds.Codes(), (std::vector<Sound::SeCode>{Sound::SeDefaultSelected, Sound::SeDefaultCanceled,
                                                          Sound::SeDefaultSelected}));
    EXPECT_TRUE(scene.IsAllPlay());

    // Rebuilt by the sequence: the toggle names the other view.
    scene.CreateItems(players[0]);
    EXPECT_EQ(scene.GetToggleButton()->text(), QStringLiteral("Current Stats"));
    CStatsListCollection current(QRectF(0, 0, 400, 600));
    current.SetUnitStatistics(players[0], false);
    EXPECT_EQ(scene.GetStatsList()->GetLabels().size(), current.GetLabels().size() + 1);

    // While the sequence is busy nothing is reported.
    codes.clear();
    scene.SetControlEnabled(false);
    scene.GetCloseButton()->click();
    EXPECT_TRUE(codes.isEmpty());
    scene.SetControlEnabled(true);
    scene.GetCloseButton()->click();
    EXPECT_EQ(codes.size(), 1);
}

TEST_F(StatusDetailTest, ShipViewOfTheLastShipHasNoNext)
{
    CStatusDetailScene scene;
    for (std::uint32_t id : {1u, 4u}) {
        scene.CreateItems(players[1], Ship(1, id));
        EXPECT_EQ(scene.GetNextButton()->isEnabled(), id != 4);
        EXPECT_TRUE(scene.GetPrevButton()->isEnabled());
        EXPECT_TRUE(scene.GetToggleButton()->isHidden());
        EXPECT_EQ(scene.GetCaptionBar()->GetCaption(), QStringLiteral("Ship Status"));
        ASSERT_NE(scene.GetShipStatusList(), nullptr);
        EXPECT_EQ(scene.GetShipStatusList()->GetHeadItem()->GetProfile(), &Profile(1, id));
        EXPECT_GT(scene.GetStatsList()->y(),
                  scene.GetShipStatusList()->y() + scene.GetShipStatusList()->rect().height());
        EXPECT_EQ(scene.GetNameItem()->toPlainText(), QStringLiteral("Bea"));
    }
}

TEST_F(StatusDetailTest, ResizeKeepsTheButtonsAtTheRightEdge)
{
    CStatusDetailScene scene;
    scene.CreateItems(players[0], Ship(0, 1));
    scene.AdjustViewPosition(QSize(600, 700));
    EXPECT_EQ(scene.GetContentRect().right(), 599);
    QGraphicsRectItem* bar = scene.GetButtonBar();
    EXPECT_DOUBLE_EQ(bar->x() + bar->rect().width(), scene.GetContentRect().width());
    EXPECT_DOUBLE_EQ(scene.GetCaptionBar()->rect().width(), 600);
    EXPECT_GT(scene.GetStatsList()->rect().width(), 500);
    scene.AdjustViewPosition(QSize(0, 700)); // nothing for an empty view
    EXPECT_EQ(scene.GetContentRect().right(), 599);
}

// A turn manager that only names the side to move.
class NamingTurnManager : public CTurnManagerOnServer {
  public:
    void Update(MessageCode) override {}
    void SetLogCache(CLogger*) override {}
    CLogger* GetLogCache() const override { return nullptr; }
};

TEST_F(StatusDetailTest, CaptionClockReadsTheTimerWithoutRunningIt)
{
    NamingTurnManager turns;
    turns.SetUnits({players[0], players[1]});
    turns.SetCurrentUnitById(0);
    CTimer& timer = players[0]->GetTimer();
    timer.SetTimeLimit(65000);
    ASSERT_FALSE(timer.IsRunning());

    CStatusDetailScene scene;
    scene.SetTurnManager(&turns);
    scene.CreateItems(players[0]);
    EXPECT_EQ(scene.GetCaptionBar()->GetTimeText(), QStringLiteral("0:01:05"));
    QTest::qWait(ScreenTiming::Scaled(ScreenTiming::ClockTick) * 3);
    scene.Clear();
    EXPECT_FALSE(timer.IsRunning());
    EXPECT_FALSE(timer.IsStarted());
    EXPECT_EQ(timer.GetTimeLimit(), 65000);
}

} // namespace
