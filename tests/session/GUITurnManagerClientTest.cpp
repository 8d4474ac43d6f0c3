#include "NetworkBattle.h"

#include "model/MessageBuilder.h"
#include "model/Random.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

using namespace Marevane;
using namespace Marevane::Testing;
using namespace std::chrono_literals;

namespace {

class ClientTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        SeedRandom(9);
        battle.SetUp(20);
        client.SetNotifier([this](MessageCode code) { notified.push_back(code); });
    }

    // Plays on until it is the client's side's turn in round 2, on both
    // machines, before the side decides.
    void RunToClientsTurn()
    {
        battle.holdClient = [this] { return client.GetPlayOrder().Round >= 2; };
        ASSERT_TRUE(battle.RunUntil([this] {
            return client.IsTurnRunning() && client.GetCurrentUnit() == battle.client.Local() &&
                   host.GetCurrentUnit() == battle.host.Guest() && host.GetPlayOrder().Round >= 2;
        }));
    }

    // The host sends a packet the driver did not make; the client takes it.
    void Deliver(const Packet& packet)
    {
        CInMemoryTcpServer& server = battle.host.server;
        ASSERT_TRUE(server.GetModule().Send(server.FindSocket(GuestHostId), packet));
        ASSERT_EQ(battle.client.client.Receive(), ReadComplete);
        client.Update(battle.client.client.GetReceivedData().Code);
    }

    static void ProcessEvents() { QCoreApplication::processEvents(); }

    NetworkBattle battle;
    CGUITurnManagerOnServer& host = battle.host.manager;
    CGUITurnManagerOnClient& client = battle.client.manager;
    std::vector<MessageCode> notified;
};

} // namespace

TEST_F(ClientTest, CorruptedTurnStatesBreakTheConnectionWithoutChangingAnything)
{
    using Mutation = std::function<void(ProgressMessage&)>;
    struct Case {
        const char* name;
        MessageCode code;
        Mutation corrupt;
    };
    const Case cases[] = {
        {"71 with an unknown unit id", 71, [](ProgressMessage& s) { s.Ships[7] = s.Ships.begin()->second; }},
        {"71 without a side's fleet", 71, [](ProgressMessage& s) { s.Ships.erase(s.Ships.begin()); }},
        {"71 with an unknown ship", 71,
         [](ProgressMessage& s) { s.Ships.begin()->second.front().ShipId = 40; }},
        {"71 with a ship of another side", 71,
         [](ProgressMessage& s) { s.Ships.begin()->second.front().UnitId = 1 - s.Ships.begin()->first; }},
        {"58 with too few sides", 58, [](ProgressMessage& s) { s.Units.pop_back(); }},
        {"58 with sides out of place", 58, [](ProgressMessage& s) { std::swap(s.Units[0], s.Units[1]); }},
        {"51 beyond the turn order", 51, [](ProgressMessage& s) { s.Order.Position = 3; }},
        {"51 of another map size", 51, [](ProgressMessage& s) { s.Map.Size = MapPos(9, 9); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NetworkBattle broken;
        SeedRandom(9);
        broken.SetUp(20);
        std::vector<MessageCode> reports;
        broken.client.manager.SetNotifier([&](MessageCode code) { reports.push_back(code); });
        broken.holdClient = [&] { return broken.client.manager.GetPlayOrder().Round >= 2; };
        ASSERT_TRUE(broken.RunUntil([&] {
            return broken.client.manager.GetPlayOrder().Round >= 2 &&
                   broken.client.manager.GetCurrentUnit() == broken.client.Local();
        }));

        ProgressMessage state = broken.host.manager.BuildProgressMessage(c.code);
        c.corrupt(state);
        const auto fleets = FleetsOf(broken.client.manager.GetUnits());
        const PlayOrder order = broken.client.manager.GetPlayOrder();
        CInMemoryTcpServer& server = broken.host.server;
        ASSERT_TRUE(server.GetModule().Send(server.FindSocket(GuestHostId),
                                            CPacketConverter::GetInstance().Encode(state)));
        ASSERT_EQ(broken.client.client.Receive(), ReadComplete);
        EXPECT_NO_THROW(broken.client.manager.Update(c.code));

        EXPECT_TRUE(broken.client.manager.IsDisconnected());
        EXPECT_EQ(FleetsOf(broken.client.manager.GetUnits()), fleets);
        EXPECT_EQ(broken.client.manager.GetPlayOrder().Round, order.Round);
        EXPECT_EQ(broken.client.manager.GetPlayOrder().Position, order.Position);
        EXPECT_FALSE(broken.client.Local()->GetTimer().IsRunning());
        EXPECT_TRUE(reports.empty()) << "reported on the owning thread, after the call";
        QCoreApplication::processEvents();
        EXPECT_EQ(reports, std::vector<MessageCode>{124});

        // Nothing that arrives afterwards is used.
        broken.client.manager.Update(c.code);
        broken.client.manager.Update(51);
        QCoreApplication::processEvents();
        EXPECT_EQ(reports.size(), 1u);
        EXPECT_EQ(FleetsOf(broken.client.manager.GetUnits()), fleets);
    }
}

TEST_F(ClientTest, ResultFromAnUnknownSideBreaksTheConnection)
{
    RunToClientsTurn();
    ResultMessage record;
    record.Code = 87;
    record.Sender.Id = 5;
    const std::size_t logged = battle.client.logger->GetLogCount();
    Deliver(CPacketConverter::GetInstance().Encode(record));
    EXPECT_TRUE(client.IsDisconnected());
    EXPECT_EQ(battle.client.logger->GetLogCount(), logged);
}

TEST_F(ClientTest, TimeOutOnTheTimersThreadIsSentOnceFromTheOwningThread)
{
    RunToClientsTurn();
    CInMemoryTcpClient& connection = battle.client.client;
    const std::size_t sent = connection.CountSent();

    std::thread timerThread([this] {
        client.PostTimeOut();
        client.PostTimeOut();
    });
    timerThread.join();
    EXPECT_EQ(connection.CountSent(), sent) << "nothing is sent from the timer's thread";

    ProcessEvents();
    client.PostTimeOut();
    ProcessEvents();
    EXPECT_EQ(connection.CountSent(), sent + 1);

    CUnit* guest = battle.host.Guest();
    ASSERT_EQ(battle.host.server.ReceiveFromUnit(*guest), ReadComplete);
    EXPECT_EQ(battle.host.server.GetReceivedCodeOfUnit(*guest), 10u);
    EXPECT_EQ(battle.host.server.ReceiveFromUnit(*guest), ReadNothing);

    // The host ends the side's turn with its time-out, and the client hears it.
    battle.HostStep(10);
    battle.PumpClient();
    EXPECT_TRUE(guest->IsTimedOut());
    EXPECT_TRUE(battle.client.Local()->IsTimedOut());
    EXPECT_EQ(battle.client.results.GetLatestLog().Code, 10u);
    EXPECT_EQ(battle.client.logger->GetLogText(1), battle.host.logger->GetLogText(1));
}

TEST_F(ClientTest, LocalTimersTimeOutReachesTheHostAsCode10Once)
{
    RunToClientsTurn();
    CTimer& timer = battle.client.Local()->GetTimer();
    timer.SetTimeLimit(1);
    timer.Restart();

    CUnit* guest = battle.host.Guest();
    CInMemoryTcpServer& server = battle.host.server;
    std::vector<MessageCode> received;
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (received.empty() && std::chrono::steady_clock::now() < deadline) {
        ProcessEvents();
        if (server.ReceiveFromUnit(*guest) == ReadComplete)
            received.push_back(server.GetReceivedCodeOfUnit(*guest));
        std::this_thread::sleep_for(2ms);
    }
    ASSERT_EQ(received, std::vector<MessageCode>{10});
    EXPECT_FALSE(timer.IsRunning());
    ProcessEvents();
    EXPECT_EQ(server.ReceiveFromUnit(*guest), ReadNothing);
}

TEST_F(ClientTest, DestroyedManagerSendsNothingForALateTimeOut)
{
    CInMemoryTcpClient connection;
    auto manager = std::make_unique<CGUITurnManagerOnClient>(&connection);
    CInMemoryTcpServer server;
    server.Attach(connection, 1);
    manager->PostTimeOut();
    manager.reset();
    ProcessEvents();
    EXPECT_EQ(connection.CountSent(), 0u);
}

TEST_F(ClientTest, ClientSendsItsCommandsAndCodesToTheHost)
{
    RunToClientsTurn();
    CUnit* local = battle.client.Local();
    CUnit* guest = battle.host.Guest();
    CInMemoryTcpServer& server = battle.host.server;
    auto next = [&] {
        return server.ReceiveFromUnit(*guest) == ReadComplete ? server.GetReceivedMessageOfUnit(*guest)
                                                              : MakeMessage(0);
    };

    CommandInput pass;
    pass.Command = CommandPass;
    pass.Direction = DirectionEast;
    local->SetCommandInput(pass);
    client.Update(53);
    const Message command = next();
    EXPECT_EQ(command.Code, 53u);
    EXPECT_EQ(command.Sender.HostId, GuestHostId);
    EXPECT_EQ(command.Command.Command, CommandPass);
    EXPECT_EQ(command.Command.Direction, DirectionEast);
    EXPECT_EQ(command.Time, static_cast<std::uint64_t>(local->GetTimer().GetTimeLimit()));

    client.Update(68);
    EXPECT_EQ(next().Code, 68u);
    client.Update(69);
    EXPECT_EQ(next().Code, 69u) << "the side's own turn";
    client.Update(73);
    client.Update(67);
    EXPECT_EQ(next().Code, 0u);
}

TEST_F(ClientTest, NothingIsSentForAnotherSidesTurn)
{
    ASSERT_TRUE(battle.RunUntil(
        [this] { return client.IsTurnRunning() && client.GetCurrentUnit() != battle.client.Local(); }));
    const std::size_t sent = battle.client.client.CountSent();
    // Sent now, a command or a time-out would be read at the start of the
    // side's next turn and taken for that turn's.
    client.Update(53);
    client.PostTimeOut();
    ProcessEvents();
    client.Update(69);
    EXPECT_EQ(battle.client.client.CountSent(), sent);
}

TEST(ClientStart, BattleDataThatCannotBeUsedBreaksTheConnection)
{
    using Mutation = std::function<void(ProgressMessage&)>;
    struct Case {
        const char* name;
        Mutation corrupt;
    };
    const Case cases[] = {
        {"a map below 3 by 3", [](ProgressMessage& s) { s.Map.Size = MapPos(2, 5); }},
        {"the empty map", [](ProgressMessage& s) { s.Map.Size = MapPos(0, 0); }},
        {"a map beyond the board's reach", [](ProgressMessage& s) { s.Map.Size = MapPos(5, 300); }},
        {"a turn order naming a stranger", [](ProgressMessage& s) { s.TurnOrder.back() = 9; }},
        {"a side twice", [](ProgressMessage& s) { s.Units.push_back(s.Units.front()); }},
        {"a nameless side", [](ProgressMessage& s) { s.Units.front().Name.clear(); }},
        {"a fleet on a panel off the map",
         [](ProgressMessage& s) { s.Ships.begin()->second.front().Pos.x = 9; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SeedRandom(4);
        NetworkBattle battle;
        battle.SetUp();
        ProgressMessage state = battle.host.manager.BuildProgressMessage(45);
        c.corrupt(state);
        CInMemoryTcpServer& server = battle.host.server;
        server.GetModule().Send(server.FindSocket(GuestHostId),
                                CPacketConverter::GetInstance().Encode(state));
        ASSERT_EQ(battle.client.client.Receive(), ReadComplete);
        CGUITurnManagerOnClient& client = battle.client.manager;
        EXPECT_NO_THROW(client.Update(45));
        EXPECT_TRUE(client.IsDisconnected());
        EXPECT_FALSE(client.IsTurnRunning());
    }
}

TEST(ClientStart, JoiningBeforeTheFirstTurnDoesNotApplyTheState)
{
    struct Case {
        PlayOrder order;
        bool running;
    };
    for (const Case& c : {Case{PlayOrder{0, 0}, false}, Case{PlayOrder{1, 1}, true}}) {
        SeedRandom(4);
        NetworkBattle battle;
        battle.SetUp();
        battle.host.manager.Update(45);
        ASSERT_EQ(battle.client.client.Receive(), ReadComplete); // the host's own, set aside
        ProgressMessage state = battle.host.manager.BuildProgressMessage(45);
        state.Order = c.order;
        for (auto& fleet : state.Ships) {
            for (ShipProfile& ship : fleet.second) ship.Hp = 1;
        }
        CInMemoryTcpServer& server = battle.host.server;
        server.GetModule().Send(server.FindSocket(GuestHostId),
                                CPacketConverter::GetInstance().Encode(state));
        ASSERT_EQ(battle.client.client.Receive(), ReadComplete);
        CGUITurnManagerOnClient& client = battle.client.manager;
        client.Update(45);

        ASSERT_FALSE(client.IsDisconnected());
        EXPECT_EQ(client.IsTurnRunning(), c.running);
        EXPECT_EQ(client.GetUnits().size(), 2u);
        const CShip* ship = client.GetUnits().front()->GetShip(1);
        EXPECT_EQ(ship->GetProfile().Hp == 1, c.running) << "the received state is applied only in a turn";
    }
}
