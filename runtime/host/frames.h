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

class OpenGLRidezoda;

namespace vtx {

using MessageHook = void (*)(void*);

// Dispatches every waiting window event; the hook (may be null) sees each
// event first. Always true.
bool PumpMessages(OpenGLRidezoda& gfx, MessageHook hook);
// Finishes off-screen drawing, swaps, clears and waits for the frame time.
// Always true.
bool PresentFrame(OpenGLRidezoda& gfx, MessageHook hook);
// The schedule rule: the next frame time after a frame that ended at now.
double NextFrameTime(double next, double period, double now);
// Looks the application's "VTX_WIN32_MSG" hook up once.
MessageHook LookUpMessageHook();
// Says that the depth or stencil buffer may be written before the next
// frame clear: whatever enables depth or stencil testing calls it (2D
// drawing never does), and a new context starts with it. Frames that wrote
// neither skip clearing those buffers, which still hold their cleared values.
void NoteDepthStencilUse();

}  // namespace vtx
