#include "model/Messages.h"

#include <gtest/gtest.h>

using namespace Marevane;

namespace {

ShipProfile Ship(std::uint32_t unit, std::uint32_t id, std::int32_t hp = 3)
{
    ShipProfile ship;
    ship.UnitId = unit;
    ship.ShipId = id;
    ship.Type = ShipTypeDestroyer;
    ship.Hp = hp;
    return ship;
}

ActionInfo Action(std::uint32_t kind, std::uint32_t command)
{
    ActionInfo action;
    action.Kind = kind;
    action.Command = command;
    return action;
}

} // namespace

TEST(ActionInfoQueries, FindShipProfileByUnitAndShip)
{
    ActionInfo action;
    action.Ships[0] = {Ship(0, 1), Ship(0, 2, 1)};
    action.Ships[1] = {Ship(1, 2, 2)};

    ASSERT_NE(action.FindShipProfile(0, 2), nullptr);
    EXPECT_EQ(action.FindShipProfile(0, 2)->Hp, 1);
    EXPECT_EQ(action.FindShipProfile(1, 2)->Hp, 2);
    EXPECT_EQ(action.FindShipProfile(1, 1), nullptr); // the side has no such ship
    EXPECT_EQ(action.FindShipProfile(7, 1), nullptr); // the side is not listed

    auto damaged = action.FindShipProfiles(0, [](const ShipProfile& s) { return s.Hp < 3; });
    ASSERT_EQ(damaged.size(), 1u);
    EXPECT_EQ(damaged[0]->ShipId, 2u);
    EXPECT_TRUE(action.FindShipProfiles(9, [](const ShipProfile&) { return true; }).empty());
}

TEST(ResultMessageQueries, ActionsByKindAndPrimaryAction)
{
    ResultMessage record;
    EXPECT_EQ(record.GetPrimaryAction(), nullptr);
    EXPECT_EQ(record.FindShipProfileInLastAction(0, 1), nullptr);

    record.Actions = {Action(0, 0), Action(3, 2), Action(1, 1), Action(2, 4), Action(1, 9)};
    record.Actions.back().Ships[0] = {Ship(0, 1, 2)};

    ASSERT_NE(record.GetPrimaryAction(), nullptr);
    EXPECT_EQ(record.GetPrimaryAction()->Command, CommandAttack); // the first of kind 1
    EXPECT_EQ(record.GetActions(1).size(), 2u);
    EXPECT_EQ(record.GetActions(2).size(), 1u);
    ASSERT_EQ(record.GetActions(ResultMessage::AnyKind).size(), 4u); // every kind but 0
    EXPECT_EQ(record.GetActions(ResultMessage::AnyKind)[0]->Kind, 3u);

    ASSERT_NE(record.FindShipProfileInLastAction(0, 1), nullptr);
    EXPECT_EQ(record.FindShipProfileInLastAction(0, 1)->Hp, 2);
    EXPECT_EQ(record.FindShipProfileInLastAction(1, 1), nullptr);

    record.Actions[1].Ships[1] = {Ship(1, 1, 0)};
    auto sunk = record.FindShipProfiles([](const ShipProfile& s) { return s.Hp <= 2; });
    ASSERT_EQ(sunk.size(), 2u);
    EXPECT_EQ(sunk[0]->UnitId, 1u);
    EXPECT_EQ(sunk[1]->UnitId, 0u);
}
