// Replacing files whole: the exact bytes and permissions, and the old file
// kept byte for byte whenever the write fails. Tests run as root, whom a
// read-only folder does not stop, so failures come from a file-size limit
// (RLIMIT_FSIZE in a child process), a target that is a folder, a file held
// without sharing and a missing folder.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "files/atomic_write.h"
#include "files/file_test_support.h"
#include "files/ini_service_internal.h"
#include "files/line_store_internal.h"
#include "files/rt_file.h"
#include "support/scratch_folder.h"

namespace fs = std::filesystem;

namespace {

class AtomicWrite : public ::testing::Test {
protected:
    // Names in the folder other than the ones given: stray temporary files.
    static std::vector<std::string> Others(std::initializer_list<std::string> known) {
        std::vector<std::string> others;
        for (const auto& entry : fs::directory_iterator("."))
            if (std::find(known.begin(), known.end(), entry.path().filename().string()) == known.end())
                others.push_back(entry.path().filename().string());
        return others;
    }
    // Runs body in a child process limited to files of limit bytes; the
    // child's exit status, or 1000 + the signal that ended it.
    template <typename Body>
    static int InChildWithFileLimit(rlim_t limit, bool ignoreSignal, Body body) {
        const pid_t pid = fork();
        if (pid == 0) {
            if (ignoreSignal) signal(SIGXFSZ, SIG_IGN);
            const rlimit small{limit, limit};
            if (setrlimit(RLIMIT_FSIZE, &small) != 0) _exit(99);
            _exit(body() ? 1 : 0);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
    }

    ScratchFolder scratch_{"atomic", true};
};

TEST_F(AtomicWrite, ReplacesWithTheExactBytesAndKeepsThePermissions) {
    WriteBytes("f.txt", "old");
    chmod("f.txt", 0600);
    const std::string bytes("new\0bytes\r\n", 11);
    EXPECT_TRUE(vtx::WriteFileAtomically("f.txt", bytes.data(), bytes.size()));
    EXPECT_EQ(ReadBytes("f.txt"), bytes);
    struct stat info {};
    ASSERT_EQ(stat("f.txt", &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_TRUE(vtx::WriteFileAtomically("fresh.txt", "", 0));
    EXPECT_EQ(ReadBytes("fresh.txt"), "");
    EXPECT_TRUE(Others({"f.txt", "fresh.txt"}).empty());
}

TEST_F(AtomicWrite, AFileSizeLimitLeavesTheOldIniAndLineStoreFiles) {
    const std::string ini = "[Save]\r\nlevel=7\r\nname=Ann\r\n";
    WriteBytes("save.ini", ini);
    const int status = InChildWithFileLimit(64, true, [] {
        IniOpen(RtString("save.ini"));
        IniPut(RtString("Save"), RtString("notes"), RtString(std::string(500, 'n').c_str()));
        return vtx::WriteBackIni();
    });
    EXPECT_EQ(status, 0);  // the write-back reported its failure
    EXPECT_EQ(ReadBytes("save.ini"), ini);
    EXPECT_TRUE(Others({"save.ini"}).empty());  // no temporary file left behind

    const std::string lines = "one\r\ntwo\r\n";
    WriteBytes("lines.txt", lines);
    EXPECT_EQ(InChildWithFileLimit(16, true, [] {
                  LineStorePut(RtString("lines.txt"), 200, RtString("far down"));
                  return vtx::WriteBackLineStore();
              }),
              0);
    EXPECT_EQ(ReadBytes("lines.txt"), lines);
}

TEST_F(AtomicWrite, AProcessKilledWhileWritingLeavesTheOldFile) {
    const std::string ini = "[Save]\r\nlevel=7\r\n";
    WriteBytes("killed.ini", ini);
    const int status = InChildWithFileLimit(32, false, [] {  // SIGXFSZ ends the child mid-write
        IniOpen(RtString("killed.ini"));
        IniPut(RtString("Save"), RtString("notes"), RtString(std::string(500, 'n').c_str()));
        return vtx::WriteBackIni();
    });
    EXPECT_EQ(status, 1000 + SIGXFSZ);
    EXPECT_EQ(ReadBytes("killed.ini"), ini);
}

TEST_F(AtomicWrite, TargetsThatCannotBeReplacedStayAsTheyWere) {
    fs::create_directory("folder.ini");
    EXPECT_FALSE(vtx::WriteFileAtomically("folder.ini", "x", 1));
    EXPECT_TRUE(fs::is_directory("folder.ini"));
    EXPECT_FALSE(vtx::WriteFileAtomically("no/such/folder.txt", "x", 1));
    EXPECT_FALSE(vtx::WriteFileAtomically("mem://       1.       1", "x", 1));

    WriteBytes("held.txt", "held");
    RtFile holder;
    ASSERT_TRUE(holder.openRead("held.txt"));  // held open without sharing
    EXPECT_FALSE(vtx::WriteFileAtomically("held.txt", "x", 1));
    holder.close();
    EXPECT_EQ(ReadBytes("held.txt"), "held");
    EXPECT_TRUE(Others({"folder.ini", "held.txt"}).empty());
}

TEST_F(AtomicWrite, ALinkKeepsPointingAtTheFileItNames) {
    fs::create_directory("real");
    WriteBytes("real/target.ini", "old");
    fs::create_symlink("real/target.ini", "link.ini");
    EXPECT_TRUE(vtx::WriteFileAtomically("link.ini", "new", 3));
    EXPECT_TRUE(fs::is_symlink("link.ini"));
    EXPECT_EQ(ReadBytes("real/target.ini"), "new");
}

}  // namespace
