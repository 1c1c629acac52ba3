// Frame presentation, the message pump and frame timing.
#pragma once

#include <cstdint>

// Ends the frame: pause wait, keyboard poll, Escape / Alt+F4, music service,
// message dispatch, swap and clear, frame wait, and the next frame's 2D state.
void ShowScreen();
// Sets the frame period: 1000 / fps ms for fps >= 1 (truncated), else 2 ms.
void LimitFps(double fps);
// Latest frame time minus the previous one in ms; 1 when not positive.
double GetFrameTime();
// Suspends the program for ms milliseconds (truncated; negative waits 0).
void SleepMs(double ms);
// Whether Escape ends the program (value != 0).
void SetEscapeEnds(double value);
