// Input commands: keyboard, text input, mouse and joysticks.
//
// Keys are numbered by key code, the classic PC scan code (1 Escape, 2 to 11
// the digits, 16 Q, 28 Enter, 57 Space, 200 Up, ...), named in key_names.h:
// KeyState(KEY_LEFT).
#pragma once

#include <cstdint>

#include "../core/rt_string.h"
#include "key_names.h"

// --- Keyboard (keyboard_state.cpp, key_characters.cpp, text_input.cpp) -------
// Refreshes the key states from the keyboard; nothing changes while the
// program's window does not have the keyboard focus.
void PollKeyboard();
// Polls, then 1 when the key with code (taken mod 256) is down, else 0.
int32_t KeyState(int32_t code);
// The character of a newly pressed key, reported once per press (upper and
// lower case of a letter count as the same); 0 when there is none.
uint8_t ReadKeyChar();
// ReadKeyChar as a one-character text; empty when there is none.
RtString InKey();
// Waits until a key gives a character.
void WaitKey();
// Edits text on screen at (x, y) with the current font until Enter is
// pressed: characters are appended, Backspace removes the last one.
void InputText(RtString& text, int32_t x, int32_t y);

// --- Mouse (mouse.cpp) -------------------------------------------------------
// Shows the system pointer over a shared mouse (show != 0), or hides it.
void ShowSystemPointer(double show);
// The runtime mouse position, clamped to the screen, and the left and right
// buttons (0/1).
void MouseState(int32_t& x, int32_t& y, int32_t& left, int32_t& right);
void MouseState(double& x, double& y, double& left, double& right);
// Axis 0 dx, 1 dy and 2 wheel (-1, 0, 1) of this frame; 3 left, 4 right and
// 5 middle button (0/1); other axes 0.
int32_t MouseAxis(int32_t axis);
// Sets the runtime mouse position; the system pointer does not move.
void SetMousePosition(int32_t x, int32_t y);
// Always 1: the system's mice act as one.
int32_t MouseCount();
// Stores the mouse number (1 and above become 0).
void SelectMouse(int32_t number);
// Waits for a mouse button to be pressed and released.
void WaitMouse();

// --- Joysticks (joysticks.cpp) -----------------------------------------------
int32_t JoystickCount();
// Axes of joystick j as -1 ... 1.
double JoystickX(int32_t j);
double JoystickY(int32_t j);
double JoystickZ(int32_t j);
double JoystickRx(int32_t j);
double JoystickRy(int32_t j);
double JoystickRz(int32_t j);
// -1, 0 or 1 from the first hat (right / down are 1).
double JoystickPovX(int32_t j);
double JoystickPovY(int32_t j);
// Button 0 to 31 of joystick j: 128 while down, else 0.
int32_t JoystickButton(int32_t j, int32_t button);
// Joystick 0 as -1, 0, 1 per axis and its first two buttons (0/128).
void JoystickDigital(double& x, double& y, double& button0, double& button1);
// Pushes joystick j with a constant force (x, y each -1 ... 1) for
// durationMs milliseconds, where the joystick can.
void JoystickForce(int32_t j, double durationMs, double x, double y);
