// The panels each command may reach, marked on the map with their fuel
// cost: walks that stop at the ring and at reefs the side knows, own ships
// passed over, the whole map for torpedoes and reinforcements, and the
// flagship's hand-over.
#include "tests/screens/command/MapInputFixture.h"

#include "model/Ship.h"
#include "model/Unit.h"

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

class HighlightTest : public MapInputTest {
  protected:
    // A destroyer (move 8 FP for three panels, 2 more for each further one,
    // attack 12, torpedo 20) at R4C2 of a 7 x 7 map; a battleship of the same
    // side at R3C2; a reef at R4C5.
    void BuildMoveMap(bool isReefKnown)
    {
        Build(7, 7);
        destroyer = world->PutShip(0, ShipTypeDestroyer, 4, 2);
        world->PutShip(0, ShipTypeBattleship, 3, 2);
        world->Panel(4, 5)->SetType(PanelReef);
        Start();
        if (isReefKnown) Know(4, 5);
    }

    CShip* destroyer = nullptr;
};

TEST_F(HighlightTest, AMoveStopsBeforeAKnownReefAndPassesOverItsOwnShip)
{
    BuildMoveMap(true);
    scene->ShowCommandable(CommandMove, destroyer);
    const PanelCosts expected{{"R4C3", 8}, {"R4C4", 8}, {"R4C1", 8}, {"R2C2", 8},
                              {"R1C2", 8}, {"R5C2", 8}, {"R6C2", 8}, {"R7C2", 8}};
    EXPECT_EQ(Selectable(), expected);
    EXPECT_EQ(State(), 3u);
    EXPECT_EQ(scene->GetInputManager()->GetCommandCode(), CommandMove);
    EXPECT_EQ(scene->GetInputManager()->GetShip(), destroyer);
    EXPECT_EQ(Notice(), "Please select a target panel.");
}

TEST_F(HighlightTest, AReefTheSideHasNotSeenDoesNotStopAMove)
{
    BuildMoveMap(false);
    scene->ShowCommandable(CommandMove, destroyer);
    const PanelCosts selectable = Selectable();
    EXPECT_EQ(selectable.at("R4C5"), 8u);
    // Each panel past the third costs the extra fuel.
    EXPECT_EQ(selectable.at("R4C6"), 10u);
    EXPECT_EQ(selectable.at("R4C7"), 12u);
}

TEST_F(HighlightTest, AnAttackFromTheCornerOffersOnlyThePanelsInsideTheMap)
{
    Build(5, 5);
    CShip* ship = world->PutShip(0, ShipTypeDestroyer, 1, 1);
    Start();
    scene->ShowCommandable(CommandAttack, ship);
    EXPECT_EQ(Selectable(), (PanelCosts{{"R1C2", 12}, {"R2C1", 12}, {"R2C2", 12}}));
}

TEST_F(HighlightTest, AMineGoesBesideTheShipOrUnderIt)
{
    Build(5, 5);
    CShip* ship = world->PutShip(0, ShipTypeDestroyer, 1, 1);
    Start();
    scene->ShowCommandable(CommandMine, ship);
    EXPECT_EQ(Selectable(), (PanelCosts{{"R1C1", 0}, {"R1C2", 0}, {"R2C1", 0}, {"R2C2", 0}}));
}

TEST_F(HighlightTest, ATorpedoMayGoToEveryPanelButItsShipsOwn)
{
    Build(3, 3);
    CShip* ship = world->PutShip(0, ShipTypeDestroyer, 2, 2);
    world->PutShip(1, ShipTypeBattleship, 1, 1);
    Start();
    scene->ShowCommandable(CommandTorpedo, ship);
    PanelCosts expected;
    for (int row = 1; row <= 3; ++row)
        for (int column = 1; column <= 3; ++column)
            if (row != 2 || column != 2)
                expected["R" + std::to_string(row) + "C" + std::to_string(column)] = 20;
    EXPECT_EQ(Selectable(), expected);
}

TEST_F(HighlightTest, AReinforcementLandsOnlyOnKnownOpenPanelsNoOwnShipHolds)
{
    Build(3, 3);
    CShip* sunk = world->PutShip(0, ShipTypeDestroyer, 1, 1);
    world->PutShip(0, ShipTypeBattleship, 2, 2);
    world->PutShip(1, ShipTypeBattleship, 1, 2);
    world->Panel(1, 3)->SetType(PanelReef);
    Start();
    const std::vector<std::pair<std::uint32_t, std::uint32_t>> known{{1, 1}, {1, 2}, {1, 3}, {2, 2}, {3, 3}};
    for (const auto& [row, column] : known) Know(row, column);
    CBattleWorld::SetStatus(sunk, ShipStatusSinking);
    sunk->GetProfile().Hp = 0;

    scene->ShowCommandable(CommandReinforce, sunk);
    const uint cost = world->Side(0)->GetReinforceCost(sunk->GetShipId());
    // The sunk ship's own panel is free again; an enemy there is not seen.
    EXPECT_EQ(Selectable(), (PanelCosts{{"R1C1", cost}, {"R1C2", cost}, {"R3C3", cost}}));
}

TEST_F(HighlightTest, TheFlagshipHandsOverToAnyAfloatShipAndNeedsAFlagship)
{
    Build(3, 3);
    CShip* flagship = world->PutShip(0, ShipTypeBattleship, 2, 2);
    world->PutShip(0, ShipTypeDestroyer, 1, 1);
    CShip* sinking = world->PutShip(0, ShipTypeSubmarine, 3, 3);
    Start();
    CBattleWorld::SetStatus(sinking, ShipStatusSinking);

    scene->ShowCommandable(CommandChangeFlagship, flagship);
    EXPECT_EQ(Notice(), "You have no flagship.");
    EXPECT_TRUE(Selectable().empty());

    world->Side(0)->SetFlagship(flagship->GetShipId());
    scene->ShowCommandable(CommandChangeFlagship, flagship);
    EXPECT_EQ(Selectable(), (PanelCosts{{"R1C1", flagship->GetCommandCost(CommandChangeFlagship, 0)}}));
    EXPECT_EQ(State(), 3u);
}

TEST_F(HighlightTest, WithoutAnyPanelTheInputStepsBackAndSaysSo)
{
    Build(3, 3);
    // Boxed in by its own ships: nowhere to move.
    CShip* ship = world->PutShip(0, ShipTypeDestroyer, 1, 1);
    world->PutShip(0, ShipTypeBattleship, 1, 2);
    world->PutShip(0, ShipTypeBattleship, 2, 1);
    world->Panel(1, 3)->SetType(PanelReef);
    world->Panel(3, 1)->SetType(PanelReef);
    Start();
    Know(1, 3);
    Know(3, 1);
    scene->OpenCommandMenu(Icon(1, 1));
    scene->ShowCommandable(CommandMove, ship);
    EXPECT_TRUE(Selectable().empty());
    EXPECT_EQ(Notice(), "There is no selectable panel.");
    EXPECT_EQ(sounds.Count(Sound::SeDefaultCanceled), 1);
    // Back to the command menu on the ship.
    EXPECT_EQ(State(), 2u);
}

TEST_F(HighlightTest, ACommandWithoutItsShipIsANoticeNotACrash)
{
    Build(3, 3);
    world->PutShip(0, ShipTypeDestroyer, 1, 1);
    Start();
    scene->GetInputManager()->SetState(2);
    scene->ShowCommandable(CommandAttack, nullptr);
    EXPECT_EQ(Notice(), "CCommandInputManager::Set(): Ship data is not set yet.");
    EXPECT_EQ(State(), 1u);
    EXPECT_THROW(scene->ShowCommandableOrThrow(CommandAttack, nullptr), std::runtime_error);
}

} // namespace
