// The ship list: which cards and buttons are on for a fleet, the keys, and
// the one rule that sets the size of a fleet.
#include "gui/Widgets.h"
#include "screens/battle/FleetLimit.h"
#include "screens/battle/ShipIcon.h"
#include "screens/battle/ShipProfileItems.h"
#include "screens/battle/ShipSelectionScene.h"
#include "screens/battle/SideScene.h"
#include "tests/screens/kit/ScreenRender.h"
#include "tests/screens/kit/ScreenTest.h"

#include <QGraphicsProxyWidget>
#include <QGraphicsView>
#include <QScrollBar>

Q_DECLARE_METATYPE(const Marevane::CShipIcon*)

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

struct LimitCase {
    std::uint32_t rule;
    std::uint32_t players;
    std::uint32_t rows;
    std::uint32_t columns;
    std::uint32_t fleet;
    bool hasTeamMate;
    std::uint32_t limit;
};

TEST(FleetLimit, FollowsTheRulesAndTheTeam)
{
    const std::uint32_t tag = GameModeVersus | GameModeTag;
    const LimitCase cases[] = {
        {GameModeVersus | GameModeSingle, 2, 5, 5, 3, false, 3},
        {GameModeVersus | GameModeSingle, 4, 5, 5, 2, false, 2},
        // A side alone in a tag match commands the missing partners' fleets.
        {tag, 4, 5, 5, 3, false, 6},
        {tag, 3, 5, 5, 3, false, 6},
        {tag | GameModeSingle, 4, 5, 5, 3, false, 6},
        {tag, 4, 5, 5, 3, true, 3},
        // Never more ships than panels, never fewer than one fleet.
        {tag, 4, 2, 2, 3, false, 4},
        {tag, 2, 5, 5, 3, false, 3},
        {GameModeTag, 4, 5, 5, 3, false, 3},
    };
    for (const LimitCase& c : cases) {
        CBattleWorld world({c.rows < 3 ? 3u : c.rows, c.columns < 3 ? 3u : c.columns, 2, 0, 1, false});
        GameEditInfo rules;
        rules.Rule = c.rule;
        rules.PlayerCount = c.players;
        rules.FleetSize = c.fleet;
        rules.Map.Size = MapPos(c.rows, c.columns);
        if (c.hasTeamMate) world.Side(0)->JoinTeam(*world.Side(1));
        EXPECT_EQ(FleetLimit(rules, world.Side(0)), c.limit)
            << "rule " << c.rule << ", " << c.players << " players, " << c.rows << "x" << c.columns;
    }
}

class ShipSelectionTest : public ScreenTest {
  protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        rules.FleetSize = 3;
        scene = std::make_unique<CShipSelectionScene>(&rules);
        view = std::make_unique<QGraphicsView>(scene.get());
        players = {world.Side(0), world.Side(1)};
        scene->SetUp(&players, world.Side(0));
        Activate(*scene);
        scene->UpdateAll();
    }

    bool IsEnabled(ShipType type) const { return scene->GetCard(type)->isEnabled(); }
    std::vector<bool> CardsEnabled() const
    {
        std::vector<bool> enabled;
        for (ShipType type : CShipSelectionScene::ShipTypes) enabled.push_back(IsEnabled(type));
        return enabled;
    }
    void Place(std::uint32_t type, std::uint32_t column)
    {
        world.PutShip(0, type, 1, column);
        scene->UpdateAll();
    }

    CBattleWorld world{{5, 5, 2, 0, 1, false}};
    GameEditInfo rules;
    QVector<CUnit*> players;
    std::unique_ptr<CShipSelectionScene> scene;
    std::unique_ptr<QGraphicsView> view;
};

TEST_F(ShipSelectionTest, CardsAndButtonsFollowTheFleet)
{
    EXPECT_EQ(scene->GetFleetLimit(), 3u);
    // No oiler as the first ship; nothing to confirm or take back yet.
    EXPECT_EQ(CardsEnabled(), (std::vector<bool>{true, true, true, false}));
    EXPECT_FALSE(scene->GetOkButton()->isEnabled());
    EXPECT_FALSE(scene->GetResetButton()->isEnabled());
    EXPECT_TRUE(scene->GetPrevButton()->isEnabled());

    Place(ShipTypeSubmarine, 1);
    EXPECT_EQ(CardsEnabled(), (std::vector<bool>{true, true, true, true}));
    EXPECT_FALSE(scene->GetOkButton()->isEnabled());
    EXPECT_TRUE(scene->GetResetButton()->isEnabled());

    Place(ShipTypeOiler, 2);
    Place(ShipTypeBattleship, 3);
    EXPECT_EQ(CardsEnabled(), (std::vector<bool>{false, false, false, false}));
    EXPECT_TRUE(scene->GetOkButton()->isEnabled());
}

TEST_F(ShipSelectionTest, PrevOnlyOutsideArcadeAndNetwork)
{
    const struct {
        std::uint32_t rule;
        std::uint32_t networkPlayers;
        bool prev;
    } cases[] = {{GameModeVersus | GameModeSingle, 0, true},
                 {GameModeArcade, 0, false},
                 {GameModeVersus | GameModeSingle, 1, false}};
    for (const auto& c : cases) {
        rules.Rule = c.rule;
        rules.TeamCount = c.networkPlayers;
        scene->SetButtonEnabled(true);
        EXPECT_EQ(scene->GetPrevButton()->isEnabled(), c.prev) << c.rule << " " << c.networkPlayers;
        CShipSelectionScene fresh(&rules);
        EXPECT_EQ(fresh.GetPrevButton()->isEnabled(), c.prev) << c.rule << " " << c.networkPlayers;
    }
}

TEST_F(ShipSelectionTest, WatcherChoosesNothing)
{
    CUnit* watcher = world.AddWatcher();
    scene->SetUp(&players, watcher);
    scene->UpdateAll();
    EXPECT_EQ(CardsEnabled(), (std::vector<bool>{false, false, false, false}));
    for (CPushButton* button : {scene->GetOkButton(), scene->GetResetButton(), scene->GetPrevButton()})
        EXPECT_FALSE(button->isEnabled());
}

TEST_F(ShipSelectionTest, ArrowsWalkTheEnabledCards)
{
    EXPECT_EQ(scene->GetFocusedType(), ShipTypeBattleship);
    EXPECT_TRUE(scene->GetCard(ShipTypeBattleship)->hasFocus());
    PressKey(*scene, Qt::Key_Right);
    PressKey(*scene, Qt::Key_Down);
    EXPECT_EQ(scene->GetFocusedType(), ShipTypeSubmarine);
    // The oiler is off: the focus stays on the last enabled card.
    PressKey(*scene, Qt::Key_Down);
    EXPECT_EQ(scene->GetFocusedType(), ShipTypeSubmarine);
    PressKey(*scene, Qt::Key_Left);
    EXPECT_EQ(scene->GetFocusedType(), ShipTypeDestroyer);
    EXPECT_TRUE(scene->GetCard(ShipTypeDestroyer)->hasFocus());
    PressKey(*scene, Qt::Key_Escape);
    EXPECT_EQ(scene->GetFocusedType(), ShipTypeNone);
    EXPECT_EQ(scene->focusItem(), nullptr);
}

TEST_F(ShipSelectionTest, ReturnChoosesTheFocusedShipType)
{
    SignalSpy selected(scene.get(), &CShipSelectionScene::ShipProfileSelected);
    SignalSpy ok(scene.get(), &CShipSelectionScene::OkButtonPushed);
    PressKey(*scene, Qt::Key_Down);
    PressKey(*scene, Qt::Key_Return);
    ASSERT_EQ(selected.size(), 1);
    const auto* icon = selected[0][0].value<const CShipIcon*>();
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->GetShipType(), ShipTypeDestroyer);
    EXPECT_EQ(icon->GetUnitId(), world.Side(0)->GetId());
    EXPECT_TRUE(ok.isEmpty());
}

TEST_F(ShipSelectionTest, ReturnConfirmsOnceLikeAClick)
{
    Place(ShipTypeBattleship, 1);
    Place(ShipTypeDestroyer, 2);
    Place(ShipTypeSubmarine, 3);
    SignalSpy ok(scene.get(), &CShipSelectionScene::OkButtonPushed);
    PressKey(*scene, Qt::Key_Return);
    PressKey(*scene, Qt::Key_Enter);
    EXPECT_EQ(ok.size(), 1);
    EXPECT_FALSE(scene->GetOkButton()->isEnabled());
    EXPECT_FALSE(scene->GetResetButton()->isEnabled());
    EXPECT_EQ(sounds.Count(Sound::SeTitleSubSelected), 1);
}

TEST_F(ShipSelectionTest, RResetsOnlyWithShips)
{
    SignalSpy reset(scene.get(), &CShipSelectionScene::ResetButtonPushed);
    PressKey(*scene, Qt::Key_R);
    EXPECT_TRUE(reset.isEmpty());
    Place(ShipTypeBattleship, 1);
    PressKey(*scene, Qt::Key_R);
    EXPECT_EQ(reset.size(), 1);
}

TEST_F(ShipSelectionTest, InTheNarrowPanelResetEndsClearOfTheScrollBar)
{
    Place(ShipTypeBattleship, 1);
    CSideView side(scene.get());
    side.resize(CSideView::BaseWidth, CSideView::BaseHeight);
    side.show();
    Settle();
    ASSERT_TRUE(side.verticalScrollBar()->isVisible());
    // OK and Reset stand in one embedded row, Prev alone.
    const auto right = [](CPushButton* button) {
        const QRect inRow(button->mapTo(button->window(), QPoint(0, 0)), button->size());
        return button->window()->graphicsProxyWidget()->mapRectToScene(QRectF(inRow)).right();
    };
    // The scroll bar begins where the viewport ends; a gap of background is left.
    EXPECT_LE(side.mapFromScene(QPointF(right(scene->GetResetButton()), 0)).x(),
              side.viewport()->width() - 2);
    EXPECT_GT(scene->GetOkButton()->width(), 100);
    EXPECT_EQ(scene->GetOkButton()->width(), scene->GetResetButton()->width());
    side.verticalScrollBar()->setValue(side.verticalScrollBar()->maximum());
    Settle();
    SaveScreenRender(side, QStringLiteral("formation/ship-list-narrow"));
}

TEST_F(ShipSelectionTest, TabWalksCardsThenButtons)
{
    Place(ShipTypeBattleship, 1);
    // battleship (focused) -> destroyer -> submarine -> oiler -> Reset -> Prev -> battleship
    std::vector<QString> seen;
    for (int i = 0; i < 6; ++i) {
        PressKey(*scene, Qt::Key_Tab);
        if (scene->GetFocusedType() != ShipTypeNone) {
            seen.push_back(QString::number(scene->GetFocusedType()));
        } else {
            auto* proxy = qobject_cast<QGraphicsProxyWidget*>(scene->focusItem()->toGraphicsObject());
            ASSERT_NE(proxy, nullptr);
            seen.push_back(qobject_cast<QPushButton*>(proxy->widget()->focusWidget() != nullptr
                                                          ? proxy->widget()->focusWidget()
                                                          : proxy->widget())
                               ->text());
        }
    }
    EXPECT_EQ(seen, (std::vector<QString>{"2", "3", "4", "Reset", "Prev", "1"}));
}

} // namespace
