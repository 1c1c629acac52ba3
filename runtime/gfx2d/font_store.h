// Fonts inside the runtime: the built-in font, the current font number and
// the vertex scratch buffer that every printed text is assembled in.
// Font n is sprite slot kFirstFontSlot + n (sprite_store.h).
#pragma once

#include <array>
#include <cstdint>

#include "../core/rt_string.h"

namespace vtx {

struct ImageBuffer;

// The built-in font picture: 16 x 8 cells of 8 x 8 pixels, codes 32 to 127.
inline constexpr int32_t kBuiltinFontWidth = 128;
inline constexpr int32_t kBuiltinFontHeight = 64;
inline constexpr int32_t kBuiltinFirstCode = 32;
inline constexpr int32_t kBuiltinGlyphCount = 96;

// One mask per code 32 to 127: bit 5 * (row - 1) + (column - 1) lights the
// pixel at column 1..5, row 1..6 of the glyph's 8 x 8 cell.
const std::array<uint32_t, kBuiltinGlyphCount>& BuiltinGlyphMasks();
// Draws the built-in font picture (RGBA, top row first) into image: glyphs
// white, their outline (8, 8, 8), everything else transparent black.
bool MakeBuiltinFontPicture(ImageBuffer& image);
// Writes the built-in font into font slot 65504 + font; a number outside
// 0 to 31 names no font slot and is ignored.
void SetBuiltinFont(int32_t font);

// The font number clamped to 0 to 31.
int32_t ClampFontNumber(int32_t font);
// The current font number used by the print commands.
int32_t CurrentFont();
// Start-up: the first of "smalfont.png", "smalfont.bmp" that the loader
// resolver finds goes into font 0 (a failed decode leaves the built-in
// font there); then font 0 becomes the current font.
void LoadDefaultFont();

// Vertices (x, y, z, u, v floats) the scratch buffer has room for; 0 until
// a text is first printed.
int32_t TextVertexCapacity();
// Makes room for count vertices (keeping what the buffer held) and returns
// the buffer; null when count is negative or the memory cannot be had.
float* ReserveTextVertices(int32_t count);

}  // namespace vtx
