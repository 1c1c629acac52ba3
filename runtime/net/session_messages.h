// The session wire format: a 7-byte header (type, payload length, receiver
// id, sender id; the 16-bit fields big-endian) and a payload of at most
// 1024 bytes. 2-byte payload values are big-endian too.
//
// The registration payload is 148 bytes: the name, zero-terminated, in the
// first 128 (at most 127 characters), the query flag at 128, the host-side
// flag at 129, zeros up to 147.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vtx {

inline constexpr size_t kMessageHeaderSize = 7;
inline constexpr size_t kLargestPayload = 1024;
inline constexpr size_t kRegistrationSize = 148;
inline constexpr size_t kLongestPlayerName = 127;

// Message types.
inline constexpr uint8_t kRegisterPlayer = 1;
inline constexpr uint8_t kRegistrationAnswer = 2;
inline constexpr uint8_t kTextMessage = 3;
inline constexpr uint8_t kPlayerLeaves = 4;
inline constexpr uint8_t kAskPlayerCount = 101;
inline constexpr uint8_t kAskPlayerByIndex = 102;
inline constexpr uint8_t kAskPlayerName = 103;
inline constexpr uint8_t kAskAlive = 104;

// Player ids.
inline constexpr uint16_t kHostId = 0;
inline constexpr uint16_t kEveryPlayer = 65535;
inline constexpr uint16_t kFirstPlayerId = 101;
inline constexpr uint16_t kNotRegistered = 0xFF00;
inline constexpr uint16_t kRegistrationToSend = 0xFFFE;
inline constexpr uint16_t kRegistrationSent = 0xFFFC;
// Ids at or above this are never players.
inline constexpr uint16_t kFirstNonPlayerId = 0xFF00;

struct WireMessage {
    uint8_t type = 0;
    uint16_t receiver = 0;
    uint16_t sender = 0;
    std::string payload;
};

// Header and payload, ready to send. The payload must fit (kLargestPayload).
std::string EncodeMessage(uint8_t type, uint16_t receiver, uint16_t sender, const std::string& payload = {});
std::string EncodeValue(uint16_t value);
// The 2-byte value at the start of a payload; false when it is shorter.
bool DecodeValue(const std::string& payload, uint16_t& value);

std::string EncodeRegistration(const std::string& name, bool query);
// Reads a registration of any length: the name ends at its terminator, the
// end of the payload or 127 characters, whichever comes first.
void DecodeRegistration(const std::string& payload, std::string& name, bool& query);

// Cuts a byte stream into messages. Bytes go in as they arrive; complete
// messages come out in order. A header declaring more than 1024 payload
// bytes breaks the stream for good.
class MessageReader {
public:
    void append(const char* bytes, size_t size);
    // The next complete message; false when none is complete (or broken).
    bool next(WireMessage& message);
    bool broken() const noexcept { return broken_; }
    // Bytes held that are not yet a complete message.
    size_t pending() const noexcept { return buffer_.size() - start_; }

private:
    std::string buffer_;
    size_t start_ = 0;
    bool broken_ = false;
};

}  // namespace vtx
