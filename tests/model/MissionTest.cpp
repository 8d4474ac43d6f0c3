#include "model/Mission.h"
#include "model/Arbiter.h"
#include "model/GameEdit.h"

#include "UnitTestFixture.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

using namespace Marevane;

namespace {

std::string Describe(const CMissionCriteria* criteria)
{
    std::ostringstream out;
    for (const CMissionCriteria* c = criteria; c; c = c->GetSubCriteria()) {
        if (c != criteria) out << ">";
        if (dynamic_cast<const CRescueMission*>(c)) {
            out << "Rescue";
        } else if (dynamic_cast<const CPulloutMission*>(c)) {
            out << "Pullout";
        } else if (dynamic_cast<const CDeadlineMission*>(c)) {
            out << "Deadline";
        } else if (dynamic_cast<const CSurvivalMission*>(c)) {
            out << "Survival";
        } else if (dynamic_cast<const CFlagshipMission*>(c)) {
            out << "Flagship";
        } else if (dynamic_cast<const CWipeoutMission*>(c)) {
            out << "Wipeout";
        } else if (dynamic_cast<const CSeaControlMission*>(c)) {
            out << "SeaControl";
        } else {
            out << "?";
        }
        out << "(" << std::hex << std::uppercase << c->GetMissionCode() << ")";
    }
    return out.str();
}

class Missions : public Testing::UnitFixture {
  protected:
    // Sides 0..n-1, each with one battleship of its own.
    std::vector<CUnit*> Sides(std::uint32_t n)
    {
        for (std::uint32_t id = 0; id < n; ++id) {
            CUnit& unit = MakeUnit(id, UnitAuto);
            unit.SetHostId(100 + id);
            Place(unit, ShipTypeBattleship, id % 5 + 1, id / 5 + 1);
        }
        return All();
    }

    static void Defeat(CUnit* unit) { unit->SetResigned(true); }
    static void Score(CUnit* unit, std::uint32_t points) { unit->GetStatistics()[StatSunk] = points; }
    static bool Marked(const CUnit* unit) { return unit->GetStatistics()[StatVictory] == 1; }
    // Out of fuel: afloat and undefeated, but nothing left to do.
    void Stall(CUnit* unit)
    {
        for (auto& entry : unit->GetShips()) {
            entry.second->GetProfile().Fp = 0;
            entry.second->GetProfile().Condition = ShipStatusFuelShortage;
        }
    }

    PlayOrder order{1, 1};
};

} // namespace

TEST(MissionChains, EveryCodeBuildsItsChain)
{
    const std::vector<std::pair<MissionType, std::string>> rows = {
        {0x10000001, "SeaControl(10000001)"},
        {0x10000002, "Flagship(10000004)"},
        {0x10000004, "Flagship(10000004)"},
        {0x20000020, "SeaControl(10000001)"},
        {0x50000010, "Deadline(50000010)>SeaControl(10000001)"},
        {0x50000011, "Deadline(50000011)>SeaControl(10000001)"},
        {0x50000012, "Deadline(50000012)>Wipeout(10000002)"},
        {0x50000014, "Deadline(50000014)>Flagship(50000014)"},
        {0x50000015, "Deadline(50000015)>Flagship(50000015)>SeaControl(10000001)"},
        {0x70000030, "Pullout(70000030)>Survival(20000020)"},
        {0x50000008, "Rescue(50000008)>SeaControl(10000001)"},
        {0x50000009, "Rescue(50000009)>SeaControl(10000001)"},
        {0x5000000A, "Rescue(5000000A)>Wipeout(10000002)"},
        {0x5000000C, "Rescue(5000000C)>Flagship(10000004)"},
        {0x50000019, "Rescue(50000019)>Deadline(50000019)>SeaControl(10000001)"},
        {0x5000001A, "Rescue(5000001A)>Deadline(5000001A)>Wipeout(10000002)"},
        {0x5000001C, "Rescue(5000001C)>Deadline(5000001C)>Flagship(5000001C)"},
        {0x5000001D, "Rescue(5000001D)>Deadline(5000001D)>Flagship(5000001D)>SeaControl(10000001)"},
        {0x70000038, "Rescue(70000038)>Pullout(70000030)>Survival(20000020)"},
        // Codes that name no mission, a client's included, play as sea control.
        {0x00000000, "SeaControl(10000001)"},
        {0x50000000, "SeaControl(10000001)"},
        {0x50000001, "SeaControl(10000001)"},
        {0x12345678, "SeaControl(10000001)"},
    };
    ASSERT_EQ(GetMissionCodes().size(), 19u);
    for (const auto& row : rows) {
        CArbiter arbiter;
        arbiter.SetMission(row.first);
        EXPECT_EQ(Describe(&arbiter.GetMission()), row.second) << std::hex << row.first;
    }
}

TEST(MissionChains, ArbiterStartsWithSeaControlAndHandsRulesDown)
{
    CArbiter arbiter;
    EXPECT_EQ(Describe(&arbiter.GetMission()), "SeaControl(10000001)");
    CGameEdit rules;
    arbiter.SetRules(&rules);
    arbiter.SetMission(0x5000001D);
    for (const CMissionCriteria* c = &arbiter.GetMission(); c; c = c->GetSubCriteria()) {
        EXPECT_EQ(c->GetRules(), &rules);
    }
}

TEST_F(Missions, BattleGoesOnWhileTwoTeamsStandAndSomeoneCanAct)
{
    auto units = Sides(4);
    units[0]->JoinTeam(*units[2]);
    units[1]->JoinTeam(*units[3]);
    EXPECT_TRUE(CMissionCriteria::IsBattleContinuing(units));
    Defeat(units[0]);
    Defeat(units[3]);
    EXPECT_TRUE(CMissionCriteria::IsBattleContinuing(units)); // one side of each team stands
    Stall(units[1]);
    Stall(units[2]);
    EXPECT_FALSE(CMissionCriteria::IsBattleContinuing(units)); // nobody can act any more
}

TEST_F(Missions, BattleEndsWhenOneTeamStands)
{
    auto units = Sides(4);
    units[0]->JoinTeam(*units[2]);
    units[1]->JoinTeam(*units[3]);
    Defeat(units[1]);
    Defeat(units[3]);
    EXPECT_FALSE(CMissionCriteria::IsBattleContinuing(units));

    CSeaControlMission mission;
    EXPECT_TRUE(mission.IsOver(87, units, order));
    EXPECT_EQ(mission.GetWinner(), units[0]); // the team's leader
    EXPECT_EQ(mission.GetJudgement(), JudgementOutright);
    EXPECT_TRUE(Marked(units[0]));
    EXPECT_TRUE(Marked(units[2]));
    EXPECT_FALSE(Marked(units[1]));
    EXPECT_FALSE(Marked(units[3]));
}

TEST_F(Missions, TeamJudgesWithSeveralTeamsAlive)
{
    struct Case {
        const char* Name;
        MissionType Code;
        std::vector<std::uint32_t> Scores; // per side
        std::vector<std::uint32_t> Defeated;
        std::uint32_t Sides;
        std::uint32_t Winner;
        std::uint32_t Judgement;
    };
    const std::vector<Case> cases = {
        {"sea control on points", MissionSeaControl, {1, 5}, {}, 2, 1, JudgementOnPoints},
        {"sea control equal points", MissionSeaControl, {4, 4}, {}, 2, 0, JudgementDraw},
        {"sea control fewer losses", MissionSeaControl, {9, 0, 9}, {2}, 3, 1, JudgementOutright},
        {"wipe out", MissionWipeout, {1, 5}, {}, 2, 0, JudgementDraw},
        {"flagship equal losses", MissionFlagship, {1, 5}, {}, 2, 0, JudgementDraw},
        {"flagship fewer losses", MissionFlagship, {9, 0, 9}, {2}, 3, 1, JudgementOutright},
        {"rapid decisive by its sea-control rule", MissionRapidDecisive, {1, 5}, {}, 2, 1, JudgementOnPoints},
    };
    for (const auto& c : cases) {
        units.clear();
        ships.clear();
        auto sides = Sides(c.Sides);
        if (c.Sides == 3) sides[0]->JoinTeam(*sides[2]);
        for (std::size_t i = 0; i < c.Scores.size(); ++i) Score(sides[i], c.Scores[i]);
        for (std::uint32_t id : c.Defeated) Defeat(sides[id]);

        std::unique_ptr<CMissionCriteria> mission;
        if (c.Code == MissionRapidDecisive) {
            mission = std::make_unique<CFlagshipMission>(c.Code);
        } else if (c.Code == MissionWipeout) {
            mission = std::make_unique<CWipeoutMission>();
        } else {
            mission = CreateMission(c.Code);
        }
        mission->Judge(87, sides, order);
        ASSERT_NE(mission->GetWinner(), nullptr) << c.Name;
        EXPECT_EQ(mission->GetWinner()->GetId(), c.Winner) << c.Name;
        EXPECT_EQ(mission->GetJudgement(), c.Judgement) << c.Name;
        for (CUnit* side : sides) {
            const bool winningTeam = side == mission->GetWinner() || side->IsTeamMate(*mission->GetWinner());
            EXPECT_EQ(Marked(side), winningTeam && c.Judgement != JudgementDraw)
                << c.Name << " side " << side->GetId();
        }
    }
}

TEST_F(Missions, NobodyStandingIsADrawForTheFirstSide)
{
    auto units = Sides(3);
    for (CUnit* unit : units) Defeat(unit);
    for (MissionType code : {MissionSeaControl, MissionFlagship}) {
        auto mission = CreateMission(code);
        EXPECT_TRUE(mission->IsOver(87, units, order));
        EXPECT_EQ(mission->GetWinner(), units[0]);
        EXPECT_EQ(mission->GetJudgement(), JudgementDraw);
    }
    for (CUnit* unit : units) EXPECT_FALSE(Marked(unit));
}

TEST_F(Missions, TeamWithNobodyStandingNeverWins)
{
    // A lone side that lost (one loss) against two big teams that lost two
    // each but still stand: the standing teams decide between themselves.
    auto units = Sides(7);
    units[1]->JoinTeam(*units[2]);
    units[1]->JoinTeam(*units[3]);
    units[2]->JoinTeam(*units[3]);
    units[4]->JoinTeam(*units[5]);
    units[4]->JoinTeam(*units[6]);
    units[5]->JoinTeam(*units[6]);
    for (std::uint32_t id : {0u, 2u, 3u, 5u, 6u}) Defeat(units[id]);
    Score(units[1], 2);
    Score(units[4], 6);

    CSeaControlMission mission;
    mission.Judge(87, units, order);
    ASSERT_NE(mission.GetWinner(), nullptr);
    EXPECT_EQ(mission.GetWinner()->GetId(), 4u);
    EXPECT_EQ(mission.GetJudgement(), JudgementOnPoints);
}

TEST_F(Missions, DeadlineIsJudgedAfterTheLastTurnOfTheLimitRound)
{
    auto units = Sides(3);
    CGameEdit rules;
    rules.GetInfo().DeadlineRounds = 10;
    struct Case {
        MessageCode Code;
        PlayOrder Order;
        bool Judged;
    };
    const std::vector<Case> cases = {
        {87, {9, 3}, false},  {87, {10, 1}, false}, {87, {10, 2}, false},
        {73, {10, 3}, false}, {87, {10, 3}, true},  {89, {11, 1}, false},
    };
    for (const auto& c : cases) {
        auto mission = CreateMission(MissionDeadline);
        mission->SetRules(&rules);
        mission->IsOver(c.Code, units, c.Order);
        EXPECT_EQ(mission->GetWinner() != nullptr, c.Judged)
            << "code " << c.Code << " round " << c.Order.Round << " position " << c.Order.Position;
    }
}

TEST_F(Missions, DeadlineBattleEndsEarlyWhenItIsOver)
{
    auto units = Sides(2);
    CGameEdit rules;
    rules.GetInfo().DeadlineRounds = 10;
    auto mission = CreateMission(MissionAssault);
    mission->SetRules(&rules);
    Defeat(units[1]);
    mission->IsOver(73, units, order); // after the action: no verdict yet
    EXPECT_EQ(mission->GetWinner(), nullptr);
    mission->IsOver(87, units, order);
    EXPECT_EQ(mission->GetWinner(), units[0]);

    mission->ClearVerdict();
    EXPECT_EQ(mission->GetWinner(), nullptr);
    EXPECT_EQ(mission->GetJudgement(), JudgementOutright);
}

TEST_F(Missions, PulloutWatchesTheSideCollectedAtTheStart)
{
    // Sides 0 and 2 are a team; only side 0 is watched. Side 2 still stands,
    // but with side 0 down the team is out.
    auto units = Sides(3);
    units[0]->JoinTeam(*units[2]);
    CGameEdit rules;
    CArbiter arbiter;
    arbiter.SetRules(&rules);
    arbiter.SetMission(MissionPullout);
    arbiter.StartBattle(units);

    const auto* survival = dynamic_cast<const CSurvivalMission*>(arbiter.GetMission().GetSubCriteria());
    ASSERT_NE(survival, nullptr);
    ASSERT_EQ(survival->GetWatchedUnits().size(), 1u);
    EXPECT_EQ(survival->GetWatchedUnits()[0], units[0]);

    Defeat(units[0]);
    arbiter.GetMission().Judge(87, units, PlayOrder{7, 2});
    EXPECT_EQ(arbiter.GetMission().GetWinner(), units[1]);
    EXPECT_EQ(arbiter.GetMission().GetJudgement(), JudgementOutright);
}

TEST_F(Missions, PulloutWithBothTeamsStandingIsADraw)
{
    auto units = Sides(2);
    Score(units[1], 3);
    CArbiter arbiter;
    arbiter.SetMission(MissionPullout);
    arbiter.StartBattle(units);
    arbiter.GetMission().Judge(87, units, order);
    EXPECT_EQ(arbiter.GetMission().GetWinner(), units[1]); // the higher score leads the draw
    EXPECT_EQ(arbiter.GetMission().GetJudgement(), JudgementDraw);
}

TEST_F(Missions, RescueIsWonByTheOnlyTeamWithoutLosses)
{
    auto units = Sides(4);
    units[0]->JoinTeam(*units[2]);
    units[1]->JoinTeam(*units[3]);
    auto mission = CreateMission(MissionRescue);
    mission->IsOver(87, units, order);
    EXPECT_EQ(mission->GetWinner(), nullptr);

    Defeat(units[2]); // the battle could go on, but team {0, 2} lost a side
    mission->IsOver(87, units, order);
    EXPECT_EQ(mission->GetWinner(), units[1]);
    EXPECT_EQ(mission->GetJudgement(), JudgementOutright);
    EXPECT_TRUE(Marked(units[1]));
    EXPECT_TRUE(Marked(units[3]));
    EXPECT_FALSE(Marked(units[0]));
}

TEST_F(Missions, RescueAtItsDeadlineLeavesTheVerdictToTheDeepestCriterion)
{
    auto units = Sides(2);
    Score(units[1], 5);
    CGameEdit rules;
    rules.GetInfo().DeadlineRounds = 4;
    CArbiter arbiter;
    arbiter.SetRules(&rules);
    arbiter.SetMission(MissionRescueRecon);
    arbiter.GetMission().IsOver(87, units, PlayOrder{4, 2});

    const CMissionCriteria* deadline = arbiter.GetMission().GetSubCriteria();
    const CMissionCriteria* seaControl = deadline->GetSubCriteria();
    EXPECT_EQ(seaControl->GetWinner(), units[1]);
    EXPECT_EQ(arbiter.GetMission().GetWinner(), units[1]);
    EXPECT_EQ(arbiter.GetMission().GetJudgement(), JudgementOnPoints);
}
