#include "net/PosixSocket.h"

#include "net/PacketConverter.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <type_traits>
#include <unistd.h>

namespace Marevane {

namespace {

const char* const AddressErrorText = "アドレス情報取得エラー: ";

// Packets go out whole in one write and the peer polls for them: waiting to
// gather more bytes would only delay each turn.
void SendAtOnce(int handle)
{
    const int on = 1;
    setsockopt(handle, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

bool SetNonBlocking(int handle)
{
    const int flags = fcntl(handle, F_GETFL, 0);
    return flags >= 0 && fcntl(handle, F_SETFL, flags | O_NONBLOCK) == 0;
}

// The first IPv4 result of a look-up; the list is freed by the caller.
const addrinfo* FirstIpv4(const addrinfo* list)
{
    for (const addrinfo* item = list; item; item = item->ai_next) {
        if (item->ai_family == AF_INET) return item;
    }
    return nullptr;
}

struct AddressList {
    addrinfo* List = nullptr;
    ~AddressList()
    {
        if (List) freeaddrinfo(List);
    }
};

// 0 or the look-up's error code, already reported on the error stream.
int Resolve(const char* host, std::uint16_t port, int type, int flags, AddressList& result)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = type;
    hints.ai_flags = flags;
    const std::string service = std::to_string(port);
    const int status = getaddrinfo(host, service.c_str(), &hints, &result.List);
    if (status == 0 && !FirstIpv4(result.List)) return EAI_FAMILY;
    return status;
}

std::string ResolveErrorText(int status)
{
    return status == EAI_SYSTEM ? GetSocketErrorText(errno) : std::string(gai_strerror(status));
}

bool NumericAddress(const sockaddr* address, socklen_t length, std::string& text)
{
    char host[1025] = {};
    if (getnameinfo(address, length, host, sizeof host, nullptr, 0, NI_NUMERICHOST) != 0) return false;
    text = host;
    return true;
}

bool WaitFor(int handle, short events, std::chrono::milliseconds timeout)
{
    pollfd entry{handle, events, 0};
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        const int result = poll(&entry, 1, static_cast<int>(std::max<long long>(0, left.count())));
        if (result > 0) return true;
        if (result == 0) return false;
        if (errno != EINTR) return true; // let the next call report the failure
    }
}

} // namespace

std::string GetSocketErrorText(int error)
{
    char buffer[256] = {};
    // The GNU variant may return a static text instead of filling the buffer.
    const auto text = strerror_r(error, buffer, sizeof buffer);
    if constexpr (std::is_same_v<decltype(text), const int>) {
        return buffer;
    } else {
        return text ? std::string(text) : std::string(buffer);
    }
}

int OpenConnection(const std::string& host, std::uint16_t port, const std::string& localAddress,
                   std::string& error)
{
    AddressList addresses;
    const int status = Resolve(host.c_str(), port, SOCK_STREAM, 0, addresses);
    if (status != 0) {
        error = ResolveErrorText(status);
        std::cerr << AddressErrorText << error << std::endl;
        return -1;
    }
    const addrinfo* target = FirstIpv4(addresses.List);
    const int handle = socket(target->ai_family, target->ai_socktype, target->ai_protocol);
    if (handle < 0) {
        error = GetSocketErrorText(errno);
        return -1;
    }
    if (!localAddress.empty()) {
        sockaddr_in near{};
        near.sin_family = AF_INET;
        if (inet_pton(AF_INET, localAddress.c_str(), &near.sin_addr) != 1 ||
            bind(handle, reinterpret_cast<const sockaddr*>(&near), sizeof near) != 0) {
            error = GetSocketErrorText(errno ? errno : EINVAL);
            close(handle);
            return -1;
        }
    }
    if (!SetNonBlocking(handle)) {
        error = GetSocketErrorText(errno);
        close(handle);
        return -1;
    }
    SendAtOnce(handle);
    // Completes later; a refusal surfaces on the first read or write.
    (void)connect(handle, target->ai_addr, target->ai_addrlen);
    return handle;
}

int OpenListener(const std::string& address, std::uint16_t port)
{
    AddressList addresses;
    const int status =
        Resolve(address.empty() ? nullptr : address.c_str(), port, SOCK_STREAM, AI_PASSIVE, addresses);
    if (status != 0) {
        std::cerr << AddressErrorText << ResolveErrorText(status) << std::endl;
        throw std::runtime_error("ListenFailedException: getaddrinfo() error!");
    }
    const addrinfo* target = FirstIpv4(addresses.List);
    const int handle = socket(target->ai_family, target->ai_socktype, target->ai_protocol);
    if (handle < 0) throw std::runtime_error("ListenFailedException: socket() error!");
    // A host that restarts soon after a battle must get its port back.
    const int on = 1;
    setsockopt(handle, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    // A port that another program holds would otherwise leave a listener on
    // some other port, and the sides would wait for nothing.
    if (bind(handle, target->ai_addr, target->ai_addrlen) != 0) {
        close(handle);
        throw std::runtime_error("ListenFailedException: bind() error!");
    }
    if (listen(handle, ListenBacklog) != 0 || !SetNonBlocking(handle)) {
        close(handle);
        throw std::runtime_error("ListenFailedException: listen() error!");
    }
    return handle;
}

std::uint16_t GetBoundPort(int handle)
{
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (handle < 0 || getsockname(handle, reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
    return ntohs(address.sin_port);
}

int AcceptConnection(int listener, std::string& address, std::uint16_t& port)
{
    if (listener < 0) return -1;
    for (;;) {
        sockaddr_storage peer{};
        socklen_t length = sizeof peer;
        const int handle = accept(listener, reinterpret_cast<sockaddr*>(&peer), &length);
        if (handle < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            return -1;
        }
        if (SetNonBlocking(handle) && peer.ss_family == AF_INET &&
            NumericAddress(reinterpret_cast<const sockaddr*>(&peer), length, address)) {
            port = ntohs(reinterpret_cast<const sockaddr_in*>(&peer)->sin_port);
            SendAtOnce(handle);
            return handle;
        }
        CloseSocket(handle);
    }
}

MessageCode ReceiveSome(int handle, char* buffer, std::size_t size, std::size_t& received)
{
    if (handle < 0) return ReadFailed;
    if (received >= size) return ReadComplete;
    ssize_t count;
    do {
        count = recv(handle, buffer + received, size - received, 0);
    } while (count < 0 && errno == EINTR);
    if (count > 0) {
        received += static_cast<std::size_t>(count);
        return received >= size ? ReadComplete : ReadPartial;
    }
    // An orderly close reads as no bytes: the peer is gone for good.
    if (count == 0) return ReadFailed;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return received > 0 ? ReadPartial : ReadNothing;
    return ReadFailed;
}

bool IsConnectionAlive(int handle)
{
    if (handle < 0) return false;
    char byte = 0;
    ssize_t count;
    do {
        count = recv(handle, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    } while (count < 0 && errno == EINTR);
    if (count > 0) return true;
    if (count == 0) return false;
    return errno == EAGAIN || errno == EWOULDBLOCK;
}

bool SendAll(int handle, const char* data, std::size_t size, std::chrono::milliseconds deadline)
{
    if (handle < 0) return false;
    const auto end = std::chrono::steady_clock::now() + deadline;
    std::size_t sent = 0;
    while (sent < size) {
        // A peer that has gone must not kill the program with SIGPIPE.
        const ssize_t count = send(handle, data + sent, size - sent, MSG_NOSIGNAL);
        if (count > 0) {
            sent += static_cast<std::size_t>(count);
            continue;
        }
        if (count < 0 && errno == EINTR) continue;
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // A peer that stops reading is given the deadline for the whole
            // write, never for ever.
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !WaitFor(handle, POLLOUT, left)) return false;
            continue;
        }
        return false;
    }
    return true;
}

bool WaitReadable(int handle, std::chrono::milliseconds timeout)
{
    return handle >= 0 && WaitFor(handle, POLLIN, timeout);
}

int OpenDatagramListener(std::uint16_t port)
{
    const int handle = socket(AF_INET, SOCK_DGRAM, 0);
    if (handle < 0) return -1;
    // Several programs of one machine may listen for the same announcements.
    const int on = 1;
    setsockopt(handle, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    address.sin_port = htons(port);
    // An unbound or blocking socket would hang the first poll: none at all.
    if (bind(handle, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        !SetNonBlocking(handle)) {
        close(handle);
        return -1;
    }
    return handle;
}

int OpenBroadcastSender(const std::string& host, std::uint16_t port, std::string& target)
{
    AddressList addresses;
    const int status = Resolve(host.c_str(), port, SOCK_DGRAM, 0, addresses);
    if (status != 0) {
        std::cerr << AddressErrorText << ResolveErrorText(status) << std::endl;
        return -1;
    }
    const addrinfo* first = FirstIpv4(addresses.List);
    if (!NumericAddress(first->ai_addr, first->ai_addrlen, target)) target.clear();
    const int handle = socket(AF_INET, SOCK_DGRAM, 0);
    if (handle < 0) return -1;
    const int on = 1;
    setsockopt(handle, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    return handle;
}

MessageCode ReceiveDatagram(int handle, std::string& bytes, std::string& sender)
{
    if (handle < 0) return ReadFailed;
    char probe = 0;
    ssize_t size;
    do {
        // The real length of the waiting datagram, which stays queued.
        size = recv(handle, &probe, 1, MSG_PEEK | MSG_TRUNC);
    } while (size < 0 && errno == EINTR);
    if (size < 0) return errno == EAGAIN || errno == EWOULDBLOCK ? ReadNothing : ReadFailed;
    std::string data(static_cast<std::size_t>(size), '\0');
    sockaddr_storage from{};
    socklen_t length = sizeof from;
    ssize_t count;
    do {
        count = recvfrom(handle, data.data(), data.size(), 0, reinterpret_cast<sockaddr*>(&from), &length);
    } while (count < 0 && errno == EINTR);
    if (count < 0) return errno == EAGAIN || errno == EWOULDBLOCK ? ReadNothing : ReadFailed;
    data.resize(static_cast<std::size_t>(count));
    if (!NumericAddress(reinterpret_cast<const sockaddr*>(&from), length, sender)) sender.clear();
    bytes = std::move(data);
    return ReadComplete;
}

bool SendDatagram(const std::string& host, std::uint16_t port, const char* data, std::size_t size,
                  const std::string& localAddress)
{
    AddressList addresses;
    const int status = Resolve(host.c_str(), port, SOCK_DGRAM, 0, addresses);
    if (status != 0) {
        std::cerr << AddressErrorText << ResolveErrorText(status) << std::endl;
        return false;
    }
    const addrinfo* target = FirstIpv4(addresses.List);
    const int handle = socket(AF_INET, SOCK_DGRAM, 0);
    if (handle < 0) return false;
    const int on = 1;
    setsockopt(handle, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    bool sent = true;
    if (!localAddress.empty()) {
        sockaddr_in near{};
        near.sin_family = AF_INET;
        sent = inet_pton(AF_INET, localAddress.c_str(), &near.sin_addr) == 1 &&
               bind(handle, reinterpret_cast<const sockaddr*>(&near), sizeof near) == 0;
    }
    // A datagram goes out whole or not at all.
    ssize_t count = -1;
    while (sent) {
        count = sendto(handle, data, size, 0, target->ai_addr, target->ai_addrlen);
        if (count >= 0 || (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)) break;
    }
    close(handle);
    return sent && count == static_cast<ssize_t>(size);
}

void ShutdownSocket(int handle)
{
    if (handle >= 0) shutdown(handle, SHUT_RDWR);
}

void CloseSocket(int handle)
{
    if (handle < 0) return;
    shutdown(handle, SHUT_RDWR);
    close(handle);
}

void QueryLocalAddress(std::string& text)
{
    AddressList addresses;
    if (Resolve("192.0.2.4", DefaultPort, SOCK_DGRAM, 0, addresses) != 0) {
        throw std::runtime_error("GetLocalAddressFailedException: getaddrinfo() error!");
    }
    const addrinfo* target = FirstIpv4(addresses.List);
    const int handle = socket(target->ai_family, target->ai_socktype, target->ai_protocol);
    if (handle < 0) return;
    // Connecting a datagram socket sends nothing; it only picks the route.
    sockaddr_storage own{};
    socklen_t length = sizeof own;
    std::string found;
    if (connect(handle, target->ai_addr, target->ai_addrlen) == 0 &&
        getsockname(handle, reinterpret_cast<sockaddr*>(&own), &length) == 0 &&
        NumericAddress(reinterpret_cast<const sockaddr*>(&own), length, found)) {
        text = found;
    }
    close(handle);
}

} // namespace Marevane
