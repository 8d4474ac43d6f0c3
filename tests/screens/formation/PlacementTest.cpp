// Ships put on the battle map before a battle: the drop and its refusals,
// clicks and keys while a placement is pending, the flagship list and the
// two confirmations.
#include "gui/Popups.h"
#include "gui/SelectionList.h"
#include "model/Panel.h"
#include "screens/battle/GameMapScene.h"
#include "screens/battle/ShipIcon.h"
#include "screens/battle/TimerBar.h"
#include "tests/screens/kit/ScreenTest.h"

#include <QGraphicsSceneDragDropEvent>
#include <QMimeData>

#include <memory>
#include <optional>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

class PlacementTest : public ScreenTest {
  protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        world.Rules().GetInfo().FleetSize = 3;
        world.Rules().GetInfo().Map.Size = MapPos(5, 5);
        scene = std::make_unique<CGameMapScene>(&world.Board());
        view = std::make_unique<CGameMapView>(scene.get());
        view->resize(640, 480);
        scene->SetShipFactory(&world.ShipFactory());
        scene->SetPlacementRules(&world.Rules().GetInfo());
        scene->SetPlayer(Own());
        Activate(*scene);
    }

    CUnit* Own() const { return world.Side(0); }
    CPanelIcon* IconAt(std::uint32_t row, std::uint32_t column) const
    {
        return scene->GetPanelIcon(world.Panel(row, column));
    }
    QPointF CentreOf(std::uint32_t row, std::uint32_t column) const
    {
        const CPanelIcon* icon = IconAt(row, column);
        return icon->mapToScene(QRectF(icon->GetRect()).center());
    }
    // A drop as the view would deliver it; no source means another program's drag.
    void Drop(const QPointF& at, std::uint32_t type, std::uint32_t unitId, std::uint32_t shipId,
              bool isOwnDrag = true)
    {
        std::unique_ptr<QMimeData> data(CShipIcon::MakeDragData(type, unitId, shipId));
        QGraphicsSceneDragDropEvent drop(QEvent::GraphicsSceneDrop);
        drop.setScenePos(at);
        drop.setMimeData(data.get());
        drop.setSource(isOwnDrag ? view.get() : nullptr);
        drop.setPossibleActions(Qt::CopyAction);
        drop.setProposedAction(Qt::CopyAction);
        QCoreApplication::sendEvent(scene.get(), &drop);
    }
    QString Notice() const
    {
        const CNotificationBar* bar = scene->GetNotificationBar();
        return bar->isVisible() ? bar->GetText() : QString();
    }

    CBattleWorld world{{5, 5, 2, 0, 1, false}};
    std::unique_ptr<CGameMapScene> scene;
    std::unique_ptr<CGameMapView> view;
};

struct DropCase {
    const char* name;
    std::optional<std::pair<std::uint32_t, std::uint32_t>> at; // none: off the map
    std::uint32_t type;
    std::uint32_t shipId;
    std::uint32_t side;
    bool isOwnDrag;
    std::size_t ships; // after the drop
    QString notice;
    QString message;
};

TEST_F(PlacementTest, DropTable)
{
    const QString outOfRange = QStringLiteral("This is out of range of valid panels (R1C1 - R5C5)");
    const DropCase cases[] = {
        {"valid", std::make_pair(2u, 3u), ShipTypeDestroyer, 0, 0, true, 2, QString(),
         "As No.2 ship, the Destroyer has been placed at R2C3."},
        {"move", std::make_pair(4u, 4u), ShipTypeBattleship, 1, 0, true, 1, QString(),
         "As No.1 ship, the Battleship has been replaced at R4C4."},
        {"ring", std::make_pair(0u, 3u), ShipTypeDestroyer, 0, 0, true, 1, outOfRange, QString()},
        {"off the map", std::nullopt, ShipTypeDestroyer, 0, 0, true, 1, outOfRange, QString()},
        {"own ship", std::make_pair(2u, 2u), ShipTypeDestroyer, 0, 0, true, 1,
         "Other ship has been already placed on this panel.", QString()},
        {"same panel", std::make_pair(2u, 2u), ShipTypeBattleship, 1, 0, true, 1,
         "Changing position of this ship has been canceled.", QString()},
        {"other side", std::make_pair(3u, 3u), ShipTypeDestroyer, 0, 1, true, 1, QString(), QString()},
        {"other program", std::make_pair(3u, 3u), ShipTypeDestroyer, 0, 0, false, 1, QString(), QString()},
    };
    for (const DropCase& c : cases) {
        SCOPED_TRACE(c.name);
        world.ShipFactory().RemoveShipsOf(Own());
        world.PutShip(0, ShipTypeBattleship, 2, 2);
        scene->BuildShipIcons();
        scene->GetNotificationBar()->Hide();
        SignalSpy messages(scene.get(), &CGameMapScene::MessageSent);
        const QPointF at = c.at ? CentreOf(c.at->first, c.at->second) : QPointF(1, 1);
        Drop(at, c.type, c.side, c.shipId, c.isOwnDrag);
        EXPECT_EQ(Own()->ShipCount(), c.ships);
        EXPECT_EQ(Notice(), c.notice);
        if (c.message.isEmpty()) {
            EXPECT_TRUE(messages.isEmpty());
        } else {
            ASSERT_EQ(messages.size(), 1);
            EXPECT_EQ(messages[0][0].toString(), c.message);
        }
        EXPECT_FALSE(scene->IsPlacementPending());
    }
}

TEST_F(PlacementTest, OilerFirstIsNotPlacedAndSaysNothing)
{
    SignalSpy messages(scene.get(), &CGameMapScene::MessageSent);
    Drop(CentreOf(3, 3), ShipTypeOiler, 0, 0);
    EXPECT_EQ(Own()->ShipCount(), 0u);
    EXPECT_EQ(Notice(), QString());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(PlacementTest, NoShipPastTheFleetLimit)
{
    for (std::uint32_t column = 1; column <= 3; ++column) Drop(CentreOf(1, column), ShipTypeDestroyer, 0, 0);
    ASSERT_EQ(Own()->ShipCount(), 3u);
    Drop(CentreOf(1, 4), ShipTypeDestroyer, 0, 0);
    EXPECT_EQ(Own()->ShipCount(), 3u);
    EXPECT_EQ(Notice(), "No more ships can be placed in this fleet.");
    // Moving a ship of a full fleet is still fine.
    Drop(CentreOf(5, 5), ShipTypeDestroyer, 0, 3);
    EXPECT_EQ(Own()->GetShip(3)->GetCurrentPanel(), world.Panel(5, 5));
}

TEST_F(PlacementTest, PendingPlacementHighlightsFreePanelsAndAClickPlaces)
{
    world.PutShip(0, ShipTypeBattleship, 2, 2);
    scene->BuildShipIcons();
    CShipIcon card(ShipTypeSubmarine, Own()->GetId(), QPoint());
    scene->ChangeToPositionable(&card);
    ASSERT_TRUE(scene->IsPlacementPending());
    // Every inner panel but the one the own battleship stands on.
    EXPECT_EQ(scene->GetPositionablePanels().size(), 24);
    EXPECT_FALSE(IconAt(2, 2)->IsSelectable());
    EXPECT_TRUE(IconAt(4, 1)->IsSelectable());
    EXPECT_EQ(Notice(), "Please select a panel on which the ship is placed.");

    Hover(IconAt(4, 1), true);
    ASSERT_TRUE(scene->GetTooltip()->isVisible());
    EXPECT_EQ(scene->GetTooltip()->GetText(), "Now Selected: Submarine");

    SignalSpy changed(scene.get(), &CGameMapScene::ShipDataChanged);
    EXPECT_TRUE(scene->PlaceByClick(IconAt(4, 1)));
    EXPECT_FALSE(scene->GetTooltip()->isVisible());
    ASSERT_EQ(Own()->ShipCount(), 2u);
    EXPECT_EQ(Own()->GetShip(2)->GetType(), ShipTypeSubmarine);
    EXPECT_EQ(Own()->GetShip(2)->GetCurrentPanel(), world.Panel(4, 1));
    EXPECT_EQ(changed.size(), 1);
    EXPECT_FALSE(scene->IsPlacementPending());
    EXPECT_FALSE(IconAt(4, 1)->IsSelectable());
    EXPECT_FALSE(scene->PlaceByClick(IconAt(4, 2)));
}

// A reef the player has not seen yet looks like any unknown panel, but is
// left out of the highlight: Return on it refuses, the next panel places.
TEST_F(PlacementTest, ReturnOnAHiddenReefRefusesAndKeepsThePlacement)
{
    world.Panel(2, 1)->SetType(PanelReef);
    CShipIcon card(ShipTypeDestroyer, Own()->GetId(), QPoint());
    scene->ChangeToPositionable(&card);
    ASSERT_TRUE(scene->IsPlacementPending());
    EXPECT_FALSE(IconAt(2, 1)->IsSelectable());
    EXPECT_FALSE(IconAt(2, 1)->IsKnown());

    PressKey(*scene, Qt::Key_Right);
    PressKey(*scene, Qt::Key_Down);
    ASSERT_EQ(scene->GetPointedPanel(), world.Panel(2, 1));
    EXPECT_FALSE(scene->GetTooltip()->isVisible());
    PressKey(*scene, Qt::Key_Return);
    EXPECT_EQ(Own()->ShipCount(), 0u);
    EXPECT_EQ(Notice(), "This is out of range of valid panels (R1C1 - R5C5)");
    EXPECT_TRUE(scene->IsPlacementPending());
    EXPECT_TRUE(IconAt(2, 2)->IsSelectable());

    PressKey(*scene, Qt::Key_Right);
    ASSERT_EQ(scene->GetPointedPanel(), world.Panel(2, 2));
    EXPECT_EQ(scene->GetTooltip()->GetText(), "Now Selected: Destroyer");
    PressKey(*scene, Qt::Key_Return);
    ASSERT_EQ(Own()->ShipCount(), 1u);
    EXPECT_EQ(Own()->GetShip(1)->GetCurrentPanel(), world.Panel(2, 2));
    EXPECT_FALSE(scene->IsPlacementPending());
}

TEST_F(PlacementTest, NoPlacementForAnotherSide)
{
    CShipIcon card(ShipTypeSubmarine, world.Side(1)->GetId(), QPoint());
    scene->ChangeToPositionable(&card);
    EXPECT_FALSE(scene->IsPlacementPending());
}

class ConfirmationTest : public PlacementTest {
  protected:
    void SetUp() override
    {
        PlacementTest::SetUp();
        world.PutShip(0, ShipTypeBattleship, 1, 1);
        world.PutShip(0, ShipTypeDestroyer, 1, 2);
        world.PutShip(0, ShipTypeSubmarine, 1, 3);
        scene->BuildShipIcons();
    }
};

TEST_F(ConfirmationTest, FlagshipChosenByKeyboard)
{
    SignalSpy notified(scene.get(), &CGameScene::Notified);
    scene->ConfirmFlagship();
    CSelectionListItem* list = scene->GetSelectionList();
    ASSERT_TRUE(list->isVisible());
    ASSERT_EQ(list->GetRowCount(), 3);
    EXPECT_EQ(list->GetRows()[1]->text(), "2. Destroyer");
    EXPECT_EQ(Notice(), "Select your flagship from the fleet.");
    PressKey(*scene, Qt::Key_Down);
    PressKey(*scene, Qt::Key_Return);
    EXPECT_EQ(Own()->GetFlagship(), Own()->GetShip(2));
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(sounds.Count(Sound::SeDefaultSelected), 1);
    // Then the request: Return accepts.
    ASSERT_TRUE(scene->GetInputConfirmation()->isVisible());
    EXPECT_EQ(Notice(), "Is it OK?");
    PressKey(*scene, Qt::Key_Return);
    ASSERT_EQ(notified.size(), 1);
    EXPECT_EQ(notified[0][0].toUInt(), 26u);
    EXPECT_EQ(sounds.Count(Sound::SeNextStep), 1);
    EXPECT_EQ(Own()->GetFlagship(), Own()->GetShip(2));
}

TEST_F(ConfirmationTest, DecliningTheRequestDropsTheFlagship)
{
    SignalSpy notified(scene.get(), &CGameScene::Notified);
    scene->ConfirmFlagship();
    PressKey(*scene, Qt::Key_Return);
    ASSERT_TRUE(Own()->HasFlagship());
    PressKey(*scene, Qt::Key_Escape);
    EXPECT_FALSE(Own()->HasFlagship());
    ASSERT_EQ(notified.size(), 1);
    EXPECT_EQ(notified[0][0].toUInt(), 27u);
    EXPECT_EQ(Notice(), QString());
}

TEST_F(ConfirmationTest, CancellingTheFlagshipListRejects)
{
    SignalSpy notified(scene.get(), &CGameScene::Notified);
    scene->ConfirmFlagship();
    PressKey(*scene, Qt::Key_Escape);
    EXPECT_FALSE(scene->GetSelectionList()->isVisible());
    ASSERT_EQ(notified.size(), 1);
    EXPECT_EQ(notified[0][0].toUInt(), 27u);
    EXPECT_EQ(sounds.Count(Sound::SeDefaultCanceled), 1);
}

TEST_F(ConfirmationTest, StartPromptComesBackAndStartsOnce)
{
    SignalSpy notified(scene.get(), &CGameScene::Notified);
    SignalSpy messages(scene.get(), &CGameMapScene::MessageSent);
    scene->ConfirmBattleStart();
    CConfirmationItem* prompt = scene->GetActionConfirmation();
    ASSERT_TRUE(prompt->isVisible());
    EXPECT_EQ(prompt->GetOkText(), "Start Battle");
    EXPECT_TRUE(Notice().endsWith("Press \"Start Battle\" or Enter key to start this battle."));
    EXPECT_EQ(scene->GetTurnInfoBar()->GetText(), "Confirmation of Start");
    PressKey(*scene, Qt::Key_Escape);
    EXPECT_TRUE(prompt->isVisible());
    EXPECT_TRUE(notified.isEmpty());
    PressKey(*scene, Qt::Key_Return);
    PressKey(*scene, Qt::Key_Return);
    ASSERT_EQ(notified.size(), 1);
    EXPECT_EQ(notified[0][0].toUInt(), 68u);
    EXPECT_EQ(sounds.Count(Sound::SeWhistle), 1);
    EXPECT_FALSE(prompt->isVisible());
    EXPECT_EQ(Notice(), QString());
    EXPECT_EQ(messages.size(), 2);
}

TEST_F(ConfirmationTest, WatcherStartsAtOnceWhenPlayersConfirm)
{
    scene->SetPlayer(world.AddWatcher());
    SignalSpy notified(scene.get(), &CGameScene::Notified);
    scene->ConfirmBattleStart();
    ASSERT_EQ(notified.size(), 1);
    EXPECT_EQ(notified[0][0].toUInt(), 68u);
    EXPECT_FALSE(scene->GetActionConfirmation()->isVisible());
}

} // namespace
