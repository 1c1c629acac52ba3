// The error log as a unit: CR LF lines, deletion, best effort.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "host/error_log.h"
#include "support/run_program.h"
#include "support/scratch_folder.h"

namespace fs = std::filesystem;

namespace {

class ErrorLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tmp = std::getenv("TMPDIR");
        saved_ = tmp ? tmp : "";
        setenv("TMPDIR", folder_.c_str(), 1);
    }
    void TearDown() override {
        if (saved_.empty()) unsetenv("TMPDIR"); else setenv("TMPDIR", saved_.c_str(), 1);
    }
    std::string saved_;
    ScratchFolder scratch_{"error-log"};
    const fs::path& folder_ = scratch_.path();
};

TEST_F(ErrorLogTest, LinesEndWithCrLfAndAreAppended) {
    EXPECT_EQ(vtx::ErrorLogPath(), (folder_ / "ErrorLog.txt").string());
    vtx::AppendErrorLog("first");
    vtx::AppendErrorLog("");
    vtx::AppendErrorLog("third line");
    EXPECT_EQ(ReadWholeFile(vtx::ErrorLogPath()), "first\r\n\r\nthird line\r\n");
    vtx::DeleteErrorLog();
    EXPECT_FALSE(fs::exists(vtx::ErrorLogPath()));
    vtx::DeleteErrorLog();  // a missing log is not an error
}

TEST_F(ErrorLogTest, TemporaryFolderWithoutTrailingSlashOrWithOne) {
    setenv("TMPDIR", (folder_.string() + "/").c_str(), 1);
    EXPECT_EQ(vtx::ErrorLogPath(), (folder_ / "ErrorLog.txt").string());
    setenv("TMPDIR", "", 1);
    EXPECT_EQ(vtx::ErrorLogPath(), "/tmp/ErrorLog.txt");
}

TEST_F(ErrorLogTest, UnwritableLocationsLoseLinesSilently) {
    setenv("TMPDIR", (folder_ / "missing").c_str(), 1);
    vtx::AppendErrorLog("lost");
    vtx::DeleteErrorLog();
    EXPECT_FALSE(fs::exists(folder_ / "missing"));
    setenv("TMPDIR", "mem://00000010.00000001", 1);  // never treated as a file
    vtx::AppendErrorLog("lost too");
    EXPECT_TRUE(fs::is_empty(folder_));
}

}  // namespace
