// RIFF/WAVE reading for sound slots.
#include "audio/wave_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "files/memory_names.h"
#include "platform/platform.h"

namespace vtx {
namespace {

// Bytes from a memory block or a disk file.
class WaveSource {
public:
    ~WaveSource() {
        if (file_ != nullptr) std::fclose(file_);
    }
    bool Open(const char* name) {
        if (IsMemoryName(name)) {
            MemoryBlockView view;
            if (!OpenMemoryName(name, view)) return false;
            memory_ = view.data;
            size_ = view.size;
            inMemory_ = true;
            return true;
        }
        file_ = std::fopen(platform::NativePath(name).c_str(), "rb");
        if (file_ == nullptr || std::fseek(file_, 0, SEEK_END) != 0) return false;
        const long size = std::ftell(file_);
        if (size < 0 || std::fseek(file_, 0, SEEK_SET) != 0) return false;
        size_ = static_cast<uint64_t>(size);
        return true;
    }
    // Up to n bytes; the number read.
    size_t Read(void* out, size_t n) {
        n = static_cast<size_t>(std::min<uint64_t>(n, Left()));
        if (inMemory_) {
            if (n > 0) std::memcpy(out, memory_ + position_, n);
        } else {
            n = std::fread(out, 1, n, file_);
        }
        position_ += n;
        return n;
    }
    bool ReadExactly(void* out, size_t n) { return Read(out, n) == n; }
    bool Skip(uint64_t n) {
        if (n > Left()) return false;
        position_ += n;
        return inMemory_ || std::fseek(file_, static_cast<long>(position_), SEEK_SET) == 0;
    }
    uint64_t Left() const { return size_ - position_; }
    bool InMemory() const { return inMemory_; }

private:
    const uint8_t* memory_ = nullptr;
    std::FILE* file_ = nullptr;
    uint64_t size_ = 0;
    uint64_t position_ = 0;
    bool inMemory_ = false;
};

uint32_t Le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// Skips chunks until one with that id; its size comes back. A chunk of odd
// size is followed by a pad byte, which is skipped too.
bool FindChunk(WaveSource& source, const char* id, uint32_t& size) {
    uint8_t header[8];
    while (source.ReadExactly(header, 8)) {
        size = Le32(header + 4);
        if (std::memcmp(header, id, 4) == 0) return true;
        if (!source.Skip(uint64_t{size} + (size & 1))) return false;
    }
    return false;
}

enum class SampleKind { Integer, Float };

struct WaveFormat {
    uint16_t tag = 0, channels = 0, blockAlign = 0, bits = 0;
    uint32_t rate = 0;
    SampleKind kind = SampleKind::Integer;
};

constexpr uint16_t kTagFloat = 3;
constexpr uint16_t kTagExtensible = 0xFFFE;
// The 14 bytes that follow the tag in the sub-format GUID of KSDATAFORMAT_SUBTYPE_*.
constexpr uint8_t kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                        0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

bool ReadFormat(WaveSource& source, WaveFormat& format) {
    uint32_t size = 0;
    if (!FindChunk(source, "fmt ", size)) return false;
    uint8_t body[40] = {};
    const uint32_t wanted = std::clamp<uint32_t>(size, 16, 40);
    if (!source.ReadExactly(body, wanted)) return false;
    if (size > wanted && !source.Skip(uint64_t{size} - wanted)) return false;
    if ((size & 1) != 0 && !source.Skip(1)) return false;
    format.tag = Le16(body);
    format.channels = Le16(body + 2);
    format.rate = Le32(body + 4);
    format.blockAlign = Le16(body + 12);
    format.bits = Le16(body + 14);
    uint16_t real = format.tag;
    if (format.tag == kTagExtensible && size >= 40 && std::memcmp(body + 26, kSubFormatTail, 14) == 0)
        real = Le16(body + 24);
    if (real == kTagFloat) format.kind = SampleKind::Float;
    return true;
}

// Only formats the mixer can play are accepted, as the sound hardware would.
bool Playable(const WaveFormat& f, uint32_t channels) {
    if (f.rate < 100 || f.rate > 200000) return false;
    const bool bitsOk = f.kind == SampleKind::Float ? (f.bits == 32 || f.bits == 64)
                                                    : (f.bits == 8 || f.bits == 16 || f.bits == 24 || f.bits == 32);
    return bitsOk && f.blockAlign == channels * (f.bits / 8u);
}

float Sample(const uint8_t* p, const WaveFormat& f) {
    if (f.kind == SampleKind::Float) {
        double v;
        if (f.bits == 32) {
            float x;
            std::memcpy(&x, p, 4);
            v = x;
        } else {
            std::memcpy(&v, p, 8);
        }
        return std::isfinite(v) ? static_cast<float>(std::clamp(v, -1.0, 1.0)) : 0.0f;
    }
    switch (f.bits) {
    case 8: return (p[0] - 128) / 128.0f;
    case 16: return static_cast<int16_t>(Le16(p)) / 32768.0f;
    case 24: return static_cast<int32_t>(static_cast<uint32_t>(p[0] << 8 | p[1] << 16 | p[2] << 24)) / 2147483648.0f;
    default: return static_cast<int32_t>(Le32(p)) / 2147483648.0f;
    }
}

}  // namespace

bool ReadWave(const char* name, SampleBlock& block) {
    WaveSource source;
    if (!source.Open(name)) return false;
    uint8_t riff[12];
    if (!source.ReadExactly(riff, 12) || std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0)
        return false;
    WaveFormat format;
    if (!ReadFormat(source, format)) return false;
    uint32_t dataSize = 0;
    if (!FindChunk(source, "data", dataSize)) return false;
    const uint32_t channels = format.channels < 2 ? 1 : 2;
    if (!Playable(format, channels) || dataSize < 4 || dataSize > 0x0FFFFFFF) return false;
    // A short disk file fails; a memory block gives what it has.
    if (!source.InMemory() && source.Left() < dataSize) return false;
    const uint64_t frames = dataSize / format.blockAlign;
    const uint64_t stored = std::min<uint64_t>(frames, source.Left() / format.blockAlign);
    block.channels = channels;
    block.rate = format.rate;
    block.frames = frames;
    block.samples.resize(stored * channels);
    const uint32_t width = format.bits / 8u;
    uint8_t chunk[4096];
    const size_t perChunk = sizeof chunk / format.blockAlign;
    for (uint64_t done = 0; done < stored;) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(perChunk, stored - done));
        if (!source.ReadExactly(chunk, n * format.blockAlign)) return false;
        for (size_t i = 0; i < n * channels; ++i)
            block.samples[done * channels + i] = Sample(chunk + i * width, format);
        done += n;
    }
    return true;
}

}  // namespace vtx
