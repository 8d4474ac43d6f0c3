// The host's end of a network battle as the battle model uses it: sending
// the turn state to the clients, reading what one side sent, and admitting a
// side that enters. The socket work lives in a subclass; the model only
// calls these operations, so a transport that keeps packets in memory stands
// in for it in tests.
#pragma once

#include "net/PacketConverter.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace Marevane {

using Socket = std::int64_t;
constexpr Socket InvalidSocket = -1;

// Writes packets to one connection.
class CTcpServerModule {
  public:
    virtual ~CTcpServerModule() = default;

    // Sends the whole packet; false when the connection failed.
    virtual bool Send(Socket socket, const Packet& packet) = 0;
};

class CTcpServer {
  public:
    virtual ~CTcpServer() = default;

    // Guards the tables. Set-up tasks on other threads hold it around a whole
    // poll, and the operations below take it too, so it is recursive.
    std::recursive_mutex& GetMutex() const { return m_mutex; }

    virtual CTcpServerModule& GetModule() = 0;
    // True once the host is shutting the server down; waiting tasks give up.
    virtual bool IsClosing() const = 0;

    // Sending. A connection whose send failed is disconnected afterwards.
    virtual bool SendToAll(const Packet& packet) = 0;
    // Sends code 4 to the socket, closes it and forgets it.
    virtual void Disconnect(Socket socket) = 0;
    // InvalidSocket for a host id that has not entered.
    virtual Socket FindSocket(std::uint64_t hostId) const = 0;
    // The connected sides' sockets that per-socket sending walks.
    virtual std::vector<Socket> GetSockets() const = 0;

    // Reading one side: ReadNothing, ReadComplete or ReadFailed (also for a
    // side without a connection).
    virtual MessageCode ReceiveFrom(std::uint64_t hostId) = 0;
    // The code of that side's last packet; ReadFailed without a connection.
    virtual MessageCode GetReceivedCode(std::uint64_t hostId) const = 0;
    // That side's last packet, as its common header.
    virtual const Message& GetReceivedMessage(std::uint64_t hostId) const = 0;
    virtual FleetEditMessage& GetFleetEditMessage(std::uint64_t hostId) = 0;
    // Forgets that side's last packet (it reads as code 0 until the next
    // one), so that a command is carried out once and never in a later turn.
    virtual void ClearReceivedMessage(std::uint64_t hostId) = 0;

    // Entry admission, on the oldest connection that has not entered yet.
    // The code of its packet once one arrived, ReadNothing while it has sent
    // nothing or none waits, ReadFailed when it broke.
    virtual MessageCode ReceiveEntry() = 0;
    virtual EntryMessage& GetWaitingEntryMessage() = 0;
    // Answers with code 15 and enters the side under its host id; throws
    // CConnectionRejectedException or CConnectionFailedException.
    virtual bool AcceptEntry(EntryMessage& answer) = 0;
    // Answers with code 17 and the reason, and closes the connection.
    virtual bool RejectEntry(EntryMessage& answer, MessageCode reason) = 0;
    // Makes a side that entered confirmed when the battle is set up.
    virtual void ConfirmEntry(std::uint64_t hostId) = 0;
    virtual std::string GetClientAddress(std::uint64_t hostId) const = 0;
    virtual std::uint16_t GetClientPort(std::uint64_t hostId) const = 0;

    // The same, for a side (anything with a host id).
    template <typename Unit> MessageCode ReceiveFromUnit(const Unit& unit)
    {
        return ReceiveFrom(unit.GetHostId());
    }
    template <typename Unit> MessageCode GetReceivedCodeOfUnit(const Unit& unit) const
    {
        return GetReceivedCode(unit.GetHostId());
    }
    template <typename Unit> const Message& GetReceivedMessageOfUnit(const Unit& unit) const
    {
        return GetReceivedMessage(unit.GetHostId());
    }
    template <typename Unit> FleetEditMessage& GetFleetEditMessageOfUnit(const Unit& unit)
    {
        return GetFleetEditMessage(unit.GetHostId());
    }
    template <typename Unit> void ConfirmEntryOfUnit(const Unit& unit) { ConfirmEntry(unit.GetHostId()); }

  private:
    mutable std::recursive_mutex m_mutex;
};

} // namespace Marevane
