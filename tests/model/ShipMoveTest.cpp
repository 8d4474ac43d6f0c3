// The walk of a move: reefs, high waves, the ring, mines and what it costs.
#include "ShipTestBoard.h"

#include <gtest/gtest.h>

#include <ostream>

#include <utility>
#include <vector>

using namespace Marevane;
using Marevane::Testing::ShipTestBoard;

namespace {

struct MoveCase {
    const char* Name;
    std::uint32_t Fp;
    std::vector<std::pair<std::uint32_t, PanelType>> Panels; // columns of row 5
    std::uint32_t StartColumn;
    Direction Towards;
    std::uint32_t Distance;
    MessageCode Result;
    std::uint32_t EndColumn;
    std::uint32_t EndFp;
    std::uint32_t LastEvent;
    std::int32_t FpChange;
    std::uint32_t PanelsMoved;
    friend std::ostream& operator<<(std::ostream& out, const MoveCase& c) { return out << c.Name; }
};

class ShipMove : public ::testing::TestWithParam<MoveCase> {};

} // namespace

// A battleship on a 9 by 9 map: 16 FP for up to three panels, 4 for each
// further panel, 5 FP lost on leaving a high wave.
TEST_P(ShipMove, WalksAndPays)
{
    const MoveCase c = GetParam();
    ShipTestBoard t(9, 9);
    for (const auto& panel : c.Panels) t.SetType(5, panel.first, panel.second);
    CShip& ship = t.Add(ShipTypeBattleship, 1, 5, c.StartColumn);
    ship.GetProfile().Fp = c.Fp;

    EXPECT_EQ(ship.Move(c.Towards, c.Distance), c.Result);
    const ShipProfile& profile = ship.GetProfile();
    EXPECT_EQ(profile.Pos, MapPos(5, c.EndColumn));
    EXPECT_EQ(ship.GetCurrentPanel(), t.At(5, c.EndColumn));
    EXPECT_EQ(profile.Fp, c.EndFp);
    EXPECT_EQ(profile.LastEvent, c.LastEvent);
    EXPECT_EQ(profile.FpChange, c.FpChange);
    EXPECT_EQ(profile.Statistics[ShipStatPanelsMoved], c.PanelsMoved);
    EXPECT_EQ(profile.Statistics[ShipStatMoves], c.Result == 87 ? 1u : 0u);
    EXPECT_NE(ship.GetCurrentPanel()->GetType(), PanelBoundary);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShipMove,
    ::testing::Values(
        MoveCase{"Plain", 100, {}, 1, DirectionEast, 3, 87, 4, 84, 0, 0, 3},
        MoveCase{"LongestOnNineByNine", 100, {}, 1, DirectionEast, 8, 87, 9, 64, 0, 0, 8},
        MoveCase{"ReefTwoAway", 100, {{3, PanelReef}}, 1, DirectionEast, 4, 87, 2, 84, 5, 0, 1},
        // The step onto the reef counts: six steps, 16 + 3 * 4.
        MoveCase{"ReefFarAway", 100, {{7, PanelReef}}, 1, DirectionEast, 8, 87, 6, 72, 5, 0, 5},
        MoveCase{"LeavingHighWave", 100, {{2, PanelHighWave}}, 1, DirectionEast, 3, 87, 4, 79, 0, -5, 3},
        // Leaving the second wave leaves 14 FP, short of two panels' 16: the
        // ship stays on the wave and pays for the two steps it made.
        MoveCase{"HighWaveStopsEarly",
                 24,
                 {{2, PanelHighWave}, {3, PanelHighWave}},
                 1,
                 DirectionEast,
                 5,
                 87,
                 3,
                 0,
                 0,
                 -10,
                 2},
        // The ring stops the ship on the last open panel, like a reef.
        MoveCase{"RingAhead", 100, {}, 8, DirectionEast, 3, 87, 9, 84, 0, 0, 1},
        MoveCase{"RingAtOnce", 100, {}, 1, DirectionWest, 2, 87, 1, 84, 0, 0, 0},
        MoveCase{"BelowBaseCost", 15, {}, 1, DirectionEast, 1, 75, 1, 15, 0, 0, 0},
        MoveCase{"BelowDistanceCost", 23, {}, 1, DirectionEast, 5, 76, 1, 23, 0, 0, 0},
        MoveCase{"HugeDistance", 100, {}, 1, DirectionEast, 4000000000u, 76, 1, 100, 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ShipMoveMines, AMineOnThePathDamagesWithoutStopping)
{
    ShipTestBoard t(9, 9);
    CShip& ship = t.Add(ShipTypeBattleship, 1, 5, 1);
    MineProfile& mine = t.LayForeignMine(5, 2, 7);

    EXPECT_EQ(ship.Move(DirectionEast, 3), 87u);
    const ShipProfile& profile = ship.GetProfile();
    EXPECT_EQ(profile.Pos, MapPos(5, 4));
    EXPECT_EQ(profile.Hp, 2);
    EXPECT_EQ(profile.LastEvent, 2u);
    EXPECT_EQ(profile.Statistics[ShipStatOtherMineHits], 1u);
    EXPECT_TRUE(mine.IsExploded);
    EXPECT_EQ(mine.VictimUnitId, 1u);
    EXPECT_EQ(mine.VictimShipType, ShipTypeBattleship);
    EXPECT_FALSE(t.At(5, 2)->HasMine());
    EXPECT_TRUE(profile.MineHits[0].IsExploded);
    EXPECT_EQ(profile.MineHits[0].UnitId, 7u);
}

TEST(ShipMoveMines, AMineThatSinksTheShipStopsIt)
{
    ShipTestBoard t(9, 9);
    CShip& submarine = t.Add(ShipTypeSubmarine, 1, 5, 1);
    // The ship's own side laid both; the second stays for the next ship.
    MineProfile& first = t.LayForeignMine(5, 3, 1);
    MineProfile& second = t.LayForeignMine(5, 3, 1);

    EXPECT_EQ(submarine.Move(DirectionEast, 5), 87u);
    const ShipProfile& profile = submarine.GetProfile();
    EXPECT_EQ(profile.Pos, MapPos(5, 3));
    EXPECT_EQ(profile.Hp, 0);
    EXPECT_EQ(profile.Condition, ShipStatusSinking);
    EXPECT_EQ(profile.LastEvent, 3u);
    EXPECT_EQ(profile.Fp, 90u);
    EXPECT_EQ(profile.Statistics[ShipStatOwnMineHits], 1u);
    EXPECT_TRUE(first.IsExploded);
    EXPECT_FALSE(second.IsExploded);
    EXPECT_TRUE(t.At(5, 3)->HasMine());
}

TEST(ShipMoveMines, EveryLiveMineOfThePanelGoesOffUnderAStrongShip)
{
    ShipTestBoard t(9, 9);
    CShip& ship = t.Add(ShipTypeBattleship, 1, 5, 1);
    MineProfile& dead = t.LayForeignMine(5, 2);
    dead.IsExploded = true; // still listed on its panel, but dead
    t.LayForeignMine(5, 2);
    t.LayForeignMine(5, 2);

    ship.Move(DirectionEast, 1);
    const ShipProfile& profile = ship.GetProfile();
    EXPECT_EQ(profile.Hp, 1);
    EXPECT_EQ(profile.Statistics[ShipStatOtherMineHits], 2u);
    EXPECT_TRUE(profile.MineHits[0].IsExploded);
    EXPECT_TRUE(profile.MineHits[1].IsExploded);
    EXPECT_FALSE(profile.MineHits[2].IsExploded);
    EXPECT_FALSE(t.At(5, 2)->HasMine());
}

TEST(ShipMoveMines, AStealthedShipStaysHiddenWhenHit)
{
    ShipTestBoard t(9, 9);
    ShipConfigSet config = t.Config(ShipTypeSubmarine);
    config.Hp = 2;
    CShip& submarine = t.Add(config, 1, 5, 1);
    t.LayForeignMine(5, 2);
    submarine.Move(DirectionEast, 2);
    EXPECT_EQ(submarine.GetProfile().Hp, 1);
    EXPECT_EQ(submarine.GetProfile().Status, ShipStatusStealth);
}

TEST(ShipMoveMines, ThreeSlotsRecordTheTurnsMines)
{
    ShipTestBoard t(9, 9);
    ShipConfigSet config = t.Config(ShipTypeBattleship);
    config.Hp = 9;
    CShip& ship = t.Add(config, 1, 5, 1);
    for (int i = 0; i < 4; ++i) t.LayForeignMine(5, 2);
    ship.Move(DirectionEast, 1);
    EXPECT_EQ(ship.GetProfile().Hp, 5);
    for (const MineProfile& slot : ship.GetProfile().MineHits) EXPECT_TRUE(slot.IsExploded);
    EXPECT_EQ(ship.GetProfile().Statistics[ShipStatOtherMineHits], 4u);
}

TEST(ShipMoveMines, MovingMarksPanelsAndQueuesTheStealthUpdate)
{
    ShipTestBoard t(9, 9);
    t.SetType(5, 3, PanelReef);
    CShip& ship = t.Add(ShipTypeBattleship, 1, 5, 1);
    ship.Move(DirectionEast, 4);
    // The reef was seen, though not entered.
    EXPECT_TRUE(t.At(5, 2)->IsKnownBy(1));
    EXPECT_TRUE(t.At(5, 3)->IsKnownBy(1));
    EXPECT_FALSE(t.At(5, 4)->IsKnownBy(1));
    EXPECT_EQ(ship.GetProfile().Statistics[ShipStatPanelsExplored], 2u);
    EXPECT_EQ(ship.CountPendingUpdates(), 1u);
    EXPECT_EQ(ship.GetPreviousPanel(), t.At(5, 1));
}
