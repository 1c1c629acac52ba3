// The last error: one process-wide code with the source line at which it
// was set. Codes: 0 success, 3 no such file, 7 out of memory, 9 out of
// bounds, 20 out of data; any other code is an unknown error.
#pragma once

#include <cstdint>

#include "../core/rt_string.h"

// "%.4d %s" with the code and its text, for example "0003 no such file".
RtString LastErrorText();
// Sets the code to 0.
void ClearLastError();

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
