// The session worker (see session_worker.h).
#include "net/session_worker.h"

#include <chrono>
#include <thread>
#include <vector>

#include "net/session_host.h"
#include "net/socket_layer.h"

namespace vtx {
namespace {

constexpr int32_t kReadPiece = 16 * 1024;
constexpr int kReadsPerRound = 4;
constexpr int kIdleWaitMs = 1;
constexpr int kStopWaitSteps = 700;  // 35 s: longer than any send can stall
constexpr auto kStopDrain = std::chrono::milliseconds(250);

// Step 1: registrations of this program's new players.
bool SendRegistrations(SessionRecord& s) {
    std::vector<std::string> messages;
    s.lock.take();
    for (SessionPlayer& p : s.players) {
        if (p.hostSide || p.id != kRegistrationToSend) continue;
        messages.push_back(EncodeMessage(kRegisterPlayer, kHostId, 0, EncodeRegistration(p.name, p.query != 0)));
        p.id = kRegistrationSent;
    }
    s.lock.release();
    for (const std::string& m : messages) SendToHost(s, m);
    return !messages.empty();
}

// Step 2: what the host sent. False when nothing came.
bool ReadFromHost(SessionRecord& s, MessageReader& reader, bool& hostGone) {
    if (hostGone) return false;
    bool any = false;
    char piece[kReadPiece];
    for (int i = 0; i < kReadsPerRound; ++i) {
        const int32_t n = ReceiveOnce(s.connectionSlot, piece, kReadPiece);
        if (n == -2) break;
        any = true;
        s.lock.take();
        if (n > 0) {
            reader.append(piece, static_cast<size_t>(n));
            WireMessage message;
            while (reader.next(message)) DeliverFromHost(s, message);
        }
        // A host that has gone (or sends what cannot be read) ends the session
        // for this program: no further messages, and waits give up.
        if (n <= 0 || reader.broken()) {
            hostGone = true;
            s.active = 0;
        }
        s.lock.release();
        if (hostGone) break;
    }
    return any;
}

uint32_t RunSessionWorker(void* argument) {
    SessionRecord& s = *static_cast<SessionRecord*>(argument);
    HostRelay relay;
    MessageReader fromHost;
    bool hostGone = false;
    std::vector<platform::SocketWait> waits;
    while (!s.stopRequest.load()) {
        bool busy = SendRegistrations(s);
        busy = ReadFromHost(s, fromHost, hostGone) || busy;
        if (s.host) busy = relay.serve(s) || busy;
        if (busy) {
            std::this_thread::yield();
            continue;
        }
        // Nothing to do: wait for the sockets rather than spin on a shared
        // core, at most 1 ms so new players and the stop request are seen.
        waits.clear();
        if (!hostGone)
            if (const SocketSlot* c = UsedSlot(s.connectionSlot)) waits.push_back({c->socket, false});
        if (s.host) relay.addWaits(s, waits);
        platform::WaitForAny(waits, kIdleWaitMs);
    }
    // A host that stops still relays what has reached it and sends what it
    // has queued, so the last messages sent before leaving arrive. Bounded:
    // a peer that does not read cannot hold the leave up.
    const auto drainEnd = std::chrono::steady_clock::now() + kStopDrain;
    while (s.host && std::chrono::steady_clock::now() < drainEnd) {
        const bool busy = relay.serve(s);
        if (busy) continue;
        if (!relay.hasQueued()) break;
        waits.clear();
        relay.addWaits(s, waits);
        platform::WaitForAny(waits, kIdleWaitMs);
    }
    s.workerRunning = 0;
    return 0;
}

}  // namespace

void DeliverFromHost(SessionRecord& s, const WireMessage& m) {
    if (m.type == kRegistrationAnswer) {
        for (SessionPlayer& p : s.players) {
            if (p.hostSide || p.id != kRegistrationSent) continue;
            p.id = m.receiver;
            if (p.query && m.receiver < kFirstNonPlayerId) s.queryPlayerId = m.receiver;
            return;
        }
        return;
    }
    const bool answer = m.type >= kAskPlayerCount && m.type <= kAskAlive;
    if (m.type != kTextMessage && !answer) return;
    if (SessionPlayer* p = OwnPlayer(s, m.receiver)) p->queue.push_back({m.type, m.sender, m.payload});
}

bool StartSessionWorker(SessionRecord& s) {
    s.stopRequest = 0;
    s.workerRunning = 1;
    s.worker = StartThread(RunSessionWorker, &s);
    if (!s.worker.started()) s.workerRunning = 0;
    return s.worker.started();
}

void StopSessionWorker(SessionRecord& s) {
    if (!s.worker.started()) return;
    s.stopRequest = 1;
    for (int i = 0; i < kStopWaitSteps && s.workerRunning.load(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    uint32_t code = 0;
    s.worker.wait(code);
    s.worker = ThreadHandle();
    s.stopRequest = 0;
}

}  // namespace vtx
