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

TEST_F(UdpNetworkTest, AStrangersDatagramIsIgnoredAndCounted)
{
    // Empty, short, a head of zeros, a long run of junk, a real packet cut
    // short and one with a flipped bit: none is a host, none throws.
    Packet real = CPacketConverter::GetInstance().Encode(EntryMessage(14));
    Packet flipped = real;
    flipped[100] = static_cast<char>(flipped[100] ^ 4);
    const std::string junk[] = {std::string(),
                                std::string("hello"),
                                std::string(64, '\0'),
                                std::string(3000, 'j'),
                                real.substr(0, real.size() - 1),
                                flipped};
    std::uint64_t ignored = 0;
    for (const std::string& datagram : junk) {
        SCOPED_TRACE(datagram.size());
        ASSERT_TRUE(
            CUdpModule::SendTo(GetBroadcastAddress(), port, datagram.data(), datagram.size(), "127.0.0.4"));
        ++ignored;
        ASSERT_TRUE(WaitUntil([&] {
            EXPECT_EQ(network.Receive(), ReadNothing);
            return network.CountIgnored() == ignored;
        }));
        EXPECT_TRUE(network.GetFoundServers().empty());
        EXPECT_EQ(network.GetLastData(), nullptr);
    }
    // Junk ahead of an announcement in the queue does not hide it.
    const std::string head(64, '\0');
    ASSERT_TRUE(CUdpModule::SendTo(GetBroadcastAddress(), port, head.data(), head.size(), "127.0.0.4"));
    ASSERT_TRUE(Announce("127.0.0.4", L"REAL"));
    ASSERT_EQ(Poll(), ReadComplete);
    EXPECT_EQ(network.GetFoundServers().at("127.0.0.4").Entry.Entry.Name, L"REAL");
    EXPECT_EQ(network.CountIgnored(), ignored + 1);

    // A broken datagram from a known sender leaves its announcement as it was.
    ASSERT_TRUE(CUdpModule::SendTo(GetBroadcastAddress(), port, flipped.data(), flipped.size(), "127.0.0.4"));
    ASSERT_TRUE(WaitUntil([&] {
        network.Receive();
        return network.CountIgnored() == ignored + 2;
    }));
    EXPECT_EQ(network.GetFoundServers().at("127.0.0.4").Entry.Entry.Name, L"REAL");
}

TEST(UdpNetwork, TheTableOfSendersIsBoundedOldestOut)
{
    CUdpNetwork network;
    auto announce = [&network](int host) {
        EntryMessage entry(14);
        entry.Entry.Name = L"H" + std::to_wstring(host);
        return network.TakeDatagram(CPacketConverter::GetInstance().Encode(entry),
                                    "127.0." + std::to_string(host / 200) + "." +
                                        std::to_string(host % 200 + 1));
    };
    const int senders = static_cast<int>(CUdpNetwork::MaxSenders);
    for (int host = 0; host < senders; ++host) ASSERT_TRUE(announce(host));
    // The first sender is heard again: the second one is now the oldest.
    ASSERT_TRUE(announce(0));
    for (int host = senders; host < senders + 500; ++host) {
        ASSERT_TRUE(announce(host));
        ASSERT_EQ(network.GetFoundServers().size(), CUdpNetwork::MaxSenders);
        if (host == senders) {
            EXPECT_EQ(network.GetFoundServers().count("127.0.0.1"), 1u);
            EXPECT_EQ(network.GetFoundServers().count("127.0.0.2"), 0u);
        }
    }
    ASSERT_NE(network.GetLastData(), nullptr);
    EXPECT_EQ(network.GetLastData()->Entry.Entry.Name, L"H" + std::to_wstring(senders + 499));
    EXPECT_EQ(network.CountIgnored(), 0u);
}
