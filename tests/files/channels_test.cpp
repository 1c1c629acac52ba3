// File channels: round trips of every value kind with their exact bytes,
// lines and their limit, positions, seeks, free channels, opening modes,
// archive entries, and reads that cross the read-ahead buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "files/channels_internal.h"
#include "files/file_test_support.h"
#include "files/last_error.h"
#include "support/scratch_folder.h"

namespace fs = std::filesystem;

namespace {

class Channels : public ::testing::Test {
protected:
    void TearDown() override { vtx::CloseAllChannels(); }

    // The channel's lines until it ends (ChannelEnd), at most 100.
    static std::vector<std::string> Lines(uint32_t channel) {
        std::vector<std::string> lines;
        while (!ChannelEnd(channel) && lines.size() < 100) {
            RtString line;
            ReadLine(channel, line);
            lines.emplace_back(line.c_str(), line.length());
        }
        return lines;
    }

    ScratchFolder scratch_{"channels", true};
};

TEST_F(Channels, EveryKindRoundTripsWithItsLittleEndianBytes) {
    ASSERT_TRUE(OpenChannel(0, RtString("values.bin"), 0));
    WriteInt8(0, -2);
    WriteUInt8(0, 0x1ff);  // low 8 bits only
    WriteInt16(0, -2);
    WriteUInt16(0, 0x12345);
    WriteInt32(0, -123456789);
    WriteUInt32(0, -1);
    WriteFloat32(0, 0.1);
    WriteFloat64(0, -2.5);
    WriteChars(0, RtString("ab"));
    WriteLine(0, RtString("text"));
    WriteLineNumber(0, 2.5);
    WriteLineInteger(0, -7);
    CloseChannel(0);

    const std::string expected = std::string("\xfe\xff\xfe\xff\x45\x23\xeb\x32\xa4\xf8\xff\xff\xff\xff", 14) +
                                 "\xcd\xcc\xcc\x3d" + std::string("\0\0\0\0\0\0\x04\xc0", 8) +
                                 "abtext\r\n2.5\r\n-7\r\n";
    EXPECT_EQ(ReadBytes("values.bin"), expected);

    ASSERT_TRUE(OpenChannel(3, RtString("values.bin"), 1));
    int32_t i = 0;
    double d = 0;
    ReadInt8(3, i);
    EXPECT_EQ(i, -2);
    ReadUInt8(3, i);
    EXPECT_EQ(i, 255);
    ReadInt16(3, i);
    EXPECT_EQ(i, -2);
    ReadUInt16(3, i);
    EXPECT_EQ(i, 0x2345);
    ReadInt32(3, i);
    EXPECT_EQ(i, -123456789);
    ReadUInt32(3, i);
    EXPECT_EQ(i, -1);
    ReadFloat32(3, d);
    EXPECT_EQ(d, static_cast<double>(0.1f));
    EXPECT_STREQ(RtString(d).c_str(), "0.1000000015");
    ReadFloat64(3, d);
    EXPECT_EQ(d, -2.5);
    RtString text;
    ReadChars(3, text, 2);
    EXPECT_STREQ(text.c_str(), "ab");
    ReadLine(3, text);
    EXPECT_STREQ(text.c_str(), "text");
    ReadLineNumber(3, d);
    EXPECT_EQ(d, 2.5);
    ReadLineInteger(3, i);
    EXPECT_EQ(i, -7);
    EXPECT_TRUE(ChannelEnd(3));
    EXPECT_EQ(ChannelPosition(3), static_cast<int32_t>(expected.size()));
}

TEST_F(Channels, SixteenBitMinusTwoReadsSignedAndUnsigned) {
    WriteBytes("two.bin", "\xfe\xff\xfe\xff");
    ASSERT_TRUE(OpenChannel(0, RtString("two.bin"), 1));
    int32_t value = 0;
    ReadInt16(0, value);
    EXPECT_EQ(value, -2);
    ReadUInt16(0, value);
    EXPECT_EQ(value, 65534);
}

TEST_F(Channels, LinesEndAtLfOrCrLfAndKeepTheirLimit) {
    WriteBytes("lines.txt", std::string("ab\r\n\ncd"));
    ASSERT_TRUE(OpenChannel(0, RtString("lines.txt"), 1));
    EXPECT_EQ(Lines(0), (std::vector<std::string>{"ab", "", "cd"}));

    WriteBytes("long.txt", std::string(1500, 'x') + "\r\n" + std::string(1024, 'y') + "\n" + "a\rb\n" +
                               std::string("z\0z\n", 4));
    ASSERT_TRUE(OpenChannel(0, RtString("long.txt"), 1));
    const std::vector<std::string> lines = Lines(0);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], std::string(1024, 'x'));
    EXPECT_EQ(lines[1], std::string(476, 'x'));
    EXPECT_EQ(lines[2], std::string(1024, 'y'));
    EXPECT_EQ(lines[3], "");  // the line feed right after 1024 characters
    EXPECT_EQ(lines[4], "a\rb");  // a lone CR stays inside a channel line
    EXPECT_EQ(lines[5], "z");     // a zero byte ends the text
}

TEST_F(Channels, ReadCharsKeepsZeroBytesAndAnEmptyCountReadsNothing) {
    WriteBytes("chars.bin", std::string("a\0b\0c", 5));
    ASSERT_TRUE(OpenChannel(0, RtString("chars.bin"), 1));
    RtString text("old");
    ReadChars(0, text, 5);
    ASSERT_EQ(text.length(), 5u);
    EXPECT_EQ(std::memcmp(text.c_str(), "a\0b\0c", 5), 0);
    ReadChars(99, text, 0);  // no channel check for an empty count
    EXPECT_EQ(text.length(), 0u);
}

TEST_F(Channels, EndPositionAndSeeks) {
    WriteBytes("ten.bin", "0123456789");
    ASSERT_TRUE(OpenChannel(0, RtString("ten.bin"), 1));
    RtString text;
    ReadChars(0, text, 9);
    EXPECT_FALSE(ChannelEnd(0));
    ReadChars(0, text, 1);
    EXPECT_TRUE(ChannelEnd(0));

    WriteBytes("hundred.bin", std::string(100, 'h'));
    ASSERT_TRUE(OpenChannel(1, RtString("hundred.bin"), 1));
    EXPECT_EQ(SeekChannel(1, -4, -1), 96);
    EXPECT_EQ(ChannelPosition(1), 96);
    EXPECT_EQ(SeekChannel(1, 2, 1), 98);
    EXPECT_EQ(SeekChannel(1, 10, 0), 10);
    int32_t value = 0;
    ReadInt8(1, value);
    EXPECT_EQ(SeekChannel(1, 0, 1), 11);  // the file offset, not the read-ahead's

    ASSERT_TRUE(OpenChannel(0, RtString("ten.bin"), 1));  // reopening needs no close
    EXPECT_EQ(SeekChannel(0, -2, -1), 8);
    ReadInt8(0, value);
    EXPECT_EQ(value, '8');
}

TEST_F(Channels, FreeChannelFindsTheLowestEmptyOne) {
    MemoryArchive archive(MemoryArchive::Entries{{"data.bin", "packed"}});
    WriteBytes("disk.bin", "disk");
    ASSERT_TRUE(OpenChannel(0, RtString("disk.bin"), 1));
    ASSERT_TRUE(OpenChannel(1, RtString("data.bin"), 1));
    EXPECT_EQ(FreeChannel(), 2);
    for (uint32_t c = 2; c < 8; ++c)
        ASSERT_TRUE(OpenChannel(c, RtString(std::string("c").append(std::to_string(c)).append(".bin").c_str()), -1));
    EXPECT_EQ(FreeChannel(), -1);
    CloseChannel(5);
    EXPECT_EQ(FreeChannel(), 5);
}

TEST_F(Channels, FailedOpensAreSoftAndLeaveTheChannelFree) {
    EXPECT_FALSE(OpenChannel(0, RtString("missing.txt"), 1));
    EXPECT_STREQ(LastErrorText().c_str(), "0003 no such file");
    EXPECT_EQ(FreeChannel(), 0);
    EXPECT_FALSE(OpenChannel(0, RtString("no/such/folder/new.txt"), 0));
    EXPECT_FALSE(OpenChannel(0, RtString("mem://       4.       1"), 0));  // memory files are read-only
    EXPECT_FALSE(OpenChannel(0, RtString("mem://       4.       1"), -1));
    EXPECT_EQ(FreeChannel(), 0);
    ASSERT_TRUE(OpenChannel(0, RtString("fine.txt"), 0));
    EXPECT_STREQ(LastErrorText().c_str(), "0000 success");
    EXPECT_TRUE(ChannelEnd(0));  // always, while writing
}

TEST_F(Channels, WritingReplacesAndAppendingAdds) {
    WriteBytes("log.txt", "old contents\r\n");
    ASSERT_TRUE(OpenChannel(0, RtString("log.txt"), 0));
    WriteLine(0, RtString("first"));
    CloseChannel(0);
    EXPECT_EQ(ReadBytes("log.txt"), "first\r\n");
    ASSERT_TRUE(OpenChannel(0, RtString("log.txt"), -1));
    EXPECT_EQ(ChannelPosition(0), 0);
    WriteLine(0, RtString("second"));
    CloseChannel(0);
    EXPECT_EQ(ReadBytes("log.txt"), "first\r\nsecond\r\n");
    fs::create_directory("sub");
    ASSERT_TRUE(OpenChannel(0, RtString("sub\\fresh.txt"), -1));  // created; "\" separates folders
    WriteLine(0, RtString("new"));
    CloseChannel(0);
    EXPECT_EQ(ReadBytes("sub/fresh.txt"), "new\r\n");
}

TEST_F(Channels, ReadsAndWritesMixOnAChannelOpenedForWriting) {
    ASSERT_TRUE(OpenChannel(0, RtString("mixed.txt"), 0));
    WriteLine(0, RtString("abc"));
    WriteLine(0, RtString("xyz"));
    EXPECT_EQ(SeekChannel(0, 0, 0), 0);
    RtString line;
    ReadLine(0, line);
    EXPECT_STREQ(line.c_str(), "abc");
    WriteLine(0, RtString("def"));  // over "xyz": where the read stopped, not past the read-ahead
    CloseChannel(0);
    EXPECT_EQ(ReadBytes("mixed.txt"), "abc\r\ndef\r\n");
}

TEST_F(Channels, ArchiveEntriesReadAsMemoryFilesThatOutliveTheNextLookup) {
    MemoryArchive archive(MemoryArchive::Entries{{"level.txt", "row one\r\nrow two\r\n"}, {"other.bin", "zz"}});
    ASSERT_TRUE(OpenChannel(0, RtString("Media/LEVEL.TXT"), 1));
    RtString line;
    ReadLine(0, line);
    EXPECT_STREQ(line.c_str(), "row one");
    ASSERT_TRUE(OpenChannel(1, RtString("other.bin"), 1));  // the resolver lets go of level.txt
    ReadLine(0, line);
    EXPECT_STREQ(line.c_str(), "row two");
    EXPECT_TRUE(ChannelEnd(0));
    EXPECT_EQ(SeekChannel(0, -3, -1), 15);
    int32_t value = 0;
    ReadInt32(0, value);  // crosses the end: the missing high byte is 0
    EXPECT_EQ(value, 'o' | '\r' << 8 | '\n' << 16);
}

TEST_F(Channels, ReadsAcrossTheReadAheadMatchTheBytes) {
    std::string text;
    for (int i = 0; i < 20000; ++i) text += "line " + std::to_string(i * 7919 % 100003) + (i % 3 ? "\r\n" : "\n");
    WriteBytes("many.txt", text);
    ASSERT_TRUE(OpenChannel(0, RtString("many.txt"), 1));
    std::istringstream in(text);
    std::string expected;
    int count = 0;
    while (std::getline(in, expected)) {
        if (!expected.empty() && expected.back() == '\r') expected.pop_back();
        RtString line;
        ReadLine(0, line);
        ASSERT_EQ(std::string(line.c_str()), expected) << "line " << count;
        ++count;
    }
    EXPECT_TRUE(ChannelEnd(0));
    // Binary values that straddle a read-ahead boundary.
    std::string bytes(3 * RtFile::kReadAhead, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 31);
    WriteBytes("big.bin", bytes);
    ASSERT_TRUE(OpenChannel(1, RtString("big.bin"), 1));
    EXPECT_EQ(SeekChannel(1, RtFile::kReadAhead - 2, 0), RtFile::kReadAhead - 2);
    int32_t value = 0;
    ReadInt32(1, value);
    uint32_t want = 0;
    for (int k = 3; k >= 0; --k) want = want << 8 | static_cast<uint8_t>(bytes[RtFile::kReadAhead - 2 + k]);
    EXPECT_EQ(static_cast<uint32_t>(value), want);
    RtString chars;
    ReadChars(1, chars, RtFile::kReadAhead + 5);
    EXPECT_EQ(std::memcmp(chars.c_str(), bytes.data() + RtFile::kReadAhead + 2, RtFile::kReadAhead + 5), 0);
}

}  // namespace
