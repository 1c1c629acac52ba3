// Bunnymark: N soft-edged 32 x 32 sprites, blended (alpha mode -1), bouncing
// across the 640 x 480 window with the frame limit off, frames per second
// with the draw batch on and off. Also N tiny 2 x 2 sprites (the cost per
// sprite on the processor, where the fill costs next to nothing), 10 000
// glyphs of PrintText per frame, and the largest N that holds 60 fps. The
// anchor, measured in the same run, is an empty ShowScreen loop.
//
// The scene is the one of bench/comparison/ (same picture, same start
// positions and speeds, positions truncated to whole pixels), so the other
// libraries' figures compare with these.
//
// Run (needs an X server): tests/harness/vtx-test-env --xvfb build/bench/bunnymark [options]
//   (no option)            the whole report
//   --count N [--tiny]     one scene: frames per second for N sprites
//   --search               the largest N at 60 fps
//   --text                 frames per second of 10 000 glyphs
//   --write-picture FILE   writes the sprite picture (PNG) and stops
//   --seconds S            measuring time per figure (default 2)
//   --frames F             measures exactly F frames instead (for counting
//                          instructions, bench/comparison/count-instructions.sh)
// VTX_NO_BATCH=1 draws every command at once for the single-scene options.
#include <GL/gl.h>
#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <vantrix/vantrix.h>

#include "bench_support.h"
#include "gfx2d/draw_batch.h"

namespace {


constexpr int kWidth = 640, kHeight = 480;
constexpr int32_t kBunnySlot = 1, kTinySlot = 2;
constexpr int kWarmUpFrames = 5;
double measureSeconds = 2.0;
int measureFrames = 0;  // > 0: exactly this many frames instead of a time

// The Park-Miller generator: exact in doubles, so the Lua version matches.
struct Park {
    double state = 12345.0;
    // The next value in [0, 1).
    double Next() {
        state = std::fmod(state * 16807.0, 2147483647.0);
        return state / 2147483647.0;
    }
};

struct Bunny {
    double x, y, vx, vy;
};

// The sprite picture: a soft-edged disc with a face of colours, alpha
// falling off over the outer two pixels.
std::vector<uint8_t> BunnyPixels(int size) {
    std::vector<uint8_t> rgba(static_cast<size_t>(size) * size * 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double dx = x + 0.5 - size / 2.0, dy = y + 0.5 - size / 2.0;
            const double edge = size / 2.0 - std::sqrt(dx * dx + dy * dy);
            uint8_t* p = &rgba[(static_cast<size_t>(y) * size + x) * 4];
            p[0] = static_cast<uint8_t>(255 - x * 4);
            p[1] = static_cast<uint8_t>(120 + y * 4);
            p[2] = static_cast<uint8_t>(200);
            p[3] = static_cast<uint8_t>(std::lround(std::fmin(std::fmax(edge * 127.5, 0.0), 255.0)));
        }
    return rgba;
}

// Writes a size x size sprite picture as PNG; false on failure.
bool WritePicture(const char* path, int size) {
    std::vector<uint8_t> rgba = BunnyPixels(size);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(size);
    image.height = static_cast<png_uint_32>(size);
    image.format = PNG_FORMAT_RGBA;
    return png_image_write_to_file(&image, path, 0, rgba.data(), 0, nullptr) != 0;
}

// N bunnies with the start positions and speeds every implementation uses.
std::vector<Bunny> MakeBunnies(int count, int size) {
    Park park;
    std::vector<Bunny> bunnies(static_cast<size_t>(count));
    for (Bunny& b : bunnies) {
        b.x = park.Next() * (kWidth - size);
        b.y = park.Next() * (kHeight - size);
        b.vx = park.Next() * 8.0 - 4.0;
        b.vy = park.Next() * 8.0 - 4.0;
    }
    return bunnies;
}

// Moves every bunny one step, bouncing off the window's edges.
void MoveBunnies(std::vector<Bunny>& bunnies, int size) {
    const double maxX = kWidth - size, maxY = kHeight - size;
    for (Bunny& b : bunnies) {
        b.x += b.vx;
        b.y += b.vy;
        if (b.x < 0) { b.x = -b.x; b.vx = -b.vx; }
        if (b.x > maxX) { b.x = 2 * maxX - b.x; b.vx = -b.vx; }
        if (b.y < 0) { b.y = -b.y; b.vy = -b.vy; }
        if (b.y > maxY) { b.y = 2 * maxY - b.y; b.vy = -b.vy; }
    }
}

// Frames per second of frame(): warm-up frames, then as many frames as fit
// in the measuring time (at least three), or exactly measureFrames.
template <typename F>
double MeasureFps(F&& frame) {
    return bench::FramesPerSecond(frame, measureSeconds, kWarmUpFrames, measureFrames);
}

// Frames per second of N bunnies (tiny: 2 x 2 pictures).
double BunnyFps(int count, bool tiny) {
    const int size = tiny ? 2 : 32;
    const int32_t slot = tiny ? kTinySlot : kBunnySlot;
    std::vector<Bunny> bunnies = MakeBunnies(count, size);
    SetAlphaMode(-1);
    return MeasureFps([&] {
        MoveBunnies(bunnies, size);
        for (const Bunny& b : bunnies) DrawSprite(slot, static_cast<int32_t>(b.x), static_cast<int32_t>(b.y));
        ShowScreen();  // resets the alpha mode to 0
        SetAlphaMode(-1);
    });
}

// Frames per second of 125 texts of 80 glyphs each (10 000 glyphs).
double TextFps() {
    std::string line;
    for (int i = 0; i < 80; ++i) line += static_cast<char>('!' + i % 90);
    const RtString text(line.c_str());
    return MeasureFps([&] {
        SetAlphaMode(-1);
        for (int i = 0; i < 125; ++i) PrintText(text, (i % 3) * 2, (i * 8) % kHeight);
        ShowScreen();
    });
}

// Frames per second of an empty frame.
double EmptyFps() { return MeasureFps([] { ShowScreen(); }); }

// The largest N whose frames keep 60 per second: doubling, then halving the
// gap until it is within 2 %.
int LargestAt60() {
    const double saved = measureSeconds;
    measureSeconds = 1.0;
    int good = 0, bad = 0;
    for (int n = 250; bad == 0; n *= 2) {
        if (BunnyFps(n, false) >= 60.0) good = n;
        else bad = n;
        if (n > 4000000) break;
    }
    while (bad - good > std::max(good / 50, 10)) {
        const int mid = (good + bad) / 2;
        if (BunnyFps(mid, false) >= 60.0) good = mid;
        else bad = mid;
    }
    measureSeconds = saved;
    return good;
}

// Starts the engine with the frame limit off and loads the pictures.
bool Start() {
    ApplyProjectSettings();
    InitEngine(nullptr, 10, ProjectSettings.title);
    if (!EngineWindowCreated()) {
        std::fprintf(stderr, "bunnymark: no window (run it under an X server)\n");
        return false;
    }
    LimitFps(100000);
    GLint depth = 0, stencil = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    glGetIntegerv(GL_STENCIL_BITS, &stencil);
    std::fprintf(stderr, "vantrix: depth %d stencil %d, renderer %s\n", depth, stencil,
                 reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    const std::string folder = std::string(std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "/tmp");
    const std::string bunny = folder + "/bunnymark-32.png", tiny = folder + "/bunnymark-2.png";
    if (!WritePicture(bunny.c_str(), 32) || !WritePicture(tiny.c_str(), 2)) return false;
    LoadSprite(RtString(bunny.c_str()), kBunnySlot);
    LoadSprite(RtString(tiny.c_str()), kTinySlot);
    return true;
}

// One row of the report: the figure with the batch on and off.
template <typename F>
void ReportRow(const char* label, F&& figure) {
    vtx::SetDrawBatching(true);
    const double on = figure();
    vtx::SetDrawBatching(false);
    const double off = figure();
    vtx::SetDrawBatching(true);
    std::printf("%-34s %12.1f %12.1f %8.2fx\n", label, on, off, off > 0 ? on / off : 0.0);
    std::fflush(stdout);
}

// The whole report.
void Report() {
    const double anchor = EmptyFps();
    std::printf("anchor: empty ShowScreen loop %.0f fps\n\n", anchor);
    std::printf("%-34s %12s %12s %9s\n", "scene (640 x 480, frame limit off)", "batch on", "batch off", "on/off");
    for (int n : {1000, 10000, 50000}) {
        const std::string label = std::to_string(n) + " sprites 32 x 32, fps";
        ReportRow(label.c_str(), [n] { return BunnyFps(n, false); });
    }
    for (int n : {1000, 10000, 50000}) {
        const std::string label = std::to_string(n) + " sprites 2 x 2, fps";
        ReportRow(label.c_str(), [n] { return BunnyFps(n, true); });
    }
    ReportRow("PrintText 10 000 glyphs, fps", [] { return TextFps(); });
    ReportRow("largest N 32 x 32 at 60 fps", [] { return static_cast<double>(LargestAt60()); });
}

}  // namespace

// Parses the options and runs the report or one figure.
int main(int argc, char** argv) {
    int count = -1;
    bool tiny = false, search = false, text = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--write-picture" && i + 1 < argc) return WritePicture(argv[++i], 32) ? 0 : 1;
        if (arg == "--count" && i + 1 < argc) count = std::atoi(argv[++i]);
        else if (arg == "--seconds" && i + 1 < argc) measureSeconds = std::atof(argv[++i]);
        else if (arg == "--frames" && i + 1 < argc) measureFrames = std::atoi(argv[++i]);
        else if (arg == "--tiny") tiny = true;
        else if (arg == "--search") search = true;
        else if (arg == "--text") text = true;
        else {
            std::fprintf(stderr,
                         "usage: bunnymark [--count N [--tiny]] [--search] [--text] [--seconds S | --frames F] "
                         "[--write-picture FILE]\n");
            return 2;
        }
    }
    if (!Start()) return 1;
    if (count >= 0) std::printf("%d\t%.1f\n", count, BunnyFps(count, tiny));
    else if (search) std::printf("%d\n", LargestAt60());
    else if (text) std::printf("text\t%.1f\n", TextFps());
    else Report();
    ShutdownEngine();
    return 0;
}
