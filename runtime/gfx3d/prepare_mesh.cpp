// PrepareMesh: vertex normals (flat, or averaged over vertices at the same
// position when smoothing) and tangents / bitangents for bump mapping.
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "mesh.h"
#include "triangle_walk.h"

namespace vtx {
namespace {

struct Welded {
    float normal[3] = {0, 0, 0};
    float tangent[3] = {0, 0, 0};
    float bitangent[3] = {0, 0, 0};
};

// Vertices at the same position share a key when smoothing.
float SmoothKey(const float* p) {
    const double key = static_cast<double>(p[0]) * 256.0 + static_cast<double>(p[1]) * 65536.0 +
                       static_cast<double>(p[2]) * 16777216.0;
    if (!(key > -9.2e18 && key < 9.2e18)) return key > 0 ? 9.2e18f : -9.2e18f;  // NaN lands here too
    const float f = static_cast<float>(static_cast<int64_t>(key));
    return f == 0.0f ? 0.0f : f;  // -0 and +0 are one key
}

void Normalise(float* v) {
    const float square = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    if (square <= 1e-7f) return;
    const float length = std::sqrt(square);
    v[0] /= length;
    v[1] /= length;
    v[2] /= length;
}

void Add(float* sum, const float* v) {
    sum[0] += v[0];
    sum[1] += v[1];
    sum[2] += v[2];
}

// The triangles of a frame as vertex positions, in the order and winding
// BuildTriangles gives them.
std::vector<int32_t> TriangleCorners(const Frame& frame) {
    std::vector<int32_t> corners;
    ForEachTriangle(frame, [&](int32_t a, int32_t b, int32_t c) {
        corners.push_back(a);
        corners.push_back(b);
        corners.push_back(c);
    });
    return corners;
}

void PrepareFrame(Frame& frame, bool normals, bool smooth, bool tangents) {
    const int32_t n = frame.vertices.count();
    std::vector<int32_t> weldOf(static_cast<size_t>(n), -1);
    std::vector<Welded> welded;
    std::unordered_map<float, int32_t> byKey;
    for (int32_t i = 0; i < n; ++i) {
        const Vertex& v = frame.vertices[i];
        if (v.colour == kMarkerTriangles || v.colour == kMarkerStrip || v.colour == kMarkerFan) continue;
        if (smooth) {
            auto [at, added] = byKey.try_emplace(SmoothKey(v.position), static_cast<int32_t>(welded.size()));
            if (added) welded.emplace_back();
            weldOf[i] = at->second;
        } else {
            weldOf[i] = static_cast<int32_t>(welded.size());
            welded.emplace_back();
        }
    }
    const std::vector<int32_t> corners = TriangleCorners(frame);
    for (size_t t = 0; t + 2 < corners.size(); t += 3) {
        const Vertex& a = frame.vertices[corners[t]];
        const Vertex& b = frame.vertices[corners[t + 1]];
        const Vertex& c = frame.vertices[corners[t + 2]];
        const float e1[3] = {b.position[0] - a.position[0], b.position[1] - a.position[1], b.position[2] - a.position[2]};
        const float e2[3] = {c.position[0] - a.position[0], c.position[1] - a.position[1], c.position[2] - a.position[2]};
        if (normals) {
            const float face[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                                   e1[0] * e2[1] - e1[1] * e2[0]};
            for (int k = 0; k < 3; ++k) Add(welded[weldOf[corners[t + k]]].normal, face);
        }
        if (tangents) {
            const float du1 = b.uv[0] - a.uv[0], dv1 = b.uv[1] - a.uv[1];
            const float du2 = c.uv[0] - a.uv[0], dv2 = c.uv[1] - a.uv[1];
            const float det = du1 * dv2 - du2 * dv1;
            if (std::fabs(det) <= 1e-5f) continue;
            const float r = 1.0f / det;
            float tangent[3];
            float bitangent[3];
            for (int axis = 0; axis < 3; ++axis) {
                tangent[axis] = (e1[axis] * dv2 - e2[axis] * dv1) * r;
                bitangent[axis] = (e2[axis] * du1 - e1[axis] * du2) * r;
            }
            for (int k = 0; k < 3; ++k) {
                Welded& w = welded[weldOf[corners[t + k]]];
                Add(w.tangent, tangent);
                Add(w.bitangent, bitangent);
            }
        }
    }
    for (Welded& w : welded) {
        Normalise(w.normal);
        Normalise(w.tangent);
        Normalise(w.bitangent);
    }
    for (int32_t i = 0; i < n; ++i) {
        if (weldOf[i] < 0) continue;
        Vertex& v = frame.vertices[i];
        const Welded& w = welded[weldOf[i]];
        if (normals) std::memcpy(v.normal, w.normal, sizeof v.normal);
        if (tangents) {
            std::memcpy(v.tangent, w.tangent, sizeof v.tangent);
            std::memcpy(v.bitangent, w.bitangent, sizeof v.bitangent);
        }
    }
}

}  // namespace

void PrepareMesh(MeshObject& mesh, bool normals, bool smooth, bool tangents) {
    const bool doNormals = normals && mesh.normalsValid == 0;
    const bool doTangents = tangents && mesh.tangentsValid == 0;
    if (!doNormals && !doTangents) return;
    for (Frame& frame : mesh.frames) PrepareFrame(frame, doNormals, smooth, doTangents);
    if (doNormals) mesh.normalsValid = 1;
    if (doTangents) mesh.tangentsValid = 1;
}

}  // namespace vtx
