// The INI service: one INI file held in memory as sections of key/value
// pairs. Section names and keys compare ignoring case (A-Z equal a-z).
// Changes are written back when another file is selected and at the end of
// the run, by replacing the file whole (the old file survives a failed write).
//
// Entries before the first section line belong to the unnamed section, read
// with an empty section name and written back first, without a header line.
#pragma once

#include <string>
#include <vector>

#include "../core/rt_string.h"

// Writes the current file back if changed, then loads the named file (disk,
// memory name or pack archive entry; a missing file gives no sections). An
// empty name just closes.
void IniOpen(const RtString& fileName);
// The value of key in section, or defaultValue when either does not exist.
RtString IniGet(const RtString& section, const RtString& key, const RtString& defaultValue);
// Sets key in section to value, creating both as needed. An empty key
// removes the whole section (the last section takes its place).
void IniPut(const RtString& section, const RtString& key, const RtString& value);

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
