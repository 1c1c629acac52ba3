// What the user last saw. Where the window system can give back what a
// window shows, that is read when asked for; elsewhere the runtime keeps a
// copy of every frame just before it is presented.
#pragma once

#include <cstdint>
#include <vector>

class OpenGLRidezoda;

namespace vtx {

// Notes that the finished back buffer is about to be presented, keeping a
// copy of it when the window system cannot give it back later.
void KeepPresentedFrame(OpenGLRidezoda& gfx);
// The last presented frame as BGR bytes, rows bottom first; false before
// the first frame was presented or when it cannot be had.
bool ReadPresentedFrame(OpenGLRidezoda& gfx, std::vector<uint8_t>& bgr, int32_t& width, int32_t& height);
// Forgets the presented frame (the window is going away).
void ForgetPresentedFrame();

}  // namespace vtx
