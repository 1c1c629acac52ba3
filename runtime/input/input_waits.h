// The blocking input waits' common step.
#pragma once

namespace vtx {

// Waits up to 15 rounds of 5 ms for any input (a key, a mouse change, a
// joystick button, axis or hat), serving music and window events and
// ending the program on Escape.
void InputWaitStep();

}  // namespace vtx
