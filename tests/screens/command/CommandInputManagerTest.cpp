// The command a player gathers click by click: direction, distance and
// target from the ship to the clicked panel, the refusals that leave the
// record as it was, and the steps of the input state.
#include "screens/battle/CommandInputManager.h"
#include "tests/screens/kit/BattleWorld.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

struct TargetCase {
    CommandCode command;
    std::uint32_t row, column;
    std::uint32_t direction, distance;
};

class InputTargetTest : public ::testing::TestWithParam<TargetCase> {};

TEST_P(InputTargetTest, TheTargetPanelGivesDirectionDistanceAndPosition)
{
    const TargetCase& c = GetParam();
    CBattleWorld world({5, 5, 1, 0, 1, false});
    CShip* ship = world.PutShip(0, ShipTypeDestroyer, 3, 3);
    CCommandInputManager input;
    input.Set(c.command);
    input.Set(ship);
    input.Set(world.Panel(c.row, c.column));

    const CommandInput& record = input.GetCommand();
    EXPECT_EQ(record.Command, static_cast<std::uint32_t>(c.command));
    EXPECT_EQ(record.ShipId, ship->GetShipId());
    EXPECT_EQ(record.ShipType, static_cast<std::uint32_t>(ShipTypeDestroyer));
    EXPECT_EQ(record.Direction, c.direction);
    EXPECT_EQ(record.Distance, c.distance);
    EXPECT_EQ(record.Target, MapPos(c.row, c.column));
    EXPECT_EQ(input.GetPanel(), world.Panel(c.row, c.column));
}

INSTANTIATE_TEST_SUITE_P(FromRowThreeColumnThree, InputTargetTest,
                         ::testing::Values(TargetCase{CommandMove, 3, 4, DirectionEast, 1},
                                           TargetCase{CommandMove, 1, 3, DirectionNorth, 2},
                                           TargetCase{CommandAttack, 2, 2, DirectionNorthWest, 2},
                                           TargetCase{CommandAttack, 4, 4, DirectionSouthEast, 2},
                                           TargetCase{CommandMine, 3, 3, DirectionCenter, 0},
                                           TargetCase{CommandTorpedo, 5, 1, DirectionSouthWest, 4}));

TEST(CommandInputManagerTest, ResignAndPassTakeAPanelWithoutShipAndKeepTheRestOfTheRecord)
{
    CBattleWorld world({5, 5, 1, 0, 1, false});
    for (CommandCode code : {CommandResign, CommandPass}) {
        CCommandInputManager input;
        input.Set(code);
        input.Set(static_cast<CShip*>(nullptr));
        input.Set(world.Panel(2, 4));
        EXPECT_EQ(input.GetShip(), nullptr);
        EXPECT_EQ(input.GetPanel(), world.Panel(2, 4));
        EXPECT_EQ(input.GetCommand().Direction, static_cast<std::uint32_t>(DirectionNone));
        EXPECT_EQ(input.GetCommand().Distance, 0u);
        EXPECT_EQ(input.GetCommand().Target, MapPos());
    }
}

TEST(CommandInputManagerTest, RefusalsNameTheMissingPieceAndChangeNothing)
{
    CBattleWorld world({5, 5, 1, 0, 1, false});
    CShip* ship = world.PutShip(0, ShipTypeBattleship, 3, 3);
    auto message = [](const std::function<void()>& step) -> std::string {
        try {
            step();
        } catch (const std::invalid_argument& error) {
            return std::string("invalid_argument: ") + error.what();
        } catch (const std::runtime_error& error) {
            return std::string("runtime_error: ") + error.what();
        }
        return "none";
    };

    CCommandInputManager input;
    EXPECT_EQ(message([&] { input.Set(world.Panel(3, 4)); }),
              "runtime_error: CCommandInputManager::Set(): Command data is not set yet.");
    input.Set(CommandAttack);
    EXPECT_EQ(message([&] { input.Set(static_cast<CPanel*>(nullptr)); }),
              "invalid_argument: CCommandInputManager::Set(): Invalid panel data.");
    EXPECT_EQ(message([&] { input.Set(world.Panel(3, 4)); }),
              "runtime_error: CCommandInputManager::Set(): Ship data is not set yet.");
    EXPECT_EQ(message([&] { input.Set(static_cast<CShip*>(nullptr)); }),
              "runtime_error: CCommandInputManager::Set(): Ship data is not set yet.");
    EXPECT_EQ(input.GetPanel(), nullptr);
    EXPECT_EQ(input.GetShip(), nullptr);
    EXPECT_EQ(input.GetCommand().Target, MapPos());

    // A good record survives a refused panel whole.
    input.Set(ship);
    input.Set(world.Panel(3, 4));
    EXPECT_EQ(message([&] { input.Set(static_cast<CPanel*>(nullptr)); }),
              "invalid_argument: CCommandInputManager::Set(): Invalid panel data.");
    EXPECT_EQ(input.GetPanel(), world.Panel(3, 4));
    EXPECT_EQ(input.GetCommand().Direction, static_cast<std::uint32_t>(DirectionEast));

    input.Clear();
    EXPECT_EQ(input.GetShip(), nullptr);
    EXPECT_EQ(input.GetPanel(), nullptr);
    EXPECT_EQ(input.GetCommand().Command, static_cast<std::uint32_t>(CommandNone));
    EXPECT_EQ(input.GetCommand().ShipId, 0u);
    EXPECT_EQ(input.GetCommand().Direction, static_cast<std::uint32_t>(DirectionNone));
}

TEST(CommandInputManagerTest, StatesAdvanceWrapToDisabledAndStepBackNoLowerThanWaiting)
{
    const unsigned advanced[] = {0, 2, 3, 4, 0};
    const unsigned backed[] = {0, 1, 1, 2, 3};
    for (unsigned state = 0; state <= 4; ++state) {
        CCommandInputManager input;
        input.SetState(state);
        input.AdvanceState();
        EXPECT_EQ(input.GetState(), advanced[state]) << "advance from " << state;
        input.SetState(state);
        input.BackState();
        EXPECT_EQ(input.GetState(), backed[state]) << "back from " << state;
    }
    CCommandInputManager input;
    input.SetEnabled(true);
    EXPECT_EQ(input.GetState(), 1u);
    input.SetEnabled(false);
    EXPECT_EQ(input.GetState(), 0u);
}

} // namespace
