// Key states: fed by the window's key events, taken over by each poll while
// the window has the keyboard focus, so that they freeze while it has not.
#include "input/keyboard_state.h"

#include <cstring>

#include "input/input_commands.h"
#include "input/input_devices.h"
#include "platform/input.h"
#include "platform/window.h"

namespace vtx {

void NoteKeyEvent(int32_t scancode, bool down, uint16_t mods) {
    InputDevicesRecord& in = InputDevices;
    in.keyMods = mods;
    const uint8_t code = KeyCodeFromScancode(static_cast<SDL_Scancode>(scancode));
    if (code != 0) in.heldKeys[code] = down ? kKeyDown : 0;
}

void ResetKeyStates() {
    std::memset(InputDevices.keys, 0, sizeof InputDevices.keys);
    std::memset(InputDevices.heldKeys, 0, sizeof InputDevices.heldKeys);
    InputDevices.keyMods = 0;
}

void PollKeyboardState() {
    PollKeyboard();
    MarkInputPolled();
}

bool KeyDown(int code) { return code >= 0 && code < kKeyCount && (InputDevices.keys[code] & kKeyDown) != 0; }

namespace {

// Without key events: the system's own view of the keyboard, by key code.
bool SystemKeyDown(int32_t code) {
    const SDL_Scancode sc = ScancodeFromKeyCode(static_cast<uint8_t>(code));
    int count = 0;
    const uint8_t* state = platform::KeyboardState(count);
    return sc != SDL_SCANCODE_UNKNOWN && state != nullptr && sc < count && state[sc] != 0;
}

}  // namespace
}  // namespace vtx

void PollKeyboard() {
    using namespace vtx;
    InputDevicesRecord& in = InputDevices;
    if (!in.focused) return;  // the key states keep their last values
    if (!in.keyboardDevice) {
        int count = 0;
        FillKeyStates(platform::KeyboardState(count), count, in.keys);
        return;
    }
    // The waiting key events are taken here, so they never reach the window
    // procedure.
    platform::KeyEvent events[64];
    while (true) {
        const int n = platform::TakeKeyEvents(events, 64);
        for (int i = 0; i < n; ++i) NoteKeyEvent(events[i].scancode, events[i].down, events[i].mods);
        if (n < 64) break;
    }
    std::memcpy(in.keys, in.heldKeys, sizeof in.keys);
}

int32_t KeyState(int32_t code) {
    using namespace vtx;
    PollKeyboard();
    const int32_t k = code & 0xFF;  // mod 256, negative codes included
    if (InputDevices.keyboardDevice) return (InputDevices.keys[k] & kKeyDown) != 0 ? 1 : 0;
    return SystemKeyDown(k) ? 1 : 0;
}
