// The session wire format (see session_messages.h).
#include "net/session_messages.h"

namespace vtx {

std::string EncodeValue(uint16_t value) {
    std::string bytes(2, 0);
    bytes[0] = static_cast<char>(value >> 8);
    bytes[1] = static_cast<char>(value & 255);
    return bytes;
}

bool DecodeValue(const std::string& payload, uint16_t& value) {
    if (payload.size() < 2) return false;
    value = static_cast<uint16_t>((static_cast<uint8_t>(payload[0]) << 8) | static_cast<uint8_t>(payload[1]));
    return true;
}

std::string EncodeMessage(uint8_t type, uint16_t receiver, uint16_t sender, const std::string& payload) {
    std::string message;
    message.reserve(kMessageHeaderSize + payload.size());
    message.push_back(static_cast<char>(type));
    message.append(EncodeValue(static_cast<uint16_t>(payload.size())));
    message.append(EncodeValue(receiver));
    message.append(EncodeValue(sender));
    message.append(payload);
    return message;
}

std::string EncodeRegistration(const std::string& name, bool query) {
    std::string payload(kRegistrationSize, 0);
    payload.replace(0, name.size() < kLongestPlayerName ? name.size() : kLongestPlayerName, name, 0,
                    kLongestPlayerName);
    payload[128] = query ? 1 : 0;
    return payload;
}

void DecodeRegistration(const std::string& payload, std::string& name, bool& query) {
    size_t length = 0;
    while (length < payload.size() && length < kLongestPlayerName && payload[length] != 0) ++length;
    name.assign(payload, 0, length);
    query = payload.size() > 128 && payload[128] != 0;
}

void MessageReader::append(const char* bytes, size_t size) {
    if (broken_) return;
    // Drop what has been read before growing the buffer.
    if (start_ > 0 && start_ >= buffer_.size() / 2) {
        buffer_.erase(0, start_);
        start_ = 0;
    }
    buffer_.append(bytes, size);
}

bool MessageReader::next(WireMessage& message) {
    if (broken_ || pending() < kMessageHeaderSize) return false;
    const auto byte = [this](size_t i) { return static_cast<uint8_t>(buffer_[start_ + i]); };
    const size_t length = static_cast<size_t>((byte(1) << 8) | byte(2));
    if (length > kLargestPayload) {
        broken_ = true;
        return false;
    }
    if (pending() < kMessageHeaderSize + length) return false;
    message.type = byte(0);
    message.receiver = static_cast<uint16_t>((byte(3) << 8) | byte(4));
    message.sender = static_cast<uint16_t>((byte(5) << 8) | byte(6));
    message.payload.assign(buffer_, start_ + kMessageHeaderSize, length);
    start_ += kMessageHeaderSize + length;
    if (start_ == buffer_.size()) {
        buffer_.clear();
        start_ = 0;
    }
    return true;
}

}  // namespace vtx
