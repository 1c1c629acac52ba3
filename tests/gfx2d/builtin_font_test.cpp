// The built-in font (mask table, outline, distinct glyphs, a legible line),
// the fall-back of failed loads, font numbers outside the range and the
// default font of start-up.
#include "gfx2d/font_test_support.h"

namespace {

using namespace font_test;

TEST_F(FontTest, StartUpLeavesTheBuiltinFontCurrent) {
    EXPECT_EQ(vtx::CurrentFont(), 0);
    EXPECT_EQ(FontSlot(0).width, 128);
    EXPECT_EQ(FontSlot(0).height, 64);
    EXPECT_EQ(FontSlot(0).texWidth, 128);
    EXPECT_EQ(FontSlot(0).texHeight, 64);
    EXPECT_EQ(FontSlot(0).uMax, 1.0f);
    EXPECT_EQ(FontSlot(0).vMax, 1.0f);
    EXPECT_NE(FontSlot(0).texture, 0u);
    EXPECT_EQ(FontSlot(0).mipTexture, 0u);
    EXPECT_EQ(FontSlot(1).width, 0);
}

TEST_F(FontTest, TheBuiltinPictureFollowsTheMaskTableAndOutlineRule) {
    vtx::SetBuiltinFont(6);
    const vtx::SpriteSlot& s = FontSlot(6);
    EXPECT_EQ(s.width, 128);
    EXPECT_EQ(s.height, 64);
    EXPECT_EQ(s.mipTexture, 0u);
    int32_t w = 0, h = 0;
    const std::vector<uint8_t> texels = TexturePixels(s.texture, w, h);
    ASSERT_EQ(w, 128);
    ASSERT_EQ(h, 64);
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
    EXPECT_EQ(filter, GL_NEAREST);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_NEAREST);
    const std::vector<uint8_t> expected = ExpectedBuiltinPicture();
    int32_t outline = 0;
    for (int32_t y = 0; y < 64; ++y)
        for (int32_t x = 0; x < 128; ++x)
            for (int32_t k = 0; k < 4; ++k) {
                const uint8_t want = expected[(static_cast<size_t>(y) * 128 + x) * 4 + k];
                ASSERT_EQ(texels[(static_cast<size_t>(63 - y) * 128 + x) * 4 + k], want)
                    << "texel " << x << "," << y << " byte " << k;
                if (k == 0 && want == 8) ++outline;
            }
    EXPECT_GT(outline, 500);
    // The same picture from the runtime's own drawing routine.
    vtx::ImageBuffer image;
    ASSERT_TRUE(vtx::MakeBuiltinFontPicture(image));
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), image.pixels));
}

TEST_F(FontTest, EveryBuiltinGlyphIsDistinct) {
    const auto& masks = vtx::BuiltinGlyphMasks();
    for (size_t j = 0; j < masks.size(); ++j) {
        EXPECT_EQ(masks[j] >> 30, 0u) << "code " << j + 32;
        if (j != 0) {
            EXPECT_NE(masks[j], 0u) << "code " << j + 32;  // only the space is blank
        }
    }
    EXPECT_EQ(masks[0], 0u);
    // Cells read back from the texture: 96 different bitmaps, and the lit
    // pixels alone differ too.
    int32_t w = 0, h = 0;
    const std::vector<uint8_t> texels = TexturePixels(FontSlot(0).texture, w, h);
    ASSERT_EQ(w, 128);
    // Cells are compared as texts: GCC 12 at -O3 warns falsely inside the
    // comparison of byte vectors.
    std::set<std::string> cells, shapes;
    for (int32_t j = 0; j < 96; ++j) {
        std::string cell, shape;
        for (int32_t r = 0; r < 8; ++r)
            for (int32_t c = 0; c < 8; ++c) {
                const int32_t x = (j % 16) * 8 + c, y = (2 + j / 16) * 8 + r;
                const uint8_t* t = &texels[(static_cast<size_t>(63 - y) * 128 + x) * 4];
                cell.append(reinterpret_cast<const char*>(t), 4);
                shape.push_back(t[0] == 255 ? '1' : '0');
            }
        cells.insert(cell);
        shapes.insert(shape);
    }
    EXPECT_EQ(cells.size(), 96u);
    EXPECT_EQ(shapes.size(), 96u);
    // Codes 0 to 31 have no glyph.
    for (size_t i = 0; i < 128 * 16 * 4; ++i) ASSERT_EQ(texels[(48 * 128 * 4) + i], 0) << i;
}

// Where the reference pictures of the rendered text live.
std::filesystem::path ReferenceFolder() { return std::filesystem::path(__FILE__).parent_path() / "reference"; }

TEST_F(FontTest, TheBuiltinFontPrintsALegibleLine) {
    constexpr int32_t kW = 280, kH = 16;
    SetFont(0);
    PrintText(RtString("The quick brown fox 0123456789 !?"), 4, 4);
    vtx::FlushDrawBatch();
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    std::vector<uint8_t> bgr(kW * kH * 3);  // rows bottom first, as the encoder takes them
    glReadPixels(0, kScreenH - kH, kW, kH, GL_BGR, GL_UNSIGNED_BYTE, bgr.data());
    const std::filesystem::path reference = ReferenceFolder() / "builtin_font_line.png";
    if (std::getenv("VTX_UPDATE_REFERENCE") != nullptr) {
        ASSERT_TRUE(vtx::EncodePicture(reference.c_str(), bgr.data(), kW, kH, kW, vtx::RenderedKey{}));
    }
    vtx::ImageBuffer image;
    ASSERT_TRUE(vtx::DecodePng(image, reference.c_str(), -1)) << reference;
    ASSERT_EQ(image.width, kW);
    ASSERT_EQ(image.height, kH);
    int32_t lit = 0;
    for (int32_t y = 0; y < kH; ++y)
        for (int32_t x = 0; x < kW; ++x) {
            const uint8_t* want = image.pixels + (static_cast<size_t>(y) * kW + x) * 4;
            const uint8_t* got = &bgr[(static_cast<size_t>(kH - 1 - y) * kW + x) * 3];
            ASSERT_EQ(Rgb({got[2], got[1], got[0]}), Rgb({want[0], want[1], want[2]})) << x << "," << y;
            if (got[0] == 255) ++lit;
        }
    EXPECT_GT(lit, 250);
}

TEST_F(FontTest, LoadFontOfAMissingFileFallsBackToTheBuiltinFont) {
    LoadTestFont(256, 256, 7);
    LoadFont(RtString("missing.png"), 7);
    EXPECT_EQ(vtx::LastErrorCode(), 3u);
    EXPECT_EQ(vtx::CurrentFont(), 7);
    EXPECT_EQ(FontSlot(7).width, 128);
    EXPECT_EQ(FontSlot(7).height, 64);
    int32_t w = 0, h = 0;
    const std::vector<uint8_t> texels = TexturePixels(FontSlot(7).texture, w, h);
    std::vector<uint8_t> flipped(texels.size());
    for (int32_t y = 0; y < 64; ++y) std::copy_n(&texels[(63 - y) * 512], 512, &flipped[y * 512]);
    EXPECT_TRUE(flipped == ExpectedBuiltinPicture());
    // An undecodable file does the same; a good one clears the error.
    { std::ofstream("junk.bmp") << "no picture here"; }
    LoadFont(RtString("junk.bmp"), 8);
    EXPECT_EQ(vtx::LastErrorCode(), 3u);
    EXPECT_EQ(FontSlot(8).width, 128);
    LoadTestFont(128, 128, 8);
    EXPECT_EQ(vtx::LastErrorCode(), 0u);
}

TEST_F(FontTest, FontNumbersOutsideTheRangeStayInsideTheFontSlots) {
    WriteBytes("sprite.bmp", FontPicture(32, 16));
    LoadSprite(RtString("sprite.bmp"), vtx::kFirstFontSlot - 3);  // the sprite slot that font -3 would be
    ASSERT_EQ(vtx::Sprites()->slots[vtx::kFirstFontSlot - 3].width, 32);
    LoadTestFont(256, 256, 0);
    LoadFont(RtString("missing.bmp"), -3);
    EXPECT_EQ(vtx::LastErrorCode(), 3u);
    EXPECT_EQ(vtx::CurrentFont(), 0);
    EXPECT_EQ(FontSlot(0).width, 128);  // the built-in font went into the clamped slot
    EXPECT_EQ(vtx::Sprites()->slots[vtx::kFirstFontSlot - 3].width, 32);
    LoadFont(RtString("missing.bmp"), 40);
    EXPECT_EQ(vtx::CurrentFont(), 31);
    EXPECT_EQ(FontSlot(31).width, 128);
    WriteBytes("wide.bmp", FontPicture(256, 128));
    LoadFont(RtString("wide.bmp"), 40);  // loads into font 31
    EXPECT_EQ(vtx::LastErrorCode(), 0u);
    EXPECT_EQ(vtx::CurrentFont(), 31);
    EXPECT_EQ(FontSlot(31).width, 256);
    LoadFont(RtString(""), 40);  // empties font 31 and nothing beyond
    EXPECT_EQ(FontSlot(31).width, 0);
    LoadFont(RtString(""), -3);
    EXPECT_EQ(FontSlot(0).width, 0);
    EXPECT_EQ(vtx::Sprites()->slots[vtx::kFirstFontSlot - 3].width, 32);
    vtx::SetBuiltinFont(32);  // no such font slot: ignored
    vtx::SetBuiltinFont(-1);
    EXPECT_EQ(vtx::Sprites()->slots[vtx::kFirstFontSlot - 1].width, 0);
}

// A pack archive holding one entry, in the layout of pack_archive.h.
Bytes ArchiveWith(const std::string& name, const Bytes& data) {
    Bytes out(64, 0x90);
    const Bytes stored = vtx::PackEntryData(data.data(), data.size());
    const auto position = static_cast<int32_t>(out.size());
    out.insert(out.end(), stored.begin(), stored.end());
    const auto directory = static_cast<int32_t>(out.size());
    auto put32 = [&](int32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    };
    out.push_back(static_cast<uint8_t>(name.size()));
    out.insert(out.end(), name.begin(), name.end());
    put32(position);
    put32(static_cast<int32_t>(stored.size()));
    out.push_back(0);
    out.insert(out.end(), {'z', 'e', 'Z'});
    put32(directory);
    return out;
}

TEST_F(FontTest, TheDefaultFontComesFromDiskOrThePackArchive) {
    // On disk, in the current folder.
    WriteBytes("smalfont.bmp", FontPicture(256, 128));
    SetFont(4);
    vtx::LoadDefaultFont();
    EXPECT_EQ(vtx::CurrentFont(), 0);
    EXPECT_EQ(FontSlot(0).width, 256);
    std::filesystem::remove("smalfont.bmp");
    // From the archive, through a memory name: the block must still be
    // there when the font is decoded.
    Bytes archive = ArchiveWith("smalfont.bmp", FontPicture(128, 128));
    const RtString archiveName = vtx::RegisterMemoryBlock(archive.data(), static_cast<uint32_t>(archive.size()));
    SetPackFiles(archiveName, archiveName);
    vtx::LoadDefaultFont();
    EXPECT_EQ(vtx::LastErrorCode(), 0u);
    EXPECT_EQ(FontSlot(0).width, 128);
    EXPECT_EQ(FontSlot(0).height, 128);
    PrintText(RtString("7"), 8, 8);
    ExpectCells(ReadBack(), "7", 8, 8, 8, 16, 8);
    // An undecodable default font leaves the built-in font.
    { std::ofstream("smalfont.png") << "broken"; }
    vtx::LoadDefaultFont();
    EXPECT_EQ(vtx::LastErrorCode(), 3u);
    EXPECT_EQ(FontSlot(0).width, 128);
    EXPECT_EQ(FontSlot(0).height, 64);
    vtx::ReleaseResolverResult(vtx::LoaderResolver());
    vtx::UnregisterMemoryBlock(archiveName);
}

}  // namespace
