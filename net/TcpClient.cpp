#include "net/SocketTcpClient.h"

#include "net/PacketStream.h"
#include "net/PosixSocket.h"

#include <QtDebug>

#include <iostream>

namespace Marevane {

CSocketTcpClient::CSocketTcpClient(std::string address) : m_address(std::move(address)) {}

CSocketTcpClient::~CSocketTcpClient()
{
    // No exception may leave a destructor; a failed goodbye changes nothing.
    try {
        Disconnect();
    } catch (const std::exception& error) {
        std::cerr << error.what() << std::endl;
    }
}

void CSocketTcpClient::SetPort(std::uint16_t port)
{
    m_port = StoredPort(port);
}

bool CSocketTcpClient::Connect()
{
    // A held connection would leak its socket and stay open to the host.
    Close();
    std::string error;
    m_socket = OpenConnection(m_address.empty() ? DefaultServerAddress : m_address, PortInUse(m_port),
                              m_localAddress, error);
    return m_socket >= 0;
}

void CSocketTcpClient::Disconnect()
{
    ClearReceivedData();
    SendCode(4);
    Close();
}

bool CSocketTcpClient::IsAlive() const
{
    return IsConnectionAlive(m_socket);
}

void CSocketTcpClient::Close()
{
    CloseSocket(m_socket);
    m_socket = -1;
    m_reader.Reset();
}

bool CSocketTcpClient::Send(const Packet& packet)
{
    if (m_socket < 0) return false;
    return SendAll(m_socket, packet.data(), packet.size(), m_deadline);
}

MessageCode CSocketTcpClient::Receive()
{
    if (m_socket < 0) return ReadFailed;
    Packet packet;
    const MessageCode result = m_reader.Poll(m_socket, packet, m_deadline);
    if (result == ReadFailed) {
        // The stream is gone or out of step; nothing more can be read from it.
        Close();
        return ReadFailed;
    }
    if (result != ReadComplete) return result;
    // Whatever the cipher or the serializer make of the bytes stays here.
    try {
        CPacketConverter::GetInstance().Decode(GetReceivedData(), packet);
    } catch (const std::exception& error) {
        qWarning("TCP client: a packet could not be read: %s", error.what());
        Close();
        return ReadFailed;
    } catch (...) {
        qWarning("TCP client: a packet could not be read");
        Close();
        return ReadFailed;
    }
    const MessageCode code = GetReceivedData().Code;
    // Refused, closed, entry failed or broken: the host is done with us.
    if (code == 3 || code == 4 || code == 17 || code == ReadFailed) Close();
    return ReadComplete;
}

const std::string& CSocketTcpClient::GetLocalAddress()
{
    static std::string address;
    address.clear();
    QueryLocalAddress(address);
    return address;
}

} // namespace Marevane
