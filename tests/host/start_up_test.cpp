// Start-up and end of whole programs: the error log, the command line, the
// current directory, the settings and the quit hook, seen from outside.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/run_program.h"
#include "support/scratch_folder.h"

namespace fs = std::filesystem;

namespace {

class StartUp : public ::testing::Test {
protected:
    // Runs a probe from another working folder with its own temporary folder.
    ProgramRun Run(const std::string& program, const std::string& arguments = "",
                   const std::string& tmpdir = "") {
        return RunCommand("cd / && TMPDIR=" + Quoted(tmpdir.empty() ? temp_.string() : tmpdir) + " " +
                          Quoted(program) + " " + arguments);
    }
    std::string ErrorLog() const { return ReadWholeFile((temp_ / "ErrorLog.txt").string()); }

    ScratchFolder scratch_{"start-up"};
    const fs::path& temp_ = scratch_.path();
};

// Tests run on Mesa's software renderer, which start-up reports once.
TEST_F(StartUp, ErrorLogHoldsTheStartAndShutdownLinesWithCrLf) {
    const ProgramRun run = Run(PROBE_DEFAULT_SETTINGS);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(ErrorLog(),
              "Init GFX\r\nOpenGL Software Emulation\r\nInit Finalized\r\nShut down VTX\r\nvtx is shut down\r\n");
}

TEST_F(StartUp, TheLogOfAnEarlierRunIsDeletedFirst) {
    { std::ofstream(temp_ / "ErrorLog.txt") << "old line\r\nanother\r\n"; }
    Run(PROBE_DEFAULT_SETTINGS);
    Run(PROBE_DEFAULT_SETTINGS);
    EXPECT_EQ(ErrorLog().rfind("Init GFX\r\nOpenGL Software Emulation\r\nInit Finalized\r\n", 0), 0u) << ErrorLog();
    EXPECT_EQ(ErrorLog().find("old line"), std::string::npos);
}

TEST_F(StartUp, DefaultSettingsApplyWhenTheProgramHasNone) {
    const ProgramRun run = Run(PROBE_DEFAULT_SETTINGS);
    EXPECT_EQ(OutputValue(run.output, "title"), "ravlo");
    EXPECT_EQ(OutputValue(run.output, "settings"), "640 480 60 0 0 0 0");
    EXPECT_EQ(OutputValue(run.output, "caption"), "ravlo");
    EXPECT_EQ(OutputValue(run.output, "source"), "0 0 0 0");
}

TEST_F(StartUp, CommandLineHoldsTheWholeLineWithBlanksQuoted) {
    const ProgramRun run = Run(PROBE_DEFAULT_SETTINGS, "first 'two words' '' last");
    EXPECT_EQ(OutputValue(run.output, "cmdline"),
              std::string(PROBE_DEFAULT_SETTINGS) + " first \"two words\" \"\" last");
}

TEST_F(StartUp, CurrentDirectoryMovesToTheProgramsFolder) {
    const ProgramRun run = Run(PROBE_DEFAULT_SETTINGS);
    EXPECT_EQ(OutputValue(run.output, "cwd"), fs::path(PROBE_DEFAULT_SETTINGS).parent_path().string());
}

TEST_F(StartUp, OwnSettingsHookAndDebugModeEndLines) {
    const ProgramRun run = Run(PROBE_OWN_SETTINGS);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(OutputValue(run.output, "title"), "probe");
    EXPECT_EQ(OutputValue(run.output, "greet"), "1");
    EXPECT_EQ(OutputValue(run.output, "greet lower case"), "0");  // names match exactly
    EXPECT_NE(run.output.find("greet ran\n"), std::string::npos);
    EXPECT_NE(run.output.find("quit hook ran\n"), std::string::npos);
    // Returning from AppMain ends like the end command: in debug mode the log
    // gets the end position (error code, error line - 1, line, module).
    EXPECT_EQ(ErrorLog(),
              "Init GFX\r\nOpenGL Software Emulation\r\nInit Finalized\r\n-End On Line\r\n0\r\n41\r\n42\r\n3\r\n"
              "Shut down VTX\r\nvtx is shut down\r\n");
}

TEST_F(StartUp, MissingTemporaryFolderLosesTheLogButNotTheProgram) {
    const ProgramRun run = Run(PROBE_DEFAULT_SETTINGS, "", (temp_ / "no" / "such" / "folder").string());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(OutputValue(run.output, "title"), "ravlo");
    EXPECT_FALSE(fs::exists(temp_ / "no"));
}

TEST_F(StartUp, TemporaryFolderThatIsAFileLosesTheLogButNotTheProgram) {
    { std::ofstream(temp_ / "plain-file") << "x"; }
    const ProgramRun run = Run(PROBE_DEFAULT_SETTINGS, "", (temp_ / "plain-file").string());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(OutputValue(run.output, "title"), "ravlo");
}

TEST_F(StartUp, NoWindowEndsAtOnceWithAClearMessage) {
    // SDL's dummy video driver cannot make OpenGL windows.
    const ProgramRun run = RunCommand("cd / && SDL_VIDEODRIVER=dummy TMPDIR=" + Quoted(temp_.string()) + " " +
                                      Quoted(PROBE_DEFAULT_SETTINGS) + " 2>" + Quoted((temp_ / "err").string()));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, "");  // AppMain never ran
    EXPECT_EQ(ReadWholeFile((temp_ / "err").string()),
              "Vantrix: the graphics window could not be created; the program cannot run.\n");
    EXPECT_EQ(ErrorLog(), "Init GFX\r\n");
}

}  // namespace
