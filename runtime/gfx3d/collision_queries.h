// The sphere, box and ray tests of one mesh frame in object space: the walk
// over every triangle in list order, and the same tests answered through
// the collision tree of the frame.
#pragma once

#include <cstdint>

#include "collision_geometry.h"
#include "mesh.h"

namespace vtx {

// How a frame's triangles are searched: the walk for small frames and the
// tree for large ones (automatic), or always one of them.
enum class CollisionSearch { kAutomatic, kWalk, kTree };

// The search the commands use (automatic unless changed).
CollisionSearch CurrentCollisionSearch();
void SetCollisionSearch(CollisionSearch search);
// Frames of at least this many triangles get a tree in automatic search.
inline constexpr int32_t kTreeFromTriangles = 1024;

// True when the frame exists and its triangle list holds more than 2 vertices.
bool FrameCanBeTested(const MeshObject& mesh, int32_t frame);

// Sphere test of a frame: bounding-sphere reject, first-vertex accept, then
// the first triangle in list order that the sphere touches. The first-vertex
// index of the triangle hit (0 for the first-vertex accept), or -1.
int32_t SphereHitsFrame(const MeshObject& mesh, int32_t frame, const double centre[3], double radius,
                        CollisionSearch search);
// Box test of a frame: the first-vertex index of the first triangle in list
// order with no separating axis, or -1.
int32_t BoxHitsFrame(const MeshObject& mesh, int32_t frame, const OrientedBox& box, CollisionSearch search);

// A frame's ray answer: the nearest positive distance, else the negative
// distance nearest to zero (distance 0 and triangle -1 when nothing is met),
// with the first-vertex index of the triangle that gave it.
struct RayFrameHit {
    double distance = 0.0;
    int32_t firstVertex = -1;
};
RayFrameHit RayHitsFrame(const MeshObject& mesh, int32_t frame, const double start[3], const double dir[3],
                         CollisionSearch search);

}  // namespace vtx
