// How a connection the server accepted becomes a side of the battle: every
// waiting connection is read until its entry has arrived, the host answers
// the oldest such entry, and the players are confirmed when the battle is
// set up. A waiting connection that breaks, sends something else, or does
// not deliver its entry in time is dropped alone.
#include "net/NetErrors.h"
#include "net/PosixSocket.h"
#include "net/SocketTcpServer.h"

#include <algorithm>

namespace Marevane {

bool CSocketTcpServer::PollWaiting(Connection& connection, Clock::time_point now)
{
    if (connection.EntryReady) return true;
    const MessageCode result = ReadPacket(connection);
    if (result == ReadFailed) return false;
    if (result == ReadComplete) {
        // Only an entry opens the way; a goodbye or anything else ends it.
        const ReceivedData& data = connection.Data;
        connection.EntryReady = data.Kind == KindEntry && data.Code == 14;
        return connection.EntryReady;
    }
    // A peer that has sent nothing, or only part of its entry, in all this
    // time is not going to.
    return now - connection.Accepted <= m_entryDeadline;
}

MessageCode CSocketTcpServer::ReceiveEntry()
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    const Clock::time_point now = Clock::now();
    std::vector<Socket> dropped;
    for (Socket socket : m_waiting) {
        const ConnectionPtr connection = Find(socket);
        if (!connection || !PollWaiting(*connection, now)) dropped.push_back(socket);
    }
    for (Socket socket : dropped) RemoveSocket(socket);
    const Socket target = EntryTarget();
    const ConnectionPtr connection = Find(target);
    if (!connection || !connection->EntryReady) return ReadNothing;
    m_current = target;
    return connection->Data.Code;
}

Socket CSocketTcpServer::EntryTarget() const
{
    for (Socket socket : m_waiting) {
        auto it = m_connections.find(socket);
        if (it != m_connections.end() && it->second->EntryReady) return socket;
    }
    return m_waiting.empty() ? InvalidSocket : m_waiting.front();
}

EntryMessage CSocketTcpServer::GetWaitingEntryMessage() const
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    const ConnectionPtr connection = Find(EntryTarget());
    return connection ? connection->Data.Entry : EntryMessage();
}

bool CSocketTcpServer::AcceptEntry(EntryMessage& answer)
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    const Socket socket = EntryTarget();
    const ConnectionPtr connection = Find(socket);
    if (!connection) return false;
    answer.Code = 15;
    const bool audience = answer.Entry.Type == UnitWatching;
    // A second connection under a host id that has entered would never be
    // read nor closed; it is refused as a second connection of one machine.
    const bool known = m_entered.count(answer.Entry.HostId) != 0;
    if ((audience && IsLocalAddress(connection->Address)) || known) {
        // Refused and forgotten: the machine may connect again.
        Refuse(socket, answer, 21);
        m_refused.erase(connection->Address);
        throw CConnectionRejectedException();
    }
    if (!Write(connection, CPacketConverter::GetInstance().Encode(answer), HandshakeWriteDeadline)) {
        Refuse(socket, answer, ReadFailed);
        throw CConnectionFailedException();
    }
    m_waiting.erase(std::remove(m_waiting.begin(), m_waiting.end(), socket), m_waiting.end());
    connection->EntryReady = false;
    if (!audience) m_pending.emplace(answer.Entry.HostId, socket);
    m_entered.emplace(answer.Entry.HostId, socket);
    return true;
}

bool CSocketTcpServer::RejectEntry(EntryMessage& answer, MessageCode reason)
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    const Socket socket = EntryTarget();
    if (socket == InvalidSocket) return false;
    return Refuse(socket, answer, reason);
}

bool CSocketTcpServer::Refuse(Socket socket, EntryMessage& answer, MessageCode reason)
{
    const ConnectionPtr connection = Find(socket);
    answer.Code = 17;
    answer.SecondCode = reason;
    // Refused for connecting twice, the machine stays known as connected,
    // by its address: its socket's number goes to the next connection.
    if (reason == 21) m_refused.insert(connection->Address);
    RemoveSocket(socket, false);
    const bool sent =
        Write(connection, CPacketConverter::GetInstance().Encode(answer), HandshakeWriteDeadline);
    ShutdownSocket(connection->Handle);
    return sent;
}

void CSocketTcpServer::ConfirmEntry(std::uint64_t hostId)
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    auto it = m_entered.find(hostId);
    if (it == m_entered.end()) return;
    m_pending.erase(hostId);
    if (std::find(m_confirmedSockets.begin(), m_confirmedSockets.end(), it->second) ==
        m_confirmedSockets.end()) {
        m_confirmedSockets.push_back(it->second);
    }
    m_confirmed[hostId] = it->second;
}

} // namespace Marevane
