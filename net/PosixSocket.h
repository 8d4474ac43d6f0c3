// The little of the operating system's sockets that the LAN transport needs:
// non-blocking IPv4 TCP connections, a listener, single reads and whole
// writes, and the text of a socket error. Handles are plain descriptors;
// -1 is none.
#pragma once

#include "model/Types.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace Marevane {

constexpr std::uint16_t DefaultPort = 18543;
constexpr int ListenBacklog = 5;

// A port below 1024 is kept as 0, and 0 stands for the default port.
constexpr std::uint16_t StoredPort(std::uint16_t port)
{
    return port < 1024 ? 0 : port;
}
constexpr std::uint16_t PortInUse(std::uint16_t stored)
{
    return stored < 1024 ? DefaultPort : stored;
}

// The system's text for an errno value.
std::string GetSocketErrorText(int error);

// Starts a non-blocking connection to host:port and returns its handle, or
// -1 when the address cannot be resolved or no socket can be made (`error`
// then says why). The connection completes later; a refused one shows up as
// a failed read or write. A non-empty `localAddress` binds the near end to
// that address first.
int OpenConnection(const std::string& host, std::uint16_t port, const std::string& localAddress,
                   std::string& error);

// A non-blocking listener on port, on every interface or only on `address`.
// Throws std::runtime_error when the port cannot be taken.
int OpenListener(const std::string& address, std::uint16_t port);

// The port a socket is bound to (host order); 0 when unknown.
std::uint16_t GetBoundPort(int handle);

// Takes one pending connection off a listener and makes it non-blocking.
// -1 when none waits. The peer's numeric address and port (host order) are
// filled in; a peer whose address cannot be written is closed and skipped.
int AcceptConnection(int listener, std::string& address, std::uint16_t& port);

// One non-blocking read of the bytes still missing from buffer[received,
// size): ReadNothing when nothing arrived, ReadPartial when some bytes are
// in but not all, ReadComplete when `received` reached `size`, ReadFailed
// when the peer has gone (closed or reset) or the socket failed.
MessageCode ReceiveSome(int handle, char* buffer, std::size_t size, std::size_t& received);

// Whether a connection still stands: it is open, still connecting, or has
// data waiting; false once the peer closed it, reset it or refused it.
// Reads nothing.
bool IsConnectionAlive(int handle);

// Writes all bytes, waiting while the socket's buffer is full. False when
// the socket failed or the bytes were not all written within `deadline`.
bool SendAll(int handle, const char* data, std::size_t size, std::chrono::milliseconds deadline);

// Waits until the socket has something to read (or has failed); false on
// timeout.
bool WaitReadable(int handle, std::chrono::milliseconds timeout);

// Datagrams. A listener bound to every interface on the port (shared with
// other programs on this machine), non-blocking; -1 when the port cannot be
// bound.
int OpenDatagramListener(std::uint16_t port);
// A datagram socket allowed to broadcast; `target` receives the first IPv4
// address of host:port. -1 when the host cannot be resolved.
int OpenBroadcastSender(const std::string& host, std::uint16_t port, std::string& target);
// Takes the next datagram off the socket whole: ReadNothing when none
// waits, ReadComplete with its bytes and its sender's numeric address,
// ReadFailed when the socket failed.
MessageCode ReceiveDatagram(int handle, std::string& bytes, std::string& sender);
// Sends one datagram to host:port from a new socket allowed to broadcast.
// A non-empty `localAddress` sends from that address.
bool SendDatagram(const std::string& host, std::uint16_t port, const char* data, std::size_t size,
                  const std::string& localAddress = std::string());

// Shuts both directions down and closes the handle.
void CloseSocket(int handle);
void ShutdownSocket(int handle);

// This machine's own IPv4 address as numeric text, found from the interface
// the system would route a datagram through (nothing is sent). Left as it
// was when no interface can be found; throws std::runtime_error
// ("GetLocalAddressFailedException: getaddrinfo() error!") when the look-up
// fails.
void QueryLocalAddress(std::string& text);

} // namespace Marevane
