// What the runtime shares about frames beyond its commands.
#pragma once

#include <cstdint>

#include "frames.h"

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
