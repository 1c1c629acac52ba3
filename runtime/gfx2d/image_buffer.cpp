// ImageBuffer: block ownership and sizing, the exact-read helper the
// picture decoders share, and the chain of decoders a picture goes through.
#include "gfx2d/image_buffer.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "files/rt_file.h"
#include "gfx2d/picture_codecs.h"

namespace vtx {
namespace {

std::atomic<uint64_t> gAllocations{0};

}  // namespace

// Takes the other buffer's block and sizes, leaving it empty.
ImageBuffer::ImageBuffer(ImageBuffer&& other) noexcept
    : width(other.width), height(other.height), pixels(other.pixels), capacity(other.capacity) {
    other.pixels = nullptr;
    other.width = other.height = other.capacity = 0;
}

// Frees this block, then takes the other buffer's.
ImageBuffer& ImageBuffer::operator=(ImageBuffer&& other) noexcept {
    if (this != &other) {
        release();
        width = other.width;
        height = other.height;
        pixels = other.pixels;
        capacity = other.capacity;
        other.pixels = nullptr;
        other.width = other.height = other.capacity = 0;
    }
    return *this;
}

// Frees the block and forgets every size.
void ImageBuffer::release() noexcept {
    std::free(pixels);
    pixels = nullptr;
    width = height = capacity = 0;
}

// Reuses the block when large enough (clearing the bytes in use), else
// replaces it with a zeroed block of exactly the bytes needed.
bool ImageBuffer::resize(int32_t newWidth, int32_t newHeight) noexcept {
    const int64_t bytes = RgbaByteCount(newWidth, newHeight);
    if (bytes < 0) {
        release();
        return false;
    }
    if (pixels != nullptr && capacity >= bytes) {
        std::memset(pixels, 0, static_cast<size_t>(bytes));
    } else {
        release();
        pixels = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(bytes), 1));
        if (pixels == nullptr) return false;
        gAllocations.fetch_add(1, std::memory_order_relaxed);
        capacity = static_cast<int32_t>(bytes);
    }
    width = newWidth;
    height = newHeight;
    return true;
}

// width * height * 4 if positive and within int32_t, else -1.
int64_t RgbaByteCount(int64_t width, int64_t height) noexcept {
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    if (width <= 0 || height <= 0 || width > kMax || height > kMax) return -1;
    const int64_t bytes = width * height * 4;  // both below 2^31: no 64-bit overflow
    return bytes > kMax ? -1 : bytes;
}

// The allocation counter, for tests.
uint64_t ImageBufferAllocationCount() noexcept { return gAllocations.load(std::memory_order_relaxed); }

// Bytes between the position and the end (0 when the position is past it).
int64_t RemainingBytes(const RtFile& file) noexcept {
    const int64_t left = static_cast<int64_t>(file.size()) - file.position();
    return left > 0 ? left : 0;
}

// Refuses reads that would run past the end, so a short memory read never
// passes for a full one.
bool ReadExactly(RtFile& file, void* destination, int64_t n) noexcept {
    if (n < 0 || n > RemainingBytes(file)) return false;
    if (n == 0) return true;
    return file.read(destination, static_cast<int32_t>(n));
}

// BMP with the key, PNG with the key, JPEG without: the first success wins.
bool DecodePicture(ImageBuffer& image, const char* name, int32_t key) {
    return DecodeBmp(image, name, key) || DecodePng(image, name, key) || DecodeJpeg(image, name);
}

}  // namespace vtx
