// The INI service: reading the format, case, the unnamed section, edits
// written back exactly, section removal, archive entries and bad input.
#include <gtest/gtest.h>

#include <string>

#include "files/file_test_support.h"
#include "files/ini_service_internal.h"
#include "support/scratch_folder.h"

namespace fs = std::filesystem;

namespace {

class IniService : public ::testing::Test {
protected:
    void SetUp() override { IniOpen(RtString("")); }
    void TearDown() override { IniOpen(RtString("")); }

    static std::string Get(const char* section, const char* key, const char* fallback = "<default>") {
        return IniGet(RtString(section), RtString(key), RtString(fallback)).c_str();
    }
    static void Put(const char* section, const char* key, const char* value) {
        IniPut(RtString(section), RtString(key), RtString(value));
    }

    ScratchFolder scratch_{"ini", true};
};

TEST_F(IniService, ReadsSectionsAndKeysIgnoringCase) {
    WriteBytes("a.ini", "[Audio]\r\n  volume = 80\r\n;comment\r\n\tname=  My Game  \n[  Video] trailing\r\nwidth=640");
    IniOpen(RtString("a.ini"));
    EXPECT_EQ(Get("AUDIO", "Volume"), "80");
    EXPECT_EQ(Get("Audio", "missing", "5"), "5");
    EXPECT_EQ(Get("audio", "NAME"), "My Game  ");  // leading blanks go, trailing ones stay
    EXPECT_EQ(Get("video", "width"), "640");
    EXPECT_EQ(Get("Nowhere", "width"), "<default>");
    EXPECT_EQ(Get("Audio", ";comment"), "<default>");
}

TEST_F(IniService, EditsAreWrittenBackInTheFormatOnSwitchingFiles) {
    WriteBytes("game.ini", "; settings\r\n[Player]\r\nname=Ann\r\n\r\n[Audio]\r\nvolume=80\r\n");
    IniOpen(RtString("game.ini"));
    Put("player", "NAME", "Bob");  // the stored key keeps its spelling
    Put("Video", "width", "640");
    Put("Audio", "mute", "");  // an empty value is kept
    IniOpen(RtString("other.ini"));
    EXPECT_EQ(ReadBytes("game.ini"), "[Player]\r\nname=Bob\r\n[Audio]\r\nvolume=80\r\nmute=\r\n[Video]\r\nwidth=640\r\n");
    EXPECT_FALSE(fs::exists("other.ini"));  // nothing changed there
    IniOpen(RtString("game.ini"));
    EXPECT_EQ(Get("Video", "width"), "640");
}

TEST_F(IniService, AFileNotChangedIsNotRewritten) {
    const std::string text = "; keep me\r\n[A]\r\nx = 1\r\n";
    WriteBytes("same.ini", text);
    IniOpen(RtString("same.ini"));
    EXPECT_EQ(Get("A", "x"), "1");
    IniOpen(RtString(""));
    EXPECT_EQ(ReadBytes("same.ini"), text);
}

TEST_F(IniService, RemovingASectionMovesTheLastIntoItsPlaceAndIsWrittenBack) {
    WriteBytes("r.ini", "[One]\r\na=1\r\n[Two]\r\nb=2\r\n[Three]\r\nc=3\r\n");
    IniOpen(RtString("r.ini"));
    Put("ONE", "", "ignored");  // a removal alone marks the file changed
    EXPECT_EQ(Get("One", "a"), "<default>");
    IniOpen(RtString(""));
    EXPECT_EQ(ReadBytes("r.ini"), "[Three]\r\nc=3\r\n[Two]\r\nb=2\r\n");
    IniOpen(RtString("r.ini"));
    Put("Missing", "", "");  // nothing to remove: nothing changes
    IniOpen(RtString(""));
    EXPECT_EQ(ReadBytes("r.ini"), "[Three]\r\nc=3\r\n[Two]\r\nb=2\r\n");
}

TEST_F(IniService, EntriesBeforeTheFirstSectionFormTheUnnamedSection) {
    WriteBytes("u.ini", "top=1\r\n[S]\r\nk=v\r\n");
    IniOpen(RtString("u.ini"));
    EXPECT_EQ(Get("", "top"), "1");
    EXPECT_EQ(Get("S", "top"), "<default>");
    Put("", "second", "2");
    Put("S", "k", "w");
    IniOpen(RtString(""));
    EXPECT_EQ(ReadBytes("u.ini"), "top=1\r\nsecond=2\r\n[S]\r\nk=w\r\n");

    WriteBytes("nosections.ini", "alpha=a\nbeta = b\n");
    IniOpen(RtString("nosections.ini"));
    Put("New", "k", "1");  // the unnamed section is still written first
    IniOpen(RtString(""));
    EXPECT_EQ(ReadBytes("nosections.ini"), "alpha=a\r\nbeta=b\r\n[New]\r\nk=1\r\n");
}

TEST_F(IniService, OddLinesAreReadAsTheFormatSays) {
    WriteBytes("odd.ini",
               "[A]\r\nno equals sign\r\nkey junk = 1\r\ndup=first\r\ndup=second\r\n=empty key\r\n[B]]\r\n[My Section]\r\nx=1");
    IniOpen(RtString("odd.ini"));
    EXPECT_EQ(Get("A", "no"), "<default>");
    EXPECT_EQ(Get("A", "key"), "<default>");  // after the key and blanks must come "="
    EXPECT_EQ(Get("A", "dup"), "first");      // the first of duplicate keys counts
    EXPECT_EQ(Get("A", ""), "empty key");
    EXPECT_EQ(Get("B]", "x", "none"), "none");  // one "]" is dropped
    EXPECT_EQ(Get("My", "x"), "1");             // a section name ends at a blank
    Put("A", "dup", "changed");
    IniOpen(RtString(""));
    EXPECT_EQ(ReadBytes("odd.ini"), "[A]\r\ndup=changed\r\ndup=second\r\n=empty key\r\n[B]]\r\n[My]\r\nx=1\r\n");
}

TEST_F(IniService, CarriageReturnsAloneEndLinesToo) {
    WriteBytes("mac.ini", "[A]\rone=1\rtwo=2\r[B]\rthree=3\r");
    IniOpen(RtString("mac.ini"));
    EXPECT_EQ(Get("A", "two"), "2");
    EXPECT_EQ(Get("B", "three"), "3");
    Put("B", "four", "4");
    IniOpen(RtString(""));
    EXPECT_EQ(ReadBytes("mac.ini"), "[A]\r\none=1\r\ntwo=2\r\n[B]\r\nthree=3\r\nfour=4\r\n");
}

TEST_F(IniService, ArchiveEntriesReadButAreWrittenToDisk) {
    MemoryArchive archive(MemoryArchive::Entries{{"packed.ini", "[Game]\r\nlevel=3\r\n"}});
    IniOpen(RtString("Data/packed.ini"));
    EXPECT_EQ(Get("game", "level"), "3");
    fs::create_directory("Data");
    Put("Game", "level", "4");
    IniOpen(RtString(""));
    EXPECT_EQ(ReadBytes("Data/packed.ini"), "[Game]\r\nlevel=4\r\n");
}

TEST_F(IniService, MissingFilesGiveNoSectionsAndPutsCreateThem) {
    IniOpen(RtString("fresh.ini"));
    EXPECT_EQ(Get("A", "b", "d"), "d");
    Put("A", "b", "c");
    IniOpen(RtString(""));
    EXPECT_EQ(ReadBytes("fresh.ini"), "[A]\r\nb=c\r\n");
}

TEST_F(IniService, ALargeFileRoundTrips) {
    std::string text;
    for (int s = 0; s < 2100; ++s) {
        text += "[Section" + std::to_string(s) + "]\r\n";
        for (int k = 0; k < 50; ++k) text += "key" + std::to_string(k) + "=" + std::string(90, static_cast<char>('a' + k % 26)) + "\r\n";
    }
    ASSERT_GT(text.size(), 10u * 1000 * 1000);
    WriteBytes("big.ini", text);
    IniOpen(RtString("big.ini"));
    EXPECT_EQ(Get("section2099", "KEY49"), std::string(90, 'x'));
    Put("Section0", "key0", std::string(90, 'a').c_str());  // the same value: still a change
    IniOpen(RtString(""));
    EXPECT_EQ(ReadBytes("big.ini"), text);
}

TEST(IniFormat, ParseThenFormatIsStable) {
    const std::string text = "lead=1\n[A]\nk = v \n;c\n[]\nx=y\n[A]\nk=second\n";
    const auto sections = vtx::ParseIni(text.data(), text.size());
    const std::string once = vtx::FormatIni(sections);
    EXPECT_EQ(once, "lead=1\r\n[A]\r\nk=v \r\n[]\r\nx=y\r\n[A]\r\nk=second\r\n");
    const auto again = vtx::ParseIni(once.data(), once.size());
    EXPECT_EQ(vtx::FormatIni(again), once);

    // An empty unnamed section keeps its place ahead of later unnamed ones.
    const std::string empty = "[]\n[A]\nx=1\n[]\ny=2\n";
    const std::string written = vtx::FormatIni(vtx::ParseIni(empty.data(), empty.size()));
    EXPECT_EQ(written, "[]\r\n[A]\r\nx=1\r\n[]\r\ny=2\r\n");
    EXPECT_EQ(vtx::FormatIni(vtx::ParseIni(written.data(), written.size())), written);
}

}  // namespace
