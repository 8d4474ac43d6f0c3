#include "net/PacketStream.h"

#include "net/PosixSocket.h"

#include <cstring>
#include <map>
#include <mutex>
#include <stdexcept>

namespace Marevane {

std::uint64_t ReadPacketSize(const char* head)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(head);
    std::uint64_t size = 0;
    for (int i = 0; i < 8; ++i) {
        const unsigned char byte = bytes[1 + (bytes[0] ? i : 7 - i)];
        size |= std::uint64_t(byte) << (8 * i);
    }
    return size;
}

MessageCode ReceivePacket(int handle, std::string& packet, std::chrono::milliseconds stall)
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
    const std::uint64_t size = ReadPacketSize(head);
    if (size < PacketHeadSize || size > MaxPacketSize) return ReadFailed;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    std::memcpy(bytes.data(), head, PacketHeadSize);
    while (received < bytes.size()) {
        result = ReceiveSome(handle, bytes.data(), bytes.size(), received);
        if (result == ReadFailed) return ReadFailed;
        if (result != ReadComplete && !WaitReadable(handle, stall)) return ReadFailed;
    }
    packet = std::move(bytes);
    return ReadComplete;
}

namespace PacketHolding {

namespace {
std::mutex g_mutex;
std::map<std::uint64_t, Packet> g_held;
std::uint64_t g_next = 1;
constexpr std::size_t NumberAt = 18;
} // namespace

std::string Hold(const Packet& packet)
{
    std::string bytes(PacketHeadSize, '\0');
    bytes[0] = 1;
    bytes[1] = static_cast<char>(PacketHeadSize);
    std::lock_guard<std::mutex> lock(g_mutex);
    const std::uint64_t number = g_next++;
    g_held.emplace(number, packet);
    std::memcpy(bytes.data() + NumberAt, &number, sizeof number);
    return bytes;
}

const Packet& Find(const std::string& bytes)
{
    std::uint64_t number = 0;
    if (bytes.size() >= NumberAt + sizeof number)
        std::memcpy(&number, bytes.data() + NumberAt, sizeof number);
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = g_held.find(number);
    if (it == g_held.end()) throw std::runtime_error("CPacketConverter::Decode(): Invalid data size.");
    return it->second;
}

} // namespace PacketHolding

} // namespace Marevane
