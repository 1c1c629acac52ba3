// CreateScreen and UseScreen: off-screen screens over framebuffer objects,
// or emulated by grabbing the frame area into slot 65503 on entry, drawing
// on the frame, and grabbing the result into the screen's slot on leaving.
#include "gfx2d/offscreen_screens.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gfx2d/draw_batch.h"
#include "gfx2d/draw_commands.h"
#include "gfx2d/image_buffer.h"
#include "gfx2d/screen_commands.h"
#include "gfx2d/sprite_store.h"
#include "host/gl_extensions.h"
#include "host/graphics_backend.h"

namespace vtx {
namespace {

struct ScreenRecord {
    GLuint framebuffer = 0;   // 0 = none
    GLuint depthBuffer = 0;   // 0 = none
    GLint savedBinding = 0;   // framebuffer to bind back when the screen is left
    int32_t width = 0;        // set only for a complete framebuffer: 0 = emulated
    int32_t height = 0;
    int32_t slot = 0;         // sprite slot holding the screen's picture
};

ScreenRecord Screens[kScreenCount];
int32_t Current = -1;

bool FramebuffersForbidden() {
    const char* v = std::getenv("VTX_NO_FBO");
    return v != nullptr && v[0] != '\0' && std::strcmp(v, "0") != 0;
}

bool FramebufferFunctionsPresent() {
    return GlExt.glGenFramebuffersEXT != nullptr && GlExt.glGenRenderbuffersEXT != nullptr &&
           GlExt.glBindRenderbufferEXT != nullptr && GlExt.glRenderbufferStorageEXT != nullptr &&
           GlExt.glCheckFramebufferStatusEXT != nullptr && GlExt.glBindFramebufferEXT != nullptr &&
           GlExt.glFramebufferTexture2DEXT != nullptr && GlExt.glFramebufferRenderbufferEXT != nullptr &&
           GlExt.glDeleteFramebuffersEXT != nullptr && GlExt.glDeleteRenderbuffersEXT != nullptr;
}

void DeleteFramebuffer(ScreenRecord& r) {
    if (r.framebuffer != 0 && GlExt.glDeleteFramebuffersEXT != nullptr) GlExt.glDeleteFramebuffersEXT(1, &r.framebuffer);
    if (r.depthBuffer != 0 && GlExt.glDeleteRenderbuffersEXT != nullptr)
        GlExt.glDeleteRenderbuffersEXT(1, &r.depthBuffer);
    r = ScreenRecord{};
}

void AttachScreen(const ScreenRecord& r, GLuint texture) {
    GlExt.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, r.framebuffer);
    GlExt.glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, texture, 0);
    GlExt.glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                       r.depthBuffer);
}

// A framebuffer of tw x th with a depth buffer for the record; the record
// stays emulated (width 0) when anything is missing or incomplete.
void CreateFramebuffer(ScreenRecord& r, GLuint texture, int32_t tw, int32_t th) {
    if (r.width != 0) DeleteFramebuffer(r);
    r = ScreenRecord{};
    if (!FramebufferFunctionsPresent() || FramebuffersForbidden()) return;
    GlExt.glGenFramebuffersEXT(1, &r.framebuffer);
    if (r.framebuffer == 0) {
        std::printf("glGenFramebuffersExt failed\n");
        return;
    }
    GlExt.glGenRenderbuffersEXT(1, &r.depthBuffer);
    if (r.depthBuffer == 0) {
        std::printf("glGenRenderbuffersExt failed\n");
        DeleteFramebuffer(r);
        return;
    }
    GlExt.glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, r.depthBuffer);
    GlExt.glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, tw, th);
    // The status is checked on the framebuffer itself, with its attachments,
    // and the binding in force is put back.
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &previous);
    AttachScreen(r, texture);
    const GLenum status = GlExt.glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT);
    GlExt.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, static_cast<GLuint>(previous));
    if (status == GL_FRAMEBUFFER_COMPLETE_EXT) {
        r.width = tw;
        r.height = th;
    } else {
        std::printf("glCheckFramebufferStatusExt failed\n");
        DeleteFramebuffer(r);
    }
}

}  // namespace

bool OffscreenTargetActive() { return Current >= 0; }

bool FramebufferScreenInUse() { return Current >= 0 && Screens[Current].width != 0; }

int32_t CurrentScreenPictureHeight() {
    const SpriteStore* store = Sprites();
    if (Current < 0 || store == nullptr) return 0;
    return store->slots[Screens[Current].slot].height;
}

int32_t CurrentScreen() { return Current; }

void LeaveOffscreenScreen() {
    if (Current < 0 || GraphicsBackEnd == nullptr || Sprites() == nullptr) {
        Current = -1;
        return;
    }
    FlushDrawBatch();
    const ScreenRecord& r = Screens[Current];
    const SpriteSlot& s = Sprites()->slots[r.slot];
    if (r.width != 0) {
        GlExt.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, static_cast<GLuint>(r.savedBinding));
    } else {
        GrabSprite(r.slot, 0, 0, s.width, s.height);  // keep what was drawn
        DrawRect(0, 0, s.texWidth, s.texHeight, 0);
        DrawSprite(kScratchSlot, 0, 0);  // the frame area saved on entry
    }
    Current = -1;
    SetViewport2D(*GraphicsBackEnd, 0, 0, 0, 0);
}

void ReleaseOffscreenScreens() {
    const bool alive = GraphicsBackEnd != nullptr && GraphicsBackEnd->contextReady != 0;
    for (ScreenRecord& r : Screens) {
        if (alive) DeleteFramebuffer(r);
        r = ScreenRecord{};
    }
    Current = -1;
}

}  // namespace vtx

void CreateScreen(int32_t screen, int32_t slot, int32_t width, int32_t height) {
    using namespace vtx;
    SpriteStore* store = Sprites();
    if (screen < 0 || screen >= kScreenCount || GraphicsBackEnd == nullptr || store == nullptr ||
        !IsSlotNumber(slot) || width < 1 || height < 1)
        return;
    FlushDrawBatch();
    // Textures are at least 16 texels a side; the slot records the size the
    // texture really has, so that the picture's share of it is right.
    const int32_t tw = TextureSizeFor(width);                                 // 1
    const int32_t th = TextureSizeFor(height);
    ResetSlot(slot);                                                          // 2
    ImageBuffer zeros;
    if (!zeros.resize(tw, th)) return;
    SpriteSlot& s = store->slots[slot];
    if (!UploadTexture(zeros, 0, 0, 0, 0, s.texture, nullptr, false, false)) return;
    s.width = static_cast<int16_t>(width);                                    // 3
    s.height = static_cast<int16_t>(height);
    s.texWidth = static_cast<int16_t>(tw);
    s.texHeight = static_cast<int16_t>(th);
    s.uMax = static_cast<float>(width) / static_cast<float>(tw);
    s.vMax = static_cast<float>(height) / static_cast<float>(th);
    CreateFramebuffer(Screens[screen], s.texture, tw, th);                   // 4
    Screens[screen].slot = slot;                                              // 5
}

void UseScreen(int32_t screen) {
    using namespace vtx;
    if (GraphicsBackEnd == nullptr || Sprites() == nullptr) return;
    LeaveOffscreenScreen();                                                   // 1
    if (screen < 0 || screen >= kScreenCount) return;                         // 2
    FlushDrawBatch();
    Current = screen;
    ScreenRecord& r = Screens[screen];
    SpriteStore& store = *Sprites();
    const SpriteSlot& s = store.slots[r.slot];
    if (r.width != 0) {                                                       // 3
        glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &r.savedBinding);
        AttachScreen(r, s.texture);
        SetViewport2D(*GraphicsBackEnd, 0, 0, s.width, s.height);
        glViewport(0, 0, s.width, s.height);
    } else {                                                                  // 4
        SetViewport2D(*GraphicsBackEnd, 0, 0, s.width, s.height);
        GrabSprite(kScratchSlot, 0, 0, s.width, s.height);
        DrawRect(0, 0, s.width, s.height, store.transparentColour);
        DrawSprite(r.slot, 0, 0);
    }
    store.collisionMasks[r.slot].reset();                                     // 5
}
