// The kept copy of the last presented frame.
#include "gfx2d/presented_frame.h"

#include <GL/gl.h>

#include "gfx2d/draw_batch.h"
#include "host/graphics_backend.h"

namespace vtx {
namespace {

struct KeptFrame {
    GLuint texture = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool valid = false;
};
KeptFrame Kept;

}  // namespace

void KeepPresentedFrame(OpenGLRidezoda& gfx) {
    FlushDrawBatch();
    if (gfx.width <= 0 || gfx.height <= 0) return;
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    if (Kept.texture == 0) glGenTextures(1, &Kept.texture);
    glBindTexture(GL_TEXTURE_2D, Kept.texture);
    if (Kept.width != gfx.width || Kept.height != gfx.height || !Kept.valid) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, gfx.width, gfx.height, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
        Kept.width = gfx.width;
        Kept.height = gfx.height;
    }
    glReadBuffer(GL_BACK);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, gfx.width, gfx.height);
    Kept.valid = true;
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
}

bool ReadPresentedFrame(std::vector<uint8_t>& bgr, int32_t& width, int32_t& height) {
    if (!Kept.valid) return false;
    FlushDrawBatch();
    width = Kept.width;
    height = Kept.height;
    bgr.resize(static_cast<size_t>(width) * height * 3);
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glBindTexture(GL_TEXTURE_2D, Kept.texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGR, GL_UNSIGNED_BYTE, bgr.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    return true;
}

void ForgetPresentedFrame() { Kept = KeptFrame{}; }

}  // namespace vtx
