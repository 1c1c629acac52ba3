// What the runtime shares about maths beyond its commands.
#pragma once

#include <cstdint>

#include "maths.h"

namespace vtx {

// A real truncated toward zero into a 32-bit integer; values beyond the
// range saturate at INT32_MIN / INT32_MAX and NaN gives 0.
int32_t RealToInteger(double value) noexcept;

}  // namespace vtx
