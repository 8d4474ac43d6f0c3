// How a connection the server accepted becomes a side of the battle: the
// oldest waiting connection sends its entry, the host answers it, and the
// players are confirmed when the battle is set up.
#include "net/NetErrors.h"
#include "net/PosixSocket.h"
#include "net/SocketTcpServer.h"

#include <algorithm>

namespace Marevane {

MessageCode CSocketTcpServer::ReceiveEntry()
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    if (m_waiting.empty()) return ReadNothing;
    const Socket socket = m_waiting.front();
    const MessageCode result = Receive(socket);
    if (result != ReadComplete) return result;
    auto it = m_received.find(socket);
    // A peer that said goodbye has left every table but the queue.
    return it == m_received.end() ? MessageCode(4) : it->second.Code;
}

EntryMessage& CSocketTcpServer::GetWaitingEntryMessage()
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    // The oldest waiting connection is the one whose entry is answered next.
    if (m_waiting.empty()) return m_spare.Entry;
    auto it = m_received.find(m_waiting.front());
    return it == m_received.end() ? m_spare.Entry : it->second.Entry;
}

bool CSocketTcpServer::AcceptEntry(EntryMessage& answer)
{
    // Held throughout (it is recursive), so that the connection answered is
    // the one refused should the answer fail.
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    if (m_waiting.empty()) return false;
    const Socket socket = m_waiting.front();
    answer.Code = 15;
    auto peer = m_peerAddress.find(socket);
    const bool audience = answer.Entry.Type == UnitWatching;
    // A second connection under a host id that has entered would never be
    // read nor closed; it is refused as a second connection of one machine.
    const bool known = m_entered.count(answer.Entry.HostId) != 0;
    if ((audience && peer != m_peerAddress.end() && IsLocalAddress(peer->second)) || known) {
        RejectEntry(answer, 21);
        ForgetPeer(socket);
        throw CConnectionRejectedException();
    }
    if (!SendEntryMessage(socket, answer)) {
        RejectEntry(answer, ReadFailed);
        throw CConnectionFailedException();
    }
    m_waiting.pop_front();
    if (!audience) m_pending.emplace(answer.Entry.HostId, socket);
    m_entered.emplace(answer.Entry.HostId, socket);
    return true;
}

bool CSocketTcpServer::RejectEntry(EntryMessage& answer, MessageCode reason)
{
    std::lock_guard<std::recursive_mutex> lock(GetMutex());
    if (m_waiting.empty()) return false;
    const Socket socket = m_waiting.front();
    answer.Code = 17;
    answer.SecondCode = reason;
    m_waiting.pop_front();
    const bool sent = SendEntryMessage(socket, answer);
    // Refused for connecting twice, the machine stays known as connected.
    if (reason != 21) ForgetPeer(socket);
    if (m_current == socket) m_current = InvalidSocket;
    CloseSocket(static_cast<int>(socket));
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
