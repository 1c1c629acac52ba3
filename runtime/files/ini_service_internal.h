// What the runtime shares about ini service beyond its commands.
#pragma once

#include <string>
#include <vector>

#include "ini_service.h"

namespace vtx {

struct IniEntry {
    RtString key;
    RtString value;
};

struct IniSection {
    RtString name;
    std::vector<IniEntry> entries;
};

// The sections of an INI file's bytes, in file order.
std::vector<IniSection> ParseIni(const char* data, size_t size);
// The file's bytes: the unnamed section's entries first, then "[name]" and
// "key=value" lines, each ended by CR LF; no blank lines, no comments.
std::string FormatIni(const std::vector<IniSection>& sections);
// Writes the selected file back if it changed (end of the run); true when
// there was nothing to write or the write succeeded.
bool WriteBackIni();

}  // namespace vtx
