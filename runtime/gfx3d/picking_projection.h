// World to screen and back through a camera: pure functions of the view
// matrix, the projection matrix and the viewport.
#pragma once

#include <cstdint>

namespace vtx {

// Screen position (x from the left, y downward from the top of the viewport
// height, depth 0..1) of a world point; false when the point lies on the
// camera plane (clip w of 0) or the numbers are unusable.
bool ProjectToScreen(const float view[16], const float projection[16], const int32_t viewport[4],
                     const double world[3], double screen[3]);
// The exact inverse of ProjectToScreen: the world point at a screen position
// and depth; false when the camera cannot be inverted or the point lies at
// infinity.
bool UnprojectFromScreen(const float view[16], const float projection[16], const int32_t viewport[4],
                         const double screen[3], double world[3]);

}  // namespace vtx
