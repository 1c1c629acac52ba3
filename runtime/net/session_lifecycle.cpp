// Hosting, joining and leaving a session, and the record's release at
// shutdown.
#include <chrono>
#include <thread>

#include "net/net_commands.h"
#include "net/session_commands.h"
#include "net/session_record.h"
#include "net/session_requests.h"
#include "net/session_worker.h"
#include "net/socket_layer.h"

namespace vtx {
namespace {

constexpr int32_t kSessionConnectWaitMs = 5000;
constexpr int kJoinBacklog = 256;

int32_t SessionPort(int32_t port) { return port <= 0 ? kDefaultSessionPort : port; }

// Stops a running session: worker, slots, the layer's start. The result of
// stopping the layer (0 when this session held no start).
int32_t StopSession(SessionRecord& s) {
    StopSessionWorker(s);
    s.lock.take();
    const int32_t listening = s.listeningSlot;
    const int32_t connection = s.connectionSlot;
    s.listeningSlot = -1;
    s.connectionSlot = -1;
    s.lock.release();
    {
        std::lock_guard<std::mutex> hold(s.sendGuard);
        if (listening >= 0) SocketClose(listening);
        if (connection >= 0) SocketClose(connection);
    }
    int32_t stopped = 0;
    if (s.layerStarted) {
        s.layerStarted = false;
        stopped = SocketStop();
    }
    s.lock.take();
    ResetSession(s);
    s.lock.release();
    return stopped;
}

// Steps 1 and 2 of hosting and joining: any running session stopped, the
// record reset, the layer started.
bool StartOver(SessionRecord& s) {
    StopSession(s);
    if (!SocketStart()) return false;
    s.layerStarted = true;
    return true;
}

}  // namespace

SessionRecord& EnsureSession() {
    if (Session() == nullptr) CreateSessionRecord();
    return *Session();
}

void ReleaseSessionRecord() {
    SessionRecord* s = Session();
    if (s == nullptr) return;
    // Every player of this program tells the host it leaves.
    std::vector<std::string> leaves;
    s->lock.take();
    for (const SessionPlayer& p : s->players)
        if (!p.hostSide && p.id >= 1 && p.id < kFirstNonPlayerId)
            leaves.push_back(EncodeMessage(kPlayerLeaves, kHostId, p.id));
    s->lock.release();
    for (const std::string& m : leaves) SendToHost(*s, m);
    StopSession(*s);
    DestroySessionRecord();
}

}  // namespace vtx

using namespace vtx;

bool NetHost(int32_t port) {
    SessionRecord& s = EnsureSession();
    port = SessionPort(port);
    if (!StartOver(s)) return false;
    // A backlog large enough for many programs joining at once.
    const int32_t listening = ListenOnSlot(port, kJoinBacklog);
    // The host joins its own session over the loop-back address, so nothing
    // of a session on one machine leaves it.
    const int32_t connection = listening >= 0 ? TcpConnect(RtString("127.0.0.1"), port, kSessionConnectWaitMs) : -1;
    s.lock.take();
    s.listeningSlot = listening;
    s.connectionSlot = connection;
    s.lock.release();
    if (listening < 0 || connection < 0) {
        StopSession(s);
        return false;
    }
    platform::SendWithoutDelay(UsedSlot(connection)->socket);
    s.lock.take();
    s.host = 1;
    s.active = 1;
    s.lock.release();
    if (!StartSessionWorker(s)) {
        StopSession(s);
        return false;
    }
    return true;
}

bool NetJoin(const RtString& host, int32_t port) {
    SessionRecord& s = EnsureSession();
    port = SessionPort(port);
    if (!StartOver(s)) return false;
    const int32_t connection = TcpConnect(host, port, kSessionConnectWaitMs);
    if (connection < 0) {
        StopSession(s);
        return false;
    }
    platform::SendWithoutDelay(UsedSlot(connection)->socket);
    s.lock.take();
    s.connectionSlot = connection;
    s.lock.release();
    if (!StartSessionWorker(s)) {
        StopSession(s);
        return false;
    }
    s.lock.take();
    s.active = 1;
    s.lock.release();
    std::string answer;
    if (!AskHost(s, kAskAlive, std::string(), answer)) {
        StopSession(s);
        return false;
    }
    return true;
}

int32_t NetLeave() {
    SessionRecord* s = Session();
    if (s == nullptr) return 0;
    return StopSession(*s);
}

bool NetIsActive() {
    SessionRecord* s = Session();
    if (s == nullptr) return false;
    s->lock.take();
    const bool active = s->active != 0;
    s->lock.release();
    return active;
}
