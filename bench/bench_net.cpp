// Socket layer speed on the loopback interface, each against an anchor in
// the same run, best of 5 rounds, alternating:
//   - TCP throughput: 256 MB sent through SocketSend in 64 KB texts against
//     plain send() of the same blocks, into a server that discards; then
//     received through SocketReceive against plain recv().
//   - HttpGetFile of a 50 MB body from a local server against curl writing
//     the same body to a file.
// Only 127.0.0.1 and ports the system picks are used.
// Run: build/bench/bench_net
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include <vantrix/vantrix.h>

#include "bench_support.h"

namespace {

constexpr size_t kBlock = 64 * 1024;
constexpr size_t kStreamBytes = 256u * 1024 * 1024;
constexpr size_t kBodyBytes = 50u * 1024 * 1024;
constexpr int kRounds = 5;
constexpr int kWaitMs = 10000;

sockaddr_in Loopback(uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(0x7F000001);
    return a;
}

// A server on 127.0.0.1 that serves a fixed number of connections, one
// after another, with the given handler.
class Server {
public:
    template <typename Handler>
    Server(int connections, Handler handler) {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        const sockaddr_in a = Loopback(0);
        bind(listener_, reinterpret_cast<const sockaddr*>(&a), sizeof a);
        listen(listener_, 16);
        sockaddr_in bound{};
        socklen_t size = sizeof bound;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&bound), &size);
        port_ = ntohs(bound.sin_port);
        thread_ = std::thread([this, connections, handler] {
            for (int i = 0; i < connections; ++i) {
                pollfd p{listener_, POLLIN, 0};
                if (poll(&p, 1, kWaitMs) <= 0) break;
                const int c = accept(listener_, nullptr, nullptr);
                if (c < 0) break;
                handler(c);
                close(c);
            }
        });
    }
    ~Server() {
        thread_.join();
        close(listener_);
    }
    uint16_t port() const { return port_; }

private:
    int listener_ = -1;
    uint16_t port_ = 0;
    std::thread thread_;
};

void Discard(int c) {
    static char sink[kBlock];
    pollfd p{c, POLLIN, 0};
    while (poll(&p, 1, kWaitMs) > 0 && recv(c, sink, sizeof sink, 0) > 0) {
    }
}

bool SendAllPlain(int c, const char* data, size_t size) {
    size_t sent = 0;
    while (sent < size) {
        const ssize_t n = send(c, data + sent, size - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

int PlainConnect(uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in a = Loopback(port);
    connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a);
    return fd;
}

RtString BlockText() {
    RtString text;
    char* block = text.getBuffer(kBlock);
    for (size_t i = 0; i < kBlock; ++i) block[i] = static_cast<char>('a' + i % 26);
    text.truncate(static_cast<int32_t>(kBlock));
    return text;
}

void Report(const char* what, double anchor, double measured, size_t bytes) {
    std::printf("%-40s %8.1f MB/s   anchor %8.1f MB/s   ratio %.2f\n", what, bytes / measured / 1e6,
                bytes / anchor / 1e6, anchor / measured);
}

void SendThroughput() {
    const RtString text = BlockText();
    double plain = 1e30, layer = 1e30;
    for (int r = 0; r < kRounds; ++r) {
        {
            Server server(1, Discard);
            const int fd = PlainConnect(server.port());
            const auto start = bench::Clock::now();
            for (size_t sent = 0; sent < kStreamBytes; sent += kBlock) SendAllPlain(fd, text.c_str(), kBlock);
            close(fd);
            plain = std::min(plain, bench::Seconds(start));
        }
        {
            Server server(1, Discard);
            const int32_t slot = TcpConnect(RtString("127.0.0.1"), server.port(), 5000);
            const auto start = bench::Clock::now();
            for (size_t sent = 0; sent < kStreamBytes; sent += kBlock) SocketSend(slot, text);
            SocketClose(slot);
            layer = std::min(layer, bench::Seconds(start));
        }
    }
    Report("SocketSend vs send()", plain, layer, kStreamBytes);
}

void ReceiveThroughput() {
    const RtString text = BlockText();
    const auto stream = [&text](int c) {
        for (size_t sent = 0; sent < kStreamBytes; sent += kBlock)
            if (!SendAllPlain(c, text.c_str(), kBlock)) break;
    };
    double plain = 1e30, layer = 1e30;
    for (int r = 0; r < kRounds; ++r) {
        {
            Server server(1, stream);
            const int fd = PlainConnect(server.port());
            static char piece[kBlock];
            size_t got = 0;
            const auto start = bench::Clock::now();
            while (got < kStreamBytes) {
                const ssize_t n = recv(fd, piece, sizeof piece, 0);
                if (n <= 0) break;
                got += static_cast<size_t>(n);
            }
            plain = std::min(plain, bench::Seconds(start));
            close(fd);
        }
        {
            Server server(1, stream);
            const int32_t slot = TcpConnect(RtString("127.0.0.1"), server.port(), 5000);
            RtString piece;
            size_t got = 0;
            const auto start = bench::Clock::now();
            // A program of the language polls: -2 means nothing yet.
            for (size_t polls = 0; got < kStreamBytes && polls < (size_t{1} << 34); ++polls) {
                const int32_t n = SocketReceive(slot, piece, static_cast<int32_t>(kBlock));
                if (n == 0 || n == -1) break;
                if (n > 0) got += static_cast<size_t>(n);
            }
            layer = std::min(layer, bench::Seconds(start));
            SocketClose(slot);
        }
    }
    Report("SocketReceive vs recv()", plain, layer, kStreamBytes);
}

void Download() {
    std::string response = "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n\r\n";
    const size_t headerSize = response.size();
    response.resize(headerSize + kBodyBytes);
    for (size_t i = headerSize; i < response.size(); ++i) response[i] = static_cast<char>(i * 31u);
    const auto serve = [&response](int c) {
        static char request[4096];
        pollfd p{c, POLLIN, 0};
        if (poll(&p, 1, kWaitMs) <= 0 || recv(c, request, sizeof request, 0) <= 0) return;
        SendAllPlain(c, response.data(), response.size());
    };
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder = tmp != nullptr && *tmp != 0 ? tmp : "/tmp";
    const std::string curlFile = folder + "/bench-net-curl-" + std::to_string(getpid());
    const std::string ourFile = folder + "/bench-net-ours-" + std::to_string(getpid());
    double curl = 1e30, ours = 1e30;
    bool curlOk = true;
    for (int r = 0; r < kRounds; ++r) {
        {
            Server server(1, serve);
            const std::string command = "curl -s -o '" + curlFile + "' http://127.0.0.1:" +
                                        std::to_string(server.port()) + "/body";
            const auto start = bench::Clock::now();
            curlOk = std::system(command.c_str()) == 0 && curlOk;
            curl = std::min(curl, bench::Seconds(start));
        }
        {
            Server server(1, serve);
            const auto start = bench::Clock::now();
            HttpGetFile(RtString("127.0.0.1"), RtString("/body"), server.port(), RtString(ourFile.c_str()), 10000);
            ours = std::min(ours, bench::Seconds(start));
        }
    }
    // The same transfer into memory: the share of the file (written, then
    // flushed to disk before the rename) in the figure above.
    const double text = bench::Best(kRounds, [&] {
        Server server(1, serve);
        HttpGetText(RtString("127.0.0.1"), RtString("/body"), server.port(), static_cast<int32_t>(kBodyBytes), 10000);
    });
    if (!curlOk) std::printf("(curl failed: install it with tools/install-deps.sh)\n");
    Report("HttpGetFile 50 MB vs curl", curl, ours, kBodyBytes);
    Report("HttpGetText 50 MB vs curl to a file", curl, text, kBodyBytes);
    unlink(curlFile.c_str());
    unlink(ourFile.c_str());
}

}  // namespace

int main() {
    // Progress lines of the download go to standard output; keep them apart.
    SocketStart();
    SendThroughput();
    ReceiveThroughput();
    Download();
    SocketStop();
    std::printf("ratio = anchor time / Vantrix time (1.00: as fast as the anchor)\n");
    return 0;
}
