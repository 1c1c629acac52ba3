// The drawing state: alpha value, colour alpha rule, polygon buffer growth
// and the steps every textured command shares.
#include "gfx2d/draw_state.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <new>

#include "gfx2d/draw_batch.h"
#include "gfx2d/sprite_store.h"

namespace vtx {
namespace {

DrawState State;

}  // namespace

// The one drawing state of the process.
DrawState& Drawing() { return State; }

// Keeps the alpha value within 0 to 1 so that it always makes a byte.
// Collected primitives restore the colour with it: they are drawn first.
void SetCurrentAlpha(float alpha) {
    FlushDrawBatch();
    if (std::isnan(alpha)) alpha = 1.0f;
    State.alpha = std::clamp(alpha, 0.0f, 1.0f);
}

// The alpha value drawing uses now.
float CurrentAlpha() { return State.alpha; }

// 0 for the transparent colour, else the alpha value as a byte.
uint8_t ColourAlphaByte(int32_t colour) {
    const SpriteStore* store = Sprites();
    if (store != nullptr && ((colour ^ store->transparentColour) & 0xFFFFFF) == 0) return 0;
    return static_cast<uint8_t>(State.alpha * 255.0f);  // alpha is kept within 0 to 1
}

// Grows the polygon buffer to hold needed vertices, keeping what it holds.
bool ReservePolygonVertices(int32_t needed) {
    if (needed <= State.polyCapacity) return true;
    // The first buffer holds 512; a vertex that does not fit makes it the
    // next multiple of 128 above the count needed.
    const int64_t capacity = State.polyCapacity == 0 && needed <= kPolyStartCapacity
                                 ? kPolyStartCapacity
                                 : 128 * (static_cast<int64_t>(needed) / 128 + 1);
    if (capacity > INT32_MAX) return false;
    PolyVertex* grown = new (std::nothrow) PolyVertex[static_cast<size_t>(capacity)];
    if (grown == nullptr) return false;
    if (State.polyCount > 0)
        std::memcpy(grown, State.polyBuffer.get(), static_cast<size_t>(State.polyCount) * sizeof(PolyVertex));
    State.polyBuffer.reset(grown);
    State.polyCapacity = static_cast<int32_t>(capacity);
    return true;
}

// Vertices the polygon buffer has room for.
int32_t PolygonCapacity() { return State.polyCapacity; }

// A double as a float, saturating at the float range.
float ToFloat(double value) {
    if (std::isnan(value)) return static_cast<float>(value);
    return static_cast<float>(std::clamp(value, -static_cast<double>(FLT_MAX), static_cast<double>(FLT_MAX)));
}

// A double truncated toward zero, saturating at the 32-bit range.
int32_t TruncateToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value <= -2147483648.0) return INT32_MIN;
    if (value >= 2147483647.0) return INT32_MAX;
    return static_cast<int32_t>(value);
}

// The shared first steps of the textured commands: bind, then filters.
const SpriteSlot* BindSpriteForDrawing(int32_t slot) {
    const SpriteStore* store = Sprites();
    if (store == nullptr || !IsSlotNumber(slot)) return nullptr;
    BindSlot(slot, -1, false);
    ApplySmoothingFilters();
    return &store->slots[slot];
}

// Linear filters while smoothing, nearest otherwise.
void ApplySmoothingFilters() {
    const SpriteStore* store = Sprites();
    const GLint filter = store != nullptr && store->smoothing ? GL_LINEAR : GL_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
}

// Clamp-to-edge on both axes of the bound texture.
void ClampBoundTexture() {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

}  // namespace vtx
