// Construction, queries and the command checks of a ship.
#include "ShipTestBoard.h"

#include "model/Errors.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace Marevane;
using Marevane::Testing::ShipTestBoard;

TEST(Ship, FreshShipStandsOnItsPanelWithItsTypeAndMines)
{
    ShipTestBoard t;
    CShip& destroyer = t.Add(ShipTypeDestroyer, 2, 3, 4);
    const ShipProfile& profile = destroyer.GetProfile();
    EXPECT_EQ(profile.UnitId, 2u);
    EXPECT_EQ(profile.ShipId, 1u);
    EXPECT_EQ(profile.Pos, MapPos(3, 4));
    EXPECT_EQ(profile.Status, ShipStatusNormal);
    EXPECT_EQ(profile.Hp, 2);
    EXPECT_EQ(profile.Fp, 100u);
    EXPECT_EQ(profile.WeaponStock, 2);
    EXPECT_EQ(profile.MineHits[0].Number, NoNumber);
    EXPECT_EQ(destroyer.GetCurrentPanel(), t.At(3, 4));
    EXPECT_EQ(destroyer.GetPreviousPanel(), t.At(3, 4));
    ASSERT_EQ(destroyer.GetMines().size(), 2u);
    EXPECT_EQ(destroyer.GetMines().front().UnitId, 2u);
    EXPECT_FALSE(destroyer.GetMines().front().IsPlaced);

    EXPECT_EQ(t.Add(ShipTypeSubmarine, 2, 3, 5).GetProfile().Status, ShipStatusStealth);
}

TEST(Ship, RefusesAPanelShipsCannotEnter)
{
    ShipTestBoard t;
    t.SetType(2, 2, PanelReef);
    try {
        t.Add(ShipTypeBattleship, 1, 2, 2);
        FAIL() << "a reef took a ship";
    } catch (const CPanelRangeError& error) {
        EXPECT_STREQ(error.what(), "CShip::CShip(): CPanelRangeError - The target Panel is not movable.");
    }
    EXPECT_THROW(t.Add(ShipTypeBattleship, 1, 0, 2), CPanelRangeError);
    EXPECT_THROW(CShip(1, 1, nullptr, t.Config(ShipTypeBattleship)), CPanelRangeError);
}

TEST(Ship, TheFourTypesTakeTheirRowUnderTheRules)
{
    ShipTestBoard t;
    t.rules.FpPercentage = 120;
    t.rules.SubmarineWeapons = 5;
    t.rules.IsStealthEnabled = false;
    const CBattleShip battleship(1, 1, t.At(1, 1), t.rules);
    const CDestroyer destroyer(1, 2, t.At(1, 2), t.rules);
    const CSubmarine submarine(1, 3, t.At(1, 3), t.rules);
    const COiler oiler(1, 4, t.At(1, 4), t.rules);
    EXPECT_EQ(battleship.GetType(), ShipTypeBattleship);
    EXPECT_EQ(destroyer.GetType(), ShipTypeDestroyer);
    EXPECT_EQ(oiler.GetProfile().Fp, 180u);
    EXPECT_EQ(submarine.GetProfile().WeaponStock, 5);
    EXPECT_EQ(submarine.GetProfile().Status, ShipStatusNormal);
    EXPECT_FALSE(submarine.GetConfig().CanStealth);
}

TEST(Ship, StatusTestsReadBothWords)
{
    ShipTestBoard t;
    CShip& ship = t.Add(ShipTypeSubmarine, 1, 1, 1);
    ShipProfile& profile = ship.GetProfile();
    profile.Status = ShipStatusNormal;
    profile.Condition = ShipStatusSinking;
    EXPECT_TRUE(ship.IsSinking());
    EXPECT_TRUE(ship.HasStatus(ShipStatusSinking));
    profile.Condition = ShipStatusNormal;
    profile.Status = ShipStatusStealth;
    EXPECT_TRUE(ship.IsStealthed());
    // The underlying word never answers for "normal".
    profile.Status = ShipStatusStealthDisabled;
    EXPECT_FALSE(ship.HasStatus(ShipStatusNormal));
    EXPECT_TRUE(ship.HasStatus(ShipStatusStealthDisabled));
}

struct MoveRangeCase {
    std::uint32_t Fp;
    std::uint32_t MoveRange;
    std::uint32_t Expected;

    friend std::ostream& operator<<(std::ostream& out, const MoveRangeCase& c)
    {
        return out << c.Fp << " FP, range " << c.MoveRange;
    }
};

class ShipMoveRange : public ::testing::TestWithParam<MoveRangeCase> {};

TEST_P(ShipMoveRange, FollowsTheFuel)
{
    const MoveRangeCase c = GetParam();
    ShipTestBoard t(9, 9);
    ShipConfigSet config = t.Config(ShipTypeBattleship);
    config.MoveRange = c.MoveRange;
    CShip& ship = t.Add(config, 1, 1, 1);
    ship.GetProfile().Fp = c.Fp;
    EXPECT_EQ(ship.GetMoveRange(), c.Expected);
}

// A battleship: 16 FP for three panels, 4 for each panel beyond.
INSTANTIATE_TEST_SUITE_P(
    Battleship, ShipMoveRange,
    ::testing::Values(MoveRangeCase{15, 8, 0}, MoveRangeCase{16, 8, 3}, MoveRangeCase{19, 8, 3},
                      MoveRangeCase{20, 8, 4}, MoveRangeCase{35, 8, 7}, MoveRangeCase{36, 8, 8},
                      MoveRangeCase{100, 8, 8},
                      // The 3 by 3 map reaches two panels only.
                      MoveRangeCase{100, 2, 2}, MoveRangeCase{16, 2, 2}, MoveRangeCase{15, 2, 0},
                      // A range received with a ship's state is
                      // answered at once, not counted down.
                      MoveRangeCase{100, 0xFFFFFFFFu, 24}),
    [](const ::testing::TestParamInfo<MoveRangeCase>& info) {
        return "Fp" + std::to_string(info.param.Fp) + "Range" + std::to_string(info.param.MoveRange);
    });

struct ReinforcementCase {
    std::uint32_t Round;
    std::uint32_t Fp;
    std::uint32_t Expected;

    friend std::ostream& operator<<(std::ostream& out, const ReinforcementCase& c)
    {
        return out << "round " << c.Round << ", " << c.Fp << " FP";
    }
};

class ShipReinforcementCost : public ::testing::TestWithParam<ReinforcementCase> {};

TEST_P(ShipReinforcementCost, KeepsLessFuelAsRoundsPass)
{
    const ReinforcementCase c = GetParam();
    ShipTestBoard t;
    CShip& ship = t.Add(ShipTypeBattleship, 1, 1, 1);
    ship.GetProfile().Fp = c.Fp;
    EXPECT_EQ(ship.GetReinforcementCost(c.Round), c.Expected);
}

// Maximum 100: four fifths kept in rounds 1-5 (capped by two thirds of the
// fuel), three in 6-10, one in 16-20, none from round 21.
INSTANTIATE_TEST_SUITE_P(ByRound, ShipReinforcementCost,
                         ::testing::Values(ReinforcementCase{0, 100, 34}, ReinforcementCase{1, 100, 34},
                                           ReinforcementCase{5, 100, 34}, ReinforcementCase{6, 100, 40},
                                           ReinforcementCase{20, 100, 80}, ReinforcementCase{21, 100, 100},
                                           ReinforcementCase{1, 30, 10}, ReinforcementCase{21, 0, 0}),
                         [](const ::testing::TestParamInfo<ReinforcementCase>& info) {
                             return "Round" + std::to_string(info.param.Round) + "Fp" +
                                    std::to_string(info.param.Fp);
                         });

TEST(Ship, CommandCosts)
{
    ShipTestBoard t(9, 9);
    CShip& battleship = t.Add(ShipTypeBattleship, 1, 1, 1);
    EXPECT_EQ(battleship.GetCommandCost(CommandAttack, 1), 10u);
    EXPECT_EQ(battleship.GetCommandCost(CommandMove, 3), 16u);
    EXPECT_EQ(battleship.GetCommandCost(CommandMove, 8), 36u);
    EXPECT_EQ(battleship.GetCommandCost(CommandReinforce, 1), 34u);
    EXPECT_EQ(battleship.GetCommandCost(CommandChangeFlagship, 2), 5u);
    EXPECT_EQ(battleship.GetCommandCost(CommandChangeFlagship, 4), 10u);
    EXPECT_EQ(battleship.GetCommandCost(CommandMine, 1), 0u);
    EXPECT_EQ(t.Add(ShipTypeDestroyer, 1, 1, 2).GetCommandCost(CommandTorpedo, 1), 20u);
}

TEST(Ship, AbilitiesAndActing)
{
    ShipTestBoard t;
    CShip& battleship = t.Add(ShipTypeBattleship, 1, 1, 1);
    CShip& submarine = t.Add(ShipTypeSubmarine, 1, 1, 2);
    CShip& oiler = t.Add(ShipTypeOiler, 1, 1, 3);
    EXPECT_TRUE(battleship.HasCommandAbility(CommandAttack));
    EXPECT_FALSE(battleship.HasCommandAbility(CommandTorpedo));
    EXPECT_FALSE(battleship.HasCommandAbility(CommandReinforce));
    EXPECT_FALSE(battleship.HasCommandAbility(CommandChangeFlagship));
    battleship.GetProfile().IsFlagship = true;
    EXPECT_TRUE(battleship.HasCommandAbility(CommandChangeFlagship));
    EXPECT_TRUE(oiler.HasCommandAbility(CommandRefuel));

    // Fuel below every cost but a torpedo's: the torpedo keeps it acting.
    submarine.GetProfile().Fp = 9;
    EXPECT_FALSE(submarine.CanAct());
    submarine.GetProfile().Fp = 12;
    EXPECT_TRUE(submarine.CanAct());
    submarine.GetProfile().Condition = ShipStatusFuelShortage;
    EXPECT_FALSE(submarine.CanAct());
    EXPECT_FALSE(submarine.CanFireTorpedo());
    EXPECT_FALSE(submarine.CanExecuteCommand(CommandMove));
}

struct CanExecuteCase {
    const char* Name;
    ShipType Type;
    std::uint32_t Fp;
    std::uint32_t Status;
    std::uint32_t Condition;
    bool Flagship;
    std::uint32_t Command;
    std::uint32_t Count;
    bool Expected;
    friend std::ostream& operator<<(std::ostream& out, const CanExecuteCase& c) { return out << c.Name; }
};

class ShipCanExecute : public ::testing::TestWithParam<CanExecuteCase> {};

TEST_P(ShipCanExecute, ChecksInOrder)
{
    const CanExecuteCase c = GetParam();
    ShipTestBoard t;
    CShip& ship = t.Add(c.Type, 1, 2, 2);
    ShipProfile& profile = ship.GetProfile();
    profile.Fp = c.Fp;
    profile.Status = c.Status;
    profile.Condition = c.Condition;
    profile.IsFlagship = c.Flagship;
    EXPECT_EQ(ship.CanExecute(c.Command, c.Count), c.Expected);
}

constexpr std::uint32_t Ok = ShipStatusNormal;
constexpr std::uint32_t Short = ShipStatusFuelShortage;
constexpr std::uint32_t Sunk = ShipStatusSinking;

INSTANTIATE_TEST_SUITE_P(
    Cases, ShipCanExecute,
    ::testing::Values(
        CanExecuteCase{"AttackWithFuel", ShipTypeBattleship, 10, Ok, Ok, false, CommandAttack, 1, true},
        CanExecuteCase{"AttackShortOfFp", ShipTypeBattleship, 9, Ok, Ok, false, CommandAttack, 1, false},
        CanExecuteCase{"SunkShipOnlyReinforces", ShipTypeBattleship, 100, Ok, Sunk, false, CommandAttack, 1,
                       false},
        CanExecuteCase{"FuelShortageBlocksAttack", ShipTypeBattleship, 100, Short, Ok, false, CommandAttack,
                       1, false},
        CanExecuteCase{"FuelShortageLeavesMines", ShipTypeDestroyer, 0, Short, Short, false, CommandMine, 1,
                       true},
        CanExecuteCase{"FuelShortageBlocksFlagship", ShipTypeBattleship, 100, Short, Ok, true,
                       CommandChangeFlagship, 0, false},
        CanExecuteCase{"ResignIsTheUnits", ShipTypeBattleship, 100, Ok, Ok, false, CommandResign, 1, false},
        CanExecuteCase{"PassIsTheUnits", ShipTypeBattleship, 100, Ok, Ok, false, CommandPass, 1, false},
        CanExecuteCase{"NoCommand", ShipTypeBattleship, 100, Ok, Ok, false, CommandNone, 1, false},
        CanExecuteCase{"MoveWithBaseCost", ShipTypeBattleship, 16, Ok, Ok, false, CommandMove, 1, true},
        CanExecuteCase{"MoveBelowBaseCost", ShipTypeBattleship, 15, Ok, Ok, false, CommandMove, 1, false},
        CanExecuteCase{"TorpedoNeedsTheType", ShipTypeBattleship, 100, Ok, Ok, false, CommandTorpedo, 1,
                       false},
        CanExecuteCase{"TorpedoBySubmarine", ShipTypeSubmarine, 20, Ok, Ok, false, CommandTorpedo, 1, true},
        CanExecuteCase{"RefuelByOiler", ShipTypeOiler, 1, Ok, Ok, false, CommandRefuel, 1, true},
        CanExecuteCase{"RefuelWithoutFuel", ShipTypeOiler, 0, Ok, Ok, false, CommandRefuel, 1, false},
        CanExecuteCase{"ThirdHandOver", ShipTypeBattleship, 5, Ok, Ok, true, CommandChangeFlagship, 2, true},
        CanExecuteCase{"FourthHandOver", ShipTypeBattleship, 100, Ok, Ok, true, CommandChangeFlagship, 3,
                       false},
        CanExecuteCase{"HandOverBelowFee", ShipTypeBattleship, 4, Ok, Ok, true, CommandChangeFlagship, 0,
                       false},
        CanExecuteCase{"HandOverByOtherShip", ShipTypeBattleship, 100, Ok, Ok, false, CommandChangeFlagship,
                       0, false},
        CanExecuteCase{"ReinforceAfloat", ShipTypeBattleship, 100, Ok, Ok, false, CommandReinforce, 1, false},
        CanExecuteCase{"ReinforceSunk", ShipTypeBattleship, 100, Ok, Sunk, false, CommandReinforce, 1, true},
        CanExecuteCase{"ReinforceSunkFlagship", ShipTypeBattleship, 100, Ok, Sunk, true, CommandReinforce, 1,
                       false},
        // Round 21 takes every FP: nothing would be left to act with.
        CanExecuteCase{"ReinforceLate", ShipTypeBattleship, 100, Ok, Sunk, false, CommandReinforce, 21,
                       false},
        // 30 FP keep 20 after paying 10: enough for an attack (10).
        CanExecuteCase{"ReinforceKeepsEnough", ShipTypeBattleship, 30, Ok, Sunk, false, CommandReinforce, 1,
                       true},
        // 12 FP keep 8 after paying: below the attack cost of 10 and the move cost of 16.
        CanExecuteCase{"ReinforceKeepsTooLittle", ShipTypeBattleship, 12, Ok, Sunk, false, CommandReinforce,
                       1, false},
        // A sunk ship in fuel shortage with a reinforcement cost is refused before the reinforce rules.
        CanExecuteCase{"ReinforceInShortage", ShipTypeBattleship, 100, Short, Sunk, false, CommandReinforce,
                       1, false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(Ship, MinesAndTorpedoesNeedStock)
{
    ShipTestBoard t;
    CShip& destroyer = t.Add(ShipTypeDestroyer, 1, 1, 1);
    EXPECT_TRUE(destroyer.CanLayMine());
    EXPECT_TRUE(destroyer.CanFireTorpedo());
    destroyer.GetProfile().WeaponStock = 0;
    EXPECT_FALSE(destroyer.CanLayMine());
    EXPECT_FALSE(destroyer.CanFireTorpedo());
    EXPECT_FALSE(t.Add(ShipTypeSubmarine, 1, 1, 2).CanLayMine());
}

TEST(Ship, FpRateIsOneWithoutFuelInUse)
{
    ShipTestBoard t;
    CShip& ship = t.Add(ShipTypeOiler, 1, 1, 1);
    ship.GetProfile().Fp = 75;
    EXPECT_DOUBLE_EQ(ship.GetFpRate(), 0.5);
    ShipConfigSet config = t.Config(ShipTypeOiler);
    config.Fp = 0;
    EXPECT_DOUBLE_EQ(t.Add(config, 1, 1, 2).GetFpRate(), 1.0);
}

// Fuel switched off ("Unlimited"): nothing costs FP and no fuel check refuses,
// the long move and the flagship hand-over included.
TEST(Ship, WithoutFuelInUseNothingIsRefusedForFuel)
{
    ShipTestBoard t(9, 9);
    ShipConfigSet config = t.Config(ShipTypeBattleship);
    config.Fp = 0;
    CShip& ship = t.Add(config, 1, 1, 1);
    CShip& other = t.Add(config, 1, 2, 2);
    ship.GetProfile().IsFlagship = true;

    EXPECT_EQ(ship.GetMoveRange(), 8u);
    EXPECT_TRUE(ship.CanAct());
    EXPECT_TRUE(ship.CanExecute(CommandMove, 1));
    EXPECT_TRUE(ship.CanExecute(CommandAttack, 1));
    EXPECT_TRUE(ship.CanExecute(CommandChangeFlagship, 0));
    EXPECT_EQ(ship.GetCommandCost(CommandMove, 8), 0u);
    EXPECT_EQ(ship.GetCommandCost(CommandChangeFlagship, 5), 0u);

    EXPECT_EQ(ship.Move(DirectionEast, 8), 87u);
    EXPECT_EQ(ship.GetProfile().Pos, MapPos(1, 9));
    EXPECT_EQ(ship.GetProfile().Fp, 0u);
    // However far it is told to go, the walk ends at the ring.
    EXPECT_EQ(ship.Move(DirectionSouth, 4000000000u), 87u);
    EXPECT_EQ(ship.GetProfile().Pos, MapPos(9, 9));
    EXPECT_EQ(ship.Attack({&other}, t.At(2, 9)), 87u);
    EXPECT_EQ(ship.ChangeFlagship(&other, 4), 87u);
    EXPECT_TRUE(other.GetProfile().IsFlagship);
    EXPECT_FALSE(ship.GetProfile().IsFlagship);

    ShipConfigSet oilerConfig = t.Config(ShipTypeOiler);
    oilerConfig.Fp = 0;
    CShip& oiler = t.Add(oilerConfig, 1, 3, 3);
    EXPECT_FALSE(oiler.CanExecute(CommandRefuel, 1));
    EXPECT_EQ(oiler.Refuel({&other}), 81u);
}

TEST(Ship, ChangeFlagshipCostsByHandOvers)
{
    ShipTestBoard t;
    CShip& flagship = t.Add(ShipTypeBattleship, 1, 1, 1);
    CShip& next = t.Add(ShipTypeDestroyer, 1, 1, 2);
    flagship.GetProfile().IsFlagship = true;
    flagship.GetProfile().Fp = 9;
    // The fifth hand-over costs 5 * (4 - 2).
    EXPECT_EQ(flagship.ChangeFlagship(&next, 4), 83u);
    EXPECT_TRUE(flagship.GetProfile().IsFlagship);
    EXPECT_EQ(flagship.GetProfile().Fp, 9u);

    EXPECT_EQ(flagship.ChangeFlagship(&next, 1), 87u);
    EXPECT_EQ(flagship.GetProfile().Fp, 4u);
    EXPECT_FALSE(flagship.GetProfile().IsFlagship);
    EXPECT_TRUE(next.GetProfile().IsFlagship);
    EXPECT_EQ(flagship.GetProfile().Statistics[ShipStatFlagshipChanges], 1u);
}

TEST(Ship, MarksPanelsKnownOnceAndCountsThem)
{
    ShipTestBoard t;
    CShip& ship = t.Add(ShipTypeBattleship, 4, 1, 1);
    ship.MarkPanelKnown(t.At(2, 2));
    ship.MarkPanelKnown(t.At(2, 2));
    ship.MarkPanelKnown(t.At(0, 2));
    t.At(3, 3)->SetRevealed(true);
    ship.MarkPanelKnown(t.At(3, 3));
    EXPECT_TRUE(t.At(2, 2)->IsKnownBy(4));
    EXPECT_EQ(t.At(2, 2)->GetKnownUnits().size(), 1u);
    EXPECT_TRUE(t.At(3, 3)->GetKnownUnits().empty());
    EXPECT_EQ(ship.GetProfile().Statistics[ShipStatPanelsExplored], 1u);
}
