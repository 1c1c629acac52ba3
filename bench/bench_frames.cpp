// Frame pacing at LimitFps(60): 600 ShowScreen calls on an empty scene.
// For each, the period between successive ShowScreen returns on a steady
// clock: mean, standard deviation, p99 and maximum of |period - 16.667 ms|,
// and the CPU time per frame (user + system) and as a share of one core.
// The anchor, measured in the same run on the same window and context, is a
// plain loop of SDL_Delay(16) + SDL_GL_SwapWindow + glClear (the same GL
// work ShowScreen does per frame), with the same statistics.
// Both loops first run 30 warm-up frames that are not measured.
// Run (needs an X server): tests/harness/vtx-test-env --xvfb build/bench/bench_frames
#include <GL/gl.h>
#include <SDL.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include <vantrix/vantrix.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWarmUpFrames = 30;
constexpr int kFrames = 600;
constexpr double kTargetMs = 1000.0 / 60.0;

struct PacingFigures {
    double meanMs = 0;       // mean period
    double stddevMs = 0;     // standard deviation of the period
    double p99DevMs = 0;     // 99th percentile of |period - target|
    double maxDevMs = 0;     // largest |period - target|
    double cpuMsPerFrame = 0;
    double cpuShare = 0;     // CPU time / wall time (1.0 = one core busy)
};

// User + system CPU time of this process in seconds.
double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs frame() for the warm-up frames, then times kFrames more of them.
template <typename F>
PacingFigures MeasurePacing(F&& frame) {
    for (int i = 0; i < kWarmUpFrames; ++i) frame();
    std::vector<double> periods;
    periods.reserve(kFrames);
    const double cpuStart = CpuSeconds();
    const Clock::time_point start = Clock::now();
    Clock::time_point previous = start;
    for (int i = 0; i < kFrames; ++i) {
        frame();
        const Clock::time_point now = Clock::now();
        periods.push_back(std::chrono::duration<double, std::milli>(now - previous).count());
        previous = now;
    }
    const double wallSeconds = std::chrono::duration<double>(previous - start).count();
    const double cpuSeconds = CpuSeconds() - cpuStart;

    PacingFigures f;
    for (double p : periods) f.meanMs += p;
    f.meanMs /= kFrames;
    double squares = 0;
    for (double p : periods) squares += (p - f.meanMs) * (p - f.meanMs);
    f.stddevMs = std::sqrt(squares / kFrames);
    std::vector<double> deviations;
    deviations.reserve(kFrames);
    for (double p : periods) deviations.push_back(std::fabs(p - kTargetMs));
    std::sort(deviations.begin(), deviations.end());
    // Nearest rank: the smallest value with at least 99 % of the samples at or below it.
    const size_t rank = static_cast<size_t>(std::ceil(0.99 * kFrames));
    f.p99DevMs = deviations[rank - 1];
    f.maxDevMs = deviations.back();
    f.cpuMsPerFrame = cpuSeconds * 1e3 / kFrames;
    f.cpuShare = wallSeconds > 0 ? cpuSeconds / wallSeconds : 0;
    return f;
}

// Prints one row of figures.
void PrintRow(const char* name, const PacingFigures& f) {
    std::printf("  %-28s %8.3f %8.3f %9.3f %9.3f %11.3f %8.1f %%\n", name, f.meanMs, f.stddevMs, f.p99DevMs,
                f.maxDevMs, f.cpuMsPerFrame, f.cpuShare * 100.0);
}

// ours / anchor, or "n/a" text when the anchor is zero.
void PrintRatio(const char* name, double ours, double anchor) {
    if (anchor > 0) std::printf("  %-22s %7.2fx\n", name, ours / anchor);
    else std::printf("  %-22s     n/a (anchor is 0)\n", name);
}

}  // namespace

int main() {
    ApplyProjectSettings();
    InitEngine(nullptr, 10, ProjectSettings.title);
    if (!EngineWindowCreated()) {
        std::fprintf(stderr, "bench_frames: no graphics window (run under tests/harness/vtx-test-env --xvfb)\n");
        return 1;
    }
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    if (window == nullptr) {
        std::fprintf(stderr, "bench_frames: no current GL window\n");
        return 1;
    }

    LimitFps(60);
    const PacingFigures ours = MeasurePacing([] { ShowScreen(); });
    const PacingFigures anchor = MeasurePacing([window] {
        SDL_Delay(16);
        SDL_GL_SwapWindow(window);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    });

    std::printf("frame pacing, %d frames after %d warm-up frames, target period %.3f ms:\n", kFrames, kWarmUpFrames,
                kTargetMs);
    std::printf("  %-28s %8s %8s %9s %9s %11s %10s\n", "", "mean ms", "sd ms", "p99 |d|", "max |d|", "CPU ms/fr",
                "CPU/core");
    PrintRow("SDL_Delay(16)+swap (anchor)", anchor);
    PrintRow("LimitFps(60)+ShowScreen", ours);
    std::printf("ours / anchor:\n");
    PrintRatio("mean period", ours.meanMs, anchor.meanMs);
    PrintRatio("standard deviation", ours.stddevMs, anchor.stddevMs);
    PrintRatio("p99 |period - target|", ours.p99DevMs, anchor.p99DevMs);
    PrintRatio("max |period - target|", ours.maxDevMs, anchor.maxDevMs);
    PrintRatio("CPU time per frame", ours.cpuMsPerFrame, anchor.cpuMsPerFrame);

    ShutdownEngine();
    return 0;
}
