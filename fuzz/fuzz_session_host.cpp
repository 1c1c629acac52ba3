// The host's message handling fed arbitrary bytes from three connections:
// each chunk is [connection][length][bytes]; a connection number with the
// top bit set ends that connection instead. No sockets are touched: the
// relay only queues its answers. Checks that player ids stay valid and
// unique and that queues stay within their bound.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>

#include "net/session_host.h"
#include "net/session_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vtx::SessionRecord session;
    vtx::ResetSession(session);
    session.host = 1;
    session.active = 1;
    vtx::HostRelay relay;
    for (int32_t slot = 1; slot <= 3; ++slot) relay.addConnection(slot);
    size_t at = 0;
    while (at + 2 <= size) {
        const uint8_t which = data[at];
        const size_t length = data[at + 1];
        at += 2;
        const int32_t slot = 1 + (which & 3) % 3;
        if (which & 0x80) {
            relay.forgetConnection(session, slot);
            relay.addConnection(slot);
            continue;
        }
        const size_t n = length < size - at ? length : size - at;
        relay.receiveBytes(session, slot, reinterpret_cast<const char*>(data + at), n);
        at += n;
    }
    std::set<uint16_t> ids;
    for (const vtx::SessionPlayer& p : session.players) {
        if (!p.hostSide) std::abort();
        if (p.id < vtx::kFirstPlayerId || p.id >= vtx::kFirstNonPlayerId) std::abort();
        if (!ids.insert(p.id).second) std::abort();
        if (p.name.size() > vtx::kLongestPlayerName) std::abort();
    }
    for (const auto& [slot, c] : relay.connections())
        if (c.outbox.size() > vtx::kLongestConnectionQueue) std::abort();
    return 0;
}
