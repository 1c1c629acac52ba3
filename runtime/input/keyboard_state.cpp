// Key states: fed by the window's key events, taken over by each poll while
// the window has the keyboard focus, so that they freeze while it has not.
#include "input/keyboard_state.h"

#include <cstring>

#include "input/input_commands.h"
#include "input/input_devices.h"
#include "platform/input.h"
#include "platform/window.h"

namespace vtx {
namespace {

// A latched press waits through the rest of this frame and the whole next
// one, so a reader that looks once a frame sees it wherever in the frame the
// tap fell.
constexpr uint8_t kTapFrames = 2;

// Without key events: the system's own view of the keyboard, by key code.
bool SystemKeyDown(int32_t code) {
    const SDL_Scancode sc = ScancodeFromKeyCode(static_cast<uint8_t>(code));
    int count = 0;
    const uint8_t* state = platform::KeyboardState(count);
    return sc != SDL_SCANCODE_UNKNOWN && state != nullptr && sc < count && state[sc] != 0;
}

bool InRange(int code) { return code >= 0 && code < kKeyCount; }

}  // namespace

void NoteKeyEvent(int32_t scancode, bool down, bool repeat, uint16_t mods) {
    InputDevicesRecord& in = InputDevices;
    in.keyMods = mods;
    const uint8_t code = KeyCodeFromScancode(static_cast<SDL_Scancode>(scancode));
    if (code == 0) return;
    in.heldKeys[code] = down ? kKeyDown : 0;
    if (!down || repeat) return;
    ++in.presses;
    in.stateTaps[code] = in.characterTaps[code] = kTapFrames;
    const bool shift = in.heldKeys[kKeyLeftShift] != 0 || in.heldKeys[kKeyRightShift] != 0;
    in.pressModifiers[code] = static_cast<uint8_t>((shift ? kPressShift : 0) |
                                                   (in.heldKeys[kKeyRightAlt] != 0 ? kPressAltGr : 0) |
                                                   ((mods & platform::kModCapsLock) != 0 ? kPressCapsLock : 0) |
                                                   ((mods & platform::kModNumLock) != 0 ? kPressNumLock : 0));
}

void ResetKeyStates() {
    InputDevicesRecord& in = InputDevices;
    std::memset(in.keys, 0, sizeof in.keys);
    std::memset(in.heldKeys, 0, sizeof in.heldKeys);
    std::memset(in.stateTaps, 0, sizeof in.stateTaps);
    std::memset(in.characterTaps, 0, sizeof in.characterTaps);
    std::memset(in.buttonTaps, 0, sizeof in.buttonTaps);
    std::memset(in.pressModifiers, 0, sizeof in.pressModifiers);
    in.keyMods = 0;
}

void PollKeyboardState() {
    PollKeyboard();
    MarkInputPolled();
}

bool KeyDown(int code) { return InRange(code) && InputDevices.keys[code] != 0; }

bool KeyHeld(int code) { return InRange(code) && (InputDevices.keys[code] & kKeyDown) != 0; }

uint32_t PressCount() { return InputDevices.presses; }

bool CharacterKeyDown(int code) {
    return InRange(code) && (InputDevices.keys[code] & (kKeyDown | kCharacterTap)) != 0;
}

bool CharacterKeyTapped(int code) { return InRange(code) && (InputDevices.keys[code] & kCharacterTap) != 0; }

void UseCharacterTaps() {
    InputDevicesRecord& in = InputDevices;
    for (int k = 0; k < kKeyCount; ++k) {
        if ((in.keys[k] & kCharacterTap) == 0) continue;
        in.keys[k] &= static_cast<uint8_t>(~kCharacterTap);
        in.characterTaps[k] = 0;
    }
}

void AgeInputTaps() {
    InputDevicesRecord& in = InputDevices;
    for (int k = 0; k < kKeyCount; ++k) {
        if (in.stateTaps[k] != 0 && --in.stateTaps[k] == 0) in.keys[k] &= static_cast<uint8_t>(~kStateTap);
        if (in.characterTaps[k] != 0 && --in.characterTaps[k] == 0)
            in.keys[k] &= static_cast<uint8_t>(~kCharacterTap);
    }
    for (uint8_t& tap : in.buttonTaps)
        if (tap != 0) --tap;
}

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
        for (int i = 0; i < n; ++i)
            NoteKeyEvent(events[i].scancode, events[i].down, events[i].repeat, events[i].mods);
        if (n < 64) break;
    }
    for (int k = 0; k < kKeyCount; ++k)
        in.keys[k] = static_cast<uint8_t>(in.heldKeys[k] | (in.stateTaps[k] != 0 ? kStateTap : 0) |
                                          (in.characterTaps[k] != 0 ? kCharacterTap : 0));
}

int32_t KeyState(int32_t code) {
    using namespace vtx;
    PollKeyboard();
    const int32_t k = code & 0xFF;  // mod 256, negative codes included
    if (!InputDevices.keyboardDevice) return SystemKeyDown(k) ? 1 : 0;
    InputDevicesRecord& in = InputDevices;
    const bool down = (in.keys[k] & (kKeyDown | kStateTap)) != 0;
    if ((in.keys[k] & kStateTap) != 0) {  // a tap is seen once; a held key stays down
        in.keys[k] &= static_cast<uint8_t>(~kStateTap);
        in.stateTaps[k] = 0;
    }
    return down ? 1 : 0;
}
