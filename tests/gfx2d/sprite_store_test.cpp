// The sprite store on a real GL context: texture sizes, the flip, colour
// bleeding, mip levels, fonts, keys, normal maps and the slot commands.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "files/last_error_internal.h"
#include "gfx2d/image_buffer.h"
#include "gfx2d/picture_codecs.h"
#include "gfx2d/picture_commands.h"
#include "gfx2d/sprite_commands.h"
#include "host/frames.h"
#include "gfx2d/sprite_store.h"
#include "host/graphics_backend.h"
#include "host/lifecycle.h"
#include "host/project_settings.h"
#include "platform/window.h"
#include "gfx2d/presented_frame.h"
#include "support/bmp_file.h"
#include "support/scratch_folder.h"
#include "support/engine_in_folder.h"

namespace {

using Rgb = std::array<uint8_t, 3>;

// A 24-bit BMP of pixels given top row first.
void WriteBmp(const std::string& path, int32_t w, int32_t h, const std::vector<Rgb>& pixels) {
    test_support::WriteBmp(path, w, h, pixels);
}

void WriteFlat(const std::string& path, int32_t w, int32_t h, Rgb colour) {
    WriteBmp(path, w, h, std::vector<Rgb>(static_cast<size_t>(w) * h, colour));
}

constexpr Rgb kKey = {255, 0, 128};  // the initial transparent colour

class SpriteStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(StartEngineIn(scratch_.path()));
    }
    static vtx::SpriteSlot& Slot(int32_t slot) { return vtx::Sprites()->slots[slot]; }
    // Level 0 of a texture, RGBA, texel rows bottom first.
    static std::vector<uint8_t> TexturePixels(GLuint texture, int32_t& w, int32_t& h, GLint level = 0) {
        glBindTexture(GL_TEXTURE_2D, texture);
        GLint gw = 0, gh = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &gw);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &gh);
        w = gw;
        h = gh;
        std::vector<uint8_t> out(static_cast<size_t>(gw) * gh * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
        return out;
    }
    ScratchFolder scratch_{"sprites"};
};

TEST_F(SpriteStoreTest, TextureSizesAndCoordinateExtents) {
    WriteFlat("one.bmp", 1, 1, {10, 20, 30});
    LoadSprite(RtString("one.bmp"), 5);
    EXPECT_EQ(vtx::LastErrorCode(), 0u);
    EXPECT_EQ(Slot(5).texWidth, 16);
    EXPECT_EQ(Slot(5).texHeight, 16);
    EXPECT_FLOAT_EQ(Slot(5).uMax, 0.0625f);
    EXPECT_FLOAT_EQ(Slot(5).vMax, 0.0625f);

    WriteFlat("odd.bmp", 17, 100, {10, 20, 30});
    LoadSprite(RtString("odd.bmp"), 6);
    EXPECT_EQ(Slot(6).texWidth, 32);
    EXPECT_EQ(Slot(6).texHeight, 128);
    EXPECT_FLOAT_EQ(Slot(6).uMax, 0.53125f);
    EXPECT_FLOAT_EQ(Slot(6).vMax, 0.78125f);
    int32_t w = 0, h = 0;
    GetSpriteSize(6, w, h);
    EXPECT_EQ(w, 17);
    EXPECT_EQ(h, 100);
    double dw = 0, dh = 0;
    GetSpriteSize(6, dw, dh);
    EXPECT_EQ(dw, 17.0);
    EXPECT_EQ(GetSpriteTexture(6), static_cast<int32_t>(Slot(6).texture));
    EXPECT_NE(Slot(6).mipTexture, 0u);
}

TEST_F(SpriteStoreTest, PicturesAreFlippedIntoTheTexture) {
    // Top row red, bottom row blue: texel row 0 holds the bottom row.
    WriteBmp("rows.bmp", 2, 2, {{255, 0, 0}, {255, 0, 0}, {0, 0, 255}, {0, 0, 255}});
    LoadSprite(RtString("rows.bmp"), 1);
    int32_t w = 0, h = 0;
    const std::vector<uint8_t> t = TexturePixels(Slot(1).texture, w, h);
    ASSERT_EQ(w, 16);
    EXPECT_EQ(t[2], 255);         // texel (0, 0): blue
    EXPECT_EQ(t[w * 4 + 0], 255);  // texel (0, 1): red
    EXPECT_EQ(t[w * 4 + 3], 255);
    EXPECT_EQ(t[2 * w * 4 + 3], 0);  // above the picture: transparent
}

TEST_F(SpriteStoreTest, TransparentTexelsBleedTheirInnerNeighbours) {
    // 4 x 4 picture with a keyed hole at picture (1, 1) = texel (1, 2).
    std::vector<Rgb> p(16);
    for (int i = 0; i < 16; ++i) p[i] = {static_cast<uint8_t>(10 * i), static_cast<uint8_t>(200 - 10 * i), 7};
    p[1 * 4 + 1] = kKey;
    WriteBmp("hole.bmp", 4, 4, p);
    LoadSprite(RtString("hole.bmp"), 2);
    int32_t w = 0, h = 0;
    const std::vector<uint8_t> t = TexturePixels(Slot(2).texture, w, h);
    auto texel = [&](int x, int y) { return &t[(static_cast<size_t>(y) * w + x) * 4]; };
    ASSERT_EQ(texel(1, 2)[3], 0);
    // Counting neighbours: columns 1..14 and rows 1..14 with alpha > 0:
    // texels (2,1), (2,2), (2,3), (1,1), (1,3) -- column 0 never counts.
    int sum = 0, count = 0;
    for (auto [x, y] : std::vector<std::pair<int, int>>{{2, 1}, {2, 2}, {2, 3}, {1, 1}, {1, 3}}) {
        sum += texel(x, y)[0];
        ++count;
    }
    EXPECT_EQ(texel(1, 2)[0], sum / count);
    // Far from the picture: transparent black.
    EXPECT_EQ(texel(10, 10)[0], 0);
    EXPECT_EQ(texel(10, 10)[3], 0);
    // Right beside the picture (column 4): bleeds from column 3.
    EXPECT_EQ(texel(4, 2)[3], 0);
    EXPECT_NE(texel(4, 2)[0] + texel(4, 2)[1], 0);
}

TEST_F(SpriteStoreTest, MipTexturesAreSquareWithEveryLevel) {
    WriteFlat("wide.bmp", 40, 10, {100, 150, 200});
    LoadSprite(RtString("wide.bmp"), 3);
    ASSERT_EQ(Slot(3).texWidth, 64);
    ASSERT_EQ(Slot(3).texHeight, 16);
    int32_t w = 0, h = 0;
    TexturePixels(Slot(3).mipTexture, w, h, 0);
    EXPECT_EQ(w, 16);
    EXPECT_EQ(h, 16);
    TexturePixels(Slot(3).mipTexture, w, h, 4);
    EXPECT_EQ(w, 1);
    EXPECT_EQ(h, 1);
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR_MIPMAP_LINEAR);
}

TEST_F(SpriteStoreTest, KeysAndTransparencyChanges) {
    WriteBmp("keyed.bmp", 2, 1, {kKey, {0, 0, 0}});
    LoadSprite(RtString("keyed.bmp"), 4);
    int32_t w = 0, h = 0;
    std::vector<uint8_t> t = TexturePixels(Slot(4).texture, w, h);
    EXPECT_EQ(t[3], 0);    // the keyed pixel
    EXPECT_EQ(t[7], 255);  // black stays opaque
    SetTransparency(0);
    LoadSprite(RtString("keyed.bmp"), 4);
    t = TexturePixels(Slot(4).texture, w, h);
    EXPECT_EQ(t[3], 255);
    EXPECT_EQ(t[7], 0);
    EXPECT_EQ(vtx::Sprites()->fontTransparentColour, 0);
}

TEST_F(SpriteStoreTest, AnimationFramesSurviveReloading) {
    WriteFlat("anim.bmp", 64, 32, {1, 2, 3});
    LoadAnim(RtString("anim.bmp"), 7, 16, 32);
    EXPECT_EQ(Slot(7).frameWidth, 16);
    LoadSprite(RtString("anim.bmp"), 7);
    EXPECT_EQ(Slot(7).frameWidth, 16);
    EXPECT_EQ(Slot(7).frameHeight, 32);
    SetSpriteAnim(8, 4, 4);  // an empty slot takes no frame size
    EXPECT_EQ(Slot(8).frameWidth, 0);
}

TEST_F(SpriteStoreTest, FailedLoadsLeaveTheSlotEmpty) {
    WriteFlat("ok.bmp", 8, 8, {9, 9, 9});
    LoadSprite(RtString("ok.bmp"), 9);
    ASSERT_GT(Slot(9).width, 0);
    LoadSprite(RtString("missing.bmp"), 9);
    EXPECT_EQ(vtx::LastErrorCode(), 3u);
    EXPECT_EQ(Slot(9).width, 0);
    EXPECT_EQ(Slot(9).texture, 0u);
    EXPECT_EQ(Slot(9).texWidth, -1);
    { std::ofstream("junk.bmp") << "not a picture at all"; }
    LoadSprite(RtString("junk.bmp"), 9);
    EXPECT_EQ(vtx::LastErrorCode(), 3u);
    LoadSprite(RtString("ok.bmp"), 70000);
    EXPECT_EQ(vtx::LastErrorCode(), 9u);
    LoadSprite(RtString("ok.bmp"), -1);
    EXPECT_EQ(vtx::LastErrorCode(), 9u);
    int32_t w = 5, h = 5;
    GetSpriteSize(-3, w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(GetSpriteTexture(70000), 0);
}

TEST_F(SpriteStoreTest, GenSpriteAndGenFontLimits) {
    EXPECT_EQ(GenSprite(), 0);
    for (int32_t slot = 0; slot < vtx::kFirstFontSlot; ++slot) Slot(slot).width = 1;
    EXPECT_EQ(GenSprite(), -1);  // font slots do not count
    Slot(100).width = 0;
    EXPECT_EQ(GenSprite(), 100);
    EXPECT_EQ(GenFont(), 1);  // start-up put the built-in font into font 0
    for (int32_t font = 0; font < 31; ++font) Slot(vtx::kFirstFontSlot + font).width = 16 * 8;
    EXPECT_EQ(GenFont(), -1);  // font 31 is never offered
    Slot(vtx::kFirstFontSlot + 5).width = 15;  // cells narrower than one pixel
    EXPECT_EQ(GenFont(), 5);
    for (int32_t slot = 0; slot < vtx::kSlotCount; ++slot) Slot(slot).width = 0;
}

TEST_F(SpriteStoreTest, FontSlotsUseNearestFilteringAndNoMipTexture) {
    WriteFlat("font.bmp", 32, 32, {255, 255, 255});
    ASSERT_TRUE(vtx::LoadIntoSlot(vtx::kFirstFontSlot + 2, "font.bmp", 0, false));
    const vtx::SpriteSlot& s = Slot(vtx::kFirstFontSlot + 2);
    EXPECT_EQ(s.mipTexture, 0u);
    glBindTexture(GL_TEXTURE_2D, s.texture);
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
    EXPECT_EQ(filter, GL_NEAREST);
}

TEST_F(SpriteStoreTest, BumpTexturesBecomeNormalMaps) {
    WriteFlat("flat.bmp", 16, 16, {0, 0, 200});
    LoadBumpTexture(RtString("flat.bmp"), 11);
    int32_t w = 0, h = 0;
    const std::vector<uint8_t> t = TexturePixels(Slot(11).texture, w, h);
    EXPECT_EQ(t[0], 127);  // a flat height field points straight up
    EXPECT_EQ(t[1], 127);
    EXPECT_EQ(t[2], 255);
}

TEST_F(SpriteStoreTest, BindingRecordsTheSlotAndBindsItsTexture) {
    WriteFlat("b.bmp", 4, 4, {1, 1, 1});
    LoadSprite(RtString("b.bmp"), 12);
    vtx::BindSlot(12);
    EXPECT_EQ(vtx::Sprites()->currentTextureSlot, 12);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), Slot(12).texture);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    vtx::BindSlot(-1);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    int32_t mw = 0, mh = 0;
    const uint8_t* mask = vtx::CollisionMask(12, mw, mh);
    ASSERT_NE(mask, nullptr);
    EXPECT_EQ(mw, 16);
    EXPECT_EQ(mask[0], 255);  // opaque picture texel
    EXPECT_EQ(mask[15], 0);   // padding
    EXPECT_EQ(vtx::CollisionMask(12, mw, mh), mask);  // cached
    vtx::ResetSlot(12);
    EXPECT_EQ(vtx::CollisionMask(12, mw, mh), nullptr);
}

TEST_F(SpriteStoreTest, PicturesWiderThanTheLargestTextureAreCropped) {
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    WriteFlat("huge.bmp", maxSize + 1, 1, {5, 6, 7});
    LoadSprite(RtString("huge.bmp"), 13);
    EXPECT_EQ(Slot(13).width, maxSize);
    EXPECT_EQ(Slot(13).texWidth, maxSize);
    EXPECT_FLOAT_EQ(Slot(13).uMax, 1.0f);
}

// Draws a frame: left half red, right half black.
void DrawHalves() {
    glDisable(GL_TEXTURE_2D);
    glColor4ub(200, 10, 20, 255);
    glRecti(0, 0, 320, 480);
    glColor4ub(0, 0, 0, 255);
    glRecti(320, 0, 640, 480);
}

TEST_F(SpriteStoreTest, SaveScreenWritesWhatWasLastPresented) {
    DrawHalves();
    ShowScreen();
    glColor4ub(0, 255, 0, 255);  // the next frame, not yet shown, is not saved
    glRecti(0, 0, 640, 480);
    SaveScreen(RtString("shot.png"));
    EXPECT_EQ(vtx::LastErrorCode(), 0u);
    vtx::ImageBuffer image;
    ASSERT_TRUE(vtx::DecodePng(image, "shot.png", -1));
    ASSERT_EQ(image.width, 640);
    ASSERT_EQ(image.height, 480);
    const uint8_t* left = image.pixels + (100 * 640 + 10) * 4;
    EXPECT_EQ(left[0], 200);
    EXPECT_EQ(left[1], 10);
    EXPECT_EQ(left[3], 255);
    const uint8_t* right = image.pixels + (100 * 640 + 600) * 4;
    EXPECT_EQ(right[0], 0);
    EXPECT_EQ(right[3], 255);  // black is not the key

    // With black as the transparent colour, the BMP writer marks black
    // pixels with the initial key colour; PNG keys nothing (key red is 0).
    SetTransparency(0);
    SaveScreen(RtString("keyed.bmp"));
    ASSERT_TRUE(vtx::DecodeBmp(image, "keyed.bmp", -1));
    const uint8_t* marked = image.pixels + (100 * 640 + 600) * 4;
    EXPECT_EQ(marked[0], 255);
    EXPECT_EQ(marked[1], 0);
    EXPECT_EQ(marked[2], 128);
    SaveScreen(RtString("unkeyed.png"));
    ASSERT_TRUE(vtx::DecodePng(image, "unkeyed.png", -1));
    EXPECT_EQ(image.pixels[(100 * 640 + 600) * 4 + 3], 255);
    SaveScreen(RtString("mem://      10.       1"));
    EXPECT_EQ(vtx::LastErrorCode(), 3u);
}

// Draws a frame of 64 coloured bands, different in every row and column,
// and returns the back buffer as BGR rows bottom first.
std::vector<uint8_t> DrawBands() {
    glDisable(GL_TEXTURE_2D);
    for (int i = 0; i < 64; ++i) {
        glColor4ub(static_cast<uint8_t>(i * 4), static_cast<uint8_t>(255 - i * 3), static_cast<uint8_t>(i * 37), 255);
        glRecti(i * 10, 0, i * 10 + 10, 480 - i * 7);
    }
    std::vector<uint8_t> bgr(640 * 480 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 640, 480, GL_BGR, GL_UNSIGNED_BYTE, bgr.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return bgr;
}

TEST_F(SpriteStoreTest, ThePresentedFrameIsTheSameReadFromTheWindowOrFromAKeptCopy) {
    std::vector<uint8_t> presented;
    int32_t w = 0, h = 0;
    const std::vector<uint8_t> drawn = DrawBands();
    ShowScreen();
    ASSERT_TRUE(vtx::ReadPresentedFrame(*vtx::GraphicsBackEnd, presented, w, h));
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    EXPECT_TRUE(presented == drawn) << "read from the window";

    setenv("VTX_KEEP_FRAMES", "1", 1);
    DrawBands();
    ShowScreen();
    unsetenv("VTX_KEEP_FRAMES");
    presented.clear();
    ASSERT_TRUE(vtx::ReadPresentedFrame(*vtx::GraphicsBackEnd, presented, w, h));
    EXPECT_TRUE(presented == drawn) << "kept copy";
}

// The X server keeps nothing of a window beyond the screen's edge (the
// screen is 1024 x 768): that part saves black, the rest as shown.
TEST_F(SpriteStoreTest, SaveScreenOfAWindowPartlyOffTheScreenKeepsWhatIsOnIt) {
    vtx::platform::PlaceWindow(vtx::GraphicsBackEnd->window, 1024 - 200, 768 - 100, 640, 480);
    std::vector<uint8_t> presented;
    int32_t w = 0, h = 0;
    vtx::ReadPresentedFrame(*vtx::GraphicsBackEnd, presented, w, h);  // a round trip: the move has happened
    const std::vector<uint8_t> drawn = DrawBands();
    ShowScreen();
    SaveScreen(RtString("edge.bmp"));
    EXPECT_EQ(vtx::LastErrorCode(), 0u);
    vtx::ImageBuffer image;
    ASSERT_TRUE(vtx::DecodeBmp(image, "edge.bmp", -1));
    ASSERT_EQ(image.width, 640);
    int wrong = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const uint8_t* saved = image.pixels + (static_cast<size_t>(y) * 640 + x) * 4;
            const uint8_t* want = &drawn[(static_cast<size_t>(479 - y) * 640 + x) * 3];
            const bool onScreen = x < 200 && y < 100;
            const bool black = saved[0] == 0 && saved[1] == 0 && saved[2] == 0;
            if (onScreen ? (saved[0] != want[2] || saved[1] != want[1] || saved[2] != want[0]) : !black) ++wrong;
        }
    EXPECT_EQ(wrong, 0);
}

TEST_F(SpriteStoreTest, SaveSpriteWritesThePictureOfTheSlot) {
    std::vector<Rgb> p(5 * 3);
    for (int i = 0; i < 15; ++i) p[i] = {static_cast<uint8_t>(i * 16), 40, static_cast<uint8_t>(250 - i)};
    WriteBmp("pic.bmp", 5, 3, p);
    LoadSprite(RtString("pic.bmp"), 20);
    SaveSprite(RtString("out.bmp"), 20);
    EXPECT_EQ(vtx::LastErrorCode(), 0u);
    vtx::ImageBuffer image;
    ASSERT_TRUE(vtx::DecodeBmp(image, "out.bmp", -1));
    ASSERT_EQ(image.width, 5);
    ASSERT_EQ(image.height, 3);
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(image.pixels[i * 4 + 0], p[i][0]) << i;
        EXPECT_EQ(image.pixels[i * 4 + 2], p[i][2]) << i;
    }
    SaveSprite(RtString("none.bmp"), 21);  // an empty slot
    EXPECT_EQ(vtx::LastErrorCode(), 3u);
}

}  // namespace
