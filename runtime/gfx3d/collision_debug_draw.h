// Debug-mode pictures of the collision tests: the sphere, box or ray of a
// test drawn in world space, green for a miss and red for a hit. Nothing is
// drawn unless debug mode is on and a GL context exists.
#pragma once

namespace vtx {

// A wire icosahedron subdivided once around the sphere.
void DrawSphereProbe(const double centre[3], double radius, bool hit);
// The twelve edges of the world box (centre, full sizes).
void DrawBoxProbe(const double centre[3], const double size[3], bool hit);
// The ray from start along dir (already normalised when it could be) for the
// distance found: green in front, yellow behind, red (1000 units) when
// nothing was met (distance 0).
void DrawRayProbe(const double start[3], const double dir[3], double distance);

}  // namespace vtx
