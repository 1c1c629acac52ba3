// What the runtime shares about last error beyond its commands.
#pragma once

#include <cstdint>

#include "last_error.h"

namespace vtx {

// The text of a code: "success", "no such file", ..., "unknown error".
const char* ErrorCodeText(uint32_t code);
// "%.4d %s" with the code and its text.
RtString FormatErrorCode(uint32_t code);
// Sets the code and takes the current source line as the error line.
void SetLastError(uint32_t code);
// The code last set.
uint32_t LastErrorCode();

}  // namespace vtx
