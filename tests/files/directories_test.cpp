// CurrentDirectory, ChangeDirectory, ListDirectory and the wildcard match.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "files/directories_internal.h"
#include "files/last_error_internal.h"
#include "support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

// The texts of a one-dimensional array.
std::vector<std::string> Texts(const RtArray<RtString>& names) {
    std::vector<std::string> texts;
    for (int32_t i = 0; i < ArrayBounds(names, 0); ++i) texts.push_back(ArrayElement(names, i).c_str());
    return texts;
}

void Touch(const fs::path& path) { std::ofstream(path) << "x"; }

TEST(WildcardMatch, QuestionMarkNeverMatchesAPoint) {
    EXPECT_TRUE(vtx::WildcardMatch("a?c", "abc"));
    EXPECT_FALSE(vtx::WildcardMatch("a?c", "a.c"));
    EXPECT_FALSE(vtx::WildcardMatch("?", "."));
    EXPECT_FALSE(vtx::WildcardMatch("a?c", "ac"));
    EXPECT_FALSE(vtx::WildcardMatch("a?c", "abbc"));
}

TEST(WildcardMatch, StarDotStarMatchesEveryName) {
    EXPECT_TRUE(vtx::WildcardMatch("*.*", "README"));
    EXPECT_TRUE(vtx::WildcardMatch("*.*", "a.b"));
    EXPECT_TRUE(vtx::WildcardMatch("*.*", ""));
    // Only the whole pattern "*.*" is special: "*.*x" needs a point.
    EXPECT_FALSE(vtx::WildcardMatch("*.*x", "abx"));
    EXPECT_TRUE(vtx::WildcardMatch("*.*x", "a.bx"));
}

TEST(WildcardMatch, LettersMatchInEitherCase) {
    EXPECT_TRUE(vtx::WildcardMatch("*.png", "a.PNG"));
    EXPECT_TRUE(vtx::WildcardMatch("ABC", "abc"));
    EXPECT_FALSE(vtx::WildcardMatch("*.png", "a.png.bak"));
    EXPECT_FALSE(vtx::WildcardMatch("_", "-"));  // no folding beyond letters
}

TEST(WildcardMatch, StarsSwallowRunsAndRetry) {
    EXPECT_TRUE(vtx::WildcardMatch("*", ""));
    EXPECT_TRUE(vtx::WildcardMatch("a**b", "ab"));
    EXPECT_TRUE(vtx::WildcardMatch("*a", "bba"));
    EXPECT_TRUE(vtx::WildcardMatch("*x*y", "axbxcy"));  // the first x tried is not the right one
    EXPECT_TRUE(vtx::WildcardMatch("a*b*c", "aXbYbZc"));
    EXPECT_FALSE(vtx::WildcardMatch("a*b*c", "aXbYbZ"));
    EXPECT_TRUE(vtx::WildcardMatch("*?", "a"));
    EXPECT_FALSE(vtx::WildcardMatch("*?", "."));
}

TEST(WildcardMatch, OtherCharactersAndOddInput) {
    EXPECT_TRUE(vtx::WildcardMatch("[ab]", "[ab]"));
    EXPECT_FALSE(vtx::WildcardMatch("[ab]", "a"));
    EXPECT_TRUE(vtx::WildcardMatch("", ""));
    EXPECT_FALSE(vtx::WildcardMatch("", "a"));
    EXPECT_FALSE(vtx::WildcardMatch(nullptr, "a"));
    EXPECT_FALSE(vtx::WildcardMatch("a", nullptr));
    const std::string stars(200000, '*');
    EXPECT_TRUE(vtx::WildcardMatch(stars.c_str(), "anything.at.all"));
    const std::string longName(100000, 'a');
    EXPECT_TRUE(vtx::WildcardMatch("*a*a*a", longName.c_str()));
    EXPECT_FALSE(vtx::WildcardMatch("*a*b", longName.c_str()));
}

class Directories : public ::testing::Test {
protected:
    ScratchFolder scratch_{"vtx-directories", true};
};

TEST_F(Directories, ListsTheExampleFolder) {
    Touch(scratch_.path() / "a.PNG");
    Touch(scratch_.path() / "b.txt");
    fs::create_directory(scratch_.path() / "sub");
    RtArray<RtString> names;
    EXPECT_EQ(ListDirectory(RtString("*.png"), names), 1 + 3 * 65536);
    EXPECT_EQ(Texts(names), (std::vector<std::string>{".", "..", "sub", "a.PNG"}));
    EXPECT_EQ(names.dimensionCount(), 1);
}

TEST_F(Directories, EachGroupIsSortedIgnoringCase) {
    for (const char* name : {"b.png", "A.png", "c.PNG", "README"}) Touch(scratch_.path() / name);
    for (const char* name : {"Zeta", "alpha", "Mid"}) fs::create_directory(scratch_.path() / name);
    RtArray<RtString> names;
    EXPECT_EQ(ListDirectory(RtString("*.*"), names), 4 + 5 * 65536);
    EXPECT_EQ(Texts(names),
              (std::vector<std::string>{".", "..", "alpha", "Mid", "Zeta", "A.png", "b.png", "c.PNG", "README"}));
}

TEST_F(Directories, LinksCountAsWhatTheyPointAt) {
    fs::create_directory(scratch_.path() / "real");
    fs::create_directory_symlink(scratch_.path() / "real", scratch_.path() / "linked");
    fs::create_symlink(scratch_.path() / "missing", scratch_.path() / "dangling");
    RtArray<RtString> names;
    EXPECT_EQ(ListDirectory(RtString("*"), names), 1 + 4 * 65536);
    EXPECT_EQ(Texts(names), (std::vector<std::string>{".", "..", "linked", "real", "dangling"}));
}

TEST_F(Directories, AnOldArrayIsReplacedWhole) {
    Touch(scratch_.path() / "one.txt");
    RtArray<RtString> names;
    DimArray(names, 7, 3);
    ArrayElement(names, 6, 2) = "stale";
    EXPECT_EQ(ListDirectory(RtString("nothing matches"), names), 2 * 65536);
    EXPECT_EQ(names.dimensionCount(), 1);
    EXPECT_EQ(Texts(names), (std::vector<std::string>{".", ".."}));
}

TEST_F(Directories, AnUnreadableCurrentDirectoryListsNothing) {
    const fs::path doomed = scratch_.path() / "doomed";
    fs::create_directory(doomed);
    fs::current_path(doomed);
    fs::remove(doomed);
    RtArray<RtString> names;
    ArrayAppend(names, RtString("stale"));
    EXPECT_EQ(ListDirectory(RtString("*.*"), names), 0);
    EXPECT_EQ(ArrayBounds(names, 0), 0);
    EXPECT_EQ(CurrentDirectory(), "");
}

TEST_F(Directories, CurrentDirectoryEndsWithOneSlash) {
    EXPECT_EQ(std::string(CurrentDirectory().c_str()), scratch_.path().string() + "/");
    ASSERT_TRUE(ChangeDirectory(RtString("/")));
    EXPECT_EQ(CurrentDirectory(), "/");
}

TEST_F(Directories, ChangeDirectorySetsTheLastError) {
    fs::create_directories(scratch_.path() / "sub" / "inner");
    vtx::SetLastError(7);
    EXPECT_TRUE(ChangeDirectory(RtString("sub\\inner")));
    EXPECT_EQ(vtx::LastErrorCode(), 0u);
    EXPECT_EQ(fs::current_path(), scratch_.path() / "sub" / "inner");

    EXPECT_FALSE(ChangeDirectory(RtString("no-such-folder")));
    EXPECT_EQ(vtx::LastErrorCode(), 3u);
    EXPECT_EQ(fs::current_path(), scratch_.path() / "sub" / "inner");

    vtx::SetLastError(0);
    EXPECT_FALSE(ChangeDirectory(RtString("")));
    EXPECT_EQ(vtx::LastErrorCode(), 3u);
    vtx::SetLastError(0);
    EXPECT_FALSE(ChangeDirectory(RtString(std::string(100000, 'x').c_str())));
    EXPECT_EQ(vtx::LastErrorCode(), 3u);
    Touch(scratch_.path() / "plain");
    EXPECT_FALSE(ChangeDirectory(RtString((scratch_.path() / "plain").c_str())));
}

}  // namespace
