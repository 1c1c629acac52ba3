// Fog: linear (start and end, the scene's near and far when both are 0) or
// exponential (density); colour -1 switches it off.
#include <GL/gl.h>

#include "gfx2d/draw_batch.h"
#include "gfx3d/scene_commands.h"
#include "gfx3d/scene_context.h"

void SetFog(int32_t colour, int32_t exponential, double a, double b) {
    using namespace vtx;
    Ridezoda3D* s = Scene3D();
    if (s == nullptr) return;
    FlushDrawBatch();
    if (colour == -1) {
        glDisable(GL_FOG);
        return;
    }
    if (!AllFinite({a, b})) return;
    const float c[4] = {static_cast<float>(colour & 0xFF) / 255.0f, static_cast<float>((colour >> 8) & 0xFF) / 255.0f,
                        static_cast<float>((colour >> 16) & 0xFF) / 255.0f, 0.0f};
    glEnable(GL_FOG);
    glFogfv(GL_FOG_COLOR, c);
    if (exponential != 0) {
        glFogi(GL_FOG_MODE, GL_EXP);
        glFogf(GL_FOG_DENSITY, static_cast<float>(a < 0 ? 0 : a));  // GL refuses a negative density
        return;
    }
    float start = static_cast<float>(a), end = static_cast<float>(b);
    if (a == 0 && b == 0) {
        start = s->nearDistance;
        end = s->farDistance;
    }
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, start);
    glFogf(GL_FOG_END, end);
}
