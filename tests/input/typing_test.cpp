// Typing into a running program through the X server (xdotool): InKey's
// once-per-press reports, the line editor, WaitKey and WaitMouse.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "support/running_program.h"
#include "support/scratch_folder.h"

namespace {

// The lines of text that start with prefix.
std::string Lines(const std::string& text, const std::string& prefix) {
    std::string lines;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find('\n', at);
        const std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end + 1 - at);
        if (line.rfind(prefix, 0) == 0) lines += line;
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return lines;
}

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

TEST_F(Typing, QuickTapsGiveTheLayoutsCharactersOnce) {
    RunningProgram program(PROBE_INPUT, "inkey", scratch_.path().string());
    Start(program);
    for (const char* keys : {"1", "shift+1", "shift+apostrophe", "q", "shift+a", "a", "shift+slash", "KP_Add"})
        TapKeys(keys);
    EXPECT_TRUE(Eventually([&] { return program.Stdout().find("key=+") != std::string::npos; }));
    EXPECT_EQ(program.Stdout(), "ready\nkey=1\nkey=!\nkey=\"\nkey=q\nkey=A\nkey=a\nkey=?\nkey=+\n");
}

TEST_F(Typing, KeyStateSeesATapOnceAndAHeldKeyEveryFrame) {
    RunningProgram program(PROBE_INPUT, "keystate", scratch_.path().string());
    Start(program);
    TapKeys("q");
    RunCommand("xdotool keydown w && sleep 0.3 && xdotool keyup w");
    EXPECT_TRUE(Eventually([&] { return program.Stdout().find("key=w") != std::string::npos; }));
    EXPECT_EQ(CountLines(program.Stdout(), "down=16"), 1) << program.Stdout();
    EXPECT_EQ(CountLines(program.Stdout(), "key=q"), 1);
    EXPECT_GE(CountLines(program.Stdout(), "down=17"), 5) << program.Stdout();
    EXPECT_EQ(CountLines(program.Stdout(), "key=w"), 1);
}

TEST_F(Typing, AnotherLayoutGivesItsOwnCharacters) {
    ASSERT_EQ(RunCommand("setxkbmap de").exitCode, 0);
    RunningProgram program(PROBE_INPUT, "keystate", scratch_.path().string());
    Start(program);
    // z and y trade places: the key that gives "z" has the code of the US y.
    for (const char* keys : {"z", "y", "shift+2", "ISO_Level3_Shift+q", "adiaeresis", "shift+adiaeresis"})
        TapKeys(keys);
    EXPECT_TRUE(Eventually([&] { return program.Stdout().find("key=\xC4") != std::string::npos; }));
    // KeyState and InKey see a tap in the same frame or one apart.
    EXPECT_EQ(Lines(program.Stdout(), "key="), "key=z\nkey=y\nkey=\"\nkey=@\nkey=\xE4\nkey=\xC4\n");
    // Each key's code for each tap (a tap across a frame's end is seen in both
    // frames), and no other code.
    const std::string down = Lines(program.Stdout(), "down=");
    int seen = 0;
    for (const auto& [code, taps] : {std::pair{21, 1}, {44, 1}, {3, 1}, {42, 2}, {16, 1}, {184, 1}, {40, 2}}) {
        const int n = CountLines(down, "down=" + std::to_string(code));
        EXPECT_GE(n, taps) << code << " in\n" << down;
        seen += n;
    }
    EXPECT_EQ(std::count(down.begin(), down.end(), '\n'), seen) << down;
    EXPECT_EQ(down.rfind("down=21\n", 0), 0u) << down;  // z, tapped first, is the key of code 21 here
    RunCommand("setxkbmap us");
}

TEST_F(Typing, InputTextEndsWithTheKeypadEnter) {
    RunningProgram program(PROBE_INPUT, "inputtext", scratch_.path().string());
    Start(program);
    for (const char* key : {"BackSpace", "a", "b", "BackSpace", "c", "KP_Enter"}) TapKeys(key);
    EXPECT_EQ(program.WaitForExit(5000), 0) << program.Stderr();
    EXPECT_EQ(program.Stdout(), "ready\ntext=[ac]\n");
}

TEST_F(Typing, WaitKeyReturnsOnACharacterAndEscapeEndsTheProgram) {
    RunningProgram program(PROBE_INPUT, "waitkey", scratch_.path().string());
    Start(program);
    TapKeys("shift");  // no character: still waiting
    TapKeys("x");
    EXPECT_TRUE(Eventually([&] { return program.Stdout() == "ready\ngot key\n"; })) << program.Stdout();
    TapKeys("Escape");
    EXPECT_EQ(program.WaitForExit(5000), 0);
    EXPECT_EQ(program.Stdout(), "ready\ngot key\n");
}

TEST_F(Typing, AQuickClickIsSeenOnceAndAHeldButtonEveryFrame) {
    RunningProgram program(PROBE_INPUT, "mousestate", scratch_.path().string());
    Start(program);
    RunCommand("xdotool mousemove --window " + FindWindow("probe input") + " 20 20 click 1");
    EXPECT_TRUE(Eventually([&] { return program.Stdout().find("left") != std::string::npos; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(program.Stdout(), "ready\nleft\n");
    RunCommand("xdotool mousedown 1 && sleep 0.3 && xdotool mouseup 1");
    EXPECT_GE(CountLines(program.Stdout(), "left"), 6) << program.Stdout();
}

TEST_F(Typing, WaitMouseReturnsAfterAClick) {
    RunningProgram program(PROBE_INPUT, "waitmouse", scratch_.path().string());
    Start(program);
    RunCommand("xdotool mousemove --window " + FindWindow("probe input") + " 20 20 click 1");  // a quick click
    EXPECT_TRUE(Eventually([&] { return program.Stdout() == "ready\nclicked\n"; })) << program.Stdout();
    RunCommand("xdotool mousedown 1 && sleep 0.2");
    EXPECT_EQ(program.Stdout(), "ready\nclicked\n");  // pressed, not yet released
    RunCommand("xdotool mouseup 1");
    EXPECT_TRUE(Eventually([&] { return program.Stdout() == "ready\nclicked\nclicked\n"; })) << program.Stdout();
}

}  // namespace
