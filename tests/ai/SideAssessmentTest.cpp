#include "ai/SideAssessment.h"
#include "InferenceFixture.h"

namespace Marevane::ComputerAI::Testing {
namespace {

TEST(SideScores, HealthScoreByTheGapBetweenTheRatios)
{
    struct Case {
        double R;
        double Q;
        std::int32_t Expected;
    };
    for (const Case& c : {Case{0.9, 0.5, 8}, Case{0.8, 0.5, 4}, Case{0.6, 0.5, 4}, Case{0.5, 0.5, 1},
                          Case{0.4, 0.5, -4}, Case{0.2, 0.5, -4}, Case{0.1, 0.5, -8}}) {
        EXPECT_EQ(SideHealthScore(c.R, c.Q), c.Expected) << c.R << " against " << c.Q;
    }
}

TEST(SideScores, AttackScoreByTheGapBetweenTheCounts)
{
    struct Case {
        std::uint32_t A;
        std::uint32_t B;
        std::int32_t Expected;
    };
    for (const Case& c : {Case{4, 2, 6}, Case{3, 2, 2}, Case{2, 2, 1}, Case{1, 2, -2}, Case{0, 2, -6}})
        EXPECT_EQ(SideAttackScore(c.A, c.B), c.Expected) << c.A << " against " << c.B;
}

// After Cid's attack at (3,5): every ship is whole, the computer has two
// ships that can attack, Ann one and Cid two.
TEST_F(InferenceFixture, AssessmentComparesEverySideWithTheOwn)
{
    Attack(cid, 1, DirectionWest);
    Think();
    game->AssessSides(4);
    const CInferenceTable& table = game->GetInferenceTable();
    EXPECT_EQ(table.GetAssessedKind(), 4u);

    const InferenceRecord& own = table.GetRecord(3);
    EXPECT_EQ(own.ActiveShips, 2u);
    EXPECT_EQ(own.AttackShips, 2u);
    EXPECT_EQ(own.Damage, 0u);
    EXPECT_DOUBLE_EQ(own.HealthRatio, 1.0);
    EXPECT_TRUE(own.FirstKindFlag);
    EXPECT_FALSE(own.SecondKindFlag);

    const InferenceRecord& ann = table.GetRecord(1);
    EXPECT_EQ(ann.ActiveShips, 1u);
    EXPECT_EQ(ann.HealthScore, 1);
    EXPECT_EQ(ann.AttackScore, 2);
    EXPECT_EQ(ann.Phase, 4); // down to one ship
    EXPECT_EQ(ann.Stance, 2);
    EXPECT_EQ(ann.LastCommand, 0); // no record of its own yet

    const InferenceRecord& cid = table.GetRecord(4);
    EXPECT_EQ(cid.AttackScore, 1);
    // Early, without damage, and both pictures still wide.
    EXPECT_EQ(cid.Phase, 0);
    EXPECT_EQ(cid.LastCommand, static_cast<std::int32_t>(CommandAttack));
    EXPECT_EQ(cid.LastShip, 1);

    // The computer and Bea against Ann and Cid: three attack ships each;
    // the allies have fewer than two active ships per side.
    const InferenceRecord& allies = table.GetAllies();
    const InferenceRecord& rivals = table.GetRivals();
    EXPECT_EQ(allies.AttackShips, 3u);
    EXPECT_EQ(rivals.AttackShips, 3u);
    EXPECT_EQ(rivals.AttackScore, 1);
    EXPECT_EQ(rivals.Phase, 4);
    EXPECT_EQ(allies.Phase, rivals.Phase);
    EXPECT_EQ(allies.Stance, rivals.Stance);
}

TEST_F(InferenceFixture, DamageAndAShipThatCannotAttackMoveTheScores)
{
    Attack(cid, 1, DirectionWest);
    ShipProfile& own = com->GetShip(1)->GetProfile();
    own.Hp = 1;
    own.Fp = 0; // can no longer pay for an attack
    Think();
    game->AssessSides(5);
    const InferenceRecord& cid = game->GetInferenceTable().GetRecord(4);
    // 3 of 5 hit points against Cid's whole fleet; one attack ship against two.
    EXPECT_EQ(cid.HealthScore, -8);
    EXPECT_EQ(cid.AttackScore, -2);
    EXPECT_EQ(cid.Phase, 4); // one own ship left that can act
    EXPECT_EQ(game->GetInferenceTable().GetRecord(3).ActiveShips, 1u);
    EXPECT_EQ(cid.Stance, -2);
    EXPECT_TRUE(game->GetInferenceTable().GetRecord(3).SecondKindFlag);
}

} // namespace
} // namespace Marevane::ComputerAI::Testing
