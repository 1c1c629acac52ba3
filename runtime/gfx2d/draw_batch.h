// Collected 2D drawing. Sprites, animation frames, text and the untextured
// primitives append their vertices to one batch instead of drawing at once;
// the batch is drawn in one go when the next command needs other GL state,
// and before any GL call made outside it.
//
// The pixels are exactly those of drawing each command on its own:
// - a batch holds one GL state (texture name, wrap mode, filters, or the
//   primitive state), and a command that needs another one draws the batch
//   first; a command that starts a batch makes its GL state changes at once,
//   in the order it would make them when drawing alone, so state queries see
//   the same values either way;
// - vertex values are the ones the command would send, with the same float
//   conversions;
// - triangles keep the vertex order in which the driver splits the shapes
//   the commands draw alone: GL_QUADS (0, 1, 3), (1, 2, 3); a four-vertex
//   fan (0, 1, 2), (0, 2, 3); a strip (i, i + 1, i + 2) for even i and
//   (i + 1, i, i + 2) for odd i. The order inside a triangle matters: the
//   rasteriser sets up its interpolation from the first vertex.
//
// Every piece of code that calls GL itself (read-backs, texture uploads,
// matrix changes, screen switches, 3D drawing) calls FlushDrawBatch first.
// VTX_NO_BATCH=1 in the environment at start-up draws every command at once.
#pragma once

#include <GL/gl.h>

#include <cstdint>

#include "gfx2d/draw_state.h"

namespace vtx {

struct SpriteSlot;

// True while commands collect vertices: on unless VTX_NO_BATCH was set to a
// value other than 0 when the process started.
bool DrawBatching();
// Switches collecting on or off (tests and benchmarks compare both ways);
// whatever was collected is drawn first.
void SetDrawBatching(bool on);
// Draws what the batch holds and forgets the GL state it relied on. Call it
// before any GL call made outside the drawing commands.
void FlushDrawBatch();
// Vertices the batch holds now (0 when everything has been drawn).
int32_t PendingBatchVertices();

// Makes a slot's texture current for a collected textured command, as
// BindSlot (slot, -1) would, then the filters from the smoothing flag
// (setFilters) and clamp-to-edge wrapping (clamp). Continuing a batch that
// already has exactly this state makes no GL call. Null when the back-end
// or the slot does not exist (nothing is bound then).
const SpriteSlot* BatchTexturedCommand(int32_t slot, bool clamp, bool setFilters);
// Sets what an untextured primitive leaves behind (texturing off, model-view
// matrix mode, white at the alpha value, alpha test on); the primitive
// itself is drawn with the alpha test off and the projection moved by 3/8
// pixel when the batch is drawn. False without a back-end.
bool BatchPrimitiveCommand();

// A textured quad given in GL_QUADS order.
void BatchQuad(const PolyVertex corners[4]);
// A textured four-vertex triangle fan.
void BatchFan(const PolyVertex corners[4]);
// A text drawn as one triangle strip: count vertices of five floats (x, y,
// z, u, v; z is 0), four per glyph cell. The joining triangles between
// cells have no area and are left out.
void BatchTextStrip(const float* vertices, int32_t count);
// An untextured point; vertices carry the primitive's colour bytes.
void BatchPoint(const PolyVertex& point);
// An untextured line between two vertices of the same colour.
void BatchLine(const PolyVertex& from, const PolyVertex& to);
// An untextured four-vertex triangle fan, all vertices of one colour.
void BatchPrimitiveFan(const PolyVertex corners[4]);

// True when SetAlphaMode (mode) would change nothing: the batch is still
// open and the GL blend state, alpha test and colour are the ones the last
// SetAlphaMode, with the same mode, set.
bool AlphaModeUnchanged(float mode);
// Records that SetAlphaMode (mode) has just set the GL state.
void NoteAlphaMode(float mode);

}  // namespace vtx
