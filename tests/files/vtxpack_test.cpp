// vtxpack and the pack resolvers end to end: files packed into a copy of a
// probe program are found by the running copy, listed, extracted, replaced;
// failures leave the program untouched.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/run_program.h"
#include "support/scratch_folder.h"

namespace fs = std::filesystem;

namespace {

// 64-bit FNV-1a in hex, as probe_pack prints it.
std::string Checksum(const std::string& bytes) {
    uint64_t hash = 14695981039346656037ull;
    for (const char c : bytes) hash = (hash ^ static_cast<uint8_t>(c)) * 1099511628211ull;
    char text[20];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

// Writes bytes to a new file, making its folders.
void WriteFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// n bytes from a seeded generator: the same seed gives the same bytes.
std::string RandomBytes(size_t n, uint32_t seed) {
    std::mt19937 generator(seed);
    std::string bytes(n, '\0');
    for (char& c : bytes) c = static_cast<char>(generator() & 0xff);
    return bytes;
}

// About 300 KB of text that compresses well but is not one repeated byte.
std::string CompressibleText() {
    std::string text;
    for (int i = 0; text.size() < 300 * 1024; ++i)
        text += "tile " + std::to_string(i % 97) + " wall grass water " + std::to_string(i % 13) + "\n";
    return text;
}

// One line of vtxpack list: name, stored size, unpacked size.
struct ListedEntry {
    std::string name;
    long stored = -1;
    long unpacked = -1;
};

// The entries of a vtxpack list output.
std::vector<ListedEntry> ParseListing(const std::string& output) {
    std::vector<ListedEntry> entries;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        ListedEntry e;
        std::istringstream fields(line);
        if (fields >> e.name >> e.stored >> e.unpacked) entries.push_back(e);
    }
    return entries;
}

// probe_pack's answer for one lookup: "memory 12 <checksum> <head>" and so on.
std::string Answer(const std::string& output, const std::string& resolver, const std::string& name) {
    const std::string marker = resolver + " " + name + " -> ";
    const size_t at = output.find(marker);
    if (at == std::string::npos) return "<no line>";
    const size_t start = at + marker.size();
    return output.substr(start, output.find('\n', start) - start);
}

// The index-th blank-separated field of an answer ("<none>" past the end).
std::string Field(const std::string& answer, int index) {
    std::istringstream fields(answer);
    std::string field;
    for (int i = 0; i <= index; ++i)
        if (!(fields >> field)) return "<none>";
    return field;
}

class PackedProgram : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(root_ / "game");
        fs::create_directories(root_ / "tmp");
        program_ = root_ / "game" / "probe";
        fs::copy_file(PROBE_PACK, program_);
        contents_ = {{"bg1.png", RandomBytes(4000, 7)},
                     {"readme.txt", "Welcome to the game.\nPress Space to start.\n"},
                     {"empty.dat", ""},
                     {"level.map", CompressibleText()}};
        for (const auto& [name, bytes] : contents_) WriteFile(root_ / "files" / name, bytes);
    }

    // Runs vtxpack with the arguments; standard error goes to lastError_.
    ProgramRun Vtxpack(const std::string& arguments) {
        const fs::path errors = root_ / "vtxpack-stderr";
        ProgramRun run = RunCommand("cd " + Quoted(root_.string()) + " && " + Quoted(VTXPACK) + " " + arguments +
                                    " 2>" + Quoted(errors.string()));
        lastError_ = ReadWholeFile(errors.string());
        fs::remove(errors);
        return run;
    }
    // Packs the four generated files into the program copy.
    void PackAll() {
        std::string arguments = Program();
        for (const auto& [name, bytes] : contents_) {
            arguments += ' ';
            arguments += Quoted((root_ / "files" / name).string());
        }
        const ProgramRun run = Vtxpack("add " + arguments);
        ASSERT_EQ(run.exitCode, 0) << lastError_;
    }
    // Runs the program copy from another folder, looking up the names.
    ProgramRun Probe(const std::vector<std::string>& names) {
        std::string arguments;
        for (const std::string& name : names) {
            arguments += ' ';
            arguments += Quoted(name);
        }
        return RunCommand("cd / && TMPDIR=" + Quoted((root_ / "tmp").string()) + " " + Program() + arguments);
    }
    // The program copy's path, quoted for the shell.
    std::string Program() const { return Quoted(program_.string()); }
    // The program copy as it is on disk now.
    std::string ProgramBytes() const { return ReadWholeFile(program_.string()); }
    // The names in a folder, sorted.
    std::vector<std::string> FolderListing(const fs::path& folder) const {
        std::vector<std::string> names;
        for (const auto& item : fs::directory_iterator(folder)) names.push_back(item.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    ScratchFolder scratch_{"vtxpack"};
    const fs::path root_ = scratch_.path();
    fs::path program_;
    std::map<std::string, std::string> contents_;
    std::string lastError_;
};

// --- The running program finds its entries ----------------------------------

TEST_F(PackedProgram, StillRunsAndFindsEveryEntryInMemoryWithItsContent) {
    PackAll();
    const ProgramRun run = Probe({"bg1.png", "readme.txt", "empty.dat", "level.map"});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("done\n"), std::string::npos) << run.output;
    for (const auto& [name, bytes] : contents_) {
        const std::string answer = Answer(run.output, "loader", name);
        EXPECT_EQ(Field(answer, 0), "memory") << name << ": " << answer;
        EXPECT_EQ(Field(answer, 1), std::to_string(bytes.size())) << name;
        EXPECT_EQ(Field(answer, 2), Checksum(bytes)) << name;
    }
}

TEST_F(PackedProgram, NamesMatchByBaseNameWhateverTheFoldersAndCase) {
    PackAll();
    const std::vector<std::string> names = {"Media/Bg1.PNG", "a\\b\\bg1.png", "BG1.PNG", "/no/such/folder/bG1.pNg"};
    const ProgramRun run = Probe(names);
    for (const std::string& name : names) {
        EXPECT_EQ(Field(Answer(run.output, "loader", name), 2), Checksum(contents_["bg1.png"])) << name;
        EXPECT_EQ(Field(Answer(run.output, "media", name), 2), Checksum(contents_["bg1.png"])) << name;
    }
}

TEST_F(PackedProgram, OtherNamesDoNotMatch) {
    PackAll();
    const std::vector<std::string> names = {"xbg1.png", "bg1.pn", "bg1.png.bak", "bg1", "Media/"};
    const ProgramRun run = Probe(names);
    for (const std::string& name : names) {
        EXPECT_EQ(Answer(run.output, "loader", name), "missing") << name;
        EXPECT_EQ(Answer(run.output, "media", name), "missing") << name;
    }
}

TEST_F(PackedProgram, MediaResultsAreTemporaryFilesNamedAfterTheEntry) {
    PackAll();
    const ProgramRun run = Probe({"Media/BG1.png", "level.map", "empty.dat"});
    const std::string tempFolder = (root_ / "tmp").string() + "/";
    for (const auto& [lookup, entry] : std::map<std::string, std::string>{
             {"Media/BG1.png", "bg1.png"}, {"level.map", "level.map"}, {"empty.dat", "empty.dat"}}) {
        const std::string answer = Answer(run.output, "media", lookup);
        EXPECT_EQ(Field(answer, 0), "temp") << answer;
        EXPECT_EQ(Field(answer, 1), std::to_string(contents_[entry].size())) << lookup;
        EXPECT_EQ(Field(answer, 2), Checksum(contents_[entry])) << lookup;
        const std::string path = Field(answer, 3);
        ASSERT_EQ(path.rfind(tempFolder, 0), 0u) << path;
        EXPECT_TRUE(std::regex_match(path.substr(tempFolder.size()), std::regex("zez[A-Z][A-Z]" + entry)))
            << path;
    }
}

TEST_F(PackedProgram, TheNextMediaLookupDeletesThePreviousTemporaryFile) {
    PackAll();
    const ProgramRun run = Probe({"bg1.png", "readme.txt", "no-such-file.txt"});
    const std::string first = Field(Answer(run.output, "media", "bg1.png"), 3);
    const std::string second = Field(Answer(run.output, "media", "readme.txt"), 3);
    EXPECT_NE(run.output.find("previous " + first + " gone\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("previous " + second + " gone\n"), std::string::npos) << run.output;
    EXPECT_FALSE(fs::exists(first));
    EXPECT_FALSE(fs::exists(second));
}

TEST_F(PackedProgram, AFileOnDiskBesideTheProgramWinsOverTheEntry) {
    PackAll();
    const std::string onDisk = "the copy on disk\n";
    WriteFile(root_ / "game" / "readme.txt", onDisk);
    const ProgramRun run = Probe({"readme.txt", "bg1.png"});
    EXPECT_EQ(Field(Answer(run.output, "loader", "readme.txt"), 0), "disk");
    EXPECT_EQ(Field(Answer(run.output, "loader", "readme.txt"), 1), std::to_string(onDisk.size()));
    EXPECT_EQ(Field(Answer(run.output, "loader", "readme.txt"), 2), Checksum(onDisk));
    EXPECT_EQ(Field(Answer(run.output, "media", "readme.txt"), 0), "disk");
    EXPECT_EQ(Field(Answer(run.output, "media", "readme.txt"), 2), Checksum(onDisk));
    EXPECT_EQ(Field(Answer(run.output, "loader", "bg1.png"), 0), "memory");  // the others still come from the pack
}

// --- vtxpack list and extract -----------------------------------------------

TEST_F(PackedProgram, ListPrintsEachEntryWithItsStoredAndUnpackedSize) {
    PackAll();
    const ProgramRun run = Vtxpack("list " + Program());
    ASSERT_EQ(run.exitCode, 0) << lastError_;
    const std::vector<ListedEntry> entries = ParseListing(run.output);
    ASSERT_EQ(entries.size(), contents_.size()) << run.output;
    size_t index = 0;
    for (const auto& [name, bytes] : contents_) {  // in the order given to add
        EXPECT_EQ(entries[index].name, name);
        EXPECT_EQ(entries[index].unpacked, static_cast<long>(bytes.size())) << name;
        EXPECT_GE(entries[index].stored, 4 + 3) << name;  // size word plus at least the end marker
        ++index;
    }
    const ListedEntry& level = entries[2];
    ASSERT_EQ(level.name, "level.map");
    EXPECT_LT(level.stored, level.unpacked / 10);  // the compressible file really is compressed
    EXPECT_EQ(lastError_, "");
}

TEST_F(PackedProgram, ListSaysSoWhenThereIsNoArchive) {
    const ProgramRun run = Vtxpack("list " + Program());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.output.find("no pack archive"), std::string::npos) << run.output;
    EXPECT_TRUE(ParseListing(run.output).empty());
}

TEST_F(PackedProgram, ExtractGivesBackEveryFileByteForByte) {
    PackAll();
    for (const auto& [name, bytes] : contents_) {
        const fs::path out = root_ / ("out-" + name);
        const ProgramRun run = Vtxpack("extract " + Program() + " " + name + " " + Quoted(out.string()));
        ASSERT_EQ(run.exitCode, 0) << name << ": " << lastError_;
        EXPECT_EQ(ReadWholeFile(out.string()), bytes) << name;
    }
}

TEST_F(PackedProgram, ExtractMatchesLikeTheRuntimeAndDefaultsToTheEntryName) {
    PackAll();
    const ProgramRun run = Vtxpack("extract " + Program() + " 'Media\\LEVEL.MAP'");
    ASSERT_EQ(run.exitCode, 0) << lastError_;
    EXPECT_EQ(ReadWholeFile((root_ / "level.map").string()), contents_["level.map"]);
    const ProgramRun missing = Vtxpack("extract " + Program() + " xlevel.map");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(lastError_.find("no entry matches"), std::string::npos) << lastError_;
    EXPECT_FALSE(fs::exists(root_ / "xlevel.map"));
}

TEST_F(PackedProgram, ExtractIntoAFolderOrToStandardOutput) {
    PackAll();
    fs::create_directories(root_ / "out");
    ASSERT_EQ(Vtxpack("extract " + Program() + " BG1.PNG out").exitCode, 0) << lastError_;
    EXPECT_EQ(ReadWholeFile((root_ / "out" / "bg1.png").string()), contents_["bg1.png"]);
    const ProgramRun piped = Vtxpack("extract " + Program() + " readme.txt -");
    EXPECT_EQ(piped.exitCode, 0) << lastError_;
    EXPECT_EQ(piped.output, contents_["readme.txt"]);
}

// --- vtxpack add on a program that already has an archive -----------------

TEST_F(PackedProgram, AddingAgainReplacesTheEntryAndKeepsTheOthersAsStored) {
    PackAll();
    const std::vector<ListedEntry> before = ParseListing(Vtxpack("list " + Program()).output);
    const std::string changed = "A changed readme, longer than before.\n";
    WriteFile(root_ / "changed" / "README.TXT", changed);
    ASSERT_EQ(Vtxpack("add " + Program() + " changed/README.TXT").exitCode, 0) << lastError_;

    const std::vector<ListedEntry> after = ParseListing(Vtxpack("list " + Program()).output);
    ASSERT_EQ(after.size(), before.size());
    int readmes = 0;
    for (const ListedEntry& e : after) {
        if (e.name == "readme.txt" || e.name == "README.TXT") {
            ++readmes;
            EXPECT_EQ(e.name, "README.TXT");
            EXPECT_EQ(e.unpacked, static_cast<long>(changed.size()));
            continue;
        }
        const auto old =
            std::find_if(before.begin(), before.end(), [&](const ListedEntry& b) { return b.name == e.name; });
        ASSERT_NE(old, before.end()) << e.name;
        EXPECT_EQ(e.stored, old->stored) << e.name;
    }
    EXPECT_EQ(readmes, 1);
    const ProgramRun run = Probe({"readme.txt", "level.map"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(Field(Answer(run.output, "loader", "readme.txt"), 2), Checksum(changed));
    EXPECT_EQ(Field(Answer(run.output, "loader", "level.map"), 2), Checksum(contents_["level.map"]));
}

TEST_F(PackedProgram, AddingTwiceKeepsTheProgramsOwnBytesAndItRuns) {
    const std::string original = ProgramBytes();
    PackAll();
    WriteFile(root_ / "more" / "extra.bin", RandomBytes(1000, 3));
    ASSERT_EQ(Vtxpack("add " + Program() + " more/extra.bin").exitCode, 0) << lastError_;
    const std::string packed = ProgramBytes();
    ASSERT_GT(packed.size(), original.size());
    EXPECT_EQ(packed.compare(0, original.size(), original), 0) << "the program's own bytes changed";
    const ProgramRun run = Probe({"extra.bin", "bg1.png"});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(Field(Answer(run.output, "loader", "extra.bin"), 2), Checksum(RandomBytes(1000, 3)));
    EXPECT_EQ(Field(Answer(run.output, "loader", "bg1.png"), 2), Checksum(contents_["bg1.png"]));

    // Nothing of the first archive stays behind: one add of all five files
    // to a fresh copy gives the very same bytes.
    const fs::path fresh = root_ / "fresh";
    fs::copy_file(PROBE_PACK, fresh);
    std::string arguments = Quoted(fresh.string());
    for (const auto& [name, bytes] : contents_) arguments += " files/" + name;
    ASSERT_EQ(Vtxpack("add " + arguments + " more/extra.bin").exitCode, 0) << lastError_;
    EXPECT_TRUE(ReadWholeFile(fresh.string()) == packed) << "a second add left old archive bytes behind";
}

TEST_F(PackedProgram, AFileGivenTwiceCountsOnceAndTheLastWins) {
    WriteFile(root_ / "a" / "twin.txt", "first\n");
    WriteFile(root_ / "b" / "TWIN.txt", "second\n");
    ASSERT_EQ(Vtxpack("add " + Program() + " a/twin.txt b/TWIN.txt").exitCode, 0) << lastError_;
    const std::vector<ListedEntry> entries = ParseListing(Vtxpack("list " + Program()).output);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "TWIN.txt");
    EXPECT_EQ(Field(Answer(Probe({"twin.txt"}).output, "loader", "twin.txt"), 2), Checksum("second\n"));
}

TEST_F(PackedProgram, AddKeepsThePermissionBitsAndLeavesNoTemporaryFile) {
    fs::permissions(program_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    PackAll();
    EXPECT_EQ(fs::status(program_).permissions() & fs::perms::all,
              fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    EXPECT_EQ(FolderListing(root_ / "game"), std::vector<std::string>{"probe"});
}

TEST_F(PackedProgram, AddThroughALinkUpdatesTheFileItNames) {
    const fs::path link = root_ / "link-to-probe";
    fs::create_symlink(program_, link);
    ASSERT_EQ(Vtxpack("add " + Quoted(link.string()) + " files/readme.txt").exitCode, 0) << lastError_;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ParseListing(Vtxpack("list " + Program()).output).size(), 1u);
}

TEST_F(PackedProgram, AddIsQuietOnSmallFilesAndReportsProgressOnLargeOnes) {
    PackAll();
    EXPECT_EQ(lastError_, "");
    WriteFile(root_ / "big" / "music.raw", RandomBytes(1536 * 1024, 11));
    ASSERT_EQ(Vtxpack("add " + Program() + " big/music.raw files/readme.txt").exitCode, 0)
        << lastError_;
    EXPECT_EQ(lastError_, "adding music.raw (1/2)\nadding readme.txt (2/2)\n");
}

// --- Failures leave the program as it was ----------------------------------

TEST_F(PackedProgram, UsageErrorsGiveStatusTwoAndHelpGivesUsage) {
    EXPECT_EQ(Vtxpack("").exitCode, 2);
    EXPECT_NE(lastError_.find("usage:"), std::string::npos);
    EXPECT_EQ(Vtxpack("pack " + Program()).exitCode, 2);
    EXPECT_EQ(Vtxpack("add " + Program()).exitCode, 2);
    EXPECT_EQ(Vtxpack("list").exitCode, 2);
    EXPECT_EQ(Vtxpack("extract " + Program()).exitCode, 2);
    const ProgramRun help = Vtxpack("--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.output.rfind("usage: vtxpack add PROGRAM FILE...", 0), 0u) << help.output;
}

TEST_F(PackedProgram, AMissingProgramFailsAndCreatesNothing) {
    const ProgramRun run = Vtxpack("add game/nothere files/readme.txt");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(lastError_.find("game/nothere"), std::string::npos) << lastError_;
    EXPECT_EQ(FolderListing(root_ / "game"), std::vector<std::string>{"probe"});
}

TEST_F(PackedProgram, AMissingFileFailsAndLeavesTheProgramByteIdentical) {
    PackAll();
    const std::string before = ProgramBytes();
    const ProgramRun run = Vtxpack("add " + Program() + " files/readme.txt files/nothere.png");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(lastError_.find("files/nothere.png"), std::string::npos) << lastError_;
    EXPECT_EQ(ProgramBytes(), before);
    EXPECT_EQ(FolderListing(root_ / "game"), std::vector<std::string>{"probe"});
    EXPECT_EQ(Vtxpack("add " + Program() + " files").exitCode, 1);  // a folder is no FILE
    EXPECT_EQ(ProgramBytes(), before);
}

TEST_F(PackedProgram, AProgramHeldWithoutSharingIsLeftAlone) {
    PackAll();
    const std::string before = ProgramBytes();
    const int held = open(program_.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);  // as a running Vantrix program holds it while it reads
    EXPECT_EQ(Vtxpack("add " + Program() + " files/readme.txt").exitCode, 1);
    EXPECT_NE(lastError_.find("cannot be opened"), std::string::npos) << lastError_;
    close(held);
    EXPECT_EQ(ProgramBytes(), before);
    EXPECT_EQ(FolderListing(root_ / "game"), std::vector<std::string>{"probe"});
}

TEST_F(PackedProgram, ACorruptTrailerFailsEveryCommandAndChangesNothing) {
    PackAll();
    std::string bytes = ProgramBytes();
    bytes[bytes.size() - 1] = 0x7f;  // the directory position now lies far beyond the file
    WriteFile(program_, bytes);
    EXPECT_EQ(Vtxpack("list " + Program()).exitCode, 1);
    EXPECT_NE(lastError_.find("corrupt pack archive"), std::string::npos) << lastError_;
    EXPECT_EQ(Vtxpack("add " + Program() + " files/readme.txt").exitCode, 1);
    EXPECT_EQ(Vtxpack("extract " + Program() + " readme.txt").exitCode, 1);
    EXPECT_EQ(ProgramBytes(), bytes);
    EXPECT_FALSE(fs::exists(root_ / "readme.txt"));
}

TEST_F(PackedProgram, ACorruptEntryIsRefusedUnlessItIsReplaced) {
    PackAll();
    const std::vector<ListedEntry> entries = ParseListing(Vtxpack("list " + Program()).output);
    std::string bytes = ProgramBytes();
    // Entries follow the program's own bytes in listing order: bg1.png first.
    // LZO data carries no checksum, so the size word is what gets damaged:
    // the entry no longer unpacks to the size it announces.
    const size_t original = fs::file_size(PROBE_PACK);
    ASSERT_EQ(entries[0].name, "bg1.png");
    bytes[original] = static_cast<char>(bytes[original] ^ 0x01);
    WriteFile(program_, bytes);
    EXPECT_EQ(Vtxpack("extract " + Program() + " bg1.png " + Quoted((root_ / "x").string())).exitCode, 1);
    EXPECT_NE(lastError_.find("bg1.png"), std::string::npos) << lastError_;
    EXPECT_EQ(Vtxpack("add " + Program() + " files/readme.txt").exitCode, 1);
    EXPECT_EQ(ProgramBytes(), bytes);
    // Adding a fresh bg1.png drops the corrupt one.
    EXPECT_EQ(Vtxpack("add " + Program() + " files/bg1.png").exitCode, 0) << lastError_;
    EXPECT_EQ(Field(Answer(Probe({"bg1.png"}).output, "loader", "bg1.png"), 2), Checksum(contents_["bg1.png"]));
}

}  // namespace
