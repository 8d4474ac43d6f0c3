// The host's end of a network battle over real TCP connections. It listens
// on one port, accepts connections into a waiting queue, admits the sides
// that enter through them, and reads and writes whole packets. Every socket
// is non-blocking and polled; nothing here runs a thread of its own.
#pragma once

#include "net/TcpServer.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace Marevane {

// The listening socket and the writing of packets to a connection.
class CSocketTcpServerModule : public CTcpServerModule {
  public:
    bool Send(Socket socket, const Packet& packet) override;

    void Listen(const std::string& address, std::uint16_t port);
    void StopListening();
    int GetListener() const { return m_listener; }
    // The port really bound (host order); 0 when not listening.
    std::uint16_t GetListeningPort() const;

    std::chrono::milliseconds Stall{3000};

  private:
    int m_listener = -1;
};

class CSocketTcpServer : public CTcpServer {
  public:
    CSocketTcpServer() = default;
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
    bool IsListening() const { return m_module.GetListener() >= 0; }
    std::uint16_t GetListeningPort() const { return m_module.GetListeningPort(); }
    // How long a packet that has begun to arrive, or a write, may stall
    // before the connection counts as broken.
    void SetStallTimeout(std::chrono::milliseconds stall);

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

    // Reading one connection into its block.
    MessageCode Receive(Socket socket);
    // The connection's block, made empty on first use.
    ReceivedData& GetClientData(Socket socket);
    const EntryMessage& GetEntryMessage(std::uint64_t hostId) const;

    std::size_t IsAddressConnected(const std::string& address) const;
    std::size_t CountWaitingConnections() const;
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
    const Message& GetReceivedMessage(std::uint64_t hostId) const override;
    FleetEditMessage& GetFleetEditMessage(std::uint64_t hostId) override;
    void ClearReceivedMessage(std::uint64_t hostId) override;
    MessageCode ReceiveEntry() override;
    EntryMessage& GetWaitingEntryMessage() override;
    bool AcceptEntry(EntryMessage& answer) override;
    bool RejectEntry(EntryMessage& answer, MessageCode reason) override;
    // Per-socket sending reaches a confirmed side, and a failed send to all
    // towards it no longer counts as a failure.
    void ConfirmEntry(std::uint64_t hostId) override;
    std::string GetClientAddress(std::uint64_t hostId) const override;
    std::uint16_t GetClientPort(std::uint64_t hostId) const override;

  private:
    // Forgets the socket everywhere but in the waiting queue, and closes it
    // unless it still waits there (entry admission closes it when it takes
    // it off, so its number cannot be given to a newer connection first).
    void RemoveSocket(Socket socket);
    bool ForgetPeer(Socket socket);
    void CloseUnlessWaiting(Socket socket);
    const ReceivedData* FindData(std::uint64_t hostId) const;

    CSocketTcpServerModule m_module;
    Socket m_current = InvalidSocket;
    std::map<std::uint64_t, Socket> m_entered;
    std::deque<Socket> m_waiting;
    std::map<std::uint64_t, Socket> m_pending;
    std::vector<Socket> m_confirmedSockets;
    std::map<std::uint64_t, Socket> m_confirmed;
    std::map<Socket, std::string> m_peerAddress;
    std::map<Socket, std::uint16_t> m_peerPort;
    std::map<std::string, Socket> m_addressSocket;
    std::uint16_t m_port = 0;
    std::string m_listenAddress;
    bool m_refuseSecondConnection = true;
    bool m_closing = false;
    std::map<Socket, ReceivedData> m_received;
    ReceivedData m_none;
    ReceivedData m_spare;
};

} // namespace Marevane
