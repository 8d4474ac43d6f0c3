// The host's end of a network battle over real TCP connections. It listens
// on one port, accepts connections into a waiting queue, admits the sides
// that enter through them, and reads and writes whole packets. Every socket
// is non-blocking and polled; nothing here runs a thread of its own, and no
// call waits for a peer while it holds the server's lock: a read takes what
// has arrived and keeps the rest of a packet for the next poll.
#pragma once

#include "net/PacketStream.h"
#include "net/TcpServer.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace Marevane {

// The listening socket and the writing of packets to a connection.
class CSocketTcpServer;
class CSocketTcpServerModule : public CTcpServerModule {
  public:
    explicit CSocketTcpServerModule(CSocketTcpServer& server) : m_server(server) {}

    // Waits for the peer at most the write deadline, without the server's
    // lock.
    bool Send(Socket socket, const Packet& packet) override;

    void Listen(const std::string& address, std::uint16_t port);
    void StopListening();
    int GetListener() const { return m_listener; }
    // The port really bound (host order); 0 when not listening.
    std::uint16_t GetListeningPort() const;

  private:
    CSocketTcpServer& m_server;
    int m_listener = -1;
};

class CSocketTcpServer : public CTcpServer {
  public:
    using Clock = std::chrono::steady_clock;
    // How long a new connection may take to send its whole entry.
    static constexpr std::chrono::milliseconds EntryDeadline{10000};
    static constexpr std::chrono::milliseconds HandshakeWriteDeadline{10};

    CSocketTcpServer();
    ~CSocketTcpServer() override;

    CSocketTcpServer(const CSocketTcpServer&) = delete;
    CSocketTcpServer& operator=(const CSocketTcpServer&) = delete;

    // Listening.
    void SetPort(std::uint16_t port);
    std::uint16_t GetPort() const;
    // Listens only on this address (empty: on every interface).
    void SetListenAddress(std::string address);
    // Throws std::runtime_error when the port cannot be taken.
    void Listen();
    void StopListening();
    bool IsListening() const;
    std::uint16_t GetListeningPort() const;
    // How long a packet may take from its first byte to its last, and a
    // write to a connection, before the connection counts as broken; and
    // how long a new connection may take to deliver its entry.
    void SetDeadlines(std::chrono::milliseconds packet, std::chrono::milliseconds entry);

    // Tells every connection code 4, closes it and forgets it, and stops
    // listening.
    void CloseAll();
    // CloseAll, and forgets what the connections had sent.
    void Reset();
    void SetClosing(bool closing);

    // Accepts at most one pending connection into the waiting queue and
    // answers it code 1, or code 3 with reason 21 when its machine is
    // already connected.
    void Accept();

    // Sending.
    bool SendCode(Socket socket, MessageCode code, MessageCode reason = 0);
    bool SendEntryMessage(Socket socket, const EntryMessage& message);
    bool SendEntryMessageToId(std::uint64_t hostId, const EntryMessage& message);

    // Reads one connection into its block: ReadNothing, ReadComplete or
    // ReadFailed (the connection is then gone).
    MessageCode Receive(Socket socket);
    // A copy of the connection's block; an empty one when it has none.
    ReceivedData GetClientData(Socket socket) const;

    std::size_t IsAddressConnected(const std::string& address) const;
    std::size_t CountWaitingConnections() const;
    std::size_t CountConnections() const;
    bool IsConfirmed(std::uint64_t hostId) const;
    bool IsPending(std::uint64_t hostId) const;
    Socket GetCurrentSocket() const;

    // This machine's own IPv4 address; one string refreshed by every call.
    static const std::string& GetLocalAddress();
    static bool IsLocalAddress(const std::string& address);

    // The seam the battle model uses.
    CTcpServerModule& GetModule() override { return m_module; }
    bool IsClosing() const override;
    bool SendToAll(const Packet& packet) override;
    void Disconnect(Socket socket) override;
    Socket FindSocket(std::uint64_t hostId) const override;
    std::vector<Socket> GetSockets() const override;
    MessageCode ReceiveFrom(std::uint64_t hostId) override;
    MessageCode GetReceivedCode(std::uint64_t hostId) const override;
    Message GetReceivedMessage(std::uint64_t hostId) const override;
    EntryMessage GetEntryMessage(std::uint64_t hostId) const override;
    FleetEditMessage GetFleetEditMessage(std::uint64_t hostId) const override;
    void ClearReceivedMessage(std::uint64_t hostId) override;
    MessageCode ReceiveEntry() override;
    EntryMessage GetWaitingEntryMessage() const override;
    bool AcceptEntry(EntryMessage& answer) override;
    bool RejectEntry(EntryMessage& answer, MessageCode reason) override;
    // Per-socket sending reaches a confirmed side, and a failed send to all
    // towards it no longer counts as a failure.
    void ConfirmEntry(std::uint64_t hostId) override;
    std::string GetClientAddress(std::uint64_t hostId) const override;
    std::uint16_t GetClientPort(std::uint64_t hostId) const override;

  private:
    friend class CSocketTcpServerModule;
    struct Connection;
    using ConnectionPtr = std::shared_ptr<Connection>;

    ConnectionPtr Find(Socket socket) const;
    // Writes to one connection without the server's lock; writes to one
    // connection never interleave.
    bool Write(const ConnectionPtr& connection, const Packet& packet);
    // The answers of entry admission are written under the lock: a peer
    // whose buffer cannot take a few KiB at once has broken the handshake.
    bool Write(const ConnectionPtr& connection, const Packet& packet, std::chrono::milliseconds deadline);
    // Forgets the socket everywhere and shuts it down (unless the caller
    // still has something to tell it); its descriptor is closed once nobody
    // holds it any more, so that its number cannot pass to a newer
    // connection while someone still writes to it.
    void RemoveSocket(Socket socket, bool shutDown = true);
    bool ForgetPeer(Socket socket);
    // Reads one packet of a connection and decodes it into its block.
    MessageCode ReadPacket(Connection& connection);
    // Reads a waiting connection; false when it broke, sent something that
    // is no entry, or let its entry deadline pass.
    bool PollWaiting(Connection& connection, Clock::time_point now);
    // The waiting connection the next answer goes to: the oldest whose
    // entry has arrived, else the oldest.
    Socket EntryTarget() const;
    bool Refuse(Socket socket, EntryMessage& answer, MessageCode reason);

    CSocketTcpServerModule m_module{*this};
    Socket m_current = InvalidSocket;
    std::map<Socket, ConnectionPtr> m_connections;
    std::map<std::uint64_t, Socket> m_entered;
    std::deque<Socket> m_waiting;
    std::map<std::uint64_t, Socket> m_pending;
    std::vector<Socket> m_confirmedSockets;
    std::map<std::uint64_t, Socket> m_confirmed;
    std::map<std::string, Socket> m_addressSocket;
    // Machines refused for connecting twice; by address, so that no later
    // connection that gets a closed one's number is taken for it.
    std::set<std::string> m_refused;
    std::uint16_t m_port = 0;
    std::string m_listenAddress;
    bool m_refuseSecondConnection = true;
    bool m_closing = false;
    std::chrono::milliseconds m_packetDeadline = PacketDeadline;
    std::chrono::milliseconds m_entryDeadline = EntryDeadline;
};

// One accepted connection: its descriptor, its peer, the packet being read
// and the last packets it sent.
struct CSocketTcpServer::Connection {
    Connection(int handle, std::string address, std::uint16_t port)
        : Handle(handle), Address(std::move(address)), Port(port), Accepted(Clock::now())
    {
    }
    // The descriptor closes with the last holder of the connection.
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    const int Handle;
    const std::string Address;
    const std::uint16_t Port;
    const Clock::time_point Accepted;
    CPacketReader Reader;
    ReceivedData Data;
    // A waiting connection whose whole entry has arrived.
    bool EntryReady = false;
    std::mutex Writing;
};

} // namespace Marevane
