// Session relay speed on the loopback interface against an ENet relay in
// the same run:
//   - relayed messages per second: 4 clients each send 20 000 texts of 64
//     bytes to every player; the host relays each to the 3 other clients;
//     the rate is the messages delivered over the time until the last one
//     arrived (a run that loses messages says so in its delivered count);
//   - round-trip latency (p50, p99) of 2 000 requests answered by the host,
//     measured first, while nothing else runs.
// The Vantrix host is NetHost in this program, its clients speak the wire
// format over plain sockets (one process keeps one session). The ENet host
// relays reliable packets of the same size to the other peers. Only
// 127.0.0.1 and ports the system picks are used; every loop is bounded.
// Run: build/bench/bench_sessions
#include <arpa/inet.h>
#include <enet/enet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include <vantrix/vantrix.h>

#include "bench_support.h"
#include "net/session_messages.h"

namespace {

constexpr int kClients = 4;
constexpr int kMessagesPerClient = 20000;
constexpr size_t kMessageSize = 64;
constexpr int kRequests = 2000;
constexpr int kWaitMs = 10000;
constexpr double kLongestRunSeconds = 15;
constexpr size_t kEnetQueue = 128;
// How far a client's sending may run ahead of what it receives from the others.
constexpr int kEnetAhead = 256;
constexpr int kEnetSocketBuffer = 4 * 1024 * 1024;

struct Figures {
    double messagesPerSecond = 0;
    double p50Ms = 0;
    double p99Ms = 0;
    bool complete = true;
    int delivered = 0;
};

constexpr int kExpected = kClients * (kClients - 1) * kMessagesPerClient;

// The latest time a message arrived, for the rate while messages flowed.
void NoteDelivery(std::atomic<double>& last, double seconds) {
    double seen = last.load();
    while (seen < seconds && !last.compare_exchange_weak(seen, seconds)) {
    }
}

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(p * static_cast<double>(values.size())))];
}

uint16_t FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(0x7F000001);
    bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a);
    socklen_t size = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size);
    close(fd);
    return ntohs(a.sin_port);
}

// --- Vantrix: NetHost and clients speaking the wire format -----------------

class WireClient {
public:
    explicit WireClient(uint16_t port) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(0x7F000001);
        connect(fd_, reinterpret_cast<const sockaddr*>(&a), sizeof a);
        const int on = 1;
        setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    }
    ~WireClient() { close(fd_); }
    bool sendAll(const std::string& bytes) {
        size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n = send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) return false;
            sent += static_cast<size_t>(n);
        }
        return true;
    }
    bool next(vtx::WireMessage& m) {
        while (!reader_.next(m)) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, kWaitMs) <= 0) return false;
            char piece[65536];
            const ssize_t n = recv(fd_, piece, sizeof piece, 0);
            if (n <= 0) return false;
            reader_.append(piece, static_cast<size_t>(n));
        }
        return true;
    }
    uint16_t registerPlayer(const std::string& name) {
        sendAll(vtx::EncodeMessage(vtx::kRegisterPlayer, vtx::kHostId, 0, vtx::EncodeRegistration(name, false)));
        vtx::WireMessage m;
        while (next(m))
            if (m.type == vtx::kRegistrationAnswer) return m.receiver;
        return 0;
    }

private:
    int fd_ = -1;
    vtx::MessageReader reader_;
};

Figures MeasureVantrix() {
    Figures f;
    const uint16_t port = FreePort();
    if (!NetHost(port)) {
        f.complete = false;
        return f;
    }
    std::vector<std::unique_ptr<WireClient>> clients;
    std::vector<uint16_t> ids;
    for (int i = 0; i < kClients; ++i) {
        clients.push_back(std::make_unique<WireClient>(port));
        ids.push_back(clients.back()->registerPlayer(std::string("client").append(std::to_string(i))));
    }
    // Round trips first, on idle connections.
    std::vector<double> rtt;
    for (int r = 0; r < kRequests; ++r) {
        const auto sent = bench::Clock::now();
        clients[0]->sendAll(vtx::EncodeMessage(vtx::kAskAlive, vtx::kHostId, ids[0]));
        vtx::WireMessage m;
        bool answered = false;
        while (!answered && clients[0]->next(m)) answered = m.type == vtx::kAskAlive;
        if (!answered) {
            f.complete = false;
            break;
        }
        rtt.push_back(bench::Seconds(sent) * 1000);
    }
    f.p50Ms = Percentile(rtt, 0.50);
    f.p99Ms = Percentile(rtt, 0.99);
    const std::string payload(kMessageSize, 'm');
    std::atomic<int> complete{0};
    std::atomic<int> delivered{0};
    std::atomic<double> lastDelivery{0};
    const auto start = bench::Clock::now();
    std::vector<std::thread> threads;
    for (int i = 0; i < kClients; ++i) {
        threads.emplace_back([&, i] {
            std::string batch;
            for (int m = 0; m < kMessagesPerClient; ++m) {
                batch.append(vtx::EncodeMessage(vtx::kTextMessage, vtx::kEveryPlayer, ids[i], payload));
                if (batch.size() >= 16384 || m + 1 == kMessagesPerClient) {
                    clients[i]->sendAll(batch);
                    batch.clear();
                }
            }
        });
        threads.emplace_back([&, i] {
            int got = 0;
            vtx::WireMessage m;
            while (got < (kClients - 1) * kMessagesPerClient && bench::Seconds(start) < kLongestRunSeconds &&
                   clients[i]->next(m))
                if (m.type == vtx::kTextMessage) {
                    ++got;
                    NoteDelivery(lastDelivery, bench::Seconds(start));
                }
            delivered += got;
            if (got == (kClients - 1) * kMessagesPerClient) ++complete;
        });
    }
    for (std::thread& t : threads) t.join();
    f.complete = complete == kClients;
    f.delivered = delivered;
    f.messagesPerSecond = lastDelivery > 0 ? delivered / lastDelivery : 0;

    clients.clear();
    NetLeave();
    return f;
}

// --- ENet: a relay host and four clients -------------------------------------


Figures MeasureEnet() {
    Figures f;
    ENetAddress address{};
    enet_address_set_host_ip(&address, "127.0.0.1");
    address.port = 0;
    ENetHost* server = enet_host_create(&address, kClients, 1, 0, 0);
    if (server == nullptr) {
        f.complete = false;
        return f;
    }
    enet_socket_set_option(server->socket, ENET_SOCKOPT_RCVBUF, kEnetSocketBuffer);
    enet_socket_set_option(server->socket, ENET_SOCKOPT_SNDBUF, kEnetSocketBuffer);
    ENetAddress bound{};
    enet_socket_get_address(server->socket, &bound);
    std::atomic<bool> stop{false};
    std::thread relay([&] {
        while (!stop) {
            ENetEvent event;
            if (enet_host_service(server, &event, 1) <= 0) continue;
            do {
                if (event.type != ENET_EVENT_TYPE_RECEIVE) continue;
                const bool request = event.packet->dataLength > 0 && event.packet->data[0] == 'Q';
                for (size_t p = 0; p < server->peerCount; ++p) {
                    ENetPeer* peer = &server->peers[p];
                    if (peer->state != ENET_PEER_STATE_CONNECTED) continue;
                    if (request ? peer != event.peer : peer == event.peer) continue;
                    enet_peer_send(peer, 0, enet_packet_create(event.packet->data, event.packet->dataLength,
                                                               ENET_PACKET_FLAG_RELIABLE));
                }
                enet_packet_destroy(event.packet);
            } while (enet_host_check_events(server, &event) > 0);
            enet_host_flush(server);
        }
    });

    std::vector<ENetHost*> hosts(kClients, nullptr);
    std::vector<ENetPeer*> peers(kClients, nullptr);
    ENetAddress to{};
    enet_address_set_host_ip(&to, "127.0.0.1");
    to.port = bound.port;
    for (int i = 0; i < kClients; ++i) {
        hosts[i] = enet_host_create(nullptr, 1, 1, 0, 0);
        enet_socket_set_option(hosts[i]->socket, ENET_SOCKOPT_RCVBUF, kEnetSocketBuffer);
        enet_socket_set_option(hosts[i]->socket, ENET_SOCKOPT_SNDBUF, kEnetSocketBuffer);
        peers[i] = enet_host_connect(hosts[i], &to, 1, 0);
        ENetEvent event;
        bool connected = false;
        for (int t = 0; t < 100 && !connected; ++t)
            connected = enet_host_service(hosts[i], &event, 50) > 0 && event.type == ENET_EVENT_TYPE_CONNECT;
        if (!connected) f.complete = false;
    }
    // Round trips first, on idle connections.
    std::vector<double> rtt;
    for (int r = 0; r < kRequests; ++r) {
        const auto sent = bench::Clock::now();
        enet_peer_send(peers[0], 0, enet_packet_create("Q", 1, ENET_PACKET_FLAG_RELIABLE));
        enet_host_flush(hosts[0]);
        bool answered = false;
        for (int t = 0; t < 10000 && !answered; ++t) {
            ENetEvent event;
            if (enet_host_service(hosts[0], &event, 1) <= 0) continue;
            if (event.type == ENET_EVENT_TYPE_RECEIVE) {
                answered = event.packet->data[0] == 'Q';
                enet_packet_destroy(event.packet);
            }
        }
        if (!answered) {
            f.complete = false;
            break;
        }
        rtt.push_back(bench::Seconds(sent) * 1000);
    }
    f.p50Ms = Percentile(rtt, 0.50);
    f.p99Ms = Percentile(rtt, 0.99);
    const std::string payload(kMessageSize, 'm');
    std::atomic<int> complete{0};
    std::atomic<int> delivered{0};
    std::atomic<double> lastDelivery{0};
    const auto start = bench::Clock::now();
    std::vector<std::thread> threads;
    for (int i = 0; i < kClients; ++i) {
        threads.emplace_back([&, i] {
            int sent = 0, got = 0;
            bool counted = false;
            // Every client keeps serving its host until all have everything:
            // its own last packets may still need sending again.
            while (complete < kClients && bench::Seconds(start) < kLongestRunSeconds) {
                // Paced by the peer's queue and by what comes back: piling
                // packets up makes datagrams drop, and ENet waits long before
                // it sends them again.
                for (int b = 0; b < 64 && sent < kMessagesPerClient &&
                                enet_list_size(&peers[i]->outgoingCommands) < kEnetQueue &&
                                sent - got / (kClients - 1) < kEnetAhead;
                     ++b, ++sent)
                    enet_peer_send(peers[i], 0,
                                   enet_packet_create(payload.data(), payload.size(), ENET_PACKET_FLAG_RELIABLE));
                ENetEvent event;
                if (enet_host_service(hosts[i], &event, 1) > 0) {
                    do {
                        if (event.type != ENET_EVENT_TYPE_RECEIVE) continue;
                        ++got;
                        NoteDelivery(lastDelivery, bench::Seconds(start));
                        enet_packet_destroy(event.packet);
                    } while (enet_host_check_events(hosts[i], &event) > 0);
                }
                if (!counted && got == (kClients - 1) * kMessagesPerClient) {
                    counted = true;
                    ++complete;
                }
            }
            delivered += got;
        });
    }
    for (std::thread& t : threads) t.join();
    f.complete = f.complete && complete == kClients;
    f.delivered = delivered;
    f.messagesPerSecond = lastDelivery > 0 ? delivered / lastDelivery : 0;

    stop = true;
    relay.join();
    for (ENetHost* h : hosts) enet_host_destroy(h);
    enet_host_destroy(server);
    return f;
}

}  // namespace

int main() {
    if (enet_initialize() != 0) return 1;
    const Figures enet = MeasureEnet();
    const Figures ours = MeasureVantrix();
    enet_deinitialize();
    std::printf("delivered            Vantrix %9d   ENet %9d   of %d (waiting at most %.0f s)\n", ours.delivered,
                enet.delivered, kExpected, kLongestRunSeconds);
    std::printf("relayed messages/s   Vantrix %9.0f   ENet %9.0f   ratio %.2f\n", ours.messagesPerSecond,
                enet.messagesPerSecond, ours.messagesPerSecond / enet.messagesPerSecond);
    std::printf("request p50 ms       Vantrix %9.3f   ENet %9.3f   ratio %.2f\n", ours.p50Ms, enet.p50Ms,
                ours.p50Ms / enet.p50Ms);
    std::printf("request p99 ms       Vantrix %9.3f   ENet %9.3f   ratio %.2f\n", ours.p99Ms, enet.p99Ms,
                ours.p99Ms / enet.p99Ms);
    std::printf("messages: ratio = Vantrix / ENet (above 1: more); latency: ratio = Vantrix / ENet (below 1: faster)\n");
    return 0;
}
