// Command line reduction used by the process entry.
#include "host/command_line.h"

namespace vtx {
namespace {
bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }
}  // namespace

const char* SkipProgramName(const char* line) noexcept {
    if (line == nullptr) return "";
    const char* p = line;
    while (IsBlankOrTab(*p)) ++p;
    if (*p == '"') {
        ++p;
        while (*p != 0 && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p != 0 && !IsBlankOrTab(*p)) ++p;
    }
    while (IsBlankOrTab(*p)) ++p;
    return p;
}

}  // namespace vtx
