// GetPixel and GrabSprite: reading the frame into a number or a sprite slot.
#include <GL/gl.h>

#include <vector>

#include "gfx2d/draw_batch.h"
#include "gfx2d/frame_reading.h"
#include "gfx2d/offscreen_screens.h"
#include "gfx2d/screen_commands.h"
#include "gfx2d/sprite_store.h"
#include "host/graphics_backend.h"

namespace vtx {
namespace {

int32_t KnownAlphaBits = 0;
bool AlphaBitsForced = false;

}  // namespace

RenderedKey RenderTransparentKey(OpenGLRidezoda& gfx) {
    FlushDrawBatch();
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

int32_t FrameAlphaBits() {
    if (KnownAlphaBits != 0 || AlphaBitsForced) return KnownAlphaBits;
    GLint bits = 0;
    glGetIntegerv(GL_ALPHA_BITS, &bits);
    KnownAlphaBits = bits;
    return KnownAlphaBits;
}

void ForceFrameAlphaBits(int32_t bits) {
    AlphaBitsForced = bits >= 0;
    KnownAlphaBits = bits >= 0 ? bits : 0;
}

}  // namespace vtx

int32_t GetPixel(int32_t x, int32_t y) {
    using namespace vtx;
    if (GraphicsBackEnd == nullptr) return 0;
    FlushDrawBatch();
    // A framebuffer screen holds its picture in the lowest rows of its
    // texture, so its row y is counted down from the picture's own height.
    int32_t height = GraphicsBackEnd->height;
    if (FramebufferScreenInUse()) {
        glReadBuffer(GL_COLOR_ATTACHMENT0_EXT);
        height = CurrentScreenPictureHeight();
    } else {
        glReadBuffer(GL_BACK);
    }
    uint8_t p[4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, height - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return p[0] + p[1] * 256 + p[2] * 65536;
}

void GrabSprite(int32_t slot, int32_t x, int32_t y, int32_t width, int32_t height) {
    using namespace vtx;
    SpriteStore* store = Sprites();
    if (GraphicsBackEnd == nullptr || store == nullptr || !IsSlotNumber(slot) || width < 1 || height < 1) return;
    FlushDrawBatch();
    OpenGLRidezoda& gfx = *GraphicsBackEnd;
    SpriteSlot& s = store->slots[slot];
    s.frameWidth = s.frameHeight = 0;                                         // 1
    store->collisionMasks[slot].reset();
    const int32_t tw = TextureSizeFor(width);                                 // 2
    const int32_t th = TextureSizeFor(height);
    if (s.texture != 0 && s.texWidth == tw && s.texHeight == th) {           // 3
        glBindTexture(GL_TEXTURE_2D, s.texture);
    } else {
        if (s.mipTexture != 0) glDeleteTextures(1, &s.mipTexture);
        s.mipTexture = 0;
        SetUnpackState();
        NewTexture(s.texture, GL_LINEAR, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, tw, th, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    }
    s.width = static_cast<int16_t>(width);                                    // 4
    s.height = static_cast<int16_t>(height);
    s.texWidth = static_cast<int16_t>(tw);
    s.texHeight = static_cast<int16_t>(th);
    s.uMax = static_cast<float>(width) / static_cast<float>(tw);
    s.vMax = static_cast<float>(height) / static_cast<float>(th);
    const int32_t bottom = gfx.height - y - height;
    if (FrameAlphaBits() != 0) {                                              // 5
        glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, x, bottom, width, height);
    } else {                                                                  // 6
        std::vector<uint8_t> bgra(static_cast<size_t>(tw) * th * 4, 0);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, bottom, tw, th, GL_BGRA, GL_UNSIGNED_BYTE, bgra.data());
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        const RenderedKey key = RenderTransparentKey(gfx);
        for (size_t i = 0; i < bgra.size(); i += 4) {
            if (bgra[i] == key.b && bgra[i + 1] == key.g && bgra[i + 2] == key.r) bgra[i + 3] = 0;
        }
        glBindTexture(GL_TEXTURE_2D, s.texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, tw, th, 0, GL_BGRA, GL_UNSIGNED_BYTE, bgra.data());
    }
}
