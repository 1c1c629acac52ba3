// Untextured primitives: pixels, lines and filled rectangles. They draw
// with the alpha test off, so the transparent colour (alpha 0) still shows
// in alpha mode 0, and with the projection moved by 3/8 pixel so that
// integer positions land inside their pixels. Collected primitives carry
// their colour in the vertices and get that state when the batch is drawn.
#include <GL/gl.h>

#include "gfx2d/draw_batch.h"
#include "gfx2d/draw_commands.h"
#include "gfx2d/draw_state.h"
#include "gfx2d/sprite_store.h"

namespace vtx {
namespace {

// Sets up the state every primitive draws in; false without a back-end.
bool BeginPrimitive(int32_t colour) {
    if (Sprites() == nullptr) return false;
    glDisable(GL_ALPHA_TEST);
    glColor4ub(static_cast<GLubyte>(colour), static_cast<GLubyte>(colour >> 8), static_cast<GLubyte>(colour >> 16),
               ColourAlphaByte(colour));
    BindSlot(-1);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glTranslatef(0.375f, 0.375f, 0.0f);
    return true;
}

// Puts back the projection, the white current colour and the alpha test.
void EndPrimitive() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glColor4f(1.0f, 1.0f, 1.0f, CurrentAlpha());
    glEnable(GL_ALPHA_TEST);
}

// A vertex at a pixel position given as wide integers.
void Vertex(int64_t x, int64_t y) { glVertex2d(static_cast<double>(x), static_cast<double>(y)); }

// A batch vertex at a wide integer position (converted as glVertex2d does)
// in the colour's bytes and alpha byte.
PolyVertex Coloured(int64_t x, int64_t y, int32_t colour) {
    PolyVertex vertex;
    vertex.x = static_cast<float>(static_cast<double>(x));
    vertex.y = static_cast<float>(static_cast<double>(y));
    vertex.r = static_cast<uint8_t>(colour);
    vertex.g = static_cast<uint8_t>(colour >> 8);
    vertex.b = static_cast<uint8_t>(colour >> 16);
    vertex.a = ColourAlphaByte(colour);
    return vertex;
}

}  // namespace
}  // namespace vtx

// One pixel at (x, y).
void SetPixel(int32_t x, int32_t y, int32_t colour) {
    if (vtx::DrawBatching()) {
        if (vtx::BatchPrimitiveCommand()) vtx::BatchPoint(vtx::Coloured(x, y, colour));
        return;
    }
    if (!vtx::BeginPrimitive(colour)) return;
    glBegin(GL_POINTS);
    vtx::Vertex(x, y);
    glEnd();
    vtx::EndPrimitive();
}

// A line from (x1, y1) to (x2, y2), then the end point, which a line alone
// may leave out.
void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t colour) {
    if (vtx::DrawBatching()) {
        if (!vtx::BatchPrimitiveCommand()) return;
        const vtx::PolyVertex end = vtx::Coloured(x2, y2, colour);
        vtx::BatchLine(vtx::Coloured(x1, y1, colour), end);
        vtx::BatchPoint(end);
        return;
    }
    if (!vtx::BeginPrimitive(colour)) return;
    glBegin(GL_LINES);
    vtx::Vertex(x1, y1);
    vtx::Vertex(x2, y2);
    glEnd();
    glBegin(GL_POINTS);
    vtx::Vertex(x2, y2);
    glEnd();
    vtx::EndPrimitive();
}

// A filled rectangle; a negative size covers the pixels from the start
// point back by |size| - 1.
void DrawRect(int32_t x, int32_t y, int32_t width, int32_t height, int32_t colour) {
    const bool batching = vtx::DrawBatching();
    if (batching ? !vtx::BatchPrimitiveCommand() : !vtx::BeginPrimitive(colour)) return;
    const int64_t x0 = x, y0 = y;
    const int64_t left = width < 0 ? x0 + width + 1 : x0;
    const int64_t right = width < 0 ? x0 + 1 : x0 + width;
    const int64_t top = height < 0 ? y0 + height + 1 : y0;
    const int64_t bottom = height < 0 ? y0 + 1 : y0 + height;
    if (batching) {
        const vtx::PolyVertex fan[4] = {vtx::Coloured(left, top, colour), vtx::Coloured(right, top, colour),
                                        vtx::Coloured(right, bottom, colour), vtx::Coloured(left, bottom, colour)};
        vtx::BatchPrimitiveFan(fan);
        return;
    }
    glBegin(GL_TRIANGLE_FAN);
    vtx::Vertex(left, top);
    vtx::Vertex(right, top);
    vtx::Vertex(right, bottom);
    vtx::Vertex(left, bottom);
    glEnd();
    vtx::EndPrimitive();
}
