// The billboard, and a demo scene that mixes every drawing command compared
// with a reference picture kept beside the tests. Run with
// VTX_WRITE_DRAW_REFERENCE=1 to write the reference again after a deliberate
// change in what the commands draw.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "gfx2d/draw_test_support.h"
#include "gfx2d/image_buffer.h"
#include "gfx2d/picture_codecs.h"

#ifndef VTX_DRAW_REFERENCE
#error "VTX_DRAW_REFERENCE names the reference picture of the demo scene"
#endif

namespace {

using namespace draw_test;

constexpr Rgb kBlack = {0, 0, 0};

using DrawSceneTest = DrawTest;

// An 8 x 8 picture whose pixels tell their place (red 30 x, green 30 y).
Rgb Place(int x, int y) { return {30 * x + 15, 30 * y + 15, 100}; }

TEST_F(DrawSceneTest, BillboardStandsOnItsPointAlongTheMatrixAxes) {
    MakeSprite(1, 8, 8, Place);
    // Identity model-view: right is +x, up is +y, which points down the
    // screen in the 2D projection; the picture's bottom row is at the point.
    BillboardSprite(1, 20, 30, 0, 2.0);  // 2 * (8 / 4) either side, 2 * (8 / 2) up
    EXPECT_TRUE(RegionIs(16, 30, 8, 8, [](int i, int j) { return Place(i, 7 - j); }));
    EXPECT_EQ(Pixel(15, 30), kBlack);
    EXPECT_EQ(Pixel(24, 30), kBlack);
    EXPECT_EQ(Pixel(16, 29), kBlack);
    EXPECT_EQ(Pixel(16, 38), kBlack);
    GLint wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE);
}

TEST_F(DrawSceneTest, BillboardFacesTheCameraUnderATurnedMatrix) {
    MakeSprite(1, 8, 8, Place);
    // The model-view turns the world a quarter; the billboard's axes come
    // from the matrix, so on screen it is upright as before.
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(200.0f, 100.0f, 0.0f);
    glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
    BillboardSprite(1, 0, 0, 0, 2.0);
    glPopMatrix();
    EXPECT_TRUE(RegionIs(196, 100, 8, 8, [](int i, int j) { return Place(i, 7 - j); }));
    EXPECT_EQ(Pixel(195, 100), kBlack);
    EXPECT_EQ(Pixel(204, 107), kBlack);
}

TEST_F(DrawSceneTest, BillboardOfNoSlotDrawsNothing) {
    for (int32_t slot : {-1, 65536, 100000}) BillboardSprite(slot, 50, 50, 0, 10.0);
    EXPECT_TRUE(RegionIsColour(0, 0, 120, 120, kBlack));
}

constexpr int kSceneWidth = 160;
constexpr int kSceneHeight = 120;

// Draws the demo scene into the top-left 160 x 120 pixels.
void DrawDemoScene() {
    MakeSprite(1, 16, 16, [](int x, int y) {
        if (x + y == 15 || x + y == 16) return kKey;  // a keyed diagonal band
        return Rgb{x * 15 + 10, y * 15 + 10, 255 - x * 8};
    });
    MakeSprite(2, 32, 16, [](int x, int y) {  // four 8 x 16 frames
        const int f = x / 8;
        return (x % 8 + y) % 5 == 0 ? kKey : Rgb{60 + 60 * f, 200 - 40 * f, y * 12};
    });
    SetSpriteAnim(2, 8, 16);
    SetSmoothing(1);
    DrawRect(0, 0, kSceneWidth, kSceneHeight, Colour(20, 30, 60));
    DrawLine(0, 119, 159, 0, Colour(220, 220, 40));
    DrawSprite(1, 4, 4);
    StretchSprite(1, 48, 4, -24, 12);
    ZoomSprite(1, 60, 6, 1.5, 0.75);
    RotateSprite(1, 90, 4, 30.0);
    RotoZoomSprite(1, 126, 6, -45.0, 1.3);
    DrawAnim(2, 1, 4, 40);
    StretchAnim(2, 2, 18, 40, 16, 24);
    RotoZoomAnim(2, 3, 44, 44, 60.0, 1.2);
    SetSmoothing(0);
    StartPoly(-1, 0);
    PolyVector(80, 40, 0, 0, Colour(255, 0, 0));
    PolyVector(120, 44, 0, 0, Colour(0, 255, 0));
    PolyVector(110, 70, 0, 0, Colour(0, 0, 255));
    PolyVector(84, 66, 0, 0, 0xFFFFFF);
    EndPoly();
    StartPoly(1, 2);
    PolyVector(124, 40, 0, 0, 0xFFFFFF);
    PolyVector(124, 56, 0, 16, 0xFFFFFF);
    PolyVector(140, 40, 16, 0, 0xFFFFFF);
    PolyVector(140, 56, 16, 16, 0xFFFFFF);
    PolyNewStrip();
    PolyVector(144, 60, 0, 0, Colour(255, 128, 128));
    PolyVector(144, 76, 0, 16, Colour(255, 128, 128));
    PolyVector(156, 60, 8, 0, Colour(255, 128, 128));
    PolyVector(156, 76, 8, 16, Colour(255, 128, 128));
    EndPoly();
    SetAlphaMode(-0.5);
    DrawRect(10, 80, 60, 20, Colour(250, 250, 250));
    DrawSprite(1, 40, 90);
    SetAlphaMode(0.6);
    DrawRect(50, 70, 40, 40, Colour(0, 90, 0));
    StretchSprite(1, 90, 80, 30, 30);
    SetAlphaMode(0.0);
    for (int k = 0; k < 20; ++k) SetPixel(130 + k, 100 + (k * k) % 15, Colour(255, 255, 255));
    BillboardSprite(1, 140, 80, 0, 1.5);
    const bool hit = SpriteCollision(1, 0, 0, 1, 4, 4) == 1 && AnimCollision(2, 0, 0, 0, 2, 1, 0, 0) == 1;
    DrawRect(150, 110, 8, 8, hit ? Colour(0, 255, 0) : Colour(255, 0, 0));
    DrawRect(4, 116, -4, -4, kKeyColour);  // drawn: alpha mode 0
}

// The scene's pixels as the encoder takes them: BGR, rows bottom first.
std::vector<uint8_t> ReadScene() {
    vtx::FlushDrawBatch();
    std::vector<uint8_t> bgr(static_cast<size_t>(kSceneWidth) * kSceneHeight * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, vtx::GraphicsBackEnd->height - kSceneHeight, kSceneWidth, kSceneHeight, GL_BGR,
                 GL_UNSIGNED_BYTE, bgr.data());
    return bgr;
}

TEST_F(DrawSceneTest, DemoSceneMatchesTheReferencePicture) {
    DrawDemoScene();
    const std::vector<uint8_t> bgr = ReadScene();
    const char* write = std::getenv("VTX_WRITE_DRAW_REFERENCE");
    if (write != nullptr && *write != 0 && *write != '0') {
        ASSERT_TRUE(vtx::EncodePicture(VTX_DRAW_REFERENCE, bgr.data(), kSceneWidth, kSceneHeight, kSceneWidth,
                                       vtx::RenderedKey{}));
        GTEST_SKIP() << "wrote " << VTX_DRAW_REFERENCE;
    }
    vtx::ImageBuffer reference;
    ASSERT_TRUE(vtx::DecodePng(reference, VTX_DRAW_REFERENCE, -1)) << VTX_DRAW_REFERENCE;
    ASSERT_EQ(reference.width, kSceneWidth);
    ASSERT_EQ(reference.height, kSceneHeight);
    int differing = 0, largest = 0, coloured = 0;
    for (int y = 0; y < kSceneHeight; ++y)
        for (int x = 0; x < kSceneWidth; ++x) {
            const uint8_t* want = reference.pixels + (static_cast<size_t>(y) * kSceneWidth + x) * 4;
            const uint8_t* got = &bgr[(static_cast<size_t>(kSceneHeight - 1 - y) * kSceneWidth + x) * 3];
            int diff = 0;
            for (int c = 0; c < 3; ++c) diff = std::max(diff, std::abs(int{want[c]} - int{got[2 - c]}));
            if (diff > 0) ++differing;
            largest = std::max(largest, diff);
            if (got[0] != 60 || got[1] != 30 || got[2] != 20) ++coloured;
        }
    EXPECT_LE(largest, 2);
    EXPECT_LE(differing, 8);
    EXPECT_GT(coloured, kSceneWidth * kSceneHeight / 4);  // the scene is not just background
}

}  // namespace
