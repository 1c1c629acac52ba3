// Pixel-exact collisions on a real GL context: touching and overlapping
// rectangles, transparent pixels, self collision, animation frames, far
// positions, and frame numbers that would reach outside the masks.
#include <climits>

#include "gfx2d/draw_test_support.h"

namespace {

using namespace draw_test;

constexpr Rgb kSolid = {30, 90, 150};

enum Slots : int32_t {
    kSquare = 1,  // 8 x 8, opaque
    kLeftHalf,    // 8 x 8, columns 0 to 3 opaque, the rest keyed
    kClear,       // 8 x 8, all keyed
    kOneDot,      // 8 x 8, only pixel (3, 5) opaque
    kDot,         // 1 x 1, opaque
    kAnim,        // 16 x 16, four 8 x 8 frames: 0 opaque, 1 clear, 2 left half, 3 dot at (1, 1)
    kWide,        // 20 x 3, opaque, not a power of two
    kEmpty = 50,  // never loaded
};

class DrawCollisionTest : public DrawTest {
protected:
    // Loads every picture of the Slots list.
    void SetUp() override {
        DrawTest::SetUp();
        MakeSprite(kSquare, 8, 8, [](int, int) { return kSolid; });
        MakeSprite(kLeftHalf, 8, 8, [](int x, int) { return x < 4 ? kSolid : kKey; });
        MakeSprite(kClear, 8, 8, [](int, int) { return kKey; });
        MakeSprite(kOneDot, 8, 8, [](int x, int y) { return x == 3 && y == 5 ? kSolid : kKey; });
        MakeSprite(kDot, 1, 1, [](int, int) { return kSolid; });
        MakeSprite(kAnim, 16, 16, [](int x, int y) {
            const int frame = (y / 8) * 2 + x / 8, i = x % 8, j = y % 8;
            switch (frame) {
                case 0: return kSolid;
                case 1: return kKey;
                case 2: return i < 4 ? kSolid : kKey;
                default: return i == 1 && j == 1 ? kSolid : kKey;
            }
        });
        SetSpriteAnim(kAnim, 8, 8);
        MakeSprite(kWide, 20, 3, [](int, int) { return kSolid; });
    }
};

TEST_F(DrawCollisionTest, TouchingRectanglesDoNotCollide) {
    EXPECT_EQ(SpriteCollision(kSquare, 0, 0, kSquare, 8, 0), 0);   // side by side
    EXPECT_EQ(SpriteCollision(kSquare, 0, 0, kSquare, 0, 8), 0);   // one above the other
    EXPECT_EQ(SpriteCollision(kSquare, 0, 0, kSquare, 8, 8), 0);   // corner to corner
    EXPECT_EQ(SpriteCollision(kSquare, 0, 0, kSquare, 7, 0), 1);   // one column shared
    EXPECT_EQ(SpriteCollision(kSquare, 0, 0, kSquare, -7, -7), 1);  // one pixel shared
}

TEST_F(DrawCollisionTest, RectanglesApartDoNotCollide) {
    EXPECT_EQ(SpriteCollision(kSquare, 0, 0, kSquare, 100, 100), 0);
    EXPECT_EQ(SpriteCollision(kSquare, 0, 0, kSquare, -100, 3), 0);
    EXPECT_EQ(SpriteCollision(kSquare, 50, 50, kWide, 0, 0), 0);
    EXPECT_EQ(SpriteCollision(kSquare, 15, 0, kWide, 0, 0), 1);  // inside the wide picture
    EXPECT_EQ(SpriteCollision(kSquare, 20, 0, kWide, 0, 0), 0);
}

TEST_F(DrawCollisionTest, OverlapsOnlyInTransparentPixelsDoNotCollide) {
    EXPECT_EQ(SpriteCollision(kLeftHalf, 0, 0, kSquare, 4, 0), 0);
    EXPECT_EQ(SpriteCollision(kLeftHalf, 0, 0, kSquare, 3, 0), 1);
    EXPECT_EQ(SpriteCollision(kClear, 0, 0, kSquare, 0, 0), 0);
    EXPECT_EQ(SpriteCollision(kLeftHalf, 0, 0, kLeftHalf, 4, 0), 0);  // clear half over clear half
    EXPECT_EQ(SpriteCollision(kLeftHalf, 0, 0, kLeftHalf, 3, 0), 1);
}

TEST_F(DrawCollisionTest, ASinglePixelIsFoundInEveryPass) {
    // The dot at picture (3, 5) against a 1 x 1 dot at every place of an
    // 8 x 8 area: only the one place hits, whatever its row and column parity.
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(SpriteCollision(kOneDot, 10, 20, kDot, 10 + x, 20 + y), x == 3 && y == 5 ? 1 : 0)
                << x << ", " << y;
    // Overlaps starting on either parity.
    EXPECT_EQ(SpriteCollision(kOneDot, 0, 0, kSquare, 3, 5), 1);
    EXPECT_EQ(SpriteCollision(kOneDot, 0, 0, kSquare, 2, 4), 1);
    EXPECT_EQ(SpriteCollision(kOneDot, 0, 0, kSquare, -4, -2), 1);
    EXPECT_EQ(SpriteCollision(kOneDot, 0, 0, kSquare, 4, 0), 0);
    EXPECT_EQ(SpriteCollision(kOneDot, 0, 0, kSquare, 0, 6), 0);
}

TEST_F(DrawCollisionTest, ASlotCollidesWithItselfWhenAnyPixelShows) {
    EXPECT_EQ(SpriteCollision(kSquare, 5, 5, kSquare, 5, 5), 1);
    EXPECT_EQ(SpriteCollision(kOneDot, 5, 5, kOneDot, 5, 5), 1);
    EXPECT_EQ(SpriteCollision(kClear, 5, 5, kClear, 5, 5), 0);
    EXPECT_EQ(SpriteCollision(kOneDot, 5, 5, kOneDot, 6, 5), 0);
}

TEST_F(DrawCollisionTest, MasksAreMadeOnceAndKept) {
    EXPECT_EQ(vtx::Sprites()->collisionMasks[kSquare].get(), nullptr);
    SpriteCollision(kSquare, 0, 0, kWide, 0, 0);
    const uint8_t* mask = vtx::Sprites()->collisionMasks[kSquare].get();
    EXPECT_NE(mask, nullptr);
    EXPECT_NE(vtx::Sprites()->collisionMasks[kWide].get(), nullptr);
    SpriteCollision(kSquare, 0, 0, kWide, 0, 0);
    EXPECT_EQ(vtx::Sprites()->collisionMasks[kSquare].get(), mask);
}

TEST_F(DrawCollisionTest, AnimCollisionTestsTheFrames) {
    EXPECT_EQ(AnimCollision(kAnim, 0, 0, 0, kAnim, 0, 4, 4), 1);
    EXPECT_EQ(AnimCollision(kAnim, 1, 0, 0, kAnim, 0, 0, 0), 0);  // clear frame
    EXPECT_EQ(AnimCollision(kAnim, 0, 0, 0, kAnim, 1, 0, 0), 0);
    EXPECT_EQ(AnimCollision(kAnim, 2, 0, 0, kSquare, 0, 4, 0), 0);  // a slot without frames is whole
    EXPECT_EQ(AnimCollision(kAnim, 2, 0, 0, kSquare, 0, 3, 0), 1);
    // Frame 3's dot is at (1, 1) of the frame.
    EXPECT_EQ(AnimCollision(kAnim, 3, 10, 10, kDot, 0, 11, 11), 1);
    EXPECT_EQ(AnimCollision(kAnim, 3, 10, 10, kDot, 0, 12, 12), 0);
    EXPECT_EQ(AnimCollision(kAnim, 3, 10, 10, kDot, 0, 10, 10), 0);
    // Frames do not reach beyond their own rectangle: frame 2 at (0, 0)
    // puts frame 3's dot at (9, 1), yet only the frame takes part.
    EXPECT_EQ(AnimCollision(kAnim, 2, 0, 0, kSquare, 0, 8, 0), 0);
    EXPECT_EQ(SpriteCollision(kAnim, 0, -8, kSquare, 8, 0), 1);
    // Whole-picture collision of the same slot sees every frame.
    EXPECT_EQ(SpriteCollision(kAnim, 0, 0, kDot, 9, 9), 1);
    EXPECT_EQ(SpriteCollision(kAnim, 0, 0, kDot, 12, 3), 0);
}

TEST_F(DrawCollisionTest, FramesOutsideThePictureNeverReadOutsideTheMasks) {
    for (int32_t f : {4, 5, 31, 1000, -1, -2, -3, -100, INT_MIN, INT_MAX}) {
        EXPECT_EQ(AnimCollision(kAnim, f, 0, 0, kSquare, 0, 0, 0), 0) << f;
        EXPECT_EQ(AnimCollision(kSquare, 0, 0, 0, kAnim, f, 0, 0), 0) << f;
        EXPECT_EQ(AnimCollision(kAnim, f, 0, 0, kAnim, f, 0, 0), 0) << f;
    }
    // Frames per row count as at least 1 when the frame is wider than the picture.
    SetSpriteAnim(kWide, 64, 3);
    EXPECT_EQ(AnimCollision(kWide, 0, 0, 0, kSquare, 0, 0, 0), 1);
    EXPECT_EQ(AnimCollision(kWide, 0, 0, 0, kSquare, 0, 30, 0), 0);  // beyond the picture
    EXPECT_EQ(AnimCollision(kWide, 1, 0, 0, kSquare, 0, 0, 0), 0);
}

TEST_F(DrawCollisionTest, FarPositionsDoNotOverflow) {
    EXPECT_EQ(SpriteCollision(kSquare, INT_MAX - 2, 0, kSquare, INT_MAX - 4, 0), 1);
    EXPECT_EQ(SpriteCollision(kSquare, INT_MIN, INT_MIN, kSquare, INT_MIN + 7, INT_MIN + 7), 1);
    EXPECT_EQ(SpriteCollision(kSquare, INT_MIN, 0, kSquare, INT_MAX, 0), 0);
    EXPECT_EQ(AnimCollision(kAnim, 0, INT_MAX, INT_MAX, kSquare, 0, INT_MAX - 1, INT_MAX - 1), 1);
}

TEST_F(DrawCollisionTest, SlotsThatHoldNothingNeverCollide) {
    EXPECT_EQ(SpriteCollision(kEmpty, 0, 0, kSquare, 0, 0), 0);
    EXPECT_EQ(SpriteCollision(kSquare, 0, 0, kEmpty, 0, 0), 0);
    for (int32_t slot : {-1, 65536, INT_MAX, INT_MIN}) {
        EXPECT_EQ(SpriteCollision(slot, 0, 0, kSquare, 0, 0), 0);
        EXPECT_EQ(SpriteCollision(kSquare, 0, 0, slot, 0, 0), 0);
        EXPECT_EQ(AnimCollision(slot, 0, 0, 0, kAnim, 0, 0, 0), 0);
        EXPECT_EQ(AnimCollision(kAnim, 0, 0, 0, slot, 0, 0, 0), 0);
    }
}

}  // namespace
