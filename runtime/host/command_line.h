// Reducing the raw command line to its arguments.
#pragma once

namespace vtx {

// Skips the program name: leading blanks and tabs, then a double-quoted name
// up to and including its closing quote or an unquoted name up to the next
// blank or tab, then blanks and tabs. Returns a pointer into line.
const char* SkipProgramName(const char* line) noexcept;

}  // namespace vtx
