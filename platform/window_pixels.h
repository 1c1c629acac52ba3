// What the window system shows of a window (its front buffer as the user
// sees it), read back from the window system itself.
#pragma once

#include <cstdint>
#include <vector>

#include "window.h"

namespace vtx::platform {

// True when the window system can give back what the window shows.
bool WindowPixelsReadable(WindowHandle window);
// The top-left width x height pixels the window shows, as BGR bytes with
// rows bottom first; false when the window system cannot give them (the
// window unmapped, partly off the screen, or no such service).
bool ReadWindowPixels(WindowHandle window, int32_t width, int32_t height, std::vector<uint8_t>& bgr);

}  // namespace vtx::platform
