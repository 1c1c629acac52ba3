// Triangle tests of the collision commands and the rigid inverse that brings
// a query into object space. Arithmetic is double throughout; the mesh's
// float corners are widened exactly.
#include "collision_geometry.h"

#include <algorithm>
#include <cmath>

namespace vtx {

namespace {

inline void Sub(const float* a, const float* b, double out[3]) {
    for (int k = 0; k < 3; ++k) out[k] = static_cast<double>(a[k]) - static_cast<double>(b[k]);
}
inline void Sub(const double* a, const double* b, double out[3]) {
    for (int k = 0; k < 3; ++k) out[k] = a[k] - b[k];
}
inline void Sub(const double* a, const float* b, double out[3]) {
    for (int k = 0; k < 3; ++k) out[k] = a[k] - static_cast<double>(b[k]);
}
inline void Sub(const float* a, const double* b, double out[3]) {
    for (int k = 0; k < 3; ++k) out[k] = static_cast<double>(a[k]) - b[k];
}
inline double Dot(const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
inline double DotF(const double* a, const float* b) {
    return a[0] * static_cast<double>(b[0]) + a[1] * static_cast<double>(b[1]) + a[2] * static_cast<double>(b[2]);
}
inline void Cross(const double* a, const double* b, double out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

// Squared distance from m to the nearest point of segment x..y.
double SegmentDistanceSquared(const float* x, const float* y, const double m[3]) {
    double e[3], w[3];
    Sub(y, x, e);
    Sub(m, x, w);
    const double length2 = Dot(e, e);
    double t = 0.0;
    if (length2 > 0.0) t = std::clamp(Dot(w, e) / length2, 0.0, 1.0);
    double d[3];
    for (int k = 0; k < 3; ++k) d[k] = w[k] - e[k] * t;
    return Dot(d, d);
}

}  // namespace

RigidInverse RigidInverseOf(const float m[16]) {
    RigidInverse inverse{};
    for (int column = 0; column < 3; ++column) {
        double axis[3] = {m[column * 4 + 0], m[column * 4 + 1], m[column * 4 + 2]};
        // A scaled axis is brought back to length 1; a rigid matrix keeps its
        // numbers exactly. An axis of length 0 stays 0.
        const double length2 = Dot(axis, axis);
        if (length2 > 0.0 && std::fabs(length2 - 1.0) > 1e-6) {
            const double length = std::sqrt(length2);
            for (double& c : axis) c /= length;
        }
        for (int k = 0; k < 3; ++k) inverse.rotation[column][k] = axis[k];
    }
    for (int k = 0; k < 3; ++k) inverse.origin[k] = m[12 + k];
    return inverse;
}

void PointToObject(const RigidInverse& inverse, const double world[3], double out[3]) {
    double d[3];
    Sub(world, inverse.origin, d);
    for (int row = 0; row < 3; ++row) out[row] = Dot(inverse.rotation[row], d);
}

OrientedBox WorldBoxToObject(const RigidInverse& inverse, const double centre[3], const double size[3]) {
    OrientedBox box{};
    PointToObject(inverse, centre, box.centre);
    // World axis k seen from the object: column k of the inverse rotation.
    for (int k = 0; k < 3; ++k) {
        for (int c = 0; c < 3; ++c) {
            box.axis[k][c] = inverse.rotation[c][k];
            box.halfAxis[k][c] = box.axis[k][c] * (size[k] * 0.5);
        }
    }
    return box;
}

bool AngleSumInside(const double p[3], const float* a, const float* b, const float* c) {
    const float* corners[4] = {a, b, c, a};
    double sum = 0.0;
    for (int i = 0; i < 3; ++i) {
        double v1[3], v2[3];
        Sub(corners[i], p, v1);
        Sub(corners[i + 1], p, v2);
        const double lengths = std::sqrt(Dot(v1, v1)) * std::sqrt(Dot(v2, v2));
        if (lengths <= 1e-8) continue;  // p on a corner: that pair adds nothing
        sum += std::acos(std::clamp(Dot(v1, v2) / lengths, -1.0, 1.0));
    }
    return sum >= 6.2203536;  // 0.99 x 2 pi
}

bool SphereTouchesTriangle(const float* a, const float* b, const float* c, const double m[3], double r) {
    double ca[3], ba[3], n[3];
    Sub(c, a, ca);
    Sub(b, a, ba);
    Cross(ca, ba, n);
    const double length2 = Dot(n, n);
    if (length2 > 1e-7) {
        const double length = std::sqrt(length2);
        for (double& v : n) v /= length;
    }
    const double d = Dot(n, m) - DotF(n, a);
    if (!(std::fabs(d) <= r)) return false;
    double p[3];
    for (int k = 0; k < 3; ++k) p[k] = m[k] - n[k] * d;
    if (AngleSumInside(p, a, b, c)) return true;
    const double r2 = r * r;
    return SegmentDistanceSquared(a, b, m) < r2 || SegmentDistanceSquared(b, c, m) < r2 ||
           SegmentDistanceSquared(c, a, m) < r2;
}

bool BoxTouchesTriangle(const float* a, const float* b, const float* c, const OrientedBox& box) {
    double v[3][3];
    Sub(a, box.centre, v[0]);
    Sub(b, box.centre, v[1]);
    Sub(c, box.centre, v[2]);
    double e[3][3];
    Sub(v[1], v[0], e[0]);
    Sub(v[2], v[1], e[1]);
    Sub(v[0], v[2], e[2]);
    // True when the axis separates box and triangle.
    const auto separates = [&](const double* axis) {
        const double extent = std::fabs(Dot(axis, box.halfAxis[0])) + std::fabs(Dot(axis, box.halfAxis[1])) +
                              std::fabs(Dot(axis, box.halfAxis[2]));
        const double p0 = Dot(axis, v[0]), p1 = Dot(axis, v[1]), p2 = Dot(axis, v[2]);
        const double low = std::min({p0, p1, p2});
        const double high = std::max({p0, p1, p2});
        // Written so that NaN numbers separate: nothing unusable is hit.
        return !(low <= extent && high >= -extent);
    };
    for (const double* axis : box.axis) {
        if (separates(axis)) return false;
    }
    double normal[3];
    Cross(e[0], e[1], normal);
    if (separates(normal)) return false;
    for (const double* axis : box.axis) {
        for (const double* edge : e) {
            double cross[3];
            Cross(axis, edge, cross);
            if (separates(cross)) return false;
        }
    }
    return true;
}

bool RayMeetsTriangle(const float* a, const float* b, const float* c, const double s[3], const double dir[3],
                      double& t) {
    double e1[3], e2[3], n[3];
    Sub(b, a, e1);
    Sub(c, a, e2);
    Cross(e1, e2, n);
    if (n[0] == 0.0 && n[1] == 0.0 && n[2] == 0.0) return false;
    const double u = Dot(n, dir);
    if (u == 0.0) return false;  // parallel to the plane
    double sa[3];
    Sub(s, a, sa);
    const double distance = -Dot(n, sa) / u;
    double w[3];
    for (int k = 0; k < 3; ++k) w[k] = s[k] + dir[k] * distance - static_cast<double>(a[k]);
    const double d00 = Dot(e1, e1), d01 = Dot(e1, e2), d11 = Dot(e2, e2);
    const double d20 = Dot(w, e1), d21 = Dot(w, e2);
    const double denominator = d00 * d11 - d01 * d01;
    const double beta = (d11 * d20 - d01 * d21) / denominator;
    const double gamma = (d00 * d21 - d01 * d20) / denominator;
    // Written so that a NaN (a denominator of 0) is outside as well.
    if (!(beta >= 0.0 && beta <= 1.0 && gamma >= 0.0 && beta + gamma <= 1.0)) return false;
    if (distance == 0.0) return false;
    t = distance;
    return true;
}

}  // namespace vtx
