// Characters of keys and the once-per-press character reader behind InKey.
#include "input/key_characters.h"

#include <SDL_keycode.h>

#include "input/input_commands.h"
#include "input/input_devices.h"
#include "input/keyboard_state.h"
#include "platform/input.h"

namespace vtx {
namespace {

// The character last reported by ReadKeyChar (lower case for letters).
uint8_t LastKeyCharacter = 0;

// The character reader's view of a key (a tap it has not seen counts as down).
bool IsDown(int32_t code) {
    if (InputDevices.keyboardDevice) return CharacterKeyDown(code);
    int count = 0;
    const uint8_t* state = platform::KeyboardState(count);
    const SDL_Scancode sc = ScancodeFromKeyCode(static_cast<uint8_t>(code));
    return sc != SDL_SCANCODE_UNKNOWN && state != nullptr && sc < count && state[sc] != 0;
}

// Keypad keys give their characters; the digits and the point only with
// Num Lock on (else they are cursor keys).
int32_t KeypadCharacter(int32_t key, bool numLock) {
    switch (key) {
        case SDLK_KP_DIVIDE: return '/';
        case SDLK_KP_MULTIPLY: return '*';
        case SDLK_KP_MINUS: return '-';
        case SDLK_KP_PLUS: return '+';
        case SDLK_KP_EQUALS: return '=';
        case SDLK_KP_COMMA: return ',';
        case SDLK_KP_PERIOD: return numLock ? '.' : 0;
        default: break;
    }
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return numLock ? '1' + (key - SDLK_KP_1) : 0;
    if (key == SDLK_KP_0) return numLock ? '0' : 0;
    return 0;
}

bool IsLowerLetter(int32_t c) { return (c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7); }

}  // namespace

uint8_t KeyCharacter(int32_t code) {
    switch (code) {
        case 42: case 54: case 29: case 56: case 58: case 69: case 221:  // Shift, Ctrl, Alt, locks, Menu
            return 0;
        case kKeyEnter: case kKeyPadEnter:
            return 10;
        case kKeyBackspace:
            return 8;
        default:
            break;
    }
    const SDL_Scancode sc = ScancodeFromKeyCode(static_cast<uint8_t>(code));
    if (sc == SDL_SCANCODE_UNKNOWN) return 0;
    // The layout translates the key with the modifiers it went down with, as
    // typing does: Shift+1 gives "!" even when Shift is let go first.
    const uint8_t press = InputDevices.pressModifiers[code];
    platform::KeyModifiers modifiers;
    modifiers.shift = (press & kPressShift) != 0;
    modifiers.altGr = (press & kPressAltGr) != 0;
    modifiers.capsLock = (press & kPressCapsLock) != 0;
    modifiers.numLock = (press & kPressNumLock) != 0;
    int32_t c = platform::LayoutCharacter(InputDevices.window, code, modifiers);
    if (c < 0) {
        // No layout to ask: the key's unshifted character, Caps Lock for letters.
        const int32_t key = platform::KeyFromScancode(sc);
        c = (key & SDLK_SCANCODE_MASK) != 0 ? KeypadCharacter(key, modifiers.numLock) : key;
        if (c > 0 && c <= 0xFF && IsLowerLetter(c) && modifiers.capsLock) c -= 0x20;
    }
    if (c <= 0 || c > 0xFF || c == 0x7F) return 0;  // beyond the 8-bit code page, or Delete
    // With Control held a letter is a control character.
    if ((IsDown(29) || IsDown(157)) && c < 0x80 && ((c >= 'a' && c <= 'z') || (c >= '@' && c <= '_'))) c &= 0x1F;
    if (c >= 1 && c <= 31 && c != 8 && c != 10) return 0;
    return static_cast<uint8_t>(c);
}

void ResetLastKeyCharacter() { LastKeyCharacter = 0; }

}  // namespace vtx

uint8_t ReadKeyChar() {
    using namespace vtx;
    PollKeyboard();
    uint8_t c = 0;
    uint8_t compare = 0;
    bool newPress = false;
    for (int32_t code = 0; code < 255; ++code) {
        if (!IsDown(code)) continue;
        c = KeyCharacter(code);
        if (c == 0) continue;
        compare = c >= 'A' && c <= 'Z' ? static_cast<uint8_t>(c + 0x20) : c;
        if ((IsDown(kKeyLeftShift) || IsDown(kKeyRightShift)) && c >= 'a' && c <= 'z') c -= 0x20;
        newPress = InputDevices.keyboardDevice && CharacterKeyTapped(code);
        break;
    }
    if (InputDevices.keyboardDevice) UseCharacterTaps();
    // A key held down is reported once; a new press of the same key (two
    // quick taps between two reads) is reported again.
    if (compare == LastKeyCharacter && !newPress) return 0;
    LastKeyCharacter = compare;
    return c;
}

RtString InKey() {
    const char text[2] = {static_cast<char>(ReadKeyChar()), '\0'};
    return RtString(text);
}
