// Whole packets on a stream connection. Every packet begins with its total
// length, so a reader takes a fixed-size head first, learns the length from
// it and then reads the rest. A reader never waits for a peer: each poll
// takes what has arrived and keeps a packet that is not complete yet for
// the next poll.
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
// How long a packet may take from its first byte to its last, and a write
// from its start to its end, before the connection counts as broken.
constexpr std::chrono::milliseconds PacketDeadline{3000};

class CPacketReader {
  public:
    using Clock = std::chrono::steady_clock;

    // Takes what has arrived on the socket without waiting: ReadNothing
    // while no packet is complete (part of one may be kept), ReadComplete
    // with the packet moved into `packet`, ReadFailed when the connection
    // broke, carried a length that cannot be right, or did not complete a
    // packet within `deadline` of its first byte (the stream can then not be
    // trusted any more).
    MessageCode Poll(int handle, Packet& packet, std::chrono::milliseconds deadline = PacketDeadline);

    // Whether part of a packet has arrived.
    bool HasPartial() const { return m_received > 0; }
    void Reset();

  private:
    Packet m_bytes;
    std::size_t m_received = 0;
    std::uint64_t m_expected = 0; // 0 until the head is in
    Clock::time_point m_started;
};

} // namespace Marevane
