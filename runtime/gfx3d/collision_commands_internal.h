// What the runtime shares about collision commands beyond its commands.
#pragma once

#include <cstdint>

#include "collision_commands.h"

namespace vtx {
// The part of the slot whose triangle LastHitTriangle names; -1 after a miss.
int32_t LastHitPart();
}  // namespace vtx
