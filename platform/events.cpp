// SDL2 stand-in for the window's message queue.
#include <SDL.h>

#include "window.h"

namespace vtx::platform {
namespace {

// The event PeekEvent looked at and DropEvent will remove.
struct HeldEvent {
    SDL_Event event{};
    bool held = false;
};
HeldEvent Held;

WindowEventKind KindOf(const SDL_Event& e) {
    if (e.type == SDL_QUIT) return WindowEventKind::Close;
    if (e.type != SDL_WINDOWEVENT) return WindowEventKind::Other;
    switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE: return WindowEventKind::Close;
        case SDL_WINDOWEVENT_FOCUS_LOST: return WindowEventKind::Deactivated;
        case SDL_WINDOWEVENT_FOCUS_GAINED: return WindowEventKind::Activated;
        default: return WindowEventKind::Other;
    }
}

}  // namespace

bool PeekEvent(WindowEvent& event) {
    if (!Held.held) {
        if (SDL_WasInit(SDL_INIT_EVENTS) == 0 || SDL_PollEvent(&Held.event) == 0) return false;
        Held.held = true;
    }
    event.kind = KindOf(Held.event);
    event.native = &Held.event;
    return true;
}

void DropEvent() { Held.held = false; }

const uint8_t* KeyboardState(int& count) {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        count = 0;
        return nullptr;
    }
    return SDL_GetKeyboardState(&count);
}

}  // namespace vtx::platform
