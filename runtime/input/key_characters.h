// Characters of keys: the current layout's character for a key code, with
// the Shift, Caps Lock and Num Lock rules of the runtime.
#pragma once

#include <cstdint>

namespace vtx {

// The character a key code gives while it is down (0: none). Shift and
// Control keys, Caps Lock, Num Lock and Menu give none; both Enter keys give
// 10 and Backspace 8; other control characters give none.
uint8_t KeyCharacter(int32_t code);

// Forgets the last reported character (start-up).
void ResetLastKeyCharacter();

}  // namespace vtx
