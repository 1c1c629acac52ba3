// Pixels, lines, rectangles and the alpha modes on a real GL context:
// exact pixel coverage, colour bytes, blending and adding, alpha-tested
// cut-outs, and the transparent colour on primitives.
#include <climits>
#include <cmath>

#include "gfx2d/draw_test_support.h"

namespace {

using namespace draw_test;

constexpr Rgb kBlack = {0, 0, 0};
constexpr Rgb kWhite = {255, 255, 255};

using DrawPrimitivesTest = DrawTest;

// The pixels of row y from x0 to x1 that are not black, as x positions.
std::vector<int> LitInRow(int y, int x0, int x1) {
    std::vector<int> lit;
    for (int x = x0; x <= x1; ++x)
        if (Pixel(x, y) != kBlack) lit.push_back(x);
    return lit;
}

TEST_F(DrawPrimitivesTest, SetPixelSetsExactlyOnePixel) {
    SetPixel(5, 7, Colour(10, 200, 30));
    EXPECT_EQ(Pixel(5, 7), (Rgb{10, 200, 30}));
    EXPECT_TRUE(RegionIs(0, 0, 12, 12, [](int i, int j) {
        return i == 5 && j == 7 ? Rgb{10, 200, 30} : kBlack;
    }));
    SetPixel(639, 479, Colour(1, 2, 3));
    EXPECT_EQ(Pixel(639, 479), (Rgb{1, 2, 3}));
    SetPixel(INT_MAX, INT_MIN, Colour(1, 2, 3));  // far outside: nothing
}

TEST_F(DrawPrimitivesTest, ColourBytesAreRedGreenBlueAndTheTopByteIsIgnored) {
    SetPixel(1, 1, 0x00332211);
    SetPixel(2, 1, static_cast<int32_t>(0xFF332211u));
    EXPECT_EQ(Pixel(1, 1), (Rgb{0x11, 0x22, 0x33}));
    EXPECT_EQ(Pixel(2, 1), (Rgb{0x11, 0x22, 0x33}));
}

TEST_F(DrawPrimitivesTest, DrawLineIncludesBothEndPoints) {
    DrawLine(10, 20, 20, 20, Colour(255, 0, 0));
    EXPECT_EQ(LitInRow(20, 0, 40), (std::vector<int>{10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}));
    DrawLine(20, 30, 10, 30, Colour(255, 0, 0));  // drawn backwards
    EXPECT_EQ(LitInRow(30, 0, 40), (std::vector<int>{10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}));
    DrawLine(30, 40, 30, 45, Colour(0, 255, 0));  // vertical
    for (int y = 40; y <= 45; ++y) EXPECT_EQ(Pixel(30, y), (Rgb{0, 255, 0})) << y;
    EXPECT_EQ(Pixel(30, 39), kBlack);
    EXPECT_EQ(Pixel(30, 46), kBlack);
    DrawLine(50, 50, 60, 60, Colour(0, 0, 255));  // diagonal
    EXPECT_EQ(Pixel(50, 50), (Rgb{0, 0, 255}));
    EXPECT_EQ(Pixel(55, 55), (Rgb{0, 0, 255}));
    EXPECT_EQ(Pixel(60, 60), (Rgb{0, 0, 255}));
    EXPECT_EQ(Pixel(61, 61), kBlack);
}

TEST_F(DrawPrimitivesTest, DrawLineWithEqualEndPointsSetsOnePixel) {
    DrawLine(40, 40, 40, 40, Colour(9, 99, 199));
    EXPECT_TRUE(RegionIs(35, 35, 10, 10, [](int i, int j) {
        return i == 5 && j == 5 ? Rgb{9, 99, 199} : kBlack;
    }));
}

TEST_F(DrawPrimitivesTest, DrawRectFillsTheRectangle) {
    DrawRect(100, 100, 5, 3, Colour(200, 100, 0));
    EXPECT_TRUE(RegionIs(98, 98, 9, 7, [](int i, int j) {
        const bool in = i >= 2 && i < 7 && j >= 2 && j < 5;
        return in ? Rgb{200, 100, 0} : kBlack;
    }));
}

TEST_F(DrawPrimitivesTest, DrawRectWithNegativeSizesReachesBackFromTheStart) {
    DrawRect(10, 10, -3, 1, Colour(255, 255, 0));  // x = 8 to 10 of row 10
    EXPECT_EQ(LitInRow(10, 0, 20), (std::vector<int>{8, 9, 10}));
    EXPECT_EQ(LitInRow(9, 0, 20), std::vector<int>{});
    EXPECT_EQ(LitInRow(11, 0, 20), std::vector<int>{});
    DrawRect(200, 200, -4, -2, Colour(0, 255, 255));  // x 197..200, y 199..200
    EXPECT_TRUE(RegionIs(195, 197, 8, 6, [](int i, int j) {
        const int x = 195 + i, y = 197 + j;
        return x >= 197 && x <= 200 && y >= 199 && y <= 200 ? Rgb{0, 255, 255} : kBlack;
    }));
    DrawRect(300, 300, 0, 5, Colour(255, 255, 255));  // no width: nothing
    EXPECT_TRUE(RegionIsColour(295, 295, 10, 10, kBlack));
}

TEST_F(DrawPrimitivesTest, PrimitivesRestoreTheirState) {
    SetAlphaMode(-0.5);
    GLfloat before[16], after[16];
    glGetFloatv(GL_PROJECTION_MATRIX, before);
    DrawRect(0, 0, 4, 4, Colour(1, 2, 3));
    glGetFloatv(GL_PROJECTION_MATRIX, after);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(before[i], after[i]) << i;
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 1.0f);
    EXPECT_FLOAT_EQ(colour[3], 0.5f);
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));  // switched on again, even while blending
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(vtx::Sprites()->currentTextureSlot, -1);
}

TEST_F(DrawPrimitivesTest, AlphaModeZeroDrawsOpaque) {
    SetAlphaMode(-0.5);
    SetAlphaMode(0.0);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_EQ(vtx::CurrentAlpha(), 1.0f);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[3], 1.0f);
    Fill(kWhite);
    DrawRect(0, 0, 10, 10, Colour(10, 10, 10));
    EXPECT_EQ(Pixel(5, 5), (Rgb{10, 10, 10}));
}

TEST_F(DrawPrimitivesTest, NegativeModesBlendAtTheirOpacity) {
    Fill(kWhite);
    SetAlphaMode(-0.4);  // alpha byte 102
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    GLint dst = 0;
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(dst, GL_ONE_MINUS_SRC_ALPHA);
    DrawRect(0, 0, 10, 10, Colour(10, 10, 10));
    EXPECT_TRUE(Near(Pixel(5, 5), {157, 157, 157}));
    SetAlphaMode(-0.5);  // alpha byte 127
    EXPECT_EQ(vtx::CurrentAlpha(), 0.5f);
    DrawRect(20, 0, 10, 10, Colour(200, 0, 100));
    EXPECT_TRUE(Near(Pixel(25, 5), {200 * 127 / 255 + 255 * 128 / 255, 255 * 128 / 255,
                                    100 * 127 / 255 + 255 * 128 / 255}));
    SetAlphaMode(-2.0);  // opacity 1
    EXPECT_EQ(vtx::CurrentAlpha(), 1.0f);
    DrawRect(40, 0, 10, 10, Colour(10, 20, 30));
    EXPECT_EQ(Pixel(45, 5), (Rgb{10, 20, 30}));
}

TEST_F(DrawPrimitivesTest, PositiveModesAddAtTheirIntensity) {
    Fill({20, 20, 20});
    SetAlphaMode(0.5);
    GLint dst = 0;
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(dst, GL_ONE);
    EXPECT_EQ(vtx::CurrentAlpha(), 0.5f);
    DrawRect(0, 0, 10, 10, Colour(100, 50, 200));
    EXPECT_TRUE(Near(Pixel(5, 5), {20 + 100 * 127 / 255, 20 + 50 * 127 / 255, 20 + 200 * 127 / 255}));
    SetAlphaMode(2.0);  // intensity 1
    EXPECT_EQ(vtx::CurrentAlpha(), 1.0f);
    DrawRect(20, 0, 10, 10, Colour(100, 50, 200));
    EXPECT_EQ(Pixel(25, 5), (Rgb{120, 70, 220}));
    DrawRect(20, 0, 10, 10, Colour(100, 50, 200));  // saturates
    EXPECT_EQ(Pixel(25, 5), (Rgb{220, 120, 255}));
}

TEST_F(DrawPrimitivesTest, SpritesBlendWithTheAlphaValue) {
    MakeSprite(1, 8, 8, [](int, int) { return Rgb{200, 100, 50}; });
    SetAlphaMode(-0.5);
    DrawSprite(1, 0, 0);
    EXPECT_TRUE(Near(Pixel(4, 4), {100, 50, 25}));  // the current colour's alpha is 0.5
    Fill({10, 10, 10});
    SetAlphaMode(1.0);
    DrawSprite(1, 0, 0);
    EXPECT_EQ(Pixel(4, 4), (Rgb{210, 110, 60}));
}

TEST_F(DrawPrimitivesTest, ModeZeroCutsOutTransparentTexels) {
    // An 8 x 8 picture with a keyed 4 x 4 hole at (2, 2).
    auto picture = [](int x, int y) {
        return x >= 2 && x < 6 && y >= 2 && y < 6 ? kKey : Rgb{40, 80, 120};
    };
    MakeSprite(1, 8, 8, picture);
    Fill({7, 7, 7});
    DrawSprite(1, 10, 10);
    EXPECT_TRUE(RegionIs(10, 10, 8, 8, [&](int i, int j) {
        return picture(i, j) == kKey ? Rgb{7, 7, 7} : Rgb{40, 80, 120};
    }));
    // Smoothed: the middle of a larger hole still shows the background.
    SetSmoothing(1);
    StretchSprite(1, 100, 100, 32, 32);
    EXPECT_TRUE(RegionIsColour(112, 112, 8, 8, {7, 7, 7}));
    EXPECT_TRUE(RegionIsColour(100, 100, 6, 32, {40, 80, 120}, 1));
}

TEST_F(DrawPrimitivesTest, TheTransparentColourIsInvisibleWhenBlending) {
    Fill({50, 60, 70});
    SetAlphaMode(-1.0);
    DrawRect(0, 0, 10, 10, kKeyColour);
    SetPixel(20, 5, kKeyColour);
    DrawLine(30, 5, 40, 5, static_cast<int32_t>(0xFF000000u | kKeyColour));  // top byte ignored
    SetAlphaMode(1.0);
    DrawRect(50, 0, 10, 10, kKeyColour);
    EXPECT_TRUE(RegionIsColour(0, 0, 64, 12, {50, 60, 70}));
}

TEST_F(DrawPrimitivesTest, TheTransparentColourIsDrawnInModeZero) {
    Fill({50, 60, 70});
    DrawRect(0, 0, 10, 10, kKeyColour);
    EXPECT_TRUE(RegionIsColour(0, 0, 10, 10, kKey));
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
}

TEST_F(DrawPrimitivesTest, ChangingTheTransparentColourMovesTheRule) {
    Fill({50, 60, 70});
    SetTransparency(Colour(1, 2, 3));
    SetAlphaMode(-1.0);
    DrawRect(0, 0, 10, 10, kKeyColour);  // an ordinary colour now
    DrawRect(20, 0, 10, 10, Colour(1, 2, 3));
    EXPECT_EQ(Pixel(5, 5), kKey);
    EXPECT_EQ(Pixel(25, 5), (Rgb{50, 60, 70}));
    EXPECT_EQ(vtx::ColourAlphaByte(Colour(1, 2, 3)), 0);
    EXPECT_EQ(vtx::ColourAlphaByte(Colour(1, 2, 4)), 255);
}

TEST_F(DrawPrimitivesTest, AlphaValueRules) {
    SetAlphaMode(-0.25);
    EXPECT_EQ(vtx::ColourAlphaByte(Colour(1, 1, 1)), 63);
    SetAlphaMode(0.75);
    EXPECT_EQ(vtx::ColourAlphaByte(Colour(1, 1, 1)), 191);
    SetAlphaMode(1e300);
    EXPECT_EQ(vtx::CurrentAlpha(), 1.0f);
    SetAlphaMode(1e-300);  // 0 as a float: opaque
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(vtx::CurrentAlpha(), 1.0f);
    vtx::SetCurrentAlpha(-3.0f);
    EXPECT_EQ(vtx::CurrentAlpha(), 0.0f);
    vtx::SetCurrentAlpha(NAN);
    EXPECT_EQ(vtx::CurrentAlpha(), 1.0f);
}

TEST_F(DrawPrimitivesTest, TheNextFrameStartsAtAlphaOne) {
    SetAlphaMode(-0.3);
    ShowScreen();
    EXPECT_EQ(vtx::CurrentAlpha(), 1.0f);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

}  // namespace
