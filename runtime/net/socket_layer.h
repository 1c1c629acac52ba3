// The socket layer's process-wide state: the slot table, the start count
// and the last socket error, with the operations on slots that the socket
// commands and the network sessions share.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

#include "platform/sockets.h"

namespace vtx {

inline constexpr int32_t kSocketSlotCount = 1024;
// The last socket error when every slot is in use.
inline constexpr int32_t kNoFreeSlotError = 8;
// Bounded waits (connect, each download receive) never exceed this.
inline constexpr int32_t kLongestWaitMs = 30000;

// One entry of the slot table.
struct SocketSlot {
    int32_t socket = platform::kNoSocket;  // -1: free
    platform::Ipv4Endpoint address;        // bound (listening, UDP) or peer (connected)
    uint8_t datagram = 0;                  // 1: UDP
};

struct SocketLayerState {
    std::array<SocketSlot, kSocketSlotCount> slots;
    int32_t startCount = 0;
    std::atomic<int32_t> lastError{0};
    // Claiming and freeing slots: the session worker opens and closes
    // sockets while the application does, and two claims must never take
    // the same slot.
    std::mutex slotGuard;
};
extern SocketLayerState SocketLayer;

// --- Last socket error (socket_errors.cpp) ------------------------------------
void SetLastSocketError(int32_t code) noexcept;
int32_t LastSocketError() noexcept;
// Sets the last socket error after a system call: 0 when it succeeded, else
// the system's code.
void NoteSocketCall(bool succeeded) noexcept;

// Shutdown: stops the socket layer 16 times over, so that the starts a
// program left behind do not keep it running.
void ReleaseSocketLayer();

// --- Slots (socket_layer.cpp) -----------------------------------------------
// Puts the socket into the lowest free slot; -1 with last error 8 when every
// slot is in use (the caller still owns the socket then).
int32_t ClaimSlot(int socket, const platform::Ipv4Endpoint& address, bool datagram);
// True when there is a free slot (a claim may still lose it to another thread).
bool HasFreeSlot();
// The slot when the number names a used one; otherwise nullptr and last
// error EBADF.
SocketSlot* UsedSlot(int32_t slot) noexcept;
// Frees the slot; its socket is closed (a TCP one at once, unsent bytes
// dropped). True when the close succeeded.
bool FreeSlot(int32_t slot);
// 0 or less, or above 30000 ms, means 30000 ms.
int32_t BoundedWaitMs(int32_t ms) noexcept;

// Writes one console line (the layer's progress and failure messages).
void PrintNetLine(const char* text);

// --- Addresses (addresses.cpp) ------------------------------------------------
// Resolves a name ("" is this machine: its first own address, else
// "127.0.0.1", else "localhost.local") and pairs it with the port. Address
// and port both 0 when the name cannot be resolved.
platform::Ipv4Endpoint ResolveHost(const char* name, uint16_t port);

// --- TCP (tcp.cpp) -----------------------------------------------------------
// TcpListen with a chosen backlog: the session host takes many joiners at once.
int32_t ListenOnSlot(int32_t port, int backlog);

// --- Byte transfer on slots (socket_io.cpp) -----------------------------------
bool SetSlotBlocking(int32_t slot, bool blocking);
// The send loop: every byte goes, waiting while the socket has no room. A
// UDP slot needs a destination with address or port set. The count, or -1.
int32_t SendBytes(int32_t slot, const void* data, int32_t count,
                  const platform::Ipv4Endpoint* destination = nullptr);
// One receive of at most max bytes: the count; 0 closed or reset; -2
// nothing waiting; -1 other errors.
int32_t ReceiveOnce(int32_t slot, void* data, int32_t max);
// Receives until count bytes have arrived: count; -2 when nothing was
// waiting at the start; 0 when the peer closed or reset; -1 on other errors,
// and when the rest of a started block stalls for the longest wait.
int32_t ReceiveAll(int32_t slot, void* data, int32_t count);

}  // namespace vtx
