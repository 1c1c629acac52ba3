// The path-finding command.
#pragma once

#include <cstdint>

#include "../core/rt_array.h"

// Plans the cheapest 4-connected path on map (cell (x, y) is element (x, y);
// a value <= 0, NaN or infinite blocks the cell) from the start cell to the
// goal cell. The heuristic weight, clamped to 0..1, orders the search by
// cost alone at 0, by distance alone at 1. Writes the path into result as n
// rows of (x, y), start first and goal last, and returns n. Start or goal
// outside the map, start equal to goal or no passable cell: 0 with result
// untouched. Goal unreachable: 0 with result emptied.
int32_t FindPath(const RtArray<double>& map, RtArray<int32_t>& result, double weight, int32_t startX,
                 int32_t startY, int32_t goalX, int32_t goalY);
