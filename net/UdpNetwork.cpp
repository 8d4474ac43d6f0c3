#include "net/UdpNetwork.h"

#include "net/PosixSocket.h"

namespace Marevane {

namespace {
std::string& BroadcastAddress()
{
    static std::string address = "255.255.255.255";
    return address;
}
} // namespace

const std::string& GetBroadcastAddress()
{
    return BroadcastAddress();
}
void SetBroadcastAddress(std::string address)
{
    BroadcastAddress() = std::move(address);
}

CUdpModule::~CUdpModule()
{
    Close();
}

void CUdpModule::Open(const std::string& /*address*/, std::uint16_t port)
{
    if (m_receiver >= 0) CloseSocket(m_receiver);
    m_receiver = OpenDatagramListener(port);
}

void CUdpModule::OpenSender(const std::string& host, std::uint16_t port)
{
    if (m_sender >= 0) CloseSocket(m_sender);
    m_sender = OpenBroadcastSender(host, port, m_destination);
}

void CUdpModule::Close()
{
    if (m_receiver >= 0) CloseSocket(m_receiver);
    if (m_sender >= 0) CloseSocket(m_sender);
    m_receiver = -1;
    m_sender = -1;
}

MessageCode CUdpModule::Receive(std::string& bytes, std::string& sender)
{
    if (m_receiver < 0) return CUdpNetwork::NotOpen;
    return ReceiveDatagram(m_receiver, bytes, sender);
}

bool CUdpModule::SendTo(const std::string& host, std::uint16_t port, const char* data, std::size_t size,
                        const std::string& localAddress)
{
    return SendDatagram(host, port, data, size, localAddress);
}

CUdpNetwork::CUdpNetwork(const std::string& address, std::uint16_t port)
{
    Configure(address, port);
}

CUdpNetwork::~CUdpNetwork()
{
    Close();
}

void CUdpNetwork::Configure(const std::string& address, std::uint16_t port)
{
    m_port = StoredPort(port);
    m_address = address;
    if (!m_address.empty()) m_module.OpenSender(m_address, PortInUse(m_port));
}

void CUdpNetwork::SetPort(std::uint16_t port)
{
    m_port = StoredPort(port);
}

void CUdpNetwork::Open()
{
    m_module.Open(m_address, PortInUse(m_port));
}

void CUdpNetwork::Close()
{
    m_found.clear();
    m_heard.clear();
    m_byAge.clear();
    m_last = nullptr;
    m_lastSender = nullptr;
    m_module.Close();
}

MessageCode CUdpNetwork::Receive()
{
    for (int i = 0; i < DatagramsPerReceive; ++i) {
        std::string packet;
        std::string sender;
        const MessageCode result = m_module.Receive(packet, sender);
        if (result != ReadComplete) return result;
        if (TakeDatagram(packet, sender)) return ReadComplete;
    }
    return ReadNothing;
}

bool CUdpNetwork::TakeDatagram(const std::string& bytes, const std::string& sender)
{
    // Decoded aside first: a stranger's datagram must not appear as a host,
    // and a broken one must not change what its sender announced before.
    try {
        CPacketConverter::GetInstance().Decode(m_scratch, bytes);
    } catch (...) {
        ++m_ignored;
        return false;
    }
    auto it = m_found.find(sender);
    if (it != m_found.end()) {
        // The sender's other slots keep what it sent before.
        m_scratch.MoveLastInto(it->second);
    }
    if (it == m_found.end() && m_found.size() >= MaxSenders) {
        // The sender heard from longest ago makes room; the last block is
        // never that one, it was just heard.
        auto oldest = m_byAge.begin();
        m_found.erase(oldest->second);
        m_heard.erase(oldest->second);
        m_byAge.erase(oldest);
    }
    if (it == m_found.end()) it = m_found.emplace(sender, std::move(m_scratch)).first;
    m_scratch.Clear();
    auto heard = m_heard.find(sender);
    if (heard != m_heard.end()) m_byAge.erase(heard->second);
    m_heard[sender] = ++m_clock;
    m_byAge[m_clock] = sender;
    m_last = &it->second;
    m_lastSender = &it->first;
    return true;
}

} // namespace Marevane
