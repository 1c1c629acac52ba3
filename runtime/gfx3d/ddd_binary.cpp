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

// Normal, colour and texture pair of vertex i; false on a bad index.
bool FinishVertex(Vertex& v, int32_t i, uint8_t normalIndex, uint8_t colourIndex, const MeshObject& mesh,
                  const std::vector<float>& pairs, bool negateV) {
    if (normalIndex >= kNormalCount || colourIndex >= mesh.colourTable.count()) return false;
    std::memcpy(v.normal, kNormalTable[normalIndex], sizeof v.normal);
    v.colourIndex = colourIndex;
    SetVertexColour(v, mesh.colourTable[colourIndex]);
    // Vertices beyond the file's texture pairs get (0, 0).
    if (static_cast<size_t>(i) * 2 + 1 < pairs.size()) {
        v.uv[0] = pairs[static_cast<size_t>(i) * 2];
        v.uv[1] = negateV ? -pairs[static_cast<size_t>(i) * 2 + 1] : pairs[static_cast<size_t>(i) * 2 + 1];
    }
    return std::isfinite(v.position[0]) && std::isfinite(v.position[1]) && std::isfinite(v.position[2]);
}

DddResult ReadFrame20(ByteReader& in, Frame& frame, const MeshObject& mesh, const std::vector<float>& pairs) {
    int32_t n = 0;
    if (!in.i32(n) || !CountFits(n, 14, in)) return DddResult::kReadError;
    if (!frame.vertices.reserve(n)) return DddResult::kMallocError;
    for (int32_t i = 0; i < n; ++i) {
        Vertex v{};
        uint8_t normalIndex = 0;
        uint8_t colourIndex = 0;
        if (!in.f32(v.position[0]) || !in.f32(v.position[1]) || !in.f32(v.position[2]) || !in.u8(normalIndex) ||
            !in.u8(colourIndex) || !FinishVertex(v, i, normalIndex, colourIndex, mesh, pairs, false))
            return DddResult::kReadError;
        frame.vertices.push(v);
    }
    return DddResult::kOk;
}

DddResult ReadFrameOld(ByteReader& in, Frame& frame, const MeshObject& mesh, const std::vector<float>& pairs) {
    int32_t n = 0;
    float offset[3];
    float scale[3];
    if (!in.i32(n) || !in.f32(offset[0]) || !in.f32(offset[1]) || !in.f32(offset[2]) || !in.f32(scale[0]) ||
        !in.f32(scale[1]) || !in.f32(scale[2]) || !CountFits(n, 5, in))
        return DddResult::kReadError;
    if (!frame.vertices.reserve(n)) return DddResult::kMallocError;
    for (int32_t i = 0; i < n; ++i) {
        uint8_t b[5];
        if (!in.bytes(b, 5)) return DddResult::kReadError;
        Vertex v{};
        for (int k = 0; k < 3; ++k) v.position[k] = (static_cast<float>(b[k]) - offset[k]) * scale[k];
        std::memcpy(v.tangent, kNormalTable[0], sizeof v.tangent);
        std::memcpy(v.bitangent, kNormalTable[0], sizeof v.bitangent);
        if (!FinishVertex(v, i, b[3], b[4], mesh, pairs, true)) return DddResult::kReadError;
        frame.vertices.push(v);
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
    for (int32_t f = 0; f < frames; ++f) {
        Frame* frame = mesh.frames.grow();
        if (frame == nullptr) return DddResult::kMallocError;
        const DddResult r = current ? ReadFrame20(in, *frame, mesh, pairs) : ReadFrameOld(in, *frame, mesh, pairs);
        if (r != DddResult::kOk) return r;
    }
    mesh.normalsValid = 1;
    return DddResult::kOk;
}

DddResult ReadDdd(MeshObject& mesh, const uint8_t* data, size_t size) {
    return HasDddMagic(data, size) ? ReadBinaryDdd(mesh, data, size) : ReadTextDdd(mesh, data, size);
}

}  // namespace vtx
