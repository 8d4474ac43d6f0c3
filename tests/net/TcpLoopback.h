// Loopback helpers of the TCP tests: a listener on a free port of
// 127.0.0.1, and polling with a deadline instead of sleeping.
#pragma once

#include "net/PacketStream.h"
#include "net/PosixSocket.h"
#include "net/SocketTcpClient.h"
#include "net/SocketTcpServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <unistd.h>

namespace Marevane::Testing {

// Polls until the condition holds; false after the timeout.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout = std::chrono::milliseconds(3000))
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

// Listens on 127.0.0.1 on the first free port of a range that differs
// between processes, so that test binaries running side by side do not
// meet.
inline std::uint16_t ListenOnLoopback(CSocketTcpServer& server)
{
    server.SetListenAddress("127.0.0.1");
    const unsigned base = 20000 + (static_cast<unsigned>(getpid()) * 389u) % 30000u;
    for (unsigned i = 0; i < 200; ++i) {
        const auto port = static_cast<std::uint16_t>(base + i * 7);
        server.SetPort(port);
        try {
            server.Listen();
            return port;
        } catch (const std::runtime_error&) {
        }
    }
    throw std::runtime_error("no free loopback port");
}

// Polls the client until a whole packet arrived, accepting on the server
// meanwhile; the read result.
inline MessageCode ReceiveOnClient(CSocketTcpClient& client, CSocketTcpServer* server = nullptr)
{
    MessageCode result = ReadNothing;
    WaitUntil([&] {
        if (server) server->Accept();
        result = client.Receive();
        return result != ReadNothing;
    });
    return result;
}

// Polls the server until a whole packet arrived from that side.
inline MessageCode ReceiveOnServer(CSocketTcpServer& server, std::uint64_t hostId)
{
    MessageCode result = ReadNothing;
    WaitUntil([&] {
        result = server.ReceiveFrom(hostId);
        return result != ReadNothing;
    });
    return result;
}

inline MessageCode ReceiveEntryOnServer(CSocketTcpServer& server)
{
    MessageCode result = ReadNothing;
    WaitUntil([&] {
        result = server.ReceiveEntry();
        return result != ReadNothing;
    });
    return result;
}

inline EntryMessage MakeEntry(std::uint64_t hostId, std::uint32_t type)
{
    EntryMessage entry(14);
    entry.Entry.HostId = hostId;
    entry.Entry.Type = type;
    entry.Entry.Name = L"SIDE";
    return entry;
}

// Connects the client from `from` and waits for the host's first answer.
inline MessageCode Join(CSocketTcpServer& server, CSocketTcpClient& client, std::uint16_t port,
                        const std::string& from = "127.0.0.1")
{
    client.SetAddress("127.0.0.1");
    client.SetPort(port);
    client.SetLocalAddress(from);
    if (!client.Connect()) return ReadFailed;
    if (ReceiveOnClient(client, &server) != ReadComplete) return ReadFailed;
    return client.GetReceivedData().Code;
}

// Connects, sends the entry and has the host read it; the connection then
// waits for its answer.
inline void Enter(CSocketTcpServer& server, CSocketTcpClient& client, std::uint16_t port,
                  std::uint64_t hostId, std::uint32_t type, const std::string& from = "127.0.0.1")
{
    ASSERT_EQ(Join(server, client, port, from), 1u);
    ASSERT_TRUE(client.Send(CPacketConverter::GetInstance().Encode(MakeEntry(hostId, type))));
    ASSERT_EQ(ReceiveEntryOnServer(server), 14u);
}

// A peer made of a bare socket, which can vanish without a word.
struct RawPeer {
    int Handle = -1;

    RawPeer(CSocketTcpServer& server, std::uint16_t port, const std::string& from)
    {
        std::string error;
        Handle = OpenConnection("127.0.0.1", port, from, error);
        const std::size_t before = server.CountWaitingConnections();
        WaitUntil([&] {
            server.Accept();
            return server.CountWaitingConnections() > before;
        });
    }
    ~RawPeer() { Vanish(); }

    bool Send(const Packet& packet) const
    {
        return SendAll(Handle, packet.data(), packet.size(), std::chrono::milliseconds(1000));
    }
    void Vanish()
    {
        CloseSocket(Handle);
        Handle = -1;
    }
};

// A bare peer that has entered as a player and been accepted.
inline std::unique_ptr<RawPeer> EnterRaw(CSocketTcpServer& server, std::uint16_t port, std::uint64_t hostId,
                                         const std::string& from)
{
    auto peer = std::make_unique<RawPeer>(server, port, from);
    peer->Send(CPacketConverter::GetInstance().Encode(MakeEntry(hostId, UnitManual)));
    if (ReceiveEntryOnServer(server) != 14u) return nullptr;
    EntryMessage answer = server.GetWaitingEntryMessage();
    if (!server.AcceptEntry(answer)) return nullptr;
    return peer;
}

} // namespace Marevane::Testing
