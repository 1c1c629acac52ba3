// What the user last saw. The window's front buffer cannot be read back
// reliably (under some X servers it reads as black), so the frame is kept
// in a texture just before every swap.
#pragma once

#include <cstdint>
#include <vector>

class OpenGLRidezoda;

namespace vtx {

// Copies the finished back buffer into the kept-frame texture.
void KeepPresentedFrame(OpenGLRidezoda& gfx);
// The last presented frame as BGR bytes, rows bottom first; false before
// the first frame was presented.
bool ReadPresentedFrame(std::vector<uint8_t>& bgr, int32_t& width, int32_t& height);
// Forgets the kept frame (its texture dies with the context).
void ForgetPresentedFrame();

}  // namespace vtx
