// A bounding-volume hierarchy over one frame's triangle list, answering the
// sphere, box and ray tests faster than walking every triangle while giving
// exactly the walk's answers: the same hit or miss, the same distance and the
// same triangle (the first in list order for spheres and boxes; for rays the
// first in list order among equal distances).
//
// How the answers stay equal: each triangle's box is widened by more than
// the distance at which its test can still report a hit (the angle-sum
// inside test accepts points a little outside the triangle), the search
// only skips boxes the query cannot reach, and every triangle it does not
// skip goes through the same triangle function as the walk. Triangles whose
// numbers defeat such bounds (not finite, enormous, or so thin that the ray
// test's barycentric division is ill-conditioned) are tested for every
// query, and queries far outside the mesh's scale fall back to the walk.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "collision_geometry.h"
#include "mesh.h"

namespace vtx {

class CollisionTree {
public:
    // Builds over a triangle list of vertexCount vertices (3 per triangle).
    CollisionTree(const Vertex* triangles, int32_t vertexCount);

    // False when the query lies so far outside the mesh's scale that the
    // widening of the boxes no longer covers rounding: walk instead.
    bool CoversSphere(const double centre[3], double radius) const;
    bool CoversBox(const OrientedBox& box) const;
    bool CoversRay(const double start[3], const double dir[3]) const;

    // First-vertex index of the first triangle in list order the sphere
    // touches, or -1.
    int32_t FirstSphereHit(const double centre[3], double radius) const;
    // The same for the box.
    int32_t FirstBoxHit(const OrientedBox& box) const;
    // The nearest positive distance (lowest triangle among equals), else the
    // negative distance nearest to zero; false when the line meets nothing.
    bool NearestRayHit(const double start[3], const double dir[3], double& distance, int32_t& firstVertex) const;

    int32_t triangleCount() const { return triangleCount_; }
    int32_t nodeCount() const { return static_cast<int32_t>(nodes_.size()); }
    int32_t alwaysTestedCount() const { return static_cast<int32_t>(always_.size()); }

private:
    // The lowest first vertex of a triangle that touches, walking only the
    // boxes that are not apart and the children with lower list indices first.
    template <typename Apart, typename Touches>
    int32_t FirstHit(const Apart& apart, const Touches& touches) const;
    struct Node {
        float low[3];
        float high[3];
        int32_t first;     // leaf: first triangle slot; inner: the second child
        int32_t count;     // leaf: triangles; inner: 0 (the first child follows the node)
        int32_t minIndex;  // lowest first-vertex index below this node
        int32_t pad = 0;
    };
    struct Slot {
        float corner[9];
        int32_t firstVertex;
    };

    struct BuildInput {
        std::vector<int32_t> order;         // tree triangles not yet placed
        const std::vector<float>& boxes;    // widened box per triangle: low x, y, z, high x, y, z
        const std::vector<float>& centres;  // centre of the corners' box per triangle
        std::vector<Slot> placed;           // triangles in leaf order
    };
    int32_t BuildNode(BuildInput& in, int32_t begin, int32_t end, int32_t depth);
    int32_t SurfaceAreaSplit(BuildInput& in, int32_t begin, int32_t end, int axis, float centreLow, double extent);

    std::vector<Node> nodes_;
    std::vector<Slot> slots_;   // tree triangles, leaf by leaf, each leaf in list order
    std::vector<Slot> always_;  // tested for every query, in list order
    int32_t triangleCount_ = 0;
    double scale_ = 1.0;        // 1 + the largest coordinate magnitude of the tree triangles
};

// Tree of a mesh frame, built on first use and kept while the mesh's
// triangles stay as they are (see MeshObject::trianglesRevision).
const CollisionTree* CollisionTreeFor(const MeshObject& mesh, int32_t frame);
// Forgets every kept tree.
void ClearCollisionTrees();

}  // namespace vtx
