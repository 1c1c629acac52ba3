// SaveScreen and SaveSprite, with the rendered transparent colour that the
// writers key against.
#include <GL/gl.h>

#include <vector>

#include "files/last_error.h"
#include "gfx2d/draw_batch.h"
#include "gfx2d/picture_codecs.h"
#include "gfx2d/picture_commands.h"
#include "gfx2d/presented_frame.h"
#include "gfx2d/sprite_store.h"
#include "host/graphics_backend.h"

namespace vtx {
namespace {

constexpr uint32_t kNoSuchFile = 3;

// The transparent colour as the current target renders it: drawn as one
// pixel at (4, 4), read back, and the old pixel put back. Black when the
// transparent colour is 0 (then nothing is drawn).
RenderedKey RenderKey(OpenGLRidezoda& gfx) {
    RenderedKey key;
    const int32_t colour = Sprites()->transparentColour;
    if (colour == 0) return key;
    const GLint readY = gfx.height - 1 - 4;
    uint8_t old[4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(4, readY, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, old);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    auto plot = [](uint8_t r, uint8_t g, uint8_t b) {
        glColor4ub(r, g, b, 255);
        glBegin(GL_POINTS);
        glVertex2f(4.5f, 4.5f);
        glEnd();
    };
    plot(static_cast<uint8_t>(colour), static_cast<uint8_t>(colour >> 8), static_cast<uint8_t>(colour >> 16));
    uint8_t rendered[4] = {};
    glReadPixels(4, readY, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rendered);
    plot(old[0], old[1], old[2]);
    glPopAttrib();
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    key.r = rendered[0];
    key.g = rendered[1];
    key.b = rendered[2];
    return key;
}

}  // namespace
}  // namespace vtx

void SaveScreen(const RtString& file) {
    ClearLastError();
    vtx::FlushDrawBatch();
    OpenGLRidezoda* gfx = vtx::GraphicsBackEnd;
    std::vector<uint8_t> bgr;
    int32_t width = 0, height = 0;
    if (gfx == nullptr || !vtx::ReadPresentedFrame(bgr, width, height) ||
        !vtx::EncodePicture(file.c_str(), bgr.data(), width, height, width, vtx::RenderKey(*gfx)))
        vtx::SetLastError(vtx::kNoSuchFile);
}

void SaveSprite(const RtString& file, int32_t slot) {
    ClearLastError();
    vtx::FlushDrawBatch();
    OpenGLRidezoda* gfx = vtx::GraphicsBackEnd;
    if (gfx == nullptr || !vtx::IsSlotNumber(slot) || vtx::Sprites()->slots[slot].texture == 0) {
        vtx::SetLastError(vtx::kNoSuchFile);
        return;
    }
    const vtx::SpriteSlot& s = vtx::Sprites()->slots[slot];
    std::vector<uint8_t> bgr(static_cast<size_t>(s.texWidth) * s.texHeight * 3);
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glBindTexture(GL_TEXTURE_2D, s.texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGR, GL_UNSIGNED_BYTE, bgr.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    if (!vtx::EncodePicture(file.c_str(), bgr.data(), s.width, s.height, s.texWidth, vtx::RenderKey(*gfx)))
        vtx::SetLastError(vtx::kNoSuchFile);
}
