// 3D collision and picking commands: spheres, boxes and rays against the
// triangles of an object slot placed with the current entity transform,
// the triangle last hit, the faces of an object, and the mapping between
// world and screen through the current camera.
#pragma once

#include <cstdint>

#include "../core/rt_array.h"

// 1 when the sphere touches a triangle of a part of the slot (frame given),
// else 0. Parts are tested in order; the first part hit ends the test.
int32_t SphereHitsObject(int32_t slot, int32_t frame, double radius, double x, double y, double z);
// 1 when the world-aligned box (centre, sizes) touches a triangle, else 0.
int32_t BoxHitsObject(int32_t slot, int32_t frame, double x, double y, double z, double width, double height,
                      double depth);
// Distance along the ray to the nearest hit in front of the start, else the
// nearest hit behind it (negative), else 0. The direction need not be of
// length 1.
double RayHitsObject(int32_t slot, int32_t frame, double startX, double startY, double startZ, double dirX,
                     double dirY, double dirZ);
// 1 when the sphere touches the box of that size centred on the current
// entity's origin and aligned with its axes, else 0.
int32_t SphereHitsEntityBox(double x, double y, double z, double radius, double width, double height, double depth);
// The triangle number the last sphere, box or ray test hit; 0 after a miss.
int32_t LastHitTriangle();
// Triangles of frame 0 over all parts of the slot.
int32_t CountFaces(int32_t slot);
// Dimensions result to 3 x 9 and fills row v with vertex v of the triangle
// (triangles counted over the slot's parts): x, y, z, u, v, colour, nx, ny, nz.
// All zero when there is no such triangle.
void GetFace(int32_t slot, int32_t frame, int32_t triangle, RtArray<double>& result);
// 1 and the screen position of the world point (y downward, depth 0..1), or
// 0 when the point lies on the camera plane.
int32_t WorldToScreen(double x, double y, double z, double& screenX, double& screenY, double& screenZ);
// 1 and the world point at the screen position and depth, or 0.
int32_t ScreenToWorld(double screenX, double screenY, double depth, double& x, double& y, double& z);
