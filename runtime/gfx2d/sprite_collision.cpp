// Pixel-exact collision of two pictures or two animation frames, tested on
// the alpha masks read back from the slots' textures. Screen positions are
// worked in 64 bits; a pixel whose place falls outside a mask counts as
// transparent, so no frame number or position reads outside a mask.
#include <algorithm>
#include <cstdint>

#include "gfx2d/draw_commands.h"
#include "gfx2d/sprite_store.h"

namespace vtx {
namespace {

// A picture placed on the screen with the part of it that takes part.
struct Placed {
    int32_t slot = 0;
    int64_t pictureX = 0;  // where the picture's top-left pixel lies
    int64_t pictureY = 0;
    int64_t left = 0;  // the rectangle that collides (a frame or the picture)
    int64_t top = 0;
    int64_t width = 0;
    int64_t height = 0;
};

// A mask with its extent; row length is its width.
struct Mask {
    const uint8_t* bytes = nullptr;
    int64_t width = 0;
    int64_t height = 0;
    int64_t pictureHeight = 0;
};

// The whole picture of a slot at (x, y).
Placed WholePicture(const SpriteSlot& s, int32_t slot, int32_t x, int32_t y) {
    return Placed{slot, x, y, x, y, s.width, s.height};
}

// The frame of a slot at (x, y), its picture shifted so that the frame lies
// there; a slot without frame size takes part whole.
Placed FramePlaced(const SpriteSlot& s, int32_t slot, int32_t frame, int32_t x, int32_t y) {
    if (s.frameWidth == 0 || s.frameHeight == 0) return WholePicture(s, slot, x, y);
    const int64_t perRow = std::max(1, s.width / s.frameWidth);
    const int64_t row = frame / perRow, column = frame % perRow;
    return Placed{slot, x - column * s.frameWidth, y - row * s.frameHeight, x, y, s.frameWidth, s.frameHeight};
}

// The pixel test over the overlap rectangle, in four passes of every second
// row and column; 1 at the first pixel opaque in both masks.
int32_t PixelTest(const Placed& a, const Placed& b, int64_t left, int64_t top, int64_t right, int64_t bottom) {
    const Placed* placed[2] = {&a, &b};
    Mask masks[2];
    for (int i = 0; i < 2; ++i) {
        int32_t w = 0, h = 0;
        masks[i].bytes = CollisionMask(placed[i]->slot, w, h);
        if (masks[i].bytes == nullptr || w <= 0 || h <= 0) return 0;
        masks[i].width = w;
        masks[i].height = h;
        masks[i].pictureHeight = Sprites()->slots[placed[i]->slot].height;
    }
    // Clip the walk to where both masks have bytes: columns 0 to width - 1,
    // mask rows 0 to height - 1 (mask row = picture height - 1 - picture row).
    int64_t xFrom = left, xTo = right, yFrom = top, yTo = bottom;
    for (int i = 0; i < 2; ++i) {
        xFrom = std::max(xFrom, placed[i]->pictureX);
        xTo = std::min(xTo, placed[i]->pictureX + masks[i].width);
        // Picture rows r with 0 <= pictureHeight - 1 - r < mask height.
        const int64_t rowFrom = masks[i].pictureHeight - masks[i].height;
        const int64_t rowTo = masks[i].pictureHeight;
        yFrom = std::max(yFrom, placed[i]->pictureY + rowFrom);
        yTo = std::min(yTo, placed[i]->pictureY + rowTo);
    }
    if (xFrom >= xTo || yFrom >= yTo) return 0;
    for (int pass = 0; pass < 4; ++pass) {
        const int64_t rowParity = pass / 2, columnParity = pass % 2;
        // The first coordinate at or after the clipped start with the pass's
        // parity, counted from the overlap's top-left.
        const int64_t y0 = yFrom + (((yFrom - top) & 1) != rowParity ? 1 : 0);
        const int64_t x0 = xFrom + (((xFrom - left) & 1) != columnParity ? 1 : 0);
        for (int64_t y = y0; y < yTo; y += 2) {
            // Index of screen column x in each mask: rowStart + x.
            int64_t rowStart[2];
            for (int i = 0; i < 2; ++i) {
                const int64_t maskRow = masks[i].pictureHeight - 1 - (y - placed[i]->pictureY);
                rowStart[i] = maskRow * masks[i].width - placed[i]->pictureX;
            }
            for (int64_t x = x0; x < xTo; x += 2)
                if (masks[0].bytes[rowStart[0] + x] != 0 && masks[1].bytes[rowStart[1] + x] != 0) return 1;
        }
    }
    return 0;
}

// The overlap of the two rectangles, then the pixel test.
int32_t Collide(const Placed& a, const Placed& b) {
    const int64_t left = std::max(a.left, b.left);
    const int64_t right = std::min(a.left + a.width, b.left + b.width);
    const int64_t top = std::max(a.top, b.top);
    const int64_t bottom = std::min(a.top + a.height, b.top + b.height);
    if (right < left || bottom < top) return 0;
    return PixelTest(a, b, left, top, right, bottom);
}

// True when both slot numbers can index the store of a running back-end.
bool UsableSlots(int32_t slot1, int32_t slot2) {
    return Sprites() != nullptr && IsSlotNumber(slot1) && IsSlotNumber(slot2);
}

}  // namespace
}  // namespace vtx

// 1 when the two pictures overlap in a pixel that neither leaves transparent.
int32_t SpriteCollision(int32_t slot1, int32_t x1, int32_t y1, int32_t slot2, int32_t x2, int32_t y2) {
    if (!vtx::UsableSlots(slot1, slot2)) return 0;
    const vtx::SpriteSlot* slots = vtx::Sprites()->slots.get();
    return vtx::Collide(vtx::WholePicture(slots[slot1], slot1, x1, y1),
                        vtx::WholePicture(slots[slot2], slot2, x2, y2));
}

// 1 when the two animation frames overlap in a pixel that neither leaves
// transparent.
int32_t AnimCollision(int32_t slot1, int32_t frame1, int32_t x1, int32_t y1, int32_t slot2, int32_t frame2,
                      int32_t x2, int32_t y2) {
    if (!vtx::UsableSlots(slot1, slot2)) return 0;
    const vtx::SpriteSlot* slots = vtx::Sprites()->slots.get();
    return vtx::Collide(vtx::FramePlaced(slots[slot1], slot1, frame1, x1, y1),
                        vtx::FramePlaced(slots[slot2], slot2, frame2, x2, y2));
}
