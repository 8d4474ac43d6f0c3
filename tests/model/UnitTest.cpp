#include "UnitTestFixture.h"

#include "model/CodeTables.h"
#include "model/Computer.h"
#include "model/Score.h"
#include "model/Timer.h"
#include "model/Torpedo.h"

#include <functional>
#include <set>

namespace Marevane::Testing {
namespace {

// --- state tests --------------------------------------------------------------

struct StateCase {
    const char* name;
    std::function<void(UnitFixture&, CUnit&)> arrange;
    bool defeated;
    bool active;
    bool canAct;
};

void PrintTo(const StateCase& c, std::ostream* out)
{
    *out << c.name;
}

class UnitState : public UnitFixture, public ::testing::WithParamInterface<StateCase> {
  public:
    using UnitFixture::Place;
    using UnitFixture::rules;
    using UnitFixture::Sink;
};

void TwoShips(UnitFixture& f, CUnit& unit);

const std::vector<StateCase> kStates = {
    {"Fleet", TwoShips, false, true, true},
    {"Watching",
     [](UnitFixture& f, CUnit& u) {
         TwoShips(f, u);
         u.SetUnitType(UnitWatching);
     },
     true, false, false},
    {"Resigned",
     [](UnitFixture& f, CUnit& u) {
         TwoShips(f, u);
         u.SetResigned(true);
     },
     true, false, false},
    {"TimedOut",
     [](UnitFixture& f, CUnit& u) {
         TwoShips(f, u);
         u.SetTimedOut(true);
     },
     true, false, false},
    {"FlagshipSunk",
     [](UnitFixture& f, CUnit& u) {
         TwoShips(f, u);
         u.SetFlagship(1);
         UnitState::Sink(*u.GetShip(1));
     },
     true, true, true},
    {"EveryShipSunk",
     [](UnitFixture& f, CUnit& u) {
         TwoShips(f, u);
         UnitState::Sink(*u.GetShip(1));
         UnitState::Sink(*u.GetShip(2));
     },
     true, false, false},
    {"NoShips", [](UnitFixture&, CUnit&) {}, true, false, false},
    {"OilersBelowAttackCost",
     [](UnitFixture& f, CUnit& u) {
         auto& s = static_cast<UnitState&>(f);
         s.Place(u, ShipTypeOiler, 2, 2).GetProfile().Fp = 40;
         s.Place(u, ShipTypeOiler, 4, 4).GetProfile().Fp = 49;
     },
     true, true, true},
    {"OilersWithoutFuel",
     [](UnitFixture& f, CUnit& u) {
         auto& s = static_cast<UnitState&>(f);
         s.rules.FpPercentage = 0;
         s.Place(u, ShipTypeOiler, 2, 2);
     },
     false, true, true},
    {"OilerInFuelShortage",
     [](UnitFixture& f, CUnit& u) {
         auto& s = static_cast<UnitState&>(f);
         CShip& oiler = s.Place(u, ShipTypeOiler, 2, 2);
         oiler.GetProfile().Condition = ShipStatusFuelShortage;
         oiler.GetProfile().Status = ShipStatusFuelShortage;
     },
     true, true, false},
    {"OilerAndSunkBattleship",
     [](UnitFixture& f, CUnit& u) {
         auto& s = static_cast<UnitState&>(f);
         UnitState::Sink(s.Place(u, ShipTypeBattleship, 3, 3));
         s.Place(u, ShipTypeOiler, 2, 2);
     },
     false, true, true},
    {"OnlyFuelLessBattleship",
     [](UnitFixture& f, CUnit& u) {
         auto& s = static_cast<UnitState&>(f);
         s.Place(u, ShipTypeBattleship, 3, 3).GetProfile().Fp = 0;
     },
     false, true, false},
};

void TwoShips(UnitFixture& f, CUnit& unit)
{
    auto& s = static_cast<UnitState&>(f);
    s.Place(unit, ShipTypeBattleship, 3, 3);
    s.Place(unit, ShipTypeDestroyer, 3, 4);
}

TEST_P(UnitState, DefeatedActiveAndAbleToAct)
{
    CUnit& unit = MakeUnit(0);
    GetParam().arrange(*this, unit);
    EXPECT_EQ(unit.IsDefeated(), GetParam().defeated);
    EXPECT_EQ(unit.IsActive(), GetParam().active);
    EXPECT_EQ(unit.CanAct(), GetParam().canAct);
}

INSTANTIATE_TEST_SUITE_P(Units, UnitState, ::testing::ValuesIn(kStates),
                         [](const ::testing::TestParamInfo<StateCase>& info) { return info.param.name; });

// A sunk ship that can come back keeps a side busy while reinforcing is open.
TEST_F(UnitFixture, SunkShipThatCanReturnKeepsTheSideActing)
{
    CUnit& unit = MakeUnit(0);
    CShip& battleship = Place(unit, ShipTypeBattleship, 3, 3);
    CShip& destroyer = Place(unit, ShipTypeDestroyer, 3, 4);
    battleship.GetProfile().Fp = 0;
    destroyer.GetProfile().WeaponStock = 0;
    Sink(destroyer);
    At(1, 1)->AddKnownUnit(0);
    EXPECT_FALSE(unit.CanAct());

    unit.SetReinforcementsLeft(1);
    EXPECT_TRUE(unit.CanAct());
    SetRound(21);
    EXPECT_FALSE(unit.CanAct());
}

// --- the battle's messages -------------------------------------------------------

class MessageSequence : public UnitFixture {
  protected:
    void SetUp() override
    {
        UnitFixture::SetUp();
        CUnit& a = MakeUnit(0);
        Place(a, ShipTypeDestroyer, 3, 3);
        Place(a, ShipTypeOiler, 3, 4);
        Place(a, ShipTypeSubmarine, 5, 5);
        CUnit& b = MakeUnit(1);
        Place(b, ShipTypeBattleship, 2, 3);
    }
    CUnit& A() { return *units[0]; }
    CUnit& B() { return *units[1]; }
};

TEST_F(MessageSequence, BattleStartTurnActionTurnEndReport)
{
    A().SetCommandInput(Command(CommandAttack, 1, DirectionNorth));
    A().OnMessage(45);
    const ActionStatistics& stats = A().GetStatistics();
    EXPECT_EQ(stats[StatMinesHeld], 2u);
    EXPECT_EQ(stats[StatHp], 5u);
    EXPECT_EQ(stats[StatMaxHp], 5u);
    EXPECT_EQ(stats[StatFp], 350u);
    EXPECT_EQ(stats[StatMaxFp], 350u);
    EXPECT_EQ(A().GetCommandInput().Command, static_cast<std::uint32_t>(CommandNone));

    SetRound(3);
    A().OnMessage(51);
    EXPECT_EQ(stats[StatRound], 3u);
    EXPECT_TRUE(A().GetActions().empty());

    // The destroyer fires at the battleship next to it.
    A().SetCommandInput(Command(CommandTorpedo, 1, 0, 0, MapPos(2, 3)));
    ASSERT_EQ(A().ExecuteCommand(All()), 87u);
    EXPECT_EQ(stats[StatTorpedoes], 1u);
    EXPECT_EQ(stats[StatFp], 330u);

    A().OnMessage(73);
    // The explosion is recorded as a turn effect and hits the battleship.
    ASSERT_EQ(A().GetActions().size(), 2u);
    EXPECT_EQ(A().GetActions()[1].Kind, 2u);
    EXPECT_EQ(A().GetActions()[1].Command, static_cast<std::uint32_t>(CommandTorpedo));
    EXPECT_EQ(B().GetShip(1)->GetProfile().Hp, 2);
    EXPECT_EQ(A().CountTorpedoes(), 0u);
    // The oiler next to the destroyer has topped it up.
    EXPECT_EQ(A().GetShip(1)->GetProfile().Fp, 100u);
    EXPECT_EQ(stats[StatRefuels], 1u);
    EXPECT_EQ(stats[StatFpGiven], 20u);
    EXPECT_FALSE(A().IsResigned());

    A().OnMessage(52);
    A().OnMessage(67);
    EXPECT_FALSE(A().GetShip(1)->IsSinking());

    // A side that left sinks with its ships at the next report end.
    A().SetResigned(true);
    A().OnMessage(67);
    for (const auto& [id, ship] : A().GetShips()) EXPECT_TRUE(ship->IsSinking()) << id;
    EXPECT_EQ(A().CountAliveShips(), 0u);
}

TEST_F(MessageSequence, SideThatCanNoLongerFightResignsAfterItsAction)
{
    // Only the oiler is left and it cannot pay for an attack.
    Sink(*A().GetShip(1));
    Sink(*A().GetShip(3));
    A().GetShip(2)->GetProfile().Fp = 30;
    A().OnMessage(73);
    EXPECT_TRUE(A().IsResigned());
}

TEST_F(MessageSequence, TorpedoesAdvanceAtTurnEnd)
{
    A().SetCommandInput(Command(CommandTorpedo, 1, 0, 0, MapPos(5, 3)));
    ASSERT_EQ(A().ExecuteCommand(All()), 87u);
    A().OnMessage(52);
    const auto torpedoes = A().GetTorpedoes();
    ASSERT_EQ(torpedoes.size(), 1u);
    EXPECT_EQ(torpedoes[0]->GetCurrentPanel(), At(4, 3));
}

// --- statistics ---------------------------------------------------------------------

TEST_F(UnitFixture, AccumulateScoreSumsIntoTheRightRecords)
{
    CUnit& solo = MakeUnit(0);
    CUnit& mate = MakeUnit(1);
    ActionStatistics& current = solo.GetStatistics(0);
    current[StatAttacks] = 4;
    current[StatHits] = 2;
    current[StatNearMisses] = 8;
    current.Time = 500;

    solo.AccumulateScore();
    EXPECT_DOUBLE_EQ(current.Score, 13.0);
    EXPECT_DOUBLE_EQ(solo.GetStatistics(1).Score, 13.0);
    EXPECT_EQ(solo.GetStatistics(1)[StatHits], 2u);
    EXPECT_EQ(solo.GetStatistics(1)[StatBattles], 1u);
    EXPECT_EQ(solo.GetStatistics(1).Time, 500u);
    EXPECT_EQ(solo.GetStatistics(2)[StatBattles], 1u);
    EXPECT_EQ(solo.GetStatistics(3)[StatBattles], 0u);

    solo.JoinTeam(mate);
    solo.AccumulateScore();
    EXPECT_EQ(solo.GetStatistics(1)[StatBattles], 2u);
    EXPECT_EQ(solo.GetStatistics(1)[StatHits], 4u);
    EXPECT_DOUBLE_EQ(solo.GetStatistics(1).Score, 26.0);
    EXPECT_EQ(solo.GetStatistics(3)[StatBattles], 1u);

    solo.ClearStatistics();
    EXPECT_EQ(solo.GetStatistics(0)[StatHits], 0u);
    EXPECT_EQ(solo.GetStatistics(1)[StatHits], 4u);

    // The score is taken at the battle's end message.
    current[StatHits] = 2;
    current[StatAttacks] = 4;
    current[StatNearMisses] = 8;
    solo.OnMessage(59);
    EXPECT_EQ(solo.GetStatistics(1)[StatBattles], 3u);
}

TEST(AddStatistics, AddsCountersAndCountsTheRecord)
{
    ActionStatistics target;
    ActionStatistics source;
    for (std::size_t k = 0; k < StatCount; ++k) source[k] = static_cast<std::uint32_t>(k + 1);
    source.Time = 7;
    source.Score = 1.5;
    AddStatistics(target, source);
    AddStatistics(target, source);
    for (std::size_t k = 0; k < StatCount; ++k) {
        if (k == StatBattles) continue;
        EXPECT_EQ(target[k], 2 * (k + 1)) << k;
    }
    EXPECT_EQ(target[StatBattles], 2u);
    EXPECT_EQ(target.Time, 14u);
    EXPECT_DOUBLE_EQ(target.Score, 3.0);
}

TEST_F(UnitFixture, UpdateStatisticsSumsEveryShipSunkOrNot)
{
    CUnit& unit = MakeUnit(0);
    CShip& a = Place(unit, ShipTypeBattleship, 1, 1);
    CShip& b = Place(unit, ShipTypeDestroyer, 2, 2);
    a.GetProfile().Statistics[ShipStatAttacks] = 3;
    b.GetProfile().Statistics[ShipStatAttacks] = 4;
    b.GetProfile().Statistics[ShipStatOwnMineHits] = 1;
    b.GetProfile().Statistics[ShipStatFlagshipChanges] = 2;
    b.GetProfile().Statistics[ShipStatPanelsExplored] = 5;
    Sink(b);
    SetRound(4);
    unit.UpdateStatistics();
    const ActionStatistics& stats = unit.GetStatistics();
    EXPECT_EQ(stats[StatAttacks], 7u);
    EXPECT_EQ(stats[StatOwnMineHits], 1u);
    EXPECT_EQ(stats[StatFlagshipChanges], 2u);
    EXPECT_EQ(stats[StatPanelsExplored], 5u);
    EXPECT_EQ(stats[StatHp], 3u);
    EXPECT_EQ(stats[StatRound], 4u);
}

TEST_F(UnitFixture, TotalsCountSunkShipsOnce)
{
    CUnit& unit = MakeUnit(0);
    Place(unit, ShipTypeBattleship, 1, 1).GetProfile().Fp = 40;
    CShip& sunk = Place(unit, ShipTypeBattleship, 2, 2);
    sunk.GetProfile().Fp = 10;
    Sink(sunk);
    EXPECT_EQ(unit.GetWeightedFp(), 90u);
    EXPECT_EQ(unit.GetTotalHp(), 3u);
    EXPECT_EQ(unit.GetTotalMaxHp(), 6u);
    EXPECT_DOUBLE_EQ(unit.GetHpRate(), 0.5);
    EXPECT_EQ(unit.CountAliveShips(), 1u);
    EXPECT_EQ(unit.GetShipCodeOnPanel(At(1, 1)), L"B");
    EXPECT_EQ(unit.GetShipCodeOnPanel(At(2, 2)), L"\u3000");
}

// --- identity, ships and decisions -----------------------------------------------------

TEST_F(UnitFixture, HostIdsAreNeverZeroAndDistinct)
{
    CUnit& a = MakeUnit(0);
    CUnit& b = MakeUnit(1);
    CUnit& c = MakeUnit(2);
    EXPECT_NE(a.GetHostId(), 0u);
    EXPECT_NE(a.GetHostId(), b.GetHostId());
    EXPECT_FALSE(a.IsTeamMate(b));

    a.JoinTeam(b);
    EXPECT_TRUE(a.IsTeamMate(b));
    EXPECT_TRUE(b.IsTeamMate(a));
    EXPECT_FALSE(a.IsTeamMate(c));
    EXPECT_FALSE(c.IsTeamMate(a));

    a.JoinTeam(a);
    EXPECT_FALSE(a.IsTeamMate(a));
    a.ClearTeam();
    EXPECT_FALSE(a.IsTeamMate(b));
}

TEST_F(UnitFixture, GetShipThrowsTheMapText)
{
    CUnit& unit = MakeUnit(0);
    try {
        unit.GetShip(3);
        FAIL();
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "invalid unordered_map<K, T> key");
    }
    EXPECT_THROW(unit.GetReinforceCost(3), std::out_of_range);
}

TEST_F(UnitFixture, FlagshipFollowsSetFlagship)
{
    CUnit& unit = MakeUnit(0);
    CShip& one = Place(unit, ShipTypeBattleship, 1, 1);
    CShip& two = Place(unit, ShipTypeDestroyer, 2, 2);
    unit.SetFlagship(2);
    EXPECT_EQ(unit.GetFlagship(), &two);
    EXPECT_TRUE(unit.IsFlagship(2));
    EXPECT_FALSE(one.GetProfile().IsFlagship);
    unit.SetFlagship(7);
    EXPECT_FALSE(unit.HasFlagship());
    EXPECT_FALSE(two.GetProfile().IsFlagship);
    EXPECT_EQ(unit.GetProfile().FlagshipId, 0u);

    unit.SetFlagship(1);
    unit.ChooseFlagship(); // a human picks on screen
    EXPECT_FALSE(unit.HasFlagship());
    EXPECT_FALSE(one.GetProfile().IsFlagship);
}

TEST_F(UnitFixture, UpdateShipsSkipsForeignAndUnknownProfiles)
{
    CUnit& unit = MakeUnit(0);
    CShip& ship = Place(unit, ShipTypeBattleship, 1, 1);

    ShipProfile foreign = ship.GetProfile();
    foreign.UnitId = 1;
    foreign.Hp = 1;
    ShipProfile unknown = ship.GetProfile();
    unknown.ShipId = 9;
    ShipProfile offBoard = ship.GetProfile();
    offBoard.Pos = MapPos(4000000000u, 2);
    ShipProfile moved = ship.GetProfile();
    moved.Pos = MapPos(4, 4);
    moved.Fp = 55;
    moved.IsFlagship = true;

    EXPECT_NO_THROW(unit.UpdateShips({foreign, unknown, offBoard}));
    EXPECT_EQ(ship.GetProfile().Hp, 3);
    EXPECT_EQ(ship.GetCurrentPanel(), At(1, 1));
    EXPECT_EQ(ship.GetProfile().Pos, MapPos(1, 1));

    unit.UpdateShips({moved});
    EXPECT_EQ(ship.GetCurrentPanel(), At(4, 4));
    EXPECT_EQ(ship.GetPreviousPanel(), At(1, 1));
    EXPECT_EQ(ship.GetProfile().Fp, 55u);
    EXPECT_TRUE(unit.IsFlagship(1));
}

TEST_F(UnitFixture, ShipsAreWalkedByIdAndPanelQueriesSkipSunkShips)
{
    CUnit& unit = MakeUnit(0);
    CShip& three = *new CBattleShip(0, 3, At(1, 1), rules);
    ships.emplace_back(&three);
    CShip& one = *new CBattleShip(0, 1, At(1, 1), rules);
    ships.emplace_back(&one);
    unit.AddShip(3, &three);
    unit.AddShip(1, &one);
    EXPECT_EQ(unit.GetShips().begin()->first, 1u);
    EXPECT_EQ(unit.FindShipOnPanel(At(1, 1)), &one);
    EXPECT_TRUE(unit.IsPanelOccupied(At(1, 1), &one));
    Sink(one);
    EXPECT_EQ(unit.FindShipOnPanel(At(1, 1)), &three);
    EXPECT_FALSE(unit.IsPanelOccupied(At(1, 1), &three));
    EXPECT_EQ(unit.GetShipsIf({}).size(), 1u);
    unit.RemoveAllShips();
    EXPECT_EQ(unit.ShipCount(), 0u);
}

TEST_F(UnitFixture, HumanPlacementReadsOneNumber)
{
    CUnit& here = MakeUnit(0);
    EXPECT_EQ(here.ChooseShipPosition(ShipTypeBattleship), MapPos(0, 0)); // no console attached
    here.SetNumberReader([](CUnit&) { return 37u; });
    EXPECT_EQ(here.ChooseShipPosition(ShipTypeBattleship), MapPos(3, 7));

    UnitProfile remote(1, UnitManual, 1, L"far", L"");
    CPlayer there(remote, &board);
    bool asked = false;
    there.SetNumberReader([&asked](CUnit&) {
        asked = true;
        return 37u;
    });
    EXPECT_EQ(there.ChooseShipPosition(ShipTypeBattleship), MapPos(0, 0));
    EXPECT_FALSE(asked);
}

TEST_F(UnitFixture, HumanCommandComesFromTheInstalledReader)
{
    CUnit& unit = MakeUnit(4);
    unit.DecideCommand(); // nothing installed: nothing happens
    EXPECT_EQ(unit.GetCommandInput().Command, static_cast<std::uint32_t>(CommandNone));
    unit.SetCommandReader([](CUnit& self) { self.SetCommandInput(Command(CommandPass, 1, DirectionNorth)); });
    unit.DecideCommand();
    EXPECT_EQ(unit.GetCommandInput().Command, static_cast<std::uint32_t>(CommandPass));
    EXPECT_EQ(unit.GetCommandInput().UnitId, 4u);
}

TEST_F(UnitFixture, ResetForgetsTheBattle)
{
    CUnit& unit = MakeUnit(0);
    Place(unit, ShipTypeBattleship, 1, 1);
    unit.SetResigned(true);
    unit.SetTimedOut(true);
    unit.GetStatistics(0)[StatHits] = 3;
    unit.GetStatistics(1)[StatHits] = 3;
    unit.GetTimer().SetTimeLimit(0);
    unit.Reset();
    EXPECT_EQ(unit.ShipCount(), 0u);
    EXPECT_FALSE(unit.IsResigned());
    EXPECT_FALSE(unit.IsTimedOut());
    EXPECT_EQ(unit.GetStatistics(0)[StatHits], 0u);
    EXPECT_EQ(unit.GetStatistics(1)[StatHits], 3u);
    EXPECT_EQ(unit.GetTimer().GetTimeLimit(), CUnit::DefaultTimeLimit);
}

// --- the computer's brain ------------------------------------------------------------------

TEST_F(UnitFixture, BrainComesAndGoesWithTheType)
{
    CUnit& unit = MakeUnit(0, UnitAuto);
    EXPECT_NE(unit.GetBrain(), nullptr);
    unit.SetUnitType(UnitManual);
    EXPECT_EQ(unit.GetBrain(), nullptr);
    UnitProfile profile = unit.GetProfile();
    profile.Type = UnitAuto;
    unit.SetProfile(profile);
    EXPECT_NE(unit.GetBrain(), nullptr);
}

class RecordingBrain : public ComputerAI::CComputerAI {
  public:
    explicit RecordingBrain(std::vector<MessageCode>& codes) : m_codes(codes) {}
    void Think() override { m_codes.push_back(1000); }
    void ChooseFlagship() override {}
    MapPos ChooseShipPosition(ShipType) override { return MapPos(2, 2); }
    MapPos ChooseRandomShipPosition() override { return MapPos(4, 4); }
    void Update(MessageCode code) override { m_codes.push_back(code); }
    void Reset() override { m_codes.push_back(2000); }

  private:
    std::vector<MessageCode>& m_codes;
};

TEST_F(UnitFixture, InstalledBrainIsCalledByItsUnit)
{
    std::vector<MessageCode> codes;
    auto previous = ComputerAI::SetComputerAIFactory(
        [&codes](CUnit&) { return std::make_unique<RecordingBrain>(codes); });
    CUnit& normal = MakeUnit(0, UnitAuto);
    units.push_back(std::make_unique<CComputer>(
        UnitProfile(1, UnitAuto, 0, L"easy", L"", "", ComputerAI::ModeEasy), &board));
    CUnit& easy = *units.back();
    ComputerAI::SetComputerAIFactory(previous);

    normal.OnMessage(51);
    normal.DecideCommand();
    normal.Reset();
    EXPECT_EQ(codes, (std::vector<MessageCode>{51, 1000, 2000}));
    EXPECT_EQ(normal.ChooseShipPosition(ShipTypeBattleship), MapPos(2, 2));
    EXPECT_EQ(easy.ChooseShipPosition(ShipTypeBattleship), MapPos(4, 4));

    // With the factory restored, new computers get the plain brain again.
    CUnit& plain = MakeUnit(2, UnitAuto);
    EXPECT_NE(dynamic_cast<ComputerAI::CPlainComputerAI*>(plain.GetBrain()), nullptr);
}

// Two plain brains play each other: every command they give passes the check
// and the ship, and the battle moves on.
TEST_F(UnitFixture, PlainBrainOnlyGivesLegalCommands)
{
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE(seed);
        SeedRandom(seed);
        units.clear();
        ships.clear();
        board.Build(MapData(5, 5));
        CUnit& a = MakeUnit(0, UnitAuto);
        CUnit& b = MakeUnit(1, UnitAuto);
        // The map has its random reefs, shallows, fog and high waves; the
        // brains choose where their ships go.
        auto place = [this](CUnit& unit, ShipType type) {
            const MapPos pos = unit.ChooseShipPosition(type);
            Place(unit, type, pos.x, pos.y);
        };
        for (ShipType type : {ShipTypeBattleship, ShipTypeDestroyer, ShipTypeSubmarine, ShipTypeOiler})
            place(a, type);
        for (ShipType type : {ShipTypeBattleship, ShipTypeSubmarine, ShipTypeDestroyer}) place(b, type);
        a.ChooseFlagship();
        b.ChooseFlagship();
        EXPECT_TRUE(a.HasFlagship());
        for (CUnit* unit : All()) {
            unit->SetReinforcementsLeft(1);
            for (const CPanel& panel : board.GetSeaPanels())
                const_cast<CPanel&>(panel).AddKnownUnit(unit->GetId());
            unit->OnMessage(45);
        }
        std::set<std::uint32_t> commands;
        for (std::uint32_t round = 1; round <= 12; ++round) {
            SetRound(round);
            for (CUnit* unit : All()) {
                unit->OnMessage(51);
                unit->DecideCommand();
                const MessageCode result = unit->ExecuteCommand(All());
                EXPECT_FALSE(IsErrorCode(result))
                    << "code " << result << " for command " << unit->GetCommandInput().Command;
                commands.insert(unit->GetCommandInput().Command);
                unit->OnMessage(73);
                unit->OnMessage(67);
                unit->OnMessage(52);
            }
        }
        EXPECT_GE(commands.size(), 2u);
    }
}

TEST_F(UnitFixture, PlainBrainPassesAfterTooManyRefusals)
{
    CUnit& unit = MakeUnit(0, UnitAuto);
    Place(unit, ShipTypeBattleship, 3, 3);
    for (std::uint32_t i = 0; i <= ComputerAI::CPlainComputerAI::MaxRefusals; ++i) unit.OnMessage(99);
    unit.DecideCommand();
    EXPECT_EQ(unit.GetCommandInput().Command, static_cast<std::uint32_t>(CommandPass));
    unit.OnMessage(51);
    unit.DecideCommand();
    EXPECT_NE(unit.GetCommandInput().Command, static_cast<std::uint32_t>(CommandPass));
}

TEST_F(UnitFixture, PlainBrainPlacesOnFreePanels)
{
    CUnit& unit = MakeUnit(0, UnitAuto);
    for (std::uint32_t i = 0; i < 6; ++i) {
        const MapPos pos = unit.ChooseShipPosition(ShipTypeBattleship);
        ASSERT_NE(At(pos.x, pos.y), nullptr);
        EXPECT_FALSE(unit.IsPanelOccupied(At(pos.x, pos.y), nullptr));
        Place(unit, ShipTypeBattleship, pos.x, pos.y);
    }
}

} // namespace
} // namespace Marevane::Testing
