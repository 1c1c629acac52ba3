// Picture decoders (BMP, PNG, JPEG into an RGBA ImageBuffer) and the picture
// encoder (a BGR frame into BMP, PNG or JPEG). Every file is read and written
// through RtFile, so memory names (pictures from the pack archive) load like
// disk files; memory names cannot be written.
#pragma once

#include <cstdint>

#include "image_buffer.h"

namespace vtx {

// Decodes an uncompressed BMP (1, 4, 8, 24 or 32 bits; 12- or 40-byte info
// header). A key >= 0 makes opaque pixels of that colour (red bits 0-7,
// green 8-15, blue 16-23) fully transparent black; -1 keys nothing.
bool DecodeBmp(ImageBuffer& image, const char* name, int32_t key);
// Decodes a PNG of grey, RGB or RGBA after expansion to 8 bits; palette and
// tRNS expand to RGB / RGBA. Only pixels without an alpha channel are keyed.
bool DecodePng(ImageBuffer& image, const char* name, int32_t key);
// Decodes a JPEG of 1, 3 or 4 output components; never keyed.
bool DecodeJpeg(ImageBuffer& image, const char* name);
// Tries BMP (keyed), PNG (keyed), then JPEG; the first success wins.
bool DecodePicture(ImageBuffer& image, const char* name, int32_t key);

// The key colour as it comes back from the frame.
struct RenderedKey {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
};

enum class PictureFormat : int { kBmp = 0, kPng = 1, kJpeg = 2 };

// The format a picture name asks for: "<x>.png" (length above 4, any case)
// is PNG, a name ending in "jpg" (any case, point or not) is JPEG, anything
// else BMP.
PictureFormat PictureFormatForName(const char* name) noexcept;

// Writes a BGR picture (3 bytes a pixel, rows bottom first, each row
// sourceRowLength pixels long) as the format its name asks for. Keyed pixels
// become transparent in PNG (only when key.r != 0);
// JPEG keeps only red, green and blue, and BMP writes keyed pixels as
// (r 255, g 0, b 128). False when the file cannot be written.
bool EncodePicture(const char* name, const uint8_t* bgr, int32_t width, int32_t height,
                   int32_t sourceRowLength, RenderedKey key);

}  // namespace vtx
