// POSIX sockets behind the socket layer (see sockets.h).
#include "platform/sockets.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <ifaddrs.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vtx::platform {
namespace {

sockaddr_in ToSockaddr(const Ipv4Endpoint& endpoint) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(endpoint.port);
    a.sin_addr.s_addr = htonl(endpoint.address);
    return a;
}

// Waits for events on one socket for at most ms, going on after signals.
// The poll result: 1 ready, 0 timed out, -1 failed.
int PollFor(int socket, short events, int ms, short& revents) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd p{socket, events, 0};
        const int r = ::poll(&p, 1, left.count() > 0 ? static_cast<int>(left.count()) : 0);
        if (r >= 0) {
            revents = p.revents;
            return r;
        }
        if (errno != EINTR) return -1;
    }
}

}  // namespace

int SocketErrorCode() noexcept { return errno; }

std::string SocketErrorMessage(int code) {
    char buffer[512];
    buffer[0] = 0;
    // GNU strerror_r may return a static text instead of filling the buffer.
    const char* text = strerror_r(code, buffer, sizeof buffer);
    if (text == nullptr) return {};
    std::string message(text);
    if (message.rfind("Unknown error", 0) == 0) return {};
    if (message.size() > 511) message.resize(511);
    return message;
}

int OpenTcpSocket() noexcept { return ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP); }
int OpenUdpSocket() noexcept { return ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP); }

bool EnableAddressReuse(int socket) noexcept {
    const int on = 1;
    return ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == 0;
}

bool EnableBroadcast(int socket) noexcept {
    const int on = 1;
    if (::setsockopt(socket, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) == 0) return true;
    // Some systems take the flag as one byte only.
    const char one = 1;
    return ::setsockopt(socket, SOL_SOCKET, SO_BROADCAST, &one, sizeof one) == 0;
}

bool SetSocketBlocking(int socket, bool blocking) noexcept {
    const int flags = ::fcntl(socket, F_GETFL, 0);
    if (flags < 0) return false;
    const int wanted = blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK);
    return ::fcntl(socket, F_SETFL, wanted) == 0;
}

bool SendWithoutDelay(int socket) noexcept {
    const int on = 1;
    return ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on) == 0;
}

bool SetReceiveTimeout(int socket, int ms) noexcept {
    timeval t{};
    t.tv_sec = ms / 1000;
    t.tv_usec = (ms % 1000) * 1000;
    return ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &t, sizeof t) == 0;
}

bool BindAnyAddress(int socket, uint16_t port) noexcept {
    const sockaddr_in a = ToSockaddr({INADDR_ANY, port});
    return ::bind(socket, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
}

bool ListenOn(int socket, int backlog) noexcept { return ::listen(socket, backlog) == 0; }

bool LocalEndpoint(int socket, Ipv4Endpoint& local) noexcept {
    sockaddr_in a{};
    socklen_t size = sizeof a;
    if (::getsockname(socket, reinterpret_cast<sockaddr*>(&a), &size) != 0) return false;
    local.address = ntohl(a.sin_addr.s_addr);
    local.port = ntohs(a.sin_port);
    return true;
}

int AcceptConnection(int socket, Ipv4Endpoint& peer) noexcept {
    sockaddr_in a{};
    socklen_t size = sizeof a;
    int s;
    do {
        s = ::accept4(socket, reinterpret_cast<sockaddr*>(&a), &size, SOCK_CLOEXEC);
    } while (s < 0 && errno == EINTR);
    if (s < 0) return kNoSocket;
    peer.address = ntohl(a.sin_addr.s_addr);
    peer.port = ntohs(a.sin_port);
    return s;
}

ConnectStart StartConnect(int socket, const Ipv4Endpoint& peer) noexcept {
    const sockaddr_in a = ToSockaddr(peer);
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0) return ConnectStart::Connected;
    // An interrupted connect goes on in the background like a non-blocking one.
    if (IsInProgressCode(errno) || IsWouldBlockCode(errno) || errno == EINTR) return ConnectStart::InProgress;
    return ConnectStart::Failed;
}

bool FinishConnect(int socket, int ms) noexcept {
    short revents = 0;
    const int r = PollFor(socket, POLLOUT, ms, revents);
    if (r < 0) return false;
    if (r == 0) {
        errno = ETIMEDOUT;
        return false;
    }
    // "Writable" also comes for a refused connection: its pending error decides.
    int pending = 0;
    socklen_t size = sizeof pending;
    if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, &pending, &size) != 0) return false;
    if (pending != 0) {
        errno = pending;
        return false;
    }
    return true;
}

bool WaitWritable(int socket, int ms) noexcept {
    short revents = 0;
    return PollFor(socket, POLLOUT, ms, revents) > 0;
}

bool WaitReadable(int socket, int ms) noexcept {
    short revents = 0;
    return PollFor(socket, POLLIN, ms, revents) > 0;
}

void WaitForAny(const std::vector<SocketWait>& sockets, int ms) {
    std::vector<pollfd> set;
    set.reserve(sockets.size());
    for (const SocketWait& w : sockets)
        set.push_back({w.socket, static_cast<short>(POLLIN | (w.wantsToWrite ? POLLOUT : 0)), 0});
    ::poll(set.data(), set.size(), ms);
}

int64_t SendSome(int socket, const void* data, size_t size, const Ipv4Endpoint* destination) noexcept {
    ssize_t n;
    do {
        if (destination != nullptr) {
            const sockaddr_in a = ToSockaddr(*destination);
            n = ::sendto(socket, data, size, MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&a), sizeof a);
        } else {
            n = ::send(socket, data, size, MSG_NOSIGNAL);
        }
    } while (n < 0 && errno == EINTR);
    return n;
}

int64_t ReceiveSome(int socket, void* data, size_t size) noexcept {
    ssize_t n;
    do {
        n = ::recv(socket, data, size, 0);
    } while (n < 0 && errno == EINTR);
    return n;
}

bool CloseSocketAbortively(int socket) noexcept {
    const linger l{1, 0};
    ::setsockopt(socket, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    ::shutdown(socket, SHUT_RDWR);
    return ::close(socket) == 0;
}

bool CloseSocket(int socket) noexcept { return ::close(socket) == 0; }

bool ResolveIpv4(const std::string& name, uint32_t& address) noexcept {
    // A dotted address is taken as it is, without asking any resolver.
    in_addr numeric{};
    if (::inet_pton(AF_INET, name.c_str(), &numeric) == 1) {
        address = ntohl(numeric.s_addr);
        return true;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* answer = nullptr;
    if (::getaddrinfo(name.c_str(), nullptr, &hints, &answer) != 0 || answer == nullptr) {
        errno = EHOSTUNREACH;
        return false;
    }
    address = ntohl(reinterpret_cast<const sockaddr_in*>(answer->ai_addr)->sin_addr.s_addr);
    ::freeaddrinfo(answer);
    return true;
}

std::vector<uint32_t> InterfaceAddresses() {
    std::vector<uint32_t> list;
    ifaddrs* all = nullptr;
    if (::getifaddrs(&all) != 0) return list;
    for (const ifaddrs* i = all; i != nullptr; i = i->ifa_next) {
        if (i->ifa_addr == nullptr || i->ifa_addr->sa_family != AF_INET) continue;
        list.push_back(ntohl(reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr.s_addr));
    }
    ::freeifaddrs(all);
    return list;
}

bool IsWouldBlockCode(int code) noexcept { return code == EAGAIN || code == EWOULDBLOCK; }
bool IsInProgressCode(int code) noexcept { return code == EINPROGRESS || code == EALREADY; }
bool IsResetCode(int code) noexcept { return code == ECONNRESET; }

}  // namespace vtx::platform
