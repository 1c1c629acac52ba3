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
