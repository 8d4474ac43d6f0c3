// The client's end of a network battle over a real TCP connection: one
// non-blocking socket to the host, polled by whoever wants to know whether
// something arrived.
#pragma once

#include "net/PacketStream.h"
#include "net/TcpClient.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace Marevane {

class CSocketTcpClient : public CTcpClient {
  public:
    static constexpr const char* DefaultServerAddress = "192.168.0.2";

    CSocketTcpClient() : CSocketTcpClient(std::string()) {}
    explicit CSocketTcpClient(std::string address);
    // Tells the host we leave (code 4) and closes the connection.
    ~CSocketTcpClient() override;

    CSocketTcpClient(const CSocketTcpClient&) = delete;
    CSocketTcpClient& operator=(const CSocketTcpClient&) = delete;

    // Empty means the default address.
    void SetAddress(std::string address) { m_address = std::move(address); }
    const std::string& GetAddress() const { return m_address; }
    void SetPort(std::uint16_t port);
    std::uint16_t GetPort() const { return m_port; }
    // Binds the near end to this address before connecting (several clients
    // of one machine then look like several machines). Empty: any.
    void SetLocalAddress(std::string address) { m_localAddress = std::move(address); }
    // How long a packet may take from its first byte to its last, and a
    // write to the host, before the connection counts as broken.
    void SetPacketDeadline(std::chrono::milliseconds deadline) { m_deadline = deadline; }

    // Starts connecting; false when the address cannot be resolved. The
    // host answers with code 1, or 3 when it refuses the connection.
    bool Connect();
    // Clears what was received, tells the host code 4 and closes.
    void Disconnect();
    bool IsConnected() const { return m_socket >= 0; }
    // Connected (or still connecting) and the host has not gone.
    bool IsAlive() const;
    int GetSocket() const { return m_socket; }

    using CTcpClient::Send;
    bool Send(const Packet& packet) override;
    // ReadNothing, ReadComplete or ReadFailed; never waits for the host
    // (part of a packet is kept for the next call). A packet with code 3,
    // 4, 17 or 124 closes the connection after it has been decoded; one that
    // cannot be decoded closes it as broken.
    MessageCode Receive() override;

    // This machine's own IPv4 address; one string refreshed by every call.
    static const std::string& GetLocalAddress();

  private:
    void Close();

    int m_socket = -1;
    std::string m_address;
    std::uint16_t m_port = 0;
    std::string m_localAddress;
    std::chrono::milliseconds m_deadline = PacketDeadline;
    CPacketReader m_reader;
};

} // namespace Marevane
