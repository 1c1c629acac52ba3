// Helpers shared by the drawing tests: an engine running in this process on
// the test's private X server, pictures written as BMP files, and pixels
// read back from the back buffer before anything is shown.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/rt_string.h"
#include "gfx2d/draw_batch.h"
#include "gfx2d/draw_commands.h"
#include "gfx2d/draw_state.h"
#include "gfx2d/sprite_commands.h"
#include "gfx2d/sprite_store.h"
#include "host/frames.h"
#include "host/graphics_backend.h"
#include "host/lifecycle.h"
#include "host/project_settings.h"
#include "support/bmp_file.h"
#include "support/scratch_folder.h"
#include "support/engine_in_folder.h"

namespace draw_test {

using Rgb = std::array<int, 3>;

constexpr Rgb kKey = {255, 0, 128};        // the initial transparent colour
constexpr int32_t kKeyColour = 0x8000FF;  // the same as a colour integer

// A colour integer from its components.
constexpr int32_t Colour(int r, int g, int b) { return r | (g << 8) | (b << 16); }

// A 24-bit BMP of pixels given top row first.
inline void WriteBmp(const std::string& path, int32_t w, int32_t h, const std::vector<Rgb>& pixels) {
    test_support::WriteBmp(path, w, h, pixels);
}

// A picture whose pixel (x, y) has the colour f(x, y), loaded into a slot.
inline void MakeSprite(int32_t slot, int32_t w, int32_t h, const std::function<Rgb(int, int)>& f) {
    std::vector<Rgb> pixels(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) pixels[static_cast<size_t>(y) * w + x] = f(x, y);
    const std::string name = "slot" + std::to_string(slot) + ".bmp";
    WriteBmp(name, w, h, pixels);
    LoadSprite(RtString(name.c_str()), slot);
}

// A picture in which every pixel tells its place: red 40 x + 10, green
// 40 y + 10, blue 77.
inline Rgb Gradient(int x, int y) { return {40 * x + 10, 40 * y + 10, 77}; }

// The back-buffer pixel at (x, y), y counted from the top of the window.
// Like every GL call made beside the drawing commands, it comes after the
// draw batch has been drawn.
inline Rgb Pixel(int x, int y) {
    vtx::FlushDrawBatch();
    uint8_t p[4] = {};
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, vtx::GraphicsBackEnd->height - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
}

// Fills the whole back buffer with one colour, leaving the clear colour as
// it was.
inline void Fill(Rgb c) {
    vtx::FlushDrawBatch();
    GLfloat old[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, old);
    glClearColor(c[0] / 255.0f, c[1] / 255.0f, c[2] / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(old[0], old[1], old[2], old[3]);
}

// Every channel within tolerance of the expected value.
inline ::testing::AssertionResult Near(Rgb got, Rgb want, int tolerance = 1) {
    for (int i = 0; i < 3; ++i)
        if (std::abs(got[i] - want[i]) > tolerance)
            return ::testing::AssertionFailure() << "got (" << got[0] << ", " << got[1] << ", " << got[2]
                                                 << "), want (" << want[0] << ", " << want[1] << ", " << want[2]
                                                 << ") within " << tolerance;
    return ::testing::AssertionSuccess();
}

// Compares the rectangle (x0, y0, w, h) of the back buffer with want(i, j)
// for i, j counted from the rectangle's corner; reports the first mismatch.
inline ::testing::AssertionResult RegionIs(int x0, int y0, int w, int h, const std::function<Rgb(int, int)>& want,
                                           int tolerance = 0) {
    vtx::FlushDrawBatch();
    std::vector<uint8_t> p(static_cast<size_t>(w) * h * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x0, vtx::GraphicsBackEnd->height - y0 - h, w, h, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            const uint8_t* at = &p[(static_cast<size_t>(h - 1 - j) * w + i) * 4];
            const Rgb got = {at[0], at[1], at[2]};
            const ::testing::AssertionResult r = Near(got, want(i, j), tolerance);
            if (!r) return ::testing::AssertionFailure() << "pixel (" << x0 + i << ", " << y0 + j << "): " << r.message();
        }
    return ::testing::AssertionSuccess();
}

// The rectangle holds one colour everywhere.
inline ::testing::AssertionResult RegionIsColour(int x0, int y0, int w, int h, Rgb colour, int tolerance = 0) {
    return RegionIs(x0, y0, w, h, [colour](int, int) { return colour; }, tolerance);
}

// The engine started in this process with the 640 x 480 window and a fresh
// 2D frame; nearest filtering unless a test asks for smoothing.
class DrawTest : public ::testing::Test {
protected:
    // Starts the engine, enters the scratch folder and begins a black frame.
    void SetUp() override {
        ASSERT_TRUE(StartEngineIn(scratch_.path()));
        ShowScreen();
        SetSmoothing(0);
        Fill({0, 0, 0});
    }
    // Leaves the scratch folder and shuts the engine down.
    void TearDown() override {
        std::filesystem::current_path("/");
        ShutdownEngine();
    }
    // A slot of the store, for looking inside.
    static vtx::SpriteSlot& Slot(int32_t slot) { return vtx::Sprites()->slots[slot]; }
    ScratchFolder scratch_{"draw"};
};

}  // namespace draw_test
