// What the current 3D camera sees: the view (camera) and projection matrices,
// the viewport and the frustum planes, for code that maps between screen and
// world (picking) or culls against the view volume.
#pragma once

#include <cstdint>

namespace vtx {

struct CameraView {
    const float* view;        // 16 floats, GL column order: world to eye
    const float* projection;  // 16 floats, GL column order: eye to clip
    const int32_t* viewport;  // x, y (from the window's bottom left), width, height
    const float (*planes)[4]; // six planes a, b, c, d; inside when a x + b y + c z + d >= 0
    const float* eye;         // camera position
    float nearDistance, farDistance;
    bool orthographic;
};

// The camera of the 3D context; false (view untouched) before start-up.
bool CurrentCameraView(CameraView& view);
// The entity matrix of the current transform level (16 floats, GL column
// order); false before start-up.
bool CurrentEntityTransform(float out[16]);

}  // namespace vtx
