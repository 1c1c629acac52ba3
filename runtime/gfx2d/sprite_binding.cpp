// Binding slot textures for drawing, and the collision masks read back
// from them.
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>

#include "gfx2d/draw_batch.h"
#include "gfx2d/sprite_store.h"
#include "host/gl_extensions.h"
#include "host/graphics_backend.h"

namespace vtx {
namespace {

GLuint SlotTexture(const SpriteStore& store, int32_t slot, bool useMipTexture, const GLuint* nameTable) {
    if (nameTable != nullptr) return nameTable[slot];
    return useMipTexture ? store.slots[slot].mipTexture : store.slots[slot].texture;
}

void BindTexture(GLuint name) {
    glBindTexture(GL_TEXTURE_2D, name);
    glEnable(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
}

}  // namespace

void BindSlot(int32_t slot, int32_t secondSlot, bool useMipTexture, const GLuint* nameTable) {
    SpriteStore* store = Sprites();
    if (store == nullptr) return;
    FlushDrawBatch();
    store->currentTextureSlot = slot;
    const bool multitexture = GlExt.glActiveTextureARB != nullptr;
    if (!IsSlotNumber(slot)) {
        if (multitexture) {
            GlExt.glActiveTextureARB(GL_TEXTURE1_ARB);
            glDisable(GL_TEXTURE_2D);
            GlExt.glActiveTextureARB(GL_TEXTURE0_ARB);
        } else {
            glEnable(GL_COLOR_MATERIAL);
        }
        glDisable(GL_TEXTURE_2D);
        return;
    }
    const bool second = IsSlotNumber(secondSlot);
    if (multitexture) {
        GlExt.glActiveTextureARB(GL_TEXTURE1_ARB);
        if (second)
            BindTexture(SlotTexture(*store, slot, useMipTexture, nameTable));
        else
            glDisable(GL_TEXTURE_2D);
        GlExt.glActiveTextureARB(GL_TEXTURE0_ARB);
    }
    BindTexture(SlotTexture(*store, second ? secondSlot : slot, useMipTexture, nameTable));
}

const uint8_t* CollisionMask(int32_t slot, int32_t& width, int32_t& height) {
    SpriteStore* store = Sprites();
    width = height = 0;
    if (store == nullptr || !IsSlotNumber(slot) || store->slots[slot].texture == 0) return nullptr;
    FlushDrawBatch();
    glBindTexture(GL_TEXTURE_2D, store->slots[slot].texture);
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    width = w;
    height = h;
    std::unique_ptr<uint8_t[]>& mask = store->collisionMasks[slot];
    if (!mask) {
        mask.reset(new uint8_t[std::max<size_t>(static_cast<size_t>(w) * h, 64)]());
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, mask.get());
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
    }
    return mask.get();
}

}  // namespace vtx
