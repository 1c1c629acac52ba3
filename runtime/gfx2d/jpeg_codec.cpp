// The JPEG decoder over the system JPEG library. The whole file is read
// through RtFile and handed to the library as a memory source, so pictures
// in the pack archive load like disk files.
//
// Library errors end in a longjmp back to ReadJpegSteps, the one function
// that calls setjmp; nothing between it and the library holds an object
// with a destructor. The file bytes are owned by DecodeJpeg.
#include <csetjmp>
#include <cstddef>
#include <cstdio>  // jpeglib.h needs size_t and FILE first
#include <memory>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

#include "files/rt_file.h"
#include "gfx2d/picture_codecs.h"

namespace vtx {
namespace {

// Working memory the library may take for one picture (coefficient buffers
// of progressive pictures); beyond it the decode fails instead of growing.
constexpr long kMaxLibraryMemory = 768L * 1024 * 1024;
// Real pictures use a few dozen scans; thousands of tiny scans that each
// sweep the whole picture only burn time.
constexpr int kMaxScans = 500;
// See MoreBlocksThanBits.
constexpr int64_t kArithmeticBlocksPerBit = 16;
constexpr JDIMENSION kRowsPerCall = 8;

// The library's error manager with the jump target of ReadJpegSteps.
struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

// Jumps back to ReadJpegSteps instead of ending the process.
[[noreturn]] void JpegErrorExit(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegErrorManager*>(cinfo->err)->jump, 1);
}

// Library messages are not shown.
void JpegSilence(j_common_ptr) {}

// Stops a decode whose scan count passes kMaxScans.
void JpegCountScans(j_common_ptr cinfo) {
    if (!cinfo->is_decompressor) return;
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
        cinfo->err->msg_code = JERR_NOT_COMPILED;  // any code: the message is silenced
        cinfo->err->error_exit(cinfo);
    }
}

// Huffman coding spends at least one bit on every block of a scan (progressive
// pictures too: every component has a DC scan), so a picture whose smallest
// component has more blocks than the file has bits cannot be in the file;
// the library would invent the rest, at the cost of decoding all of it.
// Arithmetic coding can spend far less on flat blocks; it gets a floor of
// 1/16 bit a block, which only pictures that are nearly all one flat colour
// could pass below.
bool MoreBlocksThanBits(j_decompress_ptr cinfo, size_t size) {
    const int64_t blocksPerBit = cinfo->arith_code ? kArithmeticBlocksPerBit : 1;
    int64_t fewest = -1;
    for (int i = 0; i < cinfo->num_components; ++i) {
        const jpeg_component_info& component = cinfo->comp_info[i];
        const int64_t blocks = static_cast<int64_t>(component.width_in_blocks) * component.height_in_blocks;
        if (fewest < 0 || blocks < fewest) fewest = blocks;
    }
    return fewest > static_cast<int64_t>(size) * 8 * blocksPerBit;
}

// Spreads a decoded row of 1 or 3 components, read into the tail of its RGBA
// row, over the whole row; 4 components are already in place.
void ExpandRow(uint8_t* out, int64_t width, int components) {
    const uint8_t* in = out + (4 - components) * width;
    if (components == 1) {
        for (int64_t x = 0; x < width; ++x, out += 4) {
            out[0] = out[1] = out[2] = in[x];
            out[3] = 255;
        }
    } else if (components == 3) {
        for (int64_t x = 0; x < width; ++x, in += 3, out += 4) {
            const uint8_t r = in[0], g = in[1], b = in[2];
            out[0] = r;
            out[1] = g;
            out[2] = b;
            out[3] = 255;
        }
    }
}

// Reads the header, checks the sizes and decodes every row into the
// buffer; a library error jumps out of it.
bool ReadJpegBody(j_decompress_ptr cinfo, jpeg_progress_mgr* progress, const uint8_t* data, size_t size,
                  ImageBuffer* image) {
    jpeg_create_decompress(cinfo);  // clears every field but the error manager
    cinfo->progress = progress;
    cinfo->mem->max_memory_to_use = kMaxLibraryMemory;
    jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK) return false;
    if (RgbaByteCount(cinfo->image_width, cinfo->image_height) < 0 || MoreBlocksThanBits(cinfo, size)) return false;
    cinfo->do_fancy_upsampling = FALSE;
#ifdef JCS_EXTENSIONS
    // The default RGB output, with the library filling the alpha byte (255)
    // as it converts: the same pixels without spreading every row after.
    if (cinfo->out_color_space == JCS_RGB) cinfo->out_color_space = JCS_EXT_RGBA;
#endif
    if (!jpeg_start_decompress(cinfo)) return false;
    const int components = cinfo->output_components;
    if (components != 1 && components != 3 && components != 4) return false;
    const int64_t width = cinfo->output_width;
    const JDIMENSION height = cinfo->output_height;
    if (!image->resize(static_cast<int32_t>(width), static_cast<int32_t>(height))) return false;
    // Several rows a call: the plain upsampler makes two at a time and would
    // otherwise copy the second aside.
    JSAMPROW rows[kRowsPerCall];
    while (cinfo->output_scanline < height) {
        const JDIMENSION first = cinfo->output_scanline;
        const JDIMENSION wanted = height - first < kRowsPerCall ? height - first : kRowsPerCall;
        for (JDIMENSION i = 0; i < wanted; ++i) {
            rows[i] = image->pixels + (first + i) * width * 4 + (4 - components) * width;
        }
        const JDIMENSION got = jpeg_read_scanlines(cinfo, rows, wanted);
        if (got == 0) return false;
        for (JDIMENSION i = 0; i < got; ++i) ExpandRow(image->pixels + (first + i) * width * 4, width, components);
    }
    return true;
}

// Sets the jump target for library errors, then runs the body. The only
// function with setjmp: no locals at all, nothing read after a jump.
bool ReadJpegSteps(j_decompress_ptr cinfo, JpegErrorManager* errors, jpeg_progress_mgr* progress,
                   const uint8_t* data, size_t size, ImageBuffer* image) {
    if (setjmp(errors->jump) != 0) return false;
    return ReadJpegBody(cinfo, progress, data, size, image);
}

// Reads every byte of the file; false when the file is empty or short.
bool ReadWholeFile(RtFile& file, std::unique_ptr<uint8_t[]>& bytes, size_t& size) {
    if (file.size() <= 0) return false;
    size = static_cast<size_t>(file.size());
    bytes.reset(new (std::nothrow) uint8_t[size]);
    return bytes && ReadExactly(file, bytes.get(), file.size());
}

}  // namespace

// Reads the file through the file layer and decodes it from memory; a
// failure empties the buffer.
bool DecodeJpeg(ImageBuffer& image, const char* name) {
    RtFile file;
    std::unique_ptr<uint8_t[]> bytes;
    size_t size = 0;
    bool ok = file.openRead(name) && ReadWholeFile(file, bytes, size);
    file.close();
    if (ok) {
        jpeg_decompress_struct cinfo{};
        JpegErrorManager errors{};
        jpeg_progress_mgr scans{};
        cinfo.err = jpeg_std_error(&errors.base);
        errors.base.error_exit = JpegErrorExit;
        errors.base.output_message = JpegSilence;
        scans.progress_monitor = JpegCountScans;
        ok = ReadJpegSteps(&cinfo, &errors, &scans, bytes.get(), size, &image);
        jpeg_destroy_decompress(&cinfo);
    }
    if (!ok) image.release();
    return ok;
}

}  // namespace vtx
