// The picture encoder: a BGR frame (3 bytes a pixel, rows bottom first) into
// a 24-bit BMP of our own writing, or a PNG or JPEG through the system
// libraries, every byte written through RtFile.
//
// Library errors end in a longjmp back to WritePngSteps / WriteJpegSteps,
// the only functions that call setjmp; nothing between them and the library
// holds an object with a destructor. Buffers are owned by the callers.
#include <png.h>

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

#include "files/rt_file.h"
#include "gfx2d/picture_codecs.h"

namespace vtx {
namespace {

constexpr int kJpegQuality = 80;
constexpr size_t kJpegChunk = 16384;

// The frame being written.
struct BgrSource {
    const uint8_t* bgr;
    int64_t width;
    int64_t height;
    int64_t stride;  // bytes from one source row to the next
    // Row y counted from the bottom.
    const uint8_t* row(int64_t y) const { return bgr + y * stride; }
};

// True when a source pixel has exactly the key's colour.
bool IsKeyed(const uint8_t* bgr, RenderedKey key) { return bgr[0] == key.b && bgr[1] == key.g && bgr[2] == key.r; }

// Lower-case ASCII letter.
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Stores a 16- or 32-bit value little-endian.
void PutLe(uint8_t* at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

// Writes the 54-byte header and the rows bottom first, each padded to
// rowSize; keyed pixels become (r 255, g 0, b 128) whatever the key.
bool WriteBmp(RtFile& file, const BgrSource& source, RenderedKey key) {
    const int64_t rowSize = (source.width * 3 + 3) / 4 * 4;
    uint8_t header[54] = {};
    header[0] = 'B';
    header[1] = 'M';
    PutLe(header + 2, static_cast<uint32_t>(rowSize * source.height + 54), 4);
    PutLe(header + 10, 54, 4);
    PutLe(header + 14, 40, 4);
    PutLe(header + 18, static_cast<uint32_t>(source.width), 4);
    PutLe(header + 22, static_cast<uint32_t>(source.height), 4);
    PutLe(header + 26, 1, 2);
    PutLe(header + 28, 24, 2);
    PutLe(header + 38, 10000, 4);
    PutLe(header + 42, 10000, 4);
    if (!file.write(header, 54)) return false;
    std::unique_ptr<uint8_t[]> row(new (std::nothrow) uint8_t[static_cast<size_t>(rowSize)]());
    if (!row) return false;
    for (int64_t y = 0; y < source.height; ++y) {
        const uint8_t* in = source.row(y);
        uint8_t* out = row.get();
        for (int64_t x = 0; x < source.width; ++x, in += 3, out += 3) {
            if (IsKeyed(in, key)) {
                out[0] = 128;
                out[1] = 0;
                out[2] = 255;
            } else {
                std::memcpy(out, in, 3);
            }
        }
        if (!file.write(row.get(), static_cast<int32_t>(rowSize))) return false;
    }
    return true;
}

// The frame as RGBA, top row first; alpha 0 for keyed pixels, but only when
// the key's red is not 0 (otherwise nothing is keyed).
void FillRgba(const BgrSource& source, RenderedKey key, uint8_t* rgba) {
    const bool keying = key.r != 0;
    for (int64_t y = 0; y < source.height; ++y) {
        const uint8_t* in = source.row(source.height - 1 - y);
        for (int64_t x = 0; x < source.width; ++x, in += 3, rgba += 4) {
            rgba[0] = in[2];
            rgba[1] = in[1];
            rgba[2] = in[0];
            rgba[3] = keying && IsKeyed(in, key) ? 0 : 255;
        }
    }
}

// Error target of the PNG writer.
[[noreturn]] void PngWriteError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// Warnings are ignored.
void PngWriteWarning(png_structp, png_const_charp) {}

// Hands compressed bytes to the file; a failed write is a library error.
void PngWrite(png_structp png, png_bytep data, png_size_t n) {
    auto* file = static_cast<RtFile*>(png_get_io_ptr(png));
    if (n > 0x7FFFFFFF || !file->write(data, static_cast<int32_t>(n))) png_error(png, "write failed");
}

// Nothing is buffered outside the file layer.
void PngFlush(png_structp) {}

// Writes header, white bKGD, all rows and the end; errors jump out of it.
void WritePngBody(png_structp png, png_infop info, RtFile* file, png_bytep* rows, png_uint_32 width,
                  png_uint_32 height) {
    png_set_write_fn(png, file, PngWrite, PngFlush);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color_16 white{};
    white.red = white.green = white.blue = white.gray = 255;
    png_set_bKGD(png, info, &white);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
}

// Sets the jump target, then runs the body. The only PNG function with
// setjmp: no locals at all.
bool WritePngSteps(png_structp png, png_infop info, RtFile* file, png_bytep* rows, png_uint_32 width,
                   png_uint_32 height) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    WritePngBody(png, info, file, rows, width, height);
    return true;
}

// Builds the RGBA picture and writes it as an 8-bit RGBA PNG.
bool WritePng(RtFile& file, const BgrSource& source, RenderedKey key) {
    const size_t rowBytes = static_cast<size_t>(source.width) * 4;
    std::unique_ptr<uint8_t[]> rgba(new (std::nothrow) uint8_t[rowBytes * static_cast<size_t>(source.height)]);
    std::unique_ptr<png_bytep[]> rows(new (std::nothrow) png_bytep[static_cast<size_t>(source.height)]);
    if (!rgba || !rows) return false;
    FillRgba(source, key, rgba.get());
    for (int64_t y = 0; y < source.height; ++y) rows[y] = rgba.get() + y * rowBytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngWriteError, PngWriteWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    const auto width = static_cast<png_uint_32>(source.width);
    const auto height = static_cast<png_uint_32>(source.height);
    const bool ok = info != nullptr && WritePngSteps(png, info, &file, rows.get(), width, height);
    png_destroy_write_struct(png != nullptr ? &png : nullptr, info != nullptr ? &info : nullptr);
    return ok;
}

// The library's error manager with the jump target of WriteJpegSteps.
struct JpegWriteErrors {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

// A destination that passes full chunks to the file.
struct JpegFileDestination {
    jpeg_destination_mgr base;
    RtFile* file;
    JOCTET buffer[kJpegChunk];
};

// Jumps back to WriteJpegSteps.
[[noreturn]] void JpegWriteErrorExit(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegWriteErrors*>(cinfo->err)->jump, 1);
}

// Library messages are not shown.
void JpegWriteSilence(j_common_ptr) {}

// Gives the library the whole chunk.
void JpegStartChunk(j_compress_ptr cinfo) {
    auto* destination = reinterpret_cast<JpegFileDestination*>(cinfo->dest);
    destination->base.next_output_byte = destination->buffer;
    destination->base.free_in_buffer = kJpegChunk;
}

// Writes n bytes of the chunk; a failed write is a library error.
void JpegWriteChunk(j_compress_ptr cinfo, size_t n) {
    auto* destination = reinterpret_cast<JpegFileDestination*>(cinfo->dest);
    if (n > 0 && !destination->file->write(destination->buffer, static_cast<int32_t>(n))) {
        cinfo->err->msg_code = JERR_FILE_WRITE;
        cinfo->err->error_exit(reinterpret_cast<j_common_ptr>(cinfo));
    }
}

// The chunk is full: write all of it and start again.
boolean JpegFullChunk(j_compress_ptr cinfo) {
    JpegWriteChunk(cinfo, kJpegChunk);
    JpegStartChunk(cinfo);
    return TRUE;
}

// The picture is done: write what the chunk holds.
void JpegLastChunk(j_compress_ptr cinfo) {
    JpegWriteChunk(cinfo, kJpegChunk - cinfo->dest->free_in_buffer);
}

// Compresses the rows top first at quality 80 (baseline), one row at a
// time; errors jump out of it.
void WriteJpegBody(j_compress_ptr cinfo, JpegFileDestination* destination, const BgrSource* source, uint8_t* row) {
    jpeg_create_compress(cinfo);  // clears every field but the error manager
    cinfo->dest = &destination->base;
    cinfo->image_width = static_cast<JDIMENSION>(source->width);
    cinfo->image_height = static_cast<JDIMENSION>(source->height);
    cinfo->input_components = 3;
    cinfo->in_color_space = JCS_RGB;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, kJpegQuality, TRUE);
    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
        const uint8_t* in = source->row(source->height - 1 - cinfo->next_scanline);
        for (int64_t x = 0; x < source->width; ++x, in += 3) {
            row[x * 3] = in[2];
            row[x * 3 + 1] = in[1];
            row[x * 3 + 2] = in[0];
        }
        JSAMPROW rowPointer = row;
        jpeg_write_scanlines(cinfo, &rowPointer, 1);
    }
    jpeg_finish_compress(cinfo);
}

// Sets the jump target, then runs the body. The only JPEG function with
// setjmp: no locals at all.
bool WriteJpegSteps(j_compress_ptr cinfo, JpegWriteErrors* errors, JpegFileDestination* destination,
                    const BgrSource* source, uint8_t* row) {
    if (setjmp(errors->jump) != 0) return false;
    WriteJpegBody(cinfo, destination, source, row);
    return true;
}

// Writes the frame as an RGB JPEG; the alpha a keyed pixel would get is dropped.
bool WriteJpeg(RtFile& file, const BgrSource& source) {
    std::unique_ptr<uint8_t[]> row(new (std::nothrow) uint8_t[static_cast<size_t>(source.width) * 3]);
    std::unique_ptr<JpegFileDestination> destination(new (std::nothrow) JpegFileDestination{});
    if (!row || !destination) return false;
    destination->file = &file;
    destination->base.init_destination = JpegStartChunk;
    destination->base.empty_output_buffer = JpegFullChunk;
    destination->base.term_destination = JpegLastChunk;
    jpeg_compress_struct cinfo{};
    JpegWriteErrors errors{};
    cinfo.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = JpegWriteErrorExit;
    errors.base.output_message = JpegWriteSilence;
    const bool ok = WriteJpegSteps(&cinfo, &errors, destination.get(), &source, row.get());
    jpeg_destroy_compress(&cinfo);
    return ok;
}

}  // namespace

// PNG for "<x>.png" (length above 4, any case), JPEG for any "jpg" ending,
// else BMP.
PictureFormat PictureFormatForName(const char* name) noexcept {
    if (name == nullptr) return PictureFormat::kBmp;
    const size_t length = std::strlen(name);
    const auto endsWith = [&](const char* three) {
        return length >= 3 && Lower(name[length - 3]) == three[0] && Lower(name[length - 2]) == three[1] &&
               Lower(name[length - 1]) == three[2];
    };
    if (length > 4 && name[length - 4] == '.' && endsWith("png")) return PictureFormat::kPng;
    if (endsWith("jpg")) return PictureFormat::kJpeg;
    return PictureFormat::kBmp;
}

// Checks the frame, opens the file for writing through the file layer
// (memory names fail) and writes the format the name asks for.
bool EncodePicture(const char* name, const uint8_t* bgr, int32_t width, int32_t height, int32_t sourceRowLength,
                   RenderedKey key) {
    if (name == nullptr || bgr == nullptr || sourceRowLength < width || RgbaByteCount(width, height) < 0) {
        return false;
    }
    RtFile file;
    if (!file.openWrite(name)) return false;
    const BgrSource source{bgr, width, height, static_cast<int64_t>(sourceRowLength) * 3};
    switch (PictureFormatForName(name)) {
        case PictureFormat::kPng: return WritePng(file, source, key);
        case PictureFormat::kJpeg: return WriteJpeg(file, source);
        case PictureFormat::kBmp: break;
    }
    return WriteBmp(file, source, key);
}

}  // namespace vtx
