// The input record and its services for start-up, the window's events,
// screen-mode changes and shutdown.
#include "input/input_devices.h"

#include "host/error_log.h"
#include "input/input_commands.h"
#include "input/joysticks.h"
#include "input/key_characters.h"
#include "input/keyboard_state.h"
#include "input/mouse.h"

namespace vtx {

InputDevicesRecord InputDevices;

void CreateInputDevices() {
    CloseJoysticks();
    InputDevices = InputDevicesRecord{};
    ResetLastKeyCharacter();
}

uint32_t InitInputDevices(platform::WindowHandle window, bool exclusiveMouse) {
    InputDevicesRecord& in = InputDevices;
    uint32_t status = 1;
    // The event service stands for the input service: without it no key,
    // mouse or joystick event reaches the program.
    in.inputService = platform::KeyEventsAvailable();                        // 1
    if (!in.inputService) {
        AppendErrorLog("No DX_Input");
        status = kNoInputService;
    }
    in.window = window;                                                       // 2
    int32_t px = 0, py = 0, ox = 0, oy = 0;
    uint32_t buttons = 0;
    platform::GlobalPointer(window, px, py, buttons);
    platform::WindowPosition(window, ox, oy);
    in.mouseX = px - ox;
    in.mouseY = py - oy;
    in.keyboardDevice = in.inputService;                                      // 3, 4
    in.focused = platform::HasKeyboardFocus(window);
    ResetKeyStates();
    if (!exclusiveMouse) {                                                    // 5: shared mouse
        in.mouseDevice = false;
        ApplyPointerMode(true);
    } else if (in.inputService && platform::SetRelativePointer(true)) {      // exclusive mouse
        in.mouseDevice = true;
        in.mouseMode = kMouseExclusive;
    } else {
        AppendErrorLog("No DX_Mouse");
        status = kNoMouseDevice;
    }
    if (in.inputService) OpenJoysticks();
    return status;
}

void GiveWindowToInputDevices(platform::WindowHandle window) { InputDevices.window = window; }

void ReapplyPointerState() { ApplyPointerMode(InputDevices.pointerShown); }

void ReleaseInputDevices() {
    InputDevicesRecord& in = InputDevices;
    if (in.mouseDevice) platform::SetRelativePointer(false);
    in.mouseDevice = false;
    CloseJoysticks();
    in.keyboardDevice = false;
    in.inputService = false;
    in.window = nullptr;
}

void NoteInputEvent(const platform::WindowEvent& event) {
    InputDevicesRecord& in = InputDevices;
    switch (event.kind) {
        case platform::WindowEventKind::KeyDown:
        case platform::WindowEventKind::KeyUp:
            NoteKeyEvent(event.code, event.kind == platform::WindowEventKind::KeyDown, event.repeat, event.mods);
            break;
        case platform::WindowEventKind::MouseButtonDown:
            NoteMouseButtonDown(event.code);
            break;
        case platform::WindowEventKind::MouseMotion:
            in.motionDx += event.dx;
            in.motionDy += event.dy;
            break;
        case platform::WindowEventKind::MouseWheel:
            in.wheelTurns += event.dy;
            break;
        case platform::WindowEventKind::Activated:
            in.focused = true;
            break;
        case platform::WindowEventKind::Deactivated:
            in.focused = false;
            break;
        case platform::WindowEventKind::JoystickAdded:
            if (in.inputService) AddJoystick(event.code);
            break;
        case platform::WindowEventKind::JoystickRemoved:
            RemoveJoystick(event.code);
            break;
        default:
            break;
    }
}

void MarkInputPolled() { InputDevices.polled = true; }

}  // namespace vtx
