// The line store: numbered lines, missing files, out-of-range numbers, the
// 256-line limit, write-back on switching files, archive entries.
#include <gtest/gtest.h>

#include <string>

#include "files/file_test_support.h"
#include "files/last_error.h"
#include "files/line_store_internal.h"
#include "support/scratch_folder.h"

namespace fs = std::filesystem;

namespace {

class LineStore : public ::testing::Test {
protected:
    // Another file is named first, so every test starts from its own files.
    void SetUp() override { LineStoreGet(RtString("vtx-no-such-store"), 0); }
    void TearDown() override { LineStoreGet(RtString("vtx-no-such-store"), 0); }

    static std::string Get(const char* file, int32_t line) { return LineStoreGet(RtString(file), line).c_str(); }

    ScratchFolder scratch_{"line-store", true};
};

TEST_F(LineStore, ReadsLinesByNumber) {
    WriteBytes("s.txt", "first\r\nsecond\n\nfourth\x01\x02\r\n   \n");
    EXPECT_EQ(Get("s.txt", 0), "first");
    EXPECT_EQ(Get("s.txt", 1), "second");
    EXPECT_EQ(Get("s.txt", 2), "NO_DATA");
    EXPECT_EQ(Get("s.txt", 3), "fourth");  // trailing control characters go
    EXPECT_EQ(Get("s.txt", 4), "   ");
    EXPECT_EQ(Get("s.txt", 200), "NO_DATA");
    WriteBytes("n.txt", "2.5\r\n-7\r\n");
    EXPECT_EQ(LineStoreGetNumber(RtString("n.txt"), 0.9), 2.5);  // the line number is truncated
    EXPECT_EQ(LineStoreGetInteger(RtString("n.txt"), 1), -7);
}

TEST_F(LineStore, MissingFilesAndBadLineNumbers) {
    EXPECT_EQ(Get("missing.txt", 0), "NO_FILE");
    EXPECT_STREQ(LastErrorText().c_str(), "0003 no such file");
    EXPECT_EQ(Get("missing.txt", 256), "NO_DATA");
    EXPECT_STREQ(LastErrorText().c_str(), "0007 out of memory");
    EXPECT_EQ(Get("missing.txt", -1), "NO_DATA");
    EXPECT_EQ(LineStoreGetInteger(RtString("missing.txt"), 1e300), 0);  // NO_DATA read as a number
    EXPECT_STREQ(LastErrorText().c_str(), "0007 out of memory");
    LineStorePut(RtString("missing.txt"), 256, RtString("x"));
    EXPECT_STREQ(LastErrorText().c_str(), "0007 out of memory");
}

TEST_F(LineStore, PutsToAMissingFileCreateItOnSwitching) {
    EXPECT_EQ(Get("new.txt", 0), "NO_FILE");
    LineStorePut(RtString("new.txt"), 3, RtString("three"));
    EXPECT_EQ(Get("new.txt", 3), "three");
    EXPECT_EQ(Get("other.txt", 0), "NO_FILE");  // switching writes new.txt
    EXPECT_EQ(ReadBytes("new.txt"), "\r\n\r\n\r\nthree\r\n");
    EXPECT_EQ(Get("new.txt", 3), "three");
}

TEST_F(LineStore, PutsCutLongTextAndNumbersUseTheNumberText) {
    WriteBytes("p.txt", "a\r\nb\r\nc\r\n");
    LineStorePut(RtString("p.txt"), 1, RtString(std::string(1500, 'L').c_str()));
    LineStorePutNumber(RtString("p.txt"), 0, 1e10);
    EXPECT_TRUE(vtx::WriteBackLineStore());
    EXPECT_EQ(ReadBytes("p.txt"), "1.e+010\r\n" + std::string(1023, 'L') + "\r\nc\r\n");
}

TEST_F(LineStore, OnlyTheFirst256LinesAreKept) {
    std::string text;
    for (int i = 0; i < 300; ++i) text += "line" + std::to_string(i) + "\r\n";
    WriteBytes("many.txt", text);
    EXPECT_EQ(Get("many.txt", 255), "line255");
    LineStorePut(RtString("many.txt"), 0, RtString("changed"));
    EXPECT_TRUE(vtx::WriteBackLineStore());
    std::string expected = "changed\r\n";
    for (int i = 1; i < 256; ++i) expected += "line" + std::to_string(i) + "\r\n";
    EXPECT_EQ(ReadBytes("many.txt"), expected);
}

TEST_F(LineStore, OverlongLinesAreCutWithoutShiftingTheNumbers) {
    WriteBytes("long.txt", std::string(3000, 'x') + "\nnext\rmac\r\n");
    EXPECT_EQ(Get("long.txt", 0), std::string(1023, 'x'));
    EXPECT_EQ(Get("long.txt", 1), "next");
    EXPECT_EQ(Get("long.txt", 2), "mac");  // a lone CR ends a line
    EXPECT_EQ(Get("long.txt", 3), "NO_DATA");
}

TEST_F(LineStore, ArchiveEntriesAreReadAndWrittenToDisk) {
    MemoryArchive archive(MemoryArchive::Entries{{"scores.txt", "100\r\n90\r\n"}});
    EXPECT_EQ(LineStoreGetInteger(RtString("scores.txt"), 1), 90);
    LineStorePut(RtString("scores.txt"), 2, RtString("80"));
    EXPECT_TRUE(vtx::WriteBackLineStore());
    EXPECT_EQ(ReadBytes("scores.txt"), "100\r\n90\r\n80\r\n");
}

TEST(LineStoreFormat, EmptyFilesHoldNoLines) {
    RtString lines[vtx::kLineStoreLines];
    EXPECT_EQ(vtx::ParseLineStore("", 0, lines), 0);
    EXPECT_EQ(vtx::ParseLineStore("a", 1, lines), 1);
    EXPECT_EQ(vtx::FormatLineStore(lines, 2), "a\r\n\r\n\r\n");
}

}  // namespace
