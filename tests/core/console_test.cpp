// Console commands through a real program: its standard input from a file,
// its standard output and error collected apart.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "support/running_program.h"
#include "support/scratch_folder.h"

namespace {

class ConsoleProgram : public ::testing::Test {
protected:
    // Runs the probe's console action with input as its standard input.
    void Run(const std::string& input, const std::string& more = "") {
        { std::ofstream(folder_ + "/input", std::ios::binary) << input; }
        RunningProgram program(PROBE_TEXT, "console " + more + " <" + Quoted(folder_ + "/input"), folder_);
        exitCode_ = program.WaitForExit(20000);
        stdout_ = program.Stdout();
        stderr_ = program.Stderr();
    }
    ScratchFolder scratch_{"console"};
    std::string folder_ = scratch_.path().string();
    int exitCode_ = -1;
    std::string stdout_, stderr_;
};

// The probe calls OpenConsole first: the redirected streams stay in use.
TEST_F(ConsoleProgram, LinesLoseTheirLineFeedButKeepACarriageReturn) {
    Run("first\r\n\nlast without end");
    EXPECT_EQ(exitCode_, 0) << stderr_;
    EXPECT_EQ(stdout_, "prompt> line=[first\r]\nline=[]\nline=[last without end]\nquit hook ran\n");
    EXPECT_EQ(stderr_, "err=[first\r]\nerr=[]\nerr=[last without end]\n");
}

TEST_F(ConsoleProgram, LongLinesComeIn4094CharacterPieces) {
    const std::string exact(4094, 'x'), longer(4095, 'y');
    Run(exact + "\n" + longer + "\nend\n");
    EXPECT_EQ(exitCode_, 0) << stderr_;
    EXPECT_EQ(stdout_, "prompt> line=[" + exact + "]\nline=[" + longer.substr(0, 4094) + "]\nline=[y]\nline=[end]\nquit hook ran\n");
}

TEST_F(ConsoleProgram, ZeroBytesInALineArriveWhole) {
    Run(std::string("a\0b\n", 4));
    EXPECT_EQ(stdout_, std::string("prompt> line=[a\0b]\nquit hook ran\n", 33));
}

}  // namespace
