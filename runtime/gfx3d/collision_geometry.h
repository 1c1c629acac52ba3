// The geometry of the collision tests: one triangle against a sphere, an
// oriented box or a ray, all in the object's own space, and the rigid
// inverse of an entity matrix that brings a query into that space.
//
// Every answer here is the one the triangle walk gives; the accelerated
// search (collision_tree.h) calls the same functions with the same numbers,
// so both paths agree bit for bit on each triangle they test.
#pragma once

#include <cstdint>

namespace vtx {

// world -> object: p' = rotation (p - origin) with the rotation rows being
// the entity's axes. The entity's own scaling is taken out of the axes, so a
// scaled entity is tested at its unscaled size.
struct RigidInverse {
    double rotation[3][3];  // rows: the entity's x, y and z axis in world space
    double origin[3];       // the entity's origin in world space
};

// The rigid inverse of a 4 x 4 matrix in GL column order: transposed 3 x 3
// part (each axis column of length 1) and translation -(transposed) x t.
RigidInverse RigidInverseOf(const float entity[16]);
// A world point in object space.
void PointToObject(const RigidInverse& inverse, const double world[3], double out[3]);

// The oriented box of a box query in object space.
struct OrientedBox {
    double centre[3];
    double axis[3][3];       // unit directions of the box's edges
    double halfAxis[3][3];   // axis k times the half size along it
};

// A world-aligned box (centre, full sizes) in object space.
OrientedBox WorldBoxToObject(const RigidInverse& inverse, const double centre[3], const double size[3]);

// Sphere against triangle (a, b, c): plane distance, the angle-sum inside
// test of the projected centre, then the edges closer than the radius.
bool SphereTouchesTriangle(const float* a, const float* b, const float* c, const double centre[3], double radius);

// The angle-sum inside test: the angles between the vectors from p to
// consecutive corners add up to at least 0.99 x 2 pi.
bool AngleSumInside(const double p[3], const float* a, const float* b, const float* c);

// Separating-axis test of the box against triangle (a, b, c) over the three
// box axes, the triangle normal and the nine box-axis x edge products.
bool BoxTouchesTriangle(const float* a, const float* b, const float* c, const OrientedBox& box);

// The signed distance t along the ray from start with direction dir at which
// it meets triangle (a, b, c); false when it does not (parallel, degenerate,
// outside the triangle, or exactly at the start).
bool RayMeetsTriangle(const float* a, const float* b, const float* c, const double start[3], const double dir[3],
                      double& t);

}  // namespace vtx
