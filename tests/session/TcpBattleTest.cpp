// Host and client turn managers playing whole seeded battles over a real
// loopback connection: the packets the battle model sends must survive the
// converter and the sockets exactly as they survive the in-memory queues.
#include "model/Random.h"
#include "tests/net/TcpLoopback.h"
#include "tests/session/NetworkBattle.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <linux/sockios.h>
#include <linux/tcp.h>
#include <map>
#include <netinet/in.h>
#include <sys/ioctl.h>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

bool ReadInfo(int handle, tcp_info& info)
{
    socklen_t length = sizeof info;
    return handle >= 0 && getsockopt(handle, IPPROTO_TCP, TCP_INFO, &info, &length) == 0 &&
           length >= offsetof(tcp_info, tcpi_bytes_received) + sizeof info.tcpi_bytes_received;
}

// Waits until every byte the sending end was given has reached the
// receiving end's queue.
void WaitDelivered(int sender, int receiver)
{
    WaitUntil([sender, receiver] {
        tcp_info sent{};
        tcp_info received{};
        int queued = 0;
        if (!ReadInfo(sender, sent) || !ReadInfo(receiver, received) ||
            ioctl(sender, SIOCOUTQ, &queued) != 0) {
            return true;
        }
        return received.tcpi_bytes_received >= sent.tcpi_bytes_acked + static_cast<std::uint64_t>(queued);
    });
}

// The driver takes "nothing arrived" for "nothing was sent". Over sockets a
// packet may still be on its way, so a read that finds nothing waits until
// the other end's bytes have all arrived and looks once more.
class LoopbackClient : public CSocketTcpClient {
  public:
    MessageCode Receive() override
    {
        const MessageCode result = CSocketTcpClient::Receive();
        if (result != ReadNothing || !Peer) return result;
        WaitDelivered(Peer(), GetSocket());
        return CSocketTcpClient::Receive();
    }

    std::function<int()> Peer;
};

class LoopbackServer : public CSocketTcpServer {
  public:
    LoopbackServer() : m_port(ListenOnLoopback(*this)) {}

    // Runs the whole entry handshake for the client's side and confirms it,
    // as the connection screens do before a battle; the client is left with
    // nothing unread.
    void Attach(LoopbackClient& client, std::uint64_t hostId)
    {
        Enter(*this, client, m_port, hostId, UnitAuto);
        EntryMessage answer = GetWaitingEntryMessage();
        ASSERT_TRUE(AcceptEntry(answer));
        ConfirmEntry(hostId);
        ASSERT_EQ(ReceiveOnClient(client), ReadComplete);
        ASSERT_EQ(client.GetReceivedData().Code, 15u);
        client.ClearReceivedData();
        client.Peer = [this, hostId] { return static_cast<int>(FindSocket(hostId)); };
        m_peers[hostId] = &client;
    }

    MessageCode ReceiveFrom(std::uint64_t hostId) override
    {
        const MessageCode result = CSocketTcpServer::ReceiveFrom(hostId);
        auto peer = m_peers.find(hostId);
        if (result != ReadNothing || peer == m_peers.end()) return result;
        WaitDelivered(peer->second->GetSocket(), static_cast<int>(FindSocket(hostId)));
        return CSocketTcpServer::ReceiveFrom(hostId);
    }

  private:
    std::uint16_t m_port;
    std::map<std::uint64_t, LoopbackClient*> m_peers;
};

using LoopbackBattle = BasicNetworkBattle<LoopbackServer, LoopbackClient>;

} // namespace

class TcpBattle : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(TcpBattle, ClientMirrorsTheHostOverSockets)
{
    SeedRandom(GetParam());
    LoopbackBattle battle;
    battle.SetUp(12, MapPos(6, 6));
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    const CGUITurnManagerOnServer& host = battle.host.manager;
    const CGUITurnManagerOnClient& client = battle.client.manager;

    battle.Run([&](const std::string& when) {
        SCOPED_TRACE(when + " of round " + std::to_string(host.GetPlayOrder().Round));
        EXPECT_EQ(client.GetPlayOrder().Position, host.GetPlayOrder().Position);
        EXPECT_EQ(client.GetTurnOrder(), host.GetTurnOrder());
        EXPECT_EQ(FleetsOf(client.GetUnits()), FleetsOf(host.GetUnits()));
        EXPECT_EQ(KnownPanelsOf(battle.client.board), KnownPanelsOf(battle.host.board));
    });

    EXPECT_TRUE(battle.hostEnded);
    EXPECT_TRUE(battle.clientEnded);
    EXPECT_FALSE(client.IsDisconnected());
    EXPECT_GT(battle.clientCommands, 3u);
    EXPECT_EQ(battle.comparisons, 2 * battle.turns - 1);
    EXPECT_TRUE(client.IsGameDecided());
    EXPECT_EQ(battle.client.logger->GetTurnStates().size(), battle.host.logger->GetTurnStates().size());
}

INSTANTIATE_TEST_SUITE_P(Seeds, TcpBattle, ::testing::Values(1u, 27u, 2024u),
                         [](const ::testing::TestParamInfo<std::uint32_t>& info) {
                             return "Seed" + std::to_string(info.param);
                         });
