// SaveScreen and SaveSprite: the writers key against the rendered
// transparent colour.
#include <GL/gl.h>

#include <vector>

#include "files/last_error_internal.h"
#include "gfx2d/draw_batch.h"
#include "gfx2d/frame_reading.h"
#include "gfx2d/picture_codecs.h"
#include "gfx2d/picture_commands.h"
#include "gfx2d/presented_frame.h"
#include "gfx2d/sprite_store.h"
#include "host/graphics_backend.h"

namespace vtx {
namespace {

constexpr uint32_t kNoSuchFile = 3;

}  // namespace
}  // namespace vtx

void SaveScreen(const RtString& file) {
    ClearLastError();
    vtx::FlushDrawBatch();
    OpenGLRidezoda* gfx = vtx::GraphicsBackEnd;
    std::vector<uint8_t> bgr;
    int32_t width = 0, height = 0;
    if (gfx == nullptr || !vtx::ReadPresentedFrame(*gfx, bgr, width, height) ||
        !vtx::EncodePicture(file.c_str(), bgr.data(), width, height, width, vtx::RenderTransparentKey(*gfx)))
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
    if (!vtx::EncodePicture(file.c_str(), bgr.data(), s.width, s.height, s.texWidth, vtx::RenderTransparentKey(*gfx)))
        vtx::SetLastError(vtx::kNoSuchFile);
}
