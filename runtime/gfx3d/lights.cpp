// Lights: the eight GL lights, the effect light of bump mapping, toon
// shading and shadow volumes, the camera light and the debug drawing.
#include <GL/gl.h>

#include <cmath>

#include "gfx2d/draw_batch.h"
#include "gfx2d/draw_state.h"
#include "gfx3d/scene_commands.h"
#include "gfx3d/scene_context.h"
#include "host/project_settings.h"

namespace {

void ColourFloats(int32_t colour, float out[4]) {
    out[0] = static_cast<float>(colour & 0xFF) / 255.0f;
    out[1] = static_cast<float>((colour >> 8) & 0xFF) / 255.0f;
    out[2] = static_cast<float>((colour >> 16) & 0xFF) / 255.0f;
    out[3] = 1.0f;
}

void DrawLightMarker(const float p[3], const float d[3], bool withDirection) {
    DrawDot3D(p[0], p[1], p[2], 40, 0x80C8FF);
    if (!withDirection) return;
    float length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    if (!(length > 0)) return;
    DrawLine3D(p[0], p[1], p[2], p[0] + 500 * d[0] / length, p[1] + 500 * d[1] / length, p[2] + 500 * d[2] / length,
               3, 0x6CAAE1);
}

}  // namespace

void SetLight(int32_t index, int32_t colour, double x, double y, double z, double dx, double dy, double dz,
              double cutoff) {
    using namespace vtx;
    Ridezoda3D* s = Scene3D();
    if (s == nullptr) return;
    if (!AllFinite({x, y, z, dx, dy, dz, cutoff})) return;
    FlushDrawBatch();
    float c[4];
    ColourFloats(colour, c);
    const float p[3] = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
    float d[3] = {static_cast<float>(dx), static_cast<float>(dy), static_cast<float>(dz)};
    if (index < 0) {
        if (index < -3) return;  // no effect of that number
        s->effectPosition[0] = p[0];
        s->effectPosition[1] = p[1];
        s->effectPosition[2] = p[2];
        s->effectColour[0] = c[0];
        s->effectColour[1] = c[1];
        s->effectColour[2] = c[2];
        s->shadowsOn = std::fabs(cutoff) >= 0.00001;
        // Cutoff 0 also switches the effect off, so that drawing goes back to
        // plain objects (in mode 3 it would draw only shadow volumes).
        s->effectOn = s->shadowsOn;
        s->effectMode = -index;
        if (index == -3) SetShadowPass(s->shadowsOn);
        return;
    }
    const int32_t light = index % 8;
    const GLenum name = GL_LIGHT0 + static_cast<GLenum>(light);
    if (cutoff == 0) {
        glDisable(name);
        s->lightMask &= ~(1u << light);
        if (s->lightMask == 0) glDisable(GL_LIGHTING);
        return;
    }
    s->lightMask |= 1u << light;
    glEnable(GL_LIGHTING);
    glEnable(name);
    glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadMatrixf(s->cameraMatrix);
    const float black[4] = {0, 0, 0, 1};
    const bool atOrigin = p[0] == 0 && p[1] == 0 && p[2] == 0 && d[0] == 0 && d[1] == 0 && d[2] == 0;
    bool directed = false;
    if (atOrigin) {
        const float position[4] = {0, 0, 0, 1};
        glLightfv(name, GL_POSITION, position);
        glLightfv(name, GL_DIFFUSE, c);
        glLightfv(name, GL_SPECULAR, black);
        glLightf(name, GL_SPOT_CUTOFF, 180);
    } else if (cutoff == 180) {
        float v[3] = {-d[0], -d[1], -d[2]};
        const float square = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
        if (square > 1e-7f) {
            const float length = std::sqrt(square);
            v[0] /= length;
            v[1] /= length;
            v[2] /= length;
        }
        const float position[4] = {v[0], v[1], v[2], 0};
        glLightfv(name, GL_POSITION, position);
        glLightfv(name, GL_DIFFUSE, c);
        glLightfv(name, GL_SPECULAR, black);
        glLightf(name, GL_SPOT_CUTOFF, 180);
        directed = true;
    } else if (cutoff > 90) {
        const float position[4] = {p[0], p[1], p[2], 1};
        glLightfv(name, GL_POSITION, position);
        glLightf(name, GL_SPOT_CUTOFF, 180);
        glLightfv(name, GL_DIFFUSE, c);
        glLightfv(name, GL_SPECULAR, c);
    } else {
        // Cutoffs below 0 have no cone in GL: they are taken as their size.
        const float k = static_cast<float>(std::fabs(cutoff));
        const float position[4] = {p[0], p[1], p[2], 1};
        float v[3] = {d[0], d[1], d[2]};
        const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        if (length > 0) {
            v[0] /= length;
            v[1] /= length;
            v[2] /= length;
        }
        glLightfv(name, GL_POSITION, position);
        glLightf(name, GL_SPOT_CUTOFF, k > 90 ? 90 : k);
        glLightfv(name, GL_SPOT_DIRECTION, v);
        glLightfv(name, GL_DIFFUSE, c);
        glLightfv(name, GL_SPECULAR, c);
        directed = true;
    }
    glPopMatrix();
    if (ProjectSettings.debugMode) DrawLightMarker(p, d, directed);
}

void SetCameraLight(int32_t index, int32_t colour) {
    vtx::Ridezoda3D* s = vtx::Scene3D();
    if (s == nullptr) return;
    SetLight(index, colour, s->eye[0], s->eye[1], s->eye[2], -s->eye[0], -s->eye[1], -s->eye[2], 180);
}
