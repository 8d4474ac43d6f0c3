// Finding the machines that host a battle: a host broadcasts its entry
// announcement as one datagram carrying an ordinary packet, and a client
// listening on the game port keeps the last announcement of every sender.
// Nothing here runs on its own; the connection screen opens, polls and
// closes it.
#pragma once

#include "net/PacketConverter.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace Marevane {

// Where announcements go: "255.255.255.255" unless set otherwise (tests
// keep them on the loopback network).
const std::string& GetBroadcastAddress();
void SetBroadcastAddress(std::string address);

// The listening socket and the socket towards the announced address.
class CUdpModule {
  public:
    CUdpModule() = default;
    virtual ~CUdpModule();

    CUdpModule(const CUdpModule&) = delete;
    CUdpModule& operator=(const CUdpModule&) = delete;

    // Listens on every interface on the port, whatever the address says.
    void Open(const std::string& address, std::uint16_t port);
    void OpenSender(const std::string& host, std::uint16_t port);
    void Close();
    bool IsOpen() const { return m_receiver >= 0; }
    bool IsSenderOpen() const { return m_sender >= 0; }
    // The numeric address OpenSender resolved.
    const std::string& GetDestination() const { return m_destination; }

    // The next datagram whole, and who sent it: ReadNothing, ReadComplete,
    // ReadFailed, or 2 when the module is not open.
    MessageCode Receive(std::string& bytes, std::string& sender);

    // One datagram to host:port; a non-empty `localAddress` sends from it.
    static bool SendTo(const std::string& host, std::uint16_t port, const char* data, std::size_t size,
                       const std::string& localAddress = std::string());

  private:
    int m_receiver = -1;
    int m_sender = -1;
    std::string m_destination;
};

class CUdpNetwork {
  public:
    // What Receive answers when the network is not open.
    static constexpr MessageCode NotOpen = 2;
    // The senders kept at most; the one heard from longest ago makes room.
    static constexpr std::size_t MaxSenders = 32;
    // Datagrams one Receive reads at most while it skips strangers' ones.
    static constexpr int DatagramsPerReceive = 16;

    explicit CUdpNetwork(const std::string& address = std::string(), std::uint16_t port = 0);
    virtual ~CUdpNetwork();

    CUdpNetwork(const CUdpNetwork&) = delete;
    CUdpNetwork& operator=(const CUdpNetwork&) = delete;

    // Keeps the port (below 1024: 0, the default) and the address, and
    // opens the sender towards a non-empty address.
    void Configure(const std::string& address, std::uint16_t port);
    void SetPort(std::uint16_t port);
    std::uint16_t GetPort() const { return m_port; }
    const std::string& GetAddress() const { return m_address; }

    // Starts listening on the port.
    void Open();
    // Forgets every sender and closes both sockets.
    void Close();

    // Reads one announcement into its sender's block: ReadNothing,
    // ReadComplete, ReadFailed or NotOpen. A datagram that is not a packet
    // of ours is dropped and counted, and the next one is read.
    MessageCode Receive();
    // Keeps one datagram under its sender when it is a packet of ours;
    // false (and counted) when it is not. Throws nothing.
    bool TakeDatagram(const std::string& bytes, const std::string& sender);
    // Datagrams dropped since the network was made.
    std::uint64_t CountIgnored() const { return m_ignored; }

    CUdpModule& GetModule() { return m_module; }
    // Sender address text to its last announcement.
    const std::map<std::string, ReceivedData>& GetFoundServers() const { return m_found; }
    // The block the last read filled and its sender; null before the first.
    const ReceivedData* GetLastData() const { return m_last; }
    const std::string* GetLastSender() const { return m_lastSender; }

  private:
    CUdpModule m_module;
    std::string m_address;
    std::uint16_t m_port = 0;
    std::map<std::string, ReceivedData> m_found;
    // When each sender was last heard, as a running count, both ways.
    std::map<std::string, std::uint64_t> m_heard;
    std::map<std::uint64_t, std::string> m_byAge;
    std::uint64_t m_clock = 0;
    std::uint64_t m_ignored = 0;
    ReceivedData m_scratch;
    const ReceivedData* m_last = nullptr;
    const std::string* m_lastSender = nullptr;
};

} // namespace Marevane
