// The pack archive: compressed entries and their directory at the end of a
// file (normally the program itself), found through the "zeZ" trailer.
//
// Layout, all integers 32-bit signed little-endian:
//   archive size - 7: "zeZ"; archive size - 4: directory position D
//   directory: entries { u8 name length N (0 ends), N name bytes,
//              entry position P, stored size S }
//   entry (S bytes at P): u32 unpacked size U, then S - 4 bytes of LZO1X.
// Negative positions count from the end of the archive.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rt_file.h"

namespace vtx {

inline constexpr char kPackTrailer[3] = {'z', 'e', 'Z'};

struct PackEntry {
    std::string name;
    int32_t position = 0;    // P as stored
    int32_t storedSize = 0;  // S as stored
};

// Reads the trailer of an open archive and moves to its directory; false
// when there is no trailer or the directory lies outside the archive.
bool SeekPackDirectory(RtFile& archive);
// Reads the next directory entry; false at the end of the directory or when
// the entry cannot be read in full.
bool ReadPackEntry(RtFile& archive, PackEntry& entry);
// The whole directory (stops quietly at the first unreadable entry).
std::vector<PackEntry> ReadPackDirectory(RtFile& archive);
// Finds the first entry named like the base name (folders ignored, case
// ignored) of name.
bool FindPackEntry(RtFile& archive, const char* name, PackEntry& entry);
// Reads an entry's stored bytes; false when they lie outside the archive.
bool ReadPackEntryData(RtFile& archive, const PackEntry& entry, std::vector<uint8_t>& stored);
// Unpacks stored entry bytes; false (and no bytes) when they do not
// decompress to exactly the size they announce.
bool UnpackEntryData(const std::vector<uint8_t>& stored, std::vector<uint8_t>& unpacked);
// Compresses data into stored entry bytes (size header + LZO1X-999).
std::vector<uint8_t> PackEntryData(const uint8_t* data, size_t size);

// The part of name after its last "/" or "\".
const char* BaseName(const char* name);

}  // namespace vtx
