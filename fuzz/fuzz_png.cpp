// Fuzzes the PNG decoder through a memory name, keyed by the last byte when
// it is below 0x80 (checks in picture_fuzz.h). When that byte is even, every
// chunk checksum is made right first, so mutations get past the checks into
// the chunk readers and the pixel code instead of dying at the first
// checksum.
#include <cstddef>
#include <cstdint>
#include <vector>

#include <zlib.h>

#include "gfx2d/picture_codecs.h"
#include "picture_fuzz.h"

namespace {

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int32_t key = fuzz::KeyOf(data, size);
    std::vector<uint8_t> bytes(data, data + size);
    if (size > 0 && (data[size - 1] & 1) == 0) FixChunkChecksums(bytes);
    fuzz::CheckPictureDecoder(bytes.data(), size, [key](vtx::ImageBuffer& image, const char* name) {
        return vtx::DecodePng(image, name, key);
    });
    return 0;
}
