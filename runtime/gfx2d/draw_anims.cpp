// Animation frames: one frame of a slot's picture, plain, stretched, or
// turned and scaled. A frame number only ever becomes texture coordinates.
#include <GL/gl.h>

#include <cmath>

#include "gfx2d/draw_batch.h"
#include "gfx2d/draw_commands.h"
#include "gfx2d/draw_state.h"
#include "gfx2d/sprite_store.h"

namespace vtx {
namespace {

// A frame's rectangle in texture coordinates; v grows upwards.
struct FrameRect {
    float uLeft = 0.0f;
    float uRight = 0.0f;
    float vBottom = 0.0f;
    float vTop = 0.0f;
};

// Where frame f of the slot lies in its texture. False when the slot has
// no frame size (nothing is drawn then).
bool FrameRectOf(const SpriteSlot& s, int32_t frame, FrameRect& rect) {
    if (s.frameWidth == 0 || s.frameHeight == 0) return false;
    const int32_t perRow = s.width / s.frameWidth;
    int64_t row = 0, column = frame;
    if (perRow > 0) {
        row = frame / perRow;
        column = frame % perRow;
    }
    const float tw = static_cast<float>(s.texWidth);
    const float th = static_cast<float>(s.texHeight);
    const float frameU = static_cast<float>(s.frameWidth) / tw;
    rect.uLeft = frameU * static_cast<float>(column);
    rect.uRight = rect.uLeft + frameU;
    rect.vBottom = static_cast<float>(s.height - static_cast<int64_t>(s.frameHeight) * (row + 1)) / th;
    rect.vTop = rect.vBottom + static_cast<float>(s.frameHeight) / th;
    return true;
}

// Binds the slot for drawing a frame and finds the frame; null when there
// is nothing to draw.
const SpriteSlot* PrepareFrame(int32_t slot, int32_t frame, FrameRect& rect) {
    const SpriteStore* store = Sprites();
    if (store == nullptr || !IsSlotNumber(slot) || !FrameRectOf(store->slots[slot], frame, rect)) return nullptr;
    return BindSpriteForDrawing(slot);
}

// A vertex at a pixel position given as wide integers.
void Vertex(int64_t x, int64_t y) { glVertex2d(static_cast<double>(x), static_cast<double>(y)); }

// Finds the frame and makes the slot current for a collected command; null
// when there is nothing to draw.
const SpriteSlot* PrepareBatchedFrame(int32_t slot, int32_t frame, bool clamp, FrameRect& rect) {
    const SpriteStore* store = Sprites();
    if (store == nullptr || !IsSlotNumber(slot) || !FrameRectOf(store->slots[slot], frame, rect)) return nullptr;
    return BatchTexturedCommand(slot, clamp, true);
}

// A batch vertex at float pixel position (x, y) with texture coordinates.
PolyVertex At(float x, float y, float u, float v) {
    PolyVertex vertex;
    vertex.x = x;
    vertex.y = y;
    vertex.u = u;
    vertex.v = v;
    return vertex;
}

// A batch vertex at a wide integer position, converted as glVertex2d does.
PolyVertex AtWide(int64_t x, int64_t y, float u, float v) {
    return At(static_cast<float>(static_cast<double>(x)), static_cast<float>(static_cast<double>(y)), u, v);
}

// DrawAnim collected: the quad of the immediate path, in its order.
void BatchDrawAnim(int32_t slot, int32_t frame, int32_t x, int32_t y) {
    FrameRect r;
    const SpriteSlot* s = PrepareBatchedFrame(slot, frame, false, r);
    if (s == nullptr) return;
    const int64_t right = static_cast<int64_t>(x) + s->frameWidth;
    const int64_t bottom = static_cast<int64_t>(y) + s->frameHeight;
    const PolyVertex quad[4] = {AtWide(right, y, r.uRight, r.vTop), AtWide(x, y, r.uLeft, r.vTop),
                                AtWide(x, bottom, r.uLeft, r.vBottom), AtWide(right, bottom, r.uRight, r.vBottom)};
    BatchQuad(quad);
}

// StretchAnim collected: the fan of the immediate path, in its order.
void BatchStretchAnim(int32_t slot, int32_t frame, int32_t x, int32_t y, int32_t width, int32_t height) {
    FrameRect r;
    const SpriteSlot* s = PrepareBatchedFrame(slot, frame, true, r);
    if (s == nullptr) return;
    const float left = static_cast<float>(x);
    const float top = static_cast<float>(y);
    const float right = static_cast<float>(static_cast<int64_t>(x) + width) + 0.1f;
    const float bottom = static_cast<float>(static_cast<int64_t>(y) + height) + 0.1f;
    const PolyVertex fan[4] = {At(left, top, r.uLeft, r.vTop), At(left, bottom, r.uLeft, r.vBottom),
                               At(right, bottom, r.uRight, r.vBottom), At(right, top, r.uRight, r.vTop)};
    BatchFan(fan);
}

}  // namespace
}  // namespace vtx

// One frame at (x, y) in its own size, mapped like DrawSprite.
void DrawAnim(int32_t slot, int32_t frame, int32_t x, int32_t y) {
    if (vtx::DrawBatching()) {
        vtx::BatchDrawAnim(slot, frame, x, y);
        return;
    }
    vtx::FrameRect r;
    const vtx::SpriteSlot* s = vtx::PrepareFrame(slot, frame, r);
    if (s == nullptr) return;
    const int64_t right = static_cast<int64_t>(x) + s->frameWidth;
    const int64_t bottom = static_cast<int64_t>(y) + s->frameHeight;
    glBegin(GL_QUADS);
    glTexCoord2f(r.uRight, r.vTop);
    vtx::Vertex(right, y);
    glTexCoord2f(r.uLeft, r.vTop);
    vtx::Vertex(x, y);
    glTexCoord2f(r.uLeft, r.vBottom);
    vtx::Vertex(x, bottom);
    glTexCoord2f(r.uRight, r.vBottom);
    vtx::Vertex(right, bottom);
    glEnd();
}

// One frame stretched to (x, y, w, h); the right and bottom edges lie 0.1
// pixel further out.
void StretchAnim(int32_t slot, int32_t frame, int32_t x, int32_t y, int32_t width, int32_t height) {
    if (vtx::DrawBatching()) {
        vtx::BatchStretchAnim(slot, frame, x, y, width, height);
        return;
    }
    vtx::FrameRect r;
    const vtx::SpriteSlot* s = vtx::PrepareFrame(slot, frame, r);
    if (s == nullptr) return;
    const float left = static_cast<float>(x);
    const float top = static_cast<float>(y);
    const float right = static_cast<float>(static_cast<int64_t>(x) + width) + 0.1f;
    const float bottom = static_cast<float>(static_cast<int64_t>(y) + height) + 0.1f;
    vtx::ClampBoundTexture();
    glBegin(GL_TRIANGLE_FAN);
    glTexCoord2f(r.uLeft, r.vTop);
    glVertex2f(left, top);
    glTexCoord2f(r.uLeft, r.vBottom);
    glVertex2f(left, bottom);
    glTexCoord2f(r.uRight, r.vBottom);
    glVertex2f(right, bottom);
    glTexCoord2f(r.uRight, r.vTop);
    glVertex2f(right, top);
    glEnd();
}

// One frame turned by angle degrees and scaled by zoom about its centre;
// the corners are turned here and the texture coordinates are inset by
// half a texel.
void RotoZoomAnim(int32_t slot, int32_t frame, int32_t x, int32_t y, double angle, double zoom) {
    const bool batching = vtx::DrawBatching();
    vtx::FrameRect r;
    const vtx::SpriteSlot* s =
        batching ? vtx::PrepareBatchedFrame(slot, frame, true, r) : vtx::PrepareFrame(slot, frame, r);
    if (s == nullptr) return;
    const float z = vtx::ToFloat(zoom);
    const float cx = static_cast<float>(static_cast<int64_t>(x) + s->frameWidth / 2);
    const float cy = static_cast<float>(static_cast<int64_t>(y) + s->frameHeight / 2);
    const float hx = static_cast<float>(s->frameWidth) * z * 0.5f;
    const float hy = static_cast<float>(s->frameHeight) * z * 0.5f;
    const float radians = vtx::ToFloat(angle) * 0.017453292f;
    const float c = std::cos(radians);
    const float sn = std::sin(radians);
    const float du = 0.5f / static_cast<float>(s->texWidth);
    const float dv = 0.5f / static_cast<float>(s->texHeight);
    struct Corner {
        float lx, ly, u, v;
    };
    const Corner corners[4] = {{-hx, -hy, r.uLeft + du, r.vTop - dv},
                               {-hx, hy, r.uLeft + du, r.vBottom + dv},
                               {hx, hy, r.uRight - du, r.vBottom + dv},
                               {hx, -hy, r.uRight - du, r.vTop - dv}};
    if (batching) {
        vtx::PolyVertex fan[4];
        for (int i = 0; i < 4; ++i) {
            const Corner& k = corners[i];
            fan[i] = vtx::At(cx + k.lx * c + k.ly * sn, cy - k.lx * sn + k.ly * c, k.u, k.v);
        }
        vtx::BatchFan(fan);
        return;
    }
    vtx::ClampBoundTexture();
    glBegin(GL_TRIANGLE_FAN);
    for (const Corner& k : corners) {
        glTexCoord2f(k.u, k.v);
        glVertex2f(cx + k.lx * c + k.ly * sn, cy - k.lx * sn + k.ly * c);
    }
    glEnd();
}
