// The BMP decoder: depths, orientations, both header kinds, row padding,
// colour tables and their mends, size guards, truncation, the colour key
// and buffer reuse.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <tuple>

#include "gfx2d/picture_codecs.h"
#include "picture_test_support.h"
#include "support/scratch_folder.h"

namespace {

using namespace picture_test;
using vtx::ImageBuffer;

// A 40-byte-header BMP: the pixel-data offset is 54 + the table bytes unless given.
Bytes Bmp40(int32_t width, int32_t height, int bits, const Bytes& table, const Bytes& pixels, int64_t offset = -1) {
    const uint32_t p = offset >= 0 ? static_cast<uint32_t>(offset) : static_cast<uint32_t>(54 + table.size());
    ByteWriter w;
    w.text("BM").u32(static_cast<uint32_t>(54 + table.size() + pixels.size())).u16(0).u16(0).u32(p);
    w.u32(40).u32(static_cast<uint32_t>(width)).u32(static_cast<uint32_t>(height));
    w.u16(1).u16(static_cast<uint32_t>(bits));
    w.u32(0).u32(static_cast<uint32_t>(pixels.size())).u32(2835).u32(2835).u32(0).u32(0);
    return w.raw(table).raw(pixels).bytes();
}

// A core-header (12-byte) BMP with 3-byte table entries.
Bytes BmpCore(uint16_t width, uint16_t height, int bits, const Bytes& table, const Bytes& pixels) {
    ByteWriter w;
    w.text("BM").u32(static_cast<uint32_t>(26 + table.size() + pixels.size())).u16(0).u16(0);
    w.u32(static_cast<uint32_t>(26 + table.size()));
    w.u32(12).u16(width).u16(height).u16(1).u16(static_cast<uint32_t>(bits));
    return w.raw(table).raw(pixels).bytes();
}

// The colour of palette index i (and of direct pixel i): b, g, r.
std::array<uint8_t, 3> ColourOf(int i) {
    return {static_cast<uint8_t>(i * 3 + 1), static_cast<uint8_t>(i * 5 + 2), static_cast<uint8_t>(i * 7 + 3)};
}

// The logical picture: an index per pixel, top row first, within the depth's range.
int IndexAt(int x, int y, int bits) {
    const int v = x * 7 + y * 13 + x * y;
    return bits == 1 ? v % 2 : bits == 4 ? v % 16 : v % 256;
}

constexpr int kWidth = 9;
constexpr int kHeight = 3;

// The colour table for a depth: 3- or 4-byte entries, 2^bits of them.
Bytes TableFor(int bits, int entrySize) {
    Bytes table;
    if (bits > 8) return table;
    for (int i = 0; i < (1 << bits); ++i) {
        const auto c = ColourOf(i);
        table.insert(table.end(), c.begin(), c.end());
        if (entrySize == 4) table.push_back(0x77);
    }
    return table;
}

// Pixel rows of the logical picture in file order, each padded with 0xA5
// bytes to the row length of the depth.
Bytes RowsFor(int bits, bool topFirst) {
    const size_t used = (static_cast<size_t>(kWidth) * bits + 7) / 8;
    const size_t rowLength = (used + 3) / 4 * 4;
    Bytes all;
    for (int r = 0; r < kHeight; ++r) {
        const int y = topFirst ? r : kHeight - 1 - r;
        Bytes row(rowLength, 0xA5);
        std::fill(row.begin(), row.begin() + static_cast<long>(used), 0);
        for (int x = 0; x < kWidth; ++x) {
            const int i = IndexAt(x, y, bits);
            if (bits == 1) row[x / 8] |= static_cast<uint8_t>(i << (7 - x % 8));
            else if (bits == 4) row[x / 2] |= static_cast<uint8_t>(x % 2 == 0 ? i << 4 : i);
            else if (bits == 8) row[x] = static_cast<uint8_t>(i);
            else {
                const auto c = ColourOf(i);
                std::copy(c.begin(), c.end(), row.begin() + x * (bits / 8));
                if (bits == 32) row[x * 4 + 3] = static_cast<uint8_t>(x * 40);  // never alpha
            }
        }
        all.insert(all.end(), row.begin(), row.end());
    }
    return all;
}

class BmpDecoder : public ::testing::Test {
protected:
    // Decodes the bytes through a memory name.
    bool Decode(const Bytes& bytes, int32_t key = vtx::kNoColorKey) {
        MemoryPicture picture(bytes);
        return vtx::DecodeBmp(image_, picture.name(), key);
    }
    // The decoded picture equals the logical one of that depth, opaque.
    void ExpectLogicalPicture(int bits) {
        ASSERT_EQ(image_.width, kWidth);
        ASSERT_EQ(image_.height, kHeight);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const auto c = ColourOf(IndexAt(x, y, bits));
                EXPECT_EQ(PixelAt(image_, x, y), (Rgba{c[2], c[1], c[0], 255})) << "x " << x << " y " << y;
            }
        }
    }
    ImageBuffer image_;
};

// ---- depths, orientations, header kinds ---------------------------------

class BmpDepths : public BmpDecoder, public ::testing::WithParamInterface<std::tuple<int, int, bool>> {};

TEST_P(BmpDepths, DecodeToTheSameTopFirstPicture) {
    const auto [headerSize, bits, topFirst] = GetParam();
    const int32_t height = topFirst ? -kHeight : kHeight;
    const Bytes file = headerSize == 40 ? Bmp40(kWidth, height, bits, TableFor(bits, 4), RowsFor(bits, topFirst))
                                        : BmpCore(kWidth, kHeight, bits, TableFor(bits, 3), RowsFor(bits, false));
    ASSERT_TRUE(Decode(file));
    ExpectLogicalPicture(bits);
    EXPECT_EQ(image_.capacity, kWidth * kHeight * 4);
}

INSTANTIATE_TEST_SUITE_P(FortyByteHeader, BmpDepths,
                         ::testing::Combine(::testing::Values(40), ::testing::Values(1, 4, 8, 24, 32),
                                            ::testing::Bool()));
// A core header has an unsigned height: bottom first only. Its 1-bit table
// (6 bytes) is too small to count as one, see CoreOneBitPictureIsRefused.
INSTANTIATE_TEST_SUITE_P(CoreHeader, BmpDepths,
                         ::testing::Combine(::testing::Values(12), ::testing::Values(4, 8, 24, 32),
                                            ::testing::Values(false)));

TEST_F(BmpDecoder, TwentyFourBitsThreeWideUsesTwelveByteRows) {
    const Bytes rows = {1,  2,  3,  4,  5,  6,  7,  8,  9,  0xEE, 0xEE, 0xEE,    // bottom row
                        10, 11, 12, 13, 14, 15, 16, 17, 18, 0xEE, 0xEE, 0xEE};  // top row
    ASSERT_TRUE(Decode(Bmp40(3, 2, 24, {}, rows)));
    EXPECT_EQ(PixelAt(image_, 0, 0), (Rgba{12, 11, 10, 255}));
    EXPECT_EQ(PixelAt(image_, 2, 0), (Rgba{18, 17, 16, 255}));
    EXPECT_EQ(PixelAt(image_, 0, 1), (Rgba{3, 2, 1, 255}));
    EXPECT_EQ(PixelAt(image_, 2, 1), (Rgba{9, 8, 7, 255}));
}

TEST_F(BmpDecoder, FourBitsNinePixelsWideUsesEightByteRows) {
    Bytes table;
    for (int i = 0; i < 16; ++i) {
        table.insert(table.end(), {static_cast<uint8_t>(i), 0, static_cast<uint8_t>(100 + i), 0});
    }
    const Bytes rows = {0x01, 0x23, 0x45, 0x67, 0x80, 0xFF, 0xFF, 0xFF,    // bottom: 0..8, padding
                        0xFE, 0xDC, 0xBA, 0x98, 0x70, 0xFF, 0xFF, 0xFF};  // top: 15..7
    ASSERT_TRUE(Decode(Bmp40(9, 2, 4, table, rows)));
    for (int x = 0; x < 9; ++x) {
        EXPECT_EQ(PixelAt(image_, x, 1), (Rgba{static_cast<uint8_t>(100 + x), 0, static_cast<uint8_t>(x), 255}));
        EXPECT_EQ(PixelAt(image_, x, 0), (Rgba{static_cast<uint8_t>(115 - x), 0, static_cast<uint8_t>(15 - x), 255}));
    }
}

TEST_F(BmpDecoder, ThirtyTwoBitPicturesAreOpaqueWhateverTheirFourthBytes) {
    const Bytes rows = {10, 20, 30, 0, 11, 21, 31, 1, 12, 22, 32, 128, 13, 23, 33, 255};
    ASSERT_TRUE(Decode(Bmp40(4, 1, 32, {}, rows)));
    for (int x = 0; x < 4; ++x) {
        const auto v = static_cast<uint8_t>(x);
        EXPECT_EQ(PixelAt(image_, x, 0), (Rgba{static_cast<uint8_t>(30 + v), static_cast<uint8_t>(20 + v),
                                               static_cast<uint8_t>(10 + v), 255}));
    }
}

TEST_F(BmpDecoder, TableBytesThatAreNotWholeEntriesAreSkipped) {
    // Ten table bytes: two entries and two stray bytes before the pixels.
    const Bytes table = {1, 2, 3, 0, 4, 5, 6, 0, 0x99, 0x99};
    ASSERT_TRUE(Decode(Bmp40(2, 1, 8, table, {1, 0, 0, 0})));
    EXPECT_EQ(PixelAt(image_, 0, 0), (Rgba{6, 5, 4, 255}));
    EXPECT_EQ(PixelAt(image_, 1, 0), (Rgba{3, 2, 1, 255}));
}

// ---- colour-table mends --------------------------------------------------

TEST_F(BmpDecoder, PaletteIndexBeyondTheTableIsRejected) {
    const Bytes table = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0};  // three entries
    EXPECT_TRUE(Decode(Bmp40(2, 1, 8, table, {2, 0, 0, 0})));  // index 2: the last entry
    EXPECT_EQ(PixelAt(image_, 0, 0), (Rgba{9, 8, 7, 255}));
    EXPECT_FALSE(Decode(Bmp40(2, 1, 8, table, {1, 3, 0, 0})));  // index 3: beyond
    EXPECT_TRUE(IsEmpty(image_));
    EXPECT_FALSE(Decode(Bmp40(2, 1, 4, table, {0x0F, 0, 0, 0})));
    EXPECT_FALSE(Decode(Bmp40(9, 1, 1, {1, 2, 3, 0}, {0x00, 0x80, 0, 0})));  // x = 8 is 1, one entry
    EXPECT_TRUE(Decode(Bmp40(9, 1, 1, {1, 2, 3, 0}, {0x00, 0x7F, 0, 0})));   // the set bits are padding
}

TEST_F(BmpDecoder, IndexedPicturesWithoutATableAreRejected) {
    for (int bits : {1, 4, 8}) {
        EXPECT_FALSE(Decode(Bmp40(4, 1, bits, {}, {0, 0, 0, 0}))) << bits << " bits";
        EXPECT_TRUE(IsEmpty(image_));
    }
    // Fewer than four table bytes hold no entry.
    EXPECT_FALSE(Decode(Bmp40(4, 1, 8, {1, 2, 3}, {0, 0, 0, 0})));
}

TEST_F(BmpDecoder, CoreOneBitPictureIsRefused) {
    // Its 6 table bytes keep the info block at 18 bytes, not above 40: no
    // table is read, so the picture counts as indexed without one.
    EXPECT_FALSE(Decode(BmpCore(8, 1, 1, {0, 0, 0, 255, 255, 255}, {0x55, 0, 0, 0})));
}

// ---- header checks, truncation, size guards -----------------------------

TEST_F(BmpDecoder, MalformedHeadersAreRejected) {
    const Bytes rows = {1, 2, 3, 0};
    Bytes wrongMagic = Bmp40(1, 1, 24, {}, rows);
    wrongMagic[1] = 'A';
    EXPECT_FALSE(Decode(wrongMagic));
    EXPECT_FALSE(Decode(Bmp40(1, 1, 16, {}, rows)));
    EXPECT_FALSE(Decode(Bmp40(1, 1, 2, {}, rows)));
    Bytes v4Header = Bmp40(1, 1, 24, {}, rows);
    v4Header[14] = 108;
    EXPECT_FALSE(Decode(v4Header));
    EXPECT_FALSE(Decode({}));
    EXPECT_TRUE(Decode(Bmp40(1, 1, 24, {}, rows)));  // the unbroken file decodes
}

TEST_F(BmpDecoder, EveryTruncationFails) {
    const Bytes full = Bmp40(kWidth, kHeight, 8, TableFor(8, 4), RowsFor(8, false));
    ASSERT_TRUE(Decode(full));
    for (size_t length = 0; length < full.size(); ++length) {
        EXPECT_FALSE(Decode(Bytes(full.begin(), full.begin() + static_cast<long>(length)))) << length << " bytes";
        EXPECT_TRUE(IsEmpty(image_));
    }
}

TEST_F(BmpDecoder, TruncatedDiskFileFails) {
    ScratchFolder scratch("bmp-disk");
    const Bytes full = Bmp40(kWidth, kHeight, 24, {}, RowsFor(24, false));
    const auto path = scratch.path() / "cut.bmp";
    WriteFileBytes(path, Bytes(full.begin(), full.end() - 1));
    EXPECT_FALSE(vtx::DecodeBmp(image_, path.c_str(), vtx::kNoColorKey));
    WriteFileBytes(path, full);
    ASSERT_TRUE(vtx::DecodeBmp(image_, path.c_str(), vtx::kNoColorKey));
    ExpectLogicalPicture(24);
    EXPECT_FALSE(vtx::DecodeBmp(image_, (scratch.path() / "missing.bmp").c_str(), vtx::kNoColorKey));
    EXPECT_TRUE(IsEmpty(image_));
}

TEST_F(BmpDecoder, AbsurdSizesAreRejectedWithoutAllocating) {
    const uint64_t before = vtx::ImageBufferAllocationCount();
    const Bytes sixBytes = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(Bmp40(100000, 100000, 24, {}, sixBytes).size(), 60u);
    EXPECT_FALSE(Decode(Bmp40(100000, 100000, 24, {}, sixBytes)));  // 4e10 bytes of RGBA
    EXPECT_FALSE(Decode(Bmp40(1000, 1000, 24, {}, sixBytes)));      // fits, but not in 60 bytes
    EXPECT_FALSE(Decode(Bmp40(0, 1, 24, {}, sixBytes)));
    EXPECT_FALSE(Decode(Bmp40(1, 0, 24, {}, sixBytes)));
    EXPECT_FALSE(Decode(Bmp40(-1, 1, 24, {}, sixBytes)));
    EXPECT_FALSE(Decode(Bmp40(1, INT32_MIN, 24, {}, sixBytes)));
    EXPECT_FALSE(Decode(Bmp40(1, 1, 8, {}, sixBytes, 0xFFFFFFFFll)));  // a 4 GiB table
    EXPECT_EQ(vtx::ImageBufferAllocationCount(), before);
    EXPECT_TRUE(IsEmpty(image_));
}

// ---- colour key -------------------------------------------------------------

TEST_F(BmpDecoder, ColourKeyClearsMatchingPixelsOnly) {
    const Bytes rows = {0x56, 0x34, 0x12, 0x57, 0x34, 0x12, 0, 0, 0, 0, 0, 0};  // (r 12 g 34 b 56), (b 57), black
    const int32_t key = 0x12 + 0x34 * 256 + 0x56 * 65536;
    ASSERT_TRUE(Decode(Bmp40(3, 1, 24, {}, rows), key));
    EXPECT_EQ(PixelAt(image_, 0, 0), (Rgba{0, 0, 0, 0}));
    EXPECT_EQ(PixelAt(image_, 1, 0), (Rgba{0x12, 0x34, 0x57, 255}));
    EXPECT_EQ(PixelAt(image_, 2, 0), (Rgba{0, 0, 0, 255}));
    ASSERT_TRUE(Decode(Bmp40(3, 1, 24, {}, rows), vtx::kNoColorKey));
    EXPECT_EQ(PixelAt(image_, 0, 0), (Rgba{0x12, 0x34, 0x56, 255}));
    ASSERT_TRUE(Decode(Bmp40(3, 1, 24, {}, rows), 0));  // key 0 is black
    EXPECT_EQ(PixelAt(image_, 2, 0), (Rgba{0, 0, 0, 0}));
    EXPECT_EQ(PixelAt(image_, 0, 0)[3], 255);
}

TEST_F(BmpDecoder, ColourKeyAppliesToPaletteColours) {
    const Bytes table = {0x30, 0x20, 0x10, 0, 0x31, 0x20, 0x10, 0};
    ASSERT_TRUE(Decode(Bmp40(2, 1, 8, table, {0, 1, 0, 0}), 0x302010));
    EXPECT_EQ(PixelAt(image_, 0, 0), (Rgba{0, 0, 0, 0}));
    EXPECT_EQ(PixelAt(image_, 1, 0), (Rgba{0x10, 0x20, 0x31, 255}));
}

// ---- buffer reuse -----------------------------------------------------------

// A w x h 24-bit picture of one colour.
Bytes Plain24(int w, int h, uint8_t b, uint8_t g, uint8_t r) {
    const size_t rowLength = (static_cast<size_t>(w) * 3 + 3) / 4 * 4;
    Bytes rows;
    for (int y = 0; y < h; ++y) {
        Bytes row(rowLength, 0);
        for (int x = 0; x < w; ++x) row[x * 3] = b, row[x * 3 + 1] = g, row[x * 3 + 2] = r;
        rows.insert(rows.end(), row.begin(), row.end());
    }
    return Bmp40(w, h, 24, {}, rows);
}

TEST_F(BmpDecoder, LargeEnoughBlockIsReusedAndSmallOneReplaced) {
    ASSERT_TRUE(Decode(Plain24(4, 4, 1, 2, 3)));
    EXPECT_EQ(image_.capacity, 64);
    const uint8_t* block = image_.pixels;
    const uint64_t before = vtx::ImageBufferAllocationCount();
    ASSERT_TRUE(Decode(Plain24(2, 2, 1, 2, 3)));
    EXPECT_EQ(image_.pixels, block);
    EXPECT_EQ(image_.capacity, 64);
    EXPECT_EQ(image_.width, 2);
    EXPECT_EQ(image_.height, 2);
    EXPECT_EQ(vtx::ImageBufferAllocationCount(), before);
    ASSERT_TRUE(Decode(Plain24(8, 8, 1, 2, 3)));
    EXPECT_EQ(image_.capacity, 256);  // exactly the bytes needed
    EXPECT_EQ(vtx::ImageBufferAllocationCount(), before + 1);
}

TEST_F(BmpDecoder, ReusedBlockStartsCleared) {
    ASSERT_TRUE(Decode(Plain24(4, 4, 255, 255, 255)));
    ASSERT_TRUE(Decode(Plain24(2, 2, 9, 8, 7), 0x090807));  // every pixel keyed: r 7, g 8, b 9
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) EXPECT_EQ(PixelAt(image_, x, y), (Rgba{0, 0, 0, 0}));
}

TEST_F(BmpDecoder, FailedDecodeFreesTheBlock) {
    ASSERT_TRUE(Decode(Plain24(4, 4, 1, 2, 3)));
    EXPECT_FALSE(Decode(Bytes{'B', 'M', 0}));
    EXPECT_TRUE(IsEmpty(image_));
}

}  // namespace
