// The current directory and directory listings.
#pragma once

#include <cstdint>

#include "../core/rt_array.h"
#include "../core/rt_string.h"

// The current directory with "/" separators, always ending with "/"; the
// empty text when the program has no reachable current directory.
RtString CurrentDirectory();
// Makes path the current directory: true and last error 0, or false and
// last error 3 (no such file).
bool ChangeDirectory(const RtString& path);
// Lists the current directory into names: every folder (".", ".." included)
// first, then the files whose names match pattern, each group sorted
// ignoring case. Returns files + 65536 x folders; 0 with names emptied when
// the directory cannot be read.
int32_t ListDirectory(const RtString& pattern, RtArray<RtString>& names);
