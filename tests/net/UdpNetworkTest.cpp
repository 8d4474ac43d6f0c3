#include "net/UdpNetwork.h"
#include "net/PosixSocket.h"
#include "tests/net/TcpLoopback.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

// A datagram port nobody uses now, from the system's own choice.
std::uint16_t FreeDatagramPort()
{
    const int probe = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    const std::uint16_t port = GetBoundPort(probe);
    close(probe);
    return port;
}

class UdpNetworkTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        SetBroadcastAddress("127.255.255.255");
        port = FreeDatagramPort();
        network.SetPort(port);
        network.Open();
        ASSERT_TRUE(network.GetModule().IsOpen());
    }
    void TearDown() override { SetBroadcastAddress("255.255.255.255"); }

    bool Announce(const std::string& from, const std::wstring& name)
    {
        EntryMessage entry(14);
        entry.Entry.Name = name;
        const Packet packet = CPacketConverter::GetInstance().Encode(entry);
        return CUdpModule::SendTo(GetBroadcastAddress(), port, packet.data(), packet.size(), from);
    }

    MessageCode Poll()
    {
        MessageCode result = ReadNothing;
        WaitUntil([&] { return (result = network.Receive()) != ReadNothing; });
        return result;
    }

    std::uint16_t port = 0;
    CUdpNetwork network;
};

} // namespace

TEST(UdpNetwork, PortsBelow1024AreKeptAsZero)
{
    for (const auto& c :
         {std::pair<std::uint16_t, std::uint16_t>{0, 0}, {1023, 0}, {1024, 1024}, {50000, 50000}}) {
        CUdpNetwork network;
        network.SetPort(c.first);
        EXPECT_EQ(network.GetPort(), c.second) << c.first;
        network.Configure("", c.first);
        EXPECT_EQ(network.GetPort(), c.second) << c.first;
    }
}

TEST(UdpNetwork, ANetworkThatIsNotOpenReadsAsSuch)
{
    CUdpNetwork network;
    EXPECT_EQ(network.Receive(), CUdpNetwork::NotOpen);
    EXPECT_FALSE(network.GetModule().IsSenderOpen());
}

TEST(UdpNetwork, TheSenderResolvesTheAnnouncedAddress)
{
    CUdpNetwork network("127.255.255.255", 1024);
    EXPECT_TRUE(network.GetModule().IsSenderOpen());
    EXPECT_EQ(network.GetModule().GetDestination(), "127.255.255.255");
}

TEST_F(UdpNetworkTest, EachSenderKeepsItsLastAnnouncement)
{
    EXPECT_EQ(network.Receive(), ReadNothing);
    EXPECT_EQ(network.GetLastData(), nullptr);

    ASSERT_TRUE(Announce("127.0.0.2", L"FIRST"));
    ASSERT_EQ(Poll(), ReadComplete);
    ASSERT_TRUE(Announce("127.0.0.2", L"SECOND"));
    ASSERT_EQ(Poll(), ReadComplete);
    ASSERT_EQ(network.GetFoundServers().size(), 1u);
    EXPECT_EQ(network.GetFoundServers().at("127.0.0.2").Entry.Entry.Name, L"SECOND");

    ASSERT_TRUE(Announce("127.0.0.3", L"OTHER"));
    ASSERT_EQ(Poll(), ReadComplete);
    ASSERT_EQ(network.GetFoundServers().size(), 2u);
    EXPECT_EQ(network.GetFoundServers().at("127.0.0.3").Code, 14u);
    EXPECT_EQ(network.GetFoundServers().at("127.0.0.3").Kind, KindEntry);
    ASSERT_NE(network.GetLastSender(), nullptr);
    EXPECT_EQ(*network.GetLastSender(), "127.0.0.3");
    EXPECT_EQ(network.GetLastData(), &network.GetFoundServers().at("127.0.0.3"));

    // Nothing more: the table and the last block stay.
    EXPECT_EQ(network.Receive(), ReadNothing);
    EXPECT_EQ(*network.GetLastSender(), "127.0.0.3");

    network.Close();
    EXPECT_TRUE(network.GetFoundServers().empty());
    EXPECT_EQ(network.GetLastData(), nullptr);
    EXPECT_EQ(network.Receive(), CUdpNetwork::NotOpen);
}

TEST_F(UdpNetworkTest, AStrangersDatagramThrowsOnceAndIsNotAHost)
{
    const std::string head(64, '\0');
    for (const std::string& junk : {std::string(), std::string("hello"), head, std::string(3000, 'j')}) {
        ASSERT_TRUE(CUdpModule::SendTo(GetBroadcastAddress(), port, junk.data(), junk.size(), "127.0.0.4"));
        bool thrown = false;
        ASSERT_TRUE(WaitUntil([&] {
            try {
                return network.Receive() != ReadNothing;
            } catch (const std::exception&) {
                return thrown = true;
            }
        }));
        EXPECT_TRUE(thrown) << junk.size();
        EXPECT_EQ(network.Receive(), ReadNothing) << junk.size();
        EXPECT_TRUE(network.GetFoundServers().empty()) << junk.size();
    }
    ASSERT_TRUE(Announce("127.0.0.4", L"REAL"));
    ASSERT_EQ(Poll(), ReadComplete);
    EXPECT_EQ(network.GetFoundServers().at("127.0.0.4").Entry.Entry.Name, L"REAL");
}
