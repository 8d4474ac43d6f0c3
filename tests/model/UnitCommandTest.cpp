// Every answer of a side's command, from the check to the ship's operation,
// and the malformed inputs that arrive from the network or the console.
#include "UnitTestFixture.h"

#include "model/CodeTables.h"
#include "model/Timer.h"
#include "model/Torpedo.h"

#include <functional>

namespace Marevane::Testing {
namespace {

enum class Act { Execute, Check, Refuel };

// A world of two sides. Side 0: battleship 1 (flagship) at R3C3, destroyer 2
// at R3C4, submarine 3 at R4C2, oiler 4 at R1C1, one reinforcement left.
// Side 1: a battleship at R1C5.
class CommandWorld : public UnitFixture {
  protected:
    void SetUp() override
    {
        UnitFixture::SetUp();
        CUnit& a = MakeUnit(0);
        Place(a, ShipTypeBattleship, 3, 3);
        Place(a, ShipTypeDestroyer, 3, 4);
        Place(a, ShipTypeSubmarine, 4, 2);
        Place(a, ShipTypeOiler, 1, 1);
        a.SetFlagship(1);
        a.SetReinforcementsLeft(1);
        CUnit& b = MakeUnit(1);
        Place(b, ShipTypeBattleship, 1, 5);
    }

    CUnit& A() { return *units[0]; }
    CShip& Ship(std::uint32_t id) { return *A().GetShip(id); }
};

class CommandTable;

struct CommandCase {
    const char* name;
    CommandInput input;
    MessageCode expected;
    std::function<void(CommandTable&)> arrange = {};
    Act act = Act::Execute;
};

void PrintTo(const CommandCase& c, std::ostream* out)
{
    *out << c.name;
}

class CommandTable : public CommandWorld, public ::testing::WithParamInterface<CommandCase> {
  public:
    using CommandWorld::Command;
    using CommandWorld::SetRound;
    using CommandWorld::Sink;
    CShip& ShipOf(std::uint32_t id) { return Ship(id); }
    CUnit& Side() { return A(); }
    CPanel* Panel(std::uint32_t x, std::uint32_t y) { return At(x, y); }
    MessageCode Fire(std::uint32_t shipId, MapPos target)
    {
        A().SetCommandInput(Command(CommandTorpedo, shipId, 0, 0, target));
        return A().ExecuteCommand(All());
    }
};

using W = CommandTable;

void SinkDestroyer(W& w)
{
    W::Sink(w.ShipOf(2));
}

const std::vector<CommandCase> kCases = {
    {"TimeUp", W::Command(CommandMove, 1, DirectionSouth, 1), 10,
     [](W& w) { w.Side().GetTimer().SetTimeLimit(0); }},
    {"MoveWithoutFuel", W::Command(CommandMove, 1, DirectionSouth, 1), 75,
     [](W& w) { w.ShipOf(1).GetProfile().Fp = 10; }},
    {"AttackWithoutFuel", W::Command(CommandAttack, 1, DirectionNorth), 77,
     [](W& w) { w.ShipOf(1).GetProfile().Fp = 5; }},
    {"TorpedoWithoutFuel", W::Command(CommandTorpedo, 3, 0, 0, MapPos(1, 5)), 78,
     [](W& w) { w.ShipOf(3).GetProfile().Fp = 17; }},
    {"EighthTorpedo", W::Command(CommandTorpedo, 3, 0, 0, MapPos(1, 5)), 79,
     [](W& w) {
         w.ShipOf(3).GetProfile().WeaponStock = 8;
         w.ShipOf(3).GetProfile().Fp = 1000;
         for (int i = 0; i < 7; ++i) ASSERT_EQ(w.Fire(3, MapPos(1, 5)), 87u);
     }},
    {"ReinforceWithoutFuel", W::Command(CommandReinforce, 2, 0, 0, MapPos(5, 5)), 80,
     [](W& w) {
         SinkDestroyer(w);
         w.ShipOf(2).GetProfile().Fp = 0;
     }},
    {"RefuelByOilerWithoutFuel", W::Command(CommandNone, 4), 81, [](W& w) { w.ShipOf(4).GetProfile().Fp = 0; },
     Act::Refuel},
    {"RefuelWithNobodyNear", W::Command(CommandNone, 4), 82, {}, Act::Refuel},
    {"Move", W::Command(CommandMove, 1, DirectionSouth, 1), 87},
    {"Pass", W::Command(CommandPass, 1, DirectionNorth), 89},
    {"NothingLeftToDo", W::Command(CommandAttack, 1, DirectionNorth), 89,
     [](W& w) {
         for (std::uint32_t id = 1; id <= 4; ++id) w.ShipOf(id).GetProfile().Fp = 0;
         w.ShipOf(2).GetProfile().WeaponStock = 0;
     }},
    {"CheckPasses", W::Command(CommandAttack, 1, DirectionNorth), 90, {}, Act::Check},
    {"RefuelCommand", W::Command(CommandRefuel, 4, DirectionSouth), 95},
    {"CodeAboveNine", W::Command(12, 1, DirectionNorth), 95},
    {"NoCommand", W::Command(CommandNone, 1, DirectionNorth), 96},
    {"UnknownShip", W::Command(CommandAttack, 9, DirectionNorth), 97},
    {"FlagshipToBoundary", W::Command(CommandChangeFlagship, 1, 0, 0, MapPos(0, 3)), 97},
    {"FlagshipToItsOwnPanel", W::Command(CommandChangeFlagship, 1, 0, 0, MapPos(3, 3)), 97},
    {"FlagshipToEmptyPanel", W::Command(CommandChangeFlagship, 1, 0, 0, MapPos(5, 5)), 97},
    {"FlagshipToFarRow", W::Command(CommandChangeFlagship, 1, 0, 0, MapPos(4000000000u, 3)), 97},
    {"SunkShipAttacks", W::Command(CommandAttack, 2, DirectionNorth), 98, SinkDestroyer},
    {"AttackWithoutDirection", W::Command(CommandAttack, 1, DirectionNone), 99},
    {"AttackDirection12", W::Command(CommandAttack, 1, 12), 99},
    {"AttackOwnPanel", W::Command(CommandAttack, 1, DirectionCenter), 99},
    {"MoveOnTheSpot", W::Command(CommandMove, 1, DirectionCenter, 1), 99},
    {"MoveDiagonally", W::Command(CommandMove, 1, DirectionSouthEast, 1), 99},
    {"MineDirection12", W::Command(CommandMine, 2, 12), 99},
    {"PassWithoutDirection", W::Command(CommandPass, 1, DirectionNone), 99},
    {"MoveNowhere", W::Command(CommandMove, 1, DirectionSouth, 0), 100},
    {"MoveBeyondRange", W::Command(CommandMove, 1, DirectionSouth, 5), 100},
    {"MoveIntoRing", W::Command(CommandMove, 4, DirectionNorth, 1), 101},
    {"MoveOntoOwnShip", W::Command(CommandMove, 1, DirectionEast, 1), 102},
    {"AttackTheRing", W::Command(CommandAttack, 4, DirectionNorth), 104},
    {"BattleshipTorpedo", W::Command(CommandTorpedo, 1, 0, 0, MapPos(1, 5)), 108},
    {"TorpedoOwnPanel", W::Command(CommandTorpedo, 3, 0, 0, MapPos(4, 2)), 109},
    {"TorpedoIntoRing", W::Command(CommandTorpedo, 3, 0, 0, MapPos(0, 2)), 109},
    {"TorpedoFarRow", W::Command(CommandTorpedo, 3, 0, 0, MapPos(4000000000u, 1)), 109},
    {"TorpedoWithoutStock", W::Command(CommandTorpedo, 3, 0, 0, MapPos(1, 5)), 110,
     [](W& w) { w.ShipOf(3).GetProfile().WeaponStock = 0; }},
    {"ReinforceAfloat", W::Command(CommandReinforce, 1, 0, 0, MapPos(5, 5)), 111},
    {"ReinforceNoneLeft", W::Command(CommandReinforce, 2, 0, 0, MapPos(5, 5)), 112,
     [](W& w) {
         SinkDestroyer(w);
         w.Side().SetReinforcementsLeft(0);
     }},
    {"ReinforceRound21", W::Command(CommandReinforce, 2, 0, 0, MapPos(5, 5)), 113,
     [](W& w) {
         SinkDestroyer(w);
         W::SetRound(21);
     }},
    {"ReinforceOntoOwnShip", W::Command(CommandReinforce, 2, 0, 0, MapPos(3, 3)), 114,
     [](W& w) {
         SinkDestroyer(w);
         w.Panel(3, 3)->AddKnownUnit(0);
     }},
    {"ReinforceUnknownPanel", W::Command(CommandReinforce, 2, 0, 0, MapPos(5, 5)), 115, SinkDestroyer},
    {"ReinforceOntoReef", W::Command(CommandReinforce, 2, 0, 0, MapPos(5, 5)), 116,
     [](W& w) {
         SinkDestroyer(w);
         w.Panel(5, 5)->SetType(PanelReef);
         w.Panel(5, 5)->AddKnownUnit(0);
     }},
    {"ReinforceFarRow", W::Command(CommandReinforce, 2, 0, 0, MapPos(4000000000u, 5)), 116, SinkDestroyer},
    {"RefuelByBattleship", W::Command(CommandNone, 1), 117, {}, Act::Refuel},
    {"FlagshipFromOtherShip", W::Command(CommandChangeFlagship, 2, 0, 0, MapPos(3, 3)), 119},
    {"FlagshipToSunkShip", W::Command(CommandChangeFlagship, 1, 0, 0, MapPos(4, 2)), 120,
     [](W& w) { W::Sink(w.ShipOf(3)); }},
};

TEST_P(CommandTable, AnswersItsCode)
{
    const CommandCase& c = GetParam();
    if (c.arrange) c.arrange(*this);
    const std::size_t recordedBefore = A().GetActions().size();

    MessageCode result = 0;
    switch (c.act) {
    case Act::Execute:
        A().SetCommandInput(c.input);
        result = A().ExecuteCommand(All());
        // Refusals are never recorded; everything else is, 119 and 120 too.
        EXPECT_EQ(A().GetActions().size() - recordedBefore, IsErrorCode(result) ? 0u : 1u);
        break;
    case Act::Check:
        A().SetCommandInput(c.input);
        result = A().CheckCommandInput();
        break;
    case Act::Refuel:
        result = A().RefuelFrom(A().GetShip(c.input.ShipId));
        break;
    }
    EXPECT_EQ(result, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Codes, CommandTable, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<CommandCase>& info) { return info.param.name; });

// A refusal leaves the ships where they were.
TEST_F(CommandWorld, RefusedMoveChangesNothing)
{
    const ShipProfile before = Ship(1).GetProfile();
    A().SetCommandInput(Command(CommandMove, 1, DirectionEast, 1));
    ASSERT_EQ(A().ExecuteCommand(All()), 102u);
    EXPECT_EQ(Ship(1).GetCurrentPanel(), At(3, 3));
    EXPECT_EQ(Ship(1).GetProfile().Fp, before.Fp);
    EXPECT_TRUE(A().GetActions().empty());
}

TEST_F(CommandWorld, TimeUpMarksTheSideAndRecordsAPass)
{
    A().GetTimer().SetTimeLimit(0);
    A().SetCommandInput(Command(CommandAttack, 1, DirectionNorth));
    ASSERT_EQ(A().ExecuteCommand(All()), 10u);
    EXPECT_TRUE(A().IsTimedOut());
    ASSERT_EQ(A().GetActions().size(), 1u);
    EXPECT_EQ(A().GetActions()[0].Command, static_cast<std::uint32_t>(CommandPass));
}

TEST_F(CommandWorld, ResignCutsALongFarewell)
{
    CommandInput input = Command(CommandResign, 0);
    input.Text = L"abcdefghijklmnopqrstuvwxy"; // 25 characters
    A().SetCommandInput(input);
    ASSERT_EQ(A().ExecuteCommand(All()), 87u);
    EXPECT_TRUE(A().IsResigned());
    EXPECT_EQ(A().GetCommandInput().Text, L"abcdefghijklmnopqrst...アバーッ！");

    EXPECT_EQ(CutResignText(L"abcdefghijklmnopqrst"), L"abcdefghijklmnopqrst");
    EXPECT_EQ(CutResignText(L"abcdefghijklmnopqrstu"), L"abcdefghijklmnopqrst...アバーッ！");
}

TEST_F(CommandWorld, CheckCompletesTheTarget)
{
    A().SetCommandInput(Command(CommandAttack, 1, DirectionNorthEast));
    ASSERT_EQ(A().CheckCommandInput(), 90u);
    EXPECT_EQ(A().GetCommandInput().Target, MapPos(2, 4));
    EXPECT_EQ(A().GetCommandInput().Distance, 2u);
    EXPECT_EQ(A().GetCommandInput().ShipType, static_cast<std::uint32_t>(ShipTypeBattleship));

    A().SetCommandInput(Command(CommandMove, 1, DirectionSouth, 2));
    ASSERT_EQ(A().CheckCommandInput(), 90u);
    EXPECT_EQ(A().GetCommandInput().Target, MapPos(5, 3));

    A().SetCommandInput(Command(CommandTorpedo, 3, 0, 0, MapPos(1, 5)));
    ASSERT_EQ(A().CheckCommandInput(), 90u);
    EXPECT_EQ(A().GetCommandInput().Distance, 6u);
}

// The seventh torpedo in flight may go, the eighth not; once torpedoes have
// exploded the side may fire again.
TEST_F(CommandWorld, TorpedoLimitFreesUpAfterExplosions)
{
    CShip& sub = Ship(3);
    sub.GetProfile().WeaponStock = 10;
    sub.GetProfile().Fp = 1000;
    auto fire = [this](MapPos target) {
        A().SetCommandInput(Command(CommandTorpedo, 3, 0, 0, target));
        return A().ExecuteCommand(All());
    };
    for (int i = 0; i < 6; ++i) ASSERT_EQ(fire(MapPos(4, 1)), 87u) << i;
    EXPECT_EQ(A().CountTorpedoes(), 6u);
    EXPECT_EQ(fire(MapPos(5, 5)), 87u);
    EXPECT_EQ(A().CountTorpedoes(), 7u);
    EXPECT_EQ(fire(MapPos(5, 5)), 79u);

    // One step takes the six to their neighbouring target, where they explode.
    A().OnMessage(73);
    EXPECT_EQ(A().CountTorpedoes(), 1u);
    EXPECT_EQ(fire(MapPos(5, 5)), 87u);
    EXPECT_EQ(A().CountTorpedoesOnPanel(At(4, 2)), 1u);
}

TEST_F(CommandWorld, ReinforceInRoundTwentyButNotTwentyOne)
{
    Sink(Ship(2));
    At(5, 5)->AddKnownUnit(0);
    A().SetCommandInput(Command(CommandReinforce, 2, 0, 0, MapPos(5, 5)));

    SetRound(21);
    EXPECT_EQ(A().ExecuteCommand(All()), 113u);
    EXPECT_TRUE(Ship(2).IsSinking());

    SetRound(20);
    EXPECT_TRUE(A().CanShipExecuteCommand(2, CommandReinforce));
    EXPECT_EQ(A().ExecuteCommand(All()), 87u);
    EXPECT_FALSE(Ship(2).IsSinking());
    EXPECT_EQ(Ship(2).GetCurrentPanel(), At(5, 5));
    EXPECT_EQ(A().GetReinforcementsLeft(), 0u);
    EXPECT_EQ(A().GetStatistics()[StatMinesHeld], 2u);
}

TEST_F(CommandWorld, ChangeOfFlagshipMovesTheFlag)
{
    EXPECT_TRUE(A().CanShipExecuteCommand(1, CommandChangeFlagship));
    EXPECT_FALSE(A().CanShipExecuteCommand(2, CommandChangeFlagship));
    A().SetCommandInput(Command(CommandChangeFlagship, 1, 0, 0, MapPos(3, 4)));
    ASSERT_EQ(A().ExecuteCommand(All()), 87u);
    EXPECT_EQ(A().GetFlagship(), &Ship(2));
    EXPECT_TRUE(Ship(2).GetProfile().IsFlagship);
    EXPECT_FALSE(Ship(1).GetProfile().IsFlagship);
}

TEST_F(CommandWorld, CanShipExecuteCommandNeedsAKnownShip)
{
    EXPECT_THROW(A().CanShipExecuteCommand(9, CommandAttack), std::out_of_range);
    EXPECT_FALSE(A().CanShipExecuteCommand(1, CommandPass));
    EXPECT_FALSE(A().CanShipExecuteCommand(1, CommandResign));
    EXPECT_FALSE(A().CanShipExecuteCommand(1, CommandRefuel));
    EXPECT_TRUE(A().CanShipExecuteCommand(4, CommandRefuel));
}

// A move cut short on an own ship's panel backs off along its track.
TEST_F(CommandWorld, MoveStoppedOnOwnShipStepsBack)
{
    // A reef at R5C3 stops the battleship's move south at R4C3, where the
    // destroyer now stands.
    At(5, 3)->SetType(PanelReef);
    A().GetShip(2)->SetPanel(At(4, 3));
    A().SetCommandInput(Command(CommandMove, 1, DirectionSouth, 2));
    ASSERT_EQ(A().ExecuteCommand(All()), 87u);
    EXPECT_EQ(Ship(1).GetCurrentPanel(), At(3, 3));
    EXPECT_EQ(Ship(1).GetProfile().Pos, MapPos(3, 3));
}

TEST_F(CommandWorld, RecordActionHoldsEverySidesShips)
{
    CUnit& b = *units[1];
    A().GetShip(2)->SetPanel(At(2, 4));
    A().SetCommandInput(Command(CommandAttack, 2, DirectionNorthEast));
    ASSERT_EQ(A().ExecuteCommand(All()), 87u);

    ASSERT_EQ(A().GetActions().size(), 1u);
    const ActionInfo& info = A().GetActions()[0];
    EXPECT_EQ(info.Kind, 1u);
    EXPECT_EQ(info.Command, static_cast<std::uint32_t>(CommandAttack));
    EXPECT_EQ(info.UnitId, 0u);
    EXPECT_EQ(info.ShipId, 2u);
    EXPECT_EQ(info.ShipType, static_cast<std::uint32_t>(ShipTypeDestroyer));
    EXPECT_EQ(info.Direction, static_cast<std::uint32_t>(DirectionNorthEast));
    EXPECT_EQ(info.Distance, 2u);
    EXPECT_EQ(info.Target, MapPos(1, 5));
    ASSERT_EQ(info.Ships.size(), 2u);
    const auto& own = info.Ships.at(0);
    ASSERT_EQ(own.size(), 4u);
    for (std::uint32_t i = 0; i < 4; ++i) EXPECT_EQ(own[i].ShipId, i + 1);
    ASSERT_EQ(info.Ships.at(1).size(), 1u);
    EXPECT_EQ(info.Ships.at(1)[0].Hp, 2);
    EXPECT_EQ(info.Ships.at(1)[0].LastEvent, 2u);
    // Recorded, then cleared for the next action.
    EXPECT_EQ(b.GetShip(1)->GetProfile().LastEvent, 0u);
    EXPECT_EQ(A().GetStatistics()[StatHits], 1u);
    EXPECT_EQ(b.GetStatistics()[StatHp], 2u);
}

TEST_F(CommandWorld, RefuelServesTheNeediestFirst)
{
    // The oiler at R3C2 touches the battleship (R3C3, lacks 40 FP) and the
    // submarine (R4C2, lacks 10). With 40 FP for a need of 50 the first in
    // line gets the full 30 and the rest is shared out after it.
    A().GetShip(4)->SetPanel(At(3, 2));
    Ship(1).GetProfile().Fp = 60;
    Ship(3).GetProfile().Fp = 90;
    Ship(3).GetProfile().Status = ShipStatusNormal;
    Ship(4).GetProfile().Fp = 40;
    ASSERT_EQ(A().RefuelFrom(&Ship(4)), 87u);
    EXPECT_EQ(Ship(1).GetProfile().Fp, 90u);
    EXPECT_EQ(Ship(3).GetProfile().Fp, 100u);
    EXPECT_EQ(A().GetStatistics()[StatRefuels], 1u);
    EXPECT_EQ(A().GetStatistics()[StatFpGiven], 40u);
}

TEST_F(CommandWorld, RefuelSkipsHiddenSubmarines)
{
    A().GetShip(4)->SetPanel(At(4, 1));
    Ship(3).GetProfile().Fp = 50;
    ASSERT_TRUE(Ship(3).HasStatus(ShipStatusStealth));
    EXPECT_EQ(A().RefuelFrom(&Ship(4)), 82u);
    EXPECT_EQ(Ship(3).GetProfile().Fp, 50u);
}

} // namespace
} // namespace Marevane::Testing
