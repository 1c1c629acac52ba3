// Window and text: a 640 x 480 window titled from ApplyProjectSettings,
// text in the built-in font and in a font loaded from "Media/font.bmp" (a
// picture of 16 x 16 glyph cells; one of ravlo's demo fonts), numbers as
// the language writes them, and the running time in milliseconds.
// Escape ends it; unattended runs as in unattended.h.
#include <vantrix/vantrix.h>

#include "unattended.h"

void ApplyProjectSettings() {
    ProjectSettings.screenWidth = 640;
    ProjectSettings.screenHeight = 480;
    ProjectSettings.title = "Vantrix: window and text";
}

void AppMain() {
    const UnattendedRun run = ReadUnattendedRun();
    LimitFps(60);
    constexpr int32_t kBuiltIn = 0, kLoaded = 1;
    LoadFont("Media/font.bmp", kLoaded);  // becomes the current font
    int32_t cellWidth = 0, cellHeight = 0;
    GetFontSize(cellWidth, cellHeight);
    for (int frame = 0; run.Continues(frame); ++frame) {
        ClearScreen(0x402818);

        SetFont(kBuiltIn);
        PrintText("The built-in font: ABC abc 0123456789 !?", 20, 20);
        PrintText("Numbers print as the language writes them:", 20, 50);
        PrintNumber(3.0, 40, 70);      // "3"
        PrintNumber(0.5, 140, 70);     // "0.5"
        PrintNumber(1e10, 240, 70);    // "1.e+010"
        PrintText(RtString("Text joins numbers: ") + 2 + " + " + 0.25, 20, 100);
        // Unattended runs show the frame number, so their pictures compare.
        PrintText(run.frames > 0 ? RtString("frame ") + frame
                                 : RtString("running for ") + static_cast<int32_t>(GetElapsedTime()) + " ms",
                  20, 130);

        SetFont(kLoaded);
        PrintText("A LOADED FONT", 20, 200);
        PrintText(RtString("CELLS ") + cellWidth + " X " + cellHeight, 20, 200 + cellHeight + 8);
        ShowScreen();
    }
    run.Finish();
}
