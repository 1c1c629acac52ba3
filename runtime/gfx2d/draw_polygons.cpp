// Polygons built vertex by vertex into the reusable buffer and drawn as
// vertex arrays: a fan, separate triangles, or strips joined by degenerate
// triangles.
#include <GL/gl.h>

#include <cstddef>

#include "gfx2d/draw_batch.h"
#include "gfx2d/draw_commands.h"
#include "gfx2d/draw_state.h"
#include "gfx2d/sprite_store.h"

namespace vtx {
namespace {

// Appends one vertex, growing the buffer when it is full; a vertex that
// cannot get room is dropped.
void AppendVertex(const PolyVertex& vertex) {
    DrawState& d = Drawing();
    if (d.polyCount == INT32_MAX || !ReservePolygonVertices(d.polyCount + 1)) return;
    d.polyBuffer[d.polyCount++] = vertex;
}

// The slot whose texture coordinates vertices get now; -1 when untextured.
int32_t TexturedSlot() {
    const SpriteStore* store = Sprites();
    if (store == nullptr || !IsSlotNumber(store->currentTextureSlot)) return -1;
    return store->currentTextureSlot;
}

// The primitive a polygon mode draws; false for modes that draw nothing.
bool PrimitiveFor(int32_t mode, GLenum& primitive) {
    switch (mode) {
        case 0: primitive = GL_TRIANGLE_FAN; return true;
        case 1: primitive = GL_TRIANGLES; return true;
        case 2: primitive = GL_TRIANGLE_STRIP; return true;
        default: return false;
    }
}

}  // namespace
}  // namespace vtx

// Begins a polygon: binds the slot (negative: untextured), empties the
// polygon and takes the slot's texel scale.
void StartPoly(int32_t slot, int32_t mode) {
    vtx::SpriteStore* store = vtx::Sprites();
    if (store == nullptr) return;
    vtx::DrawState& d = vtx::Drawing();
    d.polyCount = 0;
    d.colourUsed = false;
    d.newStripPending = false;
    d.polyMode = mode;
    d.polyRejected = slot >= vtx::kSlotCount;  // no such slot: nothing to draw
    if (d.polyRejected) return;
    vtx::ReservePolygonVertices(vtx::kPolyStartCapacity);
    vtx::BindSlot(slot, -1);
    if (slot >= 0) {
        d.uScale = 1.0f / static_cast<float>(store->slots[slot].texWidth);
        d.vScale = 1.0f / static_cast<float>(store->slots[slot].texHeight);
    }
}

// Appends a vertex; (tx, ty) is a picture pixel counted from its top-left.
void PolyVector(double x, double y, double tx, double ty, int32_t colour) {
    const vtx::SpriteStore* store = vtx::Sprites();
    vtx::DrawState& d = vtx::Drawing();
    if (store == nullptr || d.polyRejected) return;
    vtx::PolyVertex vertex;
    vertex.x = vtx::ToFloat(x);
    vertex.y = vtx::ToFloat(y);
    const int32_t slot = vtx::TexturedSlot();
    if (slot >= 0) {
        vertex.u = vtx::ToFloat(tx) * d.uScale;
        vertex.v = (static_cast<float>(store->slots[slot].height) - vtx::ToFloat(ty)) * d.vScale;
    }
    if ((colour & 0xFFFFFF) != 0xFFFFFF) {
        d.colourUsed = true;
        vertex.r = static_cast<uint8_t>(colour);
        vertex.g = static_cast<uint8_t>(colour >> 8);
        vertex.b = static_cast<uint8_t>(colour >> 16);
    }
    vertex.a = vtx::ColourAlphaByte(colour);
    vtx::AppendVertex(vertex);
    if (d.newStripPending) {
        vtx::AppendVertex(vertex);
        d.newStripPending = false;
    }
}

// Repeats the last vertex so that the next strip is joined to this one by
// degenerate triangles only.
void PolyNewStrip() {
    vtx::DrawState& d = vtx::Drawing();
    if (vtx::Sprites() == nullptr || d.polyRejected || d.polyCount == 0 || d.newStripPending) return;
    const vtx::PolyVertex last = d.polyBuffer[d.polyCount - 1];
    vtx::AppendVertex(last);
    d.newStripPending = true;
}

// Draws the polygon from the buffer, with per-vertex colours when a vertex
// had a colour or the alpha value is below 1; the buffer is kept. Always
// drawn at once, after whatever the draw batch holds.
void EndPoly() {
    vtx::DrawState& d = vtx::Drawing();
    if (vtx::Sprites() == nullptr || d.polyRejected || d.polyBuffer == nullptr) return;
    vtx::FlushDrawBatch();
    const vtx::PolyVertex* first = d.polyBuffer.get();
    constexpr GLsizei kStride = sizeof(vtx::PolyVertex);
    const bool textured = vtx::TexturedSlot() >= 0;
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, kStride, &first->x);
    if (textured) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, kStride, &first->u);
    }
    if (d.colourUsed || d.alpha != 1.0f) {
        d.colourUsed = true;
        glEnable(GL_DITHER);
        glShadeModel(GL_SMOOTH);
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_UNSIGNED_BYTE, kStride, &first->r);
    }
    // Only a textured polygon sets filters: an untextured one leaves the
    // last bound texture (perhaps a font) as it was.
    if (textured) vtx::ApplySmoothingFilters();
    GLenum primitive = GL_TRIANGLE_FAN;
    if (vtx::PrimitiveFor(d.polyMode, primitive) && d.polyCount > 0) glDrawArrays(primitive, 0, d.polyCount);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    if (d.colourUsed) {
        glColor4f(1.0f, 1.0f, 1.0f, d.alpha);
        glDisableClientState(GL_COLOR_ARRAY);
        glShadeModel(GL_FLAT);
        glDisable(GL_DITHER);
    }
}
