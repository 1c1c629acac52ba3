// The draw batch: one vertex array, 16-bit indices into it and runs of one
// primitive type each, drawn with the GL state that the commands which
// filled it set when they began it.
#include "gfx2d/draw_batch.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "gfx2d/sprite_store.h"
#include "host/graphics_backend.h"

namespace vtx {
namespace {

// A full batch (2048 sprites) is drawn and flushed, and a new one begun:
// the driver's rasteriser threads start on it while the later shapes are
// still being prepared, instead of waiting for the whole frame.
constexpr int32_t kMaxVertices = 8192;
// Every shape needs at most 6 indices for 4 vertices.
constexpr int32_t kMaxIndices = kMaxVertices / 2 * 3;
constexpr GLsizei kStride = sizeof(PolyVertex);

// Quads as the driver splits GL_QUADS, fans and strips as it splits them.
constexpr uint16_t kQuadOrder[6] = {0, 1, 3, 1, 2, 3};
constexpr uint16_t kFanOrder[6] = {0, 1, 2, 0, 2, 3};
constexpr uint16_t kGlyphOrder[6] = {0, 1, 2, 2, 1, 3};
constexpr uint16_t kPointOrder[1] = {0};
constexpr uint16_t kLineOrder[2] = {0, 1};

// What a batch draws with: a texture with its wrap mode and filters (0:
// the command leaves the filters alone), or the primitive state.
struct BatchKey {
    bool primitive = false;
    GLuint texture = 0;
    GLint wrap = GL_REPEAT;
    GLint filter = 0;
    bool operator==(const BatchKey&) const = default;
};

// Consecutive indices drawn as one primitive type, with the vertex range
// they use.
struct Run {
    GLenum mode = GL_TRIANGLES;
    int32_t firstIndex = 0;
    int32_t indexCount = 0;
    int32_t firstVertex = 0;
    int32_t lastVertex = 0;
};

// Whether the environment asks for immediate drawing.
bool BatchingWanted() {
    const char* value = std::getenv("VTX_NO_BATCH");
    return value == nullptr || value[0] == '\0' || std::strcmp(value, "0") == 0;
}

// The batch of the process, with the switch and what SetAlphaMode last set.
struct Batch {
    bool on = BatchingWanted();  // read once, when the process starts
    bool open = false;           // the GL state of key is set
    BatchKey key;
    const OpenGLRidezoda* backEnd = nullptr;  // where the state was set
    platform::WindowHandle window = nullptr;
    std::unique_ptr<PolyVertex[]> vertices;
    std::unique_ptr<uint16_t[]> indices;
    std::unique_ptr<GLfloat[]> colours;  // textured batches: the current colour, 4 floats a vertex
    int32_t colourCount = 0;             // leading entries of colours that hold colour
    GLfloat colour[4] = {};
    int32_t vertexCount = 0;
    int32_t indexCount = 0;
    std::vector<Run> runs;
    bool alphaModeKnown = false;  // the GL state is the one SetAlphaMode (alphaMode) set
    float alphaMode = 0.0f;
};

Batch State;

// Makes room for the batch arrays once; batching is given up when the
// memory cannot be had.
bool Allocate() {
    State.vertices.reset(new (std::nothrow) PolyVertex[kMaxVertices]);
    State.indices.reset(new (std::nothrow) uint16_t[kMaxIndices]);
    State.colours.reset(new (std::nothrow) GLfloat[kMaxVertices * 4]);
    State.colourCount = 0;
    if (State.vertices == nullptr || State.indices == nullptr || State.colours == nullptr) {
        State.vertices.reset();
        State.indices.reset();
        State.colours.reset();
        State.on = false;
        return false;
    }
    State.runs.reserve(64);
    return true;
}

// True when the state the batch relied on still belongs to the window and
// context being drawn to.
bool SameTarget() {
    const OpenGLRidezoda* gfx = GraphicsBackEnd;
    return gfx != nullptr && gfx == State.backEnd && gfx->contextReady != 0 && gfx->window == State.window;
}

// The current colour as an array for the batch's vertices. Textured
// commands draw with the current colour; the driver takes the same values
// from an array at a fraction of the cost of a constant attribute.
const GLfloat* CurrentColourArray() {
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    if (std::memcmp(colour, State.colour, sizeof colour) != 0) {
        std::memcpy(State.colour, colour, sizeof colour);
        State.colourCount = 0;
    }
    for (; State.colourCount < State.vertexCount; ++State.colourCount)
        std::memcpy(&State.colours[static_cast<size_t>(State.colourCount) * 4], colour, sizeof colour);
    return State.colours.get();
}

// Draws the runs with the arrays pointed at the batch.
void DrawRuns() {
    const PolyVertex* first = State.vertices.get();
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, kStride, &first->x);
    glEnableClientState(GL_COLOR_ARRAY);
    if (State.key.primitive) {
        glColorPointer(4, GL_UNSIGNED_BYTE, kStride, &first->r);
    } else {
        glColorPointer(4, GL_FLOAT, 0, CurrentColourArray());
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, kStride, &first->u);
    }
    for (const Run& run : State.runs)
        glDrawRangeElements(run.mode, static_cast<GLuint>(run.firstVertex), static_cast<GLuint>(run.lastVertex),
                            run.indexCount, GL_UNSIGNED_SHORT, State.indices.get() + run.firstIndex);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    if (!State.key.primitive) {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glColor4fv(State.colour);  // a colour array leaves the current colour undefined
    }
}

// Draws what the batch holds, keeping it open. Primitives draw as each
// would alone: alpha test off and the projection moved by 3/8 pixel, then
// the white current colour and the alpha test back.
void Submit() {
    if (State.vertexCount > 0 && SameTarget()) {
        if (State.key.primitive) {
            glDisable(GL_ALPHA_TEST);
            glMatrixMode(GL_PROJECTION);
            glPushMatrix();
            glTranslatef(0.375f, 0.375f, 0.0f);
            DrawRuns();
            glMatrixMode(GL_PROJECTION);
            glPopMatrix();
            glMatrixMode(GL_MODELVIEW);
            glColor4f(1.0f, 1.0f, 1.0f, CurrentAlpha());
            glEnable(GL_ALPHA_TEST);
        } else {
            DrawRuns();
        }
    }
    State.vertexCount = 0;
    State.indexCount = 0;
    State.runs.clear();
}

// Draws what the batch holds and closes it; the alpha-mode record stays.
void CloseBatch() {
    Submit();
    State.open = false;
}

// Opens the batch for key on the current window and context.
void OpenBatch(const BatchKey& key) {
    State.key = key;
    State.open = true;
    State.backEnd = GraphicsBackEnd;
    State.window = GraphicsBackEnd->window;
}

// True when the open batch has key on the current target.
bool Continues(const BatchKey& key) { return State.open && State.key == key && SameTarget(); }

// Appends one shape: its vertices and its indices (relative to its first
// vertex), drawn as mode. A full batch is drawn and flushed first.
void Append(GLenum mode, const PolyVertex* vertices, int32_t vertexCount, const uint16_t* order, int32_t indexCount) {
    if (State.vertexCount + vertexCount > kMaxVertices || State.indexCount + indexCount > kMaxIndices) {
        Submit();
        glFlush();
    }
    const int32_t base = State.vertexCount;
    std::memcpy(&State.vertices[base], vertices, static_cast<size_t>(vertexCount) * sizeof(PolyVertex));
    if (State.runs.empty() || State.runs.back().mode != mode)
        State.runs.push_back(Run{mode, State.indexCount, 0, base, base});
    uint16_t* to = &State.indices[State.indexCount];
    for (int32_t i = 0; i < indexCount; ++i) to[i] = static_cast<uint16_t>(base + order[i]);
    Run& run = State.runs.back();
    run.indexCount += indexCount;
    run.lastVertex = base + vertexCount - 1;
    State.vertexCount += vertexCount;
    State.indexCount += indexCount;
}

}  // namespace

// Collecting is on, and the batch arrays exist.
bool DrawBatching() { return State.on && (State.vertices != nullptr || Allocate()); }

// Draws what was collected, then switches (making room for the batch).
void SetDrawBatching(bool on) {
    FlushDrawBatch();
    State.on = on;
    if (on) DrawBatching();
}

// Draws and closes the batch; GL state may change behind it from now on.
void FlushDrawBatch() {
    CloseBatch();
    State.alphaModeKnown = false;
}

// Vertices waiting to be drawn.
int32_t PendingBatchVertices() { return State.vertexCount; }

// Binds as BindSlot (slot, -1) and sets filters and wrap, unless the open
// batch already has exactly that state.
const SpriteSlot* BatchTexturedCommand(int32_t slot, bool clamp, bool setFilters) {
    SpriteStore* store = Sprites();
    if (store == nullptr || !IsSlotNumber(slot)) return nullptr;
    const SpriteSlot& s = store->slots[slot];
    BatchKey key;
    key.texture = s.texture;
    key.wrap = clamp ? GL_CLAMP_TO_EDGE : GL_REPEAT;
    key.filter = setFilters ? (store->smoothing ? GL_LINEAR : GL_NEAREST) : 0;
    if (!Continues(key)) {
        // Binding touches neither blending nor the current colour.
        const bool known = State.alphaModeKnown;
        CloseBatch();
        BindSlot(slot, -1, false);
        if (setFilters) ApplySmoothingFilters();
        if (clamp) ClampBoundTexture();
        State.alphaModeKnown = known;
        OpenBatch(key);
    }
    store->currentTextureSlot = slot;
    return &s;
}

// Sets what a primitive leaves behind, unless a primitive batch is open.
bool BatchPrimitiveCommand() {
    SpriteStore* store = Sprites();
    if (store == nullptr) return false;
    BatchKey key;
    key.primitive = true;
    if (!Continues(key)) {
        FlushDrawBatch();  // the alpha test changes: SetAlphaMode must run in full again
        BindSlot(-1);
        glMatrixMode(GL_MODELVIEW);
        glColor4f(1.0f, 1.0f, 1.0f, CurrentAlpha());
        glEnable(GL_ALPHA_TEST);
        OpenBatch(key);
    }
    store->currentTextureSlot = -1;
    return true;
}

// GL_QUADS order (0, 1, 3), (1, 2, 3).
void BatchQuad(const PolyVertex corners[4]) { Append(GL_TRIANGLES, corners, 4, kQuadOrder, 6); }

// Fan order (0, 1, 2), (0, 2, 3).
void BatchFan(const PolyVertex corners[4]) { Append(GL_TRIANGLES, corners, 4, kFanOrder, 6); }

// Each glyph cell is strip vertices 4k to 4k + 3 with 4k even: triangles
// (4k, 4k + 1, 4k + 2) and (4k + 2, 4k + 1, 4k + 3).
void BatchTextStrip(const float* vertices, int32_t count) {
    for (int32_t at = 0; at + 4 <= count; at += 4) {
        PolyVertex cell[4];
        for (int32_t k = 0; k < 4; ++k) {
            const float* v = vertices + (at + k) * 5;
            cell[k].x = v[0];
            cell[k].y = v[1];
            cell[k].u = v[3];
            cell[k].v = v[4];
        }
        Append(GL_TRIANGLES, cell, 4, kGlyphOrder, 6);
    }
}

// One point.
void BatchPoint(const PolyVertex& point) { Append(GL_POINTS, &point, 1, kPointOrder, 1); }

// One line.
void BatchLine(const PolyVertex& from, const PolyVertex& to) {
    const PolyVertex ends[2] = {from, to};
    Append(GL_LINES, ends, 2, kLineOrder, 2);
}

// A filled four-vertex fan.
void BatchPrimitiveFan(const PolyVertex corners[4]) { Append(GL_TRIANGLES, corners, 4, kFanOrder, 6); }

// Only an open batch vouches that nothing else changed the GL state.
bool AlphaModeUnchanged(float mode) {
    return State.open && State.alphaModeKnown && State.alphaMode == mode && SameTarget();
}

// Remembered until the next flush from outside or primitive state change.
void NoteAlphaMode(float mode) {
    State.alphaModeKnown = true;
    State.alphaMode = mode;
}

}  // namespace vtx
