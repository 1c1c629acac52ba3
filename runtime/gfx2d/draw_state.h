// The drawing state of the back-end beside the sprite store: the alpha value
// every command draws with, and the polygon being built vertex by vertex.
#pragma once

#include <cstdint>
#include <memory>

namespace vtx {

struct SpriteSlot;

// One polygon vertex exactly as the vertex arrays read it: 20 bytes.
struct PolyVertex {
    float x = 0.0f;  // pixels
    float y = 0.0f;
    float u = 0.0f;  // texture coordinates
    float v = 0.0f;
    uint8_t r = 255;
    uint8_t g = 255;
    uint8_t b = 255;
    uint8_t a = 255;
};
static_assert(sizeof(PolyVertex) == 20, "vertex arrays use a stride of 20 bytes");

inline constexpr int32_t kPolyStartCapacity = 512;

struct DrawState {
    float alpha = 1.0f;                        // opacity or intensity, 0 to 1
    int32_t polyMode = 0;                      // 0 fan, 1 triangles, 2 strip, other: nothing
    std::unique_ptr<PolyVertex[]> polyBuffer;  // kept across polygons; only grows
    int32_t polyCapacity = 0;                  // vertices the buffer holds room for
    int32_t polyCount = 0;                     // vertices since StartPoly
    bool newStripPending = false;              // PolyNewStrip waits for the next vertex
    bool colourUsed = false;                   // a vertex had a colour other than white
    bool polyRejected = false;                 // StartPoly named no slot: nothing is drawn
    float uScale = 1.0f;                       // 1 / texWidth of the polygon's slot
    float vScale = 1.0f;                       // 1 / texHeight
};

// The one drawing state of the process.
DrawState& Drawing();

// Sets the alpha value (kept within 0 to 1; not a number counts as 1).
void SetCurrentAlpha(float alpha);
// The alpha value drawing uses now.
float CurrentAlpha();

// The alpha byte of a primitive or vertex colour: 0 for the transparent
// colour (bits 24 to 31 ignored on both sides), else alpha value x 255.
uint8_t ColourAlphaByte(int32_t colour);

// Room for at least needed vertices, growing as the polygon rule says; false
// when the memory cannot be had (the buffer then stays as it was).
bool ReservePolygonVertices(int32_t needed);
// Vertices the polygon buffer has room for (0 before the first polygon).
int32_t PolygonCapacity();

// A real argument as a float; values beyond the float range saturate.
float ToFloat(double value);
// A real truncated toward zero into a 32-bit integer, saturating; not a
// number gives 0.
int32_t TruncateToInt(double value);

// Binds a sprite slot for a textured command and sets the filters from the
// smoothing flag. Null (and nothing bound) without a back-end or for a slot
// number outside the store.
const SpriteSlot* BindSpriteForDrawing(int32_t slot);
// Magnification and minification filters of the bound texture from the
// smoothing flag: linear or nearest.
void ApplySmoothingFilters();
// Wrap S and T of the bound texture: clamp to edge.
void ClampBoundTexture();

}  // namespace vtx
