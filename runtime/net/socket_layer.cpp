// The slot table and the layer's start and stop.
#include "net/socket_layer.h"

#include <cerrno>
#include <cstdio>

#include "net/net_commands.h"

namespace vtx {

SocketLayerState SocketLayer;

int32_t ClaimSlot(int socket, const platform::Ipv4Endpoint& address, bool datagram) {
    std::lock_guard<std::mutex> hold(SocketLayer.slotGuard);
    for (int32_t i = 0; i < kSocketSlotCount; ++i) {
        SocketSlot& s = SocketLayer.slots[static_cast<size_t>(i)];
        if (s.socket != platform::kNoSocket) continue;
        s.socket = socket;
        s.address = address;
        s.datagram = datagram ? 1 : 0;
        return i;
    }
    SetLastSocketError(kNoFreeSlotError);
    return -1;
}

bool HasFreeSlot() {
    std::lock_guard<std::mutex> hold(SocketLayer.slotGuard);
    for (const SocketSlot& s : SocketLayer.slots)
        if (s.socket == platform::kNoSocket) return true;
    SetLastSocketError(kNoFreeSlotError);
    return false;
}

SocketSlot* UsedSlot(int32_t slot) noexcept {
    if (slot < 0 || slot >= kSocketSlotCount ||
        SocketLayer.slots[static_cast<size_t>(slot)].socket == platform::kNoSocket) {
        SetLastSocketError(EBADF);
        return nullptr;
    }
    return &SocketLayer.slots[static_cast<size_t>(slot)];
}

bool FreeSlot(int32_t slot) {
    SocketSlot taken;
    {
        std::lock_guard<std::mutex> hold(SocketLayer.slotGuard);
        SocketSlot* s = UsedSlot(slot);
        if (s == nullptr) return false;
        taken = *s;
        *s = SocketSlot{};
    }
    const bool closed = taken.datagram ? platform::CloseSocket(taken.socket)
                                       : platform::CloseSocketAbortively(taken.socket);
    NoteSocketCall(closed);
    return closed;
}

void ReleaseSocketLayer() {
    for (int i = 0; i < 16; ++i) SocketStop();
}

void PrintNetLine(const char* text) {
    std::fputs(text, stdout);
    std::fputs("\n", stdout);
    std::fflush(stdout);
}

int32_t BoundedWaitMs(int32_t ms) noexcept { return ms <= 0 || ms > kLongestWaitMs ? kLongestWaitMs : ms; }

}  // namespace vtx

using namespace vtx;

// Nothing needs starting on this system: the first start clears the table.
bool SocketStart() {
    if (SocketLayer.startCount != 0) {
        ++SocketLayer.startCount;
        return true;
    }
    {
        std::lock_guard<std::mutex> hold(SocketLayer.slotGuard);
        for (SocketSlot& s : SocketLayer.slots) s = SocketSlot{};
    }
    SocketLayer.startCount = 1;
    SetLastSocketError(0);
    return true;
}

int32_t SocketStop() {
    if (SocketLayer.startCount-- > 1) return SocketLayer.startCount;
    std::lock_guard<std::mutex> hold(SocketLayer.slotGuard);
    for (SocketSlot& s : SocketLayer.slots) {
        if (s.socket == platform::kNoSocket) continue;
        if (s.datagram) platform::CloseSocket(s.socket);
        else platform::CloseSocketAbortively(s.socket);
        s = SocketSlot{};
    }
    SocketLayer.startCount = 0;
    return 0;
}
