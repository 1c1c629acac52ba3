// Joysticks: the table of up to 10 devices, their states and the joystick
// commands.
#include "input/joysticks.h"

#include <cmath>

#include "host/graphics_backend.h"
#include "input/input_commands.h"
#include "input/input_devices.h"
#include "platform/input.h"

namespace vtx {
namespace {

// A centred hat.
constexpr uint32_t kPovCentred = 0xFFFFFFFF;

// SDL hat bits (up 1, right 2, down 4, left 8) as hundredths of a degree,
// clockwise from up.
uint32_t PovOf(uint8_t hat) {
    switch (hat) {
        case 1: return 0;
        case 3: return 4500;
        case 2: return 9000;
        case 6: return 13500;
        case 4: return 18000;
        case 12: return 22500;
        case 8: return 27000;
        case 9: return 31500;
        default: return kPovCentred;
    }
}

// -32768 ... 32767 onto -32768 ... 32768, so that full deflection is the
// same both ways.
int32_t AxisOf(int32_t v) { return v > 0 ? static_cast<int32_t>((static_cast<int64_t>(v) * 32768) / 32767) : v; }

bool Valid(int32_t i) { return i >= 0 && i < kMaxJoysticks; }

double AxisCommand(int32_t value) {
    const double v = value / 32767.0;
    return v > 1.0 ? 1.0 : v < -1.0 ? -1.0 : v;
}

bool Rotated() { return GraphicsBackEnd != nullptr && GraphicsBackEnd->rotated != 0; }

}  // namespace

JoystickState ReadJoystickState(int32_t i) {
    // A joystick that cannot be read reports zeros, with its hats centred:
    // a zero hat would read as pushed up.
    JoystickState state;
    for (uint32_t& pov : state.pov) pov = kPovCentred;
    if (!Valid(i)) return state;
    platform::JoystickReading r;
    if (!platform::ReadJoystick(InputDevices.joysticks[i], r)) return state;
    state.x = AxisOf(r.axes[0]);
    state.y = AxisOf(r.axes[1]);
    state.z = AxisOf(r.axes[2]);
    state.rx = AxisOf(r.axes[3]);
    state.ry = AxisOf(r.axes[4]);
    state.rz = AxisOf(r.axes[5]);
    state.sliders[0] = AxisOf(r.axes[6]);
    state.sliders[1] = AxisOf(r.axes[7]);
    for (int h = 0; h < 4; ++h) state.pov[h] = PovOf(r.hats[h]);
    for (int b = 0; b < 32; ++b) state.buttons[b] = r.buttons[b] != 0 ? 0x80 : 0;
    return state;
}

void AddJoystick(int deviceIndex) {
    InputDevicesRecord& in = InputDevices;
    const int32_t instance = platform::JoystickInstanceAt(deviceIndex);
    int32_t slot = -1;
    for (int32_t i = 0; i < kMaxJoysticks; ++i) {
        if (in.joysticks[i] != nullptr && platform::JoystickInstance(in.joysticks[i]) == instance) return;
        if (in.joysticks[i] == nullptr && slot < 0) slot = i;
    }
    if (slot < 0) return;  // ten already
    platform::JoystickHandle joystick = platform::OpenJoystick(deviceIndex);
    if (joystick == nullptr) return;
    in.joysticks[slot] = joystick;
    in.joystickNames[slot] = platform::JoystickDeviceName(joystick) + ", " + platform::JoystickProductName(deviceIndex);
    if (slot >= in.joystickCount) in.joystickCount = slot + 1;
}

void RemoveJoystick(int32_t instance) {
    InputDevicesRecord& in = InputDevices;
    for (int32_t i = 0; i < kMaxJoysticks; ++i) {
        if (in.joysticks[i] == nullptr || platform::JoystickInstance(in.joysticks[i]) != instance) continue;
        platform::CloseJoystick(in.joysticks[i]);
        in.joysticks[i] = nullptr;
    }
}

void OpenJoysticks() {
    if (!platform::InitJoysticks()) return;
    const int count = platform::JoystickDeviceCount();
    for (int d = 0; d < count && InputDevices.joystickCount < kMaxJoysticks; ++d) AddJoystick(d);
}

void CloseJoysticks() {
    InputDevicesRecord& in = InputDevices;
    for (int32_t i = 0; i < kMaxJoysticks; ++i) {
        platform::CloseJoystick(in.joysticks[i]);
        in.joysticks[i] = nullptr;
        in.joystickNames[i].clear();
    }
    in.joystickCount = 0;
}

const char* JoystickName(int32_t i) { return Valid(i) ? InputDevices.joystickNames[i].c_str() : ""; }

}  // namespace vtx

int32_t JoystickCount() { return vtx::InputDevices.joystickCount; }

double JoystickX(int32_t j) {
    const vtx::JoystickState s = vtx::ReadJoystickState(j);
    return vtx::Rotated() ? vtx::AxisCommand(-s.y) : vtx::AxisCommand(s.x);
}

double JoystickY(int32_t j) {
    const vtx::JoystickState s = vtx::ReadJoystickState(j);
    return vtx::Rotated() ? vtx::AxisCommand(s.x) : vtx::AxisCommand(s.y);
}

double JoystickZ(int32_t j) { return vtx::AxisCommand(vtx::ReadJoystickState(j).z); }
double JoystickRx(int32_t j) { return vtx::AxisCommand(vtx::ReadJoystickState(j).rx); }
double JoystickRy(int32_t j) { return vtx::AxisCommand(vtx::ReadJoystickState(j).ry); }
double JoystickRz(int32_t j) { return vtx::AxisCommand(vtx::ReadJoystickState(j).rz); }

double JoystickPovX(int32_t j) {
    switch (vtx::ReadJoystickState(j).pov[0]) {
        case 4500: case 9000: case 13500: return 1;
        case 22500: case 27000: case 31500: return -1;
        default: return 0;
    }
}

double JoystickPovY(int32_t j) {
    switch (vtx::ReadJoystickState(j).pov[0]) {
        case 13500: case 18000: case 22500: return 1;
        case 0: case 4500: case 31500: return -1;
        default: return 0;
    }
}

int32_t JoystickButton(int32_t j, int32_t button) {
    if (button < 0 || button > 31) return 0;
    return vtx::ReadJoystickState(j).buttons[button];
}

void JoystickDigital(double& x, double& y, double& button0, double& button1) {
    const vtx::JoystickState s = vtx::ReadJoystickState(0);
    x = s.x / 30000;  // integer division: truncated toward zero
    y = s.y / 30000;
    button0 = s.buttons[0];
    button1 = s.buttons[1];
}

void JoystickForce(int32_t j, double durationMs, double x, double y) {
    using namespace vtx;
    if (!Valid(j) || InputDevices.joysticks[j] == nullptr) return;
    x = x > 1.0 ? 1.0 : x < -1.0 ? -1.0 : x;
    y = y > 1.0 ? 1.0 : y < -1.0 ? -1.0 : y;
    if (std::isnan(x)) x = 0;
    if (std::isnan(y)) y = 0;
    const auto magnitude = static_cast<int32_t>((x * x + y * y) * 10000 * 0.5);  // 0 ... 10000
    const int32_t level = magnitude * 32767 / 10000;
    const double ms = durationMs > 0 ? (durationMs < 4294967.0 ? durationMs : 4294967.0) : 0;
    platform::PlayJoystickForce(InputDevices.joysticks[j], level, static_cast<int32_t>(x * 32767),
                                static_cast<int32_t>(y * 32767), static_cast<uint32_t>(ms));
}
