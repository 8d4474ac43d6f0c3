// A replay over the network needs everybody's consent: the host waits for
// each client's request, once per client, and a single exit or a lost
// connection rejects it for all; a client waits for the host's answer.
// The machines are joined in memory.
#include "gui/ScreenTiming.h"
#include "gui/Widgets.h"
#include "tests/net/InMemoryTransport.h"
#include "tests/screens/battleend/FlowFixture.h"

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

// Every code waiting for the client, in order.
std::vector<MessageCode> Drain(CInMemoryTcpClient& client)
{
    std::vector<MessageCode> codes;
    while (client.Receive() == ReadComplete) codes.push_back(client.GetReceivedData().Code);
    return codes;
}

class HostConsentTest : public FlowTest {
  protected:
    void SetUp() override
    {
        FlowTest::SetUp();
        local = Units()->CreateLocalUnit(UnitManual, HostServer, L"Ann", L"");
        std::vector<CUnit*> sides{local};
        for (std::uint32_t k = 0; k < 2; ++k) {
            UnitProfile profile(k + 1, UnitManual, HostClient, k == 0 ? L"Bea" : L"Cid", L"",
                                "192.0.2." + std::to_string(k + 10), 0);
            profile.HostId = 100 + k;
            clients[k] = Units()->CreateUnit(profile);
            server.Attach(ends[k], profile.HostId, profile.Address);
            sides.push_back(clients[k]);
        }
        Rules()->GetInfo().TeamCount = 2;
        turnManager.TakeSides(sides);
        EndBattle();
        end->InstallModule<TcpServerModule>(&server);
    }

    void AskForReplay()
    {
        ResultScene()->GetReplayButton()->click();
        ASSERT_TRUE(ResultScene()->GetCancelItem()->isVisible());
        for (CInMemoryTcpClient& client : ends) EXPECT_EQ(Drain(client), std::vector<MessageCode>{28});
    }
    // Long enough for several polls of the monitor.
    static void Polls() { QTest::qWait(4 * ScreenTiming::Scaled(100) + 50); }

    CInMemoryTcpServer server;
    CInMemoryTcpClient ends[2];
    CUnit* clients[2] = {nullptr, nullptr};
};

TEST_F(HostConsentTest, TheReplayStartsWhenEveryClientAskedOnce)
{
    AskForReplay();
    ends[0].SendCode(28);
    ends[0].SendCode(28); // asking twice counts once
    Polls();
    EXPECT_EQ(Current(), end);
    EXPECT_EQ(Drain(ends[1]), std::vector<MessageCode>{});

    ends[1].SendCode(28);
    ASSERT_TRUE(WaitForCurrent(formation));
    for (CInMemoryTcpClient& client : ends) EXPECT_EQ(Drain(client), std::vector<MessageCode>{32});
    EXPECT_EQ(turnManager.resets, 1);
}

TEST_F(HostConsentTest, OneExitRejectsTheReplayForEverybody)
{
    AskForReplay();
    ends[0].SendCode(28);
    ends[1].SendCode(29);
    ASSERT_TRUE(WaitUntil([this] { return Message().contains(QStringLiteral("rejected")); }));
    EXPECT_EQ(Message(),
              QStringLiteral("Request for a \"Replay\" is rejected.\nNow going back the Title..."));
    for (CInMemoryTcpClient& client : ends) EXPECT_EQ(Drain(client), std::vector<MessageCode>{33});
    ASSERT_TRUE(WaitForType(SequenceType::Title));
    EXPECT_EQ(turnManager.resets, 1);
    EXPECT_TRUE(Units()->GetUnits().empty());
}

TEST_F(HostConsentTest, ALostConnectionRejectsTheReplay)
{
    AskForReplay();
    ends[0].SendCode(28);
    ends[1].Break();
    ASSERT_TRUE(WaitUntil([this] { return Message().contains(QStringLiteral("rejected")); }));
    ASSERT_TRUE(WaitForType(SequenceType::Title));
}

TEST_F(HostConsentTest, CancellingTheWaitLeavesForTheTitle)
{
    AskForReplay();
    ResultScene()->GetCancelItem()->SelectOk();
    EXPECT_EQ(Message(), QStringLiteral("\"Replay\" has been canceled.\nNow going back the Title..."));
    ASSERT_TRUE(WaitForType(SequenceType::Title));
}

class ClientConsentTest : public FlowTest {
  protected:
    void SetUp() override
    {
        FlowTest::SetUp();
        local = Units()->CreateLocalUnit(UnitManual, HostClient, L"Bea", L"");
        local->SetHostId(101);
        rival = Units()->CreateComputerUnit(HostServer, L"Ann", 0);
        Rules()->GetInfo().TeamCount = 1;
        turnManager.TakeSides({rival, local});
        host.Attach(own, 101);
        EndBattle();
        end->InstallModule<TcpClientModule>(&own);
    }

    CInMemoryTcpServer host;
    CInMemoryTcpClient own;
};

TEST_F(ClientConsentTest, TheHostsAcceptanceStartsTheReplay)
{
    ResultScene()->GetReplayButton()->click();
    ASSERT_EQ(host.ReceiveFrom(101), ReadComplete);
    EXPECT_EQ(host.GetReceivedCode(101), 28u);
    EXPECT_EQ(Current(), end);
    ASSERT_TRUE(host.SendCodeToUnit(*local, 32));
    ASSERT_TRUE(WaitForCurrent(formation));
}

TEST_F(ClientConsentTest, TheHostsRejectionLeavesForTheTitle)
{
    ResultScene()->GetReplayButton()->click();
    ASSERT_TRUE(host.SendCodeToUnit(*local, 33));
    ASSERT_TRUE(WaitUntil([this] { return Message().contains(QStringLiteral("rejected")); }));
    ASSERT_TRUE(WaitForType(SequenceType::Title));
}

TEST_F(ClientConsentTest, TheHostClosingTheConnectionRejectsTheReplay)
{
    ResultScene()->GetReplayButton()->click();
    host.Disconnect(host.FindSocket(101)); // the host tells code 4 and closes
    ASSERT_TRUE(WaitUntil([this] { return Message().contains(QStringLiteral("rejected")); }));
    ASSERT_TRUE(WaitForType(SequenceType::Title));
}

} // namespace
