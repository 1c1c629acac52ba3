// Peers for the network tests, written with plain POSIX sockets so that they
// check the socket layer from outside. Everything binds to 127.0.0.1 on a
// port the system picks; every wait is bounded.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

namespace vtx::test {

inline constexpr uint32_t kLoopback = 0x7F000001;  // 127.0.0.1
inline constexpr int kPeerWaitMs = 10000;           // longest wait of any peer

inline sockaddr_in LoopbackAddress(uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(kLoopback);
    return a;
}

inline uint16_t BoundPort(int fd) {
    sockaddr_in a{};
    socklen_t size = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size);
    return ntohs(a.sin_port);
}

inline bool WaitFor(int fd, short events, int ms) {
    pollfd p{fd, events, 0};
    return poll(&p, 1, ms) > 0;
}

// Receives until the peer closes or n bytes came (bounded wait per piece).
inline std::string ReceiveUpTo(int fd, size_t n) {
    std::string got;
    char piece[65536];
    while (got.size() < n && WaitFor(fd, POLLIN, kPeerWaitMs)) {
        const ssize_t r = recv(fd, piece, std::min(sizeof piece, n - got.size()), 0);
        if (r <= 0) break;
        got.append(piece, static_cast<size_t>(r));
    }
    return got;
}

inline bool SendAll(int fd, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t r = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (r <= 0) return false;
        sent += static_cast<size_t>(r);
    }
    return true;
}

// Closes a connection with a reset instead of an orderly end.
inline void ResetConnection(int fd) {
    const linger l{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    close(fd);
}

// A TCP server on 127.0.0.1 that accepts connections one after another on
// its own thread and hands each to the handler, which owns the socket.
class LoopbackServer {
public:
    using Handler = std::function<void(int connection)>;

    explicit LoopbackServer(Handler handler, int connections = 1) : handler_(std::move(handler)) {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        const sockaddr_in a = LoopbackAddress(0);
        bind(listener_, reinterpret_cast<const sockaddr*>(&a), sizeof a);
        listen(listener_, 16);
        port_ = BoundPort(listener_);
        thread_ = std::thread([this, connections] {
            for (int i = 0; i < connections && !stop_; ++i) {
                if (!WaitFor(listener_, POLLIN, kPeerWaitMs)) break;
                const int c = accept(listener_, nullptr, nullptr);
                if (c < 0) break;
                ++accepted_;
                handler_(c);
            }
        });
    }
    ~LoopbackServer() {
        stop_ = true;
        thread_.join();
        close(listener_);
    }
    uint16_t port() const { return port_; }
    int accepted() const { return accepted_; }

private:
    Handler handler_;
    int listener_ = -1;
    uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> accepted_{0};
    std::thread thread_;
};

// A plain TCP client connected to 127.0.0.1:port; -1 on failure.
inline int ConnectLoopback(uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in a = LoopbackAddress(port);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// A port on 127.0.0.1 that nothing listens on: bound, then released.
inline uint16_t ClosedPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in a = LoopbackAddress(0);
    bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a);
    const uint16_t port = BoundPort(fd);
    close(fd);
    return port;
}

}  // namespace vtx::test
