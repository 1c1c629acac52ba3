// The archive logic of vtxpack, kept apart from its command line so tests and
// fuzzers can drive it on memory blocks: a strict inspection of an archive,
// the text of `vtxpack list`, and writing a file with a fresh archive.
//
// Reading goes through the runtime's own archive functions (pack_archive.h);
// this layer only adds the checks a tool that rewrites files needs: a
// directory that ends properly, entries that lie inside the file, and the
// point where the file's own bytes end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <vantrix/files/pack_archive.h>
#include <vantrix/files/rt_file.h>

namespace vtxpack {

// Positions and sizes the runtime can address (RtFile uses 32-bit sizes).
inline constexpr int64_t kMaxArchiveSize = 0x7fffffff;

// One directory entry of an inspected archive.
struct InspectedEntry {
    vtx::PackEntry entry;       // as stored in the directory
    int64_t start = 0;          // absolute position of its stored bytes
    uint32_t unpackedSize = 0;  // U, the first four stored bytes
};

enum class ArchiveState { kNone, kValid, kCorrupt };

struct Inspection {
    ArchiveState state = ArchiveState::kNone;
    std::string problem;     // why the archive is corrupt
    int64_t fileSize = 0;
    int64_t programEnd = 0;  // the file's own bytes end here (fileSize without an archive)
    int64_t directory = 0;   // absolute directory position (valid archives)
    std::vector<InspectedEntry> entries;
};

// Inspects an open file (disk or memory name). No trailer: kNone. A trailer
// whose directory or entries do not hold together: kCorrupt with a problem.
// The file's own bytes end where the directory or the lowest entry begins.
Inspection InspectArchive(RtFile& file);

// A name made printable for a listing: bytes outside 0x21..0x7e as \xNN.
std::string PrintableName(const std::string& name);

// The lines of `vtxpack list`: name, stored size, unpacked size.
std::string FormatListing(const Inspection& inspection);

// Where written bytes go: a file, or memory in tests and fuzzers.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Writes all n bytes; false on failure.
    bool write(const void* data, size_t n);
    // Bytes written so far.
    int64_t written() const { return written_; }

protected:
    virtual bool put(const void* data, size_t n) = 0;

private:
    int64_t written_ = 0;
};

// A sink that collects the bytes in a vector.
class VectorSink : public ByteSink {
public:
    std::vector<uint8_t> bytes;

protected:
    bool put(const void* data, size_t n) override;
};

// Makes the stored bytes of a new entry; false with an error message.
using EntryProducer = std::function<bool(std::vector<uint8_t>& stored, std::string& error)>;

// One entry of the archive to write: copied from the source file (existing)
// or made by a producer.
struct OutputEntry {
    std::string name;
    const InspectedEntry* existing = nullptr;
    EntryProducer produce;
};

// The entries of a rewritten archive: the inspected ones except those the
// new names replace (base names, case ignored), then the new names in their
// order; a name given twice keeps its last producer, at its last place.
std::vector<OutputEntry> PlanEntries(const Inspection& inspection, const std::vector<std::string>& newNames,
                                     const std::vector<EntryProducer>& producers);

// Writes source's first programEnd bytes, every entry's stored bytes, a
// directory with absolute positions and the trailer. Copied entries are
// checked to unpack before they are written. False with an error message.
bool WriteArchive(RtFile& source, int64_t programEnd, const std::vector<OutputEntry>& entries, ByteSink& sink,
                  std::string& error);

// Finds the entry the runtime would find under name and unpacks it; false
// with an error message when there is none or it does not unpack.
bool ExtractEntry(RtFile& file, const std::string& name, vtx::PackEntry& entry, std::vector<uint8_t>& unpacked,
                  std::string& error);

}  // namespace vtxpack
