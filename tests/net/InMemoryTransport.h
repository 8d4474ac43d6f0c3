// A host and its clients joined inside one process: packets wait in queues
// instead of sockets. It behaves as the socket transport does where the
// battle model can tell (codes of reads, entry admission, disconnection on a
// failed send) and lets tests break connections and close the host at will.
// Safe to use from set-up tasks on other threads.
#pragma once

#include "net/NetErrors.h"
#include "net/TcpClient.h"
#include "net/TcpServer.h"

#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace Marevane {

// Both directions of one connection.
class CInMemoryLink {
  public:
    void Push(bool toServer, Packet packet)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        (toServer ? m_toServer : m_toClient).push_back(std::move(packet));
    }
    std::optional<Packet> Pop(bool toServer)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto& queue = toServer ? m_toServer : m_toClient;
        if (queue.empty()) return std::nullopt;
        Packet packet = std::move(queue.front());
        queue.pop_front();
        return packet;
    }
    std::size_t Count(bool toServer) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return (toServer ? m_toServer : m_toClient).size();
    }
    void Close()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_open = false;
    }
    bool IsOpen() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_open;
    }

  private:
    mutable std::mutex m_mutex;
    std::deque<Packet> m_toServer;
    std::deque<Packet> m_toClient;
    bool m_open = true;
};

class CInMemoryTcpClient : public CTcpClient {
  public:
    using CTcpClient::Send;

    bool Send(const Packet& packet) override
    {
        std::shared_ptr<CInMemoryLink> link = GetLink();
        if (!link || !link->IsOpen()) return false;
        link->Push(true, packet);
        ++m_sent;
        return true;
    }

    MessageCode Receive() override
    {
        std::shared_ptr<CInMemoryLink> link = GetLink();
        if (!link) return ReadFailed;
        std::optional<Packet> packet = link->Pop(false);
        if (!packet) return link->IsOpen() ? ReadNothing : ReadFailed;
        CPacketConverter::GetInstance().Decode(GetReceivedData(), *packet);
        // Refused, closed, entry failed or broken: the host is done with us.
        const MessageCode code = GetReceivedData().Code;
        if (code == 3 || code == 4 || code == 17 || code == ReadFailed) link->Close();
        return ReadComplete;
    }

    // The connection fails as a pulled cable does: both ends read 124.
    void Break()
    {
        if (std::shared_ptr<CInMemoryLink> link = GetLink()) link->Close();
    }

    bool IsConnected() const
    {
        std::shared_ptr<CInMemoryLink> link = GetLink();
        return link && link->IsOpen();
    }
    std::size_t CountWaiting() const
    {
        std::shared_ptr<CInMemoryLink> link = GetLink();
        return link ? link->Count(false) : 0;
    }
    // Packets this client has sent so far.
    std::size_t CountSent() const { return m_sent; }

  private:
    friend class CInMemoryTcpServer;

    std::shared_ptr<CInMemoryLink> GetLink() const
    {
        std::lock_guard<std::mutex> lock(m_linkMutex);
        return m_link;
    }
    void SetLink(std::shared_ptr<CInMemoryLink> link)
    {
        std::lock_guard<std::mutex> lock(m_linkMutex);
        m_link = std::move(link);
    }

    mutable std::mutex m_linkMutex;
    std::shared_ptr<CInMemoryLink> m_link;
    std::size_t m_sent = 0;
};

class CInMemoryTcpServer : public CTcpServer, private CTcpServerModule {
  public:
    // Connects a client as a new connection waiting for its entry; the
    // client is told code 1.
    Socket Connect(CInMemoryTcpClient& client, const std::string& address = "192.0.2.10",
                   std::uint16_t port = 40000)
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        const Socket socket = Open(client, address, port);
        m_waiting.push_back(socket);
        Send(socket, CPacketConverter::GetInstance().Encode(MakeMessage(1)));
        return socket;
    }

    // Connects a client that has already entered and been confirmed as the
    // side with this host id; nothing is sent to it.
    Socket Attach(CInMemoryTcpClient& client, std::uint64_t hostId, const std::string& address = "192.0.2.10",
                  std::uint16_t port = 40000)
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        const Socket socket = Open(client, address, port);
        m_entered[hostId] = socket;
        m_confirmed.push_back(socket);
        return socket;
    }

    // A side that entered becomes one that per-socket sending reaches.
    void ConfirmEntry(std::uint64_t hostId) override
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        auto it = m_entered.find(hostId);
        if (it == m_entered.end()) return;
        if (std::find(m_confirmed.begin(), m_confirmed.end(), it->second) == m_confirmed.end()) {
            m_confirmed.push_back(it->second);
        }
    }

    void SetClosing(bool closing)
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        m_closing = closing;
    }

    // Sends fail towards this socket from now on (the peer is gone but the
    // host has not noticed yet).
    void FailSendsTo(Socket socket)
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        m_failing.push_back(socket);
    }

    std::size_t CountWaitingConnections() const
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        return m_waiting.size();
    }
    bool IsConnected(Socket socket) const
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        return m_connections.count(socket) != 0;
    }

    CTcpServerModule& GetModule() override { return *this; }

    bool IsClosing() const override
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        return m_closing;
    }

    bool SendToAll(const Packet& packet) override
    {
        std::vector<Socket> failed;
        bool result = true;
        {
            std::lock_guard<std::recursive_mutex> lock(GetMutex());
            for (const auto& entry : m_entered) {
                if (Send(entry.second, packet)) continue;
                failed.push_back(entry.second);
                if (std::find(m_confirmed.begin(), m_confirmed.end(), entry.second) == m_confirmed.end()) {
                    result = false;
                }
            }
        }
        for (Socket socket : failed) Disconnect(socket);
        return result;
    }

    void Disconnect(Socket socket) override
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        auto it = m_connections.find(socket);
        if (it == m_connections.end()) return;
        if (it->second.Link->IsOpen()) {
            it->second.Link->Push(false, CPacketConverter::GetInstance().Encode(MakeMessage(4)));
        }
        it->second.Link->Close();
        Remove(socket);
    }

    Socket FindSocket(std::uint64_t hostId) const override
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        auto it = m_entered.find(hostId);
        return it == m_entered.end() ? InvalidSocket : it->second;
    }

    std::vector<Socket> GetSockets() const override
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        return m_confirmed;
    }

    MessageCode ReceiveFrom(std::uint64_t hostId) override
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        const Socket socket = FindSocket(hostId);
        return socket == InvalidSocket ? ReadFailed : Read(socket);
    }

    MessageCode GetReceivedCode(std::uint64_t hostId) const override
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        const Connection* connection = Find(FindSocket(hostId));
        return connection ? connection->Received.Code : ReadFailed;
    }

    Message GetReceivedMessage(std::uint64_t hostId) const override
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        const Connection* connection = Find(FindSocket(hostId));
        return connection ? connection->Received.GetMessage() : Message();
    }

    EntryMessage GetEntryMessage(std::uint64_t hostId) const override
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        const Connection* connection = Find(FindSocket(hostId));
        return connection ? connection->Received.Entry : EntryMessage();
    }

    FleetEditMessage GetFleetEditMessage(std::uint64_t hostId) const override
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        const Connection* connection = Find(FindSocket(hostId));
        if (connection) return connection->Received.FleetEdit;
        FleetEditMessage none;
        none.Reset();
        return none;
    }

    void ClearReceivedMessage(std::uint64_t hostId) override
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        if (Connection* connection = Find(FindSocket(hostId))) connection->Received.Clear();
    }

    MessageCode ReceiveEntry() override
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        if (m_waiting.empty()) return ReadNothing;
        const Socket socket = m_waiting.front();
        const MessageCode result = Read(socket);
        if (result != ReadComplete) return result;
        return m_connections.at(socket).Received.Code;
    }

    EntryMessage GetWaitingEntryMessage() const override
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        const Connection* connection = m_waiting.empty() ? nullptr : Find(m_waiting.front());
        return connection ? connection->Received.Entry : EntryMessage();
    }

    bool AcceptEntry(EntryMessage& answer) override
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        if (m_waiting.empty()) return false;
        const Socket socket = m_waiting.front();
        answer.Code = 15;
        if (answer.Entry.Type == UnitWatching && m_connections.at(socket).Address == "127.0.0.1") {
            RejectEntry(answer, 21);
            throw CConnectionRejectedException();
        }
        if (!Send(socket, CPacketConverter::GetInstance().Encode(answer))) {
            RejectEntry(answer, ReadFailed);
            throw CConnectionFailedException();
        }
        m_waiting.pop_front();
        m_entered.emplace(answer.Entry.HostId, socket);
        return true;
    }

    bool RejectEntry(EntryMessage& answer, MessageCode reason) override
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        if (m_waiting.empty()) return false;
        const Socket socket = m_waiting.front();
        m_waiting.pop_front();
        answer.Code = 17;
        answer.SecondCode = reason;
        const bool sent = Send(socket, CPacketConverter::GetInstance().Encode(answer));
        auto it = m_connections.find(socket);
        if (it != m_connections.end()) it->second.Link->Close();
        Remove(socket);
        return sent;
    }

    std::string GetClientAddress(std::uint64_t hostId) const override
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        const Connection* connection = Find(FindSocket(hostId));
        return connection ? connection->Address : std::string();
    }

    std::uint16_t GetClientPort(std::uint64_t hostId) const override
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        const Connection* connection = Find(FindSocket(hostId));
        return connection ? connection->Port : 0;
    }

  private:
    struct Connection {
        std::shared_ptr<CInMemoryLink> Link;
        ReceivedData Received;
        std::string Address;
        std::uint16_t Port = 0;
    };

    bool Send(Socket socket, const Packet& packet) override
    {
        std::lock_guard<std::recursive_mutex> lock(GetMutex());
        Connection* connection = Find(socket);
        if (!connection || !connection->Link->IsOpen()) return false;
        if (std::find(m_failing.begin(), m_failing.end(), socket) != m_failing.end()) return false;
        connection->Link->Push(false, packet);
        return true;
    }

    Socket Open(CInMemoryTcpClient& client, const std::string& address, std::uint16_t port)
    {
        auto link = std::make_shared<CInMemoryLink>();
        client.SetLink(link);
        const Socket socket = m_nextSocket++;
        m_connections[socket] = Connection{link, ReceivedData(), address, port};
        return socket;
    }

    MessageCode Read(Socket socket)
    {
        Connection* connection = Find(socket);
        if (!connection) return ReadFailed;
        std::optional<Packet> packet = connection->Link->Pop(true);
        if (!packet) {
            if (connection->Link->IsOpen()) return ReadNothing;
            Remove(socket);
            return ReadFailed;
        }
        CPacketConverter::GetInstance().Decode(connection->Received, *packet);
        const MessageCode code = connection->Received.Plain.Code;
        if (connection->Received.Kind == KindMessage && (code == 4 || code == ReadFailed)) {
            connection->Link->Close();
            RemoveKeepingData(socket);
        }
        return ReadComplete;
    }

    Connection* Find(Socket socket)
    {
        auto it = m_connections.find(socket);
        return it == m_connections.end() ? nullptr : &it->second;
    }
    const Connection* Find(Socket socket) const
    {
        auto it = m_connections.find(socket);
        return it == m_connections.end() ? nullptr : &it->second;
    }

    // The peer's last packet stays readable until the next read.
    void RemoveKeepingData(Socket socket)
    {
        for (auto it = m_entered.begin(); it != m_entered.end();) {
            it = it->second == socket ? m_entered.erase(it) : std::next(it);
        }
        m_confirmed.erase(std::remove(m_confirmed.begin(), m_confirmed.end(), socket), m_confirmed.end());
        m_waiting.erase(std::remove(m_waiting.begin(), m_waiting.end(), socket), m_waiting.end());
    }
    void Remove(Socket socket)
    {
        RemoveKeepingData(socket);
        m_connections.erase(socket);
    }

    Socket m_nextSocket = 3;
    std::map<Socket, Connection> m_connections;
    std::deque<Socket> m_waiting;
    std::map<std::uint64_t, Socket> m_entered;
    std::vector<Socket> m_confirmed;
    std::vector<Socket> m_failing;
    bool m_closing = false;
};

} // namespace Marevane
