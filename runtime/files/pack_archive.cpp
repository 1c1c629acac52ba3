// Reading and writing pack archive entries.
#include "files/pack_archive.h"

#include <lzo/lzo1x.h>

#include <cstring>
#include <strings.h>

namespace vtx {
namespace {

int32_t LittleEndian32(const uint8_t* b) {
    return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                                static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24);
}

// Reads exactly n bytes or fails: memory reads never run past the end.
bool ReadExact(RtFile& file, void* destination, int32_t n) {
    if (static_cast<int64_t>(file.position()) + n > file.size()) return false;
    return file.read(destination, n);
}

// A stored position made absolute: negative ones count from the end.
int64_t Absolute(const RtFile& archive, int32_t position) {
    return position < 0 ? static_cast<int64_t>(archive.size()) + position : position;
}

bool LzoReady() {
    static const bool ready = lzo_init() == LZO_E_OK;
    return ready;
}

}  // namespace

const char* BaseName(const char* name) {
    const char* base = name;
    for (const char* p = name; *p != 0; ++p)
        if (*p == '/' || *p == '\\') base = p + 1;
    return base;
}

bool SeekPackDirectory(RtFile& archive) {
    if (archive.size() < 7 || !archive.seek(archive.size() - 7)) return false;
    uint8_t tail[7];
    if (!ReadExact(archive, tail, 7) || std::memcmp(tail, kPackTrailer, 3) != 0) return false;
    const int64_t directory = Absolute(archive, LittleEndian32(tail + 3));
    if (directory < 0 || directory > archive.size()) return false;
    return archive.seek(static_cast<int32_t>(directory));
}

bool ReadPackEntry(RtFile& archive, PackEntry& entry) {
    uint8_t length = 0;
    if (!ReadExact(archive, &length, 1) || length == 0) return false;
    char name[256];
    uint8_t fields[8];
    if (!ReadExact(archive, name, length) || !ReadExact(archive, fields, 8)) return false;
    entry.name.assign(name, length);
    entry.position = LittleEndian32(fields);
    entry.storedSize = LittleEndian32(fields + 4);
    return true;
}

std::vector<PackEntry> ReadPackDirectory(RtFile& archive) {
    std::vector<PackEntry> entries;
    if (!SeekPackDirectory(archive)) return entries;
    PackEntry entry;
    while (ReadPackEntry(archive, entry)) entries.push_back(entry);
    return entries;
}

bool FindPackEntry(RtFile& archive, const char* name, PackEntry& entry) {
    if (!SeekPackDirectory(archive)) return false;
    // The directory is read in one piece (it ends before the trailer) and
    // walked in memory: one read instead of three per entry.
    const int32_t start = archive.position();
    const int32_t length = archive.size() - 7 - start;
    if (length <= 0) return false;
    std::vector<uint8_t> directory(static_cast<size_t>(length));
    if (!ReadExact(archive, directory.data(), length)) return false;
    const char* base = BaseName(name);
    const size_t baseLength = std::strlen(base);
    for (size_t at = 0; at < directory.size();) {
        const size_t nameLength = directory[at];
        if (nameLength == 0 || at + 1 + nameLength + 8 > directory.size()) return false;
        const char* entryName = reinterpret_cast<const char*>(&directory[at + 1]);
        const uint8_t* fields = &directory[at + 1 + nameLength];
        // Entry names are bare file names: one holding a separator or a zero
        // byte never matches, so it can never name a path.
        if (nameLength == baseLength && std::memchr(entryName, '/', nameLength) == nullptr &&
            std::memchr(entryName, '\\', nameLength) == nullptr && std::memchr(entryName, 0, nameLength) == nullptr &&
            strncasecmp(entryName, base, baseLength) == 0) {
            entry.name.assign(entryName, nameLength);
            entry.position = LittleEndian32(fields);
            entry.storedSize = LittleEndian32(fields + 4);
            return true;
        }
        at += 1 + nameLength + 8;
    }
    return false;
}

bool ReadPackEntryData(RtFile& archive, const PackEntry& entry, std::vector<uint8_t>& stored) {
    const int64_t start = Absolute(archive, entry.position);
    if (entry.storedSize < 4 || start < 0 || start + entry.storedSize > archive.size()) return false;
    if (!archive.seek(static_cast<int32_t>(start))) return false;
    stored.resize(static_cast<size_t>(entry.storedSize));
    return ReadExact(archive, stored.data(), entry.storedSize);
}

bool UnpackEntryData(const std::vector<uint8_t>& stored, std::vector<uint8_t>& unpacked) {
    unpacked.clear();
    if (stored.size() < 4 || !LzoReady()) return false;
    const uint32_t size = static_cast<uint32_t>(LittleEndian32(stored.data()));
    const size_t packed = stored.size() - 4;
    // LZO1X cannot expand a byte of input into more than 255 bytes of
    // output; a size beyond that is a lie and is not allocated.
    if (size > packed * 256 + 256 || size > 0x7fffffffu) return false;
    unpacked.resize(size);
    lzo_uint produced = size;
    const int result = lzo1x_decompress_safe(stored.data() + 4, packed, unpacked.data(), &produced, nullptr);
    if (result != LZO_E_OK || produced != size) {
        unpacked.clear();
        return false;
    }
    return true;
}

std::vector<uint8_t> PackEntryData(const uint8_t* data, size_t size) {
    std::vector<uint8_t> stored(4 + size + size / 16 + 64 + 3);
    stored[0] = static_cast<uint8_t>(size);
    stored[1] = static_cast<uint8_t>(size >> 8);
    stored[2] = static_cast<uint8_t>(size >> 16);
    stored[3] = static_cast<uint8_t>(size >> 24);
    if (!LzoReady()) return {};
    std::vector<uint8_t> work(LZO1X_999_MEM_COMPRESS);
    lzo_uint packed = stored.size() - 4;
    if (lzo1x_999_compress(data, size, stored.data() + 4, &packed, work.data()) != LZO_E_OK) return {};
    stored.resize(4 + packed);
    return stored;
}

}  // namespace vtx
