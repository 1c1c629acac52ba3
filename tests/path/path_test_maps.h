// Maps and path checks shared by the path-finding tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

#include "core/rt_array.h"

namespace path_test {

// A width x height map from rows listed top row first.
inline RtArray<double> MapFromRows(std::initializer_list<std::initializer_list<double>> rows) {
    RtArray<double> map;
    const int32_t height = static_cast<int32_t>(rows.size());
    const int32_t width = static_cast<int32_t>(rows.begin()->size());
    DimArray(map, width, height);
    int32_t y = 0;
    for (const auto& row : rows) {
        int32_t x = 0;
        for (double v : row) ArrayElement(map, x++, y) = v;
        ++y;
    }
    return map;
}

inline RtArray<double> UniformMap(int32_t width, int32_t height, double value) {
    RtArray<double> map;
    DimArray(map, width, height);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) ArrayElement(map, x, y) = value;
    return map;
}

// The rows of a result array as (x, y) pairs.
inline std::vector<std::pair<int32_t, int32_t>> Points(RtArray<int32_t>& result) {
    std::vector<std::pair<int32_t, int32_t>> points;
    for (int32_t k = 0; k < ArrayBounds(result, 0); ++k)
        points.emplace_back(ArrayElement(result, k, 0), ArrayElement(result, k, 1));
    return points;
}

// True when every step moves by 1 in exactly one coordinate.
inline bool FourConnected(const std::vector<std::pair<int32_t, int32_t>>& points) {
    for (size_t i = 1; i < points.size(); ++i) {
        const int32_t dx = points[i].first - points[i - 1].first;
        const int32_t dy = points[i].second - points[i - 1].second;
        if (dx * dx + dy * dy != 1) return false;
    }
    return true;
}

}  // namespace path_test
