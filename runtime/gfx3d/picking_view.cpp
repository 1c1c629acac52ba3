// The scene's camera and entity matrix as the collision and picking
// commands see them.
#include "picking_view.h"

#include <cstring>

#include "host/graphics_backend.h"

namespace vtx {

namespace {

constexpr float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// The 3D scene's camera. Until the scene keeps one, the camera looks down
// -z from the origin without projection over the whole window.
bool SceneCameraMatrices(CameraMatricesRecord& out) {
    if (GraphicsBackEnd == nullptr) return false;
    std::memcpy(out.view, kIdentity, sizeof kIdentity);
    std::memcpy(out.projection, kIdentity, sizeof kIdentity);
    out.viewport[0] = 0;
    out.viewport[1] = 0;
    out.viewport[2] = GraphicsBackEnd->width;
    out.viewport[3] = GraphicsBackEnd->height;
    return true;
}

// The 3D scene's current entity matrix: the identity until the scene keeps
// a transform stack.
bool SceneEntityMatrix(float out[16]) {
    std::memcpy(out, kIdentity, sizeof kIdentity);
    return true;
}

const PickingViewSource kSceneSource = {SceneCameraMatrices, SceneEntityMatrix};
const PickingViewSource* source_ = &kSceneSource;

}  // namespace

bool CameraMatrices(CameraMatricesRecord& out) { return source_->camera(out); }

void EntityMatrix(float out[16]) {
    if (!source_->entity(out)) std::memcpy(out, kIdentity, sizeof kIdentity);
}

void SetPickingViewSource(const PickingViewSource* source) { source_ = source != nullptr ? source : &kSceneSource; }

}  // namespace vtx
