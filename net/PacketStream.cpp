#include "net/PacketStream.h"

#include "net/PosixSocket.h"

#include <cstring>

namespace Marevane {

MessageCode ReceivePacket(int handle, Packet& packet, std::chrono::milliseconds stall)
{
    char head[PacketHeadSize] = {};
    std::size_t received = 0;
    MessageCode result = ReceiveSome(handle, head, PacketHeadSize, received);
    if (result == ReadNothing || result == ReadFailed) return result;
    // Once a packet has begun the rest follows at once; a peer that stops
    // in the middle is given `stall` per step, never for ever.
    while (result != ReadComplete) {
        if (result == ReadFailed || !WaitReadable(handle, stall)) return ReadFailed;
        result = ReceiveSome(handle, head, PacketHeadSize, received);
    }
    const std::uint64_t size = CPacketConverter::GetInstance().GetPacketSize(head);
    if (size < PacketHeadSize || size > MaxPacketSize) return ReadFailed;
    Packet bytes(static_cast<std::size_t>(size), '\0');
    std::memcpy(bytes.data(), head, PacketHeadSize);
    while (received < bytes.size()) {
        result = ReceiveSome(handle, bytes.data(), bytes.size(), received);
        if (result == ReadFailed) return ReadFailed;
        if (result != ReadComplete && !WaitReadable(handle, stall)) return ReadFailed;
    }
    packet = std::move(bytes);
    return ReadComplete;
}

} // namespace Marevane
