// The input read-out example driven with xdotool: held keys, quick taps
// (down and up within one frame), typed characters, a line edited with
// InputText, mouse moves, clicks and wheel turns, checked in what it writes
// when Escape ends it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "examples/driven_example.h"
#include "support/running_program.h"
#include "support/scratch_folder.h"

using example_test::Focus;
using example_test::Tap;
using example_test::PrintsLine;
using example_test::TypeText;

namespace {

// The number before " frames" in the read-out's line for a key; -1 without it.
int FramesDown(const std::string& output, const std::string& key) {
    const size_t at = output.find(std::string("\n").append(key).append(": "));
    if (at == std::string::npos) return -1;
    const size_t comma = output.find(", ", at);
    return comma == std::string::npos ? -1 : std::atoi(output.c_str() + comma + 2);
}

std::string Line(const std::string& output, const std::string& start) {
    const size_t at = output.find(std::string("\n").append(start));
    if (at == std::string::npos) return {};
    return output.substr(at + 1, output.find('\n', at + 1) - at - 1);
}

}  // namespace

TEST(InputReadoutExample, ReadsHeldAndTappedKeysTextAndTheMouse) {
    ScratchFolder scratch("input-readout");
    RunningProgram program(INPUT_READOUT, "3600", scratch.path().string());  // at most 3600 frames
    const std::string window = FindWindow("Vantrix: input read-out");
    ASSERT_FALSE(window.empty()) << program.Stderr();
    ASSERT_TRUE(Focus(window));

    RunCommand("xdotool keydown Left && sleep 0.4 && xdotool keyup Left");  // held for many frames
    for (int i = 0; i < 3; ++i) Tap("Up");  // each down for less than a frame
    Tap("space");
    Tap("space");
    TypeText("abc");
    Tap("Return");  // InputText edits the line until the next Enter
    std::this_thread::sleep_for(std::chrono::milliseconds(250));  // the frame ends, InputText starts
    TypeText("hi there");
    Tap("Return");
    RunCommand("xdotool mousemove --window " + window + " 200 150");
    Tap("shift");  // a key that gives no character: a frame or two to see the move
    // Each quick, a few frames apart: a frame sums the wheel's turns.
    RunCommand("xdotool click 1 sleep 0.1 click 3 sleep 0.1 click 4 sleep 0.1 click 5 sleep 0.1 click 5 sleep 0.2");
    Tap("Escape");
    ASSERT_EQ(program.WaitForExit(10000), 0) << program.Stderr();

    const std::string out = std::string("\n").append(program.Stdout());
    EXPECT_EQ(Line(out, "left:").rfind("left: 1 presses, ", 0), 0u) << out;
    EXPECT_GE(FramesDown(out, "left"), 3) << out;  // more than a tap's frame or two
    EXPECT_EQ(Line(out, "up:").rfind("up: 3 presses, ", 0), 0u) << out;
    EXPECT_GE(FramesDown(out, "up"), 3) << out;  // a tap is down for a frame, across a frame's end for two
    EXPECT_LE(FramesDown(out, "up"), 6) << out;
    EXPECT_EQ(Line(out, "space:").rfind("space: 2 presses, ", 0), 0u) << out;
    EXPECT_EQ(Line(out, "right:"), "right: 0 presses, 0 frames");
    EXPECT_EQ(Line(out, "down:"), "down: 0 presses, 0 frames");
    EXPECT_EQ(Line(out, "typed:"), "typed:   abc");  // the line's characters went to InputText
    EXPECT_EQ(Line(out, "line:"), "line: hi there");
    // The wheel is read with the exclusive mouse only; this window shares it,
    // and wheel turns are no button clicks.
    EXPECT_EQ(Line(out, "mouse:"), "mouse: x 200, y 150, left 1 clicks, right 1 clicks, wheel 0 up, 0 down");
}
