// The demo media of ravlo, made from nothing but code: two bitmap fonts,
// the intro picture, nine backgrounds and nine short tunes. Every run makes
// the same files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace demo {

// A picture as blue, green, red bytes, rows bottom first (what the
// runtime's picture writer takes).
struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> bgr;
    Picture(int32_t w, int32_t h) : width(w), height(h), bgr(static_cast<size_t>(w) * h * 3, 0) {}
    // Pixel (x, y) counted from the top left.
    uint8_t* At(int32_t x, int32_t y) { return &bgr[(static_cast<size_t>(height - 1 - y) * width + x) * 3]; }
    void Set(int32_t x, int32_t y, double r, double g, double b);
};

// Writes the picture as BMP or PNG by the name's ending; false on failure.
bool WritePicture(const std::string& path, const Picture& picture);

// "font.bmp" (8 x 8 cells) and "font2.bmp" (16 x 16 cells): 16 columns of
// glyph cells for codes 0 to 127, black as the transparent colour.
bool WriteFonts(const std::string& folder);
// "intro.png" and "bg1.png" .. "bg9.png", 640 x 480.
bool WritePictures(const std::string& folder);
// "01.mp3" .. "09.mp3": tunes of 20 to 40 seconds.
bool WriteTunes(const std::string& folder);

// The samples of tune n (1 to 9): mono, 44 100 Hz, -1 to 1.
std::vector<float> SynthesiseTune(int n);
// Encodes mono samples as an MP3 file through FFmpeg; false on failure.
bool EncodeMp3(const std::string& path, const std::vector<float>& samples, int rate);

}  // namespace demo
