// Pack archives and the resolvers: lookups by base name, memory results and
// temporary files, disk files first, and archives that are cut or corrupt.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "files/file_commands.h"
#include "files/memory_names.h"
#include "files/pack_archive.h"
#include "files/pack_resolver_internal.h"
#include "files/rt_file.h"
#include "support/scratch_folder.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& out, int32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
}

struct Item {
    std::string name;
    std::string data;
};

// An archive: a prefix (the "program"), the entries, the directory, the
// trailer. Positions negative (from the end) when asked.
Bytes MakeArchive(const std::vector<Item>& items, bool negative = false, size_t prefix = 100) {
    Bytes out(prefix, 0x90);
    std::vector<std::pair<int32_t, int32_t>> places;
    for (const Item& item : items) {
        const Bytes stored = vtx::PackEntryData(reinterpret_cast<const uint8_t*>(item.data.data()), item.data.size());
        places.emplace_back(static_cast<int32_t>(out.size()), static_cast<int32_t>(stored.size()));
        out.insert(out.end(), stored.begin(), stored.end());
    }
    const int32_t directory = static_cast<int32_t>(out.size());
    size_t directorySize = 1 + 7;
    for (const Item& item : items) directorySize += 1 + item.name.size() + 8;
    const int32_t total = static_cast<int32_t>(out.size() + directorySize);
    for (size_t i = 0; i < items.size(); ++i) {
        out.push_back(static_cast<uint8_t>(items[i].name.size()));
        out.insert(out.end(), items[i].name.begin(), items[i].name.end());
        Put32(out, negative ? places[i].first - total : places[i].first);
        Put32(out, places[i].second);
    }
    out.push_back(0);
    out.insert(out.end(), {'z', 'e', 'Z'});
    Put32(out, negative ? directory - total : directory);
    return out;
}

class PackResolverTest : public ::testing::Test {
protected:
    void TearDown() override {
        vtx::ReleaseResolverResult(vtx::LoaderResolver());
        vtx::ReleaseResolverResult(vtx::MediaResolver());
        if (archiveName_.length() != 0) vtx::UnregisterMemoryBlock(archiveName_);
    }
    // Holds the archive in memory and points both resolvers at it.
    void UseMemoryArchive(Bytes archive) {
        archive_ = std::move(archive);
        archiveName_ = vtx::RegisterMemoryBlock(archive_.data(), static_cast<uint32_t>(archive_.size()));
        SetPackFiles(archiveName_, archiveName_);
    }
    // Reads a resolved name completely.
    static std::string Contents(const RtString& name) {
        RtFile file;
        if (!file.openRead(name.c_str())) return "<unopenable>";
        std::string bytes(static_cast<size_t>(file.size()), '\0');
        if (!bytes.empty() && !file.read(bytes.data(), file.size())) return "<unreadable>";
        return bytes;
    }
    bool Load(const char* name, RtString& result) {
        return vtx::ResolveFile(vtx::LoaderResolver(), RtString(name), result, true);
    }

    ScratchFolder scratch_{"pack", true};
    Bytes archive_;
    RtString archiveName_;
};

const std::vector<Item> kItems = {
    {"bg1.png", "picture bytes of the first background"},
    {"xbg1.png", "not the first background"},
    {"tune.mp3", std::string(5000, 'm') + "end"},
    {"empty.txt", ""},
};

TEST_F(PackResolverTest, EmptyNamesResolveToNothing) {
    UseMemoryArchive(MakeArchive(kItems));
    RtString result("stale");
    EXPECT_FALSE(Load("", result));
    EXPECT_EQ(result.length(), 0u);
}

TEST_F(PackResolverTest, BaseNamesMatchWhateverTheFoldersAndCase) {
    UseMemoryArchive(MakeArchive(kItems));
    RtString result;
    for (const char* name : {"bg1.png", "Media/Bg1.PNG", "a\\b\\BG1.png", "/abs/olute/bg1.png"}) {
        ASSERT_TRUE(Load(name, result)) << name;
        EXPECT_EQ(Contents(result), "picture bytes of the first background") << name;
    }
    ASSERT_TRUE(Load("XBG1.PNG", result));
    EXPECT_EQ(Contents(result), "not the first background");
    EXPECT_FALSE(Load("g1.png", result));
    EXPECT_EQ(result.length(), 0u);
    EXPECT_FALSE(Load("Media/", result));
    ASSERT_TRUE(Load("empty.txt", result));
    EXPECT_EQ(Contents(result), "");
}

TEST_F(PackResolverTest, MemoryResultsLiveUntilTheNextLookup) {
    UseMemoryArchive(MakeArchive(kItems));
    RtString first, second;
    ASSERT_TRUE(Load("tune.mp3", first));
    EXPECT_EQ(std::string(first.c_str()).substr(0, 15), "mem://    138b.");  // 5003 bytes
    EXPECT_EQ(FileLength(first), 5003);
    ASSERT_TRUE(Load("bg1.png", second));
    EXPECT_FALSE(FileExists(first));  // the first block is gone
    EXPECT_TRUE(FileExists(second));
    // The resolver's own result passes through untouched and stays alive,
    // so a loader may resolve a name it was given already resolved.
    RtString third;
    ASSERT_TRUE(Load(second.c_str(), third));
    EXPECT_EQ(std::string(third.c_str()), std::string(second.c_str()));
    EXPECT_EQ(Contents(third), "picture bytes of the first background");
}

TEST_F(PackResolverTest, NegativePositionsCountFromTheEnd) {
    Bytes archive = MakeArchive(kItems, true, 9000);
    UseMemoryArchive(archive);
    RtString result;
    ASSERT_TRUE(Load("tune.mp3", result));
    EXPECT_EQ(Contents(result).size(), 5003u);
}

TEST_F(PackResolverTest, DirectoryAtMinusHundredInATenThousandByteArchive) {
    // Hand-made: one entry, directory 100 bytes before the end.
    Bytes archive(10000, 0);
    const Bytes stored = vtx::PackEntryData(reinterpret_cast<const uint8_t*>("hello"), 5);
    std::copy(stored.begin(), stored.end(), archive.begin() + 500);
    Bytes directory = {4, 'h', 'i', '.', 't'};
    Put32(directory, 500);
    Put32(directory, static_cast<int32_t>(stored.size()));
    directory.push_back(0);
    std::copy(directory.begin(), directory.end(), archive.begin() + 9900);
    std::memcpy(archive.data() + 9993, "zeZ", 3);
    const int32_t minus100 = -100;
    std::memcpy(archive.data() + 9996, &minus100, 4);
    UseMemoryArchive(archive);
    RtString result;
    ASSERT_TRUE(Load("hi.t", result));
    EXPECT_EQ(Contents(result), "hello");
}

TEST_F(PackResolverTest, MediaResultsAreTemporaryFilesReplacedByTheNextLookup) {
    UseMemoryArchive(MakeArchive(kItems));
    RtString first, second;
    ASSERT_TRUE(vtx::ResolveFile(vtx::MediaResolver(), RtString("music/TUNE.MP3"), first, false));
    const fs::path path(first.c_str());
    EXPECT_EQ(path.parent_path(), fs::path(std::getenv("TMPDIR")));
    const std::string file = path.filename().string();
    ASSERT_EQ(file.size(), 5u + 8u);
    EXPECT_EQ(file.substr(0, 3), "zez");
    EXPECT_TRUE(file[3] >= 'A' && file[3] <= 'Z' && file[4] >= 'A' && file[4] <= 'Z');
    EXPECT_EQ(file.substr(5), "tune.mp3");  // the entry's own name
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, std::string(5000, 'm') + "end");
    ASSERT_TRUE(vtx::ResolveFile(vtx::MediaResolver(), RtString("bg1.png"), second, false));
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(fs::exists(second.c_str()));
}

TEST_F(PackResolverTest, TemporaryNameLettersComeFromPositionAndSize) {
    // intro.png stored at position 36 + 26 k with a size of 42 + 26 m gives
    // the letters K (36 mod 26 = 10) and Q (42 mod 26 = 16).
    Bytes archive(36, 0x90);
    Bytes stored;
    std::string data = "i";
    for (int attempt = 0; attempt < 400; ++attempt, data += static_cast<char>(attempt * 97)) {
        stored = vtx::PackEntryData(reinterpret_cast<const uint8_t*>(data.data()), data.size());
        if (stored.size() % 26 == 16 && stored.size() % 256 == stored.size()) break;
    }
    ASSERT_EQ(stored.size() % 26, 16u);
    archive.insert(archive.end(), stored.begin(), stored.end());
    const int32_t directory = static_cast<int32_t>(archive.size());
    archive.push_back(9);
    archive.insert(archive.end(), {'i', 'n', 't', 'r', 'o', '.', 'p', 'n', 'g'});
    Put32(archive, 36);
    Put32(archive, static_cast<int32_t>(stored.size()));
    archive.push_back(0);
    archive.insert(archive.end(), {'z', 'e', 'Z'});
    Put32(archive, directory);
    UseMemoryArchive(archive);
    RtString result;
    ASSERT_TRUE(vtx::ResolveFile(vtx::MediaResolver(), RtString("intro.png"), result, false));
    EXPECT_EQ(fs::path(result.c_str()).filename().string(), "zezKQintro.png");
    EXPECT_EQ(Contents(result), data);
}

TEST_F(PackResolverTest, DiskFilesWinOverEntries) {
    UseMemoryArchive(MakeArchive(kItems));
    std::ofstream("bg1.png") << "from disk";
    RtString result;
    ASSERT_TRUE(Load("bg1.png", result));
    EXPECT_EQ(std::string(result.c_str()), "bg1.png");
    EXPECT_EQ(Contents(result), "from disk");
    // Held without sharing by someone else, the disk file is not seen.
    RtFile holder;
    ASSERT_TRUE(holder.openRead("bg1.png"));
    ASSERT_TRUE(Load("bg1.png", result));
    EXPECT_EQ(Contents(result), "picture bytes of the first background");
}

TEST_F(PackResolverTest, ProgramsWithoutAnArchiveFindNothingQuietly) {
    Bytes plain(5000, 0x42);
    UseMemoryArchive(plain);
    RtString result;
    EXPECT_FALSE(Load("bg1.png", result));
    EXPECT_EQ(result.length(), 0u);
    // A real file works as an archive the same way.
    const Bytes archive = MakeArchive(kItems);
    std::ofstream("game.bin", std::ios::binary).write(reinterpret_cast<const char*>(archive.data()),
                                                      static_cast<std::streamsize>(archive.size()));
    SetPackFiles(RtString("game.bin"), RtString("game.bin"));
    ASSERT_TRUE(Load("BG1.png", result));
    EXPECT_EQ(Contents(result), "picture bytes of the first background");
    SetPackFiles(RtString("no-such-program"), RtString("no-such-program"));
    EXPECT_FALSE(Load("BG1.png", result));
}

TEST_F(PackResolverTest, AnEmptyArchiveNameDisablesTheResolverUntilSetAgain) {
    SetPackFiles(RtString(""), RtString(""));
    RtString result;
    EXPECT_FALSE(Load("bg1.png", result));
    EXPECT_FALSE(vtx::LoaderResolver().enabled);
    EXPECT_EQ(std::string(result.c_str()), "bg1.png");  // the name stays in the result
    UseMemoryArchive(MakeArchive(kItems));
    EXPECT_TRUE(vtx::LoaderResolver().enabled);
    EXPECT_TRUE(Load("bg1.png", result));
}

TEST_F(PackResolverTest, CutDirectoriesEndAsNotFound) {
    Bytes archive = MakeArchive(kItems);
    // Cut the archive inside the third directory entry, then put a trailer
    // pointing at the same directory back on.
    RtFile file;
    const RtString whole = vtx::RegisterMemoryBlock(archive.data(), static_cast<uint32_t>(archive.size()));
    ASSERT_TRUE(file.openRead(whole.c_str()));
    ASSERT_TRUE(vtx::SeekPackDirectory(file));
    const int32_t directory = file.position();
    file.close();
    vtx::UnregisterMemoryBlock(whole);
    Bytes cut(archive.begin(), archive.begin() + directory + (1 + 7 + 8) + (1 + 8 + 8) + 4);
    cut.insert(cut.end(), {'z', 'e', 'Z'});
    Put32(cut, directory);
    UseMemoryArchive(cut);
    RtString result;
    EXPECT_TRUE(Load("bg1.png", result));
    EXPECT_FALSE(Load("tune.mp3", result));
    EXPECT_FALSE(Load("missing.png", result));
}

TEST_F(PackResolverTest, CorruptEntriesGiveEmptyBlocksAndNeverOverrun) {
    Bytes archive = MakeArchive({{"a.bin", std::string(3000, 'a') + "tail"}});
    archive[100 + 4 + 5] ^= 0x5A;  // damage the compressed bytes
    archive[100 + 4 + 6] ^= 0xFF;
    UseMemoryArchive(archive);
    RtString result;
    ASSERT_TRUE(Load("a.bin", result));
    EXPECT_EQ(FileLength(result), 0);

    // An entry that claims a huge unpacked size is not allocated.
    Bytes liar = MakeArchive({{"b.bin", "bbbb"}});
    liar[100] = liar[101] = liar[102] = 0xFF;
    liar[103] = 0x7F;
    UseMemoryArchive(liar);
    ASSERT_TRUE(Load("b.bin", result));
    EXPECT_EQ(FileLength(result), 0);

    // Positions outside the archive: not found.
    Bytes outside = MakeArchive({{"c.bin", "cccc"}});
    const size_t positionField = outside.size() - 7 - 1 - 8;
    outside[positionField + 3] = 0x40;
    UseMemoryArchive(outside);
    EXPECT_FALSE(Load("c.bin", result));
}

TEST(PackArchive, EntryDataRoundTrips) {
    std::string data;
    for (int i = 0; i < 100000; ++i) data += static_cast<char>((i * 31) ^ (i >> 5));
    const Bytes stored = vtx::PackEntryData(reinterpret_cast<const uint8_t*>(data.data()), data.size());
    ASSERT_GE(stored.size(), 4u);
    Bytes unpacked;
    ASSERT_TRUE(vtx::UnpackEntryData(stored, unpacked));
    EXPECT_EQ(std::string(unpacked.begin(), unpacked.end()), data);
    Bytes shortStored(stored.begin(), stored.begin() + static_cast<long>(stored.size() / 2));
    EXPECT_FALSE(vtx::UnpackEntryData(shortStored, unpacked));
    EXPECT_TRUE(unpacked.empty());
    EXPECT_STREQ(vtx::BaseName("a/b\\c.png"), "c.png");
    EXPECT_STREQ(vtx::BaseName("plain"), "plain");
    EXPECT_STREQ(vtx::BaseName("dir/"), "");
}

}  // namespace
