// The player status pane: the own fleet, a watcher's columns, refreshes,
// keyboard walks, clicks, and the side scene's lookups and view.
#include "screens/battle/PlayerStatusScene.h"
#include "screens/battle/ShipProfileItems.h"
#include "tests/screens/panes/PanesFixture.h"

#include "gui/Style.h"

#include <QGraphicsTextItem>
#include <QResizeEvent>

#include <cmath>

Q_DECLARE_METATYPE(Marevane::CUnit*)
Q_DECLARE_METATYPE(Marevane::CShip*)

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

class PlayerStatusTest : public PanesTest {
  protected:
    void SetUp() override
    {
        PanesTest::SetUp();
        Activate(scene);
    }
    QString HpText(int side, std::uint32_t id) const
    {
        return scene.FindCard(players[side], id)->GetText(CShipProfileItem::HpText)->toPlainText();
    }
    CPlayerStatusScene scene;
};

TEST_F(PlayerStatusTest, OwnFleetIsTheNameAndAFullCardPerShip)
{
    MakeSides(2);
    scene.SetUp(&players, players[0]);
    ASSERT_NE(scene.FindNameItem(players[0]), nullptr);
    EXPECT_EQ(scene.FindNameItem(players[1]), nullptr);
    qreal y = std::ceil(scene.FindNameItem(players[0])->y() +
                        scene.FindNameItem(players[0])->boundingRect().height());
    for (std::uint32_t id = 1; id <= 4; ++id) {
        CShipProfileItem* card = scene.FindCard(players[0], id);
        ASSERT_NE(card, nullptr);
        EXPECT_EQ(qobject_cast<CShipProfileMiniItem*>(card), nullptr);
        EXPECT_DOUBLE_EQ(card->y(), y);
        EXPECT_DOUBLE_EQ(card->x(), 0);
        y += card->rect().height();
    }
    EXPECT_DOUBLE_EQ(scene.sceneRect().height(), y);
    EXPECT_EQ(scene.CountUnits(), 1);
}

TEST_F(PlayerStatusTest, ResultLineRefreshesTheCardWhichKeepsTheLiveProfile)
{
    MakeSides(2);
    scene.SetUp(&players, players[0]);
    ShipProfile shown = Profile(0, 2); // the state a result line carries
    shown.Hp = 1;
    scene.Update(&shown);
    EXPECT_EQ(HpText(0, 2), QStringLiteral("HP 1 / 2 "));
    EXPECT_EQ(scene.FindCard(players[0], 2)->GetProfile(), &Profile(0, 2));

    Profile(0, 3).Hp = 0;
    Profile(0, 3).Condition = 5;
    scene.UpdateAll();
    EXPECT_FALSE(scene.FindCard(players[0], 3)->isEnabled());

    // Profiles of ships the pane does not show change nothing.
    ShipProfile stranger = Profile(1, 1);
    scene.Update(&stranger);
    scene.Update(nullptr);
    EXPECT_EQ(scene.FindCard(players[1], 1), nullptr);
}

TEST_F(PlayerStatusTest, WatcherSeesAColumnPerSide)
{
    for (int count : {2, 4}) {
        SCOPED_TRACE(count);
        players.clear();
        units.Clear();
        ships.Clear();
        MakeSides(count);
        CSideView view(&scene);
        scene.SetUp(&players, nullptr);
        ASSERT_EQ(scene.CountUnits(), count);
        const qreal width = scene.FindCard(players[0], 1)->rect().width();
        for (int k = 0; k < count; ++k) {
            EXPECT_DOUBLE_EQ(scene.FindNameItem(players[k])->x(), k * width + 10);
            for (std::uint32_t id = 1; id <= 4; ++id) {
                CShipProfileItem* card = scene.FindCard(players[k], id);
                ASSERT_NE(qobject_cast<CShipProfileMiniItem*>(card), nullptr);
                EXPECT_DOUBLE_EQ(card->x(), k * width);
                EXPECT_DOUBLE_EQ(card->rect().width(), width);
            }
            // Every column starts at the same height.
            EXPECT_DOUBLE_EQ(scene.FindCard(players[k], 1)->y(), scene.FindCard(players[0], 1)->y());
        }
        EXPECT_DOUBLE_EQ(scene.sceneRect().width(), count * width);
        EXPECT_EQ(view.horizontalScrollBarPolicy(),
                  count > 2 ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        scene.Clear();
    }
}

TEST_F(PlayerStatusTest, WatchedSideWithoutShipsHasNoColumn)
{
    MakeSides(3);
    ships.RemoveShipsOf(players[1]);
    scene.SetUp(&players, nullptr);
    EXPECT_EQ(scene.CountUnits(), 2);
    EXPECT_EQ(scene.FindNameItem(players[1]), nullptr);
    const qreal width = scene.FindCard(players[0], 1)->rect().width();
    EXPECT_DOUBLE_EQ(scene.FindCard(players[2], 1)->x(), width);
    scene.UpdateAll(); // still up to date: nothing rebuilt, nothing fails
    EXPECT_EQ(scene.CountUnits(), 2);
}

TEST_F(PlayerStatusTest, LongNameInAColumnShrinksOnce)
{
    MakeSides(2);
    UnitProfile profile = players[1]->GetProfile();
    profile.Name = L"Bo Li Ann Mae Kim";
    players[1]->SetProfile(profile);
    scene.SetUp(&players, nullptr);
    const int normal = scene.FindNameItem(players[0])->font().pixelSize();
    ASSERT_GT(CPlayerNameItem(players[1]).boundingRect().width(),
              scene.FindCard(players[0], 1)->rect().width() - 10);
    EXPECT_EQ(scene.FindNameItem(players[1])->font().pixelSize(), 9 * normal / 10);
}

TEST_F(PlayerStatusTest, OwnNameIsCentredOrPlacedAfterTheMargin)
{
    MakeSides(2);
    scene.SetSize(QSize(304, 380));
    scene.SetUp(&players, players[0]);
    CPlayerNameItem* name = scene.FindNameItem(players[0]);
    EXPECT_DOUBLE_EQ(name->pos().x(), 32);
    EXPECT_DOUBLE_EQ(name->textWidth(), 304 - 32);

    const qreal own = CPlayerNameItem(players[0]).boundingRect().width();
    scene.SetSize(QSize(static_cast<int>(own) + 20, 380));
    scene.SetUp(&players, players[0]);
    name = scene.FindNameItem(players[0]);
    EXPECT_DOUBLE_EQ(name->pos().x(), static_cast<int>(scene.sceneRect().width() - own) / 2);
}

TEST_F(PlayerStatusTest, ArrowKeysWalkThroughEnabledCards)
{
    MakeSides(2);
    Profile(0, 2).Condition = 5; // the destroyer sinks
    scene.SetUp(&players, players[0]);
    struct Step {
        int key;
        std::uint32_t ship;
    };
    const Step steps[] = {{Qt::Key_Down, 1}, {Qt::Key_Down, 3}, {Qt::Key_Right, 4}, {Qt::Key_Down, 1},
                          {Qt::Key_Up, 1},   {Qt::Key_Left, 1}, {Qt::Key_Down, 3},  {Qt::Key_Up, 1}};
    for (const Step& step : steps) {
        PressKey(scene, step.key);
        EXPECT_EQ(scene.GetFocusedUnit(), players[0]);
        EXPECT_EQ(scene.GetFocusedShipId(), step.ship) << step.key;
        EXPECT_EQ(scene.FindCard(players[0], step.ship)->brush().color(), HighlightColor);
    }
    // Escape clears the highlight but keeps the place.
    PressKey(scene, Qt::Key_Escape);
    EXPECT_EQ(scene.FindCard(players[0], 1)->brush().style(), Qt::NoBrush);
    EXPECT_EQ(scene.GetFocusedShipId(), 1u);
    PressKey(scene, Qt::Key_Down);
    EXPECT_EQ(scene.GetFocusedShipId(), 3u);
}

TEST_F(PlayerStatusTest, WatcherMovesBetweenColumnsWithLeftAndRight)
{
    MakeSides(4);
    scene.SetUp(&players, nullptr);
    PressKey(scene, Qt::Key_Right); // nothing focused yet: the first side's first ship
    EXPECT_EQ(scene.GetFocusedUnit(), players[0]);
    EXPECT_EQ(scene.GetFocusedShipId(), 1u);
    PressKey(scene, Qt::Key_Down);
    PressKey(scene, Qt::Key_Right);
    EXPECT_EQ(scene.GetFocusedUnit(), players[1]);
    EXPECT_EQ(scene.GetFocusedShipId(), 2u);
    for (int i = 0; i < 3; ++i) PressKey(scene, Qt::Key_Right);
    EXPECT_EQ(scene.GetFocusedUnit(), players[3]); // stays in the last column
    PressKey(scene, Qt::Key_Left);
    EXPECT_EQ(scene.GetFocusedUnit(), players[2]);
    EXPECT_EQ(scene.GetFocusedShipId(), 2u);
}

TEST_F(PlayerStatusTest, ClicksAskForCardsAndStatusDetails)
{
    MakeSides(2);
    scene.SetUp(&players, players[0]);
    SignalSpy selected(&scene, &CPlayerStatusScene::ShipProfileSelected);
    SignalSpy detail(&scene, &CPlayerStatusScene::PlayerDataSent);
    CShipProfileItem* card = scene.FindCard(players[0], 2);
    Click(scene, card->sceneBoundingRect().center(), Qt::LeftButton);
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0][0].value<const ShipProfile*>(), &Profile(0, 2));
    Click(scene, card->sceneBoundingRect().center(), Qt::RightButton);
    ASSERT_EQ(detail.size(), 1);
    EXPECT_EQ(detail[0][0].value<CUnit*>(), players[0]);
    EXPECT_EQ(detail[0][1].value<CShip*>(), Ship(0, 2));
    Click(scene, scene.FindNameItem(players[0])->sceneBoundingRect().center());
    ASSERT_EQ(detail.size(), 2);
    EXPECT_EQ(detail[1][0].value<CUnit*>(), players[0]);
    EXPECT_EQ(detail[1][1].value<CShip*>(), nullptr);
}

TEST_F(PlayerStatusTest, SelectionFromTheMapHighlightsOneCard)
{
    MakeSides(2);
    scene.SetUp(&players, players[0]);
    scene.SetShipSelected(players[0], Ship(0, 2));
    EXPECT_EQ(scene.FindCard(players[0], 2)->brush().color(), HighlightColor);
    scene.SetShipSelected(players[0], Ship(0, 4));
    EXPECT_EQ(scene.FindCard(players[0], 2)->brush().style(), Qt::NoBrush);
    EXPECT_EQ(scene.FindCard(players[0], 4)->brush().color(), HighlightColor);
    scene.SetShipSelected(nullptr, nullptr);
    EXPECT_EQ(scene.FindCard(players[0], 4)->brush().style(), Qt::NoBrush);
    EXPECT_EQ(scene.GetFocusedUnit(), nullptr);
}

TEST_F(PlayerStatusTest, LookupsAnswerNullInsteadOfFailing)
{
    EXPECT_EQ(scene.GetPlayer(CSideScene::OwnUnitIndex), nullptr); // no list, no own side
    EXPECT_EQ(scene.GetPlayer(0), nullptr);
    EXPECT_EQ(scene.FindPlayer(0), nullptr);
    MakeSides(2);
    scene.SetUp(&players, players[1]);
    EXPECT_EQ(scene.GetPlayer(1), players[1]);
    EXPECT_EQ(scene.GetPlayer(2), nullptr);
    EXPECT_EQ(scene.GetPlayer(CSideScene::OwnUnitIndex), players[1]);
    EXPECT_EQ(scene.FindPlayer(1), players[1]);
    // The scene keeps the caller's vector, not a copy.
    players.removeLast();
    EXPECT_EQ(scene.GetPlayer(1), nullptr);
    // Keys with nothing to focus change nothing.
    CPlayerStatusScene empty;
    PressKey(empty, Qt::Key_Down);
    PressKey(empty, Qt::Key_Left);
    EXPECT_EQ(empty.GetFocusedUnit(), nullptr);
}

TEST_F(PlayerStatusTest, SideViewFollowsItsWidthAfterTheFirstSizing)
{
    CSideView view(&scene);
    EXPECT_EQ(scene.sceneRect(), QRectF(0, 0, 304, 380));
    // A scroll area hears of its resizes through its viewport.
    QResizeEvent first(QSize(400, 500), QSize(-1, -1));
    QCoreApplication::sendEvent(view.viewport(), &first);
    EXPECT_EQ(scene.sceneRect(), QRectF(0, 0, 304, 380));
    QResizeEvent later(QSize(420, 500), QSize(400, 500));
    QCoreApplication::sendEvent(view.viewport(), &later);
    EXPECT_EQ(scene.sceneRect(), QRectF(0, 0, 420, 380));
}

} // namespace
