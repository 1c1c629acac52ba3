// Keyboard, pointer and joystick services over SDL2.
#pragma once

#include <cstdint>
#include <string>

#include "window.h"

struct _SDL_Joystick;

namespace vtx::platform {

// --- Keyboard ----------------------------------------------------------------
// True when the event service runs, so that key events reach the program.
bool KeyEventsAvailable();

struct KeyEvent {
    int32_t scancode = 0;
    bool down = false;
    bool repeat = false;  // a repeat of a key held down, not a new press
    uint16_t mods = 0;
};
// Fetches new events from the system, drops the waiting text events and
// removes up to max (at most 64) waiting key events, oldest first.
int TakeKeyEvents(KeyEvent* out, int max);
// The layout's character code for a scancode: Unicode for printable keys,
// else one of SDL's key values (keypad keys, function keys, ...).
int32_t KeyFromScancode(int32_t scancode);
// Bits of KeyEvent::mods.
inline constexpr uint16_t kModNumLock = 0x1000;
inline constexpr uint16_t kModCapsLock = 0x2000;

// The modifier keys and locks that choose a key's character.
struct KeyModifiers {
    bool shift = false, altGr = false, capsLock = false, numLock = false;
};
// The character of the key with the runtime key code `code` (PC scan code,
// extended keys 128 + their second byte) in the window system's current
// layout with those modifiers: 1 to 255 in the runtime's 8-bit code page, 0
// when the key gives none, -1 when the layout cannot be asked (no X display).
int32_t LayoutCharacter(WindowHandle window, int32_t code, const KeyModifiers& modifiers);

// True when window has the keyboard focus.
bool HasKeyboardFocus(WindowHandle window);

// --- Pointer -----------------------------------------------------------------
inline constexpr uint32_t kLeftButton = 1;
inline constexpr uint32_t kMiddleButton = 2;
inline constexpr uint32_t kRightButton = 4;
// The pointer's position on the desktop and the buttons held down (window:
// any window of the program, to reach its display).
void GlobalPointer(WindowHandle window, int32_t& x, int32_t& y, uint32_t& buttons);
// Moves the pointer to a desktop position.
void MovePointer(int32_t x, int32_t y);
// Shows the standard arrow or no pointer at all.
void ShowPointer(bool show);
// Relative mode: pointer hidden and held inside the window, motion events
// still report movement. False when the system cannot do it.
bool SetRelativePointer(bool on);

// --- Joysticks ---------------------------------------------------------------
using JoystickHandle = _SDL_Joystick*;
// Starts the joystick and force-feedback services; false without joysticks.
bool InitJoysticks();
int JoystickDeviceCount();
// Opens the joystick at a device index; null on failure.
JoystickHandle OpenJoystick(int deviceIndex);
void CloseJoystick(JoystickHandle joystick);
// The instance id of an open joystick, or of the one at a device index.
int32_t JoystickInstance(JoystickHandle joystick);
int32_t JoystickInstanceAt(int deviceIndex);
// The device's own name and the product name known for it (the game
// controller name when there is one, else the device's name).
std::string JoystickDeviceName(JoystickHandle joystick);
std::string JoystickProductName(int deviceIndex);

// Axes -32768 ... 32767, hats as SDL_HAT_* bits, buttons 0/1.
struct JoystickReading {
    int32_t axes[8] = {};
    uint8_t hats[4] = {};
    uint8_t buttons[32] = {};
};
// Reads the current state; false when the device went away.
bool ReadJoystick(JoystickHandle joystick, JoystickReading& reading);
// Plays a constant force of level -32767 ... 32767 in direction (dx, dy) for
// ms milliseconds, through the force-feedback device or, without one, the
// rumble motors (strength 0 ... 65535). False when the joystick has neither.
bool PlayJoystickForce(JoystickHandle joystick, int32_t level, int32_t dx, int32_t dy, uint32_t ms);

}  // namespace vtx::platform
