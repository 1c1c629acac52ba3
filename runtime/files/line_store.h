// The line store: one plain text file held as 256 numbered lines (0 to 255,
// each at most 1023 characters). Every command names its file; naming
// another file writes a changed one back (replacing it whole, so the old
// file survives a failed write) and loads the new one. Changes are also
// written back at the end of the run.
#pragma once

#include <cstdint>

#include "../core/rt_string.h"

// Line n of the file: "NO_DATA" for a number outside 0 to 255 (last error 7)
// or a line that is empty once trailing control characters are removed;
// "NO_FILE" when the file cannot be opened (last error 3).
RtString LineStoreGet(const RtString& fileName, int32_t line);
// LineStoreGet, then the text-to-number or text-to-integer rule; the line
// number is truncated toward zero.
double LineStoreGetNumber(const RtString& fileName, double line);
int32_t LineStoreGetInteger(const RtString& fileName, double line);
// Stores text (cut to 1023 characters) as line n; a number outside 0 to 255
// sets last error 7 and changes nothing.
void LineStorePut(const RtString& fileName, int32_t line, const RtString& text);
// Stores the number text (10 significant digits) as line n.
void LineStorePutNumber(const RtString& fileName, int32_t line, double value);
