// The stealth and status machine and the turn events that drive it.
#include "ShipTestBoard.h"

#include <gtest/gtest.h>

using namespace Marevane;
using Marevane::Testing::ShipTestBoard;

namespace {

constexpr MessageCode BattleStarts = 45;
constexpr MessageCode TurnStarts = 51;
constexpr MessageCode ReportFinished = 67;
constexpr MessageCode AfterAction = 73;
constexpr MessageCode TurnEnds = 74;

// What a unit does around one move: the action, its after-action and turn-end
// events, then the report end that shows the new status.
void MoveAndReport(CShip& ship, Direction direction, std::uint32_t distance)
{
    ASSERT_EQ(ship.Move(direction, distance), 87u);
    ship.OnMessage(AfterAction);
    ship.OnMessage(TurnEnds);
    ship.OnMessage(ReportFinished);
}

} // namespace

TEST(ShipStatus, FogHidesAnyShipUntilItLeaves)
{
    ShipTestBoard t;
    t.SetType(2, 3, PanelFog);
    CShip& ship = t.Add(ShipTypeBattleship, 1, 2, 2);
    MoveAndReport(ship, DirectionEast, 1);
    EXPECT_EQ(ship.GetProfile().Status, ShipStatusStealth);
    EXPECT_TRUE(ship.IsStealthed());

    MoveAndReport(ship, DirectionEast, 1);
    EXPECT_EQ(ship.GetProfile().Status, ShipStatusNormal);
}

TEST(ShipStatus, ShallowWaterUncoversASubmarineAndLeavingHidesItAgain)
{
    ShipTestBoard t;
    t.SetType(2, 3, PanelShallow);
    CShip& submarine = t.Add(ShipTypeSubmarine, 1, 2, 2);
    ASSERT_EQ(submarine.GetProfile().Status, ShipStatusStealth);

    MoveAndReport(submarine, DirectionEast, 1);
    EXPECT_EQ(submarine.GetProfile().Status, ShipStatusStealthDisabled);

    MoveAndReport(submarine, DirectionEast, 1);
    EXPECT_EQ(submarine.GetProfile().Status, ShipStatusStealth);
}

TEST(ShipStatus, AHiddenShipOnOpenSeaStaysHidden)
{
    ShipTestBoard t;
    CShip& submarine = t.Add(ShipTypeSubmarine, 1, 2, 2);
    MoveAndReport(submarine, DirectionEast, 2);
    EXPECT_EQ(submarine.GetProfile().Status, ShipStatusStealth);
}

TEST(ShipStatus, TheFuelCheckSinksAHiddenSubmarine)
{
    ShipTestBoard t;
    CShip& submarine = t.Add(ShipTypeSubmarine, 1, 2, 2);
    submarine.GetProfile().Fp = 9;
    submarine.CheckFuel();
    EXPECT_EQ(submarine.GetProfile().PendingStatus, 5u);
    EXPECT_EQ(submarine.GetProfile().Hp, 0);
    EXPECT_TRUE(submarine.IsSinking());
    submarine.OnMessage(ReportFinished);
    EXPECT_EQ(submarine.GetProfile().Condition, ShipStatusSinking);
}

TEST(ShipStatus, TheFuelCheckStrandsAShipOnTheSurface)
{
    ShipTestBoard t;
    t.SetType(3, 3, PanelFog);
    CShip& stranded = t.Add(ShipTypeBattleship, 1, 2, 2);
    CShip& hidden = t.Add(ShipTypeBattleship, 1, 3, 3);
    for (CShip* ship : {&stranded, &hidden}) {
        ship->GetProfile().Fp = 9;
        ship->CheckFuel();
        EXPECT_EQ(ship->GetProfile().PendingStatus, 5u);
        EXPECT_FALSE(ship->IsSinking());
        ship->OnMessage(ReportFinished);
        EXPECT_EQ(ship->GetProfile().Condition, ShipStatusFuelShortage);
        EXPECT_FALSE(ship->CanAct());
    }
    EXPECT_EQ(stranded.GetProfile().Status, ShipStatusFuelShortage);
    // In fog the stranded ship shows as hidden.
    EXPECT_EQ(hidden.GetProfile().Status, ShipStatusStealth);

    // Nothing more happens to a ship already short of fuel.
    stranded.GetProfile().PendingStatus = 0;
    stranded.CheckFuel();
    EXPECT_EQ(stranded.GetProfile().PendingStatus, 0u);
}

TEST(ShipStatus, ReceivingFuelEndsAShortage)
{
    ShipTestBoard t;
    CShip& battleship = t.Add(ShipTypeBattleship, 1, 2, 2);
    CShip& submarine = t.Add(ShipTypeSubmarine, 1, 2, 3);
    for (CShip* ship : {&battleship, &submarine}) {
        ship->GetProfile().Fp = 5;
        ship->SetStatus(ShipStatusFuelShortage);
        ship->ReceiveFuel(30);
        EXPECT_EQ(ship->GetProfile().Fp, 35u);
        EXPECT_EQ(ship->GetProfile().FpChange, 30);
        EXPECT_EQ(ship->GetProfile().Condition, ShipStatusNormal);
        EXPECT_TRUE(ship->CanAct());
        EXPECT_EQ(ship->CountPendingUpdates(), 1u);
    }
    EXPECT_EQ(battleship.GetProfile().Status, ShipStatusNormal);
    // The submarine surfaces first and dives at the next status update.
    EXPECT_EQ(submarine.GetProfile().Status, ShipStatusStealthDisabled);
    EXPECT_EQ(submarine.GetProfile().PendingStatus, 1u);
    submarine.ApplyPendingStatus();
    EXPECT_EQ(submarine.GetProfile().Status, ShipStatusStealth);
}

TEST(ShipStatus, TooLittleFuelKeepsTheShortage)
{
    ShipTestBoard t;
    CShip& ship = t.Add(ShipTypeBattleship, 1, 2, 2);
    ship.GetProfile().Fp = 2;
    ship.SetStatus(ShipStatusFuelShortage);
    ship.ReceiveFuel(3);
    EXPECT_EQ(ship.GetProfile().Status, ShipStatusFuelShortage);
    EXPECT_EQ(ship.GetProfile().Condition, ShipStatusFuelShortage);
}

TEST(ShipStatus, FuelCancelsAPendingShortage)
{
    ShipTestBoard t;
    CShip& ship = t.Add(ShipTypeBattleship, 1, 2, 2);
    ship.GetProfile().Fp = 9;
    ship.CheckFuel();
    ship.ReceiveFuel(30);
    EXPECT_EQ(ship.GetProfile().PendingStatus, 0u);
    ship.OnMessage(ReportFinished);
    EXPECT_EQ(ship.GetProfile().Status, ShipStatusNormal);
    // Fuel never goes beyond the maximum.
    ship.ReceiveFuel(500);
    EXPECT_EQ(ship.GetProfile().Fp, 100u);
    EXPECT_EQ(ship.GetProfile().FpChange, 61);
}

TEST(ShipStatus, SetStatusLeavesAShortageOnlyWithFuel)
{
    ShipTestBoard t;
    CShip& ship = t.Add(ShipTypeBattleship, 1, 2, 2);
    ship.GetProfile().Fp = 5;
    ship.SetStatus(ShipStatusFuelShortage);
    ship.SetStatus(ShipStatusNormal);
    EXPECT_EQ(ship.GetProfile().Condition, ShipStatusFuelShortage);
    EXPECT_EQ(ship.GetProfile().Status, ShipStatusFuelShortage);

    ship.GetProfile().Fp = 50;
    ship.SetStatus(ShipStatusNormal);
    EXPECT_EQ(ship.GetProfile().Condition, ShipStatusNormal);
    EXPECT_EQ(ship.GetProfile().Status, ShipStatusNormal);

    ship.SetStatus(ShipStatusSinking);
    EXPECT_EQ(ship.GetProfile().Condition, ShipStatusSinking);
    EXPECT_EQ(ship.GetProfile().Status, ShipStatusNormal);
    EXPECT_TRUE(ship.IsSinking());
}

TEST(ShipStatus, TurnStartAppliesThenClears)
{
    ShipTestBoard t;
    t.SetType(2, 2, PanelFog);
    CShip& ship = t.Add(ShipTypeBattleship, 1, 2, 2);
    ShipProfile& profile = ship.GetProfile();
    profile.PendingStatus = 3;
    profile.LastEvent = 2;
    profile.FpChange = -5;
    profile.MineHits[1].IsPlaced = profile.MineHits[1].IsExploded = true;
    ship.QueueUpdate([] {});

    ship.OnMessage(TurnStarts);
    EXPECT_EQ(profile.Status, ShipStatusStealth);
    EXPECT_EQ(profile.PendingStatus, 0u);
    EXPECT_EQ(profile.LastEvent, 0u);
    EXPECT_EQ(profile.FpChange, 0);
    EXPECT_EQ(profile.MineHits[1].Number, NoNumber);
    EXPECT_FALSE(profile.MineHits[1].IsExploded);
    EXPECT_EQ(ship.CountPendingUpdates(), 0u);
}

TEST(ShipStatus, BattleStartHidesAShipBornInFog)
{
    ShipTestBoard t;
    t.SetType(2, 2, PanelFog);
    CShip& ship = t.Add(ShipTypeBattleship, 3, 2, 2);
    ship.OnMessage(BattleStarts);
    EXPECT_EQ(ship.GetProfile().Status, ShipStatusStealth);
    EXPECT_TRUE(t.At(2, 2)->IsKnownBy(3));
}

TEST(ShipStatus, TurnEndRunsTheQueueAndTheHighWaveTakesFuel)
{
    ShipTestBoard t;
    t.SetType(2, 2, PanelHighWave);
    CShip& ship = t.Add(ShipTypeBattleship, 1, 2, 2);
    int runs = 0;
    ship.QueueUpdate([&runs] { ++runs; });
    ship.OnMessage(TurnEnds);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(ship.CountPendingUpdates(), 0u);
    EXPECT_EQ(ship.GetProfile().Fp, 95u);
    EXPECT_EQ(ship.GetProfile().FpChange, -5);

    ship.GetProfile().Fp = 3;
    ship.OnMessage(TurnEnds);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(ship.GetProfile().Fp, 0u);
    EXPECT_EQ(ship.GetProfile().FpChange, -8);

    ship.QueueUpdate({});
    EXPECT_THROW(ship.OnMessage(TurnEnds), std::bad_function_call);
}

TEST(ShipStatus, AfterActionClearsTheActionFields)
{
    ShipTestBoard t;
    CShip& ship = t.Add(ShipTypeBattleship, 1, 2, 2);
    ship.GetProfile().PendingStatus = 4;
    ship.GetProfile().LastEvent = 5;
    ship.GetProfile().FpChange = 12;
    ship.OnMessage(AfterAction);
    EXPECT_EQ(ship.GetProfile().PendingStatus, 0u);
    EXPECT_EQ(ship.GetProfile().LastEvent, 0u);
    EXPECT_EQ(ship.GetProfile().FpChange, 0);
    // Codes outside the turn events change nothing.
    ship.GetProfile().LastEvent = 5;
    ship.OnMessage(44);
    ship.OnMessage(75);
    EXPECT_EQ(ship.GetProfile().LastEvent, 5u);
}
