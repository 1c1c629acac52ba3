// Channel writes: binary values (little-endian), raw characters and lines.
#include <cstring>
#include <vector>

#include "files/channel_table.h"
#include "files/channels.h"

namespace vtx {
namespace {

// Writes the bytes to the channel's disk file; a channel without one (closed,
// or a memory file) or a short write ends the program.
void WriteBytes(uint32_t channel, const void* bytes, int32_t count) {
    Channel& ch = CheckedChannel(channel);
    if (!ch.file.isDisk() || !ch.file.write(bytes, count)) ChannelFailure();
}

void WriteLittleEndian(uint32_t channel, uint32_t value, int32_t count) {
    uint8_t b[4];
    for (int32_t i = 0; i < count; ++i) b[i] = static_cast<uint8_t>(value >> (8 * i));
    WriteBytes(channel, b, count);
}

// The text and CR LF in one write.
void WriteTextLine(uint32_t channel, const char* text, uint32_t length) {
    char small[256];
    std::vector<char> large;
    char* line = small;
    if (length + 2 > sizeof small) {
        large.resize(static_cast<size_t>(length) + 2);
        line = large.data();
    }
    std::memcpy(line, text, length);
    line[length] = '\r';
    line[length + 1] = '\n';
    WriteBytes(channel, line, static_cast<int32_t>(length + 2));
}

}  // namespace
}  // namespace vtx

void WriteInt8(uint32_t channel, int32_t value) { vtx::WriteLittleEndian(channel, static_cast<uint32_t>(value), 1); }
void WriteUInt8(uint32_t channel, int32_t value) { vtx::WriteLittleEndian(channel, static_cast<uint32_t>(value), 1); }
void WriteInt16(uint32_t channel, int32_t value) { vtx::WriteLittleEndian(channel, static_cast<uint32_t>(value), 2); }
void WriteUInt16(uint32_t channel, int32_t value) { vtx::WriteLittleEndian(channel, static_cast<uint32_t>(value), 2); }
void WriteInt32(uint32_t channel, int32_t value) { vtx::WriteLittleEndian(channel, static_cast<uint32_t>(value), 4); }
void WriteUInt32(uint32_t channel, int32_t value) { vtx::WriteLittleEndian(channel, static_cast<uint32_t>(value), 4); }

void WriteFloat32(uint32_t channel, double value) {
    const float single = static_cast<float>(value);
    uint32_t bits;
    std::memcpy(&bits, &single, 4);
    vtx::WriteLittleEndian(channel, bits, 4);
}

void WriteFloat64(uint32_t channel, double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, 8);
    uint8_t b[8];
    for (int i = 0; i < 8; ++i) b[i] = static_cast<uint8_t>(bits >> (8 * i));
    vtx::WriteBytes(channel, b, 8);
}

void WriteChars(uint32_t channel, const RtString& text) {
    vtx::WriteBytes(channel, text.c_str(), static_cast<int32_t>(text.length()));
}

void WriteLine(uint32_t channel, const RtString& text) { vtx::WriteTextLine(channel, text.c_str(), text.length()); }

void WriteLineNumber(uint32_t channel, double value) { WriteLine(channel, RtString(value)); }

void WriteLineInteger(uint32_t channel, int32_t value) { WriteLine(channel, RtString(value)); }
