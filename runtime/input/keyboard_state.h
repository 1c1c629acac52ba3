// The runtime's keyboard state: 256 key states indexed by key code
// (0x80 = down), fed by the window's key events and taken over by each poll
// while the window has the keyboard focus.
//
// A key can go down and up again between two polls (a quick tap is shorter
// than a frame). Such a press is latched twice, once for KeyState and once
// for the character reader, so each of them sees it down exactly once; a
// latch nobody reads lapses after the next full frame. Mouse button presses
// are latched the same way (mouse.cpp).
#pragma once

#include <cstdint>

#include "input/key_codes.h"

namespace vtx {

// Bits of a polled key state besides kKeyDown: a press that went by since
// the reader of that kind last looked.
inline constexpr uint8_t kStateTap = 0x01;
inline constexpr uint8_t kCharacterTap = 0x02;

// Bits of InputDevicesRecord::pressModifiers.
inline constexpr uint8_t kPressShift = 0x01;
inline constexpr uint8_t kPressAltGr = 0x02;
inline constexpr uint8_t kPressCapsLock = 0x04;
inline constexpr uint8_t kPressNumLock = 0x08;

// Polls the keyboard (PollKeyboard) and marks the input as polled.
void PollKeyboardState();
// True while the key with that code was down at the last poll, or went down
// since a reader last saw it (for the runtime's own checks: Escape, waits).
bool KeyDown(int code);
// True while the key was held at the last poll (taps not counted: for
// waits that must not stay busy with a press no reader took).
bool KeyHeld(int code);
// Key and mouse button presses noted so far: a change says a new press came.
uint32_t PressCount();
// The character reader's view: down at the last poll or tapped since the
// character reader last looked; tapped: a new press since then.
bool CharacterKeyDown(int code);
bool CharacterKeyTapped(int code);
// The character reader has looked at every key: its taps are used up.
void UseCharacterTaps();

// A frame was shown: latches that waited a whole frame lapse.
void AgeInputTaps();

// Records one key event of the window (SDL scancode, pressed or released,
// a repeat of a held key, lock and modifier bits).
void NoteKeyEvent(int32_t scancode, bool down, bool repeat, uint16_t mods);
// Forgets every key state (start-up).
void ResetKeyStates();

}  // namespace vtx
