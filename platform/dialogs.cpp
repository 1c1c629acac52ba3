// Message boxes, and the switch that keeps them from blocking unattended runs.
#include <SDL.h>

#include <cstdlib>
#include <cstring>

#include "window.h"

namespace vtx::platform {

bool DialogsAllowed() {
    const char* value = std::getenv("VTX_NO_DIALOGS");
    return value == nullptr || std::strcmp(value, "1") != 0;
}

std::string CodePageToUtf8(const char* text) {
    std::string out;
    if (text == nullptr) return out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
        if (*p < 0x80) {
            out += static_cast<char>(*p);
        } else {
            out += static_cast<char>(0xC0 | (*p >> 6));
            out += static_cast<char>(0x80 | (*p & 0x3F));
        }
    }
    return out;
}

std::string Utf8ToCodePage(const char* text) {
    std::string out;
    if (text == nullptr) return out;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p != 0) {
        if (*p < 0x80) {
            out += static_cast<char>(*p++);
            continue;
        }
        int extra = (*p & 0xE0) == 0xC0 ? 1 : (*p & 0xF0) == 0xE0 ? 2 : (*p & 0xF8) == 0xF0 ? 3 : 0;
        if (extra == 0) {  // not a lead byte
            out += '?';
            ++p;
            continue;
        }
        uint32_t code = *p++ & (0x3F >> extra);
        for (; extra > 0 && (*p & 0xC0) == 0x80; --extra) code = (code << 6) | (*p++ & 0x3F);
        out += code <= 0xFF && extra == 0 ? static_cast<char>(code) : '?';
    }
    return out;
}

void WarningBox(const char* caption, const char* text) {
    if (!DialogsAllowed()) return;
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, CodePageToUtf8(caption).c_str(), CodePageToUtf8(text).c_str(),
                             nullptr);
}

}  // namespace vtx::platform
