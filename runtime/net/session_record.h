// The network session's process-wide state, shared by the application's
// thread (the commands) and the session worker under one RtLock.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <list>
#include <mutex>
#include <string>

#include "net/rt_lock.h"
#include "net/session_messages.h"
#include "net/threads.h"

namespace vtx {

inline constexpr int32_t kDefaultSessionPort = 27910;

// A message waiting for a player.
struct QueuedMessage {
    uint8_t type = 0;
    uint16_t sender = 0;
    std::string payload;
};

struct SessionPlayer {
    int32_t slot = -1;    // the connection it lives on (on the host: its owner's)
    uint16_t id = kNotRegistered;
    uint8_t query = 0;    // the hidden player that asks the host
    uint8_t hostSide = 0; // the host's record of a player of the session
    std::string name;
    std::deque<QueuedMessage> queue;
};

struct SessionRecord {
    RtLock lock;
    int32_t listeningSlot = -1;
    int32_t connectionSlot = -1;
    std::list<SessionPlayer> players;  // stable addresses while the lock is held
    uint16_t nextPlayerId = kFirstPlayerId;
    std::deque<uint16_t> leftPlayers;
    uint16_t queryPlayerId = 0;
    uint8_t host = 0;
    uint8_t active = 0;
    std::atomic<uint8_t> stopRequest{0};
    std::atomic<uint8_t> workerRunning{0};
    uint16_t lastSender = 0;
    // Whether this session holds a start of the socket layer.
    bool layerStarted = false;
    ThreadHandle worker;
    // Sends on the connection to the host come from both threads; whole
    // messages must not interleave. Not the RtLock: the queues stay free
    // while a send waits.
    std::mutex sendGuard;
};

// The record, created at start-up (nullptr before and after).
SessionRecord* Session();

// Start-up: the record in its reset state.
void CreateSessionRecord();
// Shutdown: leave messages for this program's players, the worker stopped,
// the slots closed, the layer stopped, the record freed.
void ReleaseSessionRecord();

// The record as a reset leaves it (next id 101, no players, flags cleared);
// the caller holds the lock.
void ResetSession(SessionRecord& s);

// Player lookups; the caller holds the lock. Own players are the ones this
// program registered (not the host's records of the session's players).
SessionPlayer* OwnPlayer(SessionRecord& s, uint16_t id);
SessionPlayer* HostPlayer(SessionRecord& s, uint16_t id);

// Sends one whole message on the connection to the host, outside the
// RtLock; the bytes sent or -1.
int32_t SendToHost(SessionRecord& s, const std::string& message);

}  // namespace vtx
