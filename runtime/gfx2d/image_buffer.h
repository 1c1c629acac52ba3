// ImageBuffer: the RGBA pixels a picture decoder fills, top row first, four
// bytes a pixel, no padding. The block is owned; a decoder reuses it when it
// is large enough and otherwise replaces it with one of exactly the size it
// needs. A failed decode leaves the buffer empty (no block, sizes 0).
#pragma once

#include <cstdint>

class RtFile;

namespace vtx {

// The colour key value meaning "no key".
inline constexpr int32_t kNoColorKey = -1;

struct ImageBuffer {
    int32_t width = 0;
    int32_t height = 0;
    uint8_t* pixels = nullptr;  // owned, capacity bytes
    int32_t capacity = 0;

    ImageBuffer() = default;
    ~ImageBuffer() { release(); }
    ImageBuffer(const ImageBuffer&) = delete;
    ImageBuffer& operator=(const ImageBuffer&) = delete;
    ImageBuffer(ImageBuffer&& other) noexcept;
    ImageBuffer& operator=(ImageBuffer&& other) noexcept;

    // Frees the block; width, height and capacity become 0.
    void release() noexcept;
    // Sizes the buffer for width x height pixels, every byte 0: keeps the
    // block when it holds enough, else allocates exactly the bytes needed.
    // False (and released) for sizes <= 0, too large, or out of memory.
    bool resize(int32_t newWidth, int32_t newHeight) noexcept;
    // Bytes in use: width * height * 4.
    int32_t byteCount() const noexcept { return width * height * 4; }
};

// width * height * 4 when both are positive and the product fits in int32_t;
// -1 otherwise.
int64_t RgbaByteCount(int64_t width, int64_t height) noexcept;

// How many blocks ImageBuffer::resize has allocated in this process (lets
// tests see that a rejected picture allocated nothing).
uint64_t ImageBufferAllocationCount() noexcept;

// Reads exactly n bytes; false when fewer remain in the file or the read fails.
bool ReadExactly(RtFile& file, void* destination, int64_t n) noexcept;

// Bytes left between the read position and the end of the file.
int64_t RemainingBytes(const RtFile& file) noexcept;

// The colour-key test for an opaque decoded pixel.
inline bool MatchesKey(uint8_t r, uint8_t g, uint8_t b, int32_t key) noexcept {
    return key >= 0 && static_cast<int32_t>(r | (g << 8) | (b << 16)) == key;
}

}  // namespace vtx
