#include "model/ResultManager.h"
#include "model/Arbiter.h"

#include "UnitTestFixture.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace Marevane;

namespace {

class Results : public Testing::UnitFixture {
  protected:
    std::vector<CUnit*> Sides(std::uint32_t n)
    {
        for (std::uint32_t id = 0; id < n; ++id) {
            CUnit& unit = MakeUnit(id, UnitManual);
            unit.SetHostId(100 + id);
            Place(unit, ShipTypeBattleship, id + 1, 1);
        }
        return All();
    }

    // The unit's turn with the given command, recorded as the turn manager does.
    MessageCode Play(CUnit* unit, const CommandInput& input, const std::vector<CUnit*>& all)
    {
        unit->OnMessage(51);
        unit->SetCommandInput(input);
        const MessageCode code = unit->ExecuteCommand(all);
        results.Record(code, unit, all);
        return code;
    }

    static CommandInput Pass() { return Command(CommandPass, 1, DirectionNorth); }
    static CommandInput Resign(const std::wstring& text)
    {
        CommandInput input;
        input.Command = CommandResign;
        input.Text = text;
        return input;
    }

    static void ExpectRangeError(const std::function<void()>& call)
    {
        try {
            call();
            ADD_FAILURE() << "no exception";
        } catch (const std::range_error& error) {
            EXPECT_STREQ(error.what(), "GetLog range_error");
        }
    }

    CResultManager results;
};

} // namespace

TEST(ResultCodes, FarewellCodeByLength)
{
    const std::vector<std::pair<std::size_t, MessageCode>> rows = {{0, 84},  {10, 84}, {11, 85}, {15, 85},
                                                                   {20, 85}, {21, 86}, {26, 86}};
    for (const auto& row : rows)
        EXPECT_EQ(GetFarewellCode(std::wstring(row.first, L'x')), row.second) << row.first;
}

TEST_F(Results, GetLogRangeErrors)
{
    auto all = Sides(2);
    ExpectRangeError([&] { results.GetLog(0); });
    ExpectRangeError([&] { results.GetLog(1); });
    ExpectRangeError([&] { results.GetLatestLog(); });
    EXPECT_TRUE(results.GetRecentLogs().empty());

    Play(all[0], Pass(), all);
    results.Record(52, all[0], all);
    EXPECT_EQ(results.GetLog(1).Code, 89u);
    ExpectRangeError([&] { results.GetLog(0); });
    ExpectRangeError([&] { results.GetLog(2); });
}

TEST_F(Results, RecordFlowOfATurnAndTheEnd)
{
    auto all = Sides(2);
    CArbiter arbiter;
    results.SetArbiter(&arbiter);
    results.StartBattle(all[0], all);
    ASSERT_EQ(results.GetCurrentLog().Actions.size(), 1u);
    EXPECT_EQ(results.GetCurrentLog().Actions[0].Ships.size(), 2u); // every fleet
    results.Record(45, all[0], all);
    EXPECT_TRUE(results.GetCurrentLog().Units.empty());

    // A refusal marks the record under way but stores nothing.
    results.Record(102, all[0], all);
    EXPECT_EQ(results.GetCurrentLog().Code, 102u);
    EXPECT_EQ(results.GetLogCount(), 0u);

    ASSERT_EQ(Play(all[0], Command(CommandMove, 1, DirectionEast, 1), all), 87u);
    const ResultMessage& turn = results.GetLatestLog();
    EXPECT_EQ(&turn, &results.GetCurrentLog());
    EXPECT_EQ(turn.Code, 87u);
    EXPECT_EQ(turn.Sender.Id, 0u);
    EXPECT_EQ(turn.Units.size(), 2u);
    ASSERT_NE(turn.GetPrimaryAction(), nullptr);
    EXPECT_EQ(turn.GetPrimaryAction()->Command, CommandMove);
    EXPECT_EQ(turn.Time, 1200000u);

    results.Record(52, all[0], all);
    EXPECT_EQ(results.GetLogCount(), 1u);
    EXPECT_EQ(results.GetCurrentLog().Code, 0u);
    EXPECT_EQ(results.GetLatestLog().Code, 87u);
    EXPECT_EQ(results.GetPreviousLog(results.GetCurrentLog()), &results.GetLog(1));

    // The second side passes, the battle ends on points after its turn.
    ASSERT_EQ(Play(all[1], Pass(), all), 89u);
    all[1]->GetStatistics()[StatSunk] = 2;
    arbiter.GetMission().Judge(89, all, PlayOrder{1, 2});
    results.Record(47, all[1], all);
    EXPECT_EQ(results.GetLogCount(), 2u); // the last turn, stored by the end
    EXPECT_EQ(results.GetLog(1).Code, 89u);
    const ResultMessage& end = results.GetLatestLog();
    EXPECT_EQ(end.Code, 47u);
    EXPECT_EQ(end.Sender.Id, 1u); // the winner sends the end record
    EXPECT_EQ(end.SecondCode, JudgementOnPoints);
    ASSERT_EQ(end.Units.size(), 2u);
    EXPECT_EQ(end.Units[1].Statistics[1][StatBattles], 1u); // every side summed its battle
}

TEST_F(Results, FarewellCodeSurvivesIntoTheEndRecord)
{
    auto all = Sides(2);
    CArbiter arbiter;
    results.SetArbiter(&arbiter);
    results.Record(45, all[0], all);

    const std::wstring farewell = L"So long, sailor";
    ASSERT_EQ(farewell.size(), 15u);
    ASSERT_EQ(Play(all[1], Resign(farewell), all), 87u);
    EXPECT_EQ(results.GetCurrentLog().SecondCode, 85u); // not overwritten by "has lost"
    EXPECT_EQ(results.GetCurrentLog().Command.Text, farewell);

    arbiter.GetMission().IsOver(87, all, PlayOrder{1, 2});
    ASSERT_EQ(arbiter.GetMission().GetWinner(), all[0]);
    results.Record(47, all[1], all);
    EXPECT_EQ(results.GetLog(1).SecondCode, 85u);
    const ResultMessage& end = results.GetLatestLog();
    EXPECT_EQ(end.Sender.Id, 0u);
    EXPECT_EQ(end.SecondCode, 85u);
    EXPECT_EQ(end.Command.Text, farewell);
}

TEST_F(Results, UndecidedEndRecordHasNoSender)
{
    auto all = Sides(2);
    CArbiter arbiter; // nobody won
    for (const CArbiter* holder : std::vector<const CArbiter*>{nullptr, &arbiter}) {
        results.Clear();
        results.SetArbiter(holder);
        Play(all[0], Pass(), all);
        results.Record(52, all[0], all);
        results.Record(47, all[0], all); // between turns: nothing more to store
        EXPECT_EQ(results.GetLogCount(), 1u);
        const ResultMessage& end = results.GetLatestLog();
        EXPECT_EQ(end.Code, 47u);
        EXPECT_TRUE(end.Sender.Name.empty());
        EXPECT_EQ(end.SecondCode, 0u);
        EXPECT_EQ(end.Units.size(), 2u);
    }
}

TEST_F(Results, SecondCodeOfASideThatLostOrOfAFleetOutOfFuel)
{
    auto all = Sides(2);
    all[0]->SetTimedOut(true);
    Play(all[0], Pass(), all);
    EXPECT_EQ(results.GetCurrentLog().SecondCode, 11u);
    results.Record(52, all[0], all);

    all[0]->SetTimedOut(false);
    for (CUnit* unit : all) {
        for (auto& entry : unit->GetShips()) {
            entry.second->GetProfile().Fp = 0;
            entry.second->GetProfile().Condition = ShipStatusFuelShortage;
        }
    }
    Play(all[1], Pass(), all);
    EXPECT_EQ(results.GetCurrentLog().SecondCode, 12u);
}

TEST_F(Results, The151stRecordKeepsEveryLinkValid)
{
    auto all = Sides(2);
    results.Record(45, all[0], all); // room for one block of records
    for (std::uint32_t turn = 1; turn <= 151; ++turn) {
        results.SetPlayOrder(PlayOrder{(turn + 1) / 2, 2 - turn % 2});
        Play(all[(turn + 1) % 2], Pass(), all);
        results.Record(52, all[0], all);
    }
    ASSERT_EQ(results.GetLogCount(), 151u);
    const ResultMessage& oldest = results.GetLog(151);
    EXPECT_EQ(results.GetPreviousLog(oldest), nullptr);
    EXPECT_EQ(results.GetNextLog(results.GetLog(1)), nullptr);
    for (unsigned k = 1; k < 151; ++k) {
        ASSERT_EQ(results.GetPreviousLog(results.GetLog(k)), &results.GetLog(k + 1)) << k;
        ASSERT_EQ(results.GetNextLog(results.GetLog(k + 1)), &results.GetLog(k)) << k;
        ASSERT_EQ(results.GetLog(k).Order.Round, (153 - k) / 2) << k; // turn 152 - k
    }
    EXPECT_EQ(results.GetPreviousLog(results.GetCurrentLog()), &results.GetLog(1));

    // A copy is not one of the manager's records and links nowhere.
    const ResultMessage copy = results.GetLog(2);
    EXPECT_EQ(results.GetPreviousLog(copy), nullptr);
    EXPECT_EQ(results.GetNextLog(copy), nullptr);
}

TEST_F(Results, RecentLogsCoverOneRound)
{
    auto all = Sides(4);
    for (std::uint32_t turn = 1; turn <= 3; ++turn) {
        Play(all[turn % 4], Pass(), all);
        results.Record(52, all[0], all);
    }
    EXPECT_EQ(results.GetRecentLogs().size(), 3u); // fewer stored than sides
    for (std::uint32_t turn = 4; turn <= 6; ++turn) {
        Play(all[turn % 4], Pass(), all);
        results.Record(52, all[0], all);
    }
    const auto recent = results.GetRecentLogs();
    ASSERT_EQ(recent.size(), 4u);
    EXPECT_EQ(recent.front(), &results.GetLog(4)); // oldest first
    EXPECT_EQ(recent.back(), &results.GetLog(1));
}

TEST_F(Results, TurnEffectActionsAreKindTwoThenKindThree)
{
    ResultMessage record;
    for (std::uint32_t kind : {3u, 1u, 2u, 3u, 2u}) {
        ActionInfo action;
        action.Kind = kind;
        record.Actions.push_back(action);
    }
    const auto effects = CResultManager::GetTurnEffectActions(record);
    ASSERT_EQ(effects.size(), 4u);
    EXPECT_EQ(effects[0], &record.Actions[2]);
    EXPECT_EQ(effects[1], &record.Actions[4]);
    EXPECT_EQ(effects[2], &record.Actions[0]);
    EXPECT_EQ(effects[3], &record.Actions[3]);
}

TEST_F(Results, RefusalPendingWhenTheBattleEndsIsNotStored)
{
    auto all = Sides(2);
    Play(all[0], Pass(), all);
    results.Record(52, all[0], all);
    results.Record(102, all[1], all); // a refused command, then the battle is broken off
    results.Record(47, all[1], all);
    EXPECT_EQ(results.GetLogCount(), 1u);
    EXPECT_EQ(results.GetLog(1).Code, 89u);
    EXPECT_EQ(results.GetLatestLog().Code, 47u);
}

TEST_F(Results, BattleBrokenOffAfterAResignationStaysUndecided)
{
    auto all = Sides(3);
    CArbiter arbiter; // two sides still fight: nobody has won
    results.SetArbiter(&arbiter);
    ASSERT_EQ(Play(all[2], Resign(L"So long, sailor"), all), 87u);
    results.Record(52, all[2], all);
    results.Record(47, all[0], all);
    const ResultMessage& end = results.GetLatestLog();
    EXPECT_EQ(end.Code, 47u);
    EXPECT_TRUE(end.Sender.Name.empty());
    EXPECT_EQ(end.SecondCode, 0u);
    EXPECT_TRUE(end.Command.Text.empty());
}
