// Bitmap fonts: loading font pictures, the current font, and text printed
// in 2D and in 3D space. A whole text is one draw call over one reused
// vertex buffer: a triangle strip in 2D, separate quads in 3D.
#include <GL/gl.h>

#include <cmath>
#include <cstring>
#include <new>

#include "files/last_error_internal.h"
#include "files/pack_resolver_internal.h"
#include "gfx2d/draw_batch.h"
#include "gfx2d/font_commands.h"
#include "gfx2d/font_store.h"
#include "gfx2d/sprite_store.h"
#include "host/debug_output.h"
#include "host/graphics_backend.h"

namespace vtx {
namespace {

constexpr uint32_t kNoSuchFile = 3;
constexpr int32_t kFloatsPerVertex = 5;  // x, y, z, u, v
constexpr GLsizei kVertexStride = kFloatsPerVertex * sizeof(float);
constexpr int32_t kFirstVertexCapacity = 512;
constexpr int32_t kVertexGrowthStep = 128;
// Longest text printed: keeps 4 vertices a byte well inside 32 bits.
constexpr uint32_t kMaxPrintedLength = 1u << 24;

int32_t currentFont = 0;

// The text vertex scratch buffer: grows, never shrinks.
struct TextVertexBuffer {
    float* vertices = nullptr;
    int32_t capacity = 0;  // in vertices
    ~TextVertexBuffer() { delete[] vertices; }
};

// The one scratch buffer of the process.
TextVertexBuffer& Scratch() {
    static TextVertexBuffer buffer;
    return buffer;
}

// How a font picture is divided: 16 columns, 16 rows when narrower than
// high, else 8; cell sizes in pixels and texture-coordinate extents.
struct FontGrid {
    float uMax = 1.0f;
    float vMax = 1.0f;
    int32_t rows = 8;
    int32_t cellWidth = 0;
    int32_t cellHeight = 0;
};

// The grid of the picture in a font slot.
FontGrid GridOf(const SpriteSlot& s) {
    FontGrid grid;
    grid.uMax = s.uMax;
    grid.vMax = s.vMax;
    grid.rows = s.width < s.height ? 16 : 8;
    grid.cellWidth = s.width >> 4;
    grid.cellHeight = s.height / grid.rows;
    return grid;
}

// The texture rectangle of the glyph that a byte prints.
struct GlyphRect {
    float uLeft, uRight, vBottom, vTop;
};

// Looks a byte up in the grid: glyph code mod 256 or mod 128, in column
// glyph mod 16 and row glyph / 16 counted from the top of the picture.
GlyphRect GlyphOf(const FontGrid& grid, uint8_t code) {
    const int32_t glyph = grid.rows == 16 ? code : code & 127;
    GlyphRect r;
    r.uLeft = static_cast<float>(glyph % 16) * grid.uMax / 16.0f;
    r.uRight = r.uLeft + grid.uMax / 16.0f;
    r.vBottom = static_cast<float>(grid.rows - 1 - glyph / 16) * grid.vMax / static_cast<float>(grid.rows);
    r.vTop = r.vBottom + grid.vMax / static_cast<float>(grid.rows);
    return r;
}

// Appends one vertex and returns the position after it.
float* PutVertex(float* at, float x, float y, float z, float u, float v) {
    at[0] = x;
    at[1] = y;
    at[2] = z;
    at[3] = u;
    at[4] = v;
    return at + kFloatsPerVertex;
}

// Draws count vertices of the scratch buffer as one primitive.
void DrawVertices(const float* vertices, int32_t count, GLenum mode) {
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, kVertexStride, vertices);
    glTexCoordPointer(2, GL_FLOAT, kVertexStride, vertices + 3);
    glDrawArrays(mode, 0, count);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

// Prints with font at (ceil(x), ceil(y)) and depth z: one cell a byte, all
// of them one triangle strip whose joining triangles have no area. A text
// printed at depth 0 with the matrices of the 2D drawing (collect) may join
// the draw batch.
void PrintWithFont(const RtString& text, double x, double y, float z, int32_t font, bool collect) {
    const SpriteStore* store = Sprites();
    const uint32_t length = text.length();
    if (store == nullptr || length == 0 || length > kMaxPrintedLength) return;
    const int32_t count = static_cast<int32_t>(length) * 4;
    float* vertices = ReserveTextVertices(count);
    if (vertices == nullptr) return;
    const int32_t slot = kFirstFontSlot + font;
    if (collect)
        BatchTexturedCommand(slot, false, false);
    else
        BindSlot(slot, -1);
    const FontGrid grid = GridOf(store->slots[slot]);
    float left = static_cast<float>(std::ceil(x));
    const float top = static_cast<float>(std::ceil(y));
    const float bottom = top + static_cast<float>(grid.cellHeight);
    const float width = static_cast<float>(grid.cellWidth);
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.c_str());
    float* at = vertices;
    for (uint32_t i = 0; i < length; ++i) {
        const GlyphRect g = GlyphOf(grid, bytes[i]);
        at = PutVertex(at, left, bottom, z, g.uLeft, g.vBottom);
        at = PutVertex(at, left, top, z, g.uLeft, g.vTop);
        at = PutVertex(at, left + width, bottom, z, g.uRight, g.vBottom);
        at = PutVertex(at, left + width, top, z, g.uRight, g.vTop);
        left += width;
    }
    if (collect)
        BatchTextStrip(vertices, count);
    else
        DrawVertices(vertices, count, GL_TRIANGLE_STRIP);
}

// Camera-facing glyph squares of side size x cell width, centred on p
// along the model-view's right axis, drawn with culling and lighting off.
void PrintFacingCamera(const RtString& text, const float p[3], float size, int32_t font) {
    const SpriteStore* store = Sprites();
    const uint32_t length = text.length();
    if (length == 0 || length > kMaxPrintedLength) return;
    const int32_t count = static_cast<int32_t>(length) * 4;
    float* vertices = ReserveTextVertices(count);
    if (vertices == nullptr) return;
    const GLboolean culling = glIsEnabled(GL_CULL_FACE);
    const GLboolean lighting = glIsEnabled(GL_LIGHTING);
    if (culling) glDisable(GL_CULL_FACE);
    if (lighting) glDisable(GL_LIGHTING);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    const int32_t slot = kFirstFontSlot + font;
    BindSlot(slot, -1);
    const FontGrid grid = GridOf(store->slots[slot]);
    const float side = size * static_cast<float>(grid.cellWidth);
    const float right[3] = {m[0] * side, m[4] * side, m[8] * side};
    const float up[3] = {m[1] * side, m[5] * side, m[9] * side};
    const float half = static_cast<float>(length) / 2.0f;
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.c_str());
    float* at = vertices;
    for (uint32_t k = 0; k < length; ++k) {
        const GlyphRect g = GlyphOf(grid, bytes[k]);
        const float along = static_cast<float>(k) - half;
        float a[3], b[3];  // the glyph's bottom-left and bottom-right corners
        for (int i = 0; i < 3; ++i) {
            a[i] = p[i] + right[i] * along;
            b[i] = a[i] + right[i];
        }
        at = PutVertex(at, a[0], a[1], a[2], g.uLeft, g.vBottom);
        at = PutVertex(at, b[0], b[1], b[2], g.uRight, g.vBottom);
        at = PutVertex(at, b[0] + up[0], b[1] + up[1], b[2] + up[2], g.uRight, g.vTop);
        at = PutVertex(at, a[0] + up[0], a[1] + up[1], a[2] + up[2], g.uLeft, g.vTop);
    }
    DrawVertices(vertices, count, GL_QUADS);
    if (culling) glEnable(GL_CULL_FACE);
    if (lighting) glEnable(GL_LIGHTING);
}

// Moves a projected position to the nearest 1/1024 pixel, so that matrix
// round-off cannot push an exact pixel position over the next whole pixel.
double SnapToGrid(double v) { return std::round(v * 1024.0) / 1024.0; }

// Screen-aligned text at the projection of p: centred horizontally on it
// with the bottom of its cells there, in a 2D projection of the viewport.
void PrintAtProjection(const RtString& text, const double p[3], int32_t font) {
    const SpriteStore* store = Sprites();
    GLdouble mv[16], pr[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, mv);
    glGetDoublev(GL_PROJECTION_MATRIX, pr);
    double eye[4], clip[4];
    for (int r = 0; r < 4; ++r) eye[r] = mv[r] * p[0] + mv[4 + r] * p[1] + mv[8 + r] * p[2] + mv[12 + r];
    for (int r = 0; r < 4; ++r) clip[r] = pr[r] * eye[0] + pr[4 + r] * eye[1] + pr[8 + r] * eye[2] + pr[12 + r] * eye[3];
    if (clip[3] == 0.0) return;
    const double nx = clip[0] / clip[3], ny = clip[1] / clip[3], nz = clip[2] / clip[3];
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const double vw = viewport[2], vh = viewport[3];
    const FontGrid grid = GridOf(store->slots[kFirstFontSlot + font]);
    const double x = (nx + 1.0) * vw / 2.0 - static_cast<double>(text.length()) * grid.cellWidth / 2.0;
    const double y = vh - (ny + 1.0) * vh / 2.0 - grid.cellHeight;
    GLint matrixMode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, vw, vh, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    PrintWithFont(text, SnapToGrid(x), SnapToGrid(y), static_cast<float>(-nz), font, false);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(static_cast<GLenum>(matrixMode));
}

// Loads an already resolved font picture into the clamped font's slot and
// makes that font current; a failure puts the built-in font there.
bool LoadResolvedFont(const RtString& resolved, bool found, int32_t font) {
    SpriteStore* store = Sprites();
    const int32_t clamped = ClampFontNumber(font);
    currentFont = clamped;
    if (found && LoadIntoSlot(kFirstFontSlot + clamped, resolved.c_str(), store->fontTransparentColour, false))
        return true;
    SetLastError(kNoSuchFile);
    // A number outside 0 to 31 names no font slot: the built-in font goes
    // into the slot that was tried, which is also the current font.
    SetBuiltinFont(clamped);
    return false;
}

}  // namespace

// Font numbers below 0 become 0, above 31 become 31.
int32_t ClampFontNumber(int32_t font) { return font < 0 ? 0 : (font >= kFontCount ? kFontCount - 1 : font); }

// The font the print commands use.
int32_t CurrentFont() { return currentFont; }

// Room in the scratch buffer, in vertices.
int32_t TextVertexCapacity() { return Scratch().capacity; }

// 512 vertices at first, then the next multiple of 128 above the need.
float* ReserveTextVertices(int32_t count) {
    TextVertexBuffer& buffer = Scratch();
    if (count < 0) return nullptr;
    if (count <= buffer.capacity) return buffer.vertices;
    const int32_t capacity = buffer.capacity == 0 && count <= kFirstVertexCapacity
                                 ? kFirstVertexCapacity
                                 : kVertexGrowthStep * (count / kVertexGrowthStep + 1);
    float* grown = new (std::nothrow) float[static_cast<size_t>(capacity) * kFloatsPerVertex];
    if (grown == nullptr) return nullptr;
    if (buffer.vertices != nullptr)
        std::memcpy(grown, buffer.vertices, static_cast<size_t>(buffer.capacity) * kFloatsPerVertex * sizeof(float));
    delete[] buffer.vertices;
    buffer.vertices = grown;
    buffer.capacity = capacity;
    return grown;
}

// The start-up font: smalfont.png, else smalfont.bmp, else the built-in one.
void LoadDefaultFont() {
    if (Sprites() == nullptr) return;
    // The resolved name is loaded as it is: resolving it again would release
    // the block a memory name points at.
    for (const char* name : {"smalfont.png", "smalfont.bmp"}) {
        RtString resolved;
        if (ResolveFile(LoaderResolver(), RtString(name), resolved, true)) {
            ClearLastError();
            LoadResolvedFont(resolved, true, 0);
            break;
        }
    }
    SetFont(0);
}

}  // namespace vtx

// Clears the last error, then empties or loads the font slot (see the header).
void LoadFont(const RtString& file, int32_t font) {
    using namespace vtx;
    if (Sprites() == nullptr) return;
    ClearLastError();
    if (file.length() == 0) {
        // Emptying a font never reaches beyond the font slots.
        ResetSlot(kFirstFontSlot + ClampFontNumber(font));
        return;
    }
    RtString resolved;
    const bool found = ResolveFile(LoaderResolver(), file, resolved, true);
    if (!LoadResolvedFont(resolved, found, font))
        ReportFailedLoad("LoadFont", file,
                         found ? "not a BMP, PNG or JPEG picture that can be read; the built-in font stands in"
                               : "no such file; the built-in font stands in");
}

// Current font = font clamped to 0 to 31.
void SetFont(int32_t font) {
    if (vtx::Sprites() == nullptr) return;
    vtx::currentFont = vtx::ClampFontNumber(font);
}

// Cell size of the current font; 0, 0 without a back-end.
void GetFontSize(int32_t& width, int32_t& height) {
    const vtx::SpriteStore* store = vtx::Sprites();
    if (store == nullptr) {
        width = height = 0;
        return;
    }
    const vtx::FontGrid grid = vtx::GridOf(store->slots[vtx::kFirstFontSlot + vtx::currentFont]);
    width = grid.cellWidth;
    height = grid.cellHeight;
}

// Cell size of the current font as reals.
void GetFontSize(double& width, double& height) {
    int32_t w = 0, h = 0;
    GetFontSize(w, h);
    width = w;
    height = h;
}

// Text at (x, y) with the current font, depth 0.
void PrintText(const RtString& text, double x, double y) {
    vtx::PrintWithFont(text, x, y, 0.0f, vtx::currentFont, vtx::DrawBatching());
}

// The number text of value, printed like PrintText.
void PrintNumber(double value, double x, double y) { PrintText(RtString(value), x, y); }

// Text in 3D space: camera-facing squares, or at the projected point (size 0).
void PrintText3D(const RtString& text, double x, double y, double z, double size) {
    if (vtx::Sprites() == nullptr || text.length() == 0) return;
    vtx::FlushDrawBatch();
    if (size != 0.0) {
        const float p[3] = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
        vtx::PrintFacingCamera(text, p, static_cast<float>(size), vtx::currentFont);
    } else {
        const double p[3] = {x, y, z};
        vtx::PrintAtProjection(text, p, vtx::currentFont);
    }
}
