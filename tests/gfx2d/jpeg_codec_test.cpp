// The JPEG decoder: disk files and memory names, 1, 3 and 4 components,
// no colour key, broken files and the size guard.
#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <jpeglib.h>

#include "gfx2d/picture_codecs.h"
#include "picture_test_support.h"
#include "support/scratch_folder.h"

namespace {

using namespace picture_test;
using vtx::ImageBuffer;

struct WriterErrors {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

// Library errors of the test writer end here.
[[noreturn]] void WriterErrorExit(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<WriterErrors*>(cinfo->err)->jump, 1); }

// Compresses w x h samples of the given components into a memory block;
// the one function with setjmp, holding no objects with destructors.
bool CompressSteps(j_compress_ptr cinfo, WriterErrors* errors, const uint8_t* samples, int w, int h, int components,
                   bool arithmetic, bool progressive, unsigned char** out, unsigned long* size) {
    if (setjmp(errors->jump) != 0) return false;
    jpeg_create_compress(cinfo);
    jpeg_mem_dest(cinfo, out, size);
    cinfo->image_width = static_cast<JDIMENSION>(w);
    cinfo->image_height = static_cast<JDIMENSION>(h);
    cinfo->input_components = components;
    cinfo->in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, 95, TRUE);
    cinfo->arith_code = arithmetic ? TRUE : FALSE;
    if (progressive) jpeg_simple_progression(cinfo);
    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
        JSAMPROW row = const_cast<uint8_t*>(samples) + static_cast<size_t>(cinfo->next_scanline) * w * components;
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

// A JPEG of w x h pixels all of one colour (the components of `pixel`),
// Huffman or arithmetic coded, sequential or progressive.
Bytes MakeJpeg(int w, int h, const Bytes& pixel, bool arithmetic = false, bool progressive = false) {
    const int components = static_cast<int>(pixel.size());
    Bytes samples;
    for (int i = 0; i < w * h; ++i) samples.insert(samples.end(), pixel.begin(), pixel.end());
    jpeg_compress_struct cinfo{};
    WriterErrors errors{};
    cinfo.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = WriterErrorExit;
    unsigned char* out = nullptr;
    unsigned long size = 0;
    const bool ok = CompressSteps(&cinfo, &errors, samples.data(), w, h, components, arithmetic, progressive, &out,
                                  &size);
    jpeg_destroy_compress(&cinfo);
    EXPECT_TRUE(ok);
    Bytes bytes(out, out + (ok ? size : 0));
    std::free(out);
    return bytes;
}

// Decompresses to RGB with the library directly; the one function with
// setjmp, holding no objects with destructors.
bool ReferenceSteps(j_decompress_ptr cinfo, WriterErrors* errors, const uint8_t* data, size_t size, bool fancy,
                    uint8_t* out, size_t capacity) {
    if (setjmp(errors->jump) != 0) return false;
    jpeg_create_decompress(cinfo);
    jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(cinfo, TRUE);
    cinfo->do_fancy_upsampling = fancy ? TRUE : FALSE;
    jpeg_start_decompress(cinfo);
    const size_t rowBytes = static_cast<size_t>(cinfo->output_width) * cinfo->output_components;
    while (cinfo->output_scanline < cinfo->output_height) {
        if ((cinfo->output_scanline + 1) * rowBytes > capacity) return false;
        JSAMPROW row = out + cinfo->output_scanline * rowBytes;
        jpeg_read_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

// The library's own RGB output for the file, with or without fancy upsampling.
Bytes ReferenceRgb(const Bytes& file, int w, int h, bool fancy) {
    Bytes rgb(static_cast<size_t>(w) * h * 3);
    jpeg_decompress_struct cinfo{};
    WriterErrors errors{};
    cinfo.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = WriterErrorExit;
    const bool ok = ReferenceSteps(&cinfo, &errors, file.data(), file.size(), fancy, rgb.data(), rgb.size());
    jpeg_destroy_decompress(&cinfo);
    EXPECT_TRUE(ok);
    return rgb;
}

// A BGR frame, rows bottom first, of a smooth gradient.
Bytes GradientFrame(int w, int h) {
    Bytes bgr;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bgr.insert(bgr.end(), {static_cast<uint8_t>(40 + x * 2), static_cast<uint8_t>(60 + y * 2),
                                   static_cast<uint8_t>(100 + x + y)});
    return bgr;
}

class JpegDecoder : public ::testing::Test {
protected:
    // Decodes the bytes through a memory name.
    bool Decode(const Bytes& bytes) {
        MemoryPicture picture(bytes);
        return vtx::DecodeJpeg(image_, picture.name());
    }
    // Every pixel within `tolerance` of the expected value; full opacity exactly.
    void ExpectEverywhere(const Rgba& expected, int tolerance) {
        for (int y = 0; y < image_.height; ++y)
            for (int x = 0; x < image_.width; ++x) {
                const Rgba p = PixelAt(image_, x, y);
                for (int c = 0; c < 3; ++c) ASSERT_NEAR(p[c], expected[c], tolerance) << x << "," << y << " c" << c;
                ASSERT_NEAR(p[3], expected[3], expected[3] == 255 ? 0 : tolerance) << x << "," << y;  // opaque is exact
            }
    }
    ImageBuffer image_;
    ScratchFolder scratch_{"jpeg"};
};

TEST_F(JpegDecoder, DiskFileAndMemoryNameLoadTheSameOpaquePixels) {
    const Bytes frame = GradientFrame(40, 24);
    const std::string path = (scratch_.path() / "g.jpg").string();
    ASSERT_TRUE(vtx::EncodePicture(path.c_str(), frame.data(), 40, 24, 40, vtx::RenderedKey{}));
    ASSERT_TRUE(vtx::DecodeJpeg(image_, path.c_str()));
    ASSERT_EQ(image_.width, 40);
    ASSERT_EQ(image_.height, 24);
    const Bytes fromDisk(image_.pixels, image_.pixels + image_.byteCount());
    for (size_t i = 3; i < fromDisk.size(); i += 4) ASSERT_EQ(fromDisk[i], 255) << "pixel " << i / 4;

    ASSERT_TRUE(Decode(ReadFileBytes(path)));
    EXPECT_EQ(Bytes(image_.pixels, image_.pixels + image_.byteCount()), fromDisk);
}

TEST_F(JpegDecoder, UpsamplesChromaWithoutSmoothing) {
    Bytes frame = GradientFrame(32, 16);
    for (size_t i = 0; i < frame.size(); i += 9) frame[i] = 255;  // sharp colour changes
    const std::string path = (scratch_.path() / "u.jpg").string();
    ASSERT_TRUE(vtx::EncodePicture(path.c_str(), frame.data(), 32, 16, 32, vtx::RenderedKey{}));
    const Bytes file = ReadFileBytes(path);
    ASSERT_TRUE(Decode(file));
    Bytes rgb;
    for (int i = 0; i < image_.byteCount(); i += 4) rgb.insert(rgb.end(), image_.pixels + i, image_.pixels + i + 3);
    EXPECT_EQ(rgb, ReferenceRgb(file, 32, 16, false));
    EXPECT_NE(rgb, ReferenceRgb(file, 32, 16, true));  // the picture tells the two apart
}

TEST_F(JpegDecoder, ThreeComponentsArriveAsOpaqueRgb) {
    ASSERT_TRUE(Decode(MakeJpeg(16, 16, {200, 100, 50})));
    ExpectEverywhere({200, 100, 50, 255}, 3);
}

TEST_F(JpegDecoder, GreyArrivesAsEqualChannels) {
    ASSERT_TRUE(Decode(MakeJpeg(9, 7, {123})));
    ASSERT_EQ(image_.width, 9);
    ASSERT_EQ(image_.height, 7);
    ExpectEverywhere({123, 123, 123, 255}, 1);
    const Rgba p = PixelAt(image_, 4, 3);
    EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]);
}

TEST_F(JpegDecoder, FourComponentsArriveAsStored) {
    ASSERT_TRUE(Decode(MakeJpeg(8, 8, {10, 60, 160, 90})));
    ExpectEverywhere({10, 60, 160, 90}, 3);  // the fourth byte is not made opaque
}

TEST_F(JpegDecoder, PicturesAreNeverKeyed) {
    const Bytes file = MakeJpeg(8, 8, {0, 0, 0});
    MemoryPicture picture(file);
    ASSERT_TRUE(vtx::DecodePicture(image_, picture.name(), 0));  // key: black
    ExpectEverywhere({0, 0, 0, 255}, 2);
}

TEST_F(JpegDecoder, MissingAndBrokenFilesFail) {
    EXPECT_FALSE(vtx::DecodeJpeg(image_, (scratch_.path() / "none.jpg").c_str()));
    EXPECT_FALSE(vtx::DecodeJpeg(image_, nullptr));
    EXPECT_FALSE(Decode({}));
    EXPECT_FALSE(Decode({'B', 'M', 1, 2, 3}));
    const Bytes good = MakeJpeg(16, 16, {1, 2, 3});
    ASSERT_TRUE(Decode(good));
    size_t scanStart = 0;
    for (size_t i = 0; i + 1 < good.size() && scanStart == 0; ++i)
        if (good[i] == 0xFF && good[i + 1] == 0xDA) scanStart = i;
    ASSERT_GT(scanStart, 100u);
    for (size_t length = 0; length <= scanStart; ++length) {  // cut before the scan: no picture
        EXPECT_FALSE(Decode(Bytes(good.begin(), good.begin() + static_cast<long>(length)))) << length;
        EXPECT_TRUE(IsEmpty(image_));
    }
}

TEST_F(JpegDecoder, CutInsideTheScanLoadsWhatIsThere) {
    // The library fills the missing rest of a cut scan; the picture loads.
    const Bytes good = MakeJpeg(64, 64, {200, 30, 30});
    ASSERT_TRUE(Decode(Bytes(good.begin(), good.end() - 20)));
    EXPECT_EQ(image_.width, 64);
    EXPECT_EQ(PixelAt(image_, 0, 0)[3], 255);
}

// The file with its frame header claiming width x height.
Bytes WithClaimedSize(Bytes file, int width, int height) {
    for (size_t i = 0; i + 8 < file.size(); ++i) {
        if (file[i] == 0xFF && (file[i + 1] == 0xC0 || file[i + 1] == 0xC2 || file[i + 1] == 0xC9)) {
            file[i + 5] = static_cast<uint8_t>(height >> 8);
            file[i + 6] = static_cast<uint8_t>(height);
            file[i + 7] = static_cast<uint8_t>(width >> 8);
            file[i + 8] = static_cast<uint8_t>(width);
            return file;
        }
    }
    ADD_FAILURE() << "no frame header";
    return file;
}

TEST_F(JpegDecoder, AbsurdSizesAreRejectedWithoutAllocating) {
    const Bytes small = MakeJpeg(8, 8, {1, 2, 3});
    const uint64_t before = vtx::ImageBufferAllocationCount();
    EXPECT_FALSE(Decode(WithClaimedSize(small, 65021, 65021)));  // 16 GB of RGBA
    // 64 MB of RGBA would fit, but its 62500 chroma blocks cannot be coded
    // in a file of a few hundred bytes (at least one bit each).
    EXPECT_FALSE(Decode(WithClaimedSize(small, 4000, 4000)));
    EXPECT_EQ(vtx::ImageBufferAllocationCount(), before);
    EXPECT_TRUE(IsEmpty(image_));
    // A claim the file's bits can cover still loads, the missing data filled in.
    ASSERT_TRUE(Decode(WithClaimedSize(small, 64, 64)));
    EXPECT_EQ(image_.width, 64);
    EXPECT_EQ(image_.height, 64);
}

TEST_F(JpegDecoder, ArithmeticCodedClaimsHaveALooserFloor) {
    const Bytes small = MakeJpeg(8, 8, {40, 90, 200}, true);
    ASSERT_TRUE(Decode(small));
    ExpectEverywhere({40, 90, 200, 255}, 3);
    const uint64_t before = vtx::ImageBufferAllocationCount();
    EXPECT_FALSE(Decode(WithClaimedSize(small, 65032, 4096)));  // 1 GB of RGBA from a few hundred bytes
    EXPECT_EQ(vtx::ImageBufferAllocationCount(), before);
    ASSERT_TRUE(Decode(WithClaimedSize(small, 256, 256)));  // 256 chroma blocks: within 1/16 bit a block
    EXPECT_EQ(image_.width, 256);
}

// The progressive file with its last scan repeated `times` more times.
Bytes WithRepeatedLastScan(const Bytes& file, int times) {
    size_t last = 0;
    for (size_t i = 0; i + 1 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == 0xDA) last = i;
    const Bytes scan(file.begin() + static_cast<long>(last), file.end() - 2);  // up to the end marker
    Bytes out(file.begin(), file.end() - 2);
    for (int i = 0; i < times; ++i) out.insert(out.end(), scan.begin(), scan.end());
    out.insert(out.end(), {0xFF, 0xD9});
    return out;
}

TEST_F(JpegDecoder, PicturesWithThousandsOfScansAreRefused) {
    const Bytes progressive = MakeJpeg(16, 16, {90, 90, 90}, false, true);
    ASSERT_TRUE(Decode(WithRepeatedLastScan(progressive, 20)));  // repeated scans are tolerated
    ExpectEverywhere({90, 90, 90, 255}, 3);
    EXPECT_FALSE(Decode(WithRepeatedLastScan(progressive, 600)));
    EXPECT_TRUE(IsEmpty(image_));
}

TEST_F(JpegDecoder, ReusesALargeEnoughBlock) {
    ASSERT_TRUE(Decode(MakeJpeg(16, 16, {9, 9, 9})));
    const uint8_t* block = image_.pixels;
    ASSERT_TRUE(Decode(MakeJpeg(8, 4, {9, 9, 9})));
    EXPECT_EQ(image_.pixels, block);
    EXPECT_EQ(image_.capacity, 16 * 16 * 4);
    EXPECT_EQ(image_.width, 8);
}

}  // namespace
