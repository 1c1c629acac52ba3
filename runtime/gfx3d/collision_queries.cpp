// Frame tests: the walk over every triangle, or the frame's collision tree.
#include "collision_queries.h"

#include <cmath>
#include <limits>

#include "collision_tree.h"

namespace vtx {

namespace {

CollisionSearch search_ = CollisionSearch::kAutomatic;

double DistanceSquared(const double a[3], const float* b) {
    double sum = 0.0;
    for (int k = 0; k < 3; ++k) {
        const double d = a[k] - static_cast<double>(b[k]);
        sum += d * d;
    }
    return sum;
}

// The tree to use for the frame, or null to walk.
const CollisionTree* TreeToUse(const MeshObject& mesh, int32_t frame, CollisionSearch search) {
    if (search == CollisionSearch::kWalk) return nullptr;
    if (search == CollisionSearch::kAutomatic && mesh.frames[frame].triangles.count() / 3 < kTreeFromTriangles) {
        return nullptr;
    }
    return CollisionTreeFor(mesh, frame);
}

}  // namespace

CollisionSearch CurrentCollisionSearch() { return search_; }
void SetCollisionSearch(CollisionSearch search) { search_ = search; }

bool FrameCanBeTested(const MeshObject& mesh, int32_t frame) {
    return frame >= 0 && frame < mesh.frames.count() && mesh.frames[frame].triangles.count() > 2;
}

int32_t SphereHitsFrame(const MeshObject& mesh, int32_t frame, const double m[3], double r, CollisionSearch search) {
    if (!FrameCanBeTested(mesh, frame)) return -1;
    const Frame& f = mesh.frames[frame];
    // The frame's bounding sphere out of reach: no triangle can be touched.
    const double reach = r + static_cast<double>(f.radius);
    if (reach * reach < DistanceSquared(m, f.centre)) return -1;
    // The first vertex inside the sphere: a hit without any triangle test.
    if (r * r >= DistanceSquared(m, f.triangles[0].position)) return 0;
    if (const CollisionTree* tree = TreeToUse(mesh, frame, search); tree != nullptr && tree->CoversSphere(m, r)) {
        return tree->FirstSphereHit(m, r);
    }
    const int32_t n = f.triangles.count() / 3 * 3;
    for (int32_t i = 0; i < n; i += 3) {
        if (SphereTouchesTriangle(f.triangles[i].position, f.triangles[i + 1].position, f.triangles[i + 2].position, m,
                                  r)) {
            return i;
        }
    }
    return -1;
}

int32_t BoxHitsFrame(const MeshObject& mesh, int32_t frame, const OrientedBox& box, CollisionSearch search) {
    if (!FrameCanBeTested(mesh, frame)) return -1;
    const Frame& f = mesh.frames[frame];
    if (const CollisionTree* tree = TreeToUse(mesh, frame, search); tree != nullptr && tree->CoversBox(box)) {
        return tree->FirstBoxHit(box);
    }
    const int32_t n = f.triangles.count() / 3 * 3;
    for (int32_t i = 0; i < n; i += 3) {
        if (BoxTouchesTriangle(f.triangles[i].position, f.triangles[i + 1].position, f.triangles[i + 2].position,
                               box)) {
            return i;
        }
    }
    return -1;
}

RayFrameHit RayHitsFrame(const MeshObject& mesh, int32_t frame, const double s[3], const double dir[3],
                         CollisionSearch search) {
    RayFrameHit hit;
    if (!FrameCanBeTested(mesh, frame)) return hit;
    const Frame& f = mesh.frames[frame];
    if (const CollisionTree* tree = TreeToUse(mesh, frame, search); tree != nullptr && tree->CoversRay(s, dir)) {
        if (!tree->NearestRayHit(s, dir, hit.distance, hit.firstVertex)) hit = RayFrameHit{};
        return hit;
    }
    // The nearest hit in front and the hit behind nearest to the start are
    // kept apart, each with its own triangle, so the triangle reported is
    // always the one of the distance returned.
    double front = std::numeric_limits<double>::infinity();
    double behind = -std::numeric_limits<double>::infinity();
    int32_t frontTriangle = -1, behindTriangle = -1;
    const int32_t n = f.triangles.count() / 3 * 3;
    for (int32_t i = 0; i < n; i += 3) {
        double t = 0.0;
        if (!RayMeetsTriangle(f.triangles[i].position, f.triangles[i + 1].position, f.triangles[i + 2].position, s, dir,
                              t)) {
            continue;
        }
        if (t > 0.0 && t < front) {
            front = t;
            frontTriangle = i;
        } else if (t < 0.0 && t > behind) {
            behind = t;
            behindTriangle = i;
        }
    }
    if (frontTriangle >= 0) return {front, frontTriangle};
    if (behindTriangle >= 0) return {behind, behindTriangle};
    return hit;
}

}  // namespace vtx
