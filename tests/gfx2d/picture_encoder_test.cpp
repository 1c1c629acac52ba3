// The picture encoder: the format a name asks for, the BMP layout, round
// trips through the decoders, each writer's key rule, and where writing fails.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "gfx2d/picture_codecs.h"
#include "picture_test_support.h"
#include "support/scratch_folder.h"

namespace {

using namespace picture_test;
using vtx::ImageBuffer;
using vtx::PictureFormat;
using vtx::RenderedKey;

// A BGR frame of w x h pixels in rows of rowLength pixels, bottom first;
// pixel (x, row) gets a varied colour and the pixels past w are 0xEE.
Bytes Frame(int w, int h, int rowLength) {
    Bytes bgr(static_cast<size_t>(rowLength) * h * 3, 0xEE);
    for (int row = 0; row < h; ++row)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &bgr[(static_cast<size_t>(row) * rowLength + x) * 3];
            p[0] = static_cast<uint8_t>(x * 37 + row * 11);
            p[1] = static_cast<uint8_t>(x * 5 + row * 71 + 1);
            p[2] = static_cast<uint8_t>(200 - x * 13 - row);
        }
    return bgr;
}

// The source pixel that lands at (x, y) counted from the top, as RGBA.
Rgba SourceAt(const Bytes& bgr, int h, int rowLength, int x, int y, uint8_t alpha) {
    const uint8_t* p = &bgr[(static_cast<size_t>(h - 1 - y) * rowLength + x) * 3];
    return Rgba{p[2], p[1], p[0], alpha};
}

// Little-endian 32- and 16-bit values of a file.
uint32_t Le32At(const Bytes& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint32_t Le16At(const Bytes& b, size_t at) { return b[at] | (b[at + 1] << 8); }

class PictureEncoder : public ::testing::Test {
protected:
    // A file name in the scratch folder.
    std::string Path(const char* name) const { return (scratch_.path() / name).string(); }
    ScratchFolder scratch_{"encoder"};
    ImageBuffer image_;
};

// ---- format choice ------------------------------------------------------------

TEST(PictureFormatForName, FollowsTheNameEnding) {
    EXPECT_EQ(vtx::PictureFormatForName("shot.png"), PictureFormat::kPng);
    EXPECT_EQ(vtx::PictureFormatForName("SHOT.PNG"), PictureFormat::kPng);
    EXPECT_EQ(vtx::PictureFormatForName("a.PnG"), PictureFormat::kPng);
    EXPECT_EQ(vtx::PictureFormatForName("shot.jpg"), PictureFormat::kJpeg);
    EXPECT_EQ(vtx::PictureFormatForName("xjpg"), PictureFormat::kJpeg);
    EXPECT_EQ(vtx::PictureFormatForName("SHOT.JPG"), PictureFormat::kJpeg);
    EXPECT_EQ(vtx::PictureFormatForName("jpg"), PictureFormat::kJpeg);
    EXPECT_EQ(vtx::PictureFormatForName("shot.jpeg"), PictureFormat::kBmp);
    EXPECT_EQ(vtx::PictureFormatForName("shot.bmp"), PictureFormat::kBmp);
    EXPECT_EQ(vtx::PictureFormatForName("png"), PictureFormat::kBmp);
    EXPECT_EQ(vtx::PictureFormatForName("xpng"), PictureFormat::kBmp);
    EXPECT_EQ(vtx::PictureFormatForName(".png"), PictureFormat::kBmp);  // length 4: not above 4
    EXPECT_EQ(vtx::PictureFormatForName("a_png"), PictureFormat::kBmp);
    EXPECT_EQ(vtx::PictureFormatForName(""), PictureFormat::kBmp);
    EXPECT_EQ(vtx::PictureFormatForName(nullptr), PictureFormat::kBmp);
}

// ---- BMP ------------------------------------------------------------------------

TEST_F(PictureEncoder, BmpHeaderAndPaddedRows) {
    const Bytes frame = Frame(5, 3, 7);
    ASSERT_TRUE(vtx::EncodePicture(Path("f.bmp").c_str(), frame.data(), 5, 3, 7, RenderedKey{1, 2, 3}));
    const Bytes file = ReadFileBytes(Path("f.bmp"));
    const uint32_t rowSize = 16;  // 15 bytes of pixels, padded to 16
    ASSERT_EQ(file.size(), 54u + rowSize * 3);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(Le32At(file, 2), 54u + rowSize * 3);
    EXPECT_EQ(Le32At(file, 6), 0u);
    EXPECT_EQ(Le32At(file, 10), 54u);
    EXPECT_EQ(Le32At(file, 14), 40u);
    EXPECT_EQ(Le32At(file, 18), 5u);
    EXPECT_EQ(Le32At(file, 22), 3u);
    EXPECT_EQ(Le16At(file, 26), 1u);
    EXPECT_EQ(Le16At(file, 28), 24u);
    EXPECT_EQ(Le32At(file, 30), 0u);
    EXPECT_EQ(Le32At(file, 34), 0u);
    EXPECT_EQ(Le32At(file, 38), 10000u);
    EXPECT_EQ(Le32At(file, 42), 10000u);
    EXPECT_EQ(Le32At(file, 46), 0u);
    EXPECT_EQ(Le32At(file, 50), 0u);
    for (int row = 0; row < 3; ++row) {  // bottom row first, as in the source
        const size_t at = 54 + static_cast<size_t>(row) * rowSize;
        EXPECT_TRUE(std::equal(file.begin() + static_cast<long>(at), file.begin() + static_cast<long>(at + 15),
                               frame.begin() + row * 7 * 3));
        EXPECT_EQ(file[at + 15], 0);  // padding
    }
}

TEST_F(PictureEncoder, BmpRoundTripIsExactForEveryPadding) {
    for (int w = 1; w <= 5; ++w) {
        const Bytes frame = Frame(w, 4, w + 2);
        ASSERT_TRUE(vtx::EncodePicture(Path("r.bmp").c_str(), frame.data(), w, 4, w + 2, RenderedKey{1, 1, 1}));
        EXPECT_EQ(ReadFileBytes(Path("r.bmp")).size(), 54u + (w * 3 + 3) / 4 * 4 * 4u);
        ASSERT_TRUE(vtx::DecodeBmp(image_, Path("r.bmp").c_str(), vtx::kNoColorKey));
        ASSERT_EQ(image_.width, w);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < w; ++x) EXPECT_EQ(PixelAt(image_, x, y), SourceAt(frame, 4, w + 2, x, y, 255));
    }
}

TEST_F(PictureEncoder, BmpWritesKeyedPixelsAsTheMarkerColourEvenForBlack) {
    const Bytes frame = {0, 0, 0, 9, 8, 7, 0, 0, 1, 0, 0, 0};  // black, (r7 g8 b9), almost black, black
    ASSERT_TRUE(vtx::EncodePicture(Path("k.bmp").c_str(), frame.data(), 4, 1, 4, RenderedKey{0, 0, 0}));
    const Bytes file = ReadFileBytes(Path("k.bmp"));
    ASSERT_EQ(file.size(), 54u + 12);
    EXPECT_EQ(Bytes(file.begin() + 54, file.end()), (Bytes{128, 0, 255, 9, 8, 7, 0, 0, 1, 128, 0, 255}));
    ASSERT_TRUE(vtx::EncodePicture(Path("k.bmp").c_str(), frame.data(), 4, 1, 4, RenderedKey{7, 8, 9}));
    const Bytes again = ReadFileBytes(Path("k.bmp"));
    EXPECT_EQ(Bytes(again.begin() + 54, again.end()), (Bytes{0, 0, 0, 128, 0, 255, 0, 0, 1, 0, 0, 0}));
}

// ---- PNG ------------------------------------------------------------------------

TEST_F(PictureEncoder, PngRoundTripIsExact) {
    const Bytes frame = Frame(13, 6, 16);
    ASSERT_TRUE(vtx::EncodePicture(Path("r.png").c_str(), frame.data(), 13, 6, 16, RenderedKey{0, 1, 2}));
    ASSERT_TRUE(vtx::DecodePng(image_, Path("r.png").c_str(), vtx::kNoColorKey));
    ASSERT_EQ(image_.width, 13);
    ASSERT_EQ(image_.height, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 13; ++x) EXPECT_EQ(PixelAt(image_, x, y), SourceAt(frame, 6, 16, x, y, 255));
}

TEST_F(PictureEncoder, PngCarriesAWhiteBackground) {
    const Bytes frame = Frame(2, 2, 2);
    ASSERT_TRUE(vtx::EncodePicture(Path("b.png").c_str(), frame.data(), 2, 2, 2, RenderedKey{}));
    const Bytes file = ReadFileBytes(Path("b.png"));
    const std::string text(file.begin(), file.end());
    const size_t at = text.find("bKGD");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(Bytes(file.begin() + static_cast<long>(at) - 4, file.begin() + static_cast<long>(at) + 10),
              (Bytes{0, 0, 0, 6, 'b', 'K', 'G', 'D', 0, 255, 0, 255, 0, 255}));
}

TEST_F(PictureEncoder, PngKeysOnlyWhenTheKeysRedIsNotZero) {
    const Bytes frame = {30, 20, 10, 30, 20, 11, 0, 0, 0};  // (r10 g20 b30), (r11 ...), black
    ASSERT_TRUE(vtx::EncodePicture(Path("k.png").c_str(), frame.data(), 3, 1, 3, RenderedKey{10, 20, 30}));
    ASSERT_TRUE(vtx::DecodePng(image_, Path("k.png").c_str(), vtx::kNoColorKey));
    EXPECT_EQ(PixelAt(image_, 0, 0), (Rgba{10, 20, 30, 0}));  // colour kept, alpha 0
    EXPECT_EQ(PixelAt(image_, 1, 0), (Rgba{11, 20, 30, 255}));
    EXPECT_EQ(PixelAt(image_, 2, 0), (Rgba{0, 0, 0, 255}));
    ASSERT_TRUE(vtx::EncodePicture(Path("k.png").c_str(), frame.data(), 3, 1, 3, RenderedKey{0, 0, 0}));
    ASSERT_TRUE(vtx::DecodePng(image_, Path("k.png").c_str(), vtx::kNoColorKey));
    EXPECT_EQ(PixelAt(image_, 2, 0), (Rgba{0, 0, 0, 255}));  // red 0: nothing keyed
}

// ---- JPEG -----------------------------------------------------------------------

TEST_F(PictureEncoder, JpegRoundTripStaysWithinTolerance) {
    Bytes frame;
    for (int row = 0; row < 32; ++row)
        for (int x = 0; x < 48; ++x)
            frame.insert(frame.end(), {static_cast<uint8_t>(50 + x * 3), static_cast<uint8_t>(40 + row * 4),
                                       static_cast<uint8_t>(120 + x - row)});
    ASSERT_TRUE(vtx::EncodePicture(Path("r.jpg").c_str(), frame.data(), 48, 32, 48, RenderedKey{120, 40, 50}));
    ASSERT_TRUE(vtx::DecodeJpeg(image_, Path("r.jpg").c_str()));
    ASSERT_EQ(image_.width, 48);
    ASSERT_EQ(image_.height, 32);
    long total = 0;
    int worst = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 48; ++x) {
            const Rgba got = PixelAt(image_, x, y);
            const Rgba want = SourceAt(frame, 32, 48, x, y, 255);
            EXPECT_EQ(got[3], 255);  // the keyed pixel (0, 31) too: alpha is dropped
            for (int c = 0; c < 3; ++c) {
                const int d = std::abs(got[c] - want[c]);
                total += d;
                worst = std::max(worst, d);
            }
        }
    EXPECT_LT(static_cast<double>(total) / (48 * 32 * 3), 3.0);
    EXPECT_LE(worst, 24);
}

TEST_F(PictureEncoder, JpegIsBaselineAtQualityEighty) {
    const Bytes frame = Frame(16, 16, 16);
    ASSERT_TRUE(vtx::EncodePicture(Path("q.JPG").c_str(), frame.data(), 16, 16, 16, RenderedKey{}));
    const Bytes file = ReadFileBytes(Path("q.JPG"));
    ASSERT_GT(file.size(), 4u);
    EXPECT_EQ(file[0], 0xFF);
    EXPECT_EQ(file[1], 0xD8);
    const std::string text(file.begin(), file.end());
    EXPECT_NE(text.find("\xFF\xC0"), std::string::npos);  // baseline frame
    const size_t dqt = text.find("\xFF\xDB");
    ASSERT_NE(dqt, std::string::npos);
    // The first luminance entry, 16 at quality 50, scaled to 40 %.
    EXPECT_EQ(file[dqt + 5], 6);
}

// ---- where writing fails ----------------------------------------------------------

TEST_F(PictureEncoder, MemoryNamesCannotBeWritten) {
    Bytes block(64, 0);
    MemoryPicture picture(block);
    const Bytes frame = Frame(2, 2, 2);
    const std::string name = picture.name();
    for (const char* ending : {"", ".png", ".jpg", ".bmp"}) {
        EXPECT_FALSE(vtx::EncodePicture((name + ending).c_str(), frame.data(), 2, 2, 2, RenderedKey{})) << ending;
    }
    EXPECT_EQ(block, Bytes(64, 0));
}

TEST_F(PictureEncoder, AnExistingFileIsReplaced) {
    WriteFileBytes(Path("old.bmp"), Bytes(5000, 0x42));
    const Bytes frame = Frame(2, 2, 2);
    ASSERT_TRUE(vtx::EncodePicture(Path("old.bmp").c_str(), frame.data(), 2, 2, 2, RenderedKey{}));
    EXPECT_EQ(ReadFileBytes(Path("old.bmp")).size(), 54u + 16);
}

TEST_F(PictureEncoder, BadFramesAndPlacesFail) {
    const Bytes frame = Frame(4, 4, 4);
    EXPECT_FALSE(vtx::EncodePicture(Path("z.bmp").c_str(), frame.data(), 0, 4, 4, RenderedKey{}));
    EXPECT_FALSE(vtx::EncodePicture(Path("z.bmp").c_str(), frame.data(), 4, -1, 4, RenderedKey{}));
    EXPECT_FALSE(vtx::EncodePicture(Path("z.bmp").c_str(), frame.data(), 4, 4, 3, RenderedKey{}));  // row too short
    EXPECT_FALSE(vtx::EncodePicture(Path("z.bmp").c_str(), nullptr, 4, 4, 4, RenderedKey{}));
    EXPECT_FALSE(vtx::EncodePicture(nullptr, frame.data(), 4, 4, 4, RenderedKey{}));
    EXPECT_FALSE(vtx::EncodePicture(Path("no/such/folder/z.png").c_str(), frame.data(), 4, 4, 4, RenderedKey{}));
}

// ---- the decoder chain ------------------------------------------------------------

TEST_F(PictureEncoder, DecodePictureTakesEachFormat) {
    const Bytes frame = {3, 2, 1, 6, 5, 4};  // (r1 g2 b3), (r4 g5 b6)
    const int32_t key = 1 + 2 * 256 + 3 * 65536;
    ASSERT_TRUE(vtx::EncodePicture(Path("c.bmp").c_str(), frame.data(), 2, 1, 2, RenderedKey{}));
    ASSERT_TRUE(vtx::DecodePicture(image_, Path("c.bmp").c_str(), key));
    EXPECT_EQ(PixelAt(image_, 0, 0), (Rgba{0, 0, 0, 0}));  // BMP is keyed
    EXPECT_EQ(PixelAt(image_, 1, 0), (Rgba{4, 5, 6, 255}));
    ASSERT_TRUE(vtx::EncodePicture(Path("c.png").c_str(), frame.data(), 2, 1, 2, RenderedKey{}));
    ASSERT_TRUE(vtx::DecodePicture(image_, Path("c.png").c_str(), key));
    EXPECT_EQ(PixelAt(image_, 0, 0), (Rgba{1, 2, 3, 255}));  // an RGBA PNG is not
    ASSERT_TRUE(vtx::EncodePicture(Path("c.jpg").c_str(), frame.data(), 2, 1, 2, RenderedKey{}));
    ASSERT_TRUE(vtx::DecodePicture(image_, Path("c.jpg").c_str(), key));
    EXPECT_EQ(image_.width, 2);
    EXPECT_EQ(PixelAt(image_, 0, 0)[3], 255);
    WriteFileBytes(Path("junk"), Bytes(100, 7));
    EXPECT_FALSE(vtx::DecodePicture(image_, Path("junk").c_str(), key));
    EXPECT_TRUE(IsEmpty(image_));
}

}  // namespace
