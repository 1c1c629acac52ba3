// The session worker: one background thread per program that moves
// messages between the sockets and the players' queues.
#pragma once

#include "net/session_messages.h"
#include "net/session_record.h"

namespace vtx {

// Starts the worker for the record; false when the thread did not start.
bool StartSessionWorker(SessionRecord& s);
// Asks the worker to finish and waits for it in steps of 50 ms.
void StopSessionWorker(SessionRecord& s);

// What a program does with a message from the host; the caller holds the
// lock. Registration answers name the id of the oldest waiting player;
// texts and answers go to the queue of the player named as receiver.
void DeliverFromHost(SessionRecord& s, const WireMessage& message);

}  // namespace vtx
