// The runtime's keyboard state: 256 key states indexed by key code
// (0x80 = down), read from the platform once per frame.
#pragma once

#include <cstdint>

#include "input/key_codes.h"

namespace vtx {

// Reads the keyboard into the key states and marks the input as polled.
void PollKeyboardState();
// True while the key with that code was down at the last poll.
bool KeyDown(int code);

}  // namespace vtx
