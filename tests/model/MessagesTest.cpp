#include "model/Messages.h"

#include <gtest/gtest.h>

#include <utility>

using namespace Marevane;

namespace {
void ExpectEmptyHeader(const Message& message, MessageCode code)
{
    EXPECT_EQ(message.Code, code);
    EXPECT_EQ(message.SecondCode, 0u);
    EXPECT_EQ(message.Sender.Id, 0u);
    EXPECT_TRUE(message.Sender.Name.empty());
    EXPECT_TRUE(message.Units.empty());
    EXPECT_EQ(message.Command.Command, CommandNone);
    EXPECT_TRUE(message.Command.Text.empty());
    EXPECT_EQ(message.Time, 0u);
}
} // namespace

TEST(Messages, DefaultsAreEmptyWithTheirOwnCodes)
{
    ExpectEmptyHeader(Message(), 0);
    ExpectEmptyHeader(MakeMessage(53), 53);
    ExpectEmptyHeader(ProgressMessage(), 0);
    ExpectEmptyHeader(ResultMessage(), 0);

    const EntryMessage entry(14);
    ExpectEmptyHeader(entry, 14);
    EXPECT_FALSE(entry.IsPlayer);
    EXPECT_EQ(entry.Rules.TimeLimit, GameEditInfo().TimeLimit); // the default rule settings
    ExpectEmptyHeader(EntryMessage(), 0);

    FleetEditMessage fleet;
    ExpectEmptyHeader(fleet, 54);
    EXPECT_TRUE(fleet.Ships.empty());
    EXPECT_EQ(fleet.Value, 0u);
}

TEST(Messages, FleetResetClearsEverythingAndTheCode)
{
    FleetEditMessage fleet;
    fleet.SecondCode = 3;
    fleet.Sender.Name = L"PL1";
    fleet.Units.resize(2);
    fleet.Ships.resize(3);
    fleet.FirstFlag = fleet.SecondFlag = true;
    fleet.Text = L"x";
    fleet.Value = 9;
    fleet.Reset();
    ExpectEmptyHeader(fleet, 0);
    EXPECT_TRUE(fleet.Ships.empty());
    EXPECT_FALSE(fleet.FirstFlag || fleet.SecondFlag);
    EXPECT_TRUE(fleet.Text.empty());
    EXPECT_EQ(fleet.Value, 0u);
}

