// A client's end of a network battle as the battle model uses it: sending
// the local side's commands and codes, and the last packets received from
// the host. The socket work lives in a subclass; a transport that keeps
// packets in memory stands in for it in tests.
#pragma once

#include "net/PacketConverter.h"

namespace Marevane {

class CTcpClient {
  public:
    virtual ~CTcpClient() = default;

    // Sends one encoded packet to the host; false when that failed.
    virtual bool Send(const Packet& packet) = 0;
    bool SendMessage(const Message& message) { return Send(CPacketConverter::GetInstance().Encode(message)); }
    // A message carrying only the code.
    bool SendCode(MessageCode code) { return SendMessage(MakeMessage(code)); }

    // Reads one packet if one is there: ReadNothing, ReadComplete or
    // ReadFailed.
    virtual MessageCode Receive() = 0;

    ReceivedData& GetReceivedData() { return m_received; }
    // The slot of the last packet's kind, as its common header.
    const Message& GetReceivedMessage() const { return m_received.GetMessage(); }
    const ReceivedData& GetReceivedData() const { return m_received; }
    void ClearReceivedData() { m_received.Clear(); }

  private:
    ReceivedData m_received;
};

} // namespace Marevane
