// Channel failures that end the program, shutdown with open channels, and
// the INI and line-store write-back at the end of a run: a real program
// (probe_channels) runs each case, and its exit status, standard error line
// and files are checked.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "files/file_test_support.h"
#include "support/running_program.h"
#include "support/scratch_folder.h"

namespace fs = std::filesystem;

namespace {

class ChannelFailures : public ::testing::Test {
protected:
    // Runs the probe with the actions; its exit status.
    int Run(const std::string& actions) {
        RunningProgram program(PROBE_CHANNELS, actions, folder_.string());
        const int status = program.WaitForExit(20000);
        stdout_ = program.Stdout();
        stderr_ = program.Stderr();
        return status;
    }
    std::string File(const std::string& name) const { return (folder_ / name).string(); }

    ScratchFolder scratch_{"channel-end"};
    const fs::path& folder_ = scratch_.path();
    std::string stdout_, stderr_;
};

TEST_F(ChannelFailures, ChannelNumbersAboveSevenEndWithOutOfMemory) {
    for (const std::string action : {"open=8:1:x", "seek=9:0:0", "end=8", "readint8=4294967295", "writeint8=12:1"}) {
        EXPECT_EQ(Run("setline=12 " + action), 7) << action;
        EXPECT_EQ(stderr_, "Vantrix: the program ended on error 0007 out of memory at line 12\n") << action;
        EXPECT_EQ(stdout_.find("done"), std::string::npos) << action;
    }
}

TEST_F(ChannelFailures, ReadingPastTheEndEndsWithNoSuchFile) {
    WriteBytes(folder_ / "lines.txt", "ab\r\n\ncd");
    EXPECT_EQ(Run("setline=5 open=0:1:" + File("lines.txt") + " readline=0 readline=0 readline=0 readline=0"), 3);
    EXPECT_EQ(stdout_, "open=1 error=0000 success\nline=ab\nline=\nline=cd\n");
    EXPECT_EQ(stderr_, "Vantrix: the program ended on error 0003 no such file at line 5\n");

    WriteBytes(folder_ / "three.bin", "abc");
    EXPECT_EQ(Run("open=0:1:" + File("three.bin") + " readint32=0"), 3);
    EXPECT_EQ(Run("open=0:1:" + File("three.bin") + " readchars=0:2000000000"), 3);  // fails before making room
    EXPECT_EQ(Run("readint8=0"), 3);                                                  // a closed channel
}

TEST_F(ChannelFailures, WritingWithoutADiskFileEndsWithNoSuchFile) {
    WriteBytes(folder_ / "read.txt", "x");
    EXPECT_EQ(Run("open=0:1:" + File("read.txt") + " writeint8=0:65"), 3);
    EXPECT_EQ(ReadBytes(folder_ / "read.txt"), "x");
    EXPECT_EQ(Run("setline=3 writeline=2:hello"), 3);
    EXPECT_EQ(stderr_, "Vantrix: the program ended on error 0003 no such file at line 3\n");
}

TEST_F(ChannelFailures, ChannelsLeftOpenAreClosedWithTheirDataAtTheEnd) {
    EXPECT_EQ(Run("open=0:0:" + File("left.txt") + " writeline=0:kept open=1:-1:" + File("left2.txt") +
                  " writeline=1:appended"),
              0)
        << stderr_;
    EXPECT_EQ(ReadBytes(folder_ / "left.txt"), "kept\r\n");
    EXPECT_EQ(ReadBytes(folder_ / "left2.txt"), "appended\r\n");
    EXPECT_EQ(stderr_, "");
}

TEST_F(ChannelFailures, IniAndLineStoreAreWrittenBackWhereTheyWereOpened) {
    fs::create_directory(folder_ / "saves");
    // The end of the run makes the program's folder current again; the files
    // still go to the folder that was current when they were named.
    EXPECT_EQ(Run("cd=" + File("saves") + " iniopen=game.ini iniput=Video:width:640 lsput=scores.txt:3:high"), 0)
        << stderr_;
    EXPECT_EQ(ReadBytes(folder_ / "saves" / "game.ini"), "[Video]\r\nwidth=640\r\n");
    EXPECT_EQ(ReadBytes(folder_ / "saves" / "scores.txt"), "\r\n\r\n\r\nhigh\r\n");
    EXPECT_FALSE(fs::exists(fs::path(PROBE_CHANNELS).parent_path() / "game.ini"));
}

TEST_F(ChannelFailures, AProgramEndingOnAnErrorStillWritesBack) {
    WriteBytes(folder_ / "keep.ini", "[A]\r\nold=1\r\n");
    EXPECT_EQ(Run("iniopen=" + File("keep.ini") + " iniput=A:new:2 open=8:1:x"), 7);
    EXPECT_EQ(ReadBytes(folder_ / "keep.ini"), "[A]\r\nold=1\r\nnew=2\r\n");
}

}  // namespace
