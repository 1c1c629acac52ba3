// Pack archive speed:
//  1. resolving 1 000 different names through the loader resolver
//     (toMemory) from a 1 000-entry archive held in memory, against a linear
//     case-insensitive search over the same 1 000 names in std::strings (the
//     anchor: the directory walk a lookup cannot avoid, without reading,
//     unpacking or the disk check); two lines show how much of a lookup the
//     runtime's own directory walk and the disk check take, one the same
//     lookups with the archive in a disk file;
//  2. LZO1X unpacking (UnpackEntryData) of 4 MiB of mixed data against
//     memcpy of the same unpacked bytes (the anchor).
// Run: build/bench/bench_pack
#include <strings.h>

#include <algorithm>
#include <cctype>
#include <chrono>

#include "bench_support.h"
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "files/memory_names.h"
#include "files/pack_archive.h"
#include "files/pack_resolver_internal.h"
#include "files/rt_file.h"
#include "pack_tool.h"
#include "platform/platform.h"

namespace {

using bench::Best;
using bench::Clock;
using bench::Seconds;

constexpr int kEntries = 1000;

// A small xorshift generator, so every run packs the same bytes.
struct Random {
    uint64_t state = 88172645463325252u;
    uint32_t next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<uint32_t>(state >> 32);
    }
};

// Mixed bytes: text-like lines, random bytes and runs, in turns of 4 KiB.
std::vector<uint8_t> MixedBytes(size_t size, Random& random) {
    std::vector<uint8_t> bytes;
    bytes.reserve(size);
    for (size_t block = 0; bytes.size() < size; ++block) {
        const size_t end = std::min(size, bytes.size() + 4096);
        switch (block % 3) {
            case 0:
                while (bytes.size() < end) {
                    const std::string line = "sprite " + std::to_string(random.next() % 500) + " at " +
                                             std::to_string(random.next() % 640) + "\n";
                    bytes.insert(bytes.end(), line.begin(), line.end());
                }
                bytes.resize(end);
                break;
            case 1:
                while (bytes.size() < end) bytes.push_back(static_cast<uint8_t>(random.next()));
                break;
            default:
                while (bytes.size() < end) bytes.insert(bytes.end(), 1 + random.next() % 64, bytes.size() & 0xff);
                bytes.resize(end);
                break;
        }
    }
    return bytes;
}

// Names like "Tile0042.png", "music_0042.ogg": different lengths and stems.
std::string EntryName(int i) {
    static const char* const kStems[] = {"Tile", "music_", "level-", "sprite", "FONT"};
    static const char* const kExtensions[] = {".png", ".ogg", ".map", ".bmp", ".fnt"};
    char number[8];
    std::snprintf(number, sizeof number, "%04d", i);
    return std::string(kStems[i % 5]) + number + kExtensions[(i / 5) % 5];
}

// An archive of kEntries entries of 64..512 mixed bytes, written by the
// vtxpack writer after an empty program.
std::vector<uint8_t> BuildArchive(Random& random) {
    static const uint8_t kNothing = 0;
    const RtString emptyProgram = vtx::RegisterMemoryBlock(&kNothing, 0);
    RtFile source;
    source.openRead(emptyProgram.c_str());
    std::vector<vtxpack::OutputEntry> entries;
    for (int i = 0; i < kEntries; ++i) {
        const std::vector<uint8_t> data = MixedBytes(64 + random.next() % 449, random);
        entries.push_back({EntryName(i), nullptr, [data](std::vector<uint8_t>& stored, std::string&) {
                               stored = vtx::PackEntryData(data.data(), data.size());
                               return true;
                           }});
    }
    vtxpack::VectorSink sink;
    std::string error;
    if (!vtxpack::WriteArchive(source, 0, entries, sink, error)) std::fprintf(stderr, "archive: %s\n", error.c_str());
    source.close();
    vtx::UnregisterMemoryBlock(emptyProgram);
    return sink.bytes;
}

// Lookup names: every entry once, in a scattered order, in other case and
// behind a folder, as programs ask for them.
std::vector<std::string> LookupNames() {
    std::vector<std::string> names;
    for (int i = 0; i < kEntries; ++i) {
        std::string name = "media/" + EntryName((i * 617) % kEntries);
        if (i % 2 == 0)
            for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        names.push_back(name);
    }
    return names;
}

// Part 1: lookups per second against the linear-search anchor.
int BenchLookups(size_t& sink) {
    Random random;
    const std::vector<uint8_t> archive = BuildArchive(random);
    const std::vector<std::string> lookups = LookupNames();
    const RtString archiveName = vtx::RegisterMemoryBlock(archive.data(), static_cast<uint32_t>(archive.size()));
    SetPackFiles(archiveName, archiveName);

    int found = 0;
    const double resolver = Best(5, [&] {
        found = 0;
        RtString result;
        for (const std::string& name : lookups) {
            if (!vtx::ResolveFile(vtx::LoaderResolver(), RtString(name.c_str()), result, true)) continue;
            RtFile file;
            if (file.openRead(result.c_str())) found += 1, sink += static_cast<size_t>(file.size());
        }
    });

    std::vector<std::string> directory;
    for (int i = 0; i < kEntries; ++i) directory.push_back(EntryName(i));
    const double anchor = Best(5, [&] {
        for (const std::string& name : lookups) {
            const char* base = vtx::BaseName(name.c_str());
            const size_t length = std::strlen(base);
            for (const std::string& entry : directory) {
                if (entry.size() == length && strncasecmp(entry.c_str(), base, length) == 0) {
                    sink += entry.size();
                    break;
                }
            }
        }
    });
    // Where the time goes: the runtime's directory walk alone, and the disk
    // check every lookup makes first (opening a name that is not there).
    const double walk = Best(5, [&] {
        RtFile file;
        file.openRead(archiveName.c_str());
        vtx::PackEntry entry;
        for (const std::string& name : lookups) sink += vtx::FindPackEntry(file, name.c_str(), entry) ? 1 : 0;
    });
    const double diskCheck = Best(5, [&] {
        RtFile file;
        for (const std::string& name : lookups) sink += file.openRead(name.c_str()) ? 1 : 2;
    });
    // The same lookups with the archive in a disk file, as a shipped program
    // has it: every directory read becomes a read from the file.
    const std::string diskArchive = vtx::platform::TempFolder() + "bench_pack_archive.bin";
    std::FILE* out = std::fopen(diskArchive.c_str(), "wb");
    const bool stored = out != nullptr && std::fwrite(archive.data(), 1, archive.size(), out) == archive.size();
    if (out != nullptr) std::fclose(out);
    SetPackFiles(RtString(diskArchive.c_str()), RtString(diskArchive.c_str()));
    const double fromDisk = !stored ? 0 : Best(3, [&] {
        RtString result;
        for (const std::string& name : lookups)
            sink += vtx::ResolveFile(vtx::LoaderResolver(), RtString(name.c_str()), result, true) ? 1 : 0;
    });
    std::remove(diskArchive.c_str());
    vtx::ReleaseResolverResult(vtx::LoaderResolver());
    SetPackFiles(RtString(""), RtString(""));
    vtx::UnregisterMemoryBlock(archiveName);

    std::printf("resolve %d names from a %d-entry archive in memory (%zu bytes), to memory:\n", kEntries, kEntries,
                archive.size());
    std::printf("  linear std::string search   %9.3f ms  %10.0f lookups/s  (anchor)\n", anchor * 1e3,
                kEntries / anchor);
    std::printf("  ResolveFile(loader, memory) %9.3f ms  %10.0f lookups/s  -> %.1fx the anchor's time\n",
                resolver * 1e3, kEntries / resolver, resolver / anchor);
    std::printf("  of which FindPackEntry      %9.3f ms  (the directory walk through RtFile)\n", walk * 1e3);
    std::printf("  of which the disk check     %9.3f ms  (RtFile::openRead of a missing name)\n", diskCheck * 1e3);
    std::printf("  the archive in a disk file  %9.3f ms  %10.0f lookups/s  -> %.1fx the anchor's time\n",
                fromDisk * 1e3, kEntries / fromDisk, fromDisk / anchor);
    if (found != kEntries) {
        std::fprintf(stderr, "only %d of %d names were found\n", found, kEntries);
        return 1;
    }
    return 0;
}

// Part 2: unpacking speed against memcpy.
int BenchUnpacking(size_t& sink) {
    Random random;
    const std::vector<uint8_t> original = MixedBytes(4 << 20, random);
    const std::vector<uint8_t> stored = vtx::PackEntryData(original.data(), original.size());
    std::vector<uint8_t> unpacked;
    const double lzo = Best(10, [&] {
        vtx::UnpackEntryData(stored, unpacked);
        sink += unpacked[unpacked.size() / 2];
    });
    if (unpacked != original) {
        std::fprintf(stderr, "unpacking did not give the original bytes back\n");
        return 1;
    }
    std::vector<uint8_t> copy(original.size());
    const double memcpyTime = Best(10, [&] {
        std::memcpy(copy.data(), original.data(), original.size());
        sink += copy[copy.size() / 2];
    });
    const double megabytes = static_cast<double>(original.size()) / (1 << 20);
    std::printf("unpack %.0f MiB of mixed data (stored in %zu bytes, %.1f%%):\n", megabytes, stored.size(),
                100.0 * static_cast<double>(stored.size()) / static_cast<double>(original.size()));
    std::printf("  memcpy                      %9.3f ms  %8.0f MiB/s  (anchor)\n", memcpyTime * 1e3,
                megabytes / memcpyTime);
    std::printf("  UnpackEntryData (LZO1X)     %9.3f ms  %8.0f MiB/s  -> %.1fx the anchor's time\n", lzo * 1e3,
                megabytes / lzo, lzo / memcpyTime);
    return 0;
}

}  // namespace

// Both parts; non-zero when a part could not check its result.
int main() {
    size_t sink = 0;
    const int lookups = BenchLookups(sink);
    const int unpacking = BenchUnpacking(sink);
    return lookups != 0 || unpacking != 0 || sink == 0 ? 1 : 0;
}
