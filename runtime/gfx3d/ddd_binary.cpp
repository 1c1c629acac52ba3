// The binary .ddd reader: header, colour table, texture pairs, then one
// record per frame (version 2.0: float positions; older: quantised bytes
// with offset and scale).
#include <cmath>
#include <cstring>

#include "ddd_format.h"
#include "normal_table.h"

namespace vtx {
namespace {

// Little-endian reads that fail once the data runs out.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    size_t remaining() const { return size_ - at_; }
    bool bytes(void* out, size_t n) {
        if (n > remaining()) return false;
        std::memcpy(out, data_ + at_, n);
        at_ += n;
        return true;
    }
    // n bytes to decode in place; null when fewer remain.
    const uint8_t* take(size_t n) {
        if (n > remaining()) return nullptr;
        const uint8_t* at = data_ + at_;
        at_ += n;
        return at;
    }
    bool u8(uint8_t& v) { return bytes(&v, 1); }
    bool i32(int32_t& v) {
        uint32_t u = 0;
        if (!u32(u)) return false;
        v = static_cast<int32_t>(u);
        return true;
    }
    bool u32(uint32_t& v) {
        uint8_t b[4];
        if (!bytes(b, 4)) return false;
        v = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
            static_cast<uint32_t>(b[3]) << 24;
        return true;
    }
    bool f32(float& v) {
        uint32_t u = 0;
        if (!u32(u)) return false;
        std::memcpy(&v, &u, 4);
        return true;
    }
    bool f64(double& v) {
        uint32_t lo = 0;
        uint32_t hi = 0;
        if (!u32(lo) || !u32(hi)) return false;
        const uint64_t u = static_cast<uint64_t>(hi) << 32 | lo;
        std::memcpy(&v, &u, 8);
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// A count the rest of the file can hold, at least minBytes bytes per element.
bool CountFits(int32_t count, size_t minBytes, const ByteReader& in) {
    return count >= 0 && static_cast<uint64_t>(count) * minBytes <= in.remaining();
}

float FloatAt(const uint8_t* p) {
    const uint32_t u = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                       static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}

// What every vertex of one colour index gets, worked out once per entry.
struct ColourEntry {
    uint32_t colour;
    float rgba[4];
};

std::vector<ColourEntry> ColourEntries(const MeshObject& mesh) {
    std::vector<ColourEntry> entries(static_cast<size_t>(mesh.colourTable.count()));
    for (size_t i = 0; i < entries.size(); ++i) {
        Vertex v{};
        SetVertexColour(v, mesh.colourTable[static_cast<int32_t>(i)]);
        entries[i].colour = v.colour;
        std::memcpy(entries[i].rgba, v.rgba, sizeof v.rgba);
    }
    return entries;
}

// Normal, colour and texture pair of vertex i; false on a bad index or a
// position that is not finite.
bool FinishVertex(Vertex& v, int32_t i, uint8_t normalIndex, uint8_t colourIndex,
                  const std::vector<ColourEntry>& colours, const std::vector<float>& pairs, bool negateV) {
    if (normalIndex >= kNormalCount || colourIndex >= colours.size()) return false;
    std::memcpy(v.normal, kNormalTable[normalIndex], sizeof v.normal);
    v.colourIndex = colourIndex;
    v.colour = colours[colourIndex].colour;
    std::memcpy(v.rgba, colours[colourIndex].rgba, sizeof v.rgba);
    // Vertices beyond the file's texture pairs get (0, 0).
    const size_t pair = static_cast<size_t>(i) * 2;
    if (pair + 1 < pairs.size()) {
        v.uv[0] = pairs[pair];
        v.uv[1] = negateV ? -pairs[pair + 1] : pairs[pair + 1];
    } else {
        v.uv[0] = v.uv[1] = 0.0f;
    }
    return std::isfinite(v.position[0]) && std::isfinite(v.position[1]) && std::isfinite(v.position[2]);
}

// Clears what the file does not set.
void ClearUnread(Vertex& v) {
    std::memset(v.light, 0, sizeof v.light);
    std::memset(v.tangent, 0, sizeof v.tangent);
    std::memset(v.bitangent, 0, sizeof v.bitangent);
    std::memset(v.unused, 0, sizeof v.unused);
}

DddResult ReadFrame20(ByteReader& in, Frame& frame, const std::vector<ColourEntry>& colours,
                      const std::vector<float>& pairs) {
    int32_t n = 0;
    if (!in.i32(n) || !CountFits(n, 14, in)) return DddResult::kReadError;
    const uint8_t* record = in.take(static_cast<size_t>(n) * 14);
    Vertex* v = frame.vertices.extend(n);
    if (v == nullptr && n > 0) return DddResult::kMallocError;
    for (int32_t i = 0; i < n; ++i, ++v, record += 14) {
        v->position[0] = FloatAt(record);
        v->position[1] = FloatAt(record + 4);
        v->position[2] = FloatAt(record + 8);
        ClearUnread(*v);
        if (!FinishVertex(*v, i, record[12], record[13], colours, pairs, false)) return DddResult::kReadError;
    }
    return DddResult::kOk;
}

DddResult ReadFrameOld(ByteReader& in, Frame& frame, const std::vector<ColourEntry>& colours,
                       const std::vector<float>& pairs) {
    int32_t n = 0;
    float offset[3];
    float scale[3];
    if (!in.i32(n) || !in.f32(offset[0]) || !in.f32(offset[1]) || !in.f32(offset[2]) || !in.f32(scale[0]) ||
        !in.f32(scale[1]) || !in.f32(scale[2]) || !CountFits(n, 5, in))
        return DddResult::kReadError;
    const uint8_t* record = in.take(static_cast<size_t>(n) * 5);
    Vertex* v = frame.vertices.extend(n);
    if (v == nullptr && n > 0) return DddResult::kMallocError;
    for (int32_t i = 0; i < n; ++i, ++v, record += 5) {
        for (int k = 0; k < 3; ++k) v->position[k] = (static_cast<float>(record[k]) - offset[k]) * scale[k];
        ClearUnread(*v);
        std::memcpy(v->tangent, kNormalTable[0], sizeof v->tangent);
        std::memcpy(v->bitangent, kNormalTable[0], sizeof v->bitangent);
        if (!FinishVertex(*v, i, record[3], record[4], colours, pairs, true)) return DddResult::kReadError;
    }
    return DddResult::kOk;
}

}  // namespace

bool HasDddMagic(const uint8_t* data, size_t size) {
    return size >= 4 && data[0] == 0x17 && data[1] == 0xB3 && data[2] == 0xC6 && data[3] == 0x00;
}

DddResult ReadBinaryDdd(MeshObject& mesh, const uint8_t* data, size_t size) {
    ByteReader in(data, size);
    int32_t magic = 0;
    double version = 0;
    if (!in.i32(magic) || magic != kDddMagic || !in.f64(version)) return DddResult::kReadError;
    if (!(version >= kDddOldestVersion && version <= kDddVersion)) return DddResult::kWrongVersion;
    int32_t frames = 0;
    int32_t colours = 0;
    int32_t pairCount = 0;
    if (!in.i32(frames) || !in.i32(colours) || !in.i32(pairCount)) return DddResult::kReadError;
    // Every frame needs at least its vertex count; no frames is no object.
    if (frames <= 0 || !CountFits(frames, 4, in) || !CountFits(colours, 4, in) || !CountFits(pairCount, 8, in))
        return DddResult::kReadError;
    mesh.colourTable.setGrowth(1, 1);
    if (!mesh.colourTable.reserve(colours)) return DddResult::kMallocError;
    for (int32_t i = 0; i < colours; ++i) {
        uint32_t c = 0;
        if (!in.u32(c)) return DddResult::kReadError;
        mesh.colourTable.push(c);
    }
    std::vector<float> pairs(static_cast<size_t>(pairCount) * 2);
    for (float& f : pairs) {
        if (!in.f32(f) || !std::isfinite(f)) return DddResult::kReadError;
    }
    if (!mesh.frames.reserve(frames)) return DddResult::kMallocError;
    const bool current = version == kDddVersion;
    const std::vector<ColourEntry> entries = ColourEntries(mesh);
    for (int32_t f = 0; f < frames; ++f) {
        Frame* frame = mesh.frames.grow();
        if (frame == nullptr) return DddResult::kMallocError;
        const DddResult r = current ? ReadFrame20(in, *frame, entries, pairs) : ReadFrameOld(in, *frame, entries, pairs);
        if (r != DddResult::kOk) return r;
    }
    mesh.normalsValid = 1;
    return DddResult::kOk;
}

DddResult ReadDdd(MeshObject& mesh, const uint8_t* data, size_t size) {
    return HasDddMagic(data, size) ? ReadBinaryDdd(mesh, data, size) : ReadTextDdd(mesh, data, size);
}

}  // namespace vtx
