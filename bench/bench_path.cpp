// FindPath: milliseconds per query of the indexed planner (what FindPath
// uses) and of the sorted-list planner, against a plain binary-heap A*
// written here as the anchor, on 512 x 512 and 1024 x 1024 maps: open,
// 20 % and 30 % random blocks, random costs 1..9, a one-cell-wide maze and
// an unreachable goal. Node expansions per second for each.
//
// The anchor uses the same normalised costs, the same heuristic and the
// same tie order (f, then insertion), so all three expand the same nodes;
// the bench checks that their paths agree. The sorted-list planner is
// quadratic: it runs one query per 512 x 512 map and is skipped at 1024.
// Run: build/bench/bench_path
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <queue>
#include <string>
#include <utility>
#include <vector>

#include "bench_support.h"
#include "path/path_commands_internal.h"
#include "path/planner.h"

namespace {

using bench::Best;
using bench::Xorshift;

struct Query {
    int32_t sx, sy, gx, gy;
};

struct BenchMap {
    std::string name;
    int32_t size;
    std::vector<double> cells;  // x + y * size
    std::vector<Query> queries;
};

// The anchor: A* on a binary heap (std::priority_queue) with lazy deletion,
// per-cell g, parent and sequence arrays. Returns the path cells goal first.
struct HeapAStar {
    struct Item {
        float f;
        uint32_t cell;
        uint64_t sequence;
        bool operator>(const Item& o) const { return f != o.f ? f > o.f : sequence > o.sequence; }
    };
    uint64_t expansions = 0;

    std::vector<int32_t> Run(const std::vector<double>& map, int32_t w, int32_t h, const Query& q, float weight) {
        const size_t cells = map.size();
        // Costs normalised as the planner does: value / highest + 1, -1 blocked.
        std::vector<float> cost(cells);
        float highest = 0;
        for (size_t i = 0; i < cells; ++i) {
            const double v = map[i];
            const float c = (v > 0 && v != HUGE_VAL) ? static_cast<float>(v > FLT_MAX ? FLT_MAX : v) : -1.0f;
            cost[i] = c > 0 ? c : -1.0f;
            if (cost[i] > highest) highest = cost[i];
        }
        for (float& c : cost)
            if (c > 0) c = c / highest + 1.0f;
        std::vector<float> g(cells, INFINITY);
        std::vector<int32_t> parent(cells, -1);
        std::vector<uint64_t> sequenceOf(cells, 0);
        std::priority_queue<Item, std::vector<Item>, std::greater<>> open;
        uint64_t sequence = 0;
        const uint32_t start = static_cast<uint32_t>(q.sx + q.sy * w);
        const uint32_t goal = static_cast<uint32_t>(q.gx + q.gy * w);
        g[start] = 0;
        sequenceOf[start] = sequence;
        open.push({0.0f, start, sequence++});
        expansions = 0;
        const int32_t dx[4] = {0, 1, -1, 0}, dy[4] = {-1, 0, 0, 1};
        while (!open.empty()) {
            const Item item = open.top();
            open.pop();
            if (item.sequence != sequenceOf[item.cell]) continue;  // superseded
            ++expansions;
            if (item.cell == goal) {
                std::vector<int32_t> path;
                for (int32_t c = static_cast<int32_t>(goal); c >= 0; c = parent[static_cast<size_t>(c)]) path.push_back(c);
                return path;
            }
            const int32_t x = static_cast<int32_t>(item.cell) % w, y = static_cast<int32_t>(item.cell) / w;
            for (int k = 0; k < 4; ++k) {
                const int32_t nx = x + dx[k], ny = y + dy[k];
                if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
                const uint32_t next = static_cast<uint32_t>(nx + ny * w);
                const float c = cost[next];
                if (c == -1.0f) continue;
                const float ng = g[item.cell] + c;
                if (!(g[next] > ng)) continue;
                g[next] = ng;
                parent[next] = static_cast<int32_t>(item.cell);
                const float f = vtx::Priority(ng, weight, std::abs(q.gx - nx) + std::abs(q.gy - ny));
                sequenceOf[next] = sequence;
                open.push({f, next, sequence++});
            }
        }
        return {};
    }
};

bool Open(const BenchMap& m, int32_t x, int32_t y) { return m.cells[static_cast<size_t>(x + y * m.size)] > 0; }

// Query pairs between random open cells at least half the map apart.
void AddQueries(BenchMap& m, Xorshift& random, int count) {
    while (static_cast<int>(m.queries.size()) < count) {
        Query q;
        q.sx = static_cast<int32_t>(random.next() % m.size);
        q.sy = static_cast<int32_t>(random.next() % m.size);
        q.gx = static_cast<int32_t>(random.next() % m.size);
        q.gy = static_cast<int32_t>(random.next() % m.size);
        if (!Open(m, q.sx, q.sy) || !Open(m, q.gx, q.gy)) continue;
        if (std::abs(q.sx - q.gx) + std::abs(q.sy - q.gy) < m.size / 2) continue;
        m.queries.push_back(q);
    }
}

BenchMap RandomMap(const char* name, int32_t size, double blocked, bool randomCosts, Xorshift& random) {
    BenchMap m{name, size, std::vector<double>(static_cast<size_t>(size) * size), {}};
    for (double& v : m.cells) {
        const double u = static_cast<double>(random.next() % 1000000) / 1e6;
        v = u < blocked ? 0.0 : randomCosts ? static_cast<double>(1 + random.next() % 9) : 1.0;
    }
    return m;
}

// A perfect maze: passages on odd cells, carved by a depth-first walk.
BenchMap Maze(int32_t size, Xorshift& random) {
    BenchMap m{"maze (1 cell wide)", size, std::vector<double>(static_cast<size_t>(size) * size, 0.0), {}};
    auto at = [&](int32_t x, int32_t y) -> double& { return m.cells[static_cast<size_t>(x + y * size)]; };
    std::vector<std::pair<int32_t, int32_t>> stack{{1, 1}};
    at(1, 1) = 1;
    const int32_t dx[4] = {2, -2, 0, 0}, dy[4] = {0, 0, 2, -2};
    while (!stack.empty()) {
        const auto [x, y] = stack.back();
        int options[4], n = 0;
        for (int k = 0; k < 4; ++k) {
            const int32_t nx = x + dx[k], ny = y + dy[k];
            if (nx > 0 && ny > 0 && nx < size - 1 && ny < size - 1 && at(nx, ny) == 0) options[n++] = k;
        }
        if (n == 0) {
            stack.pop_back();
            continue;
        }
        const int k = options[random.next() % static_cast<uint64_t>(n)];
        at(x + dx[k] / 2, y + dy[k] / 2) = 1;
        at(x + dx[k], y + dy[k]) = 1;
        stack.push_back({x + dx[k], y + dy[k]});
    }
    return m;
}

// Random costs with the goal walled in: the search exhausts the map.
BenchMap Unreachable(int32_t size, Xorshift& random, int count) {
    BenchMap m = RandomMap("unreachable goal", size, 0.0, true, random);
    for (int i = 0; i < count; ++i) {
        const int32_t gx = 8 + static_cast<int32_t>(random.next() % (size - 16));
        const int32_t gy = 8 + static_cast<int32_t>(random.next() % (size - 16));
        for (int32_t d = -1; d <= 1; ++d) {
            m.cells[static_cast<size_t>(gx + d + (gy - 1) * size)] = 0;
            m.cells[static_cast<size_t>(gx + d + (gy + 1) * size)] = 0;
            m.cells[static_cast<size_t>(gx - 1 + (gy + d) * size)] = 0;
            m.cells[static_cast<size_t>(gx + 1 + (gy + d) * size)] = 0;
        }
        m.queries.push_back({static_cast<int32_t>(random.next() % 4), static_cast<int32_t>(random.next() % 4), gx, gy});
    }
    return m;
}

struct Timing {
    double msPerQuery = 0;
    double expansionsPerSecond = 0;
};

Timing TimePlanner(const BenchMap& m, vtx::OpenListKind kind, size_t queries, int rounds, std::vector<std::vector<int32_t>>* paths) {
    uint64_t expansions = 0;
    const double seconds = Best(rounds, [&] {
        expansions = 0;
        if (paths) paths->clear();
        for (size_t i = 0; i < queries; ++i) {
            const Query& q = m.queries[i];
            vtx::PathRequest request;
            request.startX = q.sx, request.startY = q.sy, request.goalX = q.gx, request.goalY = q.gy;
            request.weight = 0.5f;
            request.width = request.height = m.size;
            request.map = m.cells.data();
            vtx::AStarPlanner planner(kind);
            planner.Setup(request);
            planner.Begin();
            planner.Search();
            expansions += planner.Expansions();
            if (paths) {
                std::vector<int32_t> path;
                for (const vtx::Node* n = planner.Result(); n; n = n->parent) path.push_back(n->x + n->y * m.size);
                paths->push_back(std::move(path));
            }
            planner.Release();
        }
    });
    return {seconds * 1e3 / static_cast<double>(queries), static_cast<double>(expansions) / seconds};
}

Timing TimeAnchor(const BenchMap& m, size_t queries, int rounds, std::vector<std::vector<int32_t>>* paths) {
    uint64_t expansions = 0;
    HeapAStar anchor;
    const double seconds = Best(rounds, [&] {
        expansions = 0;
        paths->clear();
        for (size_t i = 0; i < queries; ++i) {
            paths->push_back(anchor.Run(m.cells, m.size, m.size, m.queries[i], 0.5f));
            expansions += anchor.expansions;
        }
    });
    return {seconds * 1e3 / static_cast<double>(queries), static_cast<double>(expansions) / seconds};
}

}  // namespace

int main(int argc, char** argv) {
    // --quick: 512 x 512 only, without the sorted list (for profiling).
    // --quick NAME SIZE: only the maps whose name starts with NAME, of size
    // SIZE (512 unless given).
    const bool quick = argc > 1 && std::string(argv[1]) == "--quick";
    const std::string only = quick && argc > 2 ? argv[2] : "";
    const int32_t quickSize = quick && argc > 3 ? static_cast<int32_t>(std::atoi(argv[3])) : 512;
    Xorshift random;
    bool agree = true;
    std::printf("A* at weight 0.5, ms per query (best of 5 alternating rounds); expansions per second in millions\n");
    std::printf("%-6s %-20s %5s %9s %7s %9s %7s %9s %7s %8s %8s\n", "size", "map", "query", "anchor", "Mexp/s",
                "indexed", "Mexp/s", "sorted", "Mexp/s", "idx/anc", "sort/anc");
    for (int32_t size : {512, 1024}) {
        if (quick && size != quickSize) continue;
        const int queries = size == 512 ? 8 : 4;
        std::vector<BenchMap> maps;
        maps.push_back(RandomMap("open", size, 0.0, false, random));
        maps.push_back(RandomMap("20 % blocks", size, 0.2, false, random));
        maps.push_back(RandomMap("30 % blocks", size, 0.3, false, random));
        maps.push_back(RandomMap("random costs 1..9", size, 0.0, true, random));
        maps.push_back(Maze(size, random));
        for (size_t i = 0; i < maps.size(); ++i)
            if (maps[i].queries.empty()) AddQueries(maps[i], random, queries);
        maps.push_back(Unreachable(size, random, size == 512 ? 4 : 2));
        for (const BenchMap& m : maps) {
            if (m.name.compare(0, only.size(), only) != 0) continue;
            std::vector<std::vector<int32_t>> anchorPaths, indexedPaths, sortedPaths;
            const size_t n = m.queries.size();
            // Rounds alternate between the two, so a busy moment slows both.
            Timing anchor{1e30, 0}, indexed{1e30, 0};
            for (int round = 0; round < 5; ++round) {
                const Timing a = TimeAnchor(m, n, 1, &anchorPaths);
                const Timing b = TimePlanner(m, vtx::OpenListKind::kIndexed, n, 1, &indexedPaths);
                if (a.msPerQuery < anchor.msPerQuery) anchor = a;
                if (b.msPerQuery < indexed.msPerQuery) indexed = b;
            }
            if (indexedPaths != anchorPaths) agree = false;
            std::printf("%-6d %-20s %5zu %9.2f %7.1f %9.2f %7.1f", size, m.name.c_str(), n, anchor.msPerQuery,
                        anchor.expansionsPerSecond / 1e6, indexed.msPerQuery, indexed.expansionsPerSecond / 1e6);
            if (size == 512 && !quick && m.name != "unreachable goal") {
                // One query, one round: the sorted list is quadratic (an
                // unreachable goal takes it minutes, so it is skipped there).
                // Its ratio is against the anchor on that same first query.
                std::vector<std::vector<int32_t>> firstPath;
                const Timing sorted = TimePlanner(m, vtx::OpenListKind::kSortedList, 1, 1, &sortedPaths);
                const Timing first = TimeAnchor(m, 1, 3, &firstPath);
                if (sortedPaths[0] != indexedPaths[0]) agree = false;
                std::printf(" %9.1f %7.2f %7.2fx %7.2fx\n", sorted.msPerQuery, sorted.expansionsPerSecond / 1e6,
                            anchor.msPerQuery / indexed.msPerQuery, first.msPerQuery / sorted.msPerQuery);
            } else {
                std::printf(" %9s %7s %7.2fx %8s\n", "skipped", "", anchor.msPerQuery / indexed.msPerQuery, "");
            }
            std::fflush(stdout);
        }
    }
    std::printf("idx/anc: how many times faster than the anchor the indexed planner is; sort/anc: the same for\n"
                "the sorted list on the first query alone (below 1 is slower). Paths of all planners %s.\n",
                agree ? "agree" : "DIFFER");
    return agree ? 0 : 1;
}
