// The runtime's mouse: its position in client pixels and the movement of
// the current frame.
#pragma once

#include <cstdint>

namespace vtx {

// One read of the mouse: buttons (non-zero = down), movement and wheel.
struct MouseReading {
    int16_t left = 0, right = 0, middle = 0;
    int16_t dx = 0, dy = 0, wheel = 0;
};

// Reads the mouse: fresh movement when the input was polled since the last
// fresh read, else the stored movement of this frame.
MouseReading ReadMouse();
// Puts the pointer state (shared or exclusive mouse, pointer shown or not)
// on the current window.
void ApplyPointerMode(bool show);

}  // namespace vtx
