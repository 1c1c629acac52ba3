// Network session commands of the language: one program hosts a session on
// a TCP port, others join it; each registers named players, and players
// exchange short texts addressed to one player or to all. The host relays
// every message. Commands never block on the network except while waiting
// for the host's answer (about five seconds at most).
#pragma once

#include <cstdint>

#include "../core/rt_string.h"

// Hosts a session on the port (0 or less: 27910), stopping any running one.
bool NetHost(int32_t port);
// Joins the session at host:port (0 or less: 27910); true once the host
// answered.
bool NetJoin(const RtString& host, int32_t port);
// Ends this program's part of the session; what stopping the socket layer
// returned.
int32_t NetLeave();
// True while this program hosts or has joined a session.
bool NetIsActive();

// Registers a player and waits for its id (from 101); 0 when none came.
// An empty name makes the hidden query player.
int32_t NetAddPlayer(const RtString& name);
// Tells the host the player leaves; the bytes sent or -1.
int32_t NetRemovePlayer(int32_t playerId);
// Players of the session (hidden query players not counted); 0 without an
// answer.
int32_t NetPlayerCount();
// The id of the player at index (0 first); 0 when there is none.
int32_t NetPlayerId(int32_t index);
// The player's name; "NO_DATA" for an unknown id, empty without an answer.
RtString NetPlayerName(int32_t playerId);
// Sends a text (at most 1024 bytes) from one of this program's players to a
// player, or to every player but the sender when receiver is 0.
bool NetSendText(int32_t senderId, int32_t receiverId, const RtString& text);
// The oldest message queued for the player; empty when there is none.
RtString NetGetText(int32_t playerId);
// The sender of the message NetGetText returned last.
int32_t NetLastSender();
// Host only: the oldest id of a player that left; 0 when none did.
int32_t NetPlayerLeft();
