// RtString speed:
//  1. number text of 1M mixed values against snprintf("%.10g") on the same
//     values (the anchor);
//  2. building a 64 KiB text one character at a time against std::string
//     (the growth rule adds 16 bytes at a time, so this is quadratic).
// Run: build/bench/bench_rt_string
#include <chrono>

#include "bench_support.h"
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <vantrix/vantrix.h>

namespace {

using bench::Best;
using bench::Clock;
using bench::Seconds;

std::vector<double> MixedValues(size_t count) {
    std::vector<double> values;
    values.reserve(count);
    uint64_t state = 88172645463325252u;
    for (size_t i = 0; i < count; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        switch (i % 4) {
            case 0: values.push_back(static_cast<double>(state % 100000)); break;                   // integral
            case 1: values.push_back(static_cast<double>(state % 1000000) / 1000.0); break;          // decimals
            case 2: values.push_back(static_cast<double>(state >> 11) * 0x1.0p-53 * 1e-5); break;    // small
            default: values.push_back(static_cast<double>(state >> 11) * 0x1.0p-53 * 1e14); break;   // large
        }
    }
    return values;
}

}  // namespace

int main() {
    const std::vector<double> values = MixedValues(1000000);
    size_t sink = 0;

    const double anchor = Best(5, [&] {
        char text[64];
        for (double v : values) sink += static_cast<size_t>(std::snprintf(text, sizeof text, "%.10g", v));
    });
    const double ours = Best(5, [&] {
        for (double v : values) sink += RtString(v).length();
    });
    std::printf("number text, 1M mixed values:\n");
    std::printf("  snprintf(\"%%.10g\")  %8.1f ms  (anchor)\n", anchor * 1e3);
    std::printf("  RtString(double)   %8.1f ms  -> %.2fx the anchor's speed\n", ours * 1e3, anchor / ours);

    constexpr size_t kTextSize = 64 * 1024;
    const double stdString = Best(5, [&] {
        std::string s;
        for (size_t i = 0; i < kTextSize; ++i) s += static_cast<char>('a' + i % 26);
        sink += s.size();
    });
    const double rtString = Best(5, [&] {
        RtString s;
        char piece[2] = {0, 0};
        for (size_t i = 0; i < kTextSize; ++i) {
            piece[0] = static_cast<char>('a' + i % 26);
            s += piece;
        }
        sink += s.length();
    });
    std::printf("append one character at a time up to 64 KiB:\n");
    std::printf("  std::string        %8.3f ms  (anchor)\n", stdString * 1e3);
    std::printf("  RtString           %8.3f ms  -> %.1fx the anchor's time\n", rtString * 1e3, rtString / stdString);
    return sink == 0 ? 1 : 0;
}
