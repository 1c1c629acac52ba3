// Font commands: bitmap fonts (pictures of 16 cells per row) and text
// printed with them. Font n (0 to 31) is sprite slot 65504 + n.
#pragma once

#include <cstdint>

#include "../core/rt_string.h"

// Loads a font picture into font slot 65504 + font (font clamped to 0 to 31)
// and makes that font current. A missing or undecodable file sets the last
// error to 3 and puts the built-in font there instead. An empty name
// empties the font slot.
void LoadFont(const RtString& file, int32_t font);
// Makes font (clamped to 0 to 31) the current font.
void SetFont(int32_t font);
// The cell size of the current font: picture width / 16 and picture height
// / 16 (pictures narrower than high) or / 8 (the others).
void GetFontSize(int32_t& width, int32_t& height);
void GetFontSize(double& width, double& height);
// Prints text with the current font, the first cell's top-left corner at
// (ceil(x), ceil(y)); every byte takes one cell, control characters too.
void PrintText(const RtString& text, double x, double y);
// Prints the number text of value (ten significant digits, 3.0 gives "3").
void PrintNumber(double value, double x, double y);
// Prints text in 3D space with the current font, centred on (x, y, z):
// size 0 places screen-aligned text at the projected point (its bottom edge
// there); any other size makes camera-facing glyphs of side size x cell width.
void PrintText3D(const RtString& text, double x, double y, double z, double size);
