// The mouse buttons as SDL last saw them.
#pragma once

namespace vtx::platform {

// True while any mouse button is held down.
bool AnyMouseButtonDown();

}  // namespace vtx::platform
