#include "model/ShipConfig.h"
#include "model/GameEdit.h"

#include <gtest/gtest.h>

#include <string>

using namespace Marevane;

TEST(ShipConfig, TableRowsAndDefaultForMissingType)
{
    const CShipConfigMap& table = CShipConfigMap::GetInstance();

    const ShipConfigSet& battleship = table.Get(ShipTypeBattleship);
    EXPECT_EQ(battleship.Hp, 3u);
    EXPECT_EQ(battleship.MoveFp, 16u);
    EXPECT_EQ(battleship.ExtraMoveFp, 4u);
    const ShipConfigSet& oiler = table.Get(ShipTypeOiler);
    EXPECT_EQ(oiler.Fp, 150u);
    EXPECT_EQ(oiler.AttackFp, 50u);
    EXPECT_TRUE(oiler.CanRefuel);

    for (ShipType missing : {ShipTypeNone, static_cast<ShipType>(9)}) {
        const ShipConfigSet& row = table.Get(missing);
        EXPECT_EQ(row.Type, ShipTypeNone);
        EXPECT_EQ(row.Hp, 3u);
        EXPECT_EQ(row.Fp, 100u);
        EXPECT_EQ(row.AttackFp, 12u);
        EXPECT_EQ(row.MoveFp, 10u);
        EXPECT_EQ(row.TorpedoFp, 20u);
        EXPECT_EQ(row.RefuelFp, 30u);
        EXPECT_EQ(row.Reserved, 1u);
        EXPECT_EQ(row.MoveRange, 4u);
        EXPECT_FALSE(row.CanLayMine || row.CanFireTorpedo || row.CanStealth || row.CanRefuel);
    }
}

struct AdjustCase {
    ShipType Type;
    std::uint32_t FpPercentage;
    bool Stealth;
    std::uint32_t ExpectedFp;
    bool ExpectedStealth;
    std::uint32_t ExpectedStock;
};

std::string AdjustCaseName(const ::testing::TestParamInfo<AdjustCase>& info)
{
    const AdjustCase& c = info.param;
    const char* const types[] = {"None", "Battleship", "Destroyer", "Submarine", "Oiler"};
    return types[c.Type] + ("Fp" + std::to_string(c.FpPercentage)) + (c.Stealth ? "Stealth" : "NoStealth");
}

class ShipConfigAdjust : public ::testing::TestWithParam<AdjustCase> {};

TEST_P(ShipConfigAdjust, FollowsTheRules)
{
    const AdjustCase& c = GetParam();
    GameEditInfo info;
    info.FpPercentage = c.FpPercentage;
    info.IsStealthEnabled = c.Stealth;
    info.DestroyerWeapons = 5;
    info.SubmarineWeapons = 7;
    const ShipConfigSet config = MakeShipConfig(c.Type, info);
    EXPECT_EQ(config.Fp, c.ExpectedFp);
    EXPECT_EQ(config.CanStealth, c.ExpectedStealth);
    EXPECT_EQ(config.WeaponStock, c.ExpectedStock);
    EXPECT_EQ(config.Type, c.Type);
}

INSTANTIATE_TEST_SUITE_P(Rules, ShipConfigAdjust,
                         ::testing::Values(AdjustCase{ShipTypeBattleship, 100, true, 100, false, 0},
                                           AdjustCase{ShipTypeBattleship, 0, true, 0, false, 0},
                                           // 150 * 105 / 100 = 157.5 is truncated, not rounded.
                                           AdjustCase{ShipTypeOiler, 105, true, 157, false, 0},
                                           AdjustCase{ShipTypeOiler, 115, true, 172, false, 0},
                                           AdjustCase{ShipTypeSubmarine, 80, true, 80, true, 7},
                                           AdjustCase{ShipTypeSubmarine, 100, false, 100, false, 7},
                                           AdjustCase{ShipTypeDestroyer, 120, true, 120, false, 5},
                                           AdjustCase{ShipTypeNone, 100, true, 100, false, 0},
                                           AdjustCase{ShipTypeBattleship, 0xFFFFFFFFu, true, 0xFFFFFFFFu,
                                                      false, 0}),
                         AdjustCaseName);

TEST(ShipConfig, FreshProfileFromTheRules)
{
    GameEditInfo info;
    info.FpPercentage = 110;
    const ShipProfile submarine = MakeShipProfile(3, ShipTypeSubmarine, info);
    EXPECT_EQ(submarine.UnitId, 3u);
    EXPECT_EQ(submarine.ShipId, 0u);
    EXPECT_EQ(submarine.Type, ShipTypeSubmarine);
    EXPECT_EQ(submarine.Status, ShipStatusStealth);
    EXPECT_EQ(submarine.Condition, 0u);
    EXPECT_EQ(submarine.Hp, 1);
    EXPECT_EQ(submarine.Fp, 110u);
    EXPECT_EQ(submarine.WeaponStock, 3);
    EXPECT_EQ(submarine.Pos, MapPos(0, 0));
    EXPECT_FALSE(submarine.IsFlagship);
    EXPECT_EQ(submarine.MineHits[0].Number, NoNumber);
    EXPECT_EQ(submarine.MineHits[0].UnitId, NoNumber);
    EXPECT_EQ(submarine.MineHits[1].Number, 0u);
    EXPECT_EQ(submarine.MineHits[2].VictimUnitId, 0u);

    info.IsStealthEnabled = false;
    EXPECT_EQ(MakeShipProfile(3, ShipTypeSubmarine, info).Status, ShipStatusNormal);
    EXPECT_EQ(MakeShipProfile(3, ShipTypeBattleship, info).Status, ShipStatusNormal);
}
