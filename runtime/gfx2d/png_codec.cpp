// The PNG decoder over the system PNG library, reading through RtFile.
//
// Library errors end in a longjmp back to ReadPngSteps, the one function
// that calls setjmp; it and the callbacks hold no object with a destructor,
// so nothing is skipped by the jump. Everything that needs freeing lives in
// PngReadState and is freed by DecodePng after the steps return.
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include "files/rt_file.h"
#include "gfx2d/picture_codecs.h"

namespace vtx {
namespace {

// Deflate expands at most about 1032 times: a picture whose samples alone
// need more than this many bytes per file byte cannot be in the file.
constexpr int64_t kMaxInflation = 1040;
constexpr png_uint_32 kMaxSide = 1000000;

// Everything the callbacks and the steps share; plain data only.
struct PngReadState {
    RtFile* file = nullptr;
    ImageBuffer* image = nullptr;
    const char* name = nullptr;
    int32_t key = kNoColorKey;
    bool failed = false;        // the library reported an error
    png_bytep* rows = nullptr;  // row pointers, freed by DecodePng
};

// Records the error and jumps back to the steps.
[[noreturn]] void PngError(png_structp png, png_const_charp) {
    static_cast<PngReadState*>(png_get_error_ptr(png))->failed = true;
    png_longjmp(png, 1);
}

// Warnings are ignored.
void PngWarning(png_structp, png_const_charp) {}

// Feeds the library from the file; a short read is an error.
void PngRead(png_structp png, png_bytep data, png_size_t n) {
    auto* state = static_cast<PngReadState*>(png_get_io_ptr(png));
    if (!ReadExactly(*state->file, data, static_cast<int64_t>(n))) png_error(png, "read past the end of the file");
}

// A lower bound of the inflated data: the stored samples without filter
// bytes or row padding, whatever the interlacing.
int64_t MinimumInflatedBytes(png_uint_32 width, png_uint_32 height, int channels, int depth) {
    return static_cast<int64_t>(width) * channels * depth / 8 * static_cast<int64_t>(height);
}

// Spreads a row of 1 or 3 channels, read into the tail of its RGBA row,
// over the whole row (left to right never overwrites an unread sample).
void ExpandRow(uint8_t* out, int64_t width, int channels, int32_t key) {
    const uint8_t* in = out + (4 - channels) * width;
    if (channels == 1) {
        for (int64_t x = 0; x < width; ++x, out += 4) {
            const uint8_t g = in[x];
            out[0] = out[1] = out[2] = g;
            out[3] = 255;
        }
    } else if (channels == 3) {
        for (int64_t x = 0; x < width; ++x, in += 3, out += 4) {
            const uint8_t r = in[0], g = in[1], b = in[2];
            const bool keyed = MatchesKey(r, g, b, key);
            out[0] = keyed ? 0 : r;
            out[1] = keyed ? 0 : g;
            out[2] = keyed ? 0 : b;
            out[3] = keyed ? 0 : 255;
        }
    }
}

// Sets the expansions every picture gets: palette to RGB, grey to 8 bits,
// tRNS to alpha, 16 bits to 8, sub-byte samples unpacked.
void SetTransformations(png_structp png, png_infop info, int colorType, int depth) {
    if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS) != 0) png_set_tRNS_to_alpha(png);
    if (depth == 16) png_set_strip_16(png);
    if (depth < 8) png_set_packing(png);
    png_set_interlace_handling(png);
}

// Runs the library from the header to the last row; a library error jumps
// out of it (it holds nothing that needs destroying).
bool ReadPngBody(PngReadState* state, png_structp png, png_infop info) {
    png_set_read_fn(png, state, PngRead);
    png_set_user_limits(png, kMaxSide, kMaxSide);
    png_read_info(png, info);
    if (state->failed) return false;

    png_uint_32 width = 0, height = 0;
    int depth = 0, colorType = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colorType, nullptr, nullptr, nullptr);
    const int64_t rawBytes = MinimumInflatedBytes(width, height, png_get_channels(png, info), depth);
    SetTransformations(png, info, colorType, depth);
    png_read_update_info(png, info);
    if (state->failed) return false;

    const int channels = png_get_channels(png, info);
    depth = png_get_bit_depth(png, info);
    colorType = png_get_color_type(png, info);
    if (depth != 8) {
        std::printf("File %s has bit depth %d.\n", state->name, depth);
        std::printf("Only bit depth of 8 is supported.\n");
        std::fflush(stdout);
        return false;
    }
    if (colorType != PNG_COLOR_TYPE_GRAY && colorType != PNG_COLOR_TYPE_RGB && colorType != PNG_COLOR_TYPE_RGB_ALPHA) {
        std::printf("File %s has unsupported color type.\n", state->name);
        std::printf("Types GRAY, RGB and RGB_ALPHA are supported.\n");
        std::fflush(stdout);
        return false;
    }
    if (channels != 1 && channels != 3 && channels != 4) return false;
    if (height == 0 || RgbaByteCount(width, height) < 0) return false;
    if (png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * channels) return false;
    if (rawBytes > kMaxInflation * state->file->size() + 65536) return false;

    ImageBuffer& image = *state->image;
    if (!image.resize(static_cast<int32_t>(width), static_cast<int32_t>(height))) return false;
    state->rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
    if (state->rows == nullptr) return false;
    const int64_t rowBytes = static_cast<int64_t>(width) * 4;
    for (png_uint_32 y = 0; y < height; ++y) {
        state->rows[y] = image.pixels + y * rowBytes + (4 - channels) * static_cast<int64_t>(width);
    }
    png_read_image(png, state->rows);
    if (state->failed) return false;
    const int32_t key = colorType == PNG_COLOR_TYPE_RGB ? state->key : kNoColorKey;
    for (png_uint_32 y = 0; y < height; ++y) ExpandRow(image.pixels + y * rowBytes, width, channels, key);
    return true;
}

// Sets the jump target for library errors, then runs the body. The only
// function with setjmp: no locals at all, nothing read after a jump.
bool ReadPngSteps(PngReadState* state, png_structp png, png_infop info) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    return ReadPngBody(state, png, info);
}

// True when bytes 1..3 of the file are "PNG"; leaves the position at 0.
bool HasPngSignature(RtFile& file) {
    uint8_t head[4];
    if (!ReadExactly(file, head, 4) || head[1] != 'P' || head[2] != 'N' || head[3] != 'G') return false;
    return file.seek(0);
}

}  // namespace

// Opens the name through the file layer and decodes; a failure empties the buffer.
bool DecodePng(ImageBuffer& image, const char* name, int32_t key) {
    RtFile file;
    bool ok = file.openRead(name) && HasPngSignature(file);
    if (ok) {
        PngReadState state;
        state.file = &file;
        state.image = &image;
        state.name = name;
        state.key = key;
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, PngError, PngWarning);
        png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
        ok = info != nullptr && ReadPngSteps(&state, png, info) && !state.failed;
        png_destroy_read_struct(png != nullptr ? &png : nullptr, info != nullptr ? &info : nullptr, nullptr);
        std::free(state.rows);
    }
    if (!ok) image.release();
    return ok;
}

}  // namespace vtx
