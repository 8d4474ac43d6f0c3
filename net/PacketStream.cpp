#include "net/PacketStream.h"

#include "net/PosixSocket.h"

#include <algorithm>

namespace Marevane {

namespace {
// The buffer grows with what arrives, never to a length a peer only claims.
constexpr std::size_t GrowthStep = 64 * 1024;
} // namespace

void CPacketReader::Reset()
{
    m_bytes.clear();
    m_bytes.shrink_to_fit();
    m_received = 0;
    m_expected = 0;
}

MessageCode CPacketReader::Poll(int handle, Packet& packet, std::chrono::milliseconds deadline)
{
    for (;;) {
        const std::size_t wanted = m_expected == 0 ? PacketHeadSize : static_cast<std::size_t>(m_expected);
        // Room for more only once what is there is full.
        if (m_received == m_bytes.size() && m_bytes.size() < wanted) {
            m_bytes.resize(std::min(wanted, std::max(m_bytes.size() * 2, m_received + GrowthStep)));
        }
        const std::size_t before = m_received;
        const MessageCode result = ReceiveSome(handle, m_bytes.data(), m_bytes.size(), m_received);
        if (result == ReadFailed) {
            Reset();
            return ReadFailed;
        }
        if (before == 0 && m_received > 0) m_started = Clock::now();
        if (result == ReadNothing || (result == ReadPartial && m_received == before)) break;
        if (m_received < wanted) continue;
        if (m_expected == 0) {
            m_expected = CPacketConverter::GetInstance().GetPacketSize(m_bytes.data());
            if (m_expected < PacketHeadSize || m_expected > MaxPacketSize) {
                Reset();
                return ReadFailed;
            }
            continue;
        }
        m_bytes.resize(m_received);
        packet = std::move(m_bytes);
        m_bytes = Packet();
        m_received = 0;
        m_expected = 0;
        return ReadComplete;
    }
    if (m_received > 0 && Clock::now() - m_started > deadline) {
        Reset();
        return ReadFailed;
    }
    return ReadNothing;
}

} // namespace Marevane
