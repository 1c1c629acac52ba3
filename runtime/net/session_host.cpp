// The host's relay (see session_host.h).
#include "net/session_host.h"

#include "net/net_commands.h"
#include "net/socket_layer.h"

namespace vtx {
namespace {

constexpr int32_t kReadPiece = 16 * 1024;
// Reads per connection and round: a flooding peer gets its share, no more.
constexpr int kReadsPerRound = 4;
constexpr int kAcceptsPerRound = 64;

bool Counted(const SessionPlayer& p) { return p.hostSide && !p.query && p.id >= 1 && p.id < kFirstNonPlayerId; }

}  // namespace

void HostRelay::queueTo(int32_t slot, const std::string& message) {
    const auto c = connections_.find(slot);
    if (c == connections_.end() || c->second.closing) return;
    // A peer that does not read its messages is dropped, not waited for.
    if (c->second.outbox.size() + message.size() > kLongestConnectionQueue) {
        c->second.closing = true;
        return;
    }
    c->second.outbox.append(message);
}

bool HostRelay::owns(SessionRecord& s, int32_t slot, uint16_t id) {
    const SessionPlayer* p = HostPlayer(s, id);
    return p != nullptr && p->slot == slot;
}

void HostRelay::receiveBytes(SessionRecord& s, int32_t slot, const char* bytes, size_t size) {
    const auto c = connections_.find(slot);
    if (c == connections_.end() || c->second.closing) return;
    c->second.reader.append(bytes, size);
    WireMessage message;
    while (!c->second.closing && c->second.reader.next(message)) handle(s, slot, message);
    // A length beyond the largest payload: nothing after it can be trusted.
    if (c->second.reader.broken()) c->second.closing = true;
}

void HostRelay::answerRequest(SessionRecord& s, int32_t slot, const WireMessage& m) {
    uint16_t value = 0;
    switch (m.type) {
        case kAskPlayerCount: {
            uint16_t count = 0;
            for (const SessionPlayer& p : s.players)
                if (Counted(p)) ++count;
            queueTo(slot, EncodeMessage(m.type, m.sender, kHostId, EncodeValue(count)));
            break;
        }
        case kAskPlayerByIndex: {
            uint16_t id = 0;
            if (DecodeValue(m.payload, value)) {
                uint16_t index = 0;
                for (const SessionPlayer& p : s.players) {
                    if (!Counted(p)) continue;
                    if (index++ == value) {
                        id = p.id;
                        break;
                    }
                }
            }
            queueTo(slot, EncodeMessage(m.type, m.sender, kHostId, EncodeValue(id)));
            break;
        }
        case kAskPlayerName: {
            const SessionPlayer* p = DecodeValue(m.payload, value) ? HostPlayer(s, value) : nullptr;
            queueTo(slot, EncodeMessage(m.type, m.sender, kHostId, p != nullptr ? p->name : std::string("NO_DATA")));
            break;
        }
        case kAskAlive:
            queueTo(slot, EncodeMessage(m.type, m.sender, kHostId, EncodeValue(1)));
            break;
        default:
            break;
    }
}

void HostRelay::handle(SessionRecord& s, int32_t slot, const WireMessage& m) {
    if (m.receiver == kHostId) {
        if (m.type == kRegisterPlayer) {
            if (!s.active) return;  // only a running session takes players
            size_t mine = 0;
            for (const SessionPlayer& p : s.players)
                if (p.hostSide && p.slot == slot) ++mine;
            if (mine >= kMostPlayersPerConnection || s.nextPlayerId >= kFirstNonPlayerId) {
                // Answered all the same, so the peer's waiting players stay in step.
                queueTo(slot, EncodeMessage(kRegistrationAnswer, kNotRegistered, kHostId));
                return;
            }
            SessionPlayer p;
            p.slot = slot;
            p.hostSide = 1;
            bool query = false;
            DecodeRegistration(m.payload, p.name, query);
            p.query = query ? 1 : 0;
            p.id = s.nextPlayerId++;
            queueTo(slot, EncodeMessage(kRegistrationAnswer, p.id, kHostId));
            s.players.push_back(std::move(p));
            return;
        }
        // Everything else must come from one of the connection's own players.
        if (!owns(s, slot, m.sender)) return;
        if (m.type == kPlayerLeaves) {
            s.players.remove_if([&](const SessionPlayer& p) { return p.hostSide && p.id == m.sender; });
            s.leftPlayers.push_back(m.sender);
            return;
        }
        answerRequest(s, slot, m);
        return;
    }
    // Only text travels between players, and only in its sender's name.
    if (m.type != kTextMessage || !owns(s, slot, m.sender)) return;
    if (m.receiver == kEveryPlayer) {
        for (const SessionPlayer& p : s.players) {
            if (!p.hostSide || p.query || p.id == m.sender || p.id >= kFirstNonPlayerId) continue;
            queueTo(p.slot, EncodeMessage(kTextMessage, p.id, m.sender, m.payload));
        }
        return;
    }
    if (const SessionPlayer* p = HostPlayer(s, m.receiver))
        queueTo(p->slot, EncodeMessage(kTextMessage, m.receiver, m.sender, m.payload));
}

void HostRelay::forgetConnection(SessionRecord& s, int32_t slot) {
    for (auto p = s.players.begin(); p != s.players.end();) {
        if (p->hostSide && p->slot == slot) {
            if (p->id >= 1 && p->id < kFirstNonPlayerId) s.leftPlayers.push_back(p->id);
            p = s.players.erase(p);
        } else {
            ++p;
        }
    }
    connections_.erase(slot);
}

bool HostRelay::acceptJoiners(SessionRecord& s) {
    bool any = false;
    for (int i = 0; i < kAcceptsPerRound; ++i) {
        int32_t address = 0;
        const int32_t slot = TcpAccept(s.listeningSlot, address);
        if (slot < 0) break;
        any = true;
        if (connections_.size() >= kMostConnections) {
            SocketClose(slot);
            continue;
        }
        if (const SocketSlot* joined = UsedSlot(slot)) platform::SendWithoutDelay(joined->socket);
        addConnection(slot);
    }
    return any;
}

bool HostRelay::readAll(SessionRecord& s) {
    bool any = false;
    char piece[kReadPiece];
    for (auto& [slot, c] : connections_) {
        for (int i = 0; i < kReadsPerRound && !c.closing; ++i) {
            const int32_t n = ReceiveOnce(slot, piece, kReadPiece);
            if (n == -2) break;
            any = true;
            if (n <= 0) {
                c.closing = true;  // closed, reset or failed: its players leave
                break;
            }
            s.lock.take();
            receiveBytes(s, slot, piece, static_cast<size_t>(n));
            s.lock.release();
        }
    }
    return any;
}

bool HostRelay::sendQueued() {
    bool any = false;
    for (auto& [slot, c] : connections_) {
        if (c.outbox.empty() || c.closing) continue;
        const SocketSlot* target = UsedSlot(slot);
        if (target == nullptr) {
            c.closing = true;
            continue;
        }
        const int64_t n = platform::SendSome(target->socket, c.outbox.data(), c.outbox.size(), nullptr);
        if (n > 0) {
            c.outbox.erase(0, static_cast<size_t>(n));
            any = true;
        } else if (n < 0 && !platform::IsWouldBlockCode(platform::SocketErrorCode())) {
            c.closing = true;
        }
    }
    return any;
}

void HostRelay::dropEnded(SessionRecord& s) {
    for (auto c = connections_.begin(); c != connections_.end();) {
        if (!c->second.closing) {
            ++c;
            continue;
        }
        const int32_t slot = c->first;
        ++c;
        s.lock.take();
        forgetConnection(s, slot);
        s.lock.release();
        SocketClose(slot);
    }
}

void HostRelay::addWaits(const SessionRecord& s, std::vector<platform::SocketWait>& waits) const {
    if (const SocketSlot* l = UsedSlot(s.listeningSlot)) waits.push_back({l->socket, false});
    for (const auto& [slot, c] : connections_)
        if (const SocketSlot* target = UsedSlot(slot)) waits.push_back({target->socket, !c.outbox.empty()});
}

bool HostRelay::hasQueued() const {
    for (const auto& [slot, c] : connections_)
        if (!c.outbox.empty() && !c.closing) return true;
    return false;
}

bool HostRelay::serve(SessionRecord& s) {
    bool any = acceptJoiners(s);
    any = readAll(s) || any;
    any = sendQueued() || any;
    dropEnded(s);
    return any;
}

}  // namespace vtx
