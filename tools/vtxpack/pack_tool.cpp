// Inspecting, listing and writing pack archives for vtxpack.
#include "pack_tool.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <unordered_map>

namespace vtxpack {
namespace {

constexpr int64_t kTrailerSize = 7;
constexpr size_t kCopyChunk = 1 << 20;

// The 32-bit little-endian form of a value.
void AppendLittleEndian32(std::vector<uint8_t>& bytes, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(value >> shift));
}

// Reads a 32-bit little-endian value from four bytes.
uint32_t LittleEndian32(const uint8_t* b) {
    return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
           static_cast<uint32_t>(b[3]) << 24;
}

// True when the file ends with the trailer's three marker bytes at size - 7.
bool HasTrailer(RtFile& file) {
    if (file.size() < kTrailerSize || !file.seek(static_cast<int32_t>(file.size() - kTrailerSize))) return false;
    char marker[3] = {};
    return file.read(marker, 3) && std::memcmp(marker, vtx::kPackTrailer, 3) == 0;
}

// After ReadPackEntry said no: true when the byte it stopped on (at before)
// is the 0 that ends the directory, false when the entry was cut short.
bool EndedAtZero(RtFile& file, int32_t before) {
    if (file.position() != before + 1 || !file.seek(before)) return false;
    uint8_t length = 1;
    return file.read(&length, 1) && file.position() == before + 1 && length == 0;
}

// A stored position made absolute, as the runtime does: negative ones count
// from the end of the file.
int64_t Absolute(const RtFile& file, int32_t position) {
    return position < 0 ? static_cast<int64_t>(file.size()) + position : position;
}

// Marks an inspection corrupt with its problem; returns it for convenience.
Inspection& Corrupt(Inspection& inspection, const std::string& problem) {
    inspection.state = ArchiveState::kCorrupt;
    inspection.problem = problem;
    inspection.entries.clear();
    inspection.programEnd = inspection.fileSize;
    return inspection;
}

// "entry 3 'name'" for messages.
std::string Describe(size_t index, const std::string& name) {
    return "entry " + std::to_string(index + 1) + " '" + PrintableName(name) + "'";
}

// Reads the directory through the runtime; false with a problem when it
// does not end with its 0 byte before the trailer.
bool ReadDirectory(RtFile& file, std::vector<vtx::PackEntry>& entries, std::string& problem) {
    const int64_t trailerStart = file.size() - kTrailerSize;
    for (;;) {
        const int32_t before = file.position();
        if (before >= trailerStart) {
            problem = "the directory runs into the trailer";
            return false;
        }
        vtx::PackEntry entry;
        if (!vtx::ReadPackEntry(file, entry)) {
            if (EndedAtZero(file, before)) return true;
            problem = "directory entry " + std::to_string(entries.size() + 1) + " is cut short";
            return false;
        }
        entries.push_back(std::move(entry));
    }
}

// Checks one entry's name and place; false with a problem.
bool CheckEntry(const RtFile& file, size_t index, const vtx::PackEntry& entry, int64_t& start, std::string& problem) {
    if (entry.name.find_first_of(std::string("/\\\0", 3)) != std::string::npos) {
        problem = Describe(index, entry.name) + " holds a folder separator or a zero byte";
        return false;
    }
    if (entry.storedSize < 4) {
        problem = Describe(index, entry.name) + " has a stored size below 4 (" + std::to_string(entry.storedSize) + ")";
        return false;
    }
    start = Absolute(file, entry.position);
    if (start < 0 || start + entry.storedSize > file.size() - kTrailerSize) {
        problem = Describe(index, entry.name) + " lies outside the file";
        return false;
    }
    return true;
}

// Copies bytes [0, end) of source to sink in chunks.
bool CopyProgramBytes(RtFile& source, int64_t end, ByteSink& sink, std::string& error) {
    if (!source.seek(0)) {
        error = "cannot read the program's own bytes";
        return false;
    }
    std::vector<uint8_t> chunk(std::min<int64_t>(end, static_cast<int64_t>(kCopyChunk)));
    for (int64_t done = 0; done < end;) {
        const int32_t n = static_cast<int32_t>(std::min<int64_t>(end - done, static_cast<int64_t>(chunk.size())));
        if (!source.read(chunk.data(), n) || source.position() != done + n) {
            error = "cannot read the program's own bytes";
            return false;
        }
        if (!sink.write(chunk.data(), static_cast<size_t>(n))) {
            error = "cannot write the new file";
            return false;
        }
        done += n;
    }
    return true;
}

// The stored bytes of one output entry: copied (and checked) or produced.
bool StoredBytesOf(RtFile& source, const OutputEntry& output, std::vector<uint8_t>& stored, std::string& error) {
    if (output.existing == nullptr) return output.produce(stored, error);
    std::vector<uint8_t> check;
    if (!vtx::ReadPackEntryData(source, output.existing->entry, stored)) {
        error = "cannot read the stored bytes of entry '" + PrintableName(output.name) + "'";
        return false;
    }
    if (!vtx::UnpackEntryData(stored, check)) {
        error = "entry '" + PrintableName(output.name) + "' is corrupt: its data does not unpack";
        return false;
    }
    return true;
}

// ASCII lower case, the key under which names count as the same entry.
std::string LowerCase(const std::string& name) {
    std::string lower = name;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

}  // namespace

Inspection InspectArchive(RtFile& file) {
    Inspection result;
    result.fileSize = file.size();
    result.programEnd = file.size();
    if (!HasTrailer(file)) return result;
    if (!vtx::SeekPackDirectory(file)) return Corrupt(result, "the directory position lies outside the file");
    result.directory = file.position();
    std::vector<vtx::PackEntry> entries;
    std::string problem;
    if (!ReadDirectory(file, entries, problem)) return Corrupt(result, problem);
    result.state = ArchiveState::kValid;
    result.programEnd = result.directory;
    for (size_t i = 0; i < entries.size(); ++i) {
        InspectedEntry inspected;
        inspected.entry = entries[i];
        if (!CheckEntry(file, i, inspected.entry, inspected.start, problem)) return Corrupt(result, problem);
        uint8_t size[4];
        if (!file.seek(static_cast<int32_t>(inspected.start)) || !file.read(size, 4))
            return Corrupt(result, Describe(i, inspected.entry.name) + " cannot be read");
        inspected.unpackedSize = LittleEndian32(size);
        result.programEnd = std::min(result.programEnd, inspected.start);
        result.entries.push_back(std::move(inspected));
    }
    return result;
}

std::string PrintableName(const std::string& name) {
    std::string printable;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x20 && byte < 0x7f) {
            printable += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            printable += escaped;
        }
    }
    return printable;
}

std::string FormatListing(const Inspection& inspection) {
    size_t width = 4;
    for (const InspectedEntry& e : inspection.entries) width = std::max(width, PrintableName(e.entry.name).size());
    std::string text;
    for (const InspectedEntry& e : inspection.entries) {
        std::string name = PrintableName(e.entry.name);
        name.resize(width, ' ');
        char numbers[48];
        std::snprintf(numbers, sizeof numbers, "  %10d  %10u\n", e.entry.storedSize, e.unpackedSize);
        text += name + numbers;
    }
    return text;
}

bool ByteSink::write(const void* data, size_t n) {
    if (n == 0) return true;
    if (!put(data, n)) return false;
    written_ += static_cast<int64_t>(n);
    return true;
}

bool VectorSink::put(const void* data, size_t n) {
    const auto* bytesIn = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), bytesIn, bytesIn + n);
    return true;
}

std::vector<OutputEntry> PlanEntries(const Inspection& inspection, const std::vector<std::string>& newNames,
                                     const std::vector<EntryProducer>& producers) {
    std::unordered_map<std::string, size_t> lastIndex;
    for (size_t i = 0; i < newNames.size(); ++i) lastIndex[LowerCase(newNames[i])] = i;
    std::vector<OutputEntry> plan;
    for (const InspectedEntry& old : inspection.entries)
        if (lastIndex.count(LowerCase(old.entry.name)) == 0) plan.push_back({old.entry.name, &old, {}});
    for (size_t i = 0; i < newNames.size(); ++i)
        if (lastIndex[LowerCase(newNames[i])] == i) plan.push_back({newNames[i], nullptr, producers[i]});
    return plan;
}

bool WriteArchive(RtFile& source, int64_t programEnd, const std::vector<OutputEntry>& entries, ByteSink& sink,
                  std::string& error) {
    if (programEnd < 0 || programEnd > source.size()) {
        error = "the program's own bytes lie outside the file";
        return false;
    }
    if (!CopyProgramBytes(source, programEnd, sink, error)) return false;
    std::vector<uint8_t> directory;
    for (const OutputEntry& output : entries) {
        if (output.name.empty() || output.name.size() > 255) {
            error = "entry name '" + PrintableName(output.name) + "' is not 1 to 255 bytes long";
            return false;
        }
        std::vector<uint8_t> stored;
        if (!StoredBytesOf(source, output, stored, error)) return false;
        const int64_t position = sink.written();
        if (position + static_cast<int64_t>(stored.size()) > kMaxArchiveSize) {
            error = "the file would grow beyond 2 GiB, which the runtime cannot read";
            return false;
        }
        if (!sink.write(stored.data(), stored.size())) {
            error = "cannot write the new file";
            return false;
        }
        directory.push_back(static_cast<uint8_t>(output.name.size()));
        directory.insert(directory.end(), output.name.begin(), output.name.end());
        AppendLittleEndian32(directory, static_cast<uint32_t>(position));
        AppendLittleEndian32(directory, static_cast<uint32_t>(stored.size()));
    }
    directory.push_back(0);
    const int64_t directoryPosition = sink.written();
    if (directoryPosition + static_cast<int64_t>(directory.size()) + kTrailerSize > kMaxArchiveSize) {
        error = "the file would grow beyond 2 GiB, which the runtime cannot read";
        return false;
    }
    directory.insert(directory.end(), vtx::kPackTrailer, vtx::kPackTrailer + 3);
    AppendLittleEndian32(directory, static_cast<uint32_t>(directoryPosition));
    if (!sink.write(directory.data(), directory.size())) {
        error = "cannot write the new file";
        return false;
    }
    return true;
}

bool ExtractEntry(RtFile& file, const std::string& name, vtx::PackEntry& entry, std::vector<uint8_t>& unpacked,
                  std::string& error) {
    const Inspection inspection = InspectArchive(file);
    if (inspection.state == ArchiveState::kNone) {
        error = "there is no pack archive";
        return false;
    }
    if (inspection.state == ArchiveState::kCorrupt) {
        error = "corrupt pack archive: " + inspection.problem;
        return false;
    }
    std::vector<uint8_t> stored;
    if (!vtx::FindPackEntry(file, name.c_str(), entry)) {
        error = "no entry matches '" + name + "'";
        return false;
    }
    if (!vtx::ReadPackEntryData(file, entry, stored) || !vtx::UnpackEntryData(stored, unpacked)) {
        error = "entry '" + PrintableName(entry.name) + "' is corrupt: its data does not unpack";
        return false;
    }
    return true;
}

}  // namespace vtxpack
