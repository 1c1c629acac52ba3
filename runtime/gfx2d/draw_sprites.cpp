// Whole pictures: plain, stretched, zoomed, rotated and rotated with zoom.
// Vertices are emitted one by one, or collected in the draw batch with the
// same values; sums of coordinates are formed in 64 bits so that far-away
// positions stay far away.
#include <GL/gl.h>
#include <GL/glext.h>

#include "gfx2d/draw_batch.h"
#include "gfx2d/draw_commands.h"
#include "gfx2d/draw_state.h"
#include "gfx2d/sprite_store.h"

namespace vtx {
namespace {

// A vertex at a pixel position given as wide integers.
void Vertex(int64_t x, int64_t y) { glVertex2d(static_cast<double>(x), static_cast<double>(y)); }

// A batch vertex at a pixel position given as wide integers, converted to
// float as glVertex2d converts it, with texture coordinates (u, v).
PolyVertex At(int64_t x, int64_t y, float u, float v) {
    PolyVertex vertex;
    vertex.x = static_cast<float>(static_cast<double>(x));
    vertex.y = static_cast<float>(static_cast<double>(y));
    vertex.u = u;
    vertex.v = v;
    return vertex;
}

// DrawSprite collected: the quad of the immediate path, in its order.
void BatchDrawSprite(int32_t slot, int32_t x, int32_t y) {
    const SpriteSlot* s = BatchTexturedCommand(slot, false, true);
    if (s == nullptr) return;
    const int64_t right = static_cast<int64_t>(x) + s->width;
    const int64_t bottom = static_cast<int64_t>(y) + s->height;
    const PolyVertex quad[4] = {At(right, y, s->uMax, s->vMax), At(x, y, 0.0f, s->vMax), At(x, bottom, 0.0f, 0.0f),
                                At(right, bottom, s->uMax, 0.0f)};
    BatchQuad(quad);
}

// StretchSprite collected: the fan of the immediate path, in its order.
void BatchStretchSprite(int32_t slot, int32_t x, int32_t y, int32_t width, int32_t height) {
    const SpriteSlot* s = BatchTexturedCommand(slot, true, true);
    if (s == nullptr) return;
    const int64_t right = static_cast<int64_t>(x) + width;
    const int64_t bottom = static_cast<int64_t>(y) + height;
    const PolyVertex fan[4] = {At(x, bottom, 0.0f, 0.0f), At(right, bottom, s->uMax, 0.0f),
                               At(right, y, s->uMax, s->vMax), At(x, y, 0.0f, s->vMax)};
    BatchFan(fan);
}

}  // namespace
}  // namespace vtx

// The picture at (x, y), texture wrap left as bound.
void DrawSprite(int32_t slot, int32_t x, int32_t y) {
    if (vtx::DrawBatching()) {
        vtx::BatchDrawSprite(slot, x, y);
        return;
    }
    const vtx::SpriteSlot* s = vtx::BindSpriteForDrawing(slot);
    if (s == nullptr) return;
    const int64_t right = static_cast<int64_t>(x) + s->width;
    const int64_t bottom = static_cast<int64_t>(y) + s->height;
    glBegin(GL_QUADS);
    glTexCoord2f(s->uMax, s->vMax);
    vtx::Vertex(right, y);
    glTexCoord2f(0.0f, s->vMax);
    vtx::Vertex(x, y);
    glTexCoord2f(0.0f, 0.0f);
    vtx::Vertex(x, bottom);
    glTexCoord2f(s->uMax, 0.0f);
    vtx::Vertex(right, bottom);
    glEnd();
}

// The picture stretched to (x, y, w, h); a negative size mirrors it.
void StretchSprite(int32_t slot, int32_t x, int32_t y, int32_t width, int32_t height) {
    if (vtx::DrawBatching()) {
        vtx::BatchStretchSprite(slot, x, y, width, height);
        return;
    }
    const vtx::SpriteSlot* s = vtx::BindSpriteForDrawing(slot);
    if (s == nullptr) return;
    const int64_t right = static_cast<int64_t>(x) + width;
    const int64_t bottom = static_cast<int64_t>(y) + height;
    vtx::ClampBoundTexture();
    glBegin(GL_TRIANGLE_FAN);
    glTexCoord2f(0.0f, 0.0f);
    vtx::Vertex(x, bottom);
    glTexCoord2f(s->uMax, 0.0f);
    vtx::Vertex(right, bottom);
    glTexCoord2f(s->uMax, s->vMax);
    vtx::Vertex(right, y);
    glTexCoord2f(0.0f, s->vMax);
    vtx::Vertex(x, y);
    glEnd();
}

// StretchSprite about the picture's centre, sizes scaled by the zooms.
void ZoomSprite(int32_t slot, int32_t x, int32_t y, double zoomX, double zoomY) {
    const vtx::SpriteStore* store = vtx::Sprites();
    if (store == nullptr || !vtx::IsSlotNumber(slot)) return;
    const vtx::SpriteSlot& s = store->slots[slot];
    const float zx = vtx::ToFloat(zoomX);
    const float zy = vtx::ToFloat(zoomY);
    const float w = static_cast<float>(s.width);
    const float h = static_cast<float>(s.height);
    StretchSprite(slot, vtx::TruncateToInt(static_cast<float>(x) - (zx * w - w) * 0.5f),
                  vtx::TruncateToInt(static_cast<float>(y) - (zy * h - h) * 0.5f), vtx::TruncateToInt(zx * w),
                  vtx::TruncateToInt(zy * h));
}

// RotoZoomSprite with zoom 1.
void RotateSprite(int32_t slot, int32_t x, int32_t y, double angle) { RotoZoomSprite(slot, x, y, angle, 1.0); }

// The picture turned by angle degrees (counter-clockwise on screen) and
// scaled by zoom about its centre; texture coordinates reach the centres of
// the outer texels. Always drawn at once: the turn is made by the model-view
// matrix, whose arithmetic the processor would not repeat bit for bit.
void RotoZoomSprite(int32_t slot, int32_t x, int32_t y, double angle, double zoom) {
    vtx::FlushDrawBatch();
    const vtx::SpriteSlot* s = vtx::BindSpriteForDrawing(slot);
    if (s == nullptr) return;
    const float z = vtx::ToFloat(zoom);
    const float hx = z * static_cast<float>(s->width) * 0.5f;
    const float hy = z * static_cast<float>(s->height) * 0.5f;
    const float tw = static_cast<float>(s->texWidth);
    const float th = static_cast<float>(s->texHeight);
    const float uLeft = 0.5f / tw, uRight = (static_cast<float>(s->width) - 0.5f) / tw;
    const float vLow = 0.5f / th, vHigh = (static_cast<float>(s->height) - 0.5f) / th;
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(static_cast<float>(static_cast<int64_t>(x) + s->width / 2),
                 static_cast<float>(static_cast<int64_t>(y) + s->height / 2), 0.0f);
    glRotatef(vtx::ToFloat(angle), 0.0f, 0.0f, -1.0f);
    vtx::ClampBoundTexture();
    glBegin(GL_TRIANGLE_FAN);
    glTexCoord2f(uLeft, vLow);
    glVertex2f(-hx, hy);
    glTexCoord2f(uRight, vLow);
    glVertex2f(hx, hy);
    glTexCoord2f(uRight, vHigh);
    glVertex2f(hx, -hy);
    glTexCoord2f(uLeft, vHigh);
    glVertex2f(-hx, -hy);
    glEnd();
    glPopMatrix();
}
