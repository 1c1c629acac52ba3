// The two demo fonts, drawn from the runtime's own 5 x 6 glyph designs:
// "font.bmp" plain with a soft shadow in 8 x 8 cells, "font2.bmp" at double
// size with a colour gradient and an outline in 16 x 16 cells. Black is the
// fonts' transparent colour, so shadows and outlines are dark but not black.
#include <cstdint>

#include "demo_media.h"
#include "gfx2d/font_store.h"

namespace demo {
namespace {

constexpr int kColumns = 16;
constexpr int kRows = 8;  // codes 0 to 127: the picture is wider than tall

bool Lit(uint32_t mask, int x, int y) {
    return x >= 0 && x < 5 && y >= 0 && y < 6 && (mask >> (y * 5 + x) & 1u) != 0;
}

// Draws every glyph into its cell through put(cellX, cellY, mask).
template <typename Put>
void DrawGlyphs(Put&& put, int cell) {
    const auto& masks = vtx::BuiltinGlyphMasks();
    for (int code = 32; code < 128; ++code)
        put((code % kColumns) * cell, (code / kColumns) * cell, masks[static_cast<size_t>(code - 32)]);
}

}  // namespace

bool WriteFonts(const std::string& folder) {
    Picture plain(kColumns * 8, kRows * 8);
    DrawGlyphs(
        [&](int cx, int cy, uint32_t mask) {
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x) {
                    if (Lit(mask, x - 1, y - 1))
                        plain.Set(cx + x, cy + y, 255, 244, 214);
                    else if (Lit(mask, x - 2, y - 2))
                        plain.Set(cx + x, cy + y, 28, 24, 36);
                }
        },
        8);

    Picture bold(kColumns * 16, kRows * 16);
    DrawGlyphs(
        [&](int cx, int cy, uint32_t mask) {
            auto on = [&](int x, int y) { return Lit(mask, (x - 3) / 2, (y - 2) / 2) && x >= 3 && y >= 2; };
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) {
                    if (on(x, y)) {
                        const double t = (y - 2) / 11.0;
                        bold.Set(cx + x, cy + y, 110 + 90 * t, 230 - 110 * t, 255);
                    } else if (on(x - 1, y) || on(x + 1, y) || on(x, y - 1) || on(x, y + 1) || on(x - 1, y - 1) ||
                               on(x + 1, y + 1) || on(x - 1, y + 1) || on(x + 1, y - 1)) {
                        bold.Set(cx + x, cy + y, 18, 16, 52);
                    }
                }
        },
        16);
    return WritePicture(folder + "/font.bmp", plain) && WritePicture(folder + "/font2.bmp", bold);
}

}  // namespace demo
