// The BMP decoder: uncompressed pictures of 1, 4, 8, 24 or 32 bits with a
// 12-byte (core) or 40-byte info header, read sequentially through RtFile.
//
// Besides the plain reading rules it refuses, before allocating anything,
// pictures whose sizes are absurd (a side <= 0, more than 2^31 bytes of RGBA,
// more pixel rows than the file holds) and never reads outside the colour
// table: an index beyond it, or an indexed picture without one, fails.
#include <cstring>
#include <memory>
#include <new>

#include "files/rt_file.h"
#include "gfx2d/picture_codecs.h"

namespace vtx {
namespace {

constexpr int kMaxTableEntries = 256;

// Little-endian 16-bit value.
uint32_t Le16(const uint8_t* p) { return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8); }

// Little-endian 32-bit value.
uint32_t Le32(const uint8_t* p) { return Le16(p) | (Le16(p + 2) << 16); }

// What the headers say about the picture.
struct BmpLayout {
    int64_t width = 0;
    int64_t height = 0;  // made positive
    bool topFirst = false;
    uint32_t bits = 0;
    uint8_t table[kMaxTableEntries][3] = {};  // b, g, r
    int entries = 0;                          // usable table entries
};

// Moves the read position forward by n bytes; false past the end.
bool Skip(RtFile& file, int64_t n) {
    if (n < 0 || n > RemainingBytes(file)) return false;
    return file.seek(static_cast<int32_t>(file.position() + n));
}

// Reads the colour table that follows the info header: for a core header
// 2^bits entries of 3 bytes, for a 40-byte header the P-54 bytes up to the
// pixel data in 4-byte entries. Entries beyond the 256 an index can reach
// are skipped.
bool ReadColorTable(RtFile& file, BmpLayout& layout, uint32_t headerSize, int64_t dataOffset) {
    const int64_t entrySize = headerSize == 12 ? 3 : 4;
    const int64_t tableBytes = headerSize == 12 ? (int64_t{1} << layout.bits) * 3 : dataOffset - 54;
    if (tableBytes > RemainingBytes(file)) return false;  // the read would come up short
    const int64_t entries = tableBytes / entrySize;
    const int64_t kept = entries < kMaxTableEntries ? entries : kMaxTableEntries;
    uint8_t raw[kMaxTableEntries * 4];
    if (!ReadExactly(file, raw, kept * entrySize)) return false;
    for (int64_t i = 0; i < kept; ++i) std::memcpy(layout.table[i], raw + i * entrySize, 3);
    layout.entries = static_cast<int>(kept);
    return Skip(file, tableBytes - kept * entrySize);
}

// Reads the file header, the info header and the colour table.
bool ReadBmpHeaders(RtFile& file, BmpLayout& layout) {
    uint8_t fileHeader[14];
    if (!ReadExactly(file, fileHeader, 14) || fileHeader[0] != 'B' || fileHeader[1] != 'M') return false;
    const int64_t dataOffset = Le32(fileHeader + 10);
    uint8_t sizeField[4];
    if (!ReadExactly(file, sizeField, 4)) return false;
    const uint32_t headerSize = Le32(sizeField);
    uint8_t info[36];
    if (headerSize == 12) {
        if (!ReadExactly(file, info, 8)) return false;
        layout.width = Le16(info);
        layout.height = Le16(info + 2);
        layout.bits = Le16(info + 6);
    } else if (headerSize == 40) {
        if (!ReadExactly(file, info, 36)) return false;
        layout.width = static_cast<int32_t>(Le32(info));
        layout.height = static_cast<int32_t>(Le32(info + 4));
        layout.bits = Le16(info + 10);
    } else {
        return false;
    }
    if (layout.height < 0) {
        layout.topFirst = true;
        layout.height = -layout.height;
    }
    if (RgbaByteCount(layout.width, layout.height) < 0) return false;
    const uint32_t bits = layout.bits;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
    if (dataOffset - 14 > 40 && !ReadColorTable(file, layout, headerSize, dataOffset)) return false;
    // An indexed picture needs a table to index.
    return bits > 8 || layout.entries > 0;
}

// Turns one file row into RGBA; false when a palette index lies beyond the table.
bool ConvertRow(const BmpLayout& layout, const uint8_t* row, uint8_t* out, int32_t key) {
    const int64_t width = layout.width;
    const uint32_t bits = layout.bits;
    if (bits >= 24) {
        const int64_t step = bits / 8;
        for (int64_t x = 0; x < width; ++x, row += step, out += 4) {
            const uint8_t b = row[0], g = row[1], r = row[2];
            if (MatchesKey(r, g, b, key)) continue;  // the buffer starts 0: transparent black
            out[0] = r;
            out[1] = g;
            out[2] = b;
            out[3] = 255;
        }
        return true;
    }
    for (int64_t x = 0; x < width; ++x, out += 4) {
        int index;
        if (bits == 8) index = row[x];
        else if (bits == 4) index = (x & 1) == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
        else index = (row[x / 8] >> (7 - (x & 7))) & 1;
        if (index >= layout.entries) return false;
        const uint8_t* entry = layout.table[index];
        if (MatchesKey(entry[2], entry[1], entry[0], key)) continue;
        out[0] = entry[2];
        out[1] = entry[1];
        out[2] = entry[0];
        out[3] = 255;
    }
    return true;
}

// Reads headers, checks the pixel rows fit in the file, then converts the
// rows (bottom first unless the height was negative) into the buffer.
bool DecodeBmpFile(ImageBuffer& image, RtFile& file, int32_t key) {
    BmpLayout layout;
    if (!ReadBmpHeaders(file, layout)) return false;
    const int64_t rowLength = ((layout.width * layout.bits + 7) / 8 + 3) / 4 * 4;
    if (rowLength * layout.height > RemainingBytes(file)) return false;
    std::unique_ptr<uint8_t[]> row(new (std::nothrow) uint8_t[static_cast<size_t>(rowLength)]);
    if (!row || !image.resize(static_cast<int32_t>(layout.width), static_cast<int32_t>(layout.height))) {
        return false;
    }
    const int64_t outRowBytes = layout.width * 4;
    for (int64_t fileRow = 0; fileRow < layout.height; ++fileRow) {
        if (!ReadExactly(file, row.get(), rowLength)) return false;
        const int64_t outRow = layout.topFirst ? fileRow : layout.height - 1 - fileRow;
        if (!ConvertRow(layout, row.get(), image.pixels + outRow * outRowBytes, key)) return false;
    }
    return true;
}

}  // namespace

// Opens the name through the file layer and decodes; a failure empties the buffer.
bool DecodeBmp(ImageBuffer& image, const char* name, int32_t key) {
    RtFile file;
    const bool ok = file.openRead(name) && DecodeBmpFile(image, file, key);
    if (!ok) image.release();
    return ok;
}

}  // namespace vtx
