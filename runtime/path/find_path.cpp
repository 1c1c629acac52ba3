// FindPath: the language's path-finding command on the A* planner.
#include <cmath>

#include "path_commands_internal.h"
#include "planner.h"

int32_t FindPath(const RtArray<double>& map, RtArray<int32_t>& result, double weight, int32_t startX,
                 int32_t startY, int32_t goalX, int32_t goalY) {
    return vtx::FindPathUsing(vtx::OpenListKind::kIndexed, map, result, weight, startX, startY, goalX, goalY);
}

namespace vtx {

int32_t FindPathUsing(OpenListKind kind, const RtArray<double>& map, RtArray<int32_t>& result, double weight,
                      int32_t startX, int32_t startY, int32_t goalX, int32_t goalY) {
    PathRequest request;
    request.startX = startX;
    request.startY = startY;
    request.goalX = goalX;
    request.goalY = goalY;
    request.diagonalCost = true;
    request.diagonalsAllowed = false;  // the command plans 4-connected paths
    request.nodePoolSize = 0;
    request.openListCapacity = 0;
    request.hashBits = 8;
    // Clamped here in double, so a huge weight does not overflow the float.
    if (std::isnan(weight)) weight = 0.0;
    request.weight = static_cast<float>(weight < 0.0 ? 0.0 : weight > 1.0 ? 1.0 : weight);
    request.width = ArrayBounds(map, 0);
    request.height = ArrayBounds(map, 1);
    if (request.width > 0 && request.height > 0) request.map = &ArrayElement(map, 0, 0);

    AStarPlanner planner(kind);
    if (!planner.Setup(request)) return 0;
    planner.Begin();
    planner.Search();
    const Node* goal = planner.Result();
    if (!goal) {
        DimArray(result, 0);
        return 0;
    }
    // Parent links never form a loop (a node only takes a parent of
    // strictly lower cost); the count is capped by the map size regardless.
    const int64_t cells = static_cast<int64_t>(request.width) * request.height;
    int32_t n = 0;
    for (const Node* p = goal; p && n < cells; p = p->parent) ++n;
    DimArray(result, n, 2);
    int32_t k = n - 1;
    for (const Node* p = goal; p && k >= 0; p = p->parent, --k) {
        ArrayElement(result, k, 0) = p->x;
        ArrayElement(result, k, 1) = p->y;
    }
    planner.Release();
    return n;
}

}  // namespace vtx
