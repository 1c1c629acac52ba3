// Typing into a running program through the X server (xdotool): InKey's
// once-per-press reports, the line editor, WaitKey and WaitMouse.
#include <gtest/gtest.h>

#include <string>

#include "support/running_program.h"
#include "support/scratch_folder.h"

namespace {

class Typing : public ::testing::Test {
protected:
    // Starts the probe, gives its window the focus and waits until it knows.
    void Start(RunningProgram& program) {
        const std::string window = FindWindow("probe input");
        ASSERT_FALSE(window.empty()) << program.Stderr();
        RunCommand(std::string(X11_FOCUS) + " " + window);
        ASSERT_TRUE(Eventually([&] { return program.Stdout().find("ready\n") != std::string::npos; }))
            << program.Stderr();
    }
    ScratchFolder scratch_{"typing"};
};

TEST_F(Typing, HeldKeysAreReportedOncePerPress) {
    RunningProgram program(PROBE_INPUT, "inkey", scratch_.path().string());
    Start(program);
    RunCommand("xdotool keydown 1 && sleep 0.3 && xdotool keyup 1");  // held for many frames
    RunCommand("xdotool keydown q && sleep 0.1 && xdotool keydown shift && sleep 0.1 && xdotool keyup q shift");
    PressKeys("shift+a");
    PressKeys("2");
    EXPECT_TRUE(Eventually([&] { return program.Stdout().find("key=2") != std::string::npos; }));
    EXPECT_EQ(program.Stdout(), "ready\nkey=1\nkey=q\nkey=A\nkey=2\n");
}

TEST_F(Typing, InputTextEndsWithTheKeypadEnter) {
    RunningProgram program(PROBE_INPUT, "inputtext", scratch_.path().string());
    Start(program);
    for (const char* key : {"BackSpace", "a", "b", "BackSpace", "c", "KP_Enter"}) PressKeys(key);
    EXPECT_EQ(program.WaitForExit(5000), 0) << program.Stderr();
    EXPECT_EQ(program.Stdout(), "ready\ntext=[ac]\n");
}

TEST_F(Typing, WaitKeyReturnsOnACharacterAndEscapeEndsTheProgram) {
    RunningProgram program(PROBE_INPUT, "waitkey", scratch_.path().string());
    Start(program);
    PressKeys("shift");  // no character: still waiting
    PressKeys("x");
    EXPECT_TRUE(Eventually([&] { return program.Stdout() == "ready\ngot key\n"; })) << program.Stdout();
    PressKeys("Escape");
    EXPECT_EQ(program.WaitForExit(5000), 0);
    EXPECT_EQ(program.Stdout(), "ready\ngot key\n");
}

TEST_F(Typing, WaitMouseReturnsAfterAClick) {
    RunningProgram program(PROBE_INPUT, "waitmouse", scratch_.path().string());
    Start(program);
    RunCommand("xdotool mousedown 1 && sleep 0.2");
    EXPECT_EQ(program.Stdout(), "ready\n");  // pressed, not yet released
    RunCommand("xdotool mouseup 1");
    EXPECT_TRUE(Eventually([&] { return program.Stdout() == "ready\nclicked\n"; })) << program.Stdout();
}

}  // namespace
