// Polygons and alpha modes: a turning fan of coloured triangles, then three
// overlapping squares drawn opaque, blended at half opacity and added.
// Escape ends it; unattended runs as in unattended.h.
#include <cmath>

#include <vantrix/vantrix.h>

#include "unattended.h"

void ApplyProjectSettings() {
    ProjectSettings.title = "Vantrix: polygons and alpha modes";
}

namespace {

constexpr double kPi = 3.14159265358979323846;

// An untextured square from four corners as a triangle strip.
void Square(double x, double y, double size, int32_t colour) {
    StartPoly(-1, 2);
    PolyVector(x, y, 0, 0, colour);
    PolyVector(x + size, y, 0, 0, colour);
    PolyVector(x, y + size, 0, 0, colour);
    PolyVector(x + size, y + size, 0, 0, colour);
    EndPoly();
}

}  // namespace

void AppMain() {
    const UnattendedRun run = ReadUnattendedRun();
    LimitFps(60);
    for (int frame = 0; run.Continues(frame); ++frame) {
        ClearScreen(0x202020);

        // A fan: the centre first, then the rim; each rim vertex its own
        // colour (0xBBGGRR), blended across the triangles.
        SetAlphaMode(0);
        const double turn = frame * 2.0 * kPi / 240.0;
        StartPoly(-1, 0);
        PolyVector(170, 240, 0, 0, 0xFFFFFF);
        for (int i = 0; i <= 12; ++i) {
            const double a = turn + i * 2.0 * kPi / 12.0;
            const int32_t colour = (i % 3 == 0) ? 0x0000FF : (i % 3 == 1) ? 0x00FF00 : 0xFF0000;
            PolyVector(170 + 120 * std::cos(a), 240 + 120 * std::sin(a), 0, 0, colour);
        }
        EndPoly();

        // Alpha modes: 0 opaque, a negative mode blends at that opacity, a
        // positive one adds at that intensity.
        Square(340, 100, 160, 0x0000C0);
        SetAlphaMode(-0.5);
        Square(420, 160, 160, 0xC00000);
        SetAlphaMode(1);
        Square(380, 240, 160, 0x00A000);
        SetAlphaMode(0);

        PrintText("fan  /  opaque, -0.5 blend, +1 add", 8, 8);
        ShowScreen();
    }
    run.Finish();
}
