// A Vantrix program that reads the keyboard. It shows frames until its window
// has the keyboard focus, writes "ready", then, by its argument:
//   inkey      every frame, writes "key=<c>" for each character InKey reports
//   inputtext  runs InputText at (10, 10), writes "text=[<text>]" and ends
//   waitkey    writes "got key" after each WaitKey
//   waitmouse  writes "clicked" after each WaitMouse
//   keystate   every frame, writes "down=<code>" for each key KeyState sees
//              down, then "key=<c>" for a character InKey reports
//   mousestate every frame, writes "left" when MouseState sees the left button
#include <cstdio>
#include <string>

#include <vantrix/vantrix.h>

#include "host/host_state.h"
#include "input/input_devices.h"

void ApplyProjectSettings() { ProjectSettings.title = "probe input"; }

void AppMain() {
    const std::string line = vtx::Host.commandLine.c_str();
    while (!vtx::InputDevices.focused) ShowScreen();
    std::printf("ready\n");
    std::fflush(stdout);
    if (line.find(" inputtext") != std::string::npos) {
        RtString text;
        InputText(text, 10, 10);
        std::printf("text=[%s]\n", text.c_str());
        EndProgram();
    }
    while (true) {
        if (line.find(" waitkey") != std::string::npos) {
            WaitKey();
            std::printf("got key\n");
        } else if (line.find(" waitmouse") != std::string::npos) {
            WaitMouse();
            std::printf("clicked\n");
        } else if (line.find(" keystate") != std::string::npos) {
            ShowScreen();
            for (int32_t code = 1; code < 256; ++code)
                if (KeyState(code) != 0) std::printf("down=%d\n", code);
            const RtString c = InKey();
            if (c.length() > 0) std::printf("key=%s\n", c.c_str());
        } else if (line.find(" mousestate") != std::string::npos) {
            ShowScreen();
            int32_t x = 0, y = 0, left = 0, right = 0;
            MouseState(x, y, left, right);
            if (left != 0) std::printf("left\n");
        } else {
            ShowScreen();
            const RtString c = InKey();
            if (c.length() > 0) std::printf("key=%s\n", c.c_str());
        }
        std::fflush(stdout);
    }
}
