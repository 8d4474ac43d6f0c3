#include "session/PlayerEdit.h"

#include "model/Board.h"
#include "model/Errors.h"
#include "model/FleetPresetList.h"
#include "model/GameEdit.h"
#include "model/Panel.h"
#include "model/Random.h"
#include "model/Ship.h"
#include "model/ShipFactory.h"
#include "model/Unit.h"
#include "model/UnitFactory.h"
#include "tests/net/InMemoryTransport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace Marevane;
using namespace std::chrono_literals;

namespace {

constexpr PlayerEditPauses FastPauses{1ms, 0ms, 1ms};

// Waits for the task without ever hanging the suite.
bool Finishes(CPlayerEdit& edit)
{
    return edit.IsUnitCreated(5000);
}

class PlayerEditTest : public ::testing::Test {
  protected:
    void SetUp() override { SeedRandom(11); }

    std::unique_ptr<CPlayerEdit> MakeEdit(UnitType type, bool remote, PlayerEditPauses pauses = FastPauses,
                                          const UnitProfile& profile = UnitProfile())
    {
        return std::make_unique<CPlayerEdit>(type, remote, rules, board, units, ships, &server, profile,
                                             pauses);
    }

    std::vector<std::uint32_t> TypesOf(CUnit& unit)
    {
        std::vector<std::uint32_t> types;
        for (CShip* ship : ships.GetShips(&unit)) types.push_back(ship->GetType());
        return types;
    }

    // A seed whose first preset draw is the named preset.
    static std::uint32_t SeedFor(const std::wstring& name)
    {
        for (std::uint32_t seed = 1; seed < 1000; ++seed) {
            SeedRandom(seed);
            if (CFleetPresetList::GetInstance().GetRandomPreset().first == name) return seed;
        }
        ADD_FAILURE() << "no seed draws the preset";
        return 0;
    }

    EntryMessage Entry(const std::wstring& name, std::uint64_t hostId, std::uint32_t type = UnitManual,
                       bool player = true)
    {
        EntryMessage entry(14);
        entry.IsPlayer = player;
        entry.Entry = UnitProfile(0, type, 0, name, L"");
        entry.Entry.HostId = hostId;
        entry.Rules = rules.GetInfo();
        return entry;
    }

    // Connects a client and sends its entry.
    void Enter(CInMemoryTcpClient& client, const EntryMessage& entry,
               const std::string& address = "192.0.2.20")
    {
        server.Connect(client, address, 41000);
        ASSERT_EQ(client.Receive(), ReadComplete); // connected
        client.Send(CPacketConverter::GetInstance().Encode(entry));
    }

    // The client's answer once it arrives.
    static const ReceivedData& Answer(CInMemoryTcpClient& client)
    {
        for (int i = 0; i < 5000 && client.Receive() != ReadComplete; ++i) std::this_thread::sleep_for(1ms);
        return client.GetReceivedData();
    }

    CGameEdit rules;
    CBoard board;
    CUnitFactory units{&board, &rules};
    CShipFactory ships{&board, &rules};
    CInMemoryTcpServer server;
};

} // namespace

TEST(FleetShipCount, FollowsTheFleetSizeAndTheLoneSideOfATagMatch)
{
    struct Case {
        const char* name;
        std::uint32_t rule;
        std::uint32_t players;
        std::uint32_t fleet;
        std::uint32_t panels;
        bool mates;
        std::uint32_t expected;
    };
    const std::uint32_t tag = GameModeVersus | GameModeTag;
    const Case cases[] = {
        {"plain battle", GameModeVersus | GameModeSingle, 4, 3, 25, false, 3},
        {"tag, lone side of four", tag, 4, 3, 25, false, 6},
        {"tag, lone side of three", tag, 3, 3, 25, false, 6},
        {"tag, side with mates", tag, 4, 3, 25, true, 3},
        {"tag, two sides keep the fleet", tag, 2, 3, 25, false, 3},
        {"tag, no sides does not wrap", tag, 0, 3, 25, false, 3},
        {"tag, capped by the panels", tag, 4, 5, 9, false, 9},
        {"fleet size 0 still fields a ship", GameModeVersus, 2, 0, 25, false, 1},
        {"fleet larger than the map", GameModeVersus, 2, 30, 9, false, 9},
    };
    for (const Case& c : cases) {
        GameEditInfo info;
        info.Rule = c.rule;
        info.PlayerCount = c.players;
        info.FleetSize = c.fleet;
        // The field after the fleet size plays no part.
        info.IsReinforcementAllowed = 0;
        EXPECT_EQ(CountFleetShips(info, c.panels, c.mates), c.expected) << c.name;
    }
}

TEST_F(PlayerEditTest, TaskQueriesBeforeAnyTaskThrowFutureError)
{
    auto edit = MakeEdit(UnitAuto, false);
    EXPECT_THROW(edit->IsUnitCreated(0), std::future_error);
    EXPECT_THROW(edit->GetCreationResult(), std::future_error);
    EXPECT_THROW(edit->TakeUnit(), std::future_error);
}

TEST_F(PlayerEditTest, LocalSideWithoutAFrontEndFailsItsTaskAndCreatesNoUnit)
{
    auto edit = MakeEdit(UnitManual, false);
    edit->StartCreateUnit();
    ASSERT_TRUE(Finishes(*edit));
    EXPECT_THROW(edit->TakeUnit(), std::logic_error);
    EXPECT_TRUE(units.GetUnits().empty());
}

TEST_F(PlayerEditTest, ComputerWithTheDefaultPresetGetsBattleshipDestroyerSubmarine)
{
    rules.GetInfo().FleetSize = 3;
    const std::uint32_t seed = SeedFor(L"default");
    SeedRandom(seed);
    auto edit = MakeEdit(UnitAuto, false, PlayerEditPauses{1ms, 0ms, 40ms});

    const auto start = std::chrono::steady_clock::now();
    edit->StartCreateUnit();
    ASSERT_TRUE(Finishes(*edit));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 40ms);
    EXPECT_NO_THROW(edit->GetCreationResult());

    CUnit* unit = edit->TakeUnit();
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(unit->GetUnitType(), UnitAuto);
    EXPECT_EQ(TypesOf(*unit),
              (std::vector<std::uint32_t>{ShipTypeBattleship, ShipTypeDestroyer, ShipTypeSubmarine}));
    EXPECT_EQ(units.GetUnits().size(), 1u);
}

TEST_F(PlayerEditTest, SevenShipFleetsFillTheOpenSlotsAndNeverLeadWithAnOiler)
{
    rules.GetInfo().FleetSize = 7;
    for (std::uint32_t seed = 1; seed <= 12; ++seed) {
        SeedRandom(seed);
        ships.Clear();
        units.Clear();
        auto edit = MakeEdit(UnitAuto, false);
        edit->StartCreateUnit();
        ASSERT_TRUE(Finishes(*edit));
        CUnit* unit = edit->TakeUnit();
        const std::vector<std::uint32_t> types = TypesOf(*unit);
        ASSERT_EQ(types.size(), 7u) << "seed " << seed;
        EXPECT_NE(types.front(), ShipTypeOiler) << "seed " << seed;
        for (std::uint32_t type : types) {
            EXPECT_GE(type, ShipTypeBattleship);
            EXPECT_LE(type, ShipTypeOiler);
        }
    }
}

// A fleet that nearly fills a small map lands on free, passable panels at
// every level, whether placed by the level's weighing or at random.
TEST_F(PlayerEditTest, ComputerFleetThatFitsASmallMapIsPlacedAtEveryLevel)
{
    for (std::int32_t level : {ComputerAI::ModeVeryEasy, ComputerAI::ModeEasy, ComputerAI::ModeNormal}) {
        for (std::uint32_t seed = 1; seed <= 60; ++seed) {
            SCOPED_TRACE("level " + std::to_string(level) + ", seed " + std::to_string(seed));
            SeedRandom(seed);
            ships.Clear();
            units.Clear();
            rules.SetRule(GameModeVersus | GameModeSingle, MapPos(3, 3));
            rules.GetInfo().ComputerLevel = level;
            rules.GetInfo().FleetSize = 7;
            board.Build(rules.GetInfo().Map);
            auto edit = MakeEdit(UnitAuto, false, PlayerEditPauses{0ms, 0ms, 0ms});
            edit->StartCreateUnit();
            ASSERT_TRUE(Finishes(*edit));
            CUnit* unit = nullptr;
            ASSERT_NO_THROW(unit = edit->TakeUnit());
            std::set<const CPanel*> panels;
            for (CShip* ship : ships.GetShips(unit)) {
                EXPECT_TRUE(ship->GetCurrentPanel()->IsPassable());
                panels.insert(ship->GetCurrentPanel());
            }
            EXPECT_EQ(panels.size(), 7u);
        }
    }
}

TEST_F(PlayerEditTest, FlagshipMissionHasTheComputerChooseItsFlagship)
{
    rules.GetInfo().Mission = 0x10000004;
    auto edit = MakeEdit(UnitAuto, false);
    edit->StartCreateUnit();
    ASSERT_TRUE(Finishes(*edit));
    CUnit* unit = edit->TakeUnit();
    EXPECT_TRUE(unit->HasFlagship());
}

TEST_F(PlayerEditTest, ComputerFleetTaskDrawsTheFleetAnewInsteadOfAddingToIt)
{
    auto edit = MakeEdit(UnitAuto, false);
    edit->StartCreateUnit();
    ASSERT_TRUE(Finishes(*edit));
    CUnit* unit = edit->TakeUnit();
    edit->StartCreateUnit();
    ASSERT_TRUE(Finishes(*edit));
    EXPECT_EQ(edit->TakeUnit(), unit);
    EXPECT_EQ(TypesOf(*unit).size(), rules.GetInfo().FleetSize);
}

TEST_F(PlayerEditTest, NetworkPlayerIsAdmittedWithItsAddressAndPort)
{
    auto edit = MakeEdit(UnitManual, true);
    edit->StartCreateUnit();
    CInMemoryTcpClient client;
    Enter(client, Entry(L"NET", 0x1234));

    ASSERT_TRUE(Finishes(*edit));
    CUnit* unit = edit->TakeUnit();
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(unit->GetHostId(), 0x1234u);
    EXPECT_EQ(unit->GetProfile().Name, L"NET");
    EXPECT_EQ(unit->GetProfile().OriginFlag, 1u);
    EXPECT_EQ(unit->GetProfile().Address, "192.0.2.20");
    EXPECT_EQ(unit->GetProfile().Port, 41000);

    const ReceivedData& answer = Answer(client);
    EXPECT_EQ(answer.Kind, KindEntry);
    EXPECT_EQ(answer.Entry.Code, 15u);
    EXPECT_EQ(answer.Entry.SecondCode, 16u);
    EXPECT_EQ(answer.Entry.Rules.FleetSize, rules.GetInfo().FleetSize);
    EXPECT_TRUE(client.IsConnected());
}

TEST_F(PlayerEditTest, RefusedEntrantsAreToldWhyAndTheWaitGoesOn)
{
    units.CreateLocalUnit(UnitManual, 0, L"HOST", L"");
    struct Case {
        const char* name;
        EntryMessage entry;
        MessageCode reason;
    };
    EntryMessage mismatch = Entry(L"RULES", 3);
    mismatch.Rules.TimeLimit += 1000;
    const Case cases[] = {
        {"watching is not admitted", Entry(L"EYE", 1, UnitWatching, false), 22},
        {"empty name", Entry(L"", 2), 121},
        {"name taken", Entry(L"HOST", 4), 122},
        {"rules differ", mismatch, 24},
    };

    auto edit = MakeEdit(UnitManual, true);
    edit->StartCreateUnit();
    for (const Case& c : cases) {
        CInMemoryTcpClient client;
        Enter(client, c.entry);
        const ReceivedData& answer = Answer(client);
        EXPECT_EQ(answer.Code, 17u) << c.name;
        EXPECT_EQ(answer.Entry.SecondCode, c.reason) << c.name;
        EXPECT_EQ(client.Receive(), ReadFailed) << c.name << ": the connection is closed";
        EXPECT_FALSE(edit->IsUnitCreated(0)) << c.name;
    }

    CInMemoryTcpClient good;
    Enter(good, Entry(L"GOOD", 9));
    ASSERT_TRUE(Finishes(*edit));
    CUnit* unit = edit->TakeUnit();
    EXPECT_EQ(unit->GetProfile().Name, L"GOOD");
    EXPECT_EQ(units.GetUnits().size(), 2u);
}

TEST_F(PlayerEditTest, BrokenConnectionEndsTheWaitWithConnectionFailed)
{
    auto edit = MakeEdit(UnitManual, true);
    CInMemoryTcpClient client;
    server.Connect(client);
    client.Break();
    edit->StartCreateUnit();
    ASSERT_TRUE(Finishes(*edit));
    try {
        edit->GetCreationResult();
        FAIL() << "no exception";
    } catch (const CConnectionFailedException& error) {
        EXPECT_STREQ(error.what(), "invalid disconnect");
    }
    EXPECT_THROW(edit->TakeUnit(), CConnectionFailedException);
    EXPECT_EQ(server.CountWaitingConnections(), 0u);
}

TEST_F(PlayerEditTest, ClosingServerEndsTheWaitWithUnitDataError)
{
    auto edit = MakeEdit(UnitManual, true);
    edit->StartCreateUnit();
    EXPECT_FALSE(edit->IsUnitCreated(5));
    server.SetClosing(true);
    ASSERT_TRUE(Finishes(*edit));
    try {
        edit->TakeUnit();
        FAIL() << "no exception";
    } catch (const CUnitDataError& error) {
        EXPECT_STREQ(error.what(), "CPlayerEdit::CreateClientPlayer(): UnitDataError");
    }
}

// Pauses of an hour: a destructor that waited them out would run into the
// test's time-out.
TEST_F(PlayerEditTest, DestroyingAWaitingEditCancelsItsPauses)
{
    auto edit = MakeEdit(UnitManual, true, PlayerEditPauses{3600s, 0ms, 3600s});
    edit->StartCreateUnit();
    EXPECT_FALSE(edit->IsUnitCreated(5));
    edit.reset();
}

TEST_F(PlayerEditTest, NetworkFleetIsPlacedAndARefusedOneWaitsForTheNext)
{
    auto edit = MakeEdit(UnitManual, true);
    edit->StartCreateUnit();
    CInMemoryTcpClient client;
    Enter(client, Entry(L"NET", 77));
    ASSERT_TRUE(Finishes(*edit));
    CUnit* unit = edit->TakeUnit();
    server.ConfirmEntry(77);
    Answer(client); // the entry answer

    edit->StartCreateUnit();
    auto fleet = [](std::vector<std::pair<ShipType, MapPos>> list) {
        FleetEditMessage message;
        for (const auto& item : list) {
            ShipProfile ship;
            ship.Type = item.first;
            ship.Pos = item.second;
            message.Ships.push_back(ship);
        }
        return CPacketConverter::GetInstance().Encode(message);
    };

    // An oiler may not lead a fleet.
    client.Send(fleet({{ShipTypeOiler, MapPos(1, 1)}, {ShipTypeBattleship, MapPos(2, 2)}}));
    EXPECT_EQ(Answer(client).Code, 62u);
    // Off the map.
    client.Send(fleet({{ShipTypeBattleship, MapPos(6, 1)}}));
    EXPECT_EQ(Answer(client).Code, 62u);
    EXPECT_FALSE(edit->IsUnitCreated(0));

    client.Send(fleet({{ShipTypeBattleship, MapPos(1, 1)},
                       {ShipTypeDestroyer, MapPos(2, 3)},
                       {ShipTypeSubmarine, MapPos(5, 5)}}));
    const ReceivedData& answer = Answer(client);
    EXPECT_EQ(answer.Code, FleetEditMessage::FleetCode);
    EXPECT_EQ(answer.FleetEdit.Ships.size(), 3u);
    ASSERT_TRUE(Finishes(*edit));
    EXPECT_EQ(edit->TakeUnit(), unit);
    EXPECT_EQ(TypesOf(*unit),
              (std::vector<std::uint32_t>{ShipTypeBattleship, ShipTypeDestroyer, ShipTypeSubmarine}));
    EXPECT_EQ(unit->GetShip(3)->GetProfile().Pos, MapPos(5, 5));
}

TEST_F(PlayerEditTest, NetworkFleetWaitEndsWhenThePlayerLeaves)
{
    auto edit = MakeEdit(UnitManual, true);
    edit->StartCreateUnit();
    CInMemoryTcpClient client;
    Enter(client, Entry(L"NET", 78));
    ASSERT_TRUE(Finishes(*edit));
    edit->TakeUnit();

    edit->StartCreateUnit();
    client.SendCode(4);
    ASSERT_TRUE(Finishes(*edit));
    EXPECT_THROW(edit->TakeUnit(), CConnectionFailedException);
}
