// Registering players and asking the host, with the bounded wait both use:
// polls every 20 ms under the lock, 250 of them (about five seconds), ended
// early when the session stops.
#pragma once

#include <cstdint>
#include <string>

#include "net/session_record.h"

namespace vtx {

// The record, created on first use when start-up did not make it.
SessionRecord& EnsureSession();
// Frees the record (shutdown).
void DestroySessionRecord();

// Registers a player and waits for its id; 0 when no valid id came.
uint16_t RegisterPlayer(SessionRecord& s, const std::string& name);
// Sends a request through the query player (registered first if needed)
// and waits for the host's answer of that type; false when none came.
bool AskHost(SessionRecord& s, uint8_t type, const std::string& payload, std::string& answer);

}  // namespace vtx
