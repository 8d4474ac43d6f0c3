// Whole packets on a stream connection. Every packet begins with its total
// length, so a reader takes a fixed-size head first, learns the length from
// it and then reads the rest.
#pragma once

#include "net/PacketConverter.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace Marevane {

// The head a reader takes before it knows a packet's length; no packet of
// this program is shorter.
constexpr std::size_t PacketHeadSize = 64;
// Far above any packet of a battle (a turn state of four sides on a 9 by 9
// map is a few tens of KiB); a larger length means a broken or hostile
// stream. Kept small because a decoded record can take several times its
// wire size in memory.
constexpr std::uint64_t MaxPacketSize = std::uint64_t(4) << 20;

// Reads one whole packet into `packet`: ReadNothing when nothing has
// arrived, ReadComplete once it is in, ReadFailed when the connection broke,
// carried a length that cannot be right, or stalled for `stall` in the
// middle of a packet (the stream can then not be trusted any more).
MessageCode ReceivePacket(int handle, Packet& packet, std::chrono::milliseconds stall);

} // namespace Marevane
