// The file layer: memory names, RtFile reads and writes, the file commands
// and the last error they set.
#include <gtest/gtest.h>
#include <signal.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "files/file_commands.h"
#include "files/last_error_internal.h"
#include "files/memory_names.h"
#include "files/rt_file.h"
#include "support/scratch_folder.h"

namespace fs = std::filesystem;

namespace {

class FileLayer : public ::testing::Test {
protected:
    static void Write(const fs::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    ScratchFolder scratch_{"files", true};
};

std::string Text(const RtString& s) { return s.c_str(); }

TEST_F(FileLayer, ForgedMemoryNamesAreRefused) {
    // A name carrying a made-up address must never be read from.
    const RtString forged("mem://     12c.  a81230");
    EXPECT_FALSE(FileExists(forged));
    EXPECT_EQ(FileLength(forged), 0);
    EXPECT_EQ(Text(LastErrorText()), "0003 no such file");
    RtFile file;
    EXPECT_FALSE(file.openRead(forged.c_str()));
}

TEST_F(FileLayer, RegisteredBlocksOpenThroughTheirNames) {
    std::vector<uint8_t> block(300);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i);
    const RtString name = vtx::RegisterMemoryBlock(block.data(), 300);
    ASSERT_EQ(name.length(), 23u);
    EXPECT_EQ(Text(name).substr(0, 15), "mem://     12c.");
    EXPECT_TRUE(FileExists(name));
    EXPECT_EQ(FileLength(name), 300);
    EXPECT_EQ(Text(LastErrorText()), "0000 success");

    // The name's size may be smaller than the block, never larger.
    const std::string key = Text(name).substr(15);
    EXPECT_EQ(FileLength(RtString(("mem://      10." + key).c_str())), 16);
    EXPECT_FALSE(FileExists(RtString(("mem://     12d." + key).c_str())));
    EXPECT_FALSE(FileExists(RtString(("MEM://     12c." + key).c_str())));  // a disk name

    vtx::UnregisterMemoryBlock(name);
    EXPECT_FALSE(FileExists(name));
}

TEST_F(FileLayer, MemoryReadsShortenAtTheEnd) {
    std::vector<uint8_t> block(300, 7);
    const RtString name = vtx::RegisterMemoryBlock(block.data(), 300);
    RtFile file;
    ASSERT_TRUE(file.openRead(name.c_str()));
    EXPECT_TRUE(file.isMemory());
    ASSERT_TRUE(file.seek(295));
    uint8_t buffer[10];
    std::fill(std::begin(buffer), std::end(buffer), 0xEE);
    EXPECT_TRUE(file.read(buffer, 10));  // five bytes remain
    EXPECT_EQ(buffer[4], 7);
    EXPECT_EQ(buffer[5], 0xEE);           // beyond the shortened read: untouched
    EXPECT_EQ(file.position(), 300);
    EXPECT_TRUE(file.read(buffer, 1));   // at the end: succeeds with no bytes
    EXPECT_FALSE(file.write(buffer, 1)); // memory files are read-only
    EXPECT_FALSE(file.openWrite(name.c_str()));
    vtx::UnregisterMemoryBlock(name);
}

TEST_F(FileLayer, DiskReadsNeedEveryByte) {
    Write("data.bin", "0123456789");
    RtFile file;
    ASSERT_TRUE(file.openRead("data.bin"));
    EXPECT_EQ(file.size(), 10);
    char buffer[8] = {};
    EXPECT_TRUE(file.read(buffer, 8));
    EXPECT_EQ(std::string(buffer, 8), "01234567");
    uint32_t word = 0;
    EXPECT_FALSE(file.read32(&word));  // only two bytes left
    file.close();
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(file.size(), 0);
    EXPECT_FALSE(file.read(buffer, 1));  // a closed record reads nothing
}

TEST_F(FileLayer, BothSeparatorsWork) {
    fs::create_directories("sub/dir");
    Write("sub/dir/x.txt", "abc");
    EXPECT_TRUE(FileExists(RtString("sub\\dir\\x.txt")));
    EXPECT_EQ(FileLength(RtString("sub\\dir/x.txt")), 3);
    EXPECT_TRUE(DirectoryExists(RtString("sub\\dir")));
    RtString text("a\\b\\c.png");
    ToForwardSlashes(text);
    EXPECT_EQ(Text(text), "a/b/c.png");
    RtString empty;
    ToForwardSlashes(empty);
    EXPECT_TRUE(empty.usesSharedEmpty());
}

TEST_F(FileLayer, MissingFilesSetNoSuchFileAndClearRestoresSuccess) {
    EXPECT_FALSE(FileExists(RtString("nothing.here")));
    EXPECT_EQ(Text(LastErrorText()), "0000 success");  // FileExists sets no error
    EXPECT_EQ(FileLength(RtString("nothing.here")), 0);
    EXPECT_EQ(Text(LastErrorText()), "0003 no such file");
    ClearLastError();
    EXPECT_EQ(Text(LastErrorText()), "0000 success");
    vtx::SetLastError(12);
    EXPECT_EQ(Text(LastErrorText()), "0012 unknown error");
    vtx::SetLastError(9);
    EXPECT_EQ(Text(LastErrorText()), "0009 out of bounds");
    EXPECT_FALSE(FileExists(RtString("sub")));  // a folder is not a file
    EXPECT_FALSE(FileExists(RtString("")));
}

TEST_F(FileLayer, FilesHeldWithoutSharingAreNotSeen) {
    Write("held.txt", "held");
    {
        RtFile holder;
        ASSERT_TRUE(holder.openRead("held.txt"));
        EXPECT_FALSE(FileExists(RtString("held.txt")));
        EXPECT_EQ(FileLength(RtString("held.txt")), 0);
        EXPECT_EQ(Text(LastErrorText()), "0003 no such file");
        RtFile writer;
        EXPECT_FALSE(writer.openWrite("held.txt"));  // cannot be replaced either
    }
    EXPECT_TRUE(FileExists(RtString("held.txt")));
    // Another process holding it counts the same.
    const pid_t child = fork();
    if (child == 0) {
        const int fd = open("held.txt", O_RDONLY);
        flock(fd, LOCK_EX);
        usleep(500000);
        _exit(0);
    }
    usleep(200000);
    EXPECT_FALSE(FileExists(RtString("held.txt")));
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(FileExists(RtString("held.txt")));
}

TEST_F(FileLayer, CopyFromMemoryAndOntoExistingFiles) {
    std::vector<uint8_t> block(10000);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i * 7);
    const RtString name = vtx::RegisterMemoryBlock(block.data(), static_cast<uint32_t>(block.size()));
    Write("copy.bin", "old contents that are longer than nothing");
    CopyFileTo(name, RtString("copy.bin"));
    EXPECT_EQ(Text(LastErrorText()), "0000 success");
    EXPECT_EQ(Read("copy.bin"), std::string(block.begin(), block.end()));
    vtx::UnregisterMemoryBlock(name);

    CopyFileTo(RtString("copy.bin"), RtString("second.bin"));
    EXPECT_EQ(Read("second.bin"), Read("copy.bin"));

    CopyFileTo(RtString("missing.bin"), RtString("third.bin"));
    EXPECT_EQ(Text(LastErrorText()), "0003 no such file");
    EXPECT_FALSE(fs::exists("third.bin"));

    CopyFileTo(RtString("copy.bin"), RtString("copy.bin"));  // itself: refused, nothing lost
    EXPECT_EQ(Text(LastErrorText()), "0003 no such file");
    EXPECT_EQ(Read("copy.bin").size(), 10000u);
    CopyFileTo(RtString("copy.bin"), RtString("mem://      10.       1"));
    EXPECT_EQ(Text(LastErrorText()), "0003 no such file");
}

// Copies under a file-size limit that stops the copy part-way; exits 0 when
// no destination was left behind and no error code was set.
[[noreturn]] void CopyUnderSizeLimit() {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = 5000;
    setrlimit(RLIMIT_FSIZE, &limit);
    CopyFileTo(RtString("big.bin"), RtString("partial.bin"));
    std::exit(fs::exists("partial.bin") ? 1 : vtx::LastErrorCode() == 0 ? 0 : 2);
}

TEST_F(FileLayer, FailedCopyLeavesNoDestination) {
    Write("big.bin", std::string(20000, 'x'));
    EXPECT_EXIT(CopyUnderSizeLimit(), ::testing::ExitedWithCode(0), "");
    EXPECT_FALSE(fs::exists("partial.bin"));
}

TEST_F(FileLayer, RemoveAndDirectories) {
    Write("gone.txt", "x");
    EXPECT_TRUE(RemoveFile(RtString("gone.txt")));
    EXPECT_FALSE(RemoveFile(RtString("gone.txt")));
    EXPECT_TRUE(MakeDirectory(RtString("made")));
    EXPECT_FALSE(MakeDirectory(RtString("made")));          // exists already
    EXPECT_FALSE(MakeDirectory(RtString("no/parent/here")));  // one level at a time
    EXPECT_TRUE(DirectoryExists(RtString("made")));
    Write("plain", "x");
    EXPECT_FALSE(DirectoryExists(RtString("plain")));
}

TEST_F(FileLayer, WritingReplacesAndCountsNoPosition) {
    Write("out.bin", "previous");
    RtFile file;
    ASSERT_TRUE(file.openWrite("out.bin"));
    EXPECT_EQ(file.size(), 0);
    EXPECT_TRUE(file.write("new", 3));
    EXPECT_EQ(file.position(), 0);
    file.close();
    EXPECT_EQ(Read("out.bin"), "new");
    EXPECT_FALSE(file.openWrite("missing-folder/out.bin"));
}

}  // namespace
