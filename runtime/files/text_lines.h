// Splitting a file's bytes into text lines for the INI and line-store
// readers. A line ends at LF, CR LF or a lone CR (files from systems that
// end lines with CR alone keep their lines apart), and at the end of the data.
#pragma once

#include <cstddef>

namespace vtx {

// Takes the next line from [at, end): sets line and length (without its
// ending) and moves at past the ending. False when nothing is left.
inline bool NextTextLine(const char*& at, const char* end, const char*& line, size_t& length) {
    if (at >= end) return false;
    line = at;
    const char* p = at;
    while (p < end && *p != '\n' && *p != '\r') ++p;
    length = static_cast<size_t>(p - at);
    if (p < end && *p++ == '\r' && p < end && *p == '\n') ++p;  // CR LF is one ending
    at = p;
    return true;
}

}  // namespace vtx
