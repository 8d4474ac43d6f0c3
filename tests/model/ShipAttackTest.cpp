// How an attack classifies the ships it reaches, what it counts and clears.
#include "ShipTestBoard.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace Marevane;
using Marevane::Testing::ShipTestBoard;

namespace {

struct AttackCase {
    const char* Name;
    ShipType TargetType;
    std::uint32_t Row;
    std::uint32_t Column;
    std::uint32_t TargetStatus;
    std::uint32_t LastEvent;
    std::int32_t Hp;
    std::uint32_t Hits;
    std::uint32_t Sunk;
    std::uint32_t NearMisses;
    friend std::ostream& operator<<(std::ostream& out, const AttackCase& c) { return out << c.Name; }
};

class ShipAttack : public ::testing::TestWithParam<AttackCase> {};

} // namespace

// The attacker stands on (3, 3) and attacks (3, 4).
TEST_P(ShipAttack, ClassifiesTheReachedShip)
{
    const AttackCase c = GetParam();
    ShipTestBoard t;
    CShip& attacker = t.Add(ShipTypeBattleship, 1, 3, 3);
    CShip& target = t.Add(c.TargetType, 2, c.Row, c.Column);
    target.GetProfile().Status = c.TargetStatus;
    target.GetProfile().LastEvent = 6;

    EXPECT_EQ(attacker.Attack({&target}, t.At(3, 4)), 87u);
    EXPECT_EQ(target.GetProfile().LastEvent, c.LastEvent);
    EXPECT_EQ(target.GetProfile().Hp, c.Hp);
    EXPECT_EQ(target.IsSinking(), c.LastEvent == 3 || c.TargetStatus == ShipStatusSinking);
    const ShipStatistics& stats = attacker.GetProfile().Statistics;
    EXPECT_EQ(stats[ShipStatAttacks], 1u);
    EXPECT_EQ(stats[ShipStatHits], c.Hits);
    EXPECT_EQ(stats[ShipStatSunk], c.Sunk);
    EXPECT_EQ(stats[ShipStatNearMisses], c.NearMisses);
    EXPECT_EQ(attacker.GetProfile().Fp, 90u);
    EXPECT_TRUE(t.At(3, 4)->IsKnownBy(1));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShipAttack,
    ::testing::Values(
        AttackCase{"Hit", ShipTypeBattleship, 3, 4, ShipStatusNormal, 2, 2, 1, 0, 0},
        AttackCase{"Sunk", ShipTypeSubmarine, 3, 4, ShipStatusNormal, 3, 0, 1, 1, 0},
        // Hiding does not shield a ship on the attacked panel.
        AttackCase{"HitInStealth", ShipTypeDestroyer, 3, 4, ShipStatusStealth, 2, 1, 1, 0, 0},
        AttackCase{"NearMissStraight", ShipTypeBattleship, 2, 4, ShipStatusNormal, 4, 3, 0, 0, 1},
        AttackCase{"NearMissDiagonal", ShipTypeBattleship, 4, 5, ShipStatusNormal, 4, 3, 0, 0, 1},
        // A hidden ship learns of the near miss; the attacker does not count it.
        AttackCase{"NearMissInStealth", ShipTypeSubmarine, 4, 5, ShipStatusStealth, 4, 1, 0, 0, 0},
        AttackCase{"Miss", ShipTypeBattleship, 5, 5, ShipStatusNormal, 1, 3, 0, 0, 0},
        // A sinking ship is left as it is.
        AttackCase{"AlreadySinking", ShipTypeBattleship, 3, 4, ShipStatusSinking, 6, 3, 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ShipAttackRules, RefusedWithoutFuelAndUnchanged)
{
    ShipTestBoard t;
    CShip& attacker = t.Add(ShipTypeBattleship, 1, 3, 3);
    CShip& target = t.Add(ShipTypeBattleship, 2, 3, 4);
    attacker.GetProfile().Fp = 9;
    EXPECT_EQ(attacker.Attack({&target}, t.At(3, 4)), 77u);
    EXPECT_EQ(target.GetProfile().Hp, 3);
    EXPECT_EQ(attacker.GetProfile().Statistics[ShipStatAttacks], 0u);

    attacker.GetProfile().Fp = 100;
    attacker.GetProfile().Condition = ShipStatusFuelShortage;
    EXPECT_EQ(attacker.Attack({&target}, t.At(3, 4)), 77u);
}

TEST(ShipAttackRules, ClearsTheFirstLiveMineOnly)
{
    ShipTestBoard t;
    CShip& attacker = t.Add(ShipTypeBattleship, 1, 3, 3);
    MineProfile& dead = t.LayForeignMine(3, 4, 2);
    MineProfile& own = t.LayForeignMine(3, 4, 1);
    MineProfile& other = t.LayForeignMine(3, 4, 2);
    dead.IsExploded = true;

    attacker.Attack({}, t.At(3, 4));
    EXPECT_TRUE(own.IsExploded);
    EXPECT_FALSE(other.IsExploded);
    EXPECT_EQ(own.VictimUnitId, NoNumber);
    EXPECT_EQ(attacker.GetProfile().Statistics[ShipStatOwnMinesCleared], 1u);
    EXPECT_EQ(attacker.GetProfile().LastEvent, 6u);

    attacker.Attack({}, t.At(3, 4));
    EXPECT_TRUE(other.IsExploded);
    EXPECT_EQ(attacker.GetProfile().Statistics[ShipStatOtherMinesCleared], 1u);
    EXPECT_FALSE(t.At(3, 4)->HasMine());

    // Nothing left to clear.
    attacker.GetProfile().LastEvent = 0;
    attacker.Attack({}, t.At(3, 4));
    EXPECT_EQ(attacker.GetProfile().LastEvent, 0u);
    EXPECT_EQ(attacker.GetProfile().Statistics[ShipStatAttacks], 3u);
}

TEST(ShipAttackRules, EveryListedShipIsClassifiedOnce)
{
    ShipTestBoard t;
    CShip& attacker = t.Add(ShipTypeBattleship, 1, 3, 3);
    CShip& hit = t.Add(ShipTypeBattleship, 2, 3, 4);
    CShip& nearby = t.Add(ShipTypeDestroyer, 3, 2, 5);
    CShip& far = t.Add(ShipTypeDestroyer, 3, 7, 7);
    attacker.Attack(t.All(), t.At(3, 4));
    EXPECT_EQ(hit.GetProfile().LastEvent, 2u);
    EXPECT_EQ(nearby.GetProfile().LastEvent, 4u);
    EXPECT_EQ(far.GetProfile().LastEvent, 1u);
    // The attacker beside the panel reaches itself as a near miss.
    EXPECT_EQ(attacker.GetProfile().LastEvent, 4u);
    EXPECT_EQ(attacker.GetProfile().Statistics[ShipStatNearMisses], 2u);
}
