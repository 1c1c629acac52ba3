// Animation frames on a real GL context: frame selection, the frame past
// the last, frame numbers below 0, stretching and rotation.
#include <climits>

#include "gfx2d/draw_test_support.h"

namespace {

using namespace draw_test;

// A 16 x 8 picture of four 8 x 4 frames (two per row, two rows); every
// pixel tells its place and its frame.
Rgb AnimPixel(int x, int y) { return {15 * x + 10, 30 * y + 10, 60 + 40 * ((y / 4) * 2 + x / 8)}; }

// Pixel (i, j) of frame f.
Rgb FramePixel(int f, int i, int j) { return AnimPixel((f % 2) * 8 + i, (f / 2) * 4 + j); }

class DrawAnimsTest : public DrawTest {
protected:
    // Slot 3: the four-frame picture.
    void SetUp() override {
        DrawTest::SetUp();
        MakeSprite(3, 16, 8, AnimPixel);
        SetSpriteAnim(3, 8, 4);
    }
};

TEST_F(DrawAnimsTest, DrawAnimSelectsFramesLeftToRightThenDown) {
    for (int f = 0; f < 4; ++f) DrawAnim(3, f, 10 + 20 * f, 30);
    for (int f = 0; f < 4; ++f) {
        EXPECT_TRUE(RegionIs(10 + 20 * f, 30, 8, 4, [f](int i, int j) { return FramePixel(f, i, j); })) << f;
        EXPECT_EQ(Pixel(18 + 20 * f, 30), (Rgb{0, 0, 0})) << f;
        EXPECT_EQ(Pixel(10 + 20 * f, 34), (Rgb{0, 0, 0})) << f;
    }
}

TEST_F(DrawAnimsTest, AFrameEqualToTheFrameCountDrawsTheAreaBelowTheLastRow) {
    // Frame 4 would be row 2: texture rows below the picture, which hold
    // only transparent padding here. It is not frame 0 again.
    Fill({30, 60, 90});
    DrawAnim(3, 4, 100, 100);
    DrawAnim(3, 5, 120, 100);
    EXPECT_TRUE(RegionIsColour(96, 96, 40, 12, {30, 60, 90}));
    SetAlphaMode(-1.0);
    DrawAnim(3, 4, 100, 100);
    EXPECT_TRUE(RegionIsColour(96, 96, 40, 12, {30, 60, 90}));
}

TEST_F(DrawAnimsTest, FramesBelowZeroReadNothingOutside) {
    for (int32_t f : {-1, -2, -5, INT_MIN, INT_MAX}) {
        DrawAnim(3, f, 200, 200);
        StretchAnim(3, f, 200, 200, 30, 30);
        RotoZoomAnim(3, f, 200, 200, 30.0, 2.0);
        EXPECT_EQ(AnimCollision(3, f, 0, 0, 3, 0, 0, 0), 0) << f;
    }
    SUCCEED();
}

TEST_F(DrawAnimsTest, SlotsWithoutFrameSizeDrawNothing) {
    MakeSprite(4, 8, 8, [](int, int) { return Rgb{255, 255, 255}; });
    DrawAnim(4, 0, 0, 0);
    StretchAnim(4, 0, 0, 0, 20, 20);
    RotoZoomAnim(4, 0, 0, 0, 0.0, 1.0);
    DrawAnim(70000, 0, 0, 0);
    StretchAnim(-1, 0, 0, 0, 20, 20);
    RotoZoomAnim(65536, 0, 0, 0, 0.0, 1.0);
    EXPECT_TRUE(RegionIsColour(0, 0, 40, 40, {0, 0, 0}));
}

TEST_F(DrawAnimsTest, FramesWiderThanThePictureLieInRowZero) {
    // Frames per row 16 / 32 = 0: frame f is column f of row 0, so frame 0
    // starts at the picture's left edge and spans twice its width.
    SetSpriteAnim(3, 32, 4);
    DrawAnim(3, 0, 10, 10);
    EXPECT_TRUE(RegionIs(10, 10, 16, 4, [](int i, int j) { return AnimPixel(i, j); }));
}

TEST_F(DrawAnimsTest, StretchAnimReachesOneTenthPixelFurther) {
    StretchAnim(3, 1, 100, 100, 16, 8);
    EXPECT_TRUE(RegionIs(100, 100, 16, 8, [](int i, int j) {
        return FramePixel(1, static_cast<int>((i + 0.5) * 8 / 16.1), static_cast<int>((j + 0.5) * 4 / 8.1));
    }));
    EXPECT_EQ(Pixel(116, 100), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel(100, 108), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel(99, 100), (Rgb{0, 0, 0}));
    GLint wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap);
    EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE);
}

TEST_F(DrawAnimsTest, StretchAnimWithTheFrameSizeMatchesDrawAnim) {
    StretchAnim(3, 2, 50, 50, 8, 4);
    EXPECT_TRUE(RegionIs(50, 50, 8, 4, [](int i, int j) { return FramePixel(2, i, j); }));
}

TEST_F(DrawAnimsTest, RotoZoomAnimWithoutTurnShowsTheFrame) {
    RotoZoomAnim(3, 3, 200, 100, 0.0, 1.0);  // centre (204, 102)
    EXPECT_TRUE(RegionIs(200, 100, 8, 4, [](int i, int j) { return FramePixel(3, i, j); }));
    EXPECT_EQ(Pixel(199, 100), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel(208, 100), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel(200, 104), (Rgb{0, 0, 0}));
}

TEST_F(DrawAnimsTest, RotoZoomAnimQuarterTurnIsCounterClockwise) {
    // Frame pixel (i, j) goes to (202 + j, 105 - i).
    RotoZoomAnim(3, 2, 200, 100, 90.0, 1.0);
    EXPECT_TRUE(RegionIs(202, 98, 4, 8, [](int i, int j) { return FramePixel(2, 7 - j, i); }));
    EXPECT_EQ(Pixel(201, 100), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel(206, 100), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel(202, 97), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel(202, 106), (Rgb{0, 0, 0}));
}

TEST_F(DrawAnimsTest, RotoZoomAnimScalesAboutTheCentre) {
    RotoZoomAnim(3, 0, 300, 300, 0.0, 2.0);  // 16 x 8 about (304, 302)
    EXPECT_NE(Pixel(296, 298), (Rgb{0, 0, 0}));
    EXPECT_NE(Pixel(311, 305), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel(295, 298), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel(312, 305), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel(296, 297), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel(296, 306), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel(296, 298), FramePixel(0, 0, 0));
    EXPECT_EQ(Pixel(311, 305), FramePixel(0, 7, 3));
}

}  // namespace
