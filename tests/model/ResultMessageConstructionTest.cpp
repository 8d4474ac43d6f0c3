#include "model/GameEdit.h"
#include "model/MessageBuilder.h"

#include "UnitTestFixture.h"

#include <gtest/gtest.h>

using namespace Marevane;

namespace {

class MessageConstruction : public Testing::UnitFixture {};

} // namespace

TEST_F(MessageConstruction, TurnStateHoldsEverySideAndItsFleet)
{
    CUnit& first = MakeUnit(0);
    CUnit& second = MakeUnit(1);
    CUnit& third = MakeUnit(2);
    Place(first, ShipTypeBattleship, 1, 1);
    Place(first, ShipTypeDestroyer, 1, 2);
    Place(second, ShipTypeSubmarine, 2, 1);
    Place(third, ShipTypeBattleship, 3, 1);
    Place(third, ShipTypeOiler, 3, 2);
    Place(third, ShipTypeDestroyer, 3, 3);
    CommandInput resign;
    resign.Command = CommandResign;
    resign.Text = L"Farewell";
    second.SetCommandInput(resign);

    const ProgressMessage state = MakeProgressMessage(51, second, All());
    EXPECT_EQ(state.Code, 51u);
    EXPECT_EQ(state.SecondCode, 0u);
    EXPECT_EQ(state.Sender.Id, 1u);
    EXPECT_EQ(state.Command.Command, CommandResign);
    EXPECT_EQ(state.Command.Text, L"Farewell");
    ASSERT_EQ(state.Units.size(), 3u);
    EXPECT_EQ(state.Units[2].Id, 2u);
    ASSERT_EQ(state.Ships.size(), 3u);
    EXPECT_EQ(state.Ships.at(0).size(), 2u);
    EXPECT_EQ(state.Ships.at(1).size(), 1u);
    ASSERT_EQ(state.Ships.at(2).size(), 3u);
    EXPECT_EQ(state.Ships.at(2)[1].Type, ShipTypeOiler); // in ship-id order
}

TEST_F(MessageConstruction, HeadersAndEntries)
{
    CUnit& unit = MakeUnit(4);
    const Message command = MakeMessage(53, unit);
    EXPECT_EQ(command.Code, 53u);
    EXPECT_EQ(command.Sender.Id, 4u);
    EXPECT_TRUE(command.Units.empty());
    EXPECT_EQ(command.Time, 0u);

    CGameEdit rules;
    rules.GetInfo().TimeLimit = 30000;
    const EntryMessage request = MakeEntryMessage(0, rules, false);
    EXPECT_EQ(request.Code, 14u);
    EXPECT_FALSE(request.IsPlayer);
    EXPECT_EQ(request.Rules.TimeLimit, 30000u);
    EXPECT_EQ(MakeEntryMessage(rules, true).Code, 14u);
    EXPECT_TRUE(MakeEntryMessage(rules, true).IsPlayer);
    EXPECT_EQ(MakeEntryMessage(22, rules, false).Code, 22u);
}
