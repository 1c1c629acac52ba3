// Channel reads: binary values (little-endian), raw characters and lines.
#include <cstring>
#include <new>

#include "files/channel_table.h"
#include "files/channels.h"
#include "host/host_state.h"

namespace vtx {
namespace {

constexpr int32_t kLineLimit = 1024;

// Reads count bytes of a value into bytes (zeroed first, so a memory file
// cut short leaves the missing high bytes 0); a failed read ends the program.
void ReadValue(uint32_t channel, uint8_t* bytes, int32_t count) {
    Channel& ch = CheckedChannel(channel);
    std::memset(bytes, 0, static_cast<size_t>(count));
    if (!ch.file.read(bytes, count)) ChannelFailure();
}

uint32_t LittleEndian(const uint8_t* b, int32_t count) {
    uint32_t value = 0;
    for (int32_t i = count - 1; i >= 0; --i) value = (value << 8) | b[i];
    return value;
}

}  // namespace
}  // namespace vtx

void ReadInt8(uint32_t channel, int32_t& value) {
    uint8_t b[1];
    vtx::ReadValue(channel, b, 1);
    value = static_cast<int8_t>(b[0]);
}

void ReadUInt8(uint32_t channel, int32_t& value) {
    uint8_t b[1];
    vtx::ReadValue(channel, b, 1);
    value = b[0];
}

void ReadInt16(uint32_t channel, int32_t& value) {
    uint8_t b[2];
    vtx::ReadValue(channel, b, 2);
    value = static_cast<int16_t>(vtx::LittleEndian(b, 2));
}

void ReadUInt16(uint32_t channel, int32_t& value) {
    uint8_t b[2];
    vtx::ReadValue(channel, b, 2);
    value = static_cast<int32_t>(vtx::LittleEndian(b, 2));
}

void ReadInt32(uint32_t channel, int32_t& value) {
    uint8_t b[4];
    vtx::ReadValue(channel, b, 4);
    value = static_cast<int32_t>(vtx::LittleEndian(b, 4));
}

void ReadUInt32(uint32_t channel, int32_t& value) { ReadInt32(channel, value); }

void ReadFloat32(uint32_t channel, double& value) {
    uint8_t b[4];
    vtx::ReadValue(channel, b, 4);
    const uint32_t bits = vtx::LittleEndian(b, 4);
    float single;
    std::memcpy(&single, &bits, 4);
    value = single;
}

void ReadFloat64(uint32_t channel, double& value) {
    uint8_t b[8];
    vtx::ReadValue(channel, b, 8);
    const uint64_t bits = (static_cast<uint64_t>(vtx::LittleEndian(b + 4, 4)) << 32) | vtx::LittleEndian(b, 4);
    std::memcpy(&value, &bits, 8);
}

void ReadChars(uint32_t channel, RtString& text, int32_t n) {
    if (n <= 0) {
        text = "";
        return;
    }
    vtx::Channel& ch = vtx::CheckedChannel(channel);
    // A disk file that cannot deliver n bytes fails anyway: fail before
    // making room for them, so a huge count on a small file costs nothing.
    if (ch.file.isDisk() && !ch.writing && static_cast<int64_t>(n) > static_cast<int64_t>(ch.file.size()) - ch.file.position())
        vtx::ChannelFailure();
    const uint32_t room = static_cast<uint32_t>(n) + 32;
    char* buffer = nullptr;
    try {
        buffer = text.getBuffer(room);
    } catch (const std::bad_alloc&) {
        vtx::FatalError(vtx::kBadChannel);  // no room for the text: "out of memory"
    }
    std::memset(buffer, 0, room);
    if (!ch.file.read(buffer, n)) vtx::ChannelFailure();
    // The length is n whatever was read: zero bytes stay part of the text.
    text.truncate(n);
}

void ReadLine(uint32_t channel, RtString& line) {
    vtx::Channel& ch = vtx::CheckedChannel(channel);
    // Room for the longest line; only the bytes of the line are written, and
    // the terminator after them.
    char* buffer = line.getBuffer(vtx::kLineLimit);
    int32_t length = 0;
    bool ended = false;  // a line feed ended the line
    while (length < vtx::kLineLimit && !ended) {
        const uint8_t* data = nullptr;
        const int32_t available = ch.file.peek(data, vtx::kLineLimit - length);
        if (available <= 0) break;  // the end of the data (or a read error) ends the line
        const void* feed = std::memchr(data, '\n', static_cast<size_t>(available));
        const int32_t take = feed != nullptr ? static_cast<int32_t>(static_cast<const uint8_t*>(feed) - data) : available;
        std::memcpy(buffer + length, data, static_cast<size_t>(take));
        length += take;
        ended = feed != nullptr;
        ch.file.consume(ended ? take + 1 : take);
    }
    if (length == 0 && !ended) vtx::ChannelFailure();  // nothing left to read
    if (ended && length > 0 && buffer[length - 1] == '\r') --length;
    buffer[length] = 0;
    // Recounted: a zero byte inside the line ends it.
    line.recount();
}

void ReadLineNumber(uint32_t channel, double& value) {
    RtString line;
    ReadLine(channel, line);
    value = static_cast<double>(line);
}

void ReadLineInteger(uint32_t channel, int32_t& value) {
    RtString line;
    ReadLine(channel, line);
    value = static_cast<int32_t>(line);
}
