// The session record's life: created at start-up, released at shutdown.
#include "net/session_record.h"

#include "net/session_requests.h"
#include "net/socket_layer.h"

namespace vtx {
namespace {

SessionRecord* TheSession = nullptr;

}  // namespace

SessionRecord* Session() { return TheSession; }

void DestroySessionRecord() {
    // The caller has stopped the worker and reset the record.
    delete TheSession;
    TheSession = nullptr;
}

void ResetSession(SessionRecord& s) {
    s.listeningSlot = -1;
    s.connectionSlot = -1;
    s.players.clear();
    s.nextPlayerId = kFirstPlayerId;
    s.leftPlayers.clear();
    s.queryPlayerId = 0;
    s.host = 0;
    s.active = 0;
    s.stopRequest = 0;
    s.lastSender = 0;
}

void CreateSessionRecord() {
    if (TheSession != nullptr) return;
    TheSession = new SessionRecord;
    ResetSession(*TheSession);
}

SessionPlayer* OwnPlayer(SessionRecord& s, uint16_t id) {
    for (SessionPlayer& p : s.players)
        if (!p.hostSide && p.id == id) return &p;
    return nullptr;
}

SessionPlayer* HostPlayer(SessionRecord& s, uint16_t id) {
    for (SessionPlayer& p : s.players)
        if (p.hostSide && p.id == id) return &p;
    return nullptr;
}

int32_t SendToHost(SessionRecord& s, const std::string& message) {
    std::lock_guard<std::mutex> hold(s.sendGuard);
    if (s.connectionSlot < 0) return -1;
    return SendBytes(s.connectionSlot, message.data(), static_cast<int32_t>(message.size()));
}

}  // namespace vtx
