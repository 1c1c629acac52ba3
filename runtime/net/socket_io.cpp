// Sending and receiving on slots: the send loop, single and whole-block
// receives, and the commands built on them.
#include <cerrno>
#include <chrono>

#include "net/net_commands.h"
#include "net/socket_layer.h"

namespace vtx {
namespace {

using Clock = std::chrono::steady_clock;

// A wait for room or data gives up after this long without progress, so a
// peer that stops reading (or stops in the middle of a block) cannot hold
// the caller for ever.
constexpr auto kStallLimit = std::chrono::milliseconds(kLongestWaitMs);
constexpr int kWaitStepMs = 100;
constexpr int32_t kLargestReceive = 16 * 1024 * 1024;

}  // namespace

bool SetSlotBlocking(int32_t slot, bool blocking) {
    const SocketSlot* s = UsedSlot(slot);
    if (s == nullptr) return false;
    const bool done = platform::SetSocketBlocking(s->socket, blocking);
    NoteSocketCall(done);
    return done;
}

int32_t SendBytes(int32_t slot, const void* data, int32_t count, const platform::Ipv4Endpoint* destination) {
    const SocketSlot* s = UsedSlot(slot);
    if (s == nullptr) return -1;
    if (s->datagram) {
        if (destination == nullptr || (destination->address == 0 && destination->port == 0)) {
            SetLastSocketError(EDESTADDRREQ);
            return -1;
        }
    } else {
        destination = nullptr;  // a connected socket has its peer
    }
    if (count <= 0) return 0;
    const int socket = s->socket;
    const char* bytes = static_cast<const char*>(data);
    int32_t sent = 0;
    auto lastProgress = Clock::now();
    while (sent < count) {
        const int64_t n = platform::SendSome(socket, bytes + sent, static_cast<size_t>(count - sent), destination);
        if (n > 0) {
            sent += static_cast<int32_t>(n);
            lastProgress = Clock::now();
            continue;
        }
        const int code = platform::SocketErrorCode();
        if (n < 0 && !platform::IsWouldBlockCode(code)) {
            SetLastSocketError(code);
            return -1;
        }
        // No room yet: wait for it rather than spinning.
        if (Clock::now() - lastProgress > kStallLimit) {
            SetLastSocketError(ETIMEDOUT);
            return -1;
        }
        platform::WaitWritable(socket, kWaitStepMs);
    }
    SetLastSocketError(0);
    return count;
}

int32_t ReceiveOnce(int32_t slot, void* data, int32_t max) {
    const SocketSlot* s = UsedSlot(slot);
    if (s == nullptr) return -1;
    if (max <= 0) {
        SetLastSocketError(EINVAL);
        return -1;
    }
    const int64_t n = platform::ReceiveSome(s->socket, data, static_cast<size_t>(max));
    if (n > 0) {
        SetLastSocketError(0);
        return static_cast<int32_t>(n);
    }
    if (n == 0) {
        SetLastSocketError(0);
        return 0;
    }
    const int code = platform::SocketErrorCode();
    SetLastSocketError(code);
    if (platform::IsResetCode(code)) return 0;
    if (platform::IsWouldBlockCode(code)) return -2;
    return -1;
}

int32_t ReceiveAll(int32_t slot, void* data, int32_t count) {
    char* bytes = static_cast<char*>(data);
    int32_t got = 0;
    auto lastProgress = Clock::now();
    while (got < count) {
        const int32_t n = ReceiveOnce(slot, bytes + got, count - got);
        if (n > 0) {
            got += n;
            lastProgress = Clock::now();
            continue;
        }
        if (n != -2) return n;
        if (got == 0) return -2;
        // The rest of a started block is on its way: wait for it, bounded.
        if (Clock::now() - lastProgress > kStallLimit) {
            SetLastSocketError(ETIMEDOUT);
            return -1;
        }
        const SocketSlot* s = UsedSlot(slot);
        if (s == nullptr) return -1;
        platform::WaitReadable(s->socket, kWaitStepMs);
    }
    return count;
}

}  // namespace vtx

using namespace vtx;

int32_t SocketSend(int32_t slot, const RtString& text) {
    return SendBytes(slot, text.c_str(), static_cast<int32_t>(text.length()));
}

int32_t UdpSendTo(int32_t slot, const RtString& text, int32_t address, int32_t port) {
    const platform::Ipv4Endpoint to{static_cast<uint32_t>(address), static_cast<uint16_t>(port)};
    if (port < 0 || port > 65535) {
        SetLastSocketError(EINVAL);
        return -1;
    }
    const SocketSlot* s = UsedSlot(slot);
    if (s == nullptr) return -1;
    if (!s->datagram) {
        SetLastSocketError(EPROTOTYPE);
        return -1;
    }
    return SendBytes(slot, text.c_str(), static_cast<int32_t>(text.length()), &to);
}

int32_t SocketReceive(int32_t slot, RtString& output, int32_t maxBytes) {
    if (maxBytes <= 0 || UsedSlot(slot) == nullptr) {
        if (maxBytes <= 0) SetLastSocketError(EINVAL);
        output = RtString();
        return -1;
    }
    // One receive never brings more than the socket holds; a larger maximum
    // would only reserve memory for nothing.
    const int32_t take = maxBytes < kLargestReceive ? maxBytes : kLargestReceive;
    char* block = output.getBuffer(static_cast<uint32_t>(take));
    const int32_t n = ReceiveOnce(slot, block, take);
    if (n > 0) {
        // The length is the count received: zero bytes stay inside the text.
        output.truncate(n);
        return n;
    }
    output = RtString();
    return n;
}

bool SocketClose(int32_t slot) { return FreeSlot(slot); }
