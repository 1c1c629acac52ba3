// The kept copy of the last presented frame.
#include "gfx2d/presented_frame.h"

#include <GL/gl.h>

#include <cstddef>

#include "gfx2d/draw_batch.h"
#include "host/graphics_backend.h"

namespace vtx {
namespace {

// The frame as the window system holds it (blue, green, red, alpha bytes,
// rows bottom first): reading in that order is a plain copy.
struct KeptFrame {
    std::vector<uint8_t> bgra;
    int32_t width = 0;
    int32_t height = 0;
    bool valid = false;
};
KeptFrame Kept;

}  // namespace

void KeepPresentedFrame(OpenGLRidezoda& gfx) {
    FlushDrawBatch();
    if (gfx.width <= 0 || gfx.height <= 0) return;
    Kept.width = gfx.width;
    Kept.height = gfx.height;
    Kept.bgra.resize(static_cast<size_t>(gfx.width) * gfx.height * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, gfx.width, gfx.height, GL_BGRA, GL_UNSIGNED_BYTE, Kept.bgra.data());
    Kept.valid = true;
}

bool ReadPresentedFrame(std::vector<uint8_t>& bgr, int32_t& width, int32_t& height) {
    if (!Kept.valid) return false;
    width = Kept.width;
    height = Kept.height;
    const size_t pixels = static_cast<size_t>(width) * height;
    bgr.resize(pixels * 3);
    for (size_t i = 0; i < pixels; ++i) {
        bgr[i * 3 + 0] = Kept.bgra[i * 4 + 0];
        bgr[i * 3 + 1] = Kept.bgra[i * 4 + 1];
        bgr[i * 3 + 2] = Kept.bgra[i * 4 + 2];
    }
    return true;
}

void ForgetPresentedFrame() { Kept = KeptFrame{}; }

}  // namespace vtx
