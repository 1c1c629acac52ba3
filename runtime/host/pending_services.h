// Services whose subsystems are not built yet.
//
// Each keeps its place in the start-up, frame and shutdown order; as a
// subsystem arrives, its entries move out of here into the subsystem's own
// files.
#pragma once

#include <cstdint>

#include "core/rt_string.h"

namespace vtx::pending {

// 3D scene (start-up step 10; ShowScreen steps 7 and 9). The scene must call
// vtx::NoteDepthStencilUse() (host/frames.h) whenever it turns depth or
// stencil testing on, or the next frame will not clear those buffers.
void CreateScene3D();
void EndShadowPass();
void SetTextureMode3D(int32_t mode);

}  // namespace vtx::pending
