// The INI service: one INI file held in memory as sections of key/value
// pairs. Section names and keys compare ignoring case (A-Z equal a-z).
// Changes are written back when another file is selected and at the end of
// the run, by replacing the file whole (the old file survives a failed write).
//
// Entries before the first section line belong to the unnamed section, read
// with an empty section name and written back first, without a header line.
#pragma once

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
