// The input record: keyboard, mouse and joystick state of the program, one
// instance created at start-up, and the services start-up, the window's
// events and shutdown call.
#pragma once

#include <cstdint>
#include <string>

#include "input/key_codes.h"
#include "platform/input.h"
#include "platform/window.h"

namespace vtx {

inline constexpr int kMaxJoysticks = 10;

// Mouse modes: the cooperation level last set for the mouse.
inline constexpr int32_t kMouseExclusive = 5;  // exclusive + foreground: pointer hidden
inline constexpr int32_t kMouseShared = 6;     // non-exclusive + foreground: pointer shown

// Statuses of InitInputDevices.
inline constexpr uint32_t kNoInputService = 0x8000000A;
inline constexpr uint32_t kNoKeyboardDevice = 0x8000000B;
inline constexpr uint32_t kNoMouseDevice = 0x8000000C;

struct InputDevicesRecord {
    int32_t mouseX = 100, mouseY = 100;  // runtime mouse position in client pixels
    int32_t selectedMouse = 0;           // stored by SelectMouse; nothing reads it
    bool inputService = false;           // the system's event service runs
    bool keyboardDevice = false;         // key states come from key events
    bool mouseDevice = false;            // the mouse was taken exclusively at start-up
    platform::JoystickHandle joysticks[kMaxJoysticks] = {};
    std::string joystickNames[kMaxJoysticks];  // "device name, product name"
    uint8_t keys[kKeyCount] = {};        // key states of the last poll: 0x80 held, plus the tap bits
    uint8_t heldKeys[kKeyCount] = {};    // key states as the key events left them
    // Presses not yet seen by KeyState (state taps) and by the character
    // reader (character taps): frames each stays waiting, 0 = none.
    uint8_t stateTaps[kKeyCount] = {};
    uint8_t characterTaps[kKeyCount] = {};
    uint16_t keyMods = 0;                // lock and modifier bits of the last key event
    // The modifiers each key went down with (kPressShift, ...): a key gives
    // the character of its press, even when Shift is let go before the key.
    uint8_t pressModifiers[kKeyCount] = {};
    // Mouse button presses (left, right, middle) not yet seen by a read:
    // frames each stays waiting, 0 = none.
    uint8_t buttonTaps[3] = {};
    uint32_t presses = 0;                // key and mouse button presses noted so far
    platform::WindowHandle window = nullptr;
    bool focused = false;                // the program's window has the keyboard focus
    bool pointerShown = false;
    int32_t mouseMode = 0;
    int32_t joystickCount = 0;
    bool polled = true;                  // the next mouse read computes fresh movement
    int16_t frameDx = 0, frameDy = 0, frameWheel = 0;  // movement of the last fresh read
    int32_t motionDx = 0, motionDy = 0, wheelTurns = 0;  // motion events since that read
};

// The one input record; start-up resets it (CreateInputDevices).
extern InputDevicesRecord InputDevices;

// Resets the record to its constructed state (mouse at 100, 100).
void CreateInputDevices();
// Takes the keyboard, the mouse (exclusively when asked) and the joysticks
// for window. Returns 1, or the status of the last failure.
uint32_t InitInputDevices(platform::WindowHandle window, bool exclusiveMouse);
// Gives the (possibly new) program window to the input devices.
void GiveWindowToInputDevices(platform::WindowHandle window);
// Puts the pointer state back on the window after a screen-mode change.
void ReapplyPointerState();
// Lets go of the mouse and closes the joysticks.
void ReleaseInputDevices();
// Feeds key, mouse, focus and joystick events of the window to the devices.
void NoteInputEvent(const platform::WindowEvent& event);

// Marks the input as polled: the next mouse read computes fresh movement.
void MarkInputPolled();

}  // namespace vtx
