// Reading the frame (or the off-screen screen in use) back.
#pragma once

#include <cstdint>

#include "gfx2d/picture_codecs.h"

class OpenGLRidezoda;

namespace vtx {

// The transparent colour as the current target renders it: drawn as one
// pixel at (4, 4), read back, and the old pixel put back. Black when the
// transparent colour is 0 (then nothing is drawn).
RenderedKey RenderTransparentKey(OpenGLRidezoda& gfx);

// Alpha bits of the frame buffer; a non-zero answer is kept. Tests may
// force the answer (-1: ask the driver again).
int32_t FrameAlphaBits();
void ForceFrameAlphaBits(int32_t bits);

}  // namespace vtx
