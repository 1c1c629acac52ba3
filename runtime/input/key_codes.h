// Key codes: the runtime numbers keys the classic PC way, one byte per key,
// so a program reads the state of key 1 (Escape) or key 57 (Space) no matter
// which keyboard or platform produced it. Codes below 128 follow the plain
// keyboard scan code of the key; codes from 128 up are the keys that send an
// extended (two-byte) scan code, numbered as the second byte plus 128, e.g.
// the keypad Enter is 28 + 128 = 156.
//
// This file is the one place outside the platform layer that names SDL
// scancodes: it is pure data keyed by them, with no SDL calls.
#pragma once

#include <SDL_scancode.h>

#include <cstdint>

namespace vtx {

// Number of key codes, and so the size of a key state array.
inline constexpr int kKeyCount = 256;

// Value of a key state entry while the key is held down.
inline constexpr uint8_t kKeyDown = 0x80;

// Codes the runtime itself looks at.
inline constexpr uint8_t kKeyEscape = 1;
inline constexpr uint8_t kKeyBackspace = 14;
inline constexpr uint8_t kKeyEnter = 28;
inline constexpr uint8_t kKeyLeftShift = 42;
inline constexpr uint8_t kKeyRightShift = 54;
inline constexpr uint8_t kKeyLeftAlt = 56;
inline constexpr uint8_t kKeySpace = 57;
inline constexpr uint8_t kKeyF4 = 62;
inline constexpr uint8_t kKeyRightAlt = 184;
inline constexpr uint8_t kKeyPadEnter = 156;

// Returns the key code of an SDL scancode, or 0 when the key has no code.
uint8_t KeyCodeFromScancode(SDL_Scancode sc) noexcept;

// Returns the SDL scancode that gives this key code, or SDL_SCANCODE_UNKNOWN
// when no scancode does (code 0 included).
SDL_Scancode ScancodeFromKeyCode(uint8_t code) noexcept;

// Rewrites all 256 entries of keys from an SDL keyboard state array of
// sdlKeyCount entries (indexed by scancode, nonzero when pressed): an entry
// is kKeyDown when a pressed scancode gives that code, else 0. A null state
// or a count of zero or less leaves every key up.
void FillKeyStates(const uint8_t* sdlKeyboardState, int sdlKeyCount, uint8_t (&keys)[256]) noexcept;

}  // namespace vtx
