// What the runtime shares about path commands beyond its commands.
#pragma once

#include <cstdint>

#include "path_commands.h"

namespace vtx {

enum class OpenListKind;

// FindPath on the chosen open list (FindPath itself uses the indexed one).
int32_t FindPathUsing(OpenListKind kind, const RtArray<double>& map, RtArray<int32_t>& result, double weight,
                      int32_t startX, int32_t startY, int32_t goalX, int32_t goalY);

}  // namespace vtx
