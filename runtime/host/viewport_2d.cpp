// The 2D projection: pixels with (0, 0) at the top left, y growing downwards.
#include <GL/gl.h>

#include "gfx2d/draw_batch.h"
#include "gfx2d/draw_state.h"
#include "gfx2d/sprite_store.h"
#include "host/graphics_backend.h"
#include "gfx2d/offscreen_screens.h"

namespace vtx {

void SetViewport2D(OpenGLRidezoda& gfx, int32_t x, int32_t y, int32_t w, int32_t h) {
    // Collected commands go to the old viewport; while a window is being
    // made (context not ready) they belonged to a window that is gone.
    FlushDrawBatch();
    const bool turned = gfx.rotated != 0 && !OffscreenTargetActive();
    if (w < 1 || h < 1) {
        w = turned ? gfx.height : gfx.width;
        h = turned ? gfx.width : gfx.height;
    }
    gfx.viewportX = x;
    gfx.viewportY = y;
    gfx.viewportW = w;
    gfx.viewportH = h;
    glViewport(x, gfx.height - y - h, w, h);  // y counts from the top

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (turned) glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
    glOrtho(0.0, w, h, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    for (GLenum cap : {GL_DEPTH_TEST, GL_CULL_FACE, GL_FOG, GL_LINE_SMOOTH, GL_POINT_SMOOTH, GL_POLYGON_SMOOTH,
                       GL_STENCIL_TEST, GL_NORMALIZE, GL_LIGHTING, GL_COLOR_MATERIAL, GL_DITHER,
                       GL_POLYGON_OFFSET_FILL, GL_BLEND})
        glDisable(cap);
    glFrontFace(GL_CCW);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.05f);
    glShadeModel(GL_FLAT);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_FASTEST);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    vtx::SetCurrentAlpha(1.0f);
    gfx.mode2D = true;
    BindSlot(-1);
}

}  // namespace vtx
