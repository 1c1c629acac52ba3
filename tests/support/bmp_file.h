// Test pictures as 24-bit BMP files, written without the runtime's own
// codecs so that the decoders are checked against an independent writer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace test_support {

// A 24-bit bottom-up BMP of w x h pixels given top row first; Pixel is any
// indexable (red, green, blue) triple of values 0 to 255.
template <typename Pixel>
std::vector<uint8_t> BmpBytes(int32_t w, int32_t h, const std::vector<Pixel>& pixels) {
    const int32_t row = (w * 3 + 3) / 4 * 4;
    std::vector<uint8_t> b(54 + static_cast<size_t>(row) * h, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, static_cast<uint32_t>(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(w));
    put32(22, static_cast<uint32_t>(h));
    b[26] = 1;
    b[28] = 24;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const Pixel& p = pixels[static_cast<size_t>(y) * w + x];
            uint8_t* at = &b[54 + static_cast<size_t>(h - 1 - y) * row + x * 3];
            at[0] = static_cast<uint8_t>(p[2]);
            at[1] = static_cast<uint8_t>(p[1]);
            at[2] = static_cast<uint8_t>(p[0]);
        }
    return b;
}

// Writes the BMP of BmpBytes to path.
template <typename Pixel>
void WriteBmp(const std::string& path, int32_t w, int32_t h, const std::vector<Pixel>& pixels) {
    const std::vector<uint8_t> b = BmpBytes(w, h, pixels);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

}  // namespace test_support
