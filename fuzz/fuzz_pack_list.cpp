// Fuzzes what `vtxpack list` runs (InspectArchive and FormatListing) on
// arbitrary bytes held in memory, then what `vtxpack add` runs on the
// result: rewriting the archive with its entries as stored must give an
// archive that inspects to the same entries, keeps the program's own bytes
// and whose every entry extracts as the runtime finds it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/rt_string.h"
#include "files/memory_names.h"
#include "files/rt_file.h"
#include "pack_tool.h"

namespace {

// Inspects bytes through a memory name, as the runtime would open them.
vtxpack::Inspection InspectBytes(const uint8_t* data, size_t size, std::string& listing) {
    const RtString name = vtx::RegisterMemoryBlock(data, static_cast<uint32_t>(size));
    RtFile file;
    if (!file.openRead(name.c_str())) std::abort();
    vtxpack::Inspection inspection = vtxpack::InspectArchive(file);
    listing = vtxpack::FormatListing(inspection);
    file.close();
    vtx::UnregisterMemoryBlock(name);
    return inspection;
}

// The checks every valid inspection passes.
void CheckInspection(const vtxpack::Inspection& inspection, const std::string& listing) {
    size_t lines = 0;
    for (const char c : listing) lines += c == '\n' ? 1 : 0;
    if (lines != inspection.entries.size()) std::abort();
    if (inspection.state != vtxpack::ArchiveState::kValid) {
        if (!inspection.entries.empty() || inspection.programEnd != inspection.fileSize) std::abort();
        return;
    }
    if (inspection.programEnd > inspection.directory || inspection.directory > inspection.fileSize - 7) std::abort();
    for (const vtxpack::InspectedEntry& e : inspection.entries) {
        if (e.start < inspection.programEnd || e.entry.storedSize < 4) std::abort();
        if (e.start + e.entry.storedSize > inspection.fileSize - 7) std::abort();
        if (e.entry.name.empty() || e.entry.name.find_first_of(std::string("/\\\0", 3)) != std::string::npos)
            std::abort();
    }
}

// Rewrites a valid archive as `vtxpack add` would with no new files and
// checks the result; entries that do not unpack make the rewrite fail.
void CheckRewrite(const uint8_t* data, size_t size, const vtxpack::Inspection& inspection) {
    const RtString name = vtx::RegisterMemoryBlock(data, static_cast<uint32_t>(size));
    RtFile source;
    if (!source.openRead(name.c_str())) std::abort();
    vtxpack::VectorSink sink;
    std::string error;
    const std::vector<vtxpack::OutputEntry> plan = vtxpack::PlanEntries(inspection, {}, {});
    const bool written = vtxpack::WriteArchive(source, inspection.programEnd, plan, sink, error);
    source.close();
    vtx::UnregisterMemoryBlock(name);
    if (!written) {
        if (error.empty()) std::abort();
        return;
    }
    const std::vector<uint8_t>& out = sink.bytes;
    if (static_cast<int64_t>(out.size()) != sink.written()) std::abort();
    if (inspection.programEnd > 0 && std::memcmp(out.data(), data, static_cast<size_t>(inspection.programEnd)) != 0)
        std::abort();
    std::string listing;
    const vtxpack::Inspection again = InspectBytes(out.data(), out.size(), listing);
    if (again.state != vtxpack::ArchiveState::kValid || again.programEnd != inspection.programEnd) std::abort();
    if (again.entries.size() != inspection.entries.size()) std::abort();
    if (listing != vtxpack::FormatListing(inspection)) std::abort();
    const RtString rewritten = vtx::RegisterMemoryBlock(out.data(), static_cast<uint32_t>(out.size()));
    RtFile file;
    if (!file.openRead(rewritten.c_str())) std::abort();
    for (size_t i = 0; i < again.entries.size(); ++i) {
        const vtxpack::InspectedEntry& before = inspection.entries[i];
        const vtxpack::InspectedEntry& after = again.entries[i];
        if (before.entry.name != after.entry.name || before.entry.storedSize != after.entry.storedSize) std::abort();
        if (std::memcmp(data + before.start, out.data() + after.start, static_cast<size_t>(after.entry.storedSize)))
            std::abort();
        vtx::PackEntry found;
        std::vector<uint8_t> unpacked;
        if (!vtxpack::ExtractEntry(file, after.entry.name, found, unpacked, error)) std::abort();
    }
    file.close();
    vtx::UnregisterMemoryBlock(rewritten);
}

}  // namespace

// One input: list it, and rewrite it when it is a valid archive.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0x7fffffff) return 0;
    std::string listing;
    const vtxpack::Inspection inspection = InspectBytes(data, size, listing);
    CheckInspection(inspection, listing);
    if (inspection.state == vtxpack::ArchiveState::kValid) CheckRewrite(data, size, inspection);
    return 0;
}
