// FindPath as a program calls it: results, tie order and bad requests.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <random>
#include <limits>
#include <utility>
#include <vector>

#include "path/path_commands.h"
#include "path/planner.h"
#include "path_test_maps.h"

namespace {

using path_test::FourConnected;
using path_test::MapFromRows;
using path_test::Points;
using path_test::UniformMap;
using Path = std::vector<std::pair<int32_t, int32_t>>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// A result array holding something, to see whether a call leaves it alone.
RtArray<int32_t> MarkedResult() {
    RtArray<int32_t> result;
    DimArray(result, 3);
    ArrayElement(result, 0) = 7;
    ArrayElement(result, 2) = 9;
    return result;
}

bool StillMarked(RtArray<int32_t>& result) {
    return ArrayBounds(result, 0) == 3 && ArrayBounds(result, 1) == 0 && ArrayElement(result, 0) == 7 &&
           ArrayElement(result, 2) == 9;
}

TEST(FindPath, RowOfOnesGivesEveryCellFromStartToGoal) {
    RtArray<double> map = UniformMap(3, 1, 1.0);
    RtArray<int32_t> result;
    ASSERT_EQ(FindPath(map, result, 0.5, 0, 0, 2, 0), 3);
    EXPECT_EQ(ArrayBounds(result, 0), 3);
    EXPECT_EQ(ArrayBounds(result, 1), 2);
    EXPECT_EQ(Points(result), (Path{{0, 0}, {1, 0}, {2, 0}}));
    // Backwards the rows run from the new start as well.
    ASSERT_EQ(FindPath(map, result, 0.5, 2, 0, 0, 0), 3);
    EXPECT_EQ(Points(result), (Path{{2, 0}, {1, 0}, {0, 0}}));
}

TEST(FindPath, CellXYIsElementXY) {
    // Width 4, height 3: the only way from (0,0) to (3,2) runs down column 0
    // and along row 2.
    RtArray<double> map = MapFromRows({{1, 0, 0, 0}, {1, 0, 0, 0}, {1, 1, 1, 1}});
    RtArray<int32_t> result;
    ASSERT_EQ(FindPath(map, result, 0.5, 0, 0, 3, 2), 6);
    EXPECT_EQ(Points(result), (Path{{0, 0}, {0, 1}, {0, 2}, {1, 2}, {2, 2}, {3, 2}}));
}

TEST(FindPath, EqualRoutesGoToTheNeighbourInsertedFirst) {
    // From (0,0) the neighbour (1,0) is inserted before (0,1): both routes to
    // (1,1) cost the same and the one through (1,0) wins.
    RtArray<double> map = UniformMap(2, 2, 1.0);
    RtArray<int32_t> result;
    ASSERT_EQ(FindPath(map, result, 0.5, 0, 0, 1, 1), 3);
    EXPECT_EQ(Points(result), (Path{{0, 0}, {1, 0}, {1, 1}}));
    // From (1,1): (1,0) comes before (0,1) again ((x, y-1) is tried first).
    ASSERT_EQ(FindPath(map, result, 0.5, 1, 1, 0, 0), 3);
    EXPECT_EQ(Points(result), (Path{{1, 1}, {1, 0}, {0, 0}}));
    // From (0,1) to (1,0): (0,0) is tried before (1,1).
    ASSERT_EQ(FindPath(map, result, 0.5, 0, 1, 1, 0), 3);
    EXPECT_EQ(Points(result), (Path{{0, 1}, {0, 0}, {1, 0}}));
}

TEST(FindPath, TakesTheCheaperDetour) {
    // Costs 1 and 9 become 1.111 and 2: three dear cells (6) cost more than
    // the detour's two extra cheap ones (6 x 1.111).
    RtArray<double> map = MapFromRows({{1, 9, 9, 9, 1}, {1, 1, 1, 1, 1}});
    RtArray<int32_t> result;
    ASSERT_EQ(FindPath(map, result, 0.5, 0, 0, 4, 0), 7);
    EXPECT_EQ(Points(result), (Path{{0, 0}, {0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}, {4, 0}}));
    // At weight 1 only the distance counts: straight through the dear cells.
    ASSERT_EQ(FindPath(map, result, 1.0, 0, 0, 4, 0), 5);
    EXPECT_EQ(Points(result), (Path{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}));
}

TEST(FindPath, PathsNeverMoveDiagonally) {
    RtArray<double> map = UniformMap(9, 7, 1.0);
    RtArray<int32_t> result;
    ASSERT_EQ(FindPath(map, result, 0.5, 0, 0, 8, 6), 15);
    EXPECT_TRUE(FourConnected(Points(result)));
}

TEST(FindPath, WeightsOutsideZeroToOneAreClamped) {
    RtArray<double> map = MapFromRows({{1, 5, 2, 1}, {3, 1, 1, 8}, {1, 7, 1, 1}});
    RtArray<int32_t> a, b;
    for (auto [outside, inside] : {std::pair{2.0, 1.0}, {-1.0, 0.0}, {1e300, 1.0}, {-kInf, 0.0}, {kNaN, 0.0}}) {
        const int32_t n = FindPath(map, a, outside, 0, 0, 3, 2);
        ASSERT_EQ(n, FindPath(map, b, inside, 0, 0, 3, 2)) << outside;
        EXPECT_EQ(Points(a), Points(b)) << outside;
    }
}

TEST(FindPath, CostsAreScaledIntoOneToTwo) {
    const double values[] = {1, 100};
    vtx::PathRequest request;
    request.width = 2;
    request.height = 1;
    request.goalX = 1;
    request.map = values;
    vtx::AStarPlanner planner;
    ASSERT_TRUE(planner.Setup(request));
    EXPECT_FLOAT_EQ(planner.CostAt(0, 0), 1.01f);
    EXPECT_FLOAT_EQ(planner.CostAt(1, 0), 2.0f);
}

// Every kind of value, at every place within a block of four cells and in
// the tail of maps whose width is not a multiple of four: each cell's cost
// is the value as a float (the largest float above the float range; 0 for
// one too small), blocked (-1) unless positive and finite, scaled by the
// highest into 1..2.
TEST(FindPath, EveryCellsCostFollowsItsValue) {
    const double kinds[] = {1.0,  9.0,  0.0,    -0.0, -3.0,  kNaN,   kInf, -kInf, 1e300, -1e300,
                            1e-50, 3.4e38, 0.1, 7.25, 5e-324, 1e38, 2.5, 1e-45, 6.0, 1.0 / 3.0};
    std::mt19937 random(5);
    for (int32_t width = 1; width <= 11; ++width) {
        const int32_t height = 3;
        std::vector<double> values(static_cast<size_t>(width * height));
        for (double& v : values) v = kinds[random() % std::size(kinds)];
        values[0] = 2.0;  // a passable cell
        float highest = 0;
        std::vector<float> expected(values.size());
        for (size_t i = 0; i < values.size(); ++i) {
            const double v = values[i];
            float c = -1.0f;
            if (v > 0 && v != kInf) c = v > std::numeric_limits<float>::max() ? std::numeric_limits<float>::max() : static_cast<float>(v);
            expected[i] = c > 0 ? c : -1.0f;
            highest = std::max(highest, expected[i]);
        }
        for (float& c : expected)
            if (c > 0) c = c / highest + 1.0f;
        vtx::PathRequest request;
        request.width = width;
        request.height = height;
        request.goalY = 1;
        request.map = values.data();
        vtx::AStarPlanner planner;
        ASSERT_TRUE(planner.Setup(request));
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
                EXPECT_EQ(planner.CostAt(x, y), expected[static_cast<size_t>(x + y * width)])
                    << "width " << width << " cell " << x << "," << y << " value "
                    << values[static_cast<size_t>(x + y * width)];
    }
}

TEST(FindPath, BadRequestsLeaveTheResultAlone) {
    RtArray<double> map = UniformMap(4, 3, 1.0);
    const int32_t requests[][4] = {{1, 1, 1, 1},  {-1, 0, 2, 2}, {0, -1, 2, 2}, {4, 0, 2, 2}, {0, 3, 2, 2},
                                   {0, 0, -1, 0}, {0, 0, 0, -1}, {0, 0, 4, 0},  {0, 0, 0, 3}, {INT32_MIN, 0, 1, 1}};
    for (const auto& r : requests) {
        RtArray<int32_t> result = MarkedResult();
        EXPECT_EQ(FindPath(map, result, 0.5, r[0], r[1], r[2], r[3]), 0) << r[0] << "," << r[1] << " " << r[2];
        EXPECT_TRUE(StillMarked(result));
    }
}

TEST(FindPath, MapsWithoutAPassableCellLeaveTheResultAlone) {
    for (double v : {0.0, -3.0, kNaN, kInf, -kInf, 1e-60}) {
        RtArray<double> map = UniformMap(3, 3, v);
        RtArray<int32_t> result = MarkedResult();
        EXPECT_EQ(FindPath(map, result, 0.5, 0, 0, 2, 2), 0) << v;
        EXPECT_TRUE(StillMarked(result)) << v;
    }
}

TEST(FindPath, MapsTooSmallToPlanOnLeaveTheResultAlone) {
    RtArray<int32_t> result = MarkedResult();
    RtArray<double> oneCell = UniformMap(1, 1, 1.0);
    EXPECT_EQ(FindPath(oneCell, result, 0.5, 0, 0, 0, 0), 0);
    RtArray<double> empty;
    EXPECT_EQ(FindPath(empty, result, 0.5, 0, 0, 1, 0), 0);
    // A one-dimensional array has no rows (its size 1 is 0).
    RtArray<double> line;
    DimArray(line, 5);
    ArrayElement(line, 0) = 1;
    EXPECT_EQ(FindPath(line, result, 0.5, 0, 0, 3, 0), 0);
    EXPECT_TRUE(StillMarked(result));
}

TEST(FindPath, UnreachableGoalEmptiesTheResult) {
    // Goal walled off by zeros.
    RtArray<double> walled = MapFromRows({{1, 1, 0, 1}, {1, 1, 0, 1}});
    RtArray<int32_t> result = MarkedResult();
    EXPECT_EQ(FindPath(walled, result, 0.5, 0, 0, 3, 1), 0);
    EXPECT_EQ(ArrayBounds(result, 0), 0);
    EXPECT_EQ(result.dimensionCount(), 0);
    // Goal blocked itself.
    RtArray<double> blockedGoal = MapFromRows({{1, 1, 1, -2}});
    result = MarkedResult();
    EXPECT_EQ(FindPath(blockedGoal, result, 0.5, 0, 0, 3, 0), 0);
    EXPECT_EQ(ArrayBounds(result, 0), 0);
}

TEST(FindPath, TheStartCellsOwnCostIsNeverLookedAt) {
    RtArray<double> map = MapFromRows({{0, 1, 1}});
    RtArray<int32_t> result;
    ASSERT_EQ(FindPath(map, result, 0.5, 0, 0, 2, 0), 3);
    EXPECT_EQ(Points(result), (Path{{0, 0}, {1, 0}, {2, 0}}));
}

TEST(FindPath, NaNAndInfiniteCostsBlockTheirCell) {
    for (double wall : {kNaN, kInf, -kInf}) {
        RtArray<double> map = MapFromRows({{1, wall, 1}, {1, 1, 1}});
        RtArray<int32_t> result;
        ASSERT_EQ(FindPath(map, result, 0.5, 0, 0, 2, 0), 5) << wall;
        EXPECT_EQ(Points(result), (Path{{0, 0}, {0, 1}, {1, 1}, {2, 1}, {2, 0}})) << wall;
    }
    // A finite cost beyond the float range is a very dear but open cell.
    RtArray<double> map = MapFromRows({{1, 1e300, 1}});
    RtArray<int32_t> result;
    EXPECT_EQ(FindPath(map, result, 0.5, 0, 0, 2, 0), 3);
}

TEST(FindPath, ResultOfAnyShapeIsReplaced) {
    RtArray<double> map = UniformMap(3, 1, 1.0);
    RtArray<int32_t> result;
    DimArray(result, 4, 5, 6);
    ArrayElement(result, 3, 4, 5) = 11;
    ASSERT_EQ(FindPath(map, result, 0.5, 0, 0, 2, 0), 3);
    EXPECT_EQ(result.dimensionCount(), 2);
    EXPECT_EQ(ArrayBounds(result, 2), 0);
    EXPECT_EQ(Points(result), (Path{{0, 0}, {1, 0}, {2, 0}}));
}

TEST(FindPath, LargestMapsPlanWithoutTouchingEveryCell) {
    // 4096 x 4096: a short hop, and a start boxed in by a ring of walls.
    RtArray<double> map = UniformMap(4096, 4096, 1.0);
    RtArray<int32_t> result;
    ASSERT_EQ(FindPath(map, result, 0.5, 4094, 4095, 4095, 4095), 2);
    EXPECT_EQ(Points(result), (Path{{4094, 4095}, {4095, 4095}}));
    for (int32_t i = 0; i < 5; ++i) {
        ArrayElement(map, 2000 + i, 2000) = 0;
        ArrayElement(map, 2000 + i, 2004) = 0;
        ArrayElement(map, 2000, 2000 + i) = 0;
        ArrayElement(map, 2004, 2000 + i) = 0;
    }
    EXPECT_EQ(FindPath(map, result, 0.5, 2002, 2002, 0, 0), 0);
    EXPECT_EQ(ArrayBounds(result, 0), 0);
    ASSERT_EQ(FindPath(map, result, 1.0, 0, 0, 0, 4095), 4096);
    EXPECT_TRUE(FourConnected(Points(result)));
}

}  // namespace
