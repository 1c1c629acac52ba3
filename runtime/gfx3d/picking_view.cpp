// The scene's camera and entity matrix as the collision and picking
// commands see them.
#include "picking_view.h"

#include <cstring>

#include "camera.h"

namespace vtx {

namespace {

constexpr float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// The 3D scene's camera: its view (look-at) and projection matrices and
// the GL viewport.
bool SceneCameraMatrices(CameraMatricesRecord& out) {
    CameraView view{};
    if (!CurrentCameraView(view)) return false;
    std::memcpy(out.view, view.view, sizeof out.view);
    std::memcpy(out.projection, view.projection, sizeof out.projection);
    std::memcpy(out.viewport, view.viewport, sizeof out.viewport);
    return true;
}

// The scene's entity matrix of the current transform level.
bool SceneEntityMatrix(float out[16]) { return CurrentEntityTransform(out); }

const PickingViewSource kSceneSource = {SceneCameraMatrices, SceneEntityMatrix};
const PickingViewSource* source_ = &kSceneSource;

}  // namespace

bool CameraMatrices(CameraMatricesRecord& out) { return source_->camera(out); }

void EntityMatrix(float out[16]) {
    if (!source_->entity(out)) std::memcpy(out, kIdentity, sizeof kIdentity);
}

void SetPickingViewSource(const PickingViewSource* source) { source_ = source != nullptr ? source : &kSceneSource; }

}  // namespace vtx
