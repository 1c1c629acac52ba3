// The window system's keyboard layout: the character a key gives with the
// current layout and modifiers, translated by the X server's keyboard map
// (libX11 is the one SDL loaded already; XKB keeps the layout's groups and
// levels, so Shift+1 gives "!" on a US layout and AltGr+q "@" on a German
// one).
#include <SDL.h>
#include <SDL_syswm.h>
#include <dlfcn.h>

#include "input.h"

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#endif

namespace vtx::platform {

#if defined(SDL_VIDEO_DRIVER_X11)
namespace {

// The X calls used here, looked up once in the loaded libX11.
struct XKeyboardCalls {
    using LookupStringFn = int (*)(XKeyEvent*, char*, int, KeySym*, XComposeStatus*);
    using KeysymToModifiersFn = unsigned (*)(Display*, KeySym);
    using KeysymToKeycodeFn = KeyCode (*)(Display*, KeySym);
    using GetStateFn = Status (*)(Display*, unsigned, XkbStatePtr);
    LookupStringFn lookupString = nullptr;
    KeysymToModifiersFn keysymToModifiers = nullptr;
    KeysymToKeycodeFn keysymToKeycode = nullptr;
    GetStateFn getState = nullptr;
    bool loaded = false;
};

const XKeyboardCalls& Calls() {
    static const XKeyboardCalls calls = [] {
        XKeyboardCalls c;
        void* library = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
        if (library == nullptr) return c;
        c.lookupString = reinterpret_cast<XKeyboardCalls::LookupStringFn>(dlsym(library, "XLookupString"));
        c.keysymToModifiers =
            reinterpret_cast<XKeyboardCalls::KeysymToModifiersFn>(dlsym(library, "XkbKeysymToModifiers"));
        c.keysymToKeycode = reinterpret_cast<XKeyboardCalls::KeysymToKeycodeFn>(dlsym(library, "XKeysymToKeycode"));
        c.getState = reinterpret_cast<XKeyboardCalls::GetStateFn>(dlsym(library, "XkbGetState"));
        c.loaded = c.lookupString != nullptr && c.keysymToModifiers != nullptr && c.keysymToKeycode != nullptr &&
                   c.getState != nullptr;
        return c;
    }();
    return calls;
}

// Linux numbers its keys as the PC scan codes for the main block (Escape 1
// to F12 88), and the X server's evdev key codes are those plus 8. The other
// keys that give characters are listed here by their runtime code.
int32_t EvdevCode(int32_t code) {
    if (code >= 1 && code <= 88 && code != 84 && code != 85) return code;
    switch (code) {
        case 112: return 93;   // Katakana/Hiragana
        case 115: return 89;   // Ro (the Japanese backslash)
        case 121: return 92;   // Henkan
        case 123: return 94;   // Muhenkan
        case 125: return 124;  // Yen
        case 126: return 121;  // keypad comma
        case 141: return 117;  // keypad equals
        case 156: return 96;   // keypad Enter
        case 181: return 98;   // keypad divide
        default: return 0;
    }
}

Display* DisplayOf(WindowHandle window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return nullptr;
    return info.info.x11.display;
}

}  // namespace

int32_t LayoutCharacter(WindowHandle window, int32_t code, const KeyModifiers& modifiers) {
    const XKeyboardCalls& x = Calls();
    Display* display = x.loaded ? DisplayOf(window) : nullptr;
    // Only a server with evdev key codes can be asked by scan code.
    if (display == nullptr || x.keysymToKeycode(display, XK_Escape) != 9) return -1;
    const int32_t evdev = EvdevCode(code);
    if (evdev == 0) return 0;
    unsigned state = 0;
    if (modifiers.shift) state |= ShiftMask;
    if (modifiers.capsLock) state |= LockMask;
    if (modifiers.numLock) state |= x.keysymToModifiers(display, XK_Num_Lock);
    if (modifiers.altGr) state |= x.keysymToModifiers(display, XK_ISO_Level3_Shift);
    XkbStateRec xkb{};
    if (x.getState(display, XkbUseCoreKbd, &xkb) == Success) state |= XkbBuildCoreState(0, xkb.group);
    XKeyEvent event{};
    event.type = KeyPress;
    event.display = display;
    event.keycode = static_cast<unsigned>(evdev + 8);
    event.state = state;
    char text[8] = {};
    KeySym keysym = NoSymbol;
    const int n = x.lookupString(&event, text, sizeof text, &keysym, nullptr);
    // Latin-1 keysyms are the runtime's 8-bit code page, whatever text the
    // process locale would make of them; other keys (keypad digits, Tab)
    // give their ASCII text, and the rest (dead keys, the euro sign) none.
    if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF)) return static_cast<int32_t>(keysym);
    if (keysym >= 0x1000020 && keysym <= 0x10000FF && keysym != 0x100007F) return static_cast<int32_t>(keysym - 0x1000000);
    return n == 1 && static_cast<uint8_t>(text[0]) < 0x80 ? text[0] : 0;
}

#else

int32_t LayoutCharacter(WindowHandle, int32_t, const KeyModifiers&) { return -1; }

#endif

}  // namespace vtx::platform
