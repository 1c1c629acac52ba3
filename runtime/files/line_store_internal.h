// What the runtime shares about line store beyond its commands.
#pragma once

#include <cstdint>
#include <string>

#include "line_store.h"

namespace vtx {

inline constexpr int32_t kLineStoreLines = 256;
inline constexpr uint32_t kLineStoreLineLength = 1023;

// Reads a file's bytes into lines[0 .. 255]: a line longer than 1023
// characters is cut (the rest of it is skipped), lines past 256 are
// ignored. The number of lines read.
int32_t ParseLineStore(const char* data, size_t size, RtString (&lines)[kLineStoreLines]);
// Lines 0 to highest, each followed by CR LF.
std::string FormatLineStore(const RtString (&lines)[kLineStoreLines], int32_t highest);
// Writes the loaded file back if it changed (end of the run); true when
// there was nothing to write or the write succeeded.
bool WriteBackLineStore();

}  // namespace vtx
