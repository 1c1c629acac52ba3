// The camera: look-at, the up vector and the six frustum planes.
#include <GL/gl.h>

#include <cmath>

#include "gfx2d/draw_batch.h"
#include "gfx3d/scene_commands.h"
#include "gfx3d/scene_context.h"

namespace vtx {
namespace {

void Cross(const float a[3], const float b[3], float out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

// A zero-length vector stays as it is.
void Normalise(float v[3]) {
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length > 0) {
        v[0] /= length;
        v[1] /= length;
        v[2] /= length;
    }
}

// Planes of the clip matrix m = projection x camera: row 3 plus or minus
// rows 0, 1, 2, each normalised by the length of (a, b, c).
void ExtractPlanes(const float m[16], float planes[6][4]) {
    auto row = [m](int r, int c) { return m[c * 4 + r]; };
    for (int i = 0; i < 6; ++i) {
        const int r = i / 2;
        const float sign = (i % 2 == 0) ? 1.0f : -1.0f;
        for (int c = 0; c < 4; ++c) planes[i][c] = row(3, c) + sign * row(r, c);
        const float length =
            std::sqrt(planes[i][0] * planes[i][0] + planes[i][1] * planes[i][1] + planes[i][2] * planes[i][2]);
        if (length > 0)
            for (int c = 0; c < 4; ++c) planes[i][c] /= length;
    }
}

}  // namespace

void LoadCameraMatrix() {
    Ridezoda3D* s = Scene3D();
    if (s == nullptr) return;
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(s->cameraMatrix);
}

}  // namespace vtx

void SetCamera(double eyeX, double eyeY, double eyeZ, double targetX, double targetY, double targetZ) {
    using namespace vtx;
    Ridezoda3D* s = Scene3D();
    if (s == nullptr) return;
    // NaN would poison every matrix after it: the camera stays where it was.
    if (!AllFinite({eyeX, eyeY, eyeZ, targetX, targetY, targetZ})) return;
    FlushDrawBatch();
    s->eye[0] = static_cast<float>(eyeX);
    s->eye[1] = static_cast<float>(eyeY);
    s->eye[2] = static_cast<float>(eyeZ);
    s->target[0] = static_cast<float>(targetX);
    s->target[1] = static_cast<float>(targetY);
    s->target[2] = static_cast<float>(targetZ);
    float f[3] = {s->eye[0] - s->target[0], s->eye[1] - s->target[1], s->eye[2] - s->target[2]};
    Normalise(f);
    float side[3];
    Cross(s->up, f, side);
    Normalise(side);
    float u[3];
    Cross(f, side, u);
    Normalise(u);
    float* m = s->cameraMatrix;
    // Rows s, u, f; then the translation by -eye.
    for (int c = 0; c < 3; ++c) {
        m[c * 4 + 0] = side[c];
        m[c * 4 + 1] = u[c];
        m[c * 4 + 2] = f[c];
        m[c * 4 + 3] = 0;
    }
    for (int r = 0; r < 3; ++r)
        m[12 + r] = -(m[r] * s->eye[0] + m[4 + r] * s->eye[1] + m[8 + r] * s->eye[2]);
    m[15] = 1;
    LoadCameraMatrix();
    ResetTransformStack();
    float clip[16];
    MatMultiply(s->projection, s->cameraMatrix, clip);
    ExtractPlanes(clip, s->planes);
}

void SetCameraUp(double x, double y, double z) {
    vtx::Ridezoda3D* s = vtx::Scene3D();
    if (s == nullptr || !vtx::AllFinite({x, y, z})) return;
    s->up[0] = static_cast<float>(x);
    s->up[1] = static_cast<float>(y);
    s->up[2] = static_cast<float>(z);
}
