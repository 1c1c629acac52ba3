// Shared pieces of the timing programs: the clock, best-of-N timing and a
// repeatable pseudo-random sequence.
#pragma once

#include <chrono>
#include <cstdint>

namespace bench {

using Clock = std::chrono::steady_clock;

// Seconds since start.
inline double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The shortest of several timed rounds of body, in seconds.
template <typename F>
double Best(int rounds, F&& body) {
    double best = 1e30;
    for (int r = 0; r < rounds; ++r) {
        const auto start = Clock::now();
        body();
        const double s = Seconds(start);
        if (s < best) best = s;
    }
    return best;
}

// Frames per second of frame(): warmUp frames first, then as many frames as
// fit in seconds (at least three), or exactly exactFrames when that is above 0.
template <typename F>
double FramesPerSecond(F&& frame, double seconds, int warmUp, int exactFrames = 0) {
    for (int i = 0; i < warmUp; ++i) frame();
    const auto start = Clock::now();
    int frames = 0;
    double elapsed = 0;
    do {
        frame();
        ++frames;
        elapsed = Seconds(start);
    } while (exactFrames > 0 ? frames < exactFrames : elapsed < seconds || frames < 3);
    return frames / elapsed;
}

// A xorshift generator, so every run measures the same data.
struct Xorshift {
    uint64_t state = 88172645463325252u;
    uint64_t next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
};

}  // namespace bench
