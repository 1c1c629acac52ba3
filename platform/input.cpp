// SDL2 stand-in for the keyboard, the pointer and the joysticks.
#include "input.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <dlfcn.h>

#include <map>

namespace vtx::platform {

// --- Keyboard ----------------------------------------------------------------

bool KeyEventsAvailable() { return SDL_WasInit(SDL_INIT_EVENTS) != 0; }

int TakeKeyEvents(KeyEvent* out, int max) {
    if (!KeyEventsAvailable() || max <= 0) return 0;
    SDL_PumpEvents();
    // Character events are not used: characters come from the key states.
    SDL_FlushEvents(SDL_TEXTEDITING, SDL_TEXTINPUT);
    SDL_Event events[64];
    const int n = SDL_PeepEvents(events, SDL_min(max, 64), SDL_GETEVENT, SDL_KEYDOWN, SDL_KEYUP);
    for (int i = 0; i < n; ++i)
        out[i] = KeyEvent{events[i].key.keysym.scancode, events[i].type == SDL_KEYDOWN, events[i].key.repeat != 0,
                          events[i].key.keysym.mod};
    return n > 0 ? n : 0;
}

int32_t KeyFromScancode(int32_t scancode) {
    if (scancode <= 0 || scancode >= SDL_NUM_SCANCODES) return 0;
    return SDL_GetKeyFromScancode(static_cast<SDL_Scancode>(scancode));
}

bool HasKeyboardFocus(WindowHandle window) {
    return window != nullptr && KeyEventsAvailable() && SDL_GetKeyboardFocus() == window;
}

static_assert(kModNumLock == KMOD_NUM && kModCapsLock == KMOD_CAPS);

// --- Pointer -----------------------------------------------------------------

static_assert(kLeftButton == SDL_BUTTON_LMASK && kMiddleButton == SDL_BUTTON_MMASK &&
              kRightButton == SDL_BUTTON_RMASK);

namespace {

// The X server's own view of the pointer. SDL caches the global pointer
// position until its event pump sees raw motion, which synthetic input does
// not always produce, so the server is asked directly; libX11 is the one SDL
// loaded already.
bool QueryXPointer(WindowHandle window, int32_t& x, int32_t& y, uint32_t& buttons) {
#if defined(SDL_VIDEO_DRIVER_X11)
    using QueryPointerFn = int (*)(Display*, Window, Window*, Window*, int*, int*, int*, int*, unsigned*);
    using RootWindowFn = Window (*)(Display*);
    static void* const library = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    static const auto query = library ? reinterpret_cast<QueryPointerFn>(dlsym(library, "XQueryPointer")) : nullptr;
    static const auto root = library ? reinterpret_cast<RootWindowFn>(dlsym(library, "XDefaultRootWindow")) : nullptr;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (query == nullptr || root == nullptr || window == nullptr || !SDL_GetWindowWMInfo(window, &info) ||
        info.subsystem != SDL_SYSWM_X11)
        return false;
    Window rootReturn = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    if (query(info.info.x11.display, root(info.info.x11.display), &rootReturn, &child, &rx, &ry, &wx, &wy, &mask) == 0)
        return false;
    x = rx;
    y = ry;
    buttons = ((mask & Button1Mask) != 0 ? kLeftButton : 0) | ((mask & Button2Mask) != 0 ? kMiddleButton : 0) |
              ((mask & Button3Mask) != 0 ? kRightButton : 0);
    return true;
#else
    (void)window, (void)x, (void)y, (void)buttons;
    return false;
#endif
}

}  // namespace

void GlobalPointer(WindowHandle window, int32_t& x, int32_t& y, uint32_t& buttons) {
    x = y = 0;
    buttons = 0;
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0 || QueryXPointer(window, x, y, buttons)) return;
    int gx = 0, gy = 0;
    buttons = SDL_GetGlobalMouseState(&gx, &gy);
    x = gx;
    y = gy;
}

void MovePointer(int32_t x, int32_t y) {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) SDL_WarpMouseGlobal(x, y);
}

void ShowPointer(bool show) {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return;
    if (show) SDL_SetCursor(SDL_GetDefaultCursor());
    SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

bool SetRelativePointer(bool on) {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return false;
    return SDL_SetRelativeMouseMode(on ? SDL_TRUE : SDL_FALSE) == 0;
}

// --- Joysticks ---------------------------------------------------------------
namespace {

// The force-feedback device of a joystick and its one constant-force effect.
struct ForceDevice {
    SDL_Haptic* haptic = nullptr;
    int effect = -1;
};
std::map<JoystickHandle, ForceDevice> ForceDevices;

ForceDevice& ForceDeviceOf(JoystickHandle joystick) {
    ForceDevice& device = ForceDevices[joystick];
    if (device.haptic == nullptr && SDL_WasInit(SDL_INIT_HAPTIC) != 0 && SDL_JoystickIsHaptic(joystick) == 1) {
        device.haptic = SDL_HapticOpenFromJoystick(joystick);
        if (device.haptic != nullptr && (SDL_HapticQuery(device.haptic) & SDL_HAPTIC_CONSTANT) == 0) {
            SDL_HapticClose(device.haptic);
            device.haptic = nullptr;
        }
    }
    return device;
}

}  // namespace

bool InitJoysticks() {
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER) != 0) return false;
    SDL_InitSubSystem(SDL_INIT_HAPTIC);  // optional: without it forces go to the rumble motors
    return true;
}

int JoystickDeviceCount() {
    if (SDL_WasInit(SDL_INIT_JOYSTICK) == 0) return 0;
    const int count = SDL_NumJoysticks();
    return count > 0 ? count : 0;
}

JoystickHandle OpenJoystick(int deviceIndex) { return SDL_JoystickOpen(deviceIndex); }

void CloseJoystick(JoystickHandle joystick) {
    if (joystick == nullptr) return;
    if (const auto found = ForceDevices.find(joystick); found != ForceDevices.end()) {
        if (found->second.haptic != nullptr) SDL_HapticClose(found->second.haptic);
        ForceDevices.erase(found);
    }
    SDL_JoystickClose(joystick);
}

int32_t JoystickInstance(JoystickHandle joystick) { return SDL_JoystickInstanceID(joystick); }
int32_t JoystickInstanceAt(int deviceIndex) { return SDL_JoystickGetDeviceInstanceID(deviceIndex); }

std::string JoystickDeviceName(JoystickHandle joystick) {
    const char* name = SDL_JoystickName(joystick);
    return name != nullptr ? name : "";
}

std::string JoystickProductName(int deviceIndex) {
    const char* name = SDL_IsGameController(deviceIndex) ? SDL_GameControllerNameForIndex(deviceIndex) : nullptr;
    if (name == nullptr) name = SDL_JoystickNameForIndex(deviceIndex);
    return name != nullptr ? name : "";
}

bool ReadJoystick(JoystickHandle joystick, JoystickReading& reading) {
    reading = JoystickReading{};
    if (joystick == nullptr) return false;
    SDL_JoystickUpdate();
    if (SDL_JoystickGetAttached(joystick) != SDL_TRUE) return false;
    const int axes = SDL_min(SDL_JoystickNumAxes(joystick), 8);
    for (int i = 0; i < axes; ++i) reading.axes[i] = SDL_JoystickGetAxis(joystick, i);
    const int hats = SDL_min(SDL_JoystickNumHats(joystick), 4);
    for (int i = 0; i < hats; ++i) reading.hats[i] = SDL_JoystickGetHat(joystick, i);
    const int buttons = SDL_min(SDL_JoystickNumButtons(joystick), 32);
    for (int i = 0; i < buttons; ++i) reading.buttons[i] = SDL_JoystickGetButton(joystick, i);
    return true;
}

bool PlayJoystickForce(JoystickHandle joystick, int32_t level, int32_t dx, int32_t dy, uint32_t ms) {
    if (joystick == nullptr) return false;
    ForceDevice& device = ForceDeviceOf(joystick);
    if (device.haptic != nullptr) {
        SDL_HapticStopAll(device.haptic);  // a new force replaces the one playing
        if (device.effect >= 0) SDL_HapticDestroyEffect(device.haptic, device.effect);
        SDL_HapticEffect effect{};
        effect.type = SDL_HAPTIC_CONSTANT;
        effect.constant.direction.type = SDL_HAPTIC_CARTESIAN;
        effect.constant.direction.dir[0] = dx;
        effect.constant.direction.dir[1] = dy;
        effect.constant.length = ms;
        effect.constant.level = static_cast<Sint16>(SDL_clamp(level, -32767, 32767));
        if ((SDL_HapticQuery(device.haptic) & SDL_HAPTIC_GAIN) != 0) SDL_HapticSetGain(device.haptic, 100);
        device.effect = SDL_HapticNewEffect(device.haptic, &effect);
        return device.effect >= 0 && SDL_HapticRunEffect(device.haptic, device.effect, 1) == 0;
    }
    if (SDL_JoystickHasRumble(joystick) != SDL_TRUE) return false;
    const auto strength = static_cast<Uint16>(SDL_clamp(level < 0 ? -level : level, 0, 32767) * 2);
    return SDL_JoystickRumble(joystick, strength, strength, ms) == 0;
}

}  // namespace vtx::platform
