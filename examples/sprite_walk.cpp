// Sprite walk: a sprite loaded from "Media/walker.bmp" walks over a dark
// blue floor, moved with the arrow keys. Escape (or closing the window)
// ends it.
//
// The picture is looked up beside the program first, then in the pack
// archive at the end of the program: after
//     vtxpack add sprite_walk Media/walker.bmp
// the single file sprite_walk runs anywhere without its Media folder.
//
// Unattended (see unattended.h) the walker walks right on its own. The exit
// status is 1 when the picture could not be loaded.
#include <cstdlib>
#include <string>

#include <vantrix/vantrix.h>

#include "unattended.h"

void ApplyProjectSettings() {
    ProjectSettings.title = "Vantrix: sprite walk";
}

namespace {

constexpr int32_t kWalker = 1;           // sprite slot of the walker
constexpr int32_t kFloor = 0x402010;     // colours are 0xBBGGRR: a dark blue
constexpr int32_t kMagenta = 0xFF00FF;   // the picture's see-through colour
constexpr int32_t kStep = 4;             // pixels per frame

}  // namespace

void AppMain() {
    const UnattendedRun run = ReadUnattendedRun();
    LimitFps(60);
    SetTransparency(kMagenta);
    LoadSprite("Media/walker.bmp", kWalker);
    // The last error reads "0000 success" when the picture was loaded.
    if (std::string(LastErrorText().c_str()).rfind("0000", 0) != 0) {
        ConsoleWriteError("sprite walk: Media/walker.bmp could not be loaded\n");
        std::exit(1);
    }
    int32_t width = 0, height = 0;
    GetSpriteSize(kWalker, width, height);

    int32_t x = 40, y = 200;
    for (int frame = 0; run.Continues(frame); ++frame) {
        if (run.frames > 0) {
            x += kStep;  // unattended: walk right
        } else {
            // ShowScreen polled the keyboard; KeyState reads what it saw.
            if (KeyState(KEY_LEFT)) x -= kStep;
            if (KeyState(KEY_RIGHT)) x += kStep;
            if (KeyState(KEY_UP)) y -= kStep;
            if (KeyState(KEY_DOWN)) y += kStep;
        }
        // Stay inside the 640 x 480 window.
        x = x < 0 ? 0 : (x > 640 - width ? 640 - width : x);
        y = y < 0 ? 0 : (y > 480 - height ? 480 - height : y);

        ClearScreen(kFloor);
        DrawSprite(kWalker, x, y);
        PrintText("Arrow keys walk, Escape ends", 8, 8);
        ShowScreen();
    }
    run.Finish();
}
