// The last error record, kept in the source position words.
#include "files/last_error_internal.h"

#include <cstdio>

#include "host/host_state.h"

namespace vtx {

const char* ErrorCodeText(uint32_t code) {
    switch (code) {
        case 0: return "success";
        case 3: return "no such file";
        case 7: return "out of memory";
        case 9: return "out of bounds";
        case 20: return "out of data";
        default: return "unknown error";
    }
}

RtString FormatErrorCode(uint32_t code) {
    char text[64];
    std::snprintf(text, sizeof text, "%.4d %s", static_cast<int>(code), ErrorCodeText(code));
    return RtString(text);
}

void SetLastError(uint32_t code) {
    Host.source.errorCode = static_cast<int32_t>(code);
    Host.source.errorLine = Host.source.line;
}

uint32_t LastErrorCode() { return static_cast<uint32_t>(Host.source.errorCode); }

}  // namespace vtx

RtString LastErrorText() { return vtx::FormatErrorCode(vtx::LastErrorCode()); }

void ClearLastError() { vtx::Host.source.errorCode = 0; }
