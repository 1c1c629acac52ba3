// Window events: close, activation and deactivation.
#include "host/window_procedure.h"

#include "host/graphics_backend.h"
#include "host/host_state.h"
#include "host/project_settings.h"
#include "input/input_devices.h"

namespace vtx {

void SetMainWindowCaption(const RtString& caption) {
    if (GraphicsBackEnd != nullptr) platform::SetCaption(GraphicsBackEnd->window, caption.c_str());
}

void WindowProcedure(const platform::WindowEvent& event) {
    const bool pausing = ProjectSettings.debugMode == 0 && Host.engineStarted;
    NoteInputEvent(event);  // keys, mouse, focus and joysticks reach the input devices
    switch (event.kind) {
        case platform::WindowEventKind::Close:
            // The source position words stay as they are; closing is a normal end.
            RunEndSequence(0);
        case platform::WindowEventKind::Deactivated:
            if (pausing) {
                SetMainWindowCaption(Host.windowCaption + " <pause>");
                Host.paused = true;
            }
            break;
        case platform::WindowEventKind::Activated:
            if (pausing) {
                SetMainWindowCaption(Host.windowCaption);
                Host.paused = false;
            }
            break;
        default:  // input events and the rest: nothing more to do here
            break;
    }
}

}  // namespace vtx
