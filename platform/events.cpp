// SDL2 stand-in for the window's message queue.
#include <SDL.h>

#include "input.h"
#include "window.h"

namespace vtx::platform {
namespace {

// The event PeekEvent looked at and DropEvent will remove.
struct HeldEvent {
    SDL_Event event{};
    bool held = false;
};
HeldEvent Held;

// Fills the input details of key, mouse and joystick events.
WindowEventKind InputKindOf(const SDL_Event& e, WindowEvent& event) {
    switch (e.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            event.code = e.key.keysym.scancode;
            event.mods = e.key.keysym.mod;
            event.repeat = e.key.repeat != 0;
            return e.type == SDL_KEYDOWN ? WindowEventKind::KeyDown : WindowEventKind::KeyUp;
        case SDL_MOUSEMOTION:
            event.dx = e.motion.xrel;
            event.dy = e.motion.yrel;
            return WindowEventKind::MouseMotion;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            event.code = e.button.button == SDL_BUTTON_LEFT     ? kLeftButton
                         : e.button.button == SDL_BUTTON_MIDDLE ? kMiddleButton
                         : e.button.button == SDL_BUTTON_RIGHT  ? kRightButton
                                                                : 0;
            return e.type == SDL_MOUSEBUTTONDOWN ? WindowEventKind::MouseButtonDown : WindowEventKind::MouseButtonUp;
        case SDL_MOUSEWHEEL:
            event.dy = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
            return WindowEventKind::MouseWheel;
        case SDL_JOYDEVICEADDED:
        case SDL_JOYDEVICEREMOVED:
            event.code = e.jdevice.which;
            return e.type == SDL_JOYDEVICEADDED ? WindowEventKind::JoystickAdded : WindowEventKind::JoystickRemoved;
        default:
            return WindowEventKind::Other;
    }
}

WindowEventKind KindOf(const SDL_Event& e, WindowEvent& event) {
    if (e.type == SDL_QUIT) return WindowEventKind::Close;
    if (e.type != SDL_WINDOWEVENT) return InputKindOf(e, event);
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
    event = WindowEvent{};
    event.kind = KindOf(Held.event, event);
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
