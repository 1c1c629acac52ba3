// The indexed planner against the sorted-list planner on random maps: the
// same paths, the same expansions. And the cost of the path at weight 0.5
// against the cheapest route found by Dijkstra's algorithm.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <queue>
#include <random>
#include <vector>

#include "path/path_commands_internal.h"
#include "path/planner.h"
#include "path_test_maps.h"

namespace {

using path_test::FourConnected;
using path_test::Points;
using vtx::AStarPlanner;
using vtx::OpenListKind;

struct RandomRequest {
    int32_t width, height;
    std::vector<double> map;
    int32_t sx, sy, gx, gy;
    float weight;
    bool diagonals = false;  // the planner's 8-connected mode (FindPath never uses it)
    bool diagonalCost = true;
};

// Map families: plateaus of one cost, two costs, many costs, walls of
// random density, and the odd blocked start or goal.
RandomRequest MakeRequest(std::mt19937& random, int32_t maxSide) {
    RandomRequest r;
    r.width = 1 + static_cast<int32_t>(random() % maxSide);
    r.height = 1 + static_cast<int32_t>(random() % maxSide);
    const int family = static_cast<int>(random() % 4);
    const double blockShare = (random() % 5) * 0.1;
    r.map.resize(static_cast<size_t>(r.width) * r.height);
    for (double& v : r.map) {
        if (std::uniform_real_distribution<double>(0, 1)(random) < blockShare) {
            v = random() % 2 ? 0.0 : -1.0;
            continue;
        }
        switch (family) {
            case 0: v = 1.0; break;
            case 1: v = 1.0 + random() % 2; break;
            case 2: v = 1.0 + random() % 9; break;
            default: v = std::uniform_real_distribution<double>(0.01, 50.0)(random); break;
        }
    }
    r.sx = static_cast<int32_t>(random() % r.width);
    r.sy = static_cast<int32_t>(random() % r.height);
    r.gx = static_cast<int32_t>(random() % r.width);
    r.gy = static_cast<int32_t>(random() % r.height);
    const float weights[] = {0.0f, 0.25f, 0.5f, 0.5f, 0.75f, 0.9f, 1.0f};
    r.weight = random() % 8 == 7 ? std::uniform_real_distribution<float>(0, 1)(random) : weights[random() % 7];
    return r;
}

vtx::PathRequest ToRequest(const RandomRequest& r) {
    vtx::PathRequest q;
    q.startX = r.sx, q.startY = r.sy, q.goalX = r.gx, q.goalY = r.gy;
    q.weight = r.weight;
    q.diagonalsAllowed = r.diagonals;
    q.diagonalCost = r.diagonalCost;
    q.width = r.width, q.height = r.height;
    q.map = r.map.data();
    return q;
}

struct Outcome {
    bool setUp = false;
    bool found = false;
    std::vector<std::pair<int32_t, int32_t>> path;
    uint64_t expansions = 0;
    uint64_t reopenings = 0;
};

Outcome Plan(OpenListKind kind, const RandomRequest& r) {
    AStarPlanner planner(kind);
    Outcome out;
    out.setUp = planner.Setup(ToRequest(r));
    if (!out.setUp) return out;
    planner.Begin();
    planner.Search();
    out.expansions = planner.Expansions();
    out.reopenings = planner.Reopenings();
    for (const vtx::Node* n = planner.Result(); n; n = n->parent) out.path.insert(out.path.begin(), {n->x, n->y});
    out.found = planner.Result() != nullptr;
    planner.Release();
    return out;
}

TEST(LiteralVsIndexed, SamePathsOnThousandsOfRandomMaps) {
    std::mt19937 random(2024);
    int found = 0, unreachable = 0, reopened = 0, refused = 0;
    for (int i = 0; i < 4000; ++i) {
        const RandomRequest r = MakeRequest(random, i < 1000 ? 8 : i < 3000 ? 24 : 64);
        const Outcome literal = Plan(OpenListKind::kSortedList, r);
        const Outcome indexed = Plan(OpenListKind::kIndexed, r);
        ASSERT_EQ(literal.setUp, indexed.setUp) << "map " << i;
        ASSERT_EQ(literal.found, indexed.found) << "map " << i;
        ASSERT_EQ(literal.path, indexed.path) << "map " << i;
        ASSERT_EQ(literal.expansions, indexed.expansions) << "map " << i;
        ASSERT_EQ(literal.reopenings, indexed.reopenings) << "map " << i;
        if (!literal.setUp) ++refused;
        else if (!literal.found) ++unreachable;
        else ++found;
        if (literal.reopenings > 0) ++reopened;
        if (literal.found) {
            ASSERT_TRUE(FourConnected(literal.path));
        }
    }
    // The maps covered every kind of outcome.
    EXPECT_GT(found, 2000);
    EXPECT_GT(unreachable, 100);
    EXPECT_GT(refused, 20);
    EXPECT_GT(reopened, 100);
}

// With diagonal steps, priorities can fall as the search goes on (a step
// can lower the distance by 2): the two lists still agree.
TEST(LiteralVsIndexed, SamePathsWithDiagonalSteps) {
    std::mt19937 random(515);
    int reopened = 0;
    for (int i = 0; i < 1000; ++i) {
        RandomRequest r = MakeRequest(random, i < 500 ? 12 : 48);
        r.diagonals = true;
        r.diagonalCost = random() % 3 != 0;
        const Outcome literal = Plan(OpenListKind::kSortedList, r);
        const Outcome indexed = Plan(OpenListKind::kIndexed, r);
        ASSERT_EQ(literal.found, indexed.found) << "map " << i;
        ASSERT_EQ(literal.path, indexed.path) << "map " << i;
        ASSERT_EQ(literal.expansions, indexed.expansions) << "map " << i;
        if (literal.reopenings > 0) ++reopened;
    }
    EXPECT_GT(reopened, 50);
}

TEST(LiteralVsIndexed, FindPathGivesTheSameRowsEitherWay) {
    std::mt19937 random(77);
    for (int i = 0; i < 200; ++i) {
        const RandomRequest r = MakeRequest(random, 32);
        RtArray<double> map;
        DimArray(map, r.width, r.height);
        for (int32_t y = 0; y < r.height; ++y)
            for (int32_t x = 0; x < r.width; ++x) ArrayElement(map, x, y) = r.map[static_cast<size_t>(x + y * r.width)];
        RtArray<int32_t> a, b;
        const int32_t na = FindPath(map, a, r.weight, r.sx, r.sy, r.gx, r.gy);
        const int32_t nb = vtx::FindPathUsing(OpenListKind::kSortedList, map, b, r.weight, r.sx, r.sy, r.gx, r.gy);
        ASSERT_EQ(na, nb);
        ASSERT_EQ(Points(a), Points(b));
        ASSERT_EQ(a.dimensionCount(), b.dimensionCount());
    }
}

// Dijkstra over the planner's own normalised costs: entering a cell costs
// its cost.
double CheapestRoute(const AStarPlanner& planner, const RandomRequest& r) {
    std::vector<double> best(r.map.size(), INFINITY);
    using Item = std::pair<double, int32_t>;
    std::priority_queue<Item, std::vector<Item>, std::greater<>> queue;
    const int32_t start = r.sx + r.sy * r.width;
    best[static_cast<size_t>(start)] = 0;
    queue.push({0.0, start});
    while (!queue.empty()) {
        const auto [d, cell] = queue.top();
        queue.pop();
        if (d > best[static_cast<size_t>(cell)]) continue;
        const int32_t x = cell % r.width, y = cell / r.width;
        const int32_t moves[4][2] = {{0, -1}, {1, 0}, {-1, 0}, {0, 1}};
        for (const auto& m : moves) {
            const int32_t nx = x + m[0], ny = y + m[1];
            if (nx < 0 || ny < 0 || nx >= r.width || ny >= r.height) continue;
            const float c = planner.CostAt(nx, ny);
            if (c < 0) continue;
            const int32_t next = nx + ny * r.width;
            if (d + c < best[static_cast<size_t>(next)]) {
                best[static_cast<size_t>(next)] = d + c;
                queue.push({d + c, next});
            }
        }
    }
    return best[static_cast<size_t>(r.gx + r.gy * r.width)];
}

TEST(LiteralVsIndexed, WeightOneHalfFindsTheCheapestRoute) {
    std::mt19937 random(99);
    int compared = 0;
    for (int i = 0; i < 600; ++i) {
        RandomRequest r = MakeRequest(random, 64);
        r.weight = 0.5f;
        AStarPlanner planner;
        if (!planner.Setup(ToRequest(r))) continue;
        planner.Begin();
        planner.Search();
        const double cheapest = CheapestRoute(planner, r);
        if (!planner.Result()) {
            EXPECT_TRUE(std::isinf(cheapest)) << "map " << i;
            continue;
        }
        double cost = 0;
        for (const vtx::Node* n = planner.Result(); n->parent; n = n->parent) cost += planner.CostAt(n->x, n->y);
        // The search adds in 32-bit floats; the reference in doubles.
        EXPECT_NEAR(cost, cheapest, 1e-4 * cheapest) << "map " << i;
        ++compared;
    }
    EXPECT_GT(compared, 300);
}

}  // namespace
