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
