// Input read-out: the state of the arrow keys and the space bar, the last
// characters typed, the mouse position and buttons, and every joystick's
// axes and first buttons, shown as text each frame. Enter edits a line with
// InputText, shown below. Escape ends it and writes what it read to
// standard output: for each key how often it was pressed and for how many
// frames it was down, the characters typed, the line, the mouse's last
// position, its clicks and wheel turns (the wheel reads 0 unless the
// program takes the mouse: ProjectSettings.exclusiveMouse). Unattended runs
// as in unattended.h.
#include <vantrix/vantrix.h>

#include "unattended.h"

void ApplyProjectSettings() {
    ProjectSettings.title = "Vantrix: input read-out";
}

namespace {

// A key watched every frame: down now, and counted over the run.
struct WatchedKey {
    const char* name;
    int32_t code;
    int32_t down = 0;     // 1 in a frame where KeyState saw it down
    int32_t presses = 0;  // frames where it went down (a quick tap counts too)
    int32_t frames = 0;   // frames where it was down
};

// A button's presses: it was up in the frame before.
struct ButtonCount {
    int32_t down = 0;
    int32_t presses = 0;
    void See(int32_t now) {
        if (now != 0 && down == 0) ++presses;
        down = now;
    }
};

}  // namespace

void AppMain() {
    const UnattendedRun run = ReadUnattendedRun();
    LimitFps(60);
    SetEscapeEnds(0);  // Escape leaves the loop below, so the read-out is written
    WatchedKey keys[] = {{"left", KEY_LEFT}, {"right", KEY_RIGHT}, {"up", KEY_UP}, {"down", KEY_DOWN},
                         {"space", KEY_SPACE}};
    ButtonCount left, right;
    int32_t x = 0, y = 0, wheelUp = 0, wheelDown = 0;
    RtString typed, line;
    for (int frame = 0; run.Continues(frame); ++frame) {
        // Characters typed since the last frame, kept to the last 40; Enter
        // (code 10) edits the line with InputText until Enter again.
        bool editLine = false;
        for (RtString c = InKey(); c != ""; c = InKey()) {
            if (CharCode(c) == 10) editLine = true;
            if (CharCode(c) >= 32) typed += c;
        }
        if (typed.length() > 40) typed = MidText(typed, static_cast<int32_t>(typed.length()) - 40, 40);
        if (KeyState(KEY_ESCAPE)) break;

        ClearScreen(0x101010);
        PrintText("KEYBOARD", 20, 20);
        RtString states;
        for (WatchedKey& key : keys) {
            const int32_t now = KeyState(key.code);
            if (now != 0 && key.down == 0) ++key.presses;
            if (now != 0) ++key.frames;
            key.down = now;
            states += RtString(key.name) + ":" + now + "  ";
        }
        PrintText(states, 20, 40);
        PrintText(RtString("typed: ") + typed, 20, 60);

        int32_t leftNow = 0, rightNow = 0;
        MouseState(x, y, leftNow, rightNow);
        left.See(leftNow);
        right.See(rightNow);
        const int32_t wheel = MouseAxis(2);
        if (wheel > 0) ++wheelUp;
        if (wheel < 0) ++wheelDown;
        PrintText("MOUSE", 20, 100);
        PrintText(RtString("x:") + x + "  y:" + y + "  left:" + leftNow + "  right:" + rightNow + "  wheel:" + wheel,
                  20, 120);

        const int32_t sticks = JoystickCount();
        PrintText(RtString("JOYSTICKS: ") + sticks, 20, 160);
        for (int32_t j = 0; j < sticks && j < 4; ++j)
            PrintText(RtString(j) + ": x " + FormatNumber(5, 2, JoystickX(j)) + "  y " +
                          FormatNumber(5, 2, JoystickY(j)) + "  button 0:" + JoystickButton(j, 0),
                      20, 180 + j * 20);

        PrintText("Enter: type a line", 20, 300);
        PrintText(RtString("line: ") + line, 20, 320);
        if (editLine) InputText(line, 20, 340);  // shows its own frames until Enter
        ShowScreen();
    }
    run.Finish();

    // What was read, one line each, for a person or a program to check.
    for (const WatchedKey& key : keys)
        ConsoleWrite(RtString(key.name) + ": " + key.presses + " presses, " + key.frames + " frames\n");
    ConsoleWrite(RtString("typed: ") + typed + "\n");
    ConsoleWrite(RtString("line: ") + line + "\n");
    ConsoleWrite(RtString("mouse: x ") + x + ", y " + y + ", left " + left.presses + " clicks, right " +
                 right.presses + " clicks, wheel " + wheelUp + " up, " + wheelDown + " down\n");
}
