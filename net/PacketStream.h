// Whole packets on a stream connection. Every packet begins with its total
// length, so a reader takes a fixed-size head first, learns the length from
// it and then reads the rest.
#pragma once

#include "net/PacketConverter.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

namespace Marevane {

// The head a reader takes before it knows a packet's length; no packet of
// this program is shorter.
constexpr std::size_t PacketHeadSize = 64;
// Far above any packet of a battle; a larger length means a broken stream.
constexpr std::uint64_t MaxPacketSize = std::uint64_t(64) << 20;

// The total length at the start of a packet head (a flag byte, 1 for little
// endian, then eight bytes).
std::uint64_t ReadPacketSize(const char* head);

// Reads one whole packet into `packet`: ReadNothing when nothing has
// arrived, ReadComplete once it is in, ReadFailed when the connection broke,
// carried a length that cannot be right, or stalled for `stall` in the
// middle of a packet (the stream can then not be trusted any more).
MessageCode ReceivePacket(int handle, std::string& packet, std::chrono::milliseconds stall);

// Until packets are byte strings themselves, a packet travels as a head
// that names the record held in this process.
namespace PacketHolding {
std::string Hold(const Packet& packet);
const Packet& Find(const std::string& bytes);
} // namespace PacketHolding

template <typename P> std::string PacketToBytes(const P& packet)
{
    if constexpr (std::is_same_v<P, std::string>) {
        return packet;
    } else {
        return PacketHolding::Hold(packet);
    }
}

template <typename P = Packet> void DecodePacketBytes(ReceivedData& data, const std::string& bytes)
{
    if constexpr (std::is_same_v<P, std::string>) {
        CPacketConverter::GetInstance().Decode(data, static_cast<const P&>(bytes));
    } else {
        CPacketConverter::GetInstance().Decode(data, PacketHolding::Find(bytes));
    }
}

} // namespace Marevane
