// Whole-picture drawing on a real GL context: positions, stretching and
// mirroring, zooming, rotation, filters and wrap modes, slot numbers that
// name nothing, and commands without a back-end.
#include <climits>
#include <cmath>

#include "gfx2d/draw_test_support.h"

namespace {

using namespace draw_test;

class DrawSpritesTest : public DrawTest {
protected:
    // Slot 1: the 4 x 2 gradient.
    void SetUp() override {
        DrawTest::SetUp();
        MakeSprite(1, 4, 2, Gradient);  // asymmetric: every pixel differs
    }
};

TEST_F(DrawSpritesTest, DrawSpritePlacesThePictureTopLeftAtThePosition) {
    DrawSprite(1, 10, 20);
    EXPECT_TRUE(RegionIs(10, 20, 4, 2, Gradient));
    EXPECT_EQ(Pixel(9, 20), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel(14, 21), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel(10, 22), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel(10, 19), (Rgb{0, 0, 0}));
    // Wrap as bound: repeat.
    GLint wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(wrap, GL_REPEAT);
}

TEST_F(DrawSpritesTest, DrawSpriteAtNegativeAndFarPositions) {
    DrawSprite(1, -2, -1);
    EXPECT_TRUE(RegionIs(0, 0, 2, 1, [](int i, int j) { return Gradient(i + 2, j + 1); }));
    DrawSprite(1, INT_MAX - 1, INT_MAX);  // far outside: nothing shows, nothing wraps round
    DrawSprite(1, INT_MIN, INT_MIN);
    EXPECT_TRUE(RegionIsColour(100, 100, 200, 200, {0, 0, 0}));
}

TEST_F(DrawSpritesTest, SmoothingChoosesTheFilters) {
    DrawSprite(1, 0, 0);
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
    EXPECT_EQ(filter, GL_NEAREST);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_NEAREST);
    SetSmoothing(1);
    DrawSprite(1, 0, 0);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);
    EXPECT_EQ(vtx::Sprites()->currentTextureSlot, 1);
}

TEST_F(DrawSpritesTest, StretchSpriteScalesAndClampsToEdge) {
    StretchSprite(1, 100, 50, 8, 4);
    EXPECT_TRUE(RegionIs(100, 50, 8, 4, [](int i, int j) { return Gradient(i / 2, j / 2); }));
    EXPECT_EQ(Pixel(108, 50), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel(100, 54), (Rgb{0, 0, 0}));
    GLint wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap);
    EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE);
}

TEST_F(DrawSpritesTest, NegativeSizesMirrorThePicture) {
    StretchSprite(1, 108, 50, -8, 4);  // left-right
    EXPECT_TRUE(RegionIs(100, 50, 8, 4, [](int i, int j) { return Gradient(3 - i / 2, j / 2); }));
    StretchSprite(1, 200, 54, 8, -4);  // upside down
    EXPECT_TRUE(RegionIs(200, 50, 8, 4, [](int i, int j) { return Gradient(i / 2, 1 - j / 2); }));
    StretchSprite(1, 304, 52, -4, -2);  // both: half a turn
    EXPECT_TRUE(RegionIs(300, 50, 4, 2, [](int i, int j) { return Gradient(3 - i, 1 - j); }));
    EXPECT_EQ(Pixel(99, 50), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel(108, 50), (Rgb{0, 0, 0}));
}

TEST_F(DrawSpritesTest, ZoomSpriteScalesAboutTheCentre) {
    // x - (2 * 4 - 4) / 2 = 198, y - (3 * 2 - 2) / 2 = 98, 8 x 6.
    ZoomSprite(1, 200, 100, 2.0, 3.0);
    EXPECT_TRUE(RegionIs(198, 98, 8, 6, [](int i, int j) { return Gradient(i / 2, j / 3); }));
    EXPECT_EQ(Pixel(197, 98), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel(206, 98), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel(198, 104), (Rgb{0, 0, 0}));
    // Fractions truncate: 10 - 1 = 9, 10 - 0.5 = 9.5 -> 9; 6 x 3.
    ZoomSprite(1, 10, 10, 1.5, 1.5);
    EXPECT_NE(Pixel(9, 9), (Rgb{0, 0, 0}));
    EXPECT_NE(Pixel(14, 11), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel(15, 11), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel(14, 12), (Rgb{0, 0, 0}));
    // A zoom of -1 mirrors the picture in place.
    ZoomSprite(1, 300, 300, -1.0, 1.0);
    EXPECT_TRUE(RegionIs(300, 300, 4, 2, [](int i, int j) { return Gradient(3 - i, j); }));
}

TEST_F(DrawSpritesTest, RotateSpriteQuarterTurnIsCounterClockwise) {
    // Centre (302, 201); a quarter turn counter-clockwise on screen takes
    // picture pixel (i, j) to (301 + j, 202 - i).
    RotateSprite(1, 300, 200, 90.0);
    EXPECT_TRUE(RegionIs(301, 199, 2, 4, [](int i, int j) { return Gradient(3 - j, i); }));
    EXPECT_EQ(Pixel(300, 200), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel(303, 200), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel(301, 198), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel(301, 203), (Rgb{0, 0, 0}));
    GLint wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE);
}

TEST_F(DrawSpritesTest, RotateSpriteHalfTurnAndMinusQuarterTurn) {
    RotateSprite(1, 300, 200, 180.0);
    EXPECT_TRUE(RegionIs(300, 200, 4, 2, [](int i, int j) { return Gradient(3 - i, 1 - j); }));
    RotateSprite(1, 400, 200, -90.0);  // clockwise: (i, j) -> (402 - j, 199 + i)
    EXPECT_TRUE(RegionIs(401, 199, 2, 4, [](int i, int j) { return Gradient(j, 1 - i); }));
}

TEST_F(DrawSpritesTest, RotoZoomSpriteScalesAboutTheCentreAndRestoresTheMatrix) {
    GLfloat before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    RotoZoomSprite(1, 300, 200, 0.0, 2.0);  // 8 x 4 about (302, 201)
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(before[i], after[i]) << i;
    // Texture coordinates run from the centre of the first texel to the
    // centre of the last one.
    EXPECT_TRUE(RegionIs(298, 199, 8, 4, [](int i, int j) {
        return Gradient(static_cast<int>(0.5 + (i + 0.5) * 3.0 / 8.0), static_cast<int>(0.5 + (j + 0.5) / 4.0));
    }));
    EXPECT_EQ(Pixel(297, 199), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel(306, 199), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel(298, 203), (Rgb{0, 0, 0}));
}

TEST_F(DrawSpritesTest, SmoothedSpritesStayInsideTheirRectangle) {
    SetSmoothing(1);
    MakeSprite(2, 8, 8, [](int, int) { return Rgb{200, 100, 50}; });
    StretchSprite(2, 20, 20, 32, 32);
    EXPECT_TRUE(RegionIsColour(20, 20, 32, 32, {200, 100, 50}, 1));  // clamp: no bleeding from the padding
    EXPECT_EQ(Pixel(19, 20), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel(52, 20), (Rgb{0, 0, 0}));
}

TEST_F(DrawSpritesTest, SlotNumbersOutsideTheStoreDrawNothing) {
    for (int32_t slot : {-1, -70000, 65536, 70000, INT_MAX, INT_MIN}) {
        DrawSprite(slot, 0, 0);
        StretchSprite(slot, 0, 0, 50, 50);
        ZoomSprite(slot, 0, 0, 2.0, 2.0);
        RotateSprite(slot, 0, 0, 45.0);
        RotoZoomSprite(slot, 0, 0, 45.0, 3.0);
    }
    EXPECT_TRUE(RegionIsColour(0, 0, 64, 64, {0, 0, 0}));
}

TEST_F(DrawSpritesTest, ExtremeRealsDoNotMisbehave) {
    ZoomSprite(1, 0, 0, 1e300, -1e300);
    ZoomSprite(1, 0, 0, NAN, INFINITY);
    RotoZoomSprite(1, 50, 50, 1e300, 1e-300);
    RotoZoomSprite(1, 50, 50, NAN, NAN);
    SUCCEED();
}

TEST(DrawWithoutBackEnd, CommandsDoNothing) {
    if (vtx::Sprites() != nullptr) ShutdownEngine();
    ASSERT_EQ(vtx::Sprites(), nullptr);
    SetAlphaMode(-0.5);
    DrawSprite(1, 0, 0);
    StretchSprite(1, 0, 0, 5, 5);
    ZoomSprite(1, 0, 0, 2, 2);
    RotateSprite(1, 0, 0, 10);
    RotoZoomSprite(1, 0, 0, 10, 2);
    DrawAnim(1, 0, 0, 0);
    StretchAnim(1, 0, 0, 0, 5, 5);
    RotoZoomAnim(1, 0, 0, 0, 10, 2);
    StartPoly(1, 0);
    PolyVector(0, 0, 0, 0, 0);
    PolyNewStrip();
    EndPoly();
    SetPixel(0, 0, 0);
    DrawLine(0, 0, 5, 5, 0);
    DrawRect(0, 0, 5, 5, 0);
    BillboardSprite(1, 0, 0, 0, 1);
    EXPECT_EQ(SpriteCollision(1, 0, 0, 1, 0, 0), 0);
    EXPECT_EQ(AnimCollision(1, 0, 0, 0, 1, 0, 0, 0), 0);
}

}  // namespace
