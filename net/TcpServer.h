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
    // Copies of that side's last packets, so that nothing a caller holds
    // changes or goes away when the connection does; empty records for a
    // side without a connection. The last packet as its common header:
    virtual Message GetReceivedMessage(std::uint64_t hostId) const = 0;
    virtual EntryMessage GetEntryMessage(std::uint64_t hostId) const = 0;
    virtual FleetEditMessage GetFleetEditMessage(std::uint64_t hostId) const = 0;
    // Forgets that side's last packet (it reads as code 0 until the next
    // one), so that a command is carried out once and never in a later turn.
    virtual void ClearReceivedMessage(std::uint64_t hostId) = 0;

    // Entry admission. Reads every connection that has not entered yet;
    // the code of the oldest one's entry once one has arrived (that
    // connection is the one the answers below go to), else ReadNothing.
    virtual MessageCode ReceiveEntry() = 0;
    // A copy of that entry.
    virtual EntryMessage GetWaitingEntryMessage() const = 0;
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
    template <typename Unit> Message GetReceivedMessageOfUnit(const Unit& unit) const
    {
        return GetReceivedMessage(unit.GetHostId());
    }
    template <typename Unit> EntryMessage GetEntryMessageOfUnit(const Unit& unit) const
    {
        return GetEntryMessage(unit.GetHostId());
    }
    template <typename Unit> FleetEditMessage GetFleetEditMessageOfUnit(const Unit& unit) const
    {
        return GetFleetEditMessage(unit.GetHostId());
    }
    template <typename Unit> void ConfirmEntryOfUnit(const Unit& unit) { ConfirmEntry(unit.GetHostId()); }

    // Encodes the message and writes it to the socket; false without
    // sending for the invalid socket, else whether it was sent.
    bool SendMessageToSocket(Socket socket, const Message& message)
    {
        if (socket == InvalidSocket) return false;
        return GetModule().Send(socket, CPacketConverter::GetInstance().Encode(message));
    }
    // A message with the code, second code 0 and the side's profile as its
    // sender, to the side's connection.
    template <typename Unit> bool SendCodeToUnit(const Unit& unit, MessageCode code)
    {
        Message message = MakeMessage(code);
        message.Sender = unit.GetProfile();
        return SendMessageToSocket(FindSocket(unit.GetHostId()), message);
    }

  private:
    mutable std::recursive_mutex m_mutex;
};

} // namespace Marevane
