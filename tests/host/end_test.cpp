// Ending a running program: Escape, Alt+F4, the window's close request, focus
// loss and regain, failed assertions, fatal errors and EndAndRun, driven from
// outside through the X server.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/running_program.h"
#include "support/scratch_folder.h"

namespace fs = std::filesystem;

namespace {

class EndOfProgram : public ::testing::Test {
protected:
    // Starts the probe and waits for its window; focuses it when asked.
    std::string Start(RunningProgram& program, bool focus = true) {
        const std::string window = FindWindow("probe window");
        EXPECT_FALSE(window.empty()) << program.Stderr();
        if (focus && !window.empty()) RunCommand(std::string(X11_FOCUS) + " " + window);
        EXPECT_TRUE(Eventually([&] { return program.Frames() > 2; })) << program.Stderr();
        return window;
    }
    static size_t Count(const std::string& text, const std::string& piece) {
        size_t n = 0;
        for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
        return n;
    }
    static bool EndsWith(const std::string& text, const std::string& tail) {
        return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
    }

    ScratchFolder scratch_{"end"};
    const fs::path& folder_ = scratch_.path();
};

TEST_F(EndOfProgram, EscapeEndsWithCodeZeroAndTheShutdownLines) {
    RunningProgram program(PROBE_WINDOW, "", folder_.string());
    Start(program);
    TapKeys("Escape");  // a quick tap is enough
    EXPECT_EQ(program.WaitForExit(5000), 0) << program.Stderr();
    EXPECT_TRUE(EndsWith(program.ErrorLog(), "Shut down VTX\r\nvtx is shut down\r\n")) << program.ErrorLog();
    EXPECT_EQ(Count(program.Stdout(), "quit hook ran"), 1u);
    EXPECT_EQ(program.Stderr(), "");
}

TEST_F(EndOfProgram, WithoutADisplayTheProgramSaysSoAndEnds) {
    // No X display and no driver asked for: SDL would fall back to drawing
    // into memory, and the program would run on unseen.
    const ProgramRun run = RunCommand("cd " + Quoted(folder_.string()) + " && env -u DISPLAY -u SDL_VIDEODRIVER -u " +
                                      "WAYLAND_DISPLAY timeout 20 " + Quoted(PROBE_WINDOW) + " 2>&1");
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("Vantrix: the graphics window could not be created; the program cannot run.\n"),
              std::string::npos)
        << run.output;
}

TEST_F(EndOfProgram, AltF4EndsEvenWhenEscapeDoesNot) {
    RunningProgram program(PROBE_WINDOW, "noescape", folder_.string());
    Start(program);
    PressKeys("Escape");
    const long frames = program.Frames();
    EXPECT_TRUE(Eventually([&] { return program.Frames() > frames + 5; }));
    EXPECT_TRUE(program.Running());
    TapKeys("alt+F4");
    EXPECT_EQ(program.WaitForExit(5000), 0);
    EXPECT_EQ(Count(program.Stdout(), "quit hook ran"), 1u);
}

TEST_F(EndOfProgram, ClosingTheWindowRunsTheQuitHookOnce) {
    RunningProgram program(PROBE_WINDOW, "", folder_.string());
    const std::string window = Start(program, false);
    RunCommand(std::string(X11_CLOSE_WINDOW) + " " + window);
    EXPECT_EQ(program.WaitForExit(5000), 0);
    EXPECT_EQ(Count(program.Stdout(), "quit hook ran"), 1u);
    EXPECT_TRUE(EndsWith(program.ErrorLog(), "Shut down VTX\r\nvtx is shut down\r\n"));
}

TEST_F(EndOfProgram, FocusLossPausesAndMarksTheCaption) {
    RunningProgram program(PROBE_WINDOW, "", folder_.string());
    const std::string window = Start(program);
    RunCommand(std::string(X11_FOCUS) + " root");
    EXPECT_TRUE(Eventually([&] { return WindowName(window) == "probe window <pause>"; })) << WindowName(window);
    const long paused = program.Frames();
    usleep(400000);
    EXPECT_LE(program.Frames(), paused + 1);  // the loop stopped inside ShowScreen
    RunCommand(std::string(X11_FOCUS) + " " + window);
    EXPECT_TRUE(Eventually([&] { return WindowName(window) == "probe window"; })) << WindowName(window);
    EXPECT_TRUE(Eventually([&] { return program.Frames() > paused + 5; }));
    EXPECT_TRUE(program.Running());
    EXPECT_GE(program.HookCalls(), 2);  // the message hook saw both focus changes
}

TEST_F(EndOfProgram, EndProgramAfterSomeFrames) {
    RunningProgram program(PROBE_WINDOW, "frames=3", folder_.string());
    EXPECT_EQ(program.WaitForExit(10000), 0);
    EXPECT_EQ(program.Frames(), 3);
    EXPECT_EQ(Count(program.Stdout(), "quit hook ran"), 1u);
}

TEST_F(EndOfProgram, FailedAssertionEndsWithCode21) {
    RunningProgram program(PROBE_WINDOW, "assert", folder_.string());
    EXPECT_EQ(program.WaitForExit(10000), 21);
    EXPECT_EQ(program.Stderr(), "Vantrix: the program ended on error 0021 unknown error at line 77\n");
    EXPECT_EQ(Count(program.Stdout(), "quit hook ran"), 1u);
    EXPECT_TRUE(EndsWith(program.ErrorLog(), "Shut down VTX\r\nvtx is shut down\r\n"));
}

TEST_F(EndOfProgram, FatalErrorEndsWithItsCode) {
    RunningProgram program(PROBE_WINDOW, "fatal=9", folder_.string());
    EXPECT_EQ(program.WaitForExit(10000), 9);
    EXPECT_EQ(program.Stderr(), "Vantrix: the program ended on error 0009 out of bounds at line 12\n");
}

TEST_F(EndOfProgram, EndAndRunStartsTheCommandAfterShutdown) {
    const fs::path script = folder_ / "after.sh";
    { std::ofstream(script) << "#!/bin/sh\necho ran > \"$(dirname \"$0\")/ran\"\n"; }
    fs::permissions(script, fs::perms::owner_all);
    RunningProgram program(PROBE_WINDOW, "endandrun=" + script.string(), folder_.string());
    EXPECT_EQ(program.WaitForExit(10000), 0);
    EXPECT_TRUE(Eventually([&] { return fs::exists(folder_ / "ran"); }));
    EXPECT_EQ(Count(program.Stdout(), "quit hook ran"), 1u);
    EXPECT_EQ(program.ErrorLog().find("-End On Line"), std::string::npos);
}

// Debugger texts go out only while a debugger (tracer) is attached.
TEST_F(EndOfProgram, DebuggerTextsOnlyWithADebuggerAttached) {
    RunningProgram alone(PROBE_WINDOW, "frames=2 breakpoint callmissing", folder_.string());
    EXPECT_EQ(alone.WaitForExit(10000), 0);
    EXPECT_NE(alone.Stdout().find("breakpoint=0\n"), std::string::npos);
    EXPECT_NE(alone.Stdout().find("callmissing=0\n"), std::string::npos);
    EXPECT_EQ(alone.Stdout().find("activate"), std::string::npos);
    EXPECT_EQ(alone.Stderr(), "");

    // (Leak checking cannot run under a tracer in sanitizer builds.)
    RunningProgram traced("env", std::string("ASAN_OPTIONS=detect_leaks=0 gdb -q -batch -ex run --args ") +
                                     PROBE_WINDOW + " frames=2 breakpoint callmissing assert",
                          folder_.string());
    EXPECT_EQ(traced.WaitForExit(30000), 0);  // gdb's own status
    const std::string out = traced.Stdout(), err = traced.Stderr();
    EXPECT_NE(out.find("breakpoint=1\n"), std::string::npos) << out;
    EXPECT_NE(err.find("BP2a"), std::string::npos) << err;
    EXPECT_NE(err.find("TXCALLBYNAME \"Nope\" *** failed ***\n"), std::string::npos) << err;
    // The breakpoint's bring-to-front request is served by the next frame.
    EXPECT_NE(out.find("activate\nok\n"), std::string::npos) << out;
    EXPECT_NE(err.find("TXAssertion: Value = 0\n"), std::string::npos) << err;
    EXPECT_NE(out.find("exited with code 025"), std::string::npos) << out;  // 21 in octal
}

}  // namespace
