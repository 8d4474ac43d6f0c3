#include "NetworkBattle.h"

#include "model/MessageBuilder.h"
#include "model/Random.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

constexpr std::uint64_t HostA = 0xA0;
constexpr std::uint64_t HostB = 0xB0;

// What reached one client: kind and code of each packet, in order.
using Packets = std::vector<std::pair<std::uint32_t, MessageCode>>;

// The battle's round, set by hand.
class ExposedServer : public CGUITurnManagerOnServer {
  public:
    using CGUITurnManagerOnServer::CGUITurnManagerOnServer;
    using CTurnManager::SetPlayOrder;
};

// A host with its own computer side and two sides played from clients A and
// B, on plain sea.
class ServerTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        EnsureApp();
        SeedRandom(5);
        CResultManager::GetInstance().Clear();
        MapData map = rules.GetInfo().Map;
        map.SpecialPanelCount = 0;
        board.Build(map);
        local = units.CreateLocalUnit(UnitAuto, 0, L"HOST", L"");
        remoteA = MakeRemote(L"A", HostA);
        remoteB = MakeRemote(L"B", HostB);
        Place(*local, {{ShipTypeBattleship, MapPos(1, 1)}, {ShipTypeSubmarine, MapPos(1, 3)}});
        Place(*remoteA, {{ShipTypeBattleship, MapPos(5, 5)}, {ShipTypeDestroyer, MapPos(5, 3)}});
        Place(*remoteB, {{ShipTypeBattleship, MapPos(3, 5)}, {ShipTypeDestroyer, MapPos(3, 1)}});

        Wire(manager, rules, board, units, ships, CResultManager::GetInstance(), logger);
        server.Attach(clientA, HostA);
        socketB = server.Attach(clientB, HostB);
    }

    CUnit* MakeRemote(const std::wstring& name, std::uint64_t hostId)
    {
        UnitProfile profile(units.GetNextUnitNumber(), UnitManual, 1, name, L"");
        profile.HostId = hostId;
        return units.CreateUnit(profile);
    }

    void Place(CUnit& unit, std::vector<std::pair<ShipType, MapPos>> fleet)
    {
        for (const auto& ship : fleet) ships.CreateShip(&unit, ship.first, board.GetPanel(ship.second));
    }

    static Packets Drain(CInMemoryTcpClient& client)
    {
        Packets packets;
        while (client.Receive() == ReadComplete) {
            packets.emplace_back(client.GetReceivedData().Kind, client.GetReceivedData().Code);
        }
        return packets;
    }
    void DrainAll()
    {
        Drain(clientA);
        Drain(clientB);
    }

    // Starts the battle and runs turn starts until the unit's turn.
    void StartTurnOf(CUnit* unit)
    {
        manager.Update(45);
        for (int i = 0; i < 3 && manager.GetCurrentUnit() != unit; ++i) manager.Update(51);
        if (manager.GetCurrentUnit() != unit) manager.Update(51);
        ASSERT_EQ(manager.GetCurrentUnit(), unit);
        DrainAll();
    }

    // Client A's side sends a message, and the host's monitor reads it.
    void SendFromA(const Message& message)
    {
        clientA.SendMessage(message);
        ASSERT_EQ(server.ReceiveFrom(HostA), ReadComplete);
    }

    CGameEdit rules;
    CBoard board;
    CUnitFactory units{&board, &rules};
    CShipFactory ships{&board, &rules};
    CLogger logger;
    CInMemoryTcpServer server;
    ExposedServer manager{&server};
    CInMemoryTcpClient clientA;
    CInMemoryTcpClient clientB;
    Socket socketB = InvalidSocket;
    CUnit* local = nullptr;
    CUnit* remoteA = nullptr;
    CUnit* remoteB = nullptr;
};

const Packets None;
Packets Progress(MessageCode code)
{
    return {{KindProgress, code}};
}

} // namespace

TEST_F(ServerTest, EachTurnStateReachesEveryClientOnce)
{
    struct Case {
        MessageCode code;
        Packets expected;
    };
    const Case cases[] = {
        {45, Progress(45)}, {51, Progress(51)}, {52, Progress(52)}, {56, Progress(56)},   {58, Progress(58)},
        {69, None},         {73, None},         {53, None},         {124, Progress(124)},
    };
    for (const Case& c : cases) {
        const std::size_t states = logger->GetTurnStates().size();
        manager.Update(c.code);
        EXPECT_EQ(Drain(clientA), c.expected) << "code " << c.code;
        EXPECT_EQ(Drain(clientB), c.expected) << "code " << c.code;
        // Only a turn start is written into the log.
        EXPECT_EQ(logger->GetTurnStates().size(), states + (c.code == 51 ? 1 : 0)) << "code " << c.code;
    }
}

TEST_F(ServerTest, TurnStateCarriesTheTurnAndTheBoard)
{
    StartTurnOf(local);
    manager.Update(51);
    ASSERT_EQ(clientA.Receive(), ReadComplete);
    const ProgressMessage& state = clientA.GetReceivedData().Progress;
    EXPECT_EQ(state.Order.Round, manager.GetPlayOrder().Round);
    EXPECT_EQ(state.Order.Position, manager.GetPlayOrder().Position);
    EXPECT_EQ(state.TurnOrder, manager.GetTurnOrder());
    EXPECT_EQ(state.Sender.Id, manager.GetCurrentUnit()->GetId());
    EXPECT_EQ(state.Time, 1200000u);
    EXPECT_EQ(state.Units.size(), 3u);
    EXPECT_EQ(state.Ships.size(), 3u);
    EXPECT_EQ(state.Map.Size, board.GetMap().Size);
    EXPECT_EQ(state.Map.UnitCoordinateInfo.size(), 3u);
    std::wstring board;
    this->board.ToTurnText(board, manager.GetUnits());
    EXPECT_EQ(state.BoardText, board);
    EXPECT_FALSE(board.empty());
}

TEST_F(ServerTest, CommandResultSendsTheStateThenTheRecord)
{
    StartTurnOf(local);
    local->DecideCommand();
    manager.Update(53);
    const MessageCode result = local->ExecuteCommand(manager.GetCurrentUnitEntry());
    ASSERT_FALSE(IsErrorCode(result));
    manager.Update(73);
    EXPECT_EQ(Drain(clientA), None);
    manager.Update(87);

    const Packets expected{{KindProgress, 58}, {KindResult, 87}};
    EXPECT_EQ(Drain(clientB), expected);
    ASSERT_EQ(clientA.Receive(), ReadComplete);
    EXPECT_EQ(clientA.GetReceivedData().Code, 58u);
    ASSERT_EQ(clientA.Receive(), ReadComplete);
    const ResultMessage& record = clientA.GetReceivedData().Result;
    EXPECT_EQ(record.Sender.Id, local->GetId());
    EXPECT_NE(record.GetPrimaryAction(), nullptr);
    EXPECT_EQ(logger->GetLogCount(), 1u);
}

TEST_F(ServerTest, BattleEndSendsTheEndRecordOnceAndStopsTheTimers)
{
    StartTurnOf(local);
    manager.Update(47);
    const Packets expected{{KindResult, 47}};
    EXPECT_EQ(Drain(clientA), expected);
    EXPECT_EQ(Drain(clientB), expected);
    EXPECT_FALSE(local->GetTimer().IsRunning());
}

TEST_F(ServerTest, TurnEndOfALocalSideGoesToEveryClientOnce)
{
    StartTurnOf(local);
    manager.Update(67);
    EXPECT_EQ(Drain(clientA), Progress(71));
    EXPECT_EQ(Drain(clientB), Progress(71));
}

TEST_F(ServerTest, TurnEndOfARemoteSideGivesItsClientItsOwnRecordAndTheOthersTheStateOnce)
{
    StartTurnOf(remoteA);
    manager.Update(67);

    ASSERT_EQ(clientA.Receive(), ReadComplete);
    const ProgressMessage own = clientA.GetReceivedData().Progress;
    EXPECT_EQ(clientA.Receive(), ReadNothing) << "the side's client gets one packet";
    EXPECT_EQ(own.Code, 71u);
    EXPECT_EQ(own.Sender.Id, remoteA->GetId());
    EXPECT_TRUE(own.TurnOrder.empty());
    EXPECT_EQ(own.Ships.size(), 3u);

    ASSERT_EQ(clientB.Receive(), ReadComplete);
    const ProgressMessage state = clientB.GetReceivedData().Progress;
    EXPECT_EQ(clientB.Receive(), ReadNothing) << "the other client gets one packet";
    EXPECT_EQ(state.Code, 71u);
    EXPECT_EQ(state.TurnOrder, manager.GetTurnOrder());
}

TEST_F(ServerTest, RefusalOfARemoteSideIsSentToAllButALocalSidesIsNot)
{
    StartTurnOf(local);
    manager.Update(96);
    EXPECT_EQ(Drain(clientA), None);

    StartTurnOf(remoteA);
    manager.Update(96);
    const Packets expected{{KindResult, 96}};
    EXPECT_EQ(Drain(clientB), expected);
    EXPECT_EQ(clientB.GetReceivedData().Result.Sender.Id, remoteA->GetId());
    EXPECT_EQ(Drain(clientA), expected);
}

TEST_F(ServerTest, SocketWhoseSendFailsIsDisconnected)
{
    StartTurnOf(local);
    server.FailSendsTo(socketB);
    manager.Update(58);
    EXPECT_EQ(Drain(clientA), Progress(58));
    EXPECT_EQ(server.FindSocket(HostB), InvalidSocket);
    EXPECT_FALSE(server.IsConnected(socketB));
}

TEST_F(ServerTest, RemoteCommandIsCarriedOutOnceAndOnlyInItsTurn)
{
    // Sent while another side's turn runs: not a command of the next turn.
    StartTurnOf(local);
    Message early = MakeMessage(53, *remoteA);
    early.Command.Command = CommandPass;
    early.Command.Direction = DirectionNorth;
    SendFromA(early);
    while (manager.GetCurrentUnit() != remoteA) manager.Update(51);
    manager.Update(53);
    EXPECT_EQ(remoteA->GetCommandInput().Command, CommandNone);

    Message command = early;
    command.Time = 5000;
    SendFromA(command);
    manager.Update(53);
    EXPECT_EQ(remoteA->GetCommandInput().Command, CommandPass);
    EXPECT_EQ(remoteA->GetCommandInput().UnitId, remoteA->GetId());
    EXPECT_EQ(remoteA->GetTimer().GetTimeLimit(), 5000);

    remoteA->ClearCommandInput();
    manager.Update(53);
    EXPECT_EQ(remoteA->GetCommandInput().Command, CommandNone) << "taken once";
    EXPECT_EQ(remoteA->ExecuteCommand(manager.GetCurrentUnitEntry()), 96u);
}

TEST_F(ServerTest, RemoteSidesTimeOutEndsItsTurn)
{
    StartTurnOf(remoteA);
    SendFromA(MakeMessage(10));
    manager.Update(53);
    EXPECT_EQ(remoteA->GetTimer().GetTimeLimit(), 0);
    EXPECT_EQ(remoteA->ExecuteCommand(manager.GetCurrentUnitEntry()), 10u);
    EXPECT_TRUE(remoteA->IsTimedOut());
}

TEST_F(ServerTest, SurfacingFollowsTheRulesCycle)
{
    struct Case {
        std::uint32_t period;
        std::uint32_t round;
        std::uint32_t status; // the submarine's before the action
        std::uint32_t pending;
    };
    const std::uint32_t visible = ShipStatusNormal;
    const std::uint32_t stealthy = ShipStatusStealth;
    const Case cases[] = {
        {3, 1, visible, 0},  {3, 3, visible, 1}, {3, 4, stealthy, 2}, {3, 5, visible, 0},
        {3, 6, visible, 1},  {0, 3, visible, 0}, {0, 4, stealthy, 0}, {1, 1, visible, 1},
        {1, 2, stealthy, 2}, {2, 1, visible, 0}, {2, 2, visible, 1},  {2, 3, stealthy, 2},
    };
    StartTurnOf(local);
    CShip* submarine = local->GetShip(2);
    ASSERT_EQ(submarine->GetType(), ShipTypeSubmarine);
    for (const Case& c : cases) {
        rules.GetInfo().SurfacingCycle = c.period;
        manager.SetPlayOrder(PlayOrder{c.round, 1});
        submarine->GetProfile().Status = c.status;
        submarine->GetProfile().PendingStatus = 0;
        manager.Update(87);
        EXPECT_EQ(submarine->GetProfile().PendingStatus, c.pending)
            << "period " << c.period << ", round " << c.round;
    }
}
