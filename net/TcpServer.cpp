#include "net/SocketTcpServer.h"

#include "net/PosixSocket.h"

#include <QtDebug>

#include <algorithm>
#include <iostream>
#include <mutex>

namespace Marevane {

CSocketTcpServer::Connection::~Connection()
{
    CloseSocket(Handle);
}

bool CSocketTcpServerModule::Send(Socket socket, const Packet& packet)
{
    if (socket == InvalidSocket) return false;
    return m_server.Write(m_server.Find(socket), packet);
}

void CSocketTcpServerModule::Listen(const std::string& address, std::uint16_t port)
{
    // A second call must not leave the first listener open.
    StopListening();
    m_listener = OpenListener(address, port);
}

void CSocketTcpServerModule::StopListening()
{
    if (m_listener >= 0) CloseSocket(m_listener);
    m_listener = -1;
}

std::uint16_t CSocketTcpServerModule::GetListeningPort() const
{
    return GetBoundPort(m_listener);
}

CSocketTcpServer::CSocketTcpServer() = default;

CSocketTcpServer::~CSocketTcpServer()
{
    try {
        Reset();
    } catch (const std::exception& error) {
        std::cerr << error.what() << std::endl;
    }
}

void CSocketTcpServer::SetPort(std::uint16_t port)
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    m_port = StoredPort(port);
}

std::uint16_t CSocketTcpServer::GetPort() const
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    return m_port;
}

void CSocketTcpServer::SetListenAddress(std::string address)
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    m_listenAddress = std::move(address);
}

void CSocketTcpServer::Listen()
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    m_module.Listen(m_listenAddress, PortInUse(m_port));
    m_closing = false;
}

void CSocketTcpServer::StopListening()
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    m_module.StopListening();
}

bool CSocketTcpServer::IsListening() const
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    return m_module.GetListener() >= 0;
}

std::uint16_t CSocketTcpServer::GetListeningPort() const
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    return m_module.GetListeningPort();
}

void CSocketTcpServer::SetDeadlines(std::chrono::milliseconds packet, std::chrono::milliseconds entry)
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    m_packetDeadline = packet;
    m_entryDeadline = entry;
}

void CSocketTcpServer::CloseAll()
{
    std::vector<ConnectionPtr> told;
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        m_closing = true;
        m_module.StopListening();
        // Every connection, entered or still waiting for its answer, hears
        // that the host has gone; left open it would never know.
        for (const auto& entry : m_connections) told.push_back(entry.second);
        // Every table that names a socket is emptied: the numbers of closed
        // sockets are handed to the next connections.
        m_connections.clear();
        m_entered.clear();
        m_waiting.clear();
        m_pending.clear();
        m_confirmed.clear();
        m_confirmedSockets.clear();
        m_addressSocket.clear();
        m_refused.clear();
        m_current = InvalidSocket;
    }
    // Outside the lock: a peer that does not read holds nobody up but this
    // call, and only until the write deadline.
    const Packet goodbye = CPacketConverter::GetInstance().Encode(MakeMessage(4));
    for (const ConnectionPtr& connection : told) {
        Write(connection, goodbye);
        ShutdownSocket(connection->Handle);
    }
}

void CSocketTcpServer::Reset()
{
    CloseAll();
}

void CSocketTcpServer::SetClosing(bool closing)
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    m_closing = closing;
}

bool CSocketTcpServer::IsClosing() const
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    return m_closing;
}

void CSocketTcpServer::Accept()
{
    ConnectionPtr connection;
    bool refused = false;
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        std::string address;
        std::uint16_t port = 0;
        const int handle = AcceptConnection(m_module.GetListener(), address, port);
        if (handle < 0) return;
        connection = std::make_shared<Connection>(handle, address, port);
        refused = m_refuseSecondConnection && IsAddressConnected(address) != 0;
        if (!refused) {
            const Socket socket = handle;
            m_connections[socket] = connection;
            m_waiting.push_back(socket);
            m_addressSocket[address] = socket;
        }
    }
    // A new connection's buffer is empty: these writes do not wait.
    if (refused) {
        Message message = MakeMessage(3);
        message.SecondCode = 21;
        Write(connection, CPacketConverter::GetInstance().Encode(message));
        return;
    }
    Write(connection, CPacketConverter::GetInstance().Encode(MakeMessage(1)));
}

CSocketTcpServer::ConnectionPtr CSocketTcpServer::Find(Socket socket) const
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    auto it = m_connections.find(socket);
    return it == m_connections.end() ? nullptr : it->second;
}

bool CSocketTcpServer::Write(const ConnectionPtr& connection, const Packet& packet)
{
    std::chrono::milliseconds deadline;
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        deadline = m_packetDeadline;
    }
    return Write(connection, packet, deadline);
}

bool CSocketTcpServer::Write(const ConnectionPtr& connection, const Packet& packet,
                             std::chrono::milliseconds deadline)
{
    if (!connection) return false;
    std::lock_guard<std::mutex> writing(connection->Writing);
    return SendAll(connection->Handle, packet.data(), packet.size(), deadline);
}

bool CSocketTcpServer::SendCode(Socket socket, MessageCode code, MessageCode reason)
{
    Message message = MakeMessage(code);
    message.SecondCode = reason;
    return SendMessageToSocket(socket, message);
}

bool CSocketTcpServer::SendEntryMessage(Socket socket, const EntryMessage& message)
{
    if (socket == InvalidSocket) return false;
    return m_module.Send(socket, CPacketConverter::GetInstance().Encode(message));
}

bool CSocketTcpServer::SendEntryMessageToId(std::uint64_t hostId, const EntryMessage& message)
{
    return SendEntryMessage(FindSocket(hostId), message);
}

bool CSocketTcpServer::SendToAll(const Packet& packet)
{
    std::vector<std::pair<Socket, ConnectionPtr>> targets;
    std::vector<bool> counts;
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        for (const auto& entry : m_entered) {
            auto it = m_connections.find(entry.second);
            if (it == m_connections.end()) continue;
            targets.emplace_back(entry.second, it->second);
            // A confirmed side that is lost is the network monitor's news.
            counts.push_back(m_confirmed.count(entry.first) == 0);
        }
    }
    bool result = true;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        if (Write(targets[i].second, packet)) continue;
        if (counts[i]) result = false;
        // Only the connection that failed, not a newer one under its number.
        if (Find(targets[i].first) == targets[i].second) Disconnect(targets[i].first);
    }
    return result;
}

void CSocketTcpServer::Disconnect(Socket socket)
{
    if (socket == InvalidSocket) return;
    ConnectionPtr connection;
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        connection = Find(socket);
        if (!connection) return;
        RemoveSocket(socket, false);
    }
    // Told outside the lock; the descriptor closes when the last holder lets go.
    Write(connection, CPacketConverter::GetInstance().Encode(MakeMessage(4)));
    ShutdownSocket(connection->Handle);
}

void CSocketTcpServer::RemoveSocket(Socket socket, bool shutDown)
{
    if (m_current == socket) m_current = InvalidSocket;
    for (auto* table : {&m_entered, &m_pending, &m_confirmed}) {
        for (auto it = table->begin(); it != table->end();) {
            it = it->second == socket ? table->erase(it) : std::next(it);
        }
    }
    m_confirmedSockets.erase(std::remove(m_confirmedSockets.begin(), m_confirmedSockets.end(), socket),
                             m_confirmedSockets.end());
    m_waiting.erase(std::remove(m_waiting.begin(), m_waiting.end(), socket), m_waiting.end());
    ForgetPeer(socket);
    auto it = m_connections.find(socket);
    if (it == m_connections.end()) return;
    // Reads and writes that still hold it fail from now on.
    if (shutDown) ShutdownSocket(it->second->Handle);
    m_connections.erase(it);
}

bool CSocketTcpServer::ForgetPeer(Socket socket)
{
    auto it = m_connections.find(socket);
    if (it == m_connections.end()) return false;
    auto owner = m_addressSocket.find(it->second->Address);
    if (owner != m_addressSocket.end() && owner->second == socket) m_addressSocket.erase(owner);
    return true;
}

std::size_t CSocketTcpServer::IsAddressConnected(const std::string& address) const
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    return m_addressSocket.count(address) != 0 || m_refused.count(address) != 0 ? 1 : 0;
}

std::size_t CSocketTcpServer::CountWaitingConnections() const
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    return m_waiting.size();
}

std::size_t CSocketTcpServer::CountConnections() const
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    return m_connections.size();
}

bool CSocketTcpServer::IsConfirmed(std::uint64_t hostId) const
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    return m_confirmed.count(hostId) != 0;
}

bool CSocketTcpServer::IsPending(std::uint64_t hostId) const
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    return m_pending.count(hostId) != 0;
}

Socket CSocketTcpServer::GetCurrentSocket() const
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    return m_current;
}

Socket CSocketTcpServer::FindSocket(std::uint64_t hostId) const
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    auto it = m_entered.find(hostId);
    return it == m_entered.end() ? InvalidSocket : it->second;
}

std::vector<Socket> CSocketTcpServer::GetSockets() const
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    return m_confirmedSockets;
}

std::string CSocketTcpServer::GetClientAddress(std::uint64_t hostId) const
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    const ConnectionPtr connection = Find(FindSocket(hostId));
    return connection ? connection->Address : std::string();
}

std::uint16_t CSocketTcpServer::GetClientPort(std::uint64_t hostId) const
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    const ConnectionPtr connection = Find(FindSocket(hostId));
    return connection ? connection->Port : 0;
}

const std::string& CSocketTcpServer::GetLocalAddress()
{
    static std::string address;
    address.clear();
    QueryLocalAddress(address);
    return address;
}

bool CSocketTcpServer::IsLocalAddress(const std::string& address)
{
    if (address == "127.0.0.1") return true;
    try {
        return address == GetLocalAddress();
    } catch (const std::runtime_error&) {
        return false;
    }
}

ReceivedData CSocketTcpServer::GetClientData(Socket socket) const
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    const ConnectionPtr connection = Find(socket);
    return connection ? connection->Data : ReceivedData();
}

MessageCode CSocketTcpServer::ReadPacket(Connection& connection)
{
    Packet packet;
    const MessageCode result = connection.Reader.Poll(connection.Handle, packet, m_packetDeadline);
    if (result != ReadComplete) return result;
    // Whatever the cipher or the serializer make of a peer's bytes stays
    // here: a packet that cannot be read is a broken connection.
    try {
        CPacketConverter::GetInstance().Decode(connection.Data, packet);
    } catch (const std::exception& error) {
        qWarning("TCP server: a packet from %s could not be read: %s", connection.Address.c_str(),
                 error.what());
        return ReadFailed;
    } catch (...) {
        qWarning("TCP server: a packet from %s could not be read", connection.Address.c_str());
        return ReadFailed;
    }
    return ReadComplete;
}

MessageCode CSocketTcpServer::Receive(Socket socket)
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    const ConnectionPtr connection = Find(socket);
    if (!connection) return ReadFailed;
    const MessageCode result = ReadPacket(*connection);
    if (result == ReadFailed) {
        RemoveSocket(socket);
        return ReadFailed;
    }
    if (result != ReadComplete) return result;
    m_current = socket;
    // A peer that leaves says so with a plain code 4.
    const ReceivedData& data = connection->Data;
    if (data.Kind == KindMessage && (data.Plain.Code == 4 || data.Plain.Code == ReadFailed))
        RemoveSocket(socket);
    return ReadComplete;
}

MessageCode CSocketTcpServer::ReceiveFrom(std::uint64_t hostId)
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    const Socket socket = FindSocket(hostId);
    // A side without a connection reads as a broken one.
    return socket == InvalidSocket ? ReadFailed : Receive(socket);
}

MessageCode CSocketTcpServer::GetReceivedCode(std::uint64_t hostId) const
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    const ConnectionPtr connection = Find(FindSocket(hostId));
    return connection ? connection->Data.Code : ReadFailed;
}

Message CSocketTcpServer::GetReceivedMessage(std::uint64_t hostId) const
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    const ConnectionPtr connection = Find(FindSocket(hostId));
    return connection ? connection->Data.GetMessage() : Message();
}

EntryMessage CSocketTcpServer::GetEntryMessage(std::uint64_t hostId) const
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    const ConnectionPtr connection = Find(FindSocket(hostId));
    return connection ? connection->Data.Entry : EntryMessage();
}

FleetEditMessage CSocketTcpServer::GetFleetEditMessage(std::uint64_t hostId) const
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    const ConnectionPtr connection = Find(FindSocket(hostId));
    if (connection) return connection->Data.FleetEdit;
    FleetEditMessage none;
    none.Reset();
    return none;
}

void CSocketTcpServer::ClearReceivedMessage(std::uint64_t hostId)
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    if (const ConnectionPtr connection = Find(FindSocket(hostId))) connection->Data.Clear();
}

} // namespace Marevane
