// Which directions a command may go in and how far it reaches.
#include "model/CommandableDirection.h"
#include "model/Ship.h"

#include "ShipTestBoard.h"

#include <gtest/gtest.h>

using namespace Marevane;
using Marevane::Testing::ShipTestBoard;

namespace {

const std::vector<Direction> Eight{DirectionNorth,     DirectionEast,      DirectionWest,
                                   DirectionSouth,     DirectionNorthEast, DirectionNorthWest,
                                   DirectionSouthEast, DirectionSouthWest};

std::vector<Direction> WithCentre(std::vector<Direction> directions)
{
    directions.push_back(DirectionCenter);
    return directions;
}

} // namespace

TEST(CommandableDirection, ListsInTheFixedOrder)
{
    const CCommandableDirection& table = CCommandableDirection::GetInstance();
    EXPECT_EQ(table.Get(CommandAttack), Eight);
    EXPECT_EQ(table.Get(CommandTorpedo), Eight);
    EXPECT_EQ(table.Get(CommandMove),
              (std::vector<Direction>{DirectionNorth, DirectionEast, DirectionWest, DirectionSouth}));
    EXPECT_EQ(table.Get(CommandMine), WithCentre(Eight));
    EXPECT_EQ(table.Get(CommandReinforce), WithCentre(Eight));
    for (CommandCode command :
         {CommandRefuel, CommandResign, CommandChangeFlagship, CommandPass, CommandNone})
        EXPECT_TRUE(table.Get(command).empty()) << command;
}

TEST(CommandableDistance, ReachPerCommand)
{
    const CCommandableDistance none(nullptr);
    EXPECT_EQ(none.Get(CommandAttack), 1);
    EXPECT_EQ(none.Get(CommandMine), 1);
    EXPECT_EQ(none.Get(CommandMove), 0);
    EXPECT_EQ(none.Get(CommandTorpedo), -1);
    EXPECT_EQ(none.Get(CommandReinforce), -1);
    EXPECT_EQ(none.Get(CommandRefuel), 0);
    EXPECT_EQ(none.Get(CommandPass), 0);
}

TEST(CommandableDistance, MoveReachFollowsTheShipsFuelWhenBuilt)
{
    ShipTestBoard t(9, 9);
    CShip& battleship = t.Add(ShipTypeBattleship, 1, 1, 1);
    battleship.GetProfile().Fp = 20;
    const CCommandableDistance before(&battleship);
    battleship.GetProfile().Fp = 15;
    EXPECT_EQ(before.Get(CommandMove), 4);
    EXPECT_EQ(CCommandableDistance(&battleship).Get(CommandMove), 0);
}
