// Helpers shared by the picture codec tests: memory names over byte
// vectors, file bytes, pixel access and a little-endian byte builder.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "core/rt_string.h"
#include "files/memory_names.h"
#include "gfx2d/image_buffer.h"

namespace picture_test {

using Bytes = std::vector<uint8_t>;
using Rgba = std::array<uint8_t, 4>;

// A byte vector registered as a memory block for as long as this lives.
class MemoryPicture {
public:
    explicit MemoryPicture(Bytes bytes) : bytes_(std::move(bytes)) {
        name_ = vtx::RegisterMemoryBlock(bytes_.data(), static_cast<uint32_t>(bytes_.size()));
    }
    ~MemoryPicture() { vtx::UnregisterMemoryBlock(name_); }
    MemoryPicture(const MemoryPicture&) = delete;
    MemoryPicture& operator=(const MemoryPicture&) = delete;
    // The memory name of the block.
    const char* name() const { return name_.c_str(); }

private:
    Bytes bytes_;
    RtString name_;
};

// Every byte of a disk file.
inline Bytes ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Replaces a disk file with the bytes.
inline void WriteFileBytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The RGBA bytes of pixel (x, y), y counted from the top.
inline Rgba PixelAt(const vtx::ImageBuffer& image, int x, int y) {
    const uint8_t* p = image.pixels + (static_cast<size_t>(y) * image.width + x) * 4;
    return Rgba{p[0], p[1], p[2], p[3]};
}

// True when the buffer holds no block and no sizes: a failed decode.
inline bool IsEmpty(const vtx::ImageBuffer& image) {
    return image.pixels == nullptr && image.width == 0 && image.height == 0 && image.capacity == 0;
}

// Appends little-endian values.
class ByteWriter {
public:
    // One byte, two or four little-endian bytes, raw bytes, text.
    ByteWriter& u8(uint32_t v) {
        bytes_.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    ByteWriter& u16(uint32_t v) { return u8(v).u8(v >> 8); }
    ByteWriter& u32(uint32_t v) { return u16(v).u16(v >> 16); }
    ByteWriter& raw(const Bytes& more) {
        bytes_.insert(bytes_.end(), more.begin(), more.end());
        return *this;
    }
    ByteWriter& text(const char* s) {
        while (*s != 0) u8(static_cast<uint8_t>(*s++));
        return *this;
    }
    const Bytes& bytes() const { return bytes_; }

private:
    Bytes bytes_;
};

}  // namespace picture_test
