// RunProgram, OpenWithShellAndEnd, the environment commands and CommandLine.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "files/environment.h"
#include "files/processes.h"
#include "host/host_state.h"
#include "support/running_program.h"
#include "support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Milliseconds since start.
long ElapsedMs(Clock::time_point start) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

class RunProgramTest : public ::testing::Test {
protected:
    ScratchFolder scratch_{"vtx-run-program", true};
};

TEST_F(RunProgramTest, WaitStoresTheExitCode) {
    double code = 99;
    EXPECT_TRUE(RunProgram(RtString("exit 3"), 1, 1, code));
    EXPECT_EQ(code, 3.0);
    EXPECT_TRUE(RunProgram(RtString("sh -c 'exit 250'"), 1, 0, code));
    EXPECT_EQ(code, 250.0);
    EXPECT_TRUE(RunProgram(RtString("true"), 1, 0, code));
    EXPECT_EQ(code, 0.0);
}

TEST_F(RunProgramTest, NoWaitReturnsAtOnceWithCodeZero) {
    double code = 99;
    const auto start = Clock::now();
    EXPECT_TRUE(RunProgram(RtString("sleep 1; echo done > finished; exit 3"), 0, 1, code));
    EXPECT_LT(ElapsedMs(start), 500);
    EXPECT_EQ(code, 0.0);
    EXPECT_FALSE(fs::exists("finished"));
    EXPECT_TRUE(Eventually([] { return fs::exists("finished"); }, 10000));
}

TEST_F(RunProgramTest, WaitReallyWaits) {
    double code = 99;
    const auto start = Clock::now();
    EXPECT_TRUE(RunProgram(RtString("sleep 0.3; echo done > finished"), 1, 0, code));
    EXPECT_GE(ElapsedMs(start), 250);
    EXPECT_TRUE(fs::exists("finished"));
    EXPECT_EQ(code, 0.0);
}

TEST_F(RunProgramTest, ShellConventionsForOddEnds) {
    double code = 0;
    EXPECT_TRUE(RunProgram(RtString("vtx-no-such-program-anywhere"), 1, 0, code));
    EXPECT_EQ(code, 127.0);  // the shell's "not found"
    EXPECT_TRUE(RunProgram(RtString("kill -9 $$"), 1, 0, code));
    EXPECT_EQ(code, 128.0 + 9);
}

TEST_F(RunProgramTest, NothingToStartIsAFailure) {
    double code = 99;
    EXPECT_FALSE(RunProgram(RtString(""), 1, 1, code));
    EXPECT_EQ(code, 0.0);
    code = 99;
    EXPECT_FALSE(RunProgram(RtString(" \t "), 1, 1, code));
    EXPECT_EQ(code, 0.0);
}

TEST_F(RunProgramTest, TheLineMustFitItsBuffer) {
    std::string line = "exit 5 #";
    line.resize(1023, 'x');
    double code = 0;
    EXPECT_TRUE(RunProgram(RtString(line.c_str()), 1, 1, code));
    EXPECT_EQ(code, 5.0);
    line += 'x';
    code = 99;
    EXPECT_FALSE(RunProgram(RtString(line.c_str()), 1, 1, code));
    EXPECT_EQ(code, 0.0);
    EXPECT_FALSE(RunProgram(RtString(std::string(1000000, 'y').c_str()), 1, 1, code));
}

TEST_F(RunProgramTest, ChildrenSeeTheEnvironmentButNoOtherHandles) {
    SetEnvironmentText(RtString("VTX_RUN_PROBE"), RtString("seen"));
    double code = 99;
    EXPECT_TRUE(RunProgram(RtString("test \"$VTX_RUN_PROBE\" = seen"), 1, 0, code));
    EXPECT_EQ(code, 0.0);
    // A descriptor left open for children (no close-on-exec) still does not reach them.
    const int open = ::open("inherited", O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(open, 3);
    const std::string probe = "test -e /proc/$$/fd/" + std::to_string(open);
    EXPECT_TRUE(RunProgram(RtString(probe.c_str()), 1, 0, code));
    EXPECT_EQ(code, 1.0);
    ::close(open);
    // The standard streams are kept.
    EXPECT_TRUE(RunProgram(RtString("test -e /proc/$$/fd/2"), 1, 0, code));
    EXPECT_EQ(code, 0.0);
}

TEST(Environment, SetThenGetInTheSameRun) {
    EXPECT_EQ(GetEnvironmentText(RtString("VTX_ROUND_TRIP")), "");
    SetEnvironmentText(RtString("VTX_ROUND_TRIP"), RtString("first value"));
    EXPECT_EQ(GetEnvironmentText(RtString("VTX_ROUND_TRIP")), "first value");
    SetEnvironmentText(RtString("VTX_ROUND_TRIP"), RtString("second"));
    EXPECT_EQ(GetEnvironmentText(RtString("VTX_ROUND_TRIP")), "second");
    // An empty value removes the variable.
    SetEnvironmentText(RtString("VTX_ROUND_TRIP"), RtString(""));
    EXPECT_EQ(std::getenv("VTX_ROUND_TRIP"), nullptr);
    EXPECT_EQ(GetEnvironmentText(RtString("VTX_ROUND_TRIP")), "");
}

TEST(Environment, TheAssignmentIsSplitAtItsFirstEquals) {
    SetEnvironmentText(RtString("VTX_SPLIT=left"), RtString("right"));
    EXPECT_EQ(GetEnvironmentText(RtString("VTX_SPLIT")), "left=right");
    EXPECT_EQ(GetEnvironmentText(RtString("VTX_SPLIT=left")), "");  // no variable has "=" in its name
    const std::string before = GetEnvironmentText(RtString("")).c_str();
    SetEnvironmentText(RtString(""), RtString("orphan"));
    EXPECT_EQ(std::string(GetEnvironmentText(RtString("")).c_str()), before);
    const std::string big(200000, 'v');
    SetEnvironmentText(RtString("VTX_BIG"), RtString(big.c_str()));
    EXPECT_EQ(std::string(GetEnvironmentText(RtString("VTX_BIG")).c_str()), big);
    // So large an entry would keep the tests after this one from starting programs.
    SetEnvironmentText(RtString("VTX_BIG"), RtString(""));
    EXPECT_EQ(GetEnvironmentText(RtString("VTX_BIG")), "");
}

TEST(Environment, AnEmptyNameListsEveryEntry) {
    setenv("VTX_LISTED", "one two", 1);
    const std::string all = GetEnvironmentText(RtString("")).c_str();
    EXPECT_NE(all.find("VTX_LISTED=one two\n"), std::string::npos);
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.back(), '\n');
    size_t lines = 0;
    for (size_t start = 0; start < all.size(); start = all.find('\n', start) + 1) {
        const std::string line = all.substr(start, all.find('\n', start) - start);
        EXPECT_NE(line.find('='), std::string::npos) << line;
        ++lines;
    }
    size_t entries = 0;
    for (char** entry = environ; *entry != nullptr; ++entry) ++entries;
    EXPECT_EQ(lines, entries);
}

TEST(CommandLineCommand, CopiesTheStoredLine) {
    vtx::Host.commandLine = "\"/opt/my games/prog\" -x";
    RtString line = CommandLine();
    EXPECT_EQ(line, "\"/opt/my games/prog\" -x");
    line = "changed";
    EXPECT_EQ(vtx::Host.commandLine, "\"/opt/my games/prog\" -x");
}

class ProbeProgram : public ::testing::Test {
protected:
    ScratchFolder scratch_{"vtx-probe-platform"};
};

TEST_F(ProbeProgram, CommandLineHoldsTheProgramPath) {
    RunningProgram program(PROBE_PLATFORM, "commandline 'two words'", scratch_.path().string());
    ASSERT_EQ(program.WaitForExit(20000), 0) << program.Stderr();
    EXPECT_EQ(OutputValue(program.Stdout(), "commandline"),
              std::string(PROBE_PLATFORM) + " commandline \"two words\"");
}

// A fake desktop opener that records its arguments and whether the runtime
// had shut down when it ran.
void WriteFakeOpener(const fs::path& folder) {
    fs::create_directories(folder / "bin");
    const fs::path script = folder / "bin" / "xdg-open";
    std::ofstream(script) << "#!/bin/sh\n"
                             "printf '%s\\n' \"$#\" \"$1\" > \"$TMPDIR/opened.new\"\n"
                             "if grep -q 'vtx is shut down' \"$TMPDIR/ErrorLog.txt\"; then\n"
                             "  echo after-shutdown >> \"$TMPDIR/opened.new\"\n"
                             "fi\n"
                             "mv \"$TMPDIR/opened.new\" \"$TMPDIR/opened\"\n";
    fs::permissions(script, fs::perms::owner_all);
}

TEST_F(ProbeProgram, OpenWithShellShutsDownOpensAndEnds) {
    WriteFakeOpener(scratch_.path());
    const std::string document = "C:\\docs\\read me.txt";
    // Leak checking is left out: in sanitizer builds it can fail to stop the
    // threads of a process that has just started another.
    const std::string path = "ASAN_OPTIONS=detect_leaks=0 PATH=" + (scratch_.path() / "bin").string() + ":/usr/bin:/bin";
    RunningProgram program("env", path + " " + PROBE_PLATFORM + " " + Quoted("shellopen=" + document) + " commandline",
                           scratch_.path().string());
    ASSERT_EQ(program.WaitForExit(20000), 0) << program.Stderr();
    EXPECT_EQ(program.Stdout(), "quit hook ran\n");  // ended before the next action
    ASSERT_TRUE(Eventually([&] { return fs::exists(scratch_.path() / "opened"); }, 10000));
    EXPECT_EQ(ReadWholeFile((scratch_.path() / "opened").string()), "1\n" + document + "\nafter-shutdown\n");
}

TEST_F(ProbeProgram, OpenWithShellEndsEvenWithoutAnOpener) {
    fs::create_directories(scratch_.path() / "empty");
    RunningProgram program("env", "ASAN_OPTIONS=detect_leaks=0 PATH=" + (scratch_.path() / "empty").string() + " " + PROBE_PLATFORM +
                                      " shellopen=nothing.txt commandline",
                           scratch_.path().string());
    ASSERT_EQ(program.WaitForExit(20000), 0) << program.Stderr();
    EXPECT_EQ(program.Stdout(), "quit hook ran\n");
}

}  // namespace
