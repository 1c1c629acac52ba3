// The host's relay: the connections of every joined program, each with its
// own read buffer and send queue, so that one peer that floods, stalls or
// sends garbage never holds up the others.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/sockets.h"

#include "net/session_messages.h"
#include "net/session_record.h"

namespace vtx {

// Bounds that keep a hostile peer from exhausting the host.
inline constexpr size_t kLongestConnectionQueue = 1024 * 1024;  // bytes waiting to be sent
inline constexpr size_t kMostConnections = 256;
inline constexpr size_t kMostPlayersPerConnection = 64;

struct HostConnection {
    MessageReader reader;
    std::string outbox;
    bool closing = false;
};

class HostRelay {
public:
    // One round of the worker: accept, read every connection, handle what
    // came, send what is queued, drop the connections that ended. True when
    // anything happened.
    bool serve(SessionRecord& s);

    // The socket-free part, usable on bytes from anywhere: the bytes that
    // came from a connection are cut into messages and handled; the caller
    // holds the lock.
    void receiveBytes(SessionRecord& s, int32_t slot, const char* bytes, size_t size);
    void handle(SessionRecord& s, int32_t slot, const WireMessage& message);
    void addConnection(int32_t slot) { connections_[slot]; }
    // Frees the connection's players (their ids go to the left players);
    // the caller holds the lock and closes the slot.
    void forgetConnection(SessionRecord& s, int32_t slot);
    const std::map<int32_t, HostConnection>& connections() const { return connections_; }
    // The sockets to wake up for: the listening one and every connection
    // (to write too where messages wait to be sent).
    void addWaits(const SessionRecord& s, std::vector<platform::SocketWait>& waits) const;
    // True while a connection that is still open has messages waiting to be sent.
    bool hasQueued() const;

private:
    void queueTo(int32_t slot, const std::string& message);
    bool owns(SessionRecord& s, int32_t slot, uint16_t id);
    void answerRequest(SessionRecord& s, int32_t slot, const WireMessage& message);
    bool acceptJoiners(SessionRecord& s);
    bool readAll(SessionRecord& s);
    bool sendQueued();
    void dropEnded(SessionRecord& s);

    std::map<int32_t, HostConnection> connections_;
};

}  // namespace vtx
