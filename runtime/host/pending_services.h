// Services whose subsystems are not built yet.
//
// Each keeps its place in the start-up, frame and shutdown order; as a
// subsystem arrives, its entries move out of here into the subsystem's own
// files.
#pragma once

#include <cstdint>

#include "core/rt_string.h"

namespace vtx::pending {

}  // namespace vtx::pending
