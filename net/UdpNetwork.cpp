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
    m_last = nullptr;
    m_lastSender = nullptr;
    m_module.Close();
}

MessageCode CUdpNetwork::Receive()
{
    std::string packet;
    std::string sender;
    const MessageCode result = m_module.Receive(packet, sender);
    if (result != ReadComplete) return result;
    // Decoded aside first: a stranger's datagram must not appear as a host.
    auto it = m_found.find(sender);
    ReceivedData data = it == m_found.end() ? ReceivedData() : it->second;
    CPacketConverter::GetInstance().Decode(data, packet);
    it = m_found.insert_or_assign(sender, std::move(data)).first;
    m_last = &it->second;
    m_lastSender = &it->first;
    return ReadComplete;
}

} // namespace Marevane
