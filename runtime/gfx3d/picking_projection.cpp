// WorldToScreen and ScreenToWorld arithmetic, in double.
#include "picking_projection.h"

#include <cmath>

namespace vtx {

namespace {

// out = projection x view, both in GL column order.
void Combined(const float view[16], const float projection[16], double out[16]) {
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += static_cast<double>(projection[k * 4 + row]) * static_cast<double>(view[column * 4 + k]);
            }
            out[column * 4 + row] = sum;
        }
    }
}

void Transform(const double m[16], const double in[4], double out[4]) {
    for (int row = 0; row < 4; ++row) {
        out[row] = m[row] * in[0] + m[4 + row] * in[1] + m[8 + row] * in[2] + m[12 + row] * in[3];
    }
}

// The inverse by cofactors; false when the determinant is 0 or not finite.
bool Invert(const double m[16], double out[16]) {
    double inv[16];
    inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] + m[9] * m[7] * m[14] +
             m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
    inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] - m[8] * m[7] * m[14] -
             m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
    inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] + m[8] * m[7] * m[13] +
             m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
    inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] - m[8] * m[6] * m[13] -
              m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
    inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] - m[9] * m[3] * m[14] -
             m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
    inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] + m[8] * m[3] * m[14] +
             m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
    inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] - m[8] * m[3] * m[13] -
             m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
    inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] + m[8] * m[2] * m[13] +
              m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
    inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] +
             m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
    inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] - m[4] * m[3] * m[14] -
             m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
    inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] + m[4] * m[3] * m[13] +
              m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
    inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] - m[4] * m[2] * m[13] -
              m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
    inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] - m[5] * m[3] * m[10] -
             m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
    inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] +
             m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
    inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] -
              m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
    inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] +
              m[8] * m[1] * m[6] - m[8] * m[2] * m[5];
    const double det = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
    if (det == 0.0 || !std::isfinite(det)) return false;
    for (int i = 0; i < 16; ++i) out[i] = inv[i] / det;
    return true;
}

bool Finite(const double v[3]) { return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]); }

}  // namespace

bool ProjectToScreen(const float view[16], const float projection[16], const int32_t viewport[4],
                     const double world[3], double screen[3]) {
    if (!Finite(world)) return false;
    double m[16];
    Combined(view, projection, m);
    const double point[4] = {world[0], world[1], world[2], 1.0};
    double clip[4];
    Transform(m, point, clip);
    if (clip[3] == 0.0) return false;
    const double nx = clip[0] / clip[3], ny = clip[1] / clip[3], nz = clip[2] / clip[3];
    const double x0 = viewport[0], y0 = viewport[1], w = viewport[2], h = viewport[3];
    const double out[3] = {x0 + (nx + 1.0) * w * 0.5, h - (y0 + h * (ny + 1.0) * 0.5), (nz + 1.0) * 0.5};
    if (!Finite(out)) return false;
    for (int k = 0; k < 3; ++k) screen[k] = out[k];
    return true;
}

bool UnprojectFromScreen(const float view[16], const float projection[16], const int32_t viewport[4],
                         const double screen[3], double world[3]) {
    if (!Finite(screen) || viewport[2] == 0 || viewport[3] == 0) return false;
    double m[16], inverse[16];
    Combined(view, projection, m);
    if (!Invert(m, inverse)) return false;
    const double x0 = viewport[0], y0 = viewport[1], w = viewport[2], h = viewport[3];
    // Screen y runs downward from the viewport height, as WorldToScreen gives it.
    const double y = h - screen[1];
    const double ndc[4] = {(screen[0] - x0) / w * 2.0 - 1.0, (y - y0) / h * 2.0 - 1.0, screen[2] * 2.0 - 1.0, 1.0};
    double out[4];
    Transform(inverse, ndc, out);
    if (out[3] == 0.0) return false;
    const double point[3] = {out[0] / out[3], out[1] / out[3], out[2] / out[3]};
    if (!Finite(point)) return false;
    for (int k = 0; k < 3; ++k) world[k] = point[k];
    return true;
}

}  // namespace vtx
