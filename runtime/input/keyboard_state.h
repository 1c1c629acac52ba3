// The runtime's keyboard state: 256 key states indexed by key code
// (0x80 = down), fed by the window's key events and taken over by each poll
// while the window has the keyboard focus.
#pragma once

#include <cstdint>

#include "input/key_codes.h"

namespace vtx {

// Polls the keyboard (PollKeyboard) and marks the input as polled.
void PollKeyboardState();
// True while the key with that code was down at the last poll.
bool KeyDown(int code);

// Records one key event of the window (SDL scancode, pressed or released,
// lock and modifier bits).
void NoteKeyEvent(int32_t scancode, bool down, uint16_t mods);
// Forgets every key state (start-up).
void ResetKeyStates();

}  // namespace vtx
