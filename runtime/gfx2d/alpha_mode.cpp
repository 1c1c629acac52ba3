// The alpha mode: how everything drawn afterwards meets the target.
#include <GL/gl.h>

#include <cmath>

#include "gfx2d/draw_batch.h"
#include "gfx2d/draw_commands.h"
#include "gfx2d/draw_state.h"
#include "gfx2d/sprite_store.h"

// Positive modes add, negative modes blend, 0 draws opaque with cut-outs.
// Repeating the mode that is in force while a batch collects changes
// nothing and keeps the batch open.
void SetAlphaMode(double mode) {
    if (vtx::Sprites() == nullptr) return;
    const float m = vtx::ToFloat(mode);
    if (vtx::AlphaModeUnchanged(m)) return;
    vtx::FlushDrawBatch();
    glEnable(GL_BLEND);
    if (m != 0.0f) {
        glDisable(GL_ALPHA_TEST);
        glBlendFunc(GL_SRC_ALPHA, m > 0.0f ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
    } else {
        glDisable(GL_BLEND);
        glEnable(GL_ALPHA_TEST);
    }
    vtx::SetCurrentAlpha(m == 0.0f ? 1.0f : std::fabs(m));  // above 1 is kept at 1
    glColor4f(1.0f, 1.0f, 1.0f, vtx::CurrentAlpha());
    vtx::NoteAlphaMode(m);
}
