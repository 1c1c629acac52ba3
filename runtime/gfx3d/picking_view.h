// What the collision and picking commands take from the 3D scene: the
// camera (view and projection matrices and the viewport) and the current
// entity matrix. The scene's own accessors stand behind these two functions;
// a test or tool may put another source in front of them.
#pragma once

#include <cstdint>

namespace vtx {

struct CameraMatricesRecord {
    float view[16];        // the camera matrix (world to eye), GL column order
    float projection[16];  // eye to clip, GL column order
    int32_t viewport[4];   // x, y (from the window's bottom left), width, height
};

// The current camera; false when there is no 3D scene to ask.
bool CameraMatrices(CameraMatricesRecord& out);
// The composed entity matrix of the current transform level (GL column
// order); the identity when there is no 3D scene to ask.
void EntityMatrix(float out[16]);

// A replacement for the scene's camera and entity matrix; null restores the
// scene's own.
struct PickingViewSource {
    bool (*camera)(CameraMatricesRecord& out);
    bool (*entity)(float out[16]);
};
void SetPickingViewSource(const PickingViewSource* source);

}  // namespace vtx
