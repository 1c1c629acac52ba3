// Off-screen screens and background fades: a 128 x 128 off-screen screen is
// drawn into every frame (a moving stripe pattern), then its picture, held
// in a sprite slot, is drawn on the frame four times, turned and scaled.
// Space cross-fades the background to the grabbed frame over one second
// (times are milliseconds). Escape ends it; unattended runs as in
// unattended.h.
#include <vantrix/vantrix.h>

#include "unattended.h"

void ApplyProjectSettings() {
    ProjectSettings.title = "Vantrix: screens and fades";
}

namespace {

constexpr int32_t kScreen = 1;  // off-screen screen number (0 to 31)
constexpr int32_t kPicture = 5; // the sprite slot that holds its picture

}  // namespace

void AppMain() {
    const UnattendedRun run = ReadUnattendedRun();
    LimitFps(60);
    CreateScreen(kScreen, kPicture, 128, 128);
    for (int frame = 0; run.Continues(frame); ++frame) {
        // Into the off-screen screen: stripes that move one pixel a frame.
        UseScreen(kScreen);
        DrawRect(0, 0, 128, 128, 0x000000);
        for (int32_t i = -128; i < 128; i += 16)
            DrawRect(i + frame % 16, 0, 8, 128, 0x00FFFF);
        DrawRect(32, 32, 64, 64, 0xFF4000);
        PrintText("screen", 40, 58);

        // Back to the frame: the screen's picture, four ways.
        UseScreen(-1);
        ClearScreen(0x203020);
        DrawSprite(kPicture, 40, 60);
        ZoomSprite(kPicture, 400, 124, 2.0, 1.0);
        RotateSprite(kPicture, 160, 340, frame * 3.0);
        RotoZoomSprite(kPicture, 460, 340, -frame * 2.0, 1.5);
        PrintText("space: fade to a grab of this frame", 8, 8);

        if (run.frames == 0 && InKey() == " ") {
            GrabBackground();                  // the frame drawn so far ...
            ShowScreen();
            FadeToBackground("Media/walker.bmp", 1000);  // ... fades into a picture over 1000 ms
            continue;
        }
        ShowScreen();
    }
    run.Finish();
}
