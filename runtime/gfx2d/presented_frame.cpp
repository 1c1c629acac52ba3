// The last presented frame: read from the window system, or kept by the
// runtime where the window system cannot give it back.
#include "gfx2d/presented_frame.h"

#include <GL/gl.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "gfx2d/draw_batch.h"
#include "host/graphics_backend.h"
#include "platform/window_pixels.h"

namespace vtx {
namespace {

// VTX_KEEP_FRAMES=1 keeps a copy of every frame even where the window
// system could give it back (tests compare both ways).
bool KeepingForced() {
    const char* value = std::getenv("VTX_KEEP_FRAMES");
    return value != nullptr && value[0] != '\0' && std::strcmp(value, "0") != 0;
}

// The frame the window was last given. A kept copy is stored as the window
// system holds it (blue, green, red, alpha bytes, rows bottom first), so
// reading it is a plain copy.
struct PresentedFrame {
    platform::WindowHandle window = nullptr;  // presented to; null: nothing yet
    int32_t width = 0;
    int32_t height = 0;
    bool kept = false;  // bgra holds the frame
    std::vector<uint8_t> bgra;
};
PresentedFrame Presented;

// Reads the back buffer, about to be presented, into the kept copy.
void KeepCopy(OpenGLRidezoda& gfx) {
    Presented.bgra.resize(static_cast<size_t>(gfx.width) * gfx.height * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, gfx.width, gfx.height, GL_BGRA, GL_UNSIGNED_BYTE, Presented.bgra.data());
    Presented.kept = true;
}

}  // namespace

void KeepPresentedFrame(OpenGLRidezoda& gfx) {
    FlushDrawBatch();
    if (gfx.width <= 0 || gfx.height <= 0) return;
    Presented.window = gfx.window;
    Presented.width = gfx.width;
    Presented.height = gfx.height;
    Presented.kept = false;
    if (KeepingForced() || !platform::WindowPixelsReadable(gfx.window)) KeepCopy(gfx);
}

bool ReadPresentedFrame(OpenGLRidezoda& gfx, std::vector<uint8_t>& bgr, int32_t& width, int32_t& height) {
    if (Presented.window == nullptr || Presented.window != gfx.window) return false;
    width = Presented.width;
    height = Presented.height;
    if (!Presented.kept) return platform::ReadWindowPixels(gfx.window, width, height, bgr);
    const size_t pixels = static_cast<size_t>(width) * height;
    bgr.resize(pixels * 3);
    for (size_t i = 0; i < pixels; ++i) {
        bgr[i * 3 + 0] = Presented.bgra[i * 4 + 0];
        bgr[i * 3 + 1] = Presented.bgra[i * 4 + 1];
        bgr[i * 3 + 2] = Presented.bgra[i * 4 + 2];
    }
    return true;
}

void ForgetPresentedFrame() { Presented = PresentedFrame{}; }

}  // namespace vtx
