#include "net/PacketStream.h"
#include "net/PosixSocket.h"
#include "tests/net/TcpLoopback.h"

#include <gtest/gtest.h>

#include <thread>

using namespace Marevane;
using namespace Marevane::Testing;
using namespace std::chrono_literals;

namespace {

// A frame of `size` bytes: the length head, then a filler that names it.
std::string Frame(std::uint64_t size, char fill)
{
    std::string bytes(static_cast<std::size_t>(size), fill);
    bytes[0] = 1;
    for (int i = 0; i < 8; ++i) bytes[1 + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
    return bytes;
}

// Two ends of one loopback connection, both non-blocking.
struct Pipe {
    int listener = -1;
    int near = -1;
    int far = -1;

    Pipe()
    {
        CSocketTcpServer probe;
        const std::uint16_t port = ListenOnLoopback(probe);
        probe.StopListening();
        listener = OpenListener("127.0.0.1", port);
        std::string error;
        near = OpenConnection("127.0.0.1", port, "", error);
        std::string address;
        std::uint16_t peerPort = 0;
        WaitUntil([&] { return (far = AcceptConnection(listener, address, peerPort)) >= 0; });
    }
    ~Pipe()
    {
        CloseSocket(near);
        CloseSocket(far);
        CloseSocket(listener);
    }
    void Write(const std::string& bytes) const
    {
        ASSERT_TRUE(SendAll(near, bytes.data(), bytes.size(), 1000ms));
    }
};

// Polls the far end until a packet is complete or the connection failed.
MessageCode ReadPacket(const Pipe& pipe, CPacketReader& reader, std::string& packet,
                       std::chrono::milliseconds deadline = 2000ms)
{
    MessageCode result = ReadNothing;
    WaitUntil([&] { return (result = reader.Poll(pipe.far, packet, deadline)) != ReadNothing; });
    return result;
}

} // namespace

TEST(TcpPorts, LowPortsAreKeptAsZeroAndZeroMeansTheDefault)
{
    struct Case {
        std::uint16_t Set, Stored, Used;
    };
    for (const Case& c : {Case{0, 0, 18543}, Case{80, 0, 18543}, Case{1023, 0, 18543}, Case{1024, 1024, 1024},
                          Case{40000, 40000, 40000}}) {
        CSocketTcpServer server;
        CSocketTcpClient client;
        server.SetPort(c.Set);
        client.SetPort(c.Set);
        EXPECT_EQ(server.GetPort(), c.Stored) << c.Set;
        EXPECT_EQ(client.GetPort(), c.Stored) << c.Set;
        EXPECT_EQ(PortInUse(server.GetPort()), c.Used) << c.Set;
    }
}

TEST(TcpPorts, ServerListensOnTheDefaultPortWhenNoneIsSet)
{
    CSocketTcpServer server;
    server.SetListenAddress("127.0.0.1");
    server.SetPort(1023);
    try {
        server.Listen();
    } catch (const std::runtime_error&) {
        GTEST_SKIP() << "the default port is taken on this machine";
    }
    EXPECT_EQ(server.GetListeningPort(), DefaultPort);
}

TEST(TcpPorts, ListeningOnATakenPortFails)
{
    CSocketTcpServer first;
    const std::uint16_t port = ListenOnLoopback(first);
    CSocketTcpServer second;
    second.SetListenAddress("127.0.0.1");
    second.SetPort(port);
    try {
        second.Listen();
        FAIL() << "a taken port was reported as listening";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "ListenFailedException: bind() error!");
    }
    EXPECT_FALSE(second.IsListening());
}

TEST(TcpSocket, SingleReadsTellNothingPartAndWhole)
{
    Pipe pipe;
    char buffer[8] = {};
    std::size_t received = 0;
    EXPECT_EQ(ReceiveSome(pipe.far, buffer, sizeof buffer, received), ReadNothing);
    pipe.Write("abc");
    ASSERT_TRUE(WaitReadable(pipe.far, 1000ms));
    EXPECT_EQ(ReceiveSome(pipe.far, buffer, sizeof buffer, received), ReadPartial);
    EXPECT_EQ(received, 3u);
    EXPECT_EQ(ReceiveSome(pipe.far, buffer, sizeof buffer, received), ReadPartial); // nothing new yet
    pipe.Write("defgh");
    ASSERT_TRUE(WaitReadable(pipe.far, 1000ms));
    EXPECT_EQ(ReceiveSome(pipe.far, buffer, sizeof buffer, received), ReadComplete);
    EXPECT_EQ(std::string(buffer, 8), "abcdefgh");

    CloseSocket(pipe.near);
    pipe.near = -1;
    received = 0;
    ASSERT_TRUE(WaitReadable(pipe.far, 1000ms));
    EXPECT_EQ(ReceiveSome(pipe.far, buffer, sizeof buffer, received), ReadFailed);
}

TEST(TcpSocket, PacketsSplitAcrossReadsAreJoined)
{
    Pipe pipe;
    const std::string packet = Frame(5000, 'p');
    CPacketReader reader;
    std::string read;
    EXPECT_EQ(reader.Poll(pipe.far, read), ReadNothing);
    // Part of the head first, the rest of the head and some body later,
    // then the remainder: each poll keeps what came and waits for nothing.
    for (const auto& part : {std::pair<std::size_t, std::size_t>{0, 5}, {5, 100}, {105, 4895}}) {
        pipe.Write(packet.substr(part.first, part.second));
        ASSERT_TRUE(WaitReadable(pipe.far, 1000ms));
        if (part.first + part.second < packet.size()) {
            EXPECT_EQ(reader.Poll(pipe.far, read), ReadNothing);
            EXPECT_TRUE(reader.HasPartial());
        }
    }
    EXPECT_EQ(ReadPacket(pipe, reader, read), ReadComplete);
    EXPECT_EQ(read, packet);
    EXPECT_FALSE(reader.HasPartial());
    EXPECT_EQ(reader.Poll(pipe.far, read), ReadNothing);
}

TEST(TcpSocket, SeveralPacketsInOneWriteAreReadOneByOne)
{
    Pipe pipe;
    const std::string first = Frame(64, 'a');
    const std::string second = Frame(300, 'b');
    const std::string third = Frame(70000, 'c');
    pipe.Write(first + second + third);
    CPacketReader reader;
    std::string read;
    for (const std::string* expected : {&first, &second, &third}) {
        ASSERT_EQ(ReadPacket(pipe, reader, read), ReadComplete);
        EXPECT_EQ(read, *expected);
    }
    EXPECT_EQ(reader.Poll(pipe.far, read), ReadNothing);
}

TEST(TcpSocket, ImpossibleLengthsAndStalledPacketsFail)
{
    for (const std::uint64_t size : {std::uint64_t(0), std::uint64_t(63), MaxPacketSize + 1}) {
        Pipe pipe;
        std::string head = Frame(64, 'x');
        for (int i = 0; i < 8; ++i) head[1 + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
        pipe.Write(head);
        CPacketReader reader;
        std::string read;
        EXPECT_EQ(ReadPacket(pipe, reader, read), ReadFailed) << size;
    }
    // A packet that does not complete within the deadline of its first
    // byte, however its bytes trickle in.
    Pipe pipe;
    const std::string packet = Frame(200, 's');
    CPacketReader reader;
    std::string read;
    const auto start = std::chrono::steady_clock::now();
    MessageCode result = ReadNothing;
    for (std::size_t sent = 0; sent < 150 && result == ReadNothing; ++sent) {
        pipe.Write(packet.substr(sent, 1));
        std::this_thread::sleep_for(2ms);
        result = reader.Poll(pipe.far, read, 30ms);
    }
    EXPECT_EQ(result, ReadFailed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2000ms);
}

TEST(TcpSocket, WritingToAClosedPeerFailsWithoutKillingTheProgram)
{
    Pipe pipe;
    CloseSocket(pipe.far);
    pipe.far = -1;
    const std::string bytes = Frame(1000, 'w');
    EXPECT_TRUE(WaitUntil([&] { return !SendAll(pipe.near, bytes.data(), bytes.size(), 100ms); }));
}

TEST(TcpSocket, ErrorTextsComeFromTheSystem)
{
    EXPECT_FALSE(GetSocketErrorText(ECONNREFUSED).empty());
    EXPECT_NE(GetSocketErrorText(ECONNREFUSED), GetSocketErrorText(ETIMEDOUT));
}
