#include "net/NetworkMonitor.h"
#include "TcpLoopback.h"
#include "model/Player.h"
#include "model/TurnManager.h"
#include "tests/net/InMemoryTransport.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace Marevane;

namespace {

void EnsureApp()
{
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "network-monitor-test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

class CTestTurnManager : public CTurnManager {
  public:
    void Update(MessageCode) override {}
    void SetLogCache(CLogger* logger) override { m_logger = logger; }
    CLogger* GetLogCache() const override { return m_logger; }

  private:
    CLogger* m_logger = nullptr;
};

std::unique_ptr<CUnit> MakeUnit(std::uint32_t id, std::uint32_t type, std::uint32_t origin,
                                std::uint64_t hostId)
{
    UnitProfile profile(id, type, origin, L"SIDE", L"");
    profile.HostId = hostId;
    return std::make_unique<CPlayer>(profile, nullptr);
}

Packet Encoded(const Message& message)
{
    return CPacketConverter::GetInstance().Encode(message);
}

// A packet whose authentication tag no longer fits its payload.
Packet Forged(MessageCode code)
{
    Packet packet = Encoded(MakeMessage(code));
    packet.back() = static_cast<char>(packet.back() ^ 0x5A);
    return packet;
}

constexpr std::uint64_t HostA = 101;
constexpr std::uint64_t HostB = 102;
constexpr std::uint64_t HostLocal = 103;

// The host with a local side and two sides played from clients, or a
// client of the host; a monitor whose reports are written down in order
// ("D58" for DataReceived(58), "S" for Stopped).
struct MonitorWorld {
    CInMemoryTcpServer server;
    CInMemoryTcpClient clientA;
    CInMemoryTcpClient clientB;
    CTestTurnManager turns;
    std::unique_ptr<CUnit> local = MakeUnit(1, UnitManual, 0, HostLocal);
    std::unique_ptr<CUnit> remoteA = MakeUnit(2, UnitManual, 1, HostA);
    std::unique_ptr<CUnit> remoteB = MakeUnit(3, UnitManual, 1, HostB);
    Socket socketA = InvalidSocket;
    std::vector<std::string> reports;

    MonitorWorld()
    {
        EnsureApp();
        socketA = server.Attach(clientA, HostA);
        server.Attach(clientB, HostB);
        turns.SetUnits({local.get(), remoteA.get(), remoteB.get()});
    }

    std::unique_ptr<CNetworkMonitor> Watch(CTcpServer* host, CTcpClient* client, MonitoringMode mode)
    {
        auto monitor = std::make_unique<CNetworkMonitor>(host, client, &turns);
        QObject::connect(monitor.get(), &CNetworkMonitor::Stopped, [this] { reports.push_back("S"); });
        QObject::connect(monitor.get(), &CNetworkMonitor::DataReceived,
                         [this](MessageCode code) { reports.push_back("D" + std::to_string(code)); });
        monitor->SetMode(mode);
        return monitor;
    }

    // One timer tick, without waiting for it.
    static void Poll(CNetworkMonitor& monitor)
    {
        ASSERT_TRUE(QMetaObject::invokeMethod(&monitor, "ReceiveData", Qt::DirectConnection));
    }

    // The host sends to the client that stands for it.
    void SendToClient(const Packet& packet) { server.GetModule().Send(socketA, packet); }
};

struct MonitorTest : ::testing::Test, MonitorWorld {};

using Reports = std::vector<std::string>;

struct HostCase {
    const char* Name;
    MonitoringMode Mode;
    std::uint32_t CurrentId; // 0: between turns
    Reports Expected;
    std::size_t LeftFromA; // packets of side A still waiting afterwards
};

TEST_F(MonitorTest, HostReadsWhatTheModeNames)
{
    const std::vector<HostCase> cases = {
        {"current remote, mode 0", MonitorCurrentAndHost, 2, {"D53"}, 0},
        {"current remote, mode 2", MonitorCurrent, 2, {"D53"}, 0},
        {"current remote, mode 4", MonitorCurrentOnly, 2, {"D53"}, 0},
        {"current local, mode 2", MonitorCurrent, 1, {}, 1},
        {"current local, mode 0", MonitorCurrentAndHost, 1, {}, 1},
        {"current B with nothing sent", MonitorCurrent, 3, {}, 1},
        {"between turns", MonitorCurrent, 0, {}, 1},
        {"every remote, mode 3", MonitorRemote, 1, {"D53", "D58"}, 0},
        {"every remote, mode 1", MonitorRemoteAndHost, 1, {"D53", "D58"}, 0},
        {"client only, mode 5", MonitorHost, 2, {}, 1},
        {"unknown mode", 6, 2, {}, 1},
    };
    for (const HostCase& c : cases) {
        SCOPED_TRACE(c.Name);
        CInMemoryTcpServer host;
        CInMemoryTcpClient a;
        CInMemoryTcpClient b;
        host.Attach(a, HostA);
        host.Attach(b, HostB);
        CTestTurnManager manager;
        if (c.CurrentId != 0) {
            manager.SetUnits({local.get(), remoteA.get(), remoteB.get()});
            manager.SetCurrentUnitById(c.CurrentId);
        }
        a.SendCode(53);
        if (c.Mode == MonitorRemote || c.Mode == MonitorRemoteAndHost) b.SendCode(58);
        reports.clear();
        CNetworkMonitor monitor(&host, nullptr, &manager);
        QObject::connect(&monitor, &CNetworkMonitor::DataReceived,
                         [this](MessageCode code) { reports.push_back("D" + std::to_string(code)); });
        monitor.SetMode(c.Mode);
        Poll(monitor);
        EXPECT_EQ(reports, c.Expected);
        std::size_t left = 0;
        while (host.ReceiveFrom(HostA) == ReadComplete) ++left;
        EXPECT_EQ(left, c.LeftFromA);
    }
}

TEST_F(MonitorTest, EveryRemoteSideIsReportedWithItsUnitInListOrder)
{
    clientB.SendCode(59);
    clientA.SendCode(58);
    std::vector<CUnit*> units;
    auto monitor = Watch(&server, nullptr, MonitorRemote);
    QObject::connect(monitor.get(), &CNetworkMonitor::DataReceived,
                     [&] { units.push_back(monitor->GetLastUnit()); });
    Poll(*monitor);
    EXPECT_EQ(reports, (Reports{"D58", "D59"}));
    EXPECT_EQ(units, (std::vector<CUnit*>{remoteA.get(), remoteB.get()}));
}

TEST_F(MonitorTest, OnePacketPerConnectionPerTick)
{
    clientA.SendCode(53);
    clientA.SendCode(54);
    auto monitor = Watch(&server, nullptr, MonitorRemote);
    Poll(*monitor);
    EXPECT_EQ(reports, (Reports{"D53"}));
    Poll(*monitor);
    EXPECT_EQ(reports, (Reports{"D53", "D54"}));
}

TEST_F(MonitorTest, ClientReadsTheHostInTheModesThatNameIt)
{
    const std::vector<std::pair<MonitoringMode, bool>> cases = {
        {MonitorCurrentAndHost, true}, {MonitorRemoteAndHost, true}, {MonitorCurrent, false},
        {MonitorRemote, false},        {MonitorCurrentOnly, false},  {MonitorHost, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        reports.clear();
        clientA.ClearReceivedData();
        SendToClient(Encoded(MakeMessage(58)));
        auto monitor = Watch(nullptr, &clientA, c.first);
        Poll(*monitor);
        EXPECT_EQ(reports, c.second ? Reports{"D58"} : Reports{});
        EXPECT_EQ(clientA.CountWaiting(), c.second ? 0u : 1u);
        while (clientA.CountWaiting() != 0) clientA.Receive();
    }
}

TEST_F(MonitorTest, EveryKindIsReportedByItsCode)
{
    ProgressMessage progress;
    progress.Code = 41;
    EntryMessage entry(15);
    FleetEditMessage fleet;
    ResultMessage result;
    result.Code = 44;
    const std::vector<std::pair<Packet, MessageCode>> cases = {
        {Encoded(MakeMessage(58)), 58},
        {CPacketConverter::GetInstance().Encode(progress), 41},
        {CPacketConverter::GetInstance().Encode(entry), 15},
        {CPacketConverter::GetInstance().Encode(fleet), FleetEditMessage::FleetCode},
        {CPacketConverter::GetInstance().Encode(result), 44},
    };
    auto onClient = Watch(nullptr, &clientA, MonitorHost);
    auto onHost = Watch(&server, nullptr, MonitorRemote);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.second);
        const Reports expected{"D" + std::to_string(c.second)};
        reports.clear();
        SendToClient(c.first);
        Poll(*onClient);
        EXPECT_EQ(reports, expected);
        reports.clear();
        clientA.Send(c.first);
        Poll(*onHost);
        EXPECT_EQ(reports, expected);
    }
}

TEST_F(MonitorTest, NothingYetReportsNothingButNamesTheUnit)
{
    auto monitor = Watch(&server, nullptr, MonitorRemote);
    Poll(*monitor);
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(monitor->GetLastUnit(), remoteB.get());
}

struct BreakCase {
    const char* Name;
    MonitoringMode Mode;
    bool OnClient;
    std::function<void(MonitorWorld&)> Break;
};

// Each way a connection can fail is reported once, as a stop and then 124,
// and ends the pass.
TEST_F(MonitorTest, BrokenConnectionIsReportedOnceAndStops)
{
    const std::vector<BreakCase> cases = {
        {"host: peer gone", MonitorRemote, false, [](MonitorWorld& t) { t.clientA.Break(); }},
        {"host: both peers gone", MonitorRemote, false,
         [](MonitorWorld& t) {
             t.clientA.Break();
             t.clientB.Break();
         }},
        {"host: current side gone", MonitorCurrent, false,
         [](MonitorWorld& t) {
             t.turns.SetCurrentUnitById(2);
             t.clientA.Break();
         }},
        {"host: side without a connection", MonitorRemote, false,
         [](MonitorWorld& t) { t.server.Disconnect(t.socketA); }},
        {"host: side leaves with code 4", MonitorRemote, false,
         [](MonitorWorld& t) { t.clientA.SendCode(4); }},
        {"host: side sends 124", MonitorRemote, false,
         [](MonitorWorld& t) { t.clientA.SendCode(ReadFailed); }},
        {"host: forged packet", MonitorRemote, false, [](MonitorWorld& t) { t.clientA.Send(Forged(53)); }},
        {"host: garbage", MonitorCurrent, false,
         [](MonitorWorld& t) {
             t.turns.SetCurrentUnitById(2);
             t.clientA.Send(Packet(40, '\x07'));
         }},
        {"client: host gone", MonitorHost, true, [](MonitorWorld& t) { t.clientA.Break(); }},
        {"client: forged packet", MonitorHost, true, [](MonitorWorld& t) { t.SendToClient(Forged(58)); }},
        {"client: cut packet", MonitorHost, true,
         [](MonitorWorld& t) { t.SendToClient(Encoded(MakeMessage(58)).substr(0, 30)); }},
        {"client: host sends 124", MonitorHost, true,
         [](MonitorWorld& t) { t.SendToClient(Encoded(MakeMessage(ReadFailed))); }},
    };
    for (const BreakCase& c : cases) {
        SCOPED_TRACE(c.Name);
        MonitorWorld t;
        // A packet that waits behind the failure is not read in that pass.
        t.clientB.SendCode(59);
        c.Break(t);
        auto monitor =
            c.OnClient ? t.Watch(nullptr, &t.clientA, c.Mode) : t.Watch(&t.server, nullptr, c.Mode);
        monitor->Start();
        ASSERT_TRUE(monitor->IsRunning());
        Poll(*monitor);
        EXPECT_EQ(t.reports, (Reports{"S", "D124"}));
        EXPECT_FALSE(monitor->IsRunning());
        if (!c.OnClient && c.Mode == MonitorRemote) {
            EXPECT_EQ(monitor->GetLastUnit(), t.remoteA.get());
            EXPECT_EQ(t.server.ReceiveFrom(HostB), ReadComplete);
        }
    }
}

TEST_F(MonitorTest, ModeSetDuringAPassTakesEffectAtTheNextTick)
{
    clientA.SendCode(53);
    clientB.SendCode(59);
    clientA.SendCode(54);
    auto monitor = Watch(&server, nullptr, MonitorRemote);
    QObject::connect(monitor.get(), &CNetworkMonitor::DataReceived, [&] { monitor->SetMode(MonitorHost); });
    Poll(*monitor);
    EXPECT_EQ(reports, (Reports{"D53", "D59"}));
    EXPECT_EQ(monitor->GetMode(), MonitorHost);
    Poll(*monitor);
    EXPECT_EQ(reports, (Reports{"D53", "D59"}));
}

TEST_F(MonitorTest, StopDuringAPassEndsIt)
{
    clientA.SendCode(53);
    clientB.SendCode(59);
    auto monitor = Watch(&server, nullptr, MonitorRemote);
    monitor->Start();
    QObject::connect(monitor.get(), &CNetworkMonitor::DataReceived, monitor.get(), &CNetworkMonitor::Stop);
    Poll(*monitor);
    EXPECT_EQ(reports, (Reports{"D53", "S"}));
    EXPECT_FALSE(monitor->IsRunning());
    EXPECT_EQ(server.ReceiveFrom(HostB), ReadComplete);
}

TEST_F(MonitorTest, MonitorDeletedByAReceiverEndsThePass)
{
    clientA.SendCode(53);
    clientB.SendCode(59);
    auto* monitor = Watch(&server, nullptr, MonitorRemote).release();
    QObject::connect(monitor, &CNetworkMonitor::DataReceived, [monitor] { delete monitor; });
    Poll(*monitor);
    EXPECT_EQ(reports, (Reports{"D53"}));
    EXPECT_EQ(server.ReceiveFrom(HostB), ReadComplete);
}

TEST_F(MonitorTest, ThrowingReceiverDoesNotEscapeThePass)
{
    clientA.SendCode(53);
    auto monitor = Watch(&server, nullptr, MonitorRemote);
    QObject::connect(monitor.get(), &CNetworkMonitor::DataReceived,
                     [] { throw std::runtime_error("receiver"); });
    EXPECT_NO_THROW(Poll(*monitor));
    EXPECT_EQ(reports, (Reports{"D53"}));
}

TEST_F(MonitorTest, StartAndStop)
{
    auto monitor = Watch(&server, nullptr, MonitorRemote);
    EXPECT_FALSE(monitor->IsRunning());
    EXPECT_EQ(monitor->GetMode(), MonitorRemote);
    monitor->Start();
    EXPECT_TRUE(monitor->IsRunning());
    monitor->Stop();
    EXPECT_FALSE(monitor->IsRunning());
    EXPECT_EQ(reports, (Reports{"S"}));
    // After a failure a sequence that goes on starts it again.
    monitor->Start();
    EXPECT_TRUE(monitor->IsRunning());
}

TEST_F(MonitorTest, TimerDeliversAPacketAndAFailure)
{
    SendToClient(Encoded(MakeMessage(58)));
    auto monitor = Watch(nullptr, &clientA, MonitorHost);
    QEventLoop loop;
    QObject::connect(monitor.get(), &CNetworkMonitor::Stopped, &loop, &QEventLoop::quit);
    QObject::connect(monitor.get(), &CNetworkMonitor::DataReceived, [&](MessageCode code) {
        if (code == 58) clientA.Break();
    });
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    monitor->Start();
    loop.exec();
    EXPECT_EQ(reports, (Reports{"D58", "S", "D124"}));
    EXPECT_FALSE(monitor->IsRunning());
}

TEST_F(MonitorTest, OwnUnitIsTheFirstLocalHumanElseTheLastLocalSide)
{
    auto autoOne = MakeUnit(4, UnitAuto, 0, 201);
    auto autoTwo = MakeUnit(5, UnitAuto, 0, 202);
    auto humanOne = MakeUnit(6, UnitManual, 0, 203);
    auto humanTwo = MakeUnit(7, UnitManual, 0, 204);
    struct Case {
        std::vector<CUnit*> Units;
        CUnit* Expected;
    };
    const std::vector<Case> cases = {
        {{remoteA.get(), autoOne.get(), humanOne.get(), humanTwo.get()}, humanOne.get()},
        {{autoOne.get(), remoteA.get(), autoTwo.get()}, autoTwo.get()},
        {{remoteA.get(), remoteB.get()}, nullptr},
    };
    for (const Case& c : cases) {
        CTestTurnManager manager;
        manager.SetUnits(c.Units);
        EXPECT_EQ(CNetworkMonitor(&server, nullptr, &manager).GetOwnUnit(), c.Expected);
        EXPECT_EQ(CNetworkMonitor(nullptr, &clientA, &manager).GetOwnUnit(), nullptr);
    }
    EXPECT_EQ(CNetworkMonitor(&server, nullptr, nullptr).GetOwnUnit(), nullptr);
}

TEST_F(MonitorTest, ClientReportsWithTheOwnUnit)
{
    SendToClient(Encoded(MakeMessage(58)));
    auto monitor = Watch(&server, &clientA, MonitorHost);
    Poll(*monitor);
    EXPECT_EQ(reports, (Reports{"D58"}));
    EXPECT_EQ(monitor->GetLastUnit(), local.get());
}

// Over real loopback connections a forged packet has been taken off the
// stream whole when its decoding fails; it still ends the connection's
// watch.
TEST(MonitorSocketTest, ForgedPacketsFromEitherEndAreBrokenConnections)
{
    EnsureApp();
    using namespace Marevane::Testing;
    CSocketTcpServer server;
    const std::uint16_t port = ListenOnLoopback(server);
    auto peer = EnterRaw(server, port, HostA, "127.0.0.1");
    ASSERT_TRUE(peer);
    CSocketTcpClient client;
    Enter(server, client, port, HostB, UnitManual, "127.0.0.2");
    EntryMessage answer = server.GetWaitingEntryMessage();
    ASSERT_TRUE(server.AcceptEntry(answer));
    ASSERT_EQ(ReceiveOnClient(client), ReadComplete);

    auto remote = MakeUnit(2, UnitManual, 1, HostA);
    CTestTurnManager turns;
    turns.SetUnits({remote.get()});
    std::vector<std::string> reports;
    auto record = [&reports](CNetworkMonitor& monitor) {
        QObject::connect(&monitor, &CNetworkMonitor::Stopped, [&reports] { reports.push_back("S"); });
        QObject::connect(&monitor, &CNetworkMonitor::DataReceived,
                         [&reports](MessageCode code) { reports.push_back("D" + std::to_string(code)); });
    };
    const auto pollUntilReported = [&reports](CNetworkMonitor& monitor) {
        return WaitUntil([&] {
            QMetaObject::invokeMethod(&monitor, "ReceiveData", Qt::DirectConnection);
            return !reports.empty();
        });
    };

    CNetworkMonitor onHost(&server, nullptr, &turns);
    record(onHost);
    onHost.SetMode(MonitorRemote);
    ASSERT_TRUE(peer->Send(Forged(53)));
    ASSERT_TRUE(pollUntilReported(onHost));
    EXPECT_EQ(reports, (Reports{"S", "D124"}));

    reports.clear();
    CNetworkMonitor onClient(nullptr, &client, nullptr);
    record(onClient);
    onClient.SetMode(MonitorHost);
    ASSERT_TRUE(server.GetModule().Send(server.FindSocket(HostB), Forged(58)));
    ASSERT_TRUE(pollUntilReported(onClient));
    EXPECT_EQ(reports, (Reports{"S", "D124"}));
}

} // namespace
