// GrabSprite of the whole 640 x 480 frame and UseScreen round trips (enter a
// screen, draw one rectangle, leave it), per second, on framebuffer objects
// and on the emulated path in the same run. The anchor is a plain
// glReadPixels of the whole frame.
//
// Run (needs an X server): tests/harness/vtx-test-env --xvfb build/bench/bench_screens
#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <vantrix/vantrix.h>

#include "bench_support.h"
#include "gfx2d/draw_batch.h"
#include "gfx2d/frame_reading.h"
#include "gfx2d/offscreen_screens.h"

namespace {

constexpr int kRounds = 5;

// Calls per second of body, best of kRounds rounds of n calls.
template <typename F>
double PerSecond(int n, F&& body) {
    const double s = bench::Best(kRounds, [&] {
        for (int i = 0; i < n; ++i) body(i);
        vtx::FlushDrawBatch();
        glFinish();
    });
    return n / s;
}

double RoundTrips(int screen) {
    return PerSecond(200, [screen](int i) {
        UseScreen(screen);
        DrawRect(i % 50, 0, 10, 10, 0x00FF00);
        UseScreen(-1);
    });
}

}  // namespace

int main() {
    ApplyProjectSettings();
    InitEngine(nullptr, 10, ProjectSettings.title);
    if (!EngineWindowCreated()) {
        std::fprintf(stderr, "bench_screens: no window (run it under an X server)\n");
        return 1;
    }
    LimitFps(100000);
    std::vector<uint8_t> pixels(640 * 480 * 4);
    const double anchor = PerSecond(100, [&](int) {
        glReadPixels(0, 0, 640, 480, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    });
    std::printf("anchor: glReadPixels of 640 x 480 %.0f per second\n\n", anchor);
    std::printf("%-44s %12s %9s\n", "operation", "per second", "/anchor");
    for (int alpha : {8, 0}) {
        vtx::ForceFrameAlphaBits(alpha);
        const double g = PerSecond(100, [](int) { GrabSprite(1, 0, 0, 640, 480); });
        std::printf("%-44s %12.0f %9.2f\n",
                    alpha != 0 ? "GrabSprite 640 x 480, copied in place" : "GrabSprite 640 x 480, read back and keyed",
                    g, g / anchor);
    }
    vtx::ForceFrameAlphaBits(-1);
    unsetenv("VTX_NO_FBO");
    CreateScreen(0, 2, 256, 256);
    setenv("VTX_NO_FBO", "1", 1);
    CreateScreen(1, 3, 256, 256);
    const double fbo = RoundTrips(0), emulated = RoundTrips(1);
    std::printf("%-44s %12.0f %9.2f\n", "UseScreen round trip 256 x 256, framebuffer", fbo, fbo / anchor);
    std::printf("%-44s %12.0f %9.2f\n", "UseScreen round trip 256 x 256, emulated", emulated, emulated / anchor);
    std::printf("\nframebuffer / emulated: %.1fx\n", emulated > 0 ? fbo / emulated : 0.0);
    EndProgram();
}
