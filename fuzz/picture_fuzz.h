// The check every picture fuzzer makes: the bytes are decoded through a
// memory name; a success must leave a consistent buffer whose every byte is
// readable, and decoding the same bytes again into the now large enough
// buffer must reuse its block and give the same pixels; a failure must leave
// the buffer empty. Any breach aborts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/rt_string.h"
#include "files/memory_names.h"
#include "gfx2d/image_buffer.h"

namespace fuzz {

// FNV-1a over the pixels in use: reads every byte.
inline uint64_t Digest(const vtx::ImageBuffer& image) {
    uint64_t h = 1469598103934665603u;
    const size_t bytes = static_cast<size_t>(image.width) * image.height * 4;
    for (size_t i = 0; i < bytes; ++i) h = (h ^ image.pixels[i]) * 1099511628211u;
    return h;
}

// decode(image, memory name) decodes the bytes once.
template <typename Decode>
void CheckPictureDecoder(const uint8_t* data, size_t size, Decode&& decode) {
    if (size > 0x7FFFFFFF) return;
    const RtString name = vtx::RegisterMemoryBlock(data, static_cast<uint32_t>(size));
    vtx::ImageBuffer image;
    if (!decode(image, name.c_str())) {
        if (image.pixels != nullptr || image.width != 0 || image.height != 0 || image.capacity != 0) std::abort();
    } else {
        const int64_t bytes = static_cast<int64_t>(image.width) * image.height * 4;
        if (image.width <= 0 || image.height <= 0 || image.pixels == nullptr || image.capacity < bytes) std::abort();
        const uint64_t first = Digest(image);
        const uint8_t* block = image.pixels;
        if (!decode(image, name.c_str()) || image.pixels != block || Digest(image) != first) std::abort();
    }
    vtx::UnregisterMemoryBlock(name);
}

// The colour key of an input: its last byte when below 0x80, else no key.
inline int32_t KeyOf(const uint8_t* data, size_t size) {
    return size > 0 && data[size - 1] < 0x80 ? data[size - 1] * 0x010101 : vtx::kNoColorKey;
}

}  // namespace fuzz
