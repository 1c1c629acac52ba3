// A session peer written with raw sockets: it speaks the wire format from
// outside the runtime, politely or not.
#pragma once

#include <string>

#include "net/loopback_peer.h"
#include "net/session_messages.h"

namespace vtx::test {

class RawPeer {
public:
    explicit RawPeer(uint16_t port) : fd_(ConnectLoopback(port)) {}
    ~RawPeer() {
        if (fd_ >= 0) close(fd_);
    }
    RawPeer(const RawPeer&) = delete;
    RawPeer& operator=(const RawPeer&) = delete;

    bool connected() const { return fd_ >= 0; }
    bool sendRaw(const std::string& bytes) { return SendAll(fd_, bytes); }
    bool send(uint8_t type, uint16_t receiver, uint16_t sender, const std::string& payload = {}) {
        return sendRaw(EncodeMessage(type, receiver, sender, payload));
    }
    // The next message, waiting at most ms; false on time-out or close.
    bool receive(WireMessage& message, int ms = kPeerWaitMs) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!reader_.next(message)) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !WaitFor(fd_, POLLIN, static_cast<int>(left.count()))) return false;
            char piece[4096];
            const ssize_t n = recv(fd_, piece, sizeof piece, 0);
            if (n <= 0) {
                closed_ = true;
                return false;
            }
            reader_.append(piece, static_cast<size_t>(n));
        }
        return true;
    }
    // The next message of a type, skipping others.
    bool receiveType(uint8_t type, WireMessage& message, int ms = kPeerWaitMs) {
        for (int i = 0; i < 1000; ++i) {
            if (!receive(message, ms)) return false;
            if (message.type == type) return true;
        }
        return false;
    }
    // Registers a player; its id, or 0.
    uint16_t registerPlayer(const std::string& name, bool query = false) {
        WireMessage answer;
        if (!send(kRegisterPlayer, kHostId, 0, EncodeRegistration(name, query)) ||
            !receiveType(kRegistrationAnswer, answer))
            return 0;
        return answer.receiver;
    }
    // True when the host has closed this connection (waiting at most ms).
    bool closedByHost(int ms = kPeerWaitMs) {
        WireMessage ignored;
        for (int i = 0; i < 10000 && !closed_; ++i)
            if (!receive(ignored, ms)) break;
        return closed_;
    }
    int fd() const { return fd_; }

private:
    int fd_;
    MessageReader reader_;
    bool closed_ = false;
};

}  // namespace vtx::test
