#include "net/SocketTcpServer.h"

#include "net/PacketStream.h"
#include "net/PosixSocket.h"

#include <algorithm>
#include <iostream>

namespace Marevane {

namespace {
int Handle(Socket socket)
{
    return static_cast<int>(socket);
}
} // namespace

bool CSocketTcpServerModule::Send(Socket socket, const Packet& packet)
{
    if (socket == InvalidSocket) return false;
    return SendAll(Handle(socket), packet.data(), packet.size(), Stall);
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

void CSocketTcpServer::SetStallTimeout(std::chrono::milliseconds stall)
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    m_module.Stall = stall;
}

void CSocketTcpServer::CloseAll()
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    m_closing = true;
    m_module.StopListening();
    for (const auto& entry : m_entered) {
        SendCode(entry.second, 4);
        CloseSocket(Handle(entry.second));
    }
    // Connections still waiting for their answer are told and closed too:
    // left open they would never hear that the host has gone.
    for (Socket socket : m_waiting) {
        SendCode(socket, 4);
        CloseSocket(Handle(socket));
    }
    // Every table that names a socket is emptied: the numbers of closed
    // sockets are handed to the next connections.
    m_entered.clear();
    m_waiting.clear();
    m_pending.clear();
    m_confirmed.clear();
    m_confirmedSockets.clear();
    m_peerAddress.clear();
    m_peerPort.clear();
    m_addressSocket.clear();
    m_current = InvalidSocket;
}

void CSocketTcpServer::Reset()
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    CloseAll();
    m_received.clear();
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
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    std::string address;
    std::uint16_t port = 0;
    const int handle = AcceptConnection(m_module.GetListener(), address, port);
    if (handle < 0) return;
    const Socket socket = handle;
    if (m_refuseSecondConnection && IsAddressConnected(address) != 0) {
        SendCode(socket, 3, 21);
        CloseSocket(handle);
        return;
    }
    // A number once used by a closed connection starts afresh.
    m_received.erase(socket);
    m_waiting.push_back(socket);
    m_peerAddress[socket] = address;
    m_addressSocket[address] = socket;
    m_peerPort[socket] = port;
    SendCode(socket, 1);
}

bool CSocketTcpServer::SendCode(Socket socket, MessageCode code, MessageCode reason)
{
    Message message = MakeMessage(code);
    message.SecondCode = reason;
    return m_module.Send(socket, CPacketConverter::GetInstance().Encode(message));
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
    std::vector<Socket> failed;
    bool result = true;
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        for (const auto& entry : m_entered) {
            if (entry.second == InvalidSocket || m_module.Send(entry.second, packet)) continue;
            failed.push_back(entry.second);
            // A confirmed side that is lost is the network monitor's news.
            if (m_confirmed.count(entry.first) == 0) result = false;
        }
        for (Socket socket : failed) Disconnect(socket);
    }
    return result;
}

void CSocketTcpServer::Disconnect(Socket socket)
{
    if (socket == InvalidSocket) return;
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    SendCode(socket, 4);
    ShutdownSocket(Handle(socket));
    RemoveSocket(socket);
}

void CSocketTcpServer::CloseUnlessWaiting(Socket socket)
{
    if (std::find(m_waiting.begin(), m_waiting.end(), socket) != m_waiting.end()) {
        ShutdownSocket(Handle(socket));
    } else {
        CloseSocket(Handle(socket));
    }
}

void CSocketTcpServer::RemoveSocket(Socket socket)
{
    if (m_current == socket) m_current = InvalidSocket;
    for (auto* table : {&m_entered, &m_pending, &m_confirmed}) {
        for (auto it = table->begin(); it != table->end();) {
            it = it->second == socket ? table->erase(it) : std::next(it);
        }
    }
    m_confirmedSockets.erase(std::remove(m_confirmedSockets.begin(), m_confirmedSockets.end(), socket),
                             m_confirmedSockets.end());
    m_received.erase(socket);
    ForgetPeer(socket);
    CloseUnlessWaiting(socket);
}

bool CSocketTcpServer::ForgetPeer(Socket socket)
{
    auto it = m_peerAddress.find(socket);
    if (it == m_peerAddress.end()) return false;
    auto owner = m_addressSocket.find(it->second);
    if (owner != m_addressSocket.end() && owner->second == socket) m_addressSocket.erase(owner);
    m_peerAddress.erase(it);
    m_peerPort.erase(socket);
    return true;
}

std::size_t CSocketTcpServer::IsAddressConnected(const std::string& address) const
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    return m_addressSocket.count(address);
}

std::size_t CSocketTcpServer::CountWaitingConnections() const
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    return m_waiting.size();
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
    auto it = m_peerAddress.find(FindSocket(hostId));
    return it == m_peerAddress.end() ? std::string() : it->second;
}

std::uint16_t CSocketTcpServer::GetClientPort(std::uint64_t hostId) const
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    auto it = m_peerPort.find(FindSocket(hostId));
    return it == m_peerPort.end() ? 0 : it->second;
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

ReceivedData& CSocketTcpServer::GetClientData(Socket socket)
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    return m_received[socket];
}

MessageCode CSocketTcpServer::Receive(Socket socket)
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    if (socket == InvalidSocket) return ReadFailed;
    Packet packet;
    const MessageCode result = ReceivePacket(Handle(socket), packet, m_module.Stall);
    if (result == ReadFailed) {
        RemoveSocket(socket);
        return ReadFailed;
    }
    if (result != ReadComplete) return result;
    ReceivedData& data = m_received[socket];
    CPacketConverter::GetInstance().Decode(data, packet);
    m_current = socket;
    // A peer that leaves says so with a plain code 4.
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

const ReceivedData* CSocketTcpServer::FindData(std::uint64_t hostId) const
{
    auto it = m_received.find(FindSocket(hostId));
    return it == m_received.end() ? nullptr : &it->second;
}

MessageCode CSocketTcpServer::GetReceivedCode(std::uint64_t hostId) const
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    if (FindSocket(hostId) == InvalidSocket) return ReadFailed;
    const ReceivedData* data = FindData(hostId);
    return data ? data->Code : 0;
}

const Message& CSocketTcpServer::GetReceivedMessage(std::uint64_t hostId) const
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    const ReceivedData* data = FindData(hostId);
    return data ? data->GetMessage() : m_none.GetMessage();
}

const EntryMessage& CSocketTcpServer::GetEntryMessage(std::uint64_t hostId) const
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    const ReceivedData* data = FindData(hostId);
    return data ? data->Entry : m_none.Entry;
}

FleetEditMessage& CSocketTcpServer::GetFleetEditMessage(std::uint64_t hostId)
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    const Socket socket = FindSocket(hostId);
    if (socket == InvalidSocket) return m_spare.FleetEdit;
    return m_received[socket].FleetEdit;
}

void CSocketTcpServer::ClearReceivedMessage(std::uint64_t hostId)
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    auto it = m_received.find(FindSocket(hostId));
    if (it != m_received.end()) it->second.Clear();
}

} // namespace Marevane
