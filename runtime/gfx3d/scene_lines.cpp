// Lines, dots and axes in world coordinates, drawn untextured.
#include <GL/gl.h>

#include <cmath>

#include "gfx2d/draw_batch.h"
#include "gfx2d/draw_state.h"
#include "gfx2d/sprite_store.h"
#include "gfx3d/scene_commands.h"
#include "gfx3d/scene_context.h"

namespace {

float Clamped(double v) {
    if (!(v >= 1)) return 1.0f;  // NaN too
    return v > 512 ? 512.0f : static_cast<float>(v);
}

void Colour(int32_t colour) {
    glColor4f(static_cast<float>(colour & 0xFF) / 255.0f, static_cast<float>((colour >> 8) & 0xFF) / 255.0f,
              static_cast<float>((colour >> 16) & 0xFF) / 255.0f, vtx::CurrentAlpha());
}

// Untextured, unlit drawing in world coordinates; the state comes back after.
void BeginPlain() {
    vtx::FlushDrawBatch();
    vtx::BindSlot(-1);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT | GL_POINT_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadMatrixf(vtx::Scene3D()->cameraMatrix);
}

void EndPlain() {
    glPopMatrix();
    glPopAttrib();
}

}  // namespace

void DrawLine3D(double x1, double y1, double z1, double x2, double y2, double z2, double width, int32_t colour) {
    if (vtx::Scene3D() == nullptr || !vtx::AllFinite({x1, y1, z1, x2, y2, z2})) return;
    BeginPlain();
    glEnable(GL_LINE_SMOOTH);
    glLineWidth(Clamped(width));
    Colour(colour);
    glBegin(GL_LINES);
    glVertex3d(x1, y1, z1);
    glVertex3d(x2, y2, z2);
    glEnd();
    EndPlain();
}

void DrawDot3D(double x, double y, double z, double size, int32_t colour) {
    if (vtx::Scene3D() == nullptr || !vtx::AllFinite({x, y, z})) return;
    BeginPlain();
    glEnable(GL_POINT_SMOOTH);
    glPointSize(Clamped(size));
    Colour(colour);
    glBegin(GL_POINTS);
    glVertex3d(x, y, z);
    glEnd();
    EndPlain();
}

void DrawAxes3D(double x, double y, double z) {
    if (vtx::Scene3D() == nullptr || !vtx::AllFinite({x, y, z})) return;
    BeginPlain();
    const int32_t colours[3] = {0x0000FF, 0x00FF00, 0xFF0000};
    glBegin(GL_LINES);
    for (int axis = 0; axis < 3; ++axis) {
        Colour(colours[axis]);
        double tip[3] = {x, y, z};
        tip[axis] += 20;
        glVertex3d(x, y, z);
        glVertex3d(tip[0], tip[1], tip[2]);
        // the head: from 0.75 to 1 of the length, spread sideways
        const int side = (axis + 1) % 3;
        for (int sign = -1; sign <= 1; sign += 2) {
            double base[3] = {x, y, z};
            base[axis] += 15;
            base[side] += sign * 2.5;
            glVertex3d(base[0], base[1], base[2]);
            glVertex3d(tip[0], tip[1], tip[2]);
        }
    }
    glEnd();
    EndPlain();
}
