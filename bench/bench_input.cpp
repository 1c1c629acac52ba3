// Input cost per frame: one PollKeyboard plus one MouseState (with the input
// marked as polled, as ShowScreen leaves it), in microseconds per frame.
// The anchor, measured in the same run on the same window, is one
// SDL_PumpEvents + SDL_GetKeyboardState: the least any keyboard poll over
// SDL costs. The pointer is read from the X server, one round trip per frame.
// Run (needs an X server): tests/harness/vtx-test-env --xvfb build/bench/bench_input
#include <SDL.h>

#include <cstdio>

#include <vantrix/vantrix.h>

#include "bench_support.h"
#include "input/input_devices.h"

namespace {

constexpr int kFrames = 20000;
constexpr int kRounds = 5;

}  // namespace

int main() {
    ApplyProjectSettings();
    InitEngine(nullptr, 10, ProjectSettings.title);
    if (!EngineWindowCreated()) {
        std::fprintf(stderr, "bench_input: no window (needs an X server)\n");
        return 1;
    }
    volatile int sink = 0;
    const double anchor = bench::Best(kRounds, [&] {
        for (int i = 0; i < kFrames; ++i) {
            SDL_PumpEvents();
            int count = 0;
            sink = sink + SDL_GetKeyboardState(&count)[SDL_SCANCODE_ESCAPE];
        }
    });
    const double input = bench::Best(kRounds, [&] {
        for (int i = 0; i < kFrames; ++i) {
            PollKeyboard();
            vtx::MarkInputPolled();
            int32_t x = 0, y = 0, left = 0, right = 0;
            MouseState(x, y, left, right);
            sink = sink + x;
        }
    });
    const double anchorUs = anchor / kFrames * 1e6;
    const double inputUs = input / kFrames * 1e6;
    std::printf("anchor  SDL_PumpEvents + SDL_GetKeyboardState  %8.2f us/frame  1.00\n", anchorUs);
    std::printf("input   PollKeyboard + MouseState              %8.2f us/frame  %.2f x anchor\n", inputUs,
                inputUs / anchorUs);
    std::printf("share of a 60 fps frame (16 667 us): %.3f%%\n", inputUs / 16667.0 * 100);
    ShutdownEngine();
    return 0;
}
