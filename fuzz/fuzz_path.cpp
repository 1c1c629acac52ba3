// Fuzzes FindPath: the input is a small map and a request; the indexed
// planner must return exactly what the sorted-list planner returns.
//
// Layout: width (1 byte, 1..24), height (1 byte, 1..24), start x, start y,
// goal x, goal y (1 byte each, taken as signed so they may fall outside),
// weight (1 byte: 0..255 over 200, a little beyond 1; 255 is NaN), then one
// byte per cell: 0 blocked, 1..249 the cost, 250.. NaN, +inf, -inf, a huge
// finite value, a tiny positive one.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "core/rt_array.h"
#include "path/path_commands_internal.h"
#include "path/planner.h"

namespace {

double CellValue(uint8_t b) {
    switch (b) {
        case 250: return std::numeric_limits<double>::quiet_NaN();
        case 251: return std::numeric_limits<double>::infinity();
        case 252: return -std::numeric_limits<double>::infinity();
        case 253: return 1e300;
        case 254: return 1e-300;
        case 255: return -5.0;
        default: return static_cast<double>(b);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 7) return 0;
    const int32_t width = 1 + data[0] % 24;
    const int32_t height = 1 + data[1] % 24;
    const int32_t sx = static_cast<int8_t>(data[2]), sy = static_cast<int8_t>(data[3]);
    const int32_t gx = static_cast<int8_t>(data[4]), gy = static_cast<int8_t>(data[5]);
    const double weight = data[6] == 255 ? std::numeric_limits<double>::quiet_NaN() : data[6] / 200.0;
    RtArray<double> map;
    DimArray(map, width, height);
    size_t at = 7;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) ArrayElement(map, x, y) = at < size ? CellValue(data[at++]) : 1.0;

    RtArray<int32_t> fast, literal;
    const int32_t n = FindPath(map, fast, weight, sx, sy, gx, gy);
    const int32_t m = vtx::FindPathUsing(vtx::OpenListKind::kSortedList, map, literal, weight, sx, sy, gx, gy);
    if (n != m || ArrayBounds(fast, 0) != ArrayBounds(literal, 0) || ArrayBounds(fast, 1) != ArrayBounds(literal, 1))
        std::abort();
    for (int32_t k = 0; k < n; ++k) {
        if (ArrayElement(fast, k, 0) != ArrayElement(literal, k, 0) ||
            ArrayElement(fast, k, 1) != ArrayElement(literal, k, 1))
            std::abort();
        // Start first, goal last, one orthogonal step at a time.
        if (k > 0) {
            const int32_t dx = ArrayElement(fast, k, 0) - ArrayElement(fast, k - 1, 0);
            const int32_t dy = ArrayElement(fast, k, 1) - ArrayElement(fast, k - 1, 1);
            if (dx * dx + dy * dy != 1) std::abort();
        }
    }
    if (n > 0 && (ArrayElement(fast, 0, 0) != sx || ArrayElement(fast, 0, 1) != sy ||
                  ArrayElement(fast, n - 1, 0) != gx || ArrayElement(fast, n - 1, 1) != gy))
        std::abort();
    return 0;
}
