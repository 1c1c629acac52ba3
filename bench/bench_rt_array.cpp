// RtArray element access: summing 10M doubles read through ArrayElement
// against std::vector<double> indexing of the same values (the anchor).
// Both loops keep four running sums, so the time goes to reading elements
// rather than waiting on one chain of additions.
// Run: build/bench/bench_rt_array
#include <chrono>

#include "bench_support.h"
#include <cstdint>
#include <cstdio>
#include <vector>

#include <vantrix/core/rt_array.h>

namespace {

using bench::Best;
using bench::Clock;
using bench::Seconds;

// Makes the compiler treat value as used, so the loops producing it stay.
void Keep(double value) { asm volatile("" : : "x"(value) : "memory"); }

}  // namespace

int main() {
    constexpr int32_t kCount = 10'000'000;
    std::vector<double> vector(kCount);
    RtArray<double> array;
    DimArray(array, kCount);
    uint64_t state = 88172645463325252u;
    for (int32_t i = 0; i < kCount; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        const double value = static_cast<double>(state % 1000000) / 1000.0;
        vector[static_cast<size_t>(i)] = value;
        ArrayElement(array, i) = value;
    }

    double vectorSum = 0;
    double arraySum = 0;
    const double anchor = Best(5, [&] {
        double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
        const int32_t n = static_cast<int32_t>(vector.size());
        for (int32_t i = 0; i < n; i += 4) {
            s0 += vector[static_cast<size_t>(i)];
            s1 += vector[static_cast<size_t>(i + 1)];
            s2 += vector[static_cast<size_t>(i + 2)];
            s3 += vector[static_cast<size_t>(i + 3)];
        }
        vectorSum = (s0 + s1) + (s2 + s3);
        Keep(vectorSum);
    });
    const double ours = Best(5, [&] {
        double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
        const int32_t n = ArrayBounds(array, 0);
        for (int32_t i = 0; i < n; i += 4) {
            s0 += ArrayElement(array, i);
            s1 += ArrayElement(array, i + 1);
            s2 += ArrayElement(array, i + 2);
            s3 += ArrayElement(array, i + 3);
        }
        arraySum = (s0 + s1) + (s2 + s3);
        Keep(arraySum);
    });

    std::printf("sum of 10M doubles, best of 5 rounds:\n");
    std::printf("  std::vector<double>[i]  %8.2f ms  (anchor)\n", anchor * 1e3);
    std::printf("  ArrayElement(a, i)      %8.2f ms  -> %.2fx the anchor's time\n", ours * 1e3, ours / anchor);
    if (arraySum != vectorSum) {
        std::printf("the sums differ: %.17g against %.17g\n", arraySum, vectorSum);
        return 1;
    }
    return 0;
}
