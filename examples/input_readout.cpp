// Input read-out: the state of the arrow keys and the space bar, the last
// characters typed, the mouse position and buttons, and every joystick's
// axes and first buttons, shown as text each frame. Enter asks for a line
// with InputText, shown below. Escape ends it; unattended runs as in
// unattended.h.
#include <vantrix/vantrix.h>

#include "unattended.h"

void ApplyProjectSettings() {
    ProjectSettings.title = "Vantrix: input read-out";
}

namespace {

// "name:1" while the key is down, "name:0" otherwise.
RtString KeyLine(const char* name, int32_t code) {
    return RtString(name) + ":" + (KeyState(code) ? 1 : 0) + "  ";
}

}  // namespace

void AppMain() {
    const UnattendedRun run = ReadUnattendedRun();
    LimitFps(60);
    RtString typed, line;
    for (int frame = 0; run.Continues(frame); ++frame) {
        // Characters typed since the last frame, kept to the last 40.
        for (RtString c = InKey(); c != ""; c = InKey()) typed += c;
        if (typed.length() > 40) typed = MidText(typed, static_cast<int32_t>(typed.length()) - 40, 40);

        ClearScreen(0x101010);
        PrintText("KEYBOARD", 20, 20);
        PrintText(KeyLine("left", KEY_LEFT) + KeyLine("right", KEY_RIGHT) + KeyLine("up", KEY_UP) +
                      KeyLine("down", KEY_DOWN) + KeyLine("space", KEY_SPACE),
                  20, 40);
        PrintText(RtString("typed: ") + typed, 20, 60);

        int32_t x = 0, y = 0, left = 0, right = 0;
        MouseState(x, y, left, right);
        PrintText("MOUSE", 20, 100);
        PrintText(RtString("x:") + x + "  y:" + y + "  left:" + left + "  right:" + right +
                      "  wheel:" + MouseAxis(2),
                  20, 120);

        const int32_t sticks = JoystickCount();
        PrintText(RtString("JOYSTICKS: ") + sticks, 20, 160);
        for (int32_t j = 0; j < sticks && j < 4; ++j)
            PrintText(RtString(j) + ": x " + FormatNumber(5, 2, JoystickX(j)) + "  y " +
                          FormatNumber(5, 2, JoystickY(j)) + "  button 0:" + JoystickButton(j, 0),
                      20, 180 + j * 20);

        PrintText("Enter: type a line", 20, 300);
        PrintText(RtString("line: ") + line, 20, 320);
        if (run.frames == 0 && KeyState(KEY_ENTER)) InputText(line, 20, 340);  // until Enter again
        ShowScreen();
    }
    run.Finish();
}
