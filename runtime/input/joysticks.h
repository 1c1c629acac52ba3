// Joysticks: up to 10, numbered in the order they were found; joysticks
// plugged in while the program runs take the first free number.
#pragma once

#include <cstdint>

namespace vtx {

// A joystick's state: axes -32768 ... 32768, point-of-view values in
// hundredths of a degree (0xFFFFFFFF centred), buttons 128 when down.
struct JoystickState {
    int32_t x = 0, y = 0, z = 0, rx = 0, ry = 0, rz = 0;
    int32_t sliders[2] = {};
    uint32_t pov[4] = {};
    uint8_t buttons[32] = {};
};
static_assert(sizeof(JoystickState) == 80);

// The state of joystick i; zeros with centred hats without a device or when
// it cannot be read.
JoystickState ReadJoystickState(int32_t i);
// Opens the joysticks attached now (start-up).
void OpenJoysticks();
// Closes every joystick (shutdown).
void CloseJoysticks();
// Adds the joystick at a device index (first free number, at most 10); one
// that is already open is left alone.
void AddJoystick(int deviceIndex);
// Closes a joystick that went away; its number stays and reads zeros.
void RemoveJoystick(int32_t instance);
// The name of joystick i: "device name, product name"; empty without one.
const char* JoystickName(int32_t i);

}  // namespace vtx
