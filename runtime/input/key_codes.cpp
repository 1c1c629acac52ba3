// Key codes: one hand-written table from SDL scancodes to key codes; both
// lookups are built from it at compile time, and the build fails if the table
// gives one code to two scancodes.
#include "input/key_codes.h"

#include <array>
#include <cstddef>

namespace vtx {
namespace {

struct KeyPair {
    SDL_Scancode scancode;
    uint8_t code;
};

// Every key of a PC keyboard (plus the usual media, web and power keys) that
// has a code, named by the scancode SDL reports for it on Linux. Scancodes
// left out have none: F16-F24, the edit keys of other keyboards (Undo,
// Copy, ...), brightness and backlight keys, Hangul/Hanja, the lone Katakana
// and Hiragana keys, the AltGr "mode" key (the right Alt key itself is 184),
// the ISO hash key beside Enter (it gives the same scan code as Backslash),
// and AUDIOMUTE / AC_STOP, which other systems send for keys that Linux
// reports as MUTE / CANCEL.
// Codes of keys that Linux does not report at all: 145 "@", 146 ":" and 147
// "_" of NEC PC-98 keyboards, 150 AX, 151 the unlabelled J3100 key, and 227
// Wake.
constexpr KeyPair kKeyTable[] = {
    // Top row and main block, in code order.
    {SDL_SCANCODE_ESCAPE, 1},
    {SDL_SCANCODE_1, 2},
    {SDL_SCANCODE_2, 3},
    {SDL_SCANCODE_3, 4},
    {SDL_SCANCODE_4, 5},
    {SDL_SCANCODE_5, 6},
    {SDL_SCANCODE_6, 7},
    {SDL_SCANCODE_7, 8},
    {SDL_SCANCODE_8, 9},
    {SDL_SCANCODE_9, 10},
    {SDL_SCANCODE_0, 11},
    {SDL_SCANCODE_MINUS, 12},
    {SDL_SCANCODE_EQUALS, 13},
    {SDL_SCANCODE_BACKSPACE, 14},
    {SDL_SCANCODE_TAB, 15},
    {SDL_SCANCODE_Q, 16},
    {SDL_SCANCODE_W, 17},
    {SDL_SCANCODE_E, 18},
    {SDL_SCANCODE_R, 19},
    {SDL_SCANCODE_T, 20},
    {SDL_SCANCODE_Y, 21},
    {SDL_SCANCODE_U, 22},
    {SDL_SCANCODE_I, 23},
    {SDL_SCANCODE_O, 24},
    {SDL_SCANCODE_P, 25},
    {SDL_SCANCODE_LEFTBRACKET, 26},
    {SDL_SCANCODE_RIGHTBRACKET, 27},
    {SDL_SCANCODE_RETURN, 28},
    {SDL_SCANCODE_LCTRL, 29},
    {SDL_SCANCODE_A, 30},
    {SDL_SCANCODE_S, 31},
    {SDL_SCANCODE_D, 32},
    {SDL_SCANCODE_F, 33},
    {SDL_SCANCODE_G, 34},
    {SDL_SCANCODE_H, 35},
    {SDL_SCANCODE_J, 36},
    {SDL_SCANCODE_K, 37},
    {SDL_SCANCODE_L, 38},
    {SDL_SCANCODE_SEMICOLON, 39},
    {SDL_SCANCODE_APOSTROPHE, 40},
    {SDL_SCANCODE_GRAVE, 41},
    {SDL_SCANCODE_LSHIFT, 42},
    {SDL_SCANCODE_BACKSLASH, 43},
    {SDL_SCANCODE_Z, 44},
    {SDL_SCANCODE_X, 45},
    {SDL_SCANCODE_C, 46},
    {SDL_SCANCODE_V, 47},
    {SDL_SCANCODE_B, 48},
    {SDL_SCANCODE_N, 49},
    {SDL_SCANCODE_M, 50},
    {SDL_SCANCODE_COMMA, 51},
    {SDL_SCANCODE_PERIOD, 52},
    {SDL_SCANCODE_SLASH, 53},
    {SDL_SCANCODE_RSHIFT, 54},
    {SDL_SCANCODE_KP_MULTIPLY, 55},
    {SDL_SCANCODE_LALT, 56},
    {SDL_SCANCODE_SPACE, 57},
    {SDL_SCANCODE_CAPSLOCK, 58},
    {SDL_SCANCODE_F1, 59},
    {SDL_SCANCODE_F2, 60},
    {SDL_SCANCODE_F3, 61},
    {SDL_SCANCODE_F4, 62},
    {SDL_SCANCODE_F5, 63},
    {SDL_SCANCODE_F6, 64},
    {SDL_SCANCODE_F7, 65},
    {SDL_SCANCODE_F8, 66},
    {SDL_SCANCODE_F9, 67},
    {SDL_SCANCODE_F10, 68},
    {SDL_SCANCODE_NUMLOCKCLEAR, 69},
    {SDL_SCANCODE_SCROLLLOCK, 70},
    // Keypad, laid out as on the keys: 7 8 9 - / 4 5 6 + / 1 2 3 / 0 .
    {SDL_SCANCODE_KP_7, 71},
    {SDL_SCANCODE_KP_8, 72},
    {SDL_SCANCODE_KP_9, 73},
    {SDL_SCANCODE_KP_MINUS, 74},
    {SDL_SCANCODE_KP_4, 75},
    {SDL_SCANCODE_KP_5, 76},
    {SDL_SCANCODE_KP_6, 77},
    {SDL_SCANCODE_KP_PLUS, 78},
    {SDL_SCANCODE_KP_1, 79},
    {SDL_SCANCODE_KP_2, 80},
    {SDL_SCANCODE_KP_3, 81},
    {SDL_SCANCODE_KP_0, 82},
    {SDL_SCANCODE_KP_PERIOD, 83},
    // The extra key left of Z on ISO keyboards.
    {SDL_SCANCODE_NONUSBACKSLASH, 86},
    {SDL_SCANCODE_F11, 87},
    {SDL_SCANCODE_F12, 88},
    {SDL_SCANCODE_F13, 100},
    {SDL_SCANCODE_F14, 101},
    {SDL_SCANCODE_F15, 102},
    // Japanese and Brazilian keyboards.
    {SDL_SCANCODE_INTERNATIONAL2, 112},  // Katakana/Hiragana (Kana)
    {SDL_SCANCODE_INTERNATIONAL1, 115},  // Ro, and Brazilian "/ ?"
    {SDL_SCANCODE_INTERNATIONAL4, 121},  // Henkan (Convert)
    {SDL_SCANCODE_INTERNATIONAL5, 123},  // Muhenkan (NoConvert)
    {SDL_SCANCODE_INTERNATIONAL3, 125},  // Yen
    {SDL_SCANCODE_KP_COMMA, 126},        // Brazilian keypad "."
    // Codes from 128 up: the extended keys (128 + the second byte of their
    // scan code) and a few keys of Japanese keyboards.
    {SDL_SCANCODE_KP_EQUALS, 141},
    {SDL_SCANCODE_AUDIOPREV, 144},
    {SDL_SCANCODE_LANG5, 148},  // Zenkaku/Hankaku (Kanji)
    {SDL_SCANCODE_STOP, 149},
    {SDL_SCANCODE_AUDIONEXT, 153},
    {SDL_SCANCODE_KP_ENTER, 156},
    {SDL_SCANCODE_RCTRL, 157},
    {SDL_SCANCODE_MUTE, 160},    // the Mute key, as Linux reports it
    {SDL_SCANCODE_CALCULATOR, 161},
    {SDL_SCANCODE_AUDIOPLAY, 162},
    {SDL_SCANCODE_AUDIOSTOP, 164},
    {SDL_SCANCODE_VOLUMEDOWN, 174},
    {SDL_SCANCODE_VOLUMEUP, 176},
    {SDL_SCANCODE_AC_HOME, 178},
    {SDL_SCANCODE_INTERNATIONAL6, 179},  // keypad "," of Japanese keypads
    {SDL_SCANCODE_KP_DIVIDE, 181},
    {SDL_SCANCODE_PRINTSCREEN, 183},
    {SDL_SCANCODE_RALT, 184},
    {SDL_SCANCODE_PAUSE, 197},
    {SDL_SCANCODE_HOME, 199},
    {SDL_SCANCODE_UP, 200},
    {SDL_SCANCODE_PAGEUP, 201},
    {SDL_SCANCODE_LEFT, 203},
    {SDL_SCANCODE_RIGHT, 205},
    {SDL_SCANCODE_END, 207},
    {SDL_SCANCODE_DOWN, 208},
    {SDL_SCANCODE_PAGEDOWN, 209},
    {SDL_SCANCODE_INSERT, 210},
    {SDL_SCANCODE_DELETE, 211},
    {SDL_SCANCODE_LGUI, 219},
    {SDL_SCANCODE_RGUI, 220},
    {SDL_SCANCODE_APPLICATION, 221},  // the Menu key
    {SDL_SCANCODE_POWER, 222},
    {SDL_SCANCODE_SLEEP, 223},
    {SDL_SCANCODE_AC_SEARCH, 229},
    {SDL_SCANCODE_AC_BOOKMARKS, 230},
    {SDL_SCANCODE_AC_REFRESH, 231},
    {SDL_SCANCODE_CANCEL, 232},  // the web Stop key: X11 reports it as Cancel
    {SDL_SCANCODE_AC_FORWARD, 233},
    {SDL_SCANCODE_AC_BACK, 234},
    {SDL_SCANCODE_COMPUTER, 235},
    {SDL_SCANCODE_MAIL, 236},
    {SDL_SCANCODE_MEDIASELECT, 237},
};

struct KeyMaps {
    std::array<uint8_t, SDL_NUM_SCANCODES> codeOf{};
    std::array<uint16_t, kKeyCount> scancodeOf{};
    bool valid = true;  // false when two scancodes share a code, or a pair is out of range
};

consteval KeyMaps BuildKeyMaps() {
    KeyMaps maps;
    for (const KeyPair& pair : kKeyTable) {
        const int sc = static_cast<int>(pair.scancode);
        if (sc <= SDL_SCANCODE_UNKNOWN || sc >= SDL_NUM_SCANCODES || pair.code == 0 ||
            maps.codeOf[static_cast<size_t>(sc)] != 0 || maps.scancodeOf[pair.code] != 0) {
            maps.valid = false;
            continue;
        }
        maps.codeOf[static_cast<size_t>(sc)] = pair.code;
        maps.scancodeOf[pair.code] = static_cast<uint16_t>(sc);
    }
    return maps;
}

constexpr KeyMaps kKeyMaps = BuildKeyMaps();
static_assert(kKeyMaps.valid, "each key code must come from exactly one scancode");

}  // namespace

// Returns the key code of an SDL scancode, or 0 when the key has no code.
uint8_t KeyCodeFromScancode(SDL_Scancode sc) noexcept {
    const int index = static_cast<int>(sc);
    if (index < 0 || index >= SDL_NUM_SCANCODES) return 0;
    return kKeyMaps.codeOf[static_cast<size_t>(index)];
}

// Returns the SDL scancode that gives this key code, or SDL_SCANCODE_UNKNOWN.
SDL_Scancode ScancodeFromKeyCode(uint8_t code) noexcept {
    return static_cast<SDL_Scancode>(kKeyMaps.scancodeOf[code]);
}

// Rewrites all 256 key states from an SDL keyboard state array.
void FillKeyStates(const uint8_t* sdlKeyboardState, int sdlKeyCount, uint8_t (&keys)[256]) noexcept {
    for (uint8_t& key : keys) key = 0;
    if (sdlKeyboardState == nullptr) return;
    const int count = sdlKeyCount < SDL_NUM_SCANCODES ? sdlKeyCount : SDL_NUM_SCANCODES;
    for (int sc = 1; sc < count; ++sc) {
        if (sdlKeyboardState[sc] == 0) continue;
        const uint8_t code = kKeyMaps.codeOf[static_cast<size_t>(sc)];
        if (code != 0) keys[code] = kKeyDown;
    }
}

}  // namespace vtx
