#include "model/TurnManager.h"
#include "model/Errors.h"
#include "model/GameEdit.h"
#include "model/Timer.h"

#include "UnitTestFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <stdexcept>
#include <vector>

using namespace Marevane;

namespace {

class CTestTurnManager : public CTurnManagerOnServer {
  public:
    void Update(MessageCode) override {}
    void SetLogCache(CLogger* logger) override { m_logger = logger; }
    CLogger* GetLogCache() const override { return m_logger; }
    using CTurnManager::SetPlayOrder;

  private:
    CLogger* m_logger = nullptr;
};

class TurnManager : public Testing::UnitFixture {
  protected:
    void SetUp() override
    {
        UnitFixture::SetUp();
        manager.SetResultManager(&results);
        manager.SetBoard(&board);
    }

    std::vector<CUnit*> Sides(std::uint32_t n)
    {
        for (std::uint32_t id = 0; id < n; ++id) {
            CUnit& unit = MakeUnit(id, UnitManual);
            unit.SetHostId(100 + id);
            Place(unit, ShipTypeBattleship, id + 1, 1);
        }
        return All();
    }

    std::vector<std::uint32_t> Ids(const std::vector<CUnit*>& list)
    {
        std::vector<std::uint32_t> ids;
        for (CUnit* unit : list) ids.push_back(unit->GetId());
        return ids;
    }

    CResultManager results;
    CGameEdit edit;
    CTestTurnManager manager;
};

} // namespace

TEST_F(TurnManager, TurnsRunThroughTheOrderRoundByRound)
{
    manager.SetUnits(Sides(3));
    const std::vector<std::pair<std::uint32_t, std::uint32_t>> expected = {
        {1, 1}, {1, 2}, {1, 3}, {2, 1}, {2, 2}};
    for (const auto& step : expected) {
        manager.NextTurn();
        EXPECT_EQ(manager.GetPlayOrder().Round, step.first);
        EXPECT_EQ(manager.GetPlayOrder().Position, step.second);
        EXPECT_EQ(manager.GetCurrentUnit()->GetId(), manager.GetTurnOrder()[step.second - 1]);
        EXPECT_EQ(results.GetCurrentRound(), step.first);
        EXPECT_TRUE(manager.IsTurnRunning());
    }
}

TEST_F(TurnManager, AfterResetTheFirstSideKeepsItsFirstTurn)
{
    auto all = Sides(3);
    manager.CreateArbiter(&edit);
    manager.SetUnits(all);
    manager.Start();
    for (int i = 0; i < 4; ++i) manager.NextTurn();
    manager.GetArbiter()->GetMission().Judge(87, all, manager.GetPlayOrder());
    ASSERT_TRUE(manager.IsGameDecided());

    manager.Reset();
    EXPECT_FALSE(manager.IsGameDecided());
    EXPECT_EQ(manager.GetCurrentUnit(), nullptr);
    EXPECT_TRUE(manager.GetUnits().empty());

    manager.SetUnits(all);
    manager.Start();
    const std::uint32_t first = manager.GetTurnOrder().front();
    manager.NextTurn();
    EXPECT_EQ(manager.GetPlayOrder().Round, 1u);
    EXPECT_EQ(manager.GetPlayOrder().Position, 1u);
    EXPECT_EQ(manager.GetCurrentUnit()->GetId(), first);
}

TEST_F(TurnManager, TurnOrderNamingAnUnknownSideIsRebuilt)
{
    auto all = Sides(3);
    manager.SetUnits({all[0], all[1]});
    EXPECT_EQ(manager.GetTurnOrder(), (std::vector<std::uint32_t>{0, 1}));
    manager.SetUnits({all[0], all[2]});
    EXPECT_EQ(manager.GetTurnOrder(), (std::vector<std::uint32_t>{0, 2}));
    manager.NextTurn();
    manager.NextTurn();
    EXPECT_EQ(manager.GetCurrentUnit(), all[2]);
}

TEST_F(TurnManager, ShuffleIsAPermutationOfTheSides)
{
    auto all = Sides(4);
    std::set<std::uint32_t> firsts;
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        SeedRandom(seed);
        manager.SetUnits(all);
        const std::int64_t first = manager.ShuffleTurnOrder();
        auto order = manager.GetTurnOrder();
        EXPECT_EQ(first, order.front());
        EXPECT_EQ(manager.GetCurrentUnit()->GetId(), order.front());
        firsts.insert(order.front());
        std::sort(order.begin(), order.end());
        EXPECT_EQ(order, (std::vector<std::uint32_t>{0, 1, 2, 3}));
    }
    EXPECT_EQ(firsts.size(), 4u); // every side gets to open
}

TEST_F(TurnManager, TwoTeamsOfTwoAlternate)
{
    auto all = Sides(4);
    all[0]->JoinTeam(*all[2]);
    all[1]->JoinTeam(*all[3]);
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        SeedRandom(seed);
        manager.SetUnits(all);
        manager.Start(); // builds the opponents and the team groups, then shuffles
        const auto& order = manager.GetTurnOrder();
        ASSERT_EQ(order.size(), 4u);
        for (std::size_t k = 1; k < order.size(); ++k) {
            EXPECT_NE(order[k] % 2, order[k - 1] % 2) << "seed " << seed << " position " << k;
        }
        EXPECT_EQ(Ids(manager.GetOpponents(order[0])).size(), 2u);
    }
}

TEST_F(TurnManager, OpponentsLeaveOutTeamMates)
{
    auto all = Sides(3);
    all[0]->JoinTeam(*all[1]);
    manager.SetUnits(all);
    try {
        manager.GetCurrentUnitEntry();
        ADD_FAILURE() << "no table before the start";
    } catch (const std::out_of_range& error) {
        EXPECT_STREQ(error.what(), MissingKeyText);
    }
    manager.Start();
    EXPECT_EQ(Ids(manager.GetOpponents(0)), (std::vector<std::uint32_t>{2}));
    EXPECT_EQ(Ids(manager.GetOpponents(2)), (std::vector<std::uint32_t>{0, 1}));
    EXPECT_THROW(manager.GetOpponents(9), std::out_of_range);
}

TEST_F(TurnManager, StartZeroesTheBattleCountersAndSetsTheTimers)
{
    auto all = Sides(2);
    all[0]->GetStatistics()[StatSunk] = 5;
    edit.GetInfo().TimeLimit = 45000;
    manager.CreateArbiter(&edit);
    manager.SetUnits(all);
    manager.Start();
    EXPECT_EQ(all[0]->GetStatistics()[StatSunk], 0u);
    EXPECT_EQ(all[0]->GetStatistics()[StatPanelCount], 25u);
    EXPECT_EQ(all[1]->GetTimer().GetTimeLimit(), 45000);
    EXPECT_EQ(manager.GetArbiter()->GetPlayOrder(), &manager.GetPlayOrder());
    ASSERT_EQ(results.GetCurrentLog().Actions.size(), 1u); // the opening record
    manager.StopTimers();
    EXPECT_FALSE(all[0]->GetTimer().IsRunning());
}

TEST_F(TurnManager, SpecialPanelsFollowThePanelEffectRule)
{
    auto countSpecial = [this] {
        return std::count_if(board.GetSeaPanels().begin(), board.GetSeaPanels().end(),
                             [](const CPanel& panel) { return panel.GetType() != PanelSea; });
    };
    auto all = Sides(3);
    edit.GetInfo().IsStealthEnabled = false; // not the flag that decides
    edit.GetInfo().IsPanelEffectEnabled = true;
    manager.CreateArbiter(&edit);
    manager.SetUnits(all);
    manager.Start();
    const auto placed = countSpecial();
    EXPECT_GT(placed, 0);
    for (CUnit* unit : all) EXPECT_EQ(unit->GetShip(1)->GetCurrentPanel()->GetType(), PanelSea);

    manager.Start(); // drawn once: a second start adds none
    EXPECT_EQ(countSpecial(), placed);

    edit.GetInfo().IsStealthEnabled = true;
    edit.GetInfo().IsPanelEffectEnabled = false;
    manager.Start();
    EXPECT_EQ(countSpecial(), 0);
}

TEST_F(TurnManager, TimePressureThresholds)
{
    auto all = Sides(2);
    edit.GetInfo().Rule = GameModeVersus | GameModeDeathMatch;
    edit.GetInfo().TimeLimit = 300000;
    manager.CreateArbiter(&edit);
    manager.SetUnits(all);
    all[0]->GetTimer().Reset(300000);
    all[0]->GetTimer().SetTimeLimit(100000);
    all[1]->GetTimer().Reset(300000);
    all[1]->GetTimer().SetTimeLimit(200000);

    manager.SetPlayOrder(PlayOrder{10, 1}); // a 5 by 5 board: pressure from round 11
    EXPECT_FALSE(manager.IsUnderTimePressure());
    manager.ApplyTimePressure();
    EXPECT_EQ(all[1]->GetTimer().GetTimeLimit(), 200000);

    manager.SetPlayOrder(PlayOrder{11, 1});
    EXPECT_TRUE(manager.IsUnderTimePressure());
    manager.ApplyTimePressure();
    EXPECT_EQ(all[0]->GetTimer().GetTimeLimit(), 100000);
    EXPECT_EQ(all[1]->GetTimer().GetTimeLimit(), 150000);

    // Without both rule bits there is no pressure at all.
    edit.GetInfo().Rule = GameModeVersus | GameModeSingle;
    EXPECT_FALSE(manager.IsUnderTimePressure());
}

TEST_F(TurnManager, TimePressureWhenASideLostHalfItsHitPoints)
{
    auto all = Sides(2);
    MakeUnit(2, UnitManual); // a side without ships changes nothing
    edit.GetInfo().Rule = GameModeVersus | GameModeDeathMatch;
    manager.CreateArbiter(&edit);
    manager.SetUnits(All());
    manager.SetPlayOrder(PlayOrder{1, 1});
    EXPECT_FALSE(manager.IsUnderTimePressure());

    ShipProfile& ship = all[1]->GetShip(1)->GetProfile();
    ship.Hp = static_cast<std::int32_t>(all[1]->GetTotalMaxHp() / 2) + 1;
    EXPECT_FALSE(manager.IsUnderTimePressure());
    ship.Hp -= 1;
    EXPECT_TRUE(manager.IsUnderTimePressure());
}

TEST_F(TurnManager, ResultManagerNeverKeepsAnArbiterThatIsGone)
{
    auto all = Sides(2);
    auto other = std::make_unique<CTestTurnManager>();
    other->SetResultManager(&results);
    other->CreateArbiter(&edit);
    other->SetUnits(all);
    other->Start();
    ASSERT_EQ(results.GetArbiter(), other->GetArbiter());

    other->CreateArbiter(&edit); // the old arbiter goes
    EXPECT_EQ(results.GetArbiter(), nullptr);
    other->Start();
    ASSERT_EQ(results.GetArbiter(), other->GetArbiter());

    // A manager that never started leaves the other's arbiter alone.
    CTestTurnManager idle;
    idle.SetResultManager(&results);
    idle.CreateArbiter(&edit);
    EXPECT_EQ(results.GetArbiter(), other->GetArbiter());

    other.reset(); // the battle flow ends without a reset
    EXPECT_EQ(results.GetArbiter(), nullptr);
    results.Record(47, all[0], all); // a late end record finds no verdict
    EXPECT_TRUE(results.GetLatestLog().Sender.Name.empty());
}
