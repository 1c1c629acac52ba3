// Keyboard, mouse and joysticks of a running engine, driven by events pushed
// into its queue, by the X pointer (xdotool) and by SDL's virtual joysticks.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "host/frames_internal.h"
#include "host/graphics_backend.h"
#include "host/lifecycle.h"
#include "host/project_settings.h"
#include "input/input_commands.h"
#include "input/input_devices.h"
#include "input/joysticks.h"
#include "input/key_characters.h"
#include "input/keyboard_state.h"
#include "support/running_program.h"

namespace {

class InputTest : public ::testing::Test {
protected:
    void Start(bool exclusiveMouse) {
        setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);  // no window manager gives the focus
        ApplyProjectSettings();
        ProjectSettings.debugMode = 1;  // losing the focus must not pause these tests
        ProjectSettings.exclusiveMouse = exclusiveMouse ? 1 : 0;
        InitEngine(nullptr, 10, ProjectSettings.title);
        ASSERT_TRUE(EngineWindowCreated());
        Focus(true);
    }
    void TearDown() override { ShutdownEngine(); }

    static void Push(SDL_Event e) {
        e.common.timestamp = SDL_GetTicks();
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }
    static void Key(SDL_Scancode sc, bool down, uint16_t mods = 0) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.scancode = sc;
        e.key.keysym.mod = mods;
        Push(e);
    }
    static void Pump() { vtx::PumpMessages(*vtx::GraphicsBackEnd, nullptr); }
    static void Focus(bool on) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = on ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
        Push(e);
        Pump();
    }
    static std::string Typed() { return InKey().c_str(); }
};

TEST_F(InputTest, KeyStatesFollowKeyEventsAndFreezeWithoutFocus) {
    Start(false);
    Key(SDL_SCANCODE_ESCAPE, true);
    Key(SDL_SCANCODE_KP_ENTER, true);
    EXPECT_EQ(KeyState(1), 1);
    EXPECT_EQ(KeyState(156), 1);
    EXPECT_EQ(KeyState(156 - 256), 1);  // codes are taken mod 256
    EXPECT_EQ(KeyState(28), 0);
    Key(SDL_SCANCODE_ESCAPE, false);
    EXPECT_EQ(KeyState(1), 0);

    Focus(false);
    Key(SDL_SCANCODE_KP_ENTER, false);
    Key(SDL_SCANCODE_A, true);
    EXPECT_EQ(KeyState(156), 1);
    EXPECT_EQ(KeyState(30), 0);
    Focus(true);
    EXPECT_EQ(KeyState(156), 0);
    EXPECT_EQ(Typed(), "a");
}

TEST_F(InputTest, InKeyReportsEachPressOnceWithShiftAndCapsLock) {
    Start(false);
    Key(SDL_SCANCODE_1, true);
    EXPECT_EQ(Typed(), "1");
    EXPECT_EQ(Typed(), "");  // held
    Key(SDL_SCANCODE_1, false);
    EXPECT_EQ(Typed(), "");
    Key(SDL_SCANCODE_1, true);
    EXPECT_EQ(Typed(), "1");  // pressed again after a call that saw nothing
    Key(SDL_SCANCODE_1, false);

    Key(SDL_SCANCODE_Q, true);
    EXPECT_EQ(Typed(), "q");
    Key(SDL_SCANCODE_RSHIFT, true);
    EXPECT_EQ(Typed(), "");  // q then Q without letting go: one report
    Key(SDL_SCANCODE_Q, false);
    EXPECT_EQ(Typed(), "");
    Key(SDL_SCANCODE_A, true);
    EXPECT_EQ(Typed(), "A");
    Key(SDL_SCANCODE_A, false);
    Key(SDL_SCANCODE_RSHIFT, false);
    EXPECT_EQ(Typed(), "");
    Key(SDL_SCANCODE_B, true, KMOD_CAPS);
    EXPECT_EQ(Typed(), "B");
    Key(SDL_SCANCODE_B, false, KMOD_CAPS);
    Key(SDL_SCANCODE_LCTRL, true);
    Key(SDL_SCANCODE_C, true);
    EXPECT_EQ(ReadKeyChar(), 0);  // Ctrl+C is a control character
}

TEST_F(InputTest, KeyCharactersOfSpecialKeys) {
    Start(false);
    const struct {
        int code;
        uint16_t mods;
        int character;
    } cases[] = {
        {28, 0, 10},   {156, 0, 10},  {14, 0, 8},   {1, 0, 0},    {15, 0, 0},    {211, 0, 0},
        {42, 0, 0},    {54, 0, 0},    {29, 0, 0},   {56, 0, 0},   {58, 0, 0},    {69, 0, 0},
        {221, 0, 0},   {57, 0, ' '},  {12, 0, '-'}, {53, 0, '/'}, {79, KMOD_NUM, '1'},
        {79, 0, 0},    {181, 0, '/'}, {59, 0, 0},   {200, 0, 0},  {0, 0, 0},     {255, 0, 0},
    };
    for (const auto& c : cases) {
        vtx::InputDevices.pressModifiers[c.code & 0xFF] = (c.mods & KMOD_NUM) != 0 ? vtx::kPressNumLock : 0;
        EXPECT_EQ(vtx::KeyCharacter(c.code), c.character) << "key code " << c.code;
    }
}

TEST_F(InputTest, SharedMousePositionIsClampedAndSetMousePositionLeavesThePointer) {
    Start(false);
    int32_t ox = 0, oy = 0;
    SDL_GetWindowPosition(vtx::GraphicsBackEnd->window, &ox, &oy);
    const auto moveTo = [](int x, int y) {
        RunCommand("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y));
    };
    int32_t x = 0, y = 0, left = 0, right = 0;
    const auto at = [&](int32_t wx, int32_t wy) {
        return Eventually([&] {
            vtx::MarkInputPolled();
            MouseState(x, y, left, right);
            return x == wx && y == wy;
        }, 3000);
    };
    moveTo(ox + 50, oy + 60);
    EXPECT_TRUE(at(50, 60)) << x << "," << y;
    moveTo(ox + 55, oy + 58);
    EXPECT_TRUE(at(55, 58));
    EXPECT_EQ(MouseAxis(0), 5);
    EXPECT_EQ(MouseAxis(0), 5);  // same frame: the same movement
    EXPECT_EQ(MouseAxis(1), -2);
    EXPECT_EQ(MouseAxis(2), 0);  // the wheel needs the exclusive mouse

    moveTo(0, 0);  // above and left of the window
    EXPECT_TRUE(at(0, 0)) << x << "," << y;
    moveTo(ox + 900, oy + 700);
    EXPECT_TRUE(at(639, 479)) << x << "," << y;

    const auto pointer = [] { return FirstLine("xdotool getmouselocation").substr(0, 12); };
    SetMousePosition(7, 9);
    EXPECT_EQ(pointer(),
              "x:" + std::to_string(std::min(ox + 900, 1023)) + " y:" + std::to_string(std::min(oy + 700, 767)));
    MouseState(x, y, left, right);  // no new poll: the set position stands
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, 9);
    EXPECT_EQ(MouseCount(), 1);

    // Hidden without the exclusive mouse: the pointer is held at (200, 200)
    // and its distance from there moves the runtime position.
    ShowSystemPointer(0);
    vtx::MarkInputPolled();
    MouseAxis(0);
    SetMousePosition(300, 300);
    moveTo(210, 195);
    vtx::MarkInputPolled();
    MouseState(x, y, left, right);
    EXPECT_EQ(x, 310);
    EXPECT_EQ(y, 295);
    EXPECT_EQ(pointer(), "x:200 y:200 ");
}

TEST_F(InputTest, ExclusiveMouseMovesByRelativeMotionOncePerFrame) {
    Start(true);
    ASSERT_TRUE(vtx::InputDevices.mouseDevice);
    EXPECT_FALSE(vtx::InputDevices.pointerShown);
    const auto motion = [](int dx, int dy) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.xrel = dx;
        e.motion.yrel = dy;
        Push(e);
    };
    const auto wheel = [](int dy) {
        SDL_Event e{};
        e.type = SDL_MOUSEWHEEL;
        e.wheel.y = dy;
        Push(e);
    };
    vtx::MarkInputPolled();
    MouseAxis(0);  // starts a clean frame
    SetMousePosition(100, 100);
    motion(7, -3);
    motion(5, 0);
    wheel(-2);
    Pump();
    vtx::MarkInputPolled();
    EXPECT_EQ(MouseAxis(0), 12);
    EXPECT_EQ(MouseAxis(0), 12);  // twice in one frame: the same movement
    EXPECT_EQ(MouseAxis(1), -3);
    EXPECT_EQ(MouseAxis(2), -1);
    int32_t x = 0, y = 0, left = 0, right = 0;
    MouseState(x, y, left, right);
    EXPECT_EQ(x, 112);
    EXPECT_EQ(y, 97);

    wheel(3);
    motion(-1000, 2000);
    Pump();
    vtx::MarkInputPolled();
    EXPECT_EQ(MouseAxis(2), 1);
    MouseState(x, y, left, right);
    EXPECT_EQ(x, 0);  // clamped to the screen only when read
    EXPECT_EQ(y, 479);
    vtx::MarkInputPolled();
    EXPECT_EQ(MouseAxis(0), 0);
    EXPECT_EQ(MouseAxis(2), 0);

    vtx::GraphicsBackEnd->rotated = 1;  // a turned screen reports turned positions
    SetMousePosition(10, 20);
    MouseState(x, y, left, right);
    vtx::GraphicsBackEnd->rotated = 0;
    EXPECT_EQ(x, 20);
    EXPECT_EQ(y, 629);
}

TEST_F(InputTest, VirtualJoysticksDriveTheJoystickCommands) {
    static int rumbles = 0;
    static Uint16 strength = 0;
    const auto attach = [](const char* name) {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_UNKNOWN;
        desc.naxes = 6;
        desc.nbuttons = 40;
        desc.nhats = 1;
        desc.name = name;
        desc.Rumble = [](void*, Uint16 low, Uint16) {
            ++rumbles;
            strength = low;
            return 0;
        };
        return SDL_JoystickAttachVirtualEx(&desc);
    };
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0);
    ASSERT_GE(attach("test pad"), 0);
    Start(false);
    ASSERT_EQ(JoystickCount(), 1);
    EXPECT_EQ(std::string(vtx::JoystickName(0)), "test pad, test pad");
    SDL_Joystick* pad = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(0));
    ASSERT_NE(pad, nullptr);

    SDL_JoystickSetVirtualAxis(pad, 0, 32767);
    SDL_JoystickSetVirtualAxis(pad, 1, -16384);
    SDL_JoystickSetVirtualAxis(pad, 5, -32768);
    SDL_JoystickSetVirtualHat(pad, 0, SDL_HAT_UP);
    SDL_JoystickSetVirtualButton(pad, 3, SDL_PRESSED);
    SDL_JoystickSetVirtualButton(pad, 33, SDL_PRESSED);
    EXPECT_EQ(vtx::ReadJoystickState(0).x, 32768);
    EXPECT_EQ(JoystickX(0), 1.0);
    EXPECT_NEAR(JoystickY(0), -0.5, 1e-4);
    EXPECT_EQ(JoystickRz(0), -1.0);
    EXPECT_EQ(JoystickZ(0), 0.0);
    EXPECT_EQ(JoystickPovX(0), 0);
    EXPECT_EQ(JoystickPovY(0), -1);
    EXPECT_EQ(JoystickButton(0, 3), 128);
    EXPECT_EQ(JoystickButton(0, 2), 0);
    EXPECT_EQ(JoystickButton(0, 33), 0);  // past the 32 buttons
    double dx = 0, dy = 0, b0 = 0, b1 = 0;
    JoystickDigital(dx, dy, b0, b1);
    EXPECT_EQ(dx, 1);
    EXPECT_EQ(dy, 0);
    SDL_JoystickSetVirtualHat(pad, 0, SDL_HAT_RIGHTDOWN);
    EXPECT_EQ(JoystickPovX(0), 1);
    EXPECT_EQ(JoystickPovY(0), 1);
    SDL_JoystickSetVirtualHat(pad, 0, SDL_HAT_CENTERED);
    EXPECT_EQ(vtx::ReadJoystickState(0).pov[0], 0xFFFFFFFFu);

    JoystickForce(0, 250, 1.0, 0.0);  // magnitude 5000 of 10000
    EXPECT_EQ(rumbles, 1);
    EXPECT_EQ(strength, 32766);

    // Plugged in while running: it takes the next number.
    ASSERT_GE(attach("second pad"), 0);
    Pump();
    EXPECT_EQ(JoystickCount(), 2);
    EXPECT_EQ(std::string(vtx::JoystickName(1)).rfind("second pad, ", 0), 0u);
    // Unplugged: its number stays and reads zeros.
    SDL_JoystickDetachVirtual(0);
    Pump();
    EXPECT_EQ(JoystickCount(), 2);
    EXPECT_EQ(JoystickX(0), 0.0);
    EXPECT_EQ(JoystickButton(0, 3), 0);
    for (const int j : {0, -1, 2, 10, 1000}) {
        EXPECT_EQ(JoystickX(j), 0.0) << j;
        EXPECT_EQ(JoystickPovY(j), 0) << j;  // not "up"
    }
}

}  // namespace
