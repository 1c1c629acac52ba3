// Path finding on a grid drawn live: walls grow across a 32 x 24 grid one
// cell per frame, and each frame FindPath plans the cheapest way from the
// green start to the red goal again, drawn in yellow. The left mouse button
// adds walls, the right one clears them (not in unattended runs). Escape ends it; unattended runs as
// in unattended.h.
#include <vantrix/vantrix.h>

#include "unattended.h"

void ApplyProjectSettings() {
    ProjectSettings.title = "Vantrix: path finding";
}

namespace {

constexpr int32_t kColumns = 32, kRows = 24, kCell = 20;  // 640 x 480
constexpr int32_t kStartX = 2, kStartY = 12, kGoalX = 29, kGoalY = 12;

void FillCell(int32_t x, int32_t y, int32_t colour) {
    DrawRect(x * kCell + 1, y * kCell + 1, kCell - 2, kCell - 2, colour);
}

}  // namespace

void AppMain() {
    const UnattendedRun run = ReadUnattendedRun();
    LimitFps(60);
    // The map: the cost of entering each cell; 0 blocks it.
    RtArray<double> map;
    DimArray(map, kColumns, kRows);
    for (int32_t y = 0; y < kRows; ++y)
        for (int32_t x = 0; x < kColumns; ++x) ArrayElement(map, x, y) = 1.0;
    // Two walls with gaps, built one cell per frame.
    int32_t built = 0;
    const int32_t wallCells = 2 * (kRows - 4);

    RtArray<int32_t> path;
    for (int frame = 0; run.Continues(frame); ++frame) {
        if (built < wallCells) {
            const bool first = built < kRows - 4;
            const int32_t x = first ? 10 : 20;
            const int32_t y = first ? built : kRows - 1 - (built - (kRows - 4));
            ArrayElement(map, x, y) = 0.0;
            ++built;
        }
        int32_t mouseX = 0, mouseY = 0, left = 0, right = 0;
        MouseState(mouseX, mouseY, left, right);
        const int32_t mx = mouseX / kCell, my = mouseY / kCell;
        if (run.frames == 0 && mx >= 0 && mx < kColumns && my >= 0 && my < kRows) {
            if (left) ArrayElement(map, mx, my) = 0.0;
            if (right) ArrayElement(map, mx, my) = 1.0;
        }

        // Weight 0.5: cost and distance to the goal count alike.
        const int32_t steps = FindPath(map, path, 0.5, kStartX, kStartY, kGoalX, kGoalY);

        ClearScreen(0x302818);
        for (int32_t y = 0; y < kRows; ++y)
            for (int32_t x = 0; x < kColumns; ++x)
                FillCell(x, y, ArrayElement(map, x, y) > 0 ? 0x504838 : 0xA0A0A0);
        for (int32_t k = 0; k < steps; ++k) FillCell(ArrayElement(path, k, 0), ArrayElement(path, k, 1), 0x00D0FF);
        FillCell(kStartX, kStartY, 0x00C000);
        FillCell(kGoalX, kGoalY, 0x0000E0);
        PrintText(steps > 0 ? RtString("path: ") + steps + " cells" : RtString("no path"), 8, 4);
        ShowScreen();
    }
    run.Finish();
}
