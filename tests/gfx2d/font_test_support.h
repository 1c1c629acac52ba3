// Helpers shared by the font tests: test font pictures whose every cell has
// its own colour, back-buffer read-back, cell checks, the built-in font
// picture recomputed from the mask table, and the fixture that starts the
// engine.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "files/last_error_internal.h"
#include "files/memory_names.h"
#include "files/pack_archive.h"
#include "files/pack_resolver_internal.h"
#include "gfx2d/draw_batch.h"
#include "gfx2d/font_commands.h"
#include "gfx2d/font_store.h"
#include "gfx2d/image_buffer.h"
#include "gfx2d/picture_codecs.h"
#include "gfx2d/sprite_commands.h"
#include "gfx2d/sprite_store.h"
#include "host/graphics_backend.h"
#include "host/lifecycle.h"
#include "host/project_settings.h"
#include "support/bmp_file.h"
#include "support/scratch_folder.h"
#include "support/engine_in_folder.h"

namespace font_test {

using Rgb = std::array<uint8_t, 3>;
using Bytes = std::vector<uint8_t>;

constexpr int32_t kScreenW = 640;
constexpr int32_t kScreenH = 480;
constexpr Rgb kBlack = {0, 0, 0};
constexpr Rgb kMarker = {255, 255, 255};

using test_support::BmpBytes;

// The solid colour of glyph cell (column, row) of a test font; never black
// (the font key) and never the marker white.
inline Rgb CellColour(int32_t glyph) {
    return Rgb{static_cast<uint8_t>(20 + (glyph % 16) * 14), static_cast<uint8_t>(20 + (glyph / 16) * 14), 90};
}

// A test font picture: every cell solid in its own colour, with a white
// marker in its top-left pixel so that flips show.
inline Bytes FontPicture(int32_t w, int32_t h) {
    const int32_t rows = w < h ? 16 : 8;
    const int32_t cw = w / 16, ch = h / rows;
    std::vector<Rgb> pixels(static_cast<size_t>(w) * h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const bool marker = x % cw == 0 && y % ch == 0;
            pixels[static_cast<size_t>(y) * w + x] = marker ? kMarker : CellColour((y / ch) * 16 + x / cw);
        }
    return BmpBytes(w, h, pixels);
}

// Replaces a disk file with the bytes.
inline void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The back buffer, RGB, top row first.
struct Frame {
    std::vector<uint8_t> rgb;
    // The pixel at (x, y), (0, 0) the top-left corner.
    Rgb at(int32_t x, int32_t y) const {
        const uint8_t* p = &rgb[(static_cast<size_t>(y) * kScreenW + x) * 3];
        return Rgb{p[0], p[1], p[2]};
    }
    // Same pixels everywhere.
    bool operator==(const Frame& other) const { return rgb == other.rgb; }
};

// Reads the whole back buffer (what was drawn since the last swap), after
// the draw batch has been drawn.
inline Frame ReadBack() {
    vtx::FlushDrawBatch();
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    std::vector<uint8_t> bottomUp(static_cast<size_t>(kScreenW) * kScreenH * 3);
    glReadPixels(0, 0, kScreenW, kScreenH, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    Frame f;
    f.rgb.resize(bottomUp.size());
    const size_t row = static_cast<size_t>(kScreenW) * 3;
    for (int32_t y = 0; y < kScreenH; ++y)
        std::copy_n(&bottomUp[(kScreenH - 1 - y) * row], row, &f.rgb[y * row]);
    return f;
}

// Clears the back buffer to black.
inline void ClearFrame() {
    vtx::FlushDrawBatch();
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// Level 0 of a texture, RGBA, texel rows bottom first.
inline std::vector<uint8_t> TexturePixels(GLuint texture, int32_t& w, int32_t& h) {
    vtx::FlushDrawBatch();
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint gw = 0, gh = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &gw);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &gh);
    w = gw;
    h = gh;
    std::vector<uint8_t> out(static_cast<size_t>(gw) * gh * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
    return out;
}

// The sprite slot of a font number (0 to 31).
inline vtx::SpriteSlot& FontSlot(int32_t font) { return vtx::Sprites()->slots[vtx::kFirstFontSlot + font]; }

// Checks that text printed with a test font shows each byte's cell at its
// place: marker at each cell's top-left (bottom-left when flipped), the
// cell's colour elsewhere, and nothing just before or after the text.
inline void ExpectCells(const Frame& f, const std::string& text, int32_t x0, int32_t y0, int32_t cw, int32_t ch,
                 int32_t rows, bool flipped = false) {
    for (size_t i = 0; i < text.size(); ++i) {
        const auto code = static_cast<uint8_t>(text[i]);
        const int32_t glyph = rows == 16 ? code : code % 128;
        const int32_t left = x0 + static_cast<int32_t>(i) * cw;
        for (int32_t y = 0; y < ch; ++y)
            for (int32_t x = 0; x < cw; ++x) {
                const bool marker = x == 0 && y == (flipped ? ch - 1 : 0);
                ASSERT_EQ(f.at(left + x, y0 + y), marker ? kMarker : CellColour(glyph))
                    << "byte " << i << " (code " << int(code) << ") pixel " << x << "," << y;
            }
    }
    const int32_t right = x0 + static_cast<int32_t>(text.size()) * cw;
    for (int32_t y = 0; y < ch; ++y) {
        EXPECT_EQ(f.at(x0 - 1, y0 + y), kBlack);
        EXPECT_EQ(f.at(right, y0 + y), kBlack);
    }
    for (int32_t x = x0; x < right; ++x) {
        EXPECT_EQ(f.at(x, y0 - 1), kBlack);
        EXPECT_EQ(f.at(x, y0 + ch), kBlack);
    }
}

class FontTest : public ::testing::Test {
protected:
    // Starts the engine in this process and works in a scratch folder.
    void SetUp() override {
        ASSERT_TRUE(StartEngineIn(scratch_.path()));
        ClearFrame();
    }
    // Writes a test font picture of that size and loads it as font.
    void LoadTestFont(int32_t w, int32_t h, int32_t font) {
        const std::string name = "font" + std::to_string(w) + "x" + std::to_string(h) + ".bmp";
        WriteBytes(name, FontPicture(w, h));
        LoadFont(RtString(name.c_str()), font);
        ASSERT_EQ(vtx::LastErrorCode(), 0u);
        ASSERT_EQ(FontSlot(font).width, w);
    }
    ScratchFolder scratch_{"fonts"};
};

// The built-in font picture, recomputed here from the mask table alone.
inline std::vector<uint8_t> ExpectedBuiltinPicture() {
    const auto& masks = vtx::BuiltinGlyphMasks();
    std::vector<uint8_t> out(128 * 64 * 4, 0);
    for (int32_t y = 0; y < 64; ++y)
        for (int32_t x = 0; x < 128; ++x) {
            const int32_t cellRow = y / 8;
            if (cellRow < 2) continue;
            const uint32_t mask = masks[static_cast<size_t>((cellRow - 2) * 16 + x / 8)];
            auto lit = [&](int32_t c, int32_t r) {
                return c >= 1 && c <= 5 && r >= 1 && r <= 6 && ((mask >> (5 * (r - 1) + (c - 1))) & 1u) != 0;
            };
            const int32_t c = x % 8, r = y % 8;
            uint8_t* p = &out[(static_cast<size_t>(y) * 128 + x) * 4];
            if (lit(c, r)) {
                p[0] = p[1] = p[2] = p[3] = 255;
            } else if (c <= 6 && (lit(c - 1, r) || lit(c + 1, r) || lit(c, r - 1) || lit(c, r + 1))) {
                p[0] = p[1] = p[2] = 8;
                p[3] = 255;
            }
        }
    return out;
}

}  // namespace font_test
