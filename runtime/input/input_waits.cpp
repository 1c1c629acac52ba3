// The blocking input waits: one wait step (used by WaitKey too) and WaitMouse.
#include "input/input_waits.h"

#include <cmath>
#include <cstdint>

#include "audio/music_service.h"
#include "host/frames_internal.h"
#include "host/graphics_backend.h"
#include "host/host_state.h"
#include "input/input_commands.h"
#include "input/input_devices.h"
#include "input/joysticks.h"
#include "input/keyboard_state.h"
#include "input/mouse.h"

namespace vtx {
namespace {

constexpr int kWaitRounds = 15;
constexpr double kWaitRoundMs = 5;

struct MouseSnapshot {
    int32_t x = 0, y = 0, left = 0, right = 0;
    bool operator==(const MouseSnapshot&) const = default;
};

MouseSnapshot TakeMouseSnapshot() {
    MouseSnapshot s;
    PeekMouseState(s.x, s.y, s.left, s.right);
    return s;
}

// A key held, or a new press since pressesBefore (a tap that is already up
// again is left for the readers).
bool AnyKeyDown(uint32_t pressesBefore) {
    if (PressCount() != pressesBefore) return true;
    for (int code = 0; code < 255; ++code)
        if (KeyHeld(code)) return true;
    return false;
}

// A joystick button, a deflected X, Y or Z axis or a pressed hat.
bool JoystickActive(int32_t j) {
    const JoystickState s = ReadJoystickState(j);
    for (const uint8_t button : s.buttons)
        if (button != 0) return true;
    if (std::fabs(JoystickX(j)) > 0.1 || std::fabs(JoystickY(j)) > 0.1 || std::fabs(JoystickZ(j)) > 0.1) return true;
    return JoystickPovX(j) != 0 || JoystickPovY(j) != 0;
}

[[noreturn]] void EndFromInputWait() {
    Host.source.errorLine = Host.source.line;
    Host.source.errorCode = 0;
    RunEndSequence(0);
}

bool AnyMouseButton() {
    const MouseReading m = ReadMouse(kAllButtons);
    return m.left != 0 || m.right != 0 || m.middle != 0;
}

}  // namespace

void InputWaitStep() {
    const MouseSnapshot before = TakeMouseSnapshot();
    const uint32_t pressesBefore = PressCount();
    for (int round = 0; round < kWaitRounds; ++round) {
        MusicLoopService();
        const MessageHook hook = LookUpMessageHook();
        if (GraphicsBackEnd != nullptr && !PumpMessages(*GraphicsBackEnd, hook)) EndFromInputWait();
        PollKeyboardState();
        if (Host.escapeEnds && (KeyDown(kKeyEscape) || KeyDown(129))) EndFromInputWait();
        if (AnyKeyDown(pressesBefore)) return;
        if (!(TakeMouseSnapshot() == before)) return;
        for (int32_t j = InputDevices.joystickCount - 1; j >= 0; --j)
            if (JoystickActive(j)) return;
        SleepMs(kWaitRoundMs);
    }
}

}  // namespace vtx

void WaitMouse() {
    using namespace vtx;
    MarkInputPolled();
    while (AnyMouseButton()) {
        InputWaitStep();
        MarkInputPolled();
    }
    MarkInputPolled();
    while (!AnyMouseButton()) {
        InputWaitStep();
        MarkInputPolled();
    }
    MarkInputPolled();
    while (AnyMouseButton()) {
        InputWaitStep();
        MarkInputPolled();
    }
}
