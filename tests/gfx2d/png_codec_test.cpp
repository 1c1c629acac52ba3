// The PNG decoder: colour types and their expansions, the key rules, the
// refusal messages, interlacing, broken files and the size guards.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <string>

#include "gfx2d/picture_codecs.h"
#include "picture_test_support.h"
#include "support/scratch_folder.h"

namespace {

using namespace picture_test;
using vtx::ImageBuffer;

// What the test writer puts into a PNG.
struct PngSpec {
    int width = 0;
    int height = 0;
    int depth = 8;
    int colorType = PNG_COLOR_TYPE_RGB;
    bool interlaced = false;
    std::vector<png_color> palette;
    Bytes transparency;       // tRNS alphas of the palette entries
    bool greyTransparency = false;  // tRNS of grey value 0
    std::vector<Bytes> rows;  // packed samples as stored, big-endian for 16 bits
};

// Collects the library's output.
void AppendOutput(png_structp png, png_bytep data, png_size_t n) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}

// Library errors of the test writer end here.
[[noreturn]] void WriterError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// Writes everything; the one function with setjmp, holding no locals.
bool WritePngSteps(png_structp png, png_infop info, const PngSpec* spec, Bytes* out, png_bytep* rows) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    png_set_write_fn(png, out, AppendOutput, nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(spec->width), static_cast<png_uint_32>(spec->height), spec->depth,
                 spec->colorType, spec->interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!spec->palette.empty()) {
        png_set_PLTE(png, info, spec->palette.data(), static_cast<int>(spec->palette.size()));
    }
    if (!spec->transparency.empty()) {
        png_set_tRNS(png, info, spec->transparency.data(), static_cast<int>(spec->transparency.size()), nullptr);
    }
    png_color_16 grey0{};
    if (spec->greyTransparency) png_set_tRNS(png, info, nullptr, 0, &grey0);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}

// A PNG file of the spec, written by the system library.
Bytes MakePng(const PngSpec& spec) {
    Bytes out;
    std::vector<Bytes> rows = spec.rows;
    std::vector<png_bytep> pointers;
    for (Bytes& row : rows) pointers.push_back(row.data());
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, WriterError, nullptr);
    png_infop info = png_create_info_struct(png);
    const bool ok = WritePngSteps(png, info, &spec, &out, pointers.data());
    png_destroy_write_struct(&png, &info);
    EXPECT_TRUE(ok);
    return out;
}

// An RGB spec of w x h whose pixel (x, y) is (x*20, y*30, x+y).
PngSpec RgbSpec(int w, int h) {
    PngSpec spec;
    spec.width = w;
    spec.height = h;
    for (int y = 0; y < h; ++y) {
        Bytes row;
        for (int x = 0; x < w; ++x) {
            row.push_back(static_cast<uint8_t>(x * 20));
            row.push_back(static_cast<uint8_t>(y * 30));
            row.push_back(static_cast<uint8_t>(x + y));
        }
        spec.rows.push_back(row);
    }
    return spec;
}

// One chunk: length, type, data, CRC.
Bytes Chunk(const char* type, const Bytes& data) {
    ByteWriter w;
    const uint32_t n = static_cast<uint32_t>(data.size());
    w.u8(n >> 24).u8(n >> 16).u8(n >> 8).u8(n).text(type).raw(data);
    Bytes crcPart(w.bytes().begin() + 4, w.bytes().end());
    const uint32_t crc = static_cast<uint32_t>(crc32(0, crcPart.data(), static_cast<uInt>(crcPart.size())));
    return w.u8(crc >> 24).u8(crc >> 16).u8(crc >> 8).u8(crc).bytes();
}

// A hand-made PNG claiming w x h RGB pixels, with a few bytes of image data.
Bytes ClaimingPng(uint32_t w, uint32_t h) {
    const Bytes ihdr = {static_cast<uint8_t>(w >> 24), static_cast<uint8_t>(w >> 16), static_cast<uint8_t>(w >> 8),
                        static_cast<uint8_t>(w), static_cast<uint8_t>(h >> 24), static_cast<uint8_t>(h >> 16),
                        static_cast<uint8_t>(h >> 8), static_cast<uint8_t>(h), 8, 2, 0, 0, 0};
    ByteWriter w8;
    w8.raw({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}).raw(Chunk("IHDR", ihdr));
    w8.raw(Chunk("IDAT", {0x78, 0x9C, 0x63, 0x00, 0x00})).raw(Chunk("IEND", {}));
    return w8.bytes();
}

class PngDecoder : public ::testing::Test {
protected:
    // Decodes the bytes through a memory name.
    bool Decode(const Bytes& bytes, int32_t key = vtx::kNoColorKey) {
        MemoryPicture picture(bytes);
        return vtx::DecodePng(image_, picture.name(), key);
    }
    ImageBuffer image_;
};

// ---- colour types -----------------------------------------------------------

TEST_F(PngDecoder, RgbArrivesOpaqueAndIsKeyed) {
    ASSERT_TRUE(Decode(MakePng(RgbSpec(5, 4))));
    ASSERT_EQ(image_.width, 5);
    ASSERT_EQ(image_.height, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(PixelAt(image_, x, y), (Rgba{static_cast<uint8_t>(x * 20), static_cast<uint8_t>(y * 30),
                                                   static_cast<uint8_t>(x + y), 255}));
    ASSERT_TRUE(Decode(MakePng(RgbSpec(5, 4)), 40 + 30 * 256 + 3 * 65536));  // pixel (2, 1)
    EXPECT_EQ(PixelAt(image_, 2, 1), (Rgba{0, 0, 0, 0}));
    EXPECT_EQ(PixelAt(image_, 2, 2)[3], 255);
}

TEST_F(PngDecoder, RgbaArrivesAsStoredAndIsNeverKeyed) {
    PngSpec spec;
    spec.width = 2;
    spec.height = 1;
    spec.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    spec.rows = {{1, 2, 3, 255, 4, 5, 6, 7}};
    ASSERT_TRUE(Decode(MakePng(spec), 0x030201));
    EXPECT_EQ(PixelAt(image_, 0, 0), (Rgba{1, 2, 3, 255}));
    EXPECT_EQ(PixelAt(image_, 1, 0), (Rgba{4, 5, 6, 7}));
}

// A 3-pixel palette picture using entries 0, 1, 2.
PngSpec PaletteSpec() {
    PngSpec spec;
    spec.width = 3;
    spec.height = 1;
    spec.colorType = PNG_COLOR_TYPE_PALETTE;
    spec.palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
    spec.rows = {{0, 1, 2}};
    return spec;
}

TEST_F(PngDecoder, PaletteWithoutTransparencyIsKeyed) {
    ASSERT_TRUE(Decode(MakePng(PaletteSpec()), 40 + 50 * 256 + 60 * 65536));
    EXPECT_EQ(PixelAt(image_, 0, 0), (Rgba{10, 20, 30, 255}));
    EXPECT_EQ(PixelAt(image_, 1, 0), (Rgba{0, 0, 0, 0}));
    EXPECT_EQ(PixelAt(image_, 2, 0), (Rgba{70, 80, 90, 255}));
}

TEST_F(PngDecoder, PaletteWithTransparencyArrivesRgbaAndIsNotKeyed) {
    PngSpec spec = PaletteSpec();
    spec.transparency = {128, 255};  // entry 2 has no alpha given: opaque
    ASSERT_TRUE(Decode(MakePng(spec), 40 + 50 * 256 + 60 * 65536));
    EXPECT_EQ(PixelAt(image_, 0, 0), (Rgba{10, 20, 30, 128}));
    EXPECT_EQ(PixelAt(image_, 1, 0), (Rgba{40, 50, 60, 255}));
    EXPECT_EQ(PixelAt(image_, 2, 0), (Rgba{70, 80, 90, 255}));
}

TEST_F(PngDecoder, SixteenBitSamplesLoadAsTheirHighBytes) {
    PngSpec spec;
    spec.width = 2;
    spec.height = 1;
    spec.depth = 16;
    spec.rows = {{0xAB, 0x12, 0x00, 0xFF, 0xFF, 0x01, 0x01, 0x80, 0x7F, 0xFF, 0x40, 0x00}};
    ASSERT_TRUE(Decode(MakePng(spec)));
    EXPECT_EQ(PixelAt(image_, 0, 0), (Rgba{0xAB, 0x00, 0xFF, 255}));
    EXPECT_EQ(PixelAt(image_, 1, 0), (Rgba{0x01, 0x7F, 0x40, 255}));
}

TEST_F(PngDecoder, GreyTurnsIntoEqualChannels) {
    PngSpec spec;
    spec.width = 3;
    spec.height = 1;
    spec.colorType = PNG_COLOR_TYPE_GRAY;
    spec.rows = {{0, 77, 255}};
    ASSERT_TRUE(Decode(MakePng(spec), 77 * 0x010101));  // grey is not keyed
    EXPECT_EQ(PixelAt(image_, 0, 0), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(PixelAt(image_, 1, 0), (Rgba{77, 77, 77, 255}));
    EXPECT_EQ(PixelAt(image_, 2, 0), (Rgba{255, 255, 255, 255}));
}

TEST_F(PngDecoder, LowDepthGreyIsScaledToEightBits) {
    PngSpec spec;
    spec.width = 4;
    spec.height = 1;
    spec.colorType = PNG_COLOR_TYPE_GRAY;
    spec.depth = 2;
    spec.rows = {{0b00011011}};  // 0, 1, 2, 3
    ASSERT_TRUE(Decode(MakePng(spec)));
    EXPECT_EQ(PixelAt(image_, 0, 0), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(PixelAt(image_, 1, 0), (Rgba{85, 85, 85, 255}));
    EXPECT_EQ(PixelAt(image_, 2, 0), (Rgba{170, 170, 170, 255}));
    EXPECT_EQ(PixelAt(image_, 3, 0), (Rgba{255, 255, 255, 255}));
}

TEST_F(PngDecoder, InterlacedPictureMatchesThePlainOne) {
    PngSpec spec = RgbSpec(11, 9);
    ASSERT_TRUE(Decode(MakePng(spec)));
    const Bytes plain(image_.pixels, image_.pixels + image_.byteCount());
    spec.interlaced = true;
    ASSERT_TRUE(Decode(MakePng(spec)));
    EXPECT_EQ(Bytes(image_.pixels, image_.pixels + image_.byteCount()), plain);
}

// ---- refusals ---------------------------------------------------------------

TEST_F(PngDecoder, GreyAlphaIsRejectedWithTheColourTypeMessage) {
    PngSpec spec;
    spec.width = 1;
    spec.height = 1;
    spec.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
    spec.rows = {{9, 200}};
    MemoryPicture picture(MakePng(spec));
    testing::internal::CaptureStdout();
    const bool ok = vtx::DecodePng(image_, picture.name(), vtx::kNoColorKey);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(ok);
    EXPECT_TRUE(IsEmpty(image_));
    EXPECT_EQ(printed, "File " + std::string(picture.name()) +
                           " has unsupported color type.\nTypes GRAY, RGB and RGB_ALPHA are supported.\n");
}

TEST_F(PngDecoder, GreyWithTransparencyBecomesGreyAlphaAndIsRejected) {
    PngSpec spec;
    spec.width = 1;
    spec.height = 1;
    spec.colorType = PNG_COLOR_TYPE_GRAY;
    spec.greyTransparency = true;
    spec.rows = {{0}};
    testing::internal::CaptureStdout();
    EXPECT_FALSE(Decode(MakePng(spec)));
    EXPECT_NE(testing::internal::GetCapturedStdout().find("unsupported color type"), std::string::npos);
}

TEST_F(PngDecoder, BrokenFilesFail) {
    const Bytes good = MakePng(RgbSpec(6, 5));
    ASSERT_TRUE(Decode(good));
    const size_t endChunk = std::string(good.begin(), good.end()).find("IEND") - 4;
    for (size_t length = 0; length < endChunk; ++length) {  // every cut before the last row's data ends
        EXPECT_FALSE(Decode(Bytes(good.begin(), good.begin() + static_cast<long>(length)))) << length << " bytes";
        EXPECT_TRUE(IsEmpty(image_));
    }
    // Nothing after the image data is read: a missing end chunk does not matter.
    EXPECT_TRUE(Decode(Bytes(good.begin(), good.begin() + static_cast<long>(endChunk))));
    Bytes badCrc = good;
    badCrc[29] ^= 0x01;  // the IHDR checksum
    EXPECT_FALSE(Decode(badCrc));
    Bytes notPng = good;
    notPng[2] = 'X';
    EXPECT_FALSE(Decode(notPng));
}

TEST_F(PngDecoder, AbsurdSizesAreRejectedWithoutAllocating) {
    const uint64_t before = vtx::ImageBufferAllocationCount();
    EXPECT_FALSE(Decode(ClaimingPng(40000, 40000)));  // RGBA beyond 2^31 bytes
    EXPECT_FALSE(Decode(ClaimingPng(20000, 20000)));  // 1.6 GB of RGBA from a 70-byte file
    EXPECT_FALSE(Decode(ClaimingPng(1000001, 1)));    // past the library's side limit
    EXPECT_FALSE(Decode(ClaimingPng(0, 1)));
    EXPECT_EQ(vtx::ImageBufferAllocationCount(), before);
    EXPECT_TRUE(IsEmpty(image_));
}

// ---- files and memory names ----------------------------------------------------

TEST_F(PngDecoder, DiskFilesAndMemoryNamesGiveTheSamePixels) {
    ScratchFolder scratch("png-disk");
    const Bytes file = MakePng(RgbSpec(7, 3));
    WriteFileBytes(scratch.path() / "p.png", file);
    ASSERT_TRUE(vtx::DecodePng(image_, (scratch.path() / "p.png").c_str(), vtx::kNoColorKey));
    const Bytes fromDisk(image_.pixels, image_.pixels + image_.byteCount());
    ASSERT_TRUE(Decode(file));
    EXPECT_EQ(Bytes(image_.pixels, image_.pixels + image_.byteCount()), fromDisk);
    EXPECT_FALSE(vtx::DecodePng(image_, (scratch.path() / "none.png").c_str(), vtx::kNoColorKey));
}

}  // namespace
