#include "UnitTestFixture.h"

#include "model/UnitTeam.h"

namespace Marevane::Testing {
namespace {

class Teams : public UnitFixture {
  protected:
    void SetUp() override
    {
        UnitFixture::SetUp();
        for (std::uint32_t id = 0; id < 4; ++id) MakeUnit(id);
    }
    CUnit* U(std::size_t i) { return units[i].get(); }
    std::vector<CUnit*> Members(const UnitTeam& team) { return team.GetMembers(); }
    // Score 1.5 * hits + sunk, with nothing else counted.
    void Score(std::size_t i, std::uint32_t sunk) { U(i)->GetStatistics(0)[StatSunk] = sunk; }
};

TEST_F(Teams, UnitsWithoutMatesStandAlone)
{
    const auto teams = GroupUnitsByTeam({U(2), U(0), U(3), U(1)});
    ASSERT_EQ(teams.size(), 4u);
    const std::vector<CUnit*> order = {U(2), U(0), U(3), U(1)};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(Members(teams[i]), std::vector<CUnit*>{order[i]});
        EXPECT_EQ(teams[i].GetLeader(), order[i]);
    }
    EXPECT_TRUE(GroupUnitsByTeam({}).empty());
}

TEST_F(Teams, MatesGroupAndTheSmallestIdLeads)
{
    U(0)->JoinTeam(*U(2));
    U(1)->JoinTeam(*U(3));
    const auto teams = GroupUnitsByTeam({U(2), U(1), U(0), U(3)});
    ASSERT_EQ(teams.size(), 2u);
    EXPECT_EQ(Members(teams[0]), (std::vector<CUnit*>{U(2), U(0)}));
    EXPECT_EQ(teams[0].GetLeader(), U(0));
    EXPECT_EQ(Members(teams[1]), (std::vector<CUnit*>{U(1), U(3)}));
    EXPECT_EQ(teams[1].GetLeader(), U(1));
}

// Grouping is greedy: a chain holds together only when offered in order.
TEST_F(Teams, ChainDependsOnTheOrder)
{
    U(0)->JoinTeam(*U(1));
    U(1)->JoinTeam(*U(2));
    EXPECT_EQ(GroupUnitsByTeam({U(0), U(1), U(2)}).size(), 1u);
    EXPECT_EQ(GroupUnitsByTeam({U(0), U(2), U(1)}).size(), 2u);
}

TEST_F(Teams, TryAddAndFill)
{
    U(0)->JoinTeam(*U(3));
    UnitTeam team;
    EXPECT_FALSE(team.TryAdd(nullptr));
    EXPECT_TRUE(team.TryAdd(U(3)));
    EXPECT_FALSE(team.TryAdd(U(1)));
    EXPECT_TRUE(team.TryAdd(U(0)));
    EXPECT_EQ(team.GetLeader(), U(0));
    const auto rest = team.Fill({U(1), U(2), U(3)});
    EXPECT_EQ(Members(team), std::vector<CUnit*>{U(1)});
    EXPECT_EQ(rest, (std::vector<CUnit*>{U(2), U(3)}));
}

TEST_F(Teams, DefeatedTeamsGoTheRestKeepTheirOrder)
{
    // Sides without ships are defeated; one ship keeps a side in.
    U(0)->JoinTeam(*U(1));
    Place(*U(1), ShipTypeBattleship, 1, 1);
    Place(*U(3), ShipTypeBattleship, 2, 2);
    auto teams = GroupUnitsByTeam({U(0), U(1), U(2), U(3)});
    ASSERT_EQ(teams.size(), 3u);
    RemoveDefeatedTeams(teams);
    ASSERT_EQ(teams.size(), 2u);
    EXPECT_EQ(teams[0].GetLeader(), U(0));
    EXPECT_EQ(teams[1].GetLeader(), U(3));
}

TEST_F(Teams, SurvivorsFirst)
{
    U(0)->JoinTeam(*U(1));
    U(2)->JoinTeam(*U(3));
    Place(*U(2), ShipTypeBattleship, 1, 1);
    Place(*U(3), ShipTypeBattleship, 2, 2);
    Place(*U(1), ShipTypeBattleship, 3, 3);
    auto teams = GroupUnitsByTeam({U(0), U(1), U(2), U(3)});
    SortTeamsBySurvivors(teams);
    EXPECT_EQ(teams[0].GetLeader(), U(2));
    EXPECT_EQ(teams[1].GetLeader(), U(0));
}

TEST_F(Teams, ScoreAveragesHighestFirst)
{
    U(0)->JoinTeam(*U(1));
    Score(0, 10);
    Score(1, 15);
    Score(2, 20);
    auto teams = GroupUnitsByTeam({U(0), U(1), U(2)});
    EXPECT_DOUBLE_EQ(SumTeamScore(teams[0]), 25.0);
    SortTeamsByScore(teams);
    ASSERT_EQ(teams.size(), 2u);
    EXPECT_EQ(teams[0].GetLeader(), U(2));
    EXPECT_EQ(teams[1].GetLeader(), U(0));
    // Every member's score is stored on the way.
    EXPECT_DOUBLE_EQ(U(1)->GetStatistics(0).Score, 15.0);
    EXPECT_DOUBLE_EQ(U(2)->GetStatistics(0).Score, 20.0);
}

TEST_F(Teams, SortedIds)
{
    EXPECT_EQ(GetSortedIds({U(3), U(1), U(2), U(0)}), (std::vector<CUnit*>{U(0), U(1), U(2), U(3)}));
}

} // namespace
} // namespace Marevane::Testing
