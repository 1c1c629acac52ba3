// Independent references for the collision tests: closest point on a
// triangle, triangle clipped by a box, and the Moller-Trumbore ray test.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace collision_reference {

using V = std::array<double, 3>;

inline V Sub(V a, V b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
inline V Add(V a, V b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
inline V Mul(V a, double s) { return {a[0] * s, a[1] * s, a[2] * s}; }
inline double Dot(V a, V b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
inline V Cross(V a, V b) { return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]}; }

// The point of triangle abc nearest to p (by Voronoi regions).
inline V ClosestPoint(V p, V a, V b, V c) {
    const V ab = Sub(b, a), ac = Sub(c, a), ap = Sub(p, a);
    const double d1 = Dot(ab, ap), d2 = Dot(ac, ap);
    if (d1 <= 0 && d2 <= 0) return a;
    const V bp = Sub(p, b);
    const double d3 = Dot(ab, bp), d4 = Dot(ac, bp);
    if (d3 >= 0 && d4 <= d3) return b;
    const double vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0) return Add(a, Mul(ab, d1 / (d1 - d3)));
    const V cp = Sub(p, c);
    const double d5 = Dot(ab, cp), d6 = Dot(ac, cp);
    if (d6 >= 0 && d5 <= d6) return c;
    const double vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0) return Add(a, Mul(ac, d2 / (d2 - d6)));
    const double va = d3 * d6 - d5 * d4;
    if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0) return Add(b, Mul(Sub(c, b), (d4 - d3) / ((d4 - d3) + (d5 - d6))));
    const double denom = 1.0 / (va + vb + vc);
    return Add(a, Add(Mul(ab, vb * denom), Mul(ac, vc * denom)));
}

inline double Distance(V p, V q) { return std::sqrt(Dot(Sub(p, q), Sub(p, q))); }

// True when the triangle (already in the box's frame, box centred at the
// origin with half sizes h) keeps any part after clipping by the six faces.
inline bool TriangleMeetsBox(const std::array<V, 3>& triangle, V h) {
    std::vector<V> polygon(triangle.begin(), triangle.end());
    for (int axis = 0; axis < 3; ++axis) {
        for (double sign : {1.0, -1.0}) {
            // keep sign * x[axis] <= h[axis]
            std::vector<V> out;
            for (size_t i = 0; i < polygon.size(); ++i) {
                const V& p = polygon[i];
                const V& q = polygon[(i + 1) % polygon.size()];
                const double dp = sign * p[static_cast<size_t>(axis)] - h[static_cast<size_t>(axis)];
                const double dq = sign * q[static_cast<size_t>(axis)] - h[static_cast<size_t>(axis)];
                if (dp <= 0) out.push_back(p);
                if ((dp < 0 && dq > 0) || (dp > 0 && dq < 0)) out.push_back(Add(p, Mul(Sub(q, p), dp / (dp - dq))));
            }
            polygon = out;
            if (polygon.empty()) return false;
        }
    }
    return true;
}

// Moller-Trumbore: the signed distance along the line s + t d, or false.
inline bool MollerTrumbore(V s, V d, V a, V b, V c, double& t) {
    const V e1 = Sub(b, a), e2 = Sub(c, a);
    const V p = Cross(d, e2);
    const double det = Dot(e1, p);
    if (std::fabs(det) < 1e-12) return false;
    const double inv = 1.0 / det;
    const V tv = Sub(s, a);
    const double u = Dot(tv, p) * inv;
    if (u < 0 || u > 1) return false;
    const V q = Cross(tv, e1);
    const double v = Dot(d, q) * inv;
    if (v < 0 || u + v > 1) return false;
    t = Dot(e2, q) * inv;
    return t != 0.0;
}

}  // namespace collision_reference
