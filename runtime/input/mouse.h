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

// Buttons of a mouse read, as masks of the platform's button bits.
inline constexpr uint32_t kNoButtons = 0;
inline constexpr uint32_t kAllButtons = 7;

// Reads the mouse: fresh movement when the input was polled since the last
// fresh read, else the stored movement of this frame. A button pressed and
// released since a read last saw it reads as down; the buttons in seen use
// those presses up.
MouseReading ReadMouse(uint32_t seen);
// Notes that a mouse button (a platform button bit) went down.
void NoteMouseButtonDown(int32_t button);
// MouseState's position and buttons without using up any press (for the
// input waits, which only watch for a change).
void PeekMouseState(int32_t& x, int32_t& y, int32_t& left, int32_t& right);
// Puts the pointer state (shared or exclusive mouse, pointer shown or not)
// on the current window.
void ApplyPointerMode(bool show);

}  // namespace vtx
