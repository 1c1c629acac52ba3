// SDL stand-in for the mouse button state that movie playback watches.
#include "mouse_buttons.h"

#include <SDL.h>

namespace vtx::platform {

bool AnyMouseButtonDown() { return SDL_GetMouseState(nullptr, nullptr) != 0; }

}  // namespace vtx::platform
