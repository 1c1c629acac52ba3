// The mouse: shared (system pointer shown) or exclusive (pointer hidden,
// relative movement), the runtime position and the per-frame movement.
#include "input/mouse.h"

#include "host/graphics_backend.h"
#include "input/input_commands.h"
#include "input/input_devices.h"
#include "platform/input.h"
#include "platform/window.h"

namespace vtx {
namespace {

// Where a hidden pointer without the mouse device is held between reads.
constexpr int32_t kPinX = 200, kPinY = 200;

// The window's client origin on the desktop.
void ClientOrigin(int32_t& x, int32_t& y) {
    x = 0;
    y = 0;
    platform::WindowPosition(InputDevices.window, x, y);
}

// Movement of a shown pointer: its client position minus the runtime one.
void TrackShownPointer(int32_t px, int32_t py, int16_t& dx, int16_t& dy) {
    InputDevicesRecord& in = InputDevices;
    int32_t ox = 0, oy = 0;
    ClientOrigin(ox, oy);
    dx = static_cast<int16_t>(px - ox - in.mouseX);
    dy = static_cast<int16_t>(py - oy - in.mouseY);
    in.mouseX = px - ox;
    in.mouseY = py - oy;
}

int16_t Sign(int32_t v) { return static_cast<int16_t>(v > 0 ? 1 : v < 0 ? -1 : 0); }

// The screen size as the program sees it.
void ScreenSize(int32_t& w, int32_t& h) {
    w = GraphicsBackEnd != nullptr ? GraphicsBackEnd->width : 0;
    h = GraphicsBackEnd != nullptr ? GraphicsBackEnd->height : 0;
}

bool Rotated() { return GraphicsBackEnd != nullptr && GraphicsBackEnd->rotated != 0; }

// Index of a button bit in the tap latches: left, right, middle.
int ButtonIndex(uint32_t button) {
    return button == platform::kLeftButton ? 0 : button == platform::kRightButton ? 1 : button == platform::kMiddleButton ? 2 : -1;
}

// A button held now or pressed since a read last saw it; seen uses the press up.
int16_t ButtonDown(uint32_t buttons, uint32_t button, uint32_t seen) {
    uint8_t& tap = InputDevices.buttonTaps[ButtonIndex(button)];
    const bool down = (buttons & button) != 0 || tap != 0;
    if ((seen & button) != 0) tap = 0;
    return down ? 1 : 0;
}

// Clamps the runtime position to the screen and reports it (turned on a
// rotated screen) with the left and right buttons.
void ReportMouse(int32_t& x, int32_t& y, int32_t& left, int32_t& right, uint32_t seen) {
    const MouseReading m = ReadMouse(seen);
    InputDevicesRecord& in = InputDevices;
    int32_t w = 0, h = 0;
    ScreenSize(w, h);
    in.mouseX = in.mouseX > w - 1 ? w - 1 : in.mouseX;
    in.mouseX = in.mouseX < 0 ? 0 : in.mouseX;
    in.mouseY = in.mouseY > h - 1 ? h - 1 : in.mouseY;
    in.mouseY = in.mouseY < 0 ? 0 : in.mouseY;
    x = in.mouseX;
    y = in.mouseY;
    if (Rotated()) {
        x = in.mouseY;
        y = w - 1 - in.mouseX;
    }
    left = m.left != 0 ? 1 : 0;
    right = m.right != 0 ? 1 : 0;
}

}  // namespace

void NoteMouseButtonDown(int32_t button) {
    const int i = ButtonIndex(static_cast<uint32_t>(button));
    if (i < 0) return;
    InputDevices.buttonTaps[i] = 2;  // waits through this frame and the next, as key taps do
    ++InputDevices.presses;
}

void PeekMouseState(int32_t& x, int32_t& y, int32_t& left, int32_t& right) {
    ReportMouse(x, y, left, right, kNoButtons);
}

MouseReading ReadMouse(uint32_t seen) {
    InputDevicesRecord& in = InputDevices;
    MouseReading m;
    int32_t px = 0, py = 0;
    uint32_t buttons = 0;
    platform::GlobalPointer(InputDevices.window, px, py, buttons);
    m.left = ButtonDown(buttons, platform::kLeftButton, seen);
    m.right = ButtonDown(buttons, platform::kRightButton, seen);
    m.middle = ButtonDown(buttons, platform::kMiddleButton, seen);
    if (!in.polled) {  // the movement of this frame was taken already
        m.dx = in.frameDx;
        m.dy = in.frameDy;
        m.wheel = in.frameWheel;
        return m;
    }
    in.polled = false;
    if (in.mouseDevice) m.wheel = Sign(in.wheelTurns);
    if (in.pointerShown) {
        TrackShownPointer(px, py, m.dx, m.dy);
    } else if (in.mouseDevice) {
        m.dx = static_cast<int16_t>(in.motionDx);
        m.dy = static_cast<int16_t>(in.motionDy);
        in.mouseX += m.dx;
        in.mouseY += m.dy;
    } else {
        // A hidden pointer without the device: held at one desktop point,
        // its distance from there is the movement.
        m.dx = static_cast<int16_t>(px - kPinX);
        m.dy = static_cast<int16_t>(py - kPinY);
        platform::MovePointer(kPinX, kPinY);
        in.mouseX += m.dx;
        in.mouseY += m.dy;
    }
    in.motionDx = in.motionDy = in.wheelTurns = 0;
    in.frameDx = m.dx;
    in.frameDy = m.dy;
    in.frameWheel = m.wheel;
    return m;
}

void ApplyPointerMode(bool show) {
    InputDevicesRecord& in = InputDevices;
    if (in.mouseDevice) {
        in.mouseMode = show ? kMouseShared : kMouseExclusive;
        platform::SetRelativePointer(!show);
        in.motionDx = in.motionDy = in.wheelTurns = 0;  // no jump from movement before the switch
    }
    if (show) {
        if (!in.pointerShown) {
            int32_t ox = 0, oy = 0;
            ClientOrigin(ox, oy);
            platform::MovePointer(ox + in.mouseX, oy + in.mouseY);
        }
        platform::ShowPointer(true);
    } else {
        platform::ShowPointer(false);
    }
    in.pointerShown = show;
}

}  // namespace vtx

void ShowSystemPointer(double show) { vtx::ApplyPointerMode(show != 0); }

void MouseState(int32_t& x, int32_t& y, int32_t& left, int32_t& right) {
    vtx::ReportMouse(x, y, left, right, vtx::platform::kLeftButton | vtx::platform::kRightButton);
}

void MouseState(double& x, double& y, double& left, double& right) {
    int32_t ix = 0, iy = 0, l = 0, r = 0;
    vtx::ReportMouse(ix, iy, l, r, vtx::platform::kLeftButton | vtx::platform::kRightButton);
    x = ix;
    y = iy;
    left = l;
    right = r;
}

int32_t MouseAxis(int32_t axis) {
    using namespace vtx;
    const uint32_t seen = axis == 3   ? platform::kLeftButton
                          : axis == 4 ? platform::kRightButton
                          : axis == 5 ? platform::kMiddleButton
                                      : kNoButtons;
    const MouseReading m = ReadMouse(seen);
    // On a rotated screen the movement turns with the position.
    const int32_t dx = Rotated() ? m.dy : m.dx;
    const int32_t dy = Rotated() ? -m.dx : m.dy;
    switch (axis) {
        case 0: return dx;
        case 1: return dy;
        case 2: return m.wheel;
        case 3: return m.left != 0 ? 1 : 0;
        case 4: return m.right != 0 ? 1 : 0;
        case 5: return m.middle != 0 ? 1 : 0;
        default: return 0;
    }
}

void SetMousePosition(int32_t x, int32_t y) {
    vtx::InputDevices.mouseX = x;
    vtx::InputDevices.mouseY = y;
}

int32_t MouseCount() { return 1; }

void SelectMouse(int32_t number) { vtx::InputDevices.selectedMouse = number >= 1 ? 0 : number; }
