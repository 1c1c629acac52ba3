// Fuzzes the PNG decoder through a memory name, keyed by the last byte when
// it is below 0x80. When that byte is even, every chunk checksum is made
// right first, so mutations get past the checks into the chunk readers and
// the pixel code instead of dying at the first checksum. A success must leave a consistent buffer whose every
// byte is readable, and decoding the same bytes again into the now large
// enough buffer must reuse its block and give the same pixels; a failure
// must leave the buffer empty.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include <zlib.h>

#include "core/rt_string.h"
#include "files/memory_names.h"
#include "gfx2d/picture_codecs.h"

namespace {

// Decodes the registered bytes once.
bool DecodeOnce(vtx::ImageBuffer& image, const RtString& name, int32_t key) {
    return vtx::DecodePng(image, name.c_str(), key);
}

// FNV-1a over the pixels in use: reads every byte.
uint64_t Digest(const vtx::ImageBuffer& image) {
    uint64_t h = 1469598103934665603u;
    const size_t bytes = static_cast<size_t>(image.width) * image.height * 4;
    for (size_t i = 0; i < bytes; ++i) h = (h ^ image.pixels[i]) * 1099511628211u;
    return h;
}

// Rewrites the CRC of every whole chunk after the 8-byte signature.
void FixChunkChecksums(std::vector<uint8_t>& bytes) {
    size_t at = 8;
    while (at + 12 <= bytes.size()) {
        const uint32_t length = (uint32_t{bytes[at]} << 24) | (uint32_t{bytes[at + 1]} << 16) |
                                (uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
        if (length > bytes.size() - at - 12) break;
        const uint32_t crc = static_cast<uint32_t>(crc32(0, bytes.data() + at + 4, length + 4));
        uint8_t* out = bytes.data() + at + 8 + length;
        out[0] = static_cast<uint8_t>(crc >> 24);
        out[1] = static_cast<uint8_t>(crc >> 16);
        out[2] = static_cast<uint8_t>(crc >> 8);
        out[3] = static_cast<uint8_t>(crc);
        at += 12 + length;
    }
}

// Aborts unless a failed decode left the buffer empty.
void CheckEmpty(const vtx::ImageBuffer& image) {
    if (image.pixels != nullptr || image.width != 0 || image.height != 0 || image.capacity != 0) std::abort();
}

}  // namespace

// One input: decode, check, decode again into the same buffer.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0x7FFFFFFF) return 0;
    const int32_t key = size > 0 && data[size - 1] < 0x80 ? data[size - 1] * 0x010101 : vtx::kNoColorKey;
    std::vector<uint8_t> bytes(data, data + size);
    if (size > 0 && (data[size - 1] & 1) == 0) FixChunkChecksums(bytes);
    const RtString name = vtx::RegisterMemoryBlock(bytes.data(), static_cast<uint32_t>(size));
    vtx::ImageBuffer image;
    if (!DecodeOnce(image, name, key)) {
        CheckEmpty(image);
    } else {
        const int64_t bytes = static_cast<int64_t>(image.width) * image.height * 4;
        if (image.width <= 0 || image.height <= 0 || image.pixels == nullptr || image.capacity < bytes) std::abort();
        const uint64_t first = Digest(image);
        const uint8_t* block = image.pixels;
        if (!DecodeOnce(image, name, key) || image.pixels != block || Digest(image) != first) std::abort();
    }
    vtx::UnregisterMemoryBlock(name);
    return 0;
}
