// Grabbing, background layers, the clear colour, off-screen screens and the
// cross-fade, with pixels read back. The whole file also runs with
// VTX_NO_FBO=1, so both off-screen paths must give the same pixels.
#include "files/last_error_internal.h"
#include "gfx2d/background_layers.h"
#include "gfx2d/frame_reading.h"
#include "gfx2d/offscreen_screens.h"
#include "gfx2d/screen_commands.h"
#include "host/clock.h"

#include "draw_test_support.h"

namespace draw_test {
namespace {

constexpr Rgb kRed = {255, 0, 0};
constexpr Rgb kBlack = {0, 0, 0};

// A picture that tells its place in any 512-pixel tile: red x, green y (both
// modulo 256), blue 60 per tile column + 120 per tile row.
Rgb TilePlace(int x, int y) { return {x % 256, y % 256, 60 * (x / 512) + 120 * (y / 512)}; }

void WritePicture(const std::string& name, int w, int h, const std::function<Rgb(int, int)>& f) {
    std::vector<Rgb> p(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p[static_cast<size_t>(y) * w + x] = f(x, y);
    WriteBmp(name, w, h, p);
}

class ScreenTest : public DrawTest {
protected:
    void TearDown() override {
        vtx::ForceFrameAlphaBits(-1);
        DrawTest::TearDown();
    }
};

TEST_F(ScreenTest, GetPixelReadsTheFrameFromTheTopLeft) {
    DrawRect(30, 40, 2, 1, Colour(10, 200, 30));
    EXPECT_EQ(GetPixel(30, 40), Colour(10, 200, 30));
    EXPECT_EQ(GetPixel(31, 40), Colour(10, 200, 30));
    EXPECT_EQ(GetPixel(30, 41), 0);
}

TEST_F(ScreenTest, GrabSpriteRoundTripsAndSizesTheSlot) {
    for (int32_t alphaBits : {8, 0}) {  // copied in place, or read back and keyed
        vtx::ForceFrameAlphaBits(alphaBits);
        Fill(kBlack);
        MakeSprite(1, 5, 4, Gradient);
        DrawSprite(1, 100, 50);
        SetSpriteAnim(1, 2, 2);
        GrabSprite(1, 100, 50, 5, 4);  // over the slot's own loaded picture
        EXPECT_EQ(Slot(1).texWidth, 16);
        EXPECT_EQ(Slot(1).frameWidth, 0);
        Fill(kBlack);
        DrawSprite(1, 10, 10);
        EXPECT_TRUE(RegionIs(10, 10, 5, 4, Gradient)) << alphaBits << " alpha bits";
    }

    GrabSprite(2, 0, 0, 1, 1);
    EXPECT_EQ(Slot(2).texWidth, 16);
    EXPECT_EQ(Slot(2).texHeight, 16);
    EXPECT_FLOAT_EQ(Slot(2).uMax, 0.0625f);
    EXPECT_FLOAT_EQ(Slot(2).vMax, 0.0625f);
}

TEST_F(ScreenTest, WithoutFrameAlphaGrabbedKeyPixelsBecomeTransparent) {
    vtx::ForceFrameAlphaBits(0);
    DrawRect(0, 0, 2, 1, Colour(50, 60, 70));
    SetTransparency(0);  // black is the key now
    GrabSprite(3, 0, 0, 4, 1);
    Fill({0, 0, 200});
    DrawSprite(3, 20, 20);
    EXPECT_TRUE(RegionIsColour(20, 20, 2, 1, {50, 60, 70}));
    EXPECT_TRUE(RegionIsColour(22, 20, 2, 1, {0, 0, 200}));  // black was cut out

    SetTransparency(kKeyColour);
    Fill(kKey);
    GrabSprite(4, 0, 0, 3, 3);
    Fill({0, 0, 200});
    DrawSprite(4, 20, 20);
    EXPECT_TRUE(RegionIsColour(20, 20, 3, 3, {0, 0, 200}));
}

TEST_F(ScreenTest, ALargeBackgroundIsTiledAndDrawnUnderEveryFrame) {
    WritePicture("big.bmp", 1000, 700, TilePlace);
    LoadBackground(RtString("big.bmp"));
    EXPECT_EQ(vtx::LastErrorCode(), 0u);
    EXPECT_EQ(vtx::BackgroundLayerColumns(0), 2);
    EXPECT_EQ(vtx::BackgroundLayerRows(0), 2);
    EXPECT_EQ(vtx::BackgroundLayerTileSize(0), 512);
    for (int frame = 0; frame < 2; ++frame) {
        EXPECT_TRUE(RegionIs(0, 0, 4, 4, TilePlace));
        EXPECT_TRUE(RegionIs(508, 470, 8, 10, [](int i, int j) { return TilePlace(508 + i, 470 + j); }));
        DrawRect(0, 0, 640, 480, Colour(9, 9, 9));
        ShowScreen();  // the next frame starts with the background again
    }
}

TEST_F(ScreenTest, AFailedBackgroundLeavesABlackEmptyLayer) {
    WritePicture("small.bmp", 8, 8, TilePlace);
    LoadBackground(RtString("small.bmp"));
    ClearScreen(Colour(0, 90, 0));
    EXPECT_EQ(vtx::BackgroundLayerColumns(0), 0);  // ClearScreen empties it
    EXPECT_TRUE(RegionIsColour(0, 0, 640, 480, {0, 90, 0}));
    ShowScreen();
    EXPECT_TRUE(RegionIsColour(100, 100, 4, 4, {0, 90, 0}));  // every frame is cleared with it

    LoadBackground(RtString("small.bmp"));
    LoadBackground(RtString("missing.png"));
    EXPECT_EQ(vtx::LastErrorCode(), 3u);
    EXPECT_EQ(vtx::BackgroundLayerColumns(0), 0);
    EXPECT_TRUE(RegionIsColour(0, 0, 640, 480, kBlack));
    ShowScreen();
    EXPECT_TRUE(RegionIsColour(0, 0, 16, 16, kBlack));
}

TEST_F(ScreenTest, GrabBackgroundKeepsTheFrameBehindTheNextOnes) {
    MakeSprite(1, 5, 4, Gradient);
    DrawSprite(1, 600, 470);
    DrawRect(0, 0, 3, 3, Colour(1, 2, 3));
    GrabBackground();
    EXPECT_EQ(vtx::BackgroundLayerTileSize(0), 1024);
    ShowScreen();
    EXPECT_TRUE(RegionIs(600, 470, 5, 4, Gradient));
    EXPECT_TRUE(RegionIsColour(0, 0, 3, 3, {1, 2, 3}));
}

TEST_F(ScreenTest, AnOffscreenScreenIsDrawnIntoAndThenDrawnAsASprite) {
    Fill({0, 0, 90});
    CreateScreen(3, 7, 100, 50);
    EXPECT_EQ(Slot(7).width, 100);
    EXPECT_EQ(Slot(7).texWidth, 128);
    EXPECT_EQ(Slot(7).texHeight, 64);
    UseScreen(3);
    EXPECT_TRUE(vtx::OffscreenTargetActive());
    EXPECT_EQ(vtx::FramebufferScreenInUse(), std::getenv("VTX_NO_FBO") == nullptr);
    DrawRect(0, 0, 100, 50, Colour(0, 40, 0));
    DrawRect(10, 5, 20, 10, Colour(255, 0, 0));
    EXPECT_EQ(GetPixel(10, 5), Colour(255, 0, 0));  // the screen's own pixel
    EXPECT_EQ(GetPixel(9, 5), Colour(0, 40, 0));
    UseScreen(-1);
    EXPECT_FALSE(vtx::OffscreenTargetActive());
    EXPECT_TRUE(RegionIsColour(0, 0, 120, 60, {0, 0, 90}));  // the frame is untouched
    DrawSprite(7, 200, 100);
    EXPECT_TRUE(RegionIsColour(210, 105, 20, 10, kRed));
    EXPECT_TRUE(RegionIsColour(200, 100, 10, 5, {0, 40, 0}));
    EXPECT_TRUE(RegionIsColour(200, 150, 4, 4, {0, 0, 90}));  // below the 50 rows

    // Drawing continues on the screen's picture; leaving by a frame too.
    UseScreen(3);
    DrawRect(50, 20, 5, 5, Colour(0, 0, 255));
    ShowScreen();
    EXPECT_FALSE(vtx::OffscreenTargetActive());
    DrawSprite(7, 0, 0);
    EXPECT_TRUE(RegionIsColour(10, 5, 20, 10, kRed));
    EXPECT_TRUE(RegionIsColour(50, 20, 5, 5, {0, 0, 255}));
}

TEST_F(ScreenTest, ScreenNumbersOutsideTheTableDrawToTheFrame) {
    CreateScreen(32, 7, 10, 10);
    EXPECT_EQ(Slot(7).width, 0);
    CreateScreen(0, 7, 10, 10);
    UseScreen(0);
    UseScreen(40);
    EXPECT_EQ(vtx::CurrentScreen(), -1);
    DrawRect(0, 0, 2, 2, Colour(255, 0, 0));
    EXPECT_TRUE(RegionIsColour(0, 0, 2, 2, kRed));
}

TEST_F(ScreenTest, FadeToBackgroundEndsOnTheNewPicture) {
    WritePicture("old.bmp", 640, 480, [](int, int) { return Rgb{200, 0, 0}; });
    WritePicture("new.bmp", 640, 480, [](int, int) { return Rgb{0, 0, 200}; });
    LoadBackground(RtString("old.bmp"));
    const double start = ReadClock();
    FadeToBackground(RtString("new.bmp"), 150);
    EXPECT_GE(ReadClock() - start, 150.0);
    EXPECT_EQ(vtx::LastErrorCode(), 0u);
    EXPECT_EQ(vtx::BackgroundLayerColumns(1) + vtx::BackgroundLayerColumns(2), 0);
    ShowScreen();
    EXPECT_TRUE(RegionIsColour(0, 0, 640, 480, {0, 0, 200}));

    FadeToBackground(RtString("missing.bmp"), 150);
    EXPECT_EQ(vtx::LastErrorCode(), 3u);
}

}  // namespace
}  // namespace draw_test
