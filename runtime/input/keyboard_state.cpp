// Keyboard state polled from the platform through the key-code table.
#include "input/keyboard_state.h"

#include "platform/window.h"

namespace vtx {
namespace {

struct KeyboardRecord {
    uint8_t keys[kKeyCount] = {};
    bool polled = false;
};
KeyboardRecord Keyboard;

}  // namespace

void PollKeyboardState() {
    int count = 0;
    const uint8_t* state = platform::KeyboardState(count);
    if (state != nullptr) FillKeyStates(state, count, Keyboard.keys);
    Keyboard.polled = true;
}

bool KeyDown(int code) { return code >= 0 && code < kKeyCount && (Keyboard.keys[code] & 0x80) != 0; }

}  // namespace vtx
