// Sprites, animation frames and pixel collision: a spinning bar (four
// frames of "Media/spinner.bmp") drifts right towards the walker sprite.
// The collision test is pixel-exact: the boxes overlap long before
// the pixels do, and only touching pixels count as a hit. Escape ends it;
// unattended runs as in unattended.h.
#include <vantrix/vantrix.h>

#include "unattended.h"

void ApplyProjectSettings() {
    ProjectSettings.title = "Vantrix: animation and collision";
}

namespace {

constexpr int32_t kWalker = 1, kSpinner = 2;
constexpr int32_t kFrames = 4;  // frames in the spinner's strip, 32 x 32 each

}  // namespace

void AppMain() {
    const UnattendedRun run = ReadUnattendedRun();
    LimitFps(60);
    SetTransparency(0xFF00FF);                   // magenta is see-through
    LoadSprite("Media/walker.bmp", kWalker);
    LoadAnim("Media/spinner.bmp", kSpinner, 32, 32);
    const int32_t walkerX = 320, walkerY = 224;
    int hits = 0;
    for (int frame = 0; run.Continues(frame); ++frame) {
        const int32_t x = 200 + (frame * 2) % 200;  // drifts right, then starts again
        const int32_t y = 224 + 10;
        const int32_t shown = (frame / 6) % kFrames;  // a new animation frame every 6 frames
        // Pixel-exact: 1 only where pixels of both pictures meet.
        const int32_t hit = AnimCollision(kSpinner, shown, x, y, kWalker, 0, walkerX, walkerY);
        hits += hit;
        // The boxes alone (32 x 32 each) overlap much earlier.
        const bool boxes = x + 32 > walkerX && x < walkerX + 32;

        ClearScreen(hit ? 0x000060 : 0x204020);
        DrawSprite(kWalker, walkerX, walkerY);
        DrawAnim(kSpinner, shown, x, y);
        // The animation strip itself, each frame boxed.
        for (int32_t f = 0; f < kFrames; ++f) {
            DrawRect(20 + f * 40, 380, 36, 36, f == shown ? 0xFFFFFF : 0x404040);
            DrawAnim(kSpinner, f, 22 + f * 40, 382);
        }
        PrintText(RtString("frame ") + shown + "   boxes overlap: " + (boxes ? "yes" : "no") +
                      "   pixels touch: " + (hit ? "YES" : "no") + "   hits: " + hits,
                  8, 8);
        ShowScreen();
    }
    run.Finish();
}
