// The .ddd writer (binary version 2.0) and SaveDDD.
#include <cmath>
#include <cstring>
#include <string>

#include "ddd_format.h"
#include "files/atomic_write.h"
#include "normal_table.h"

namespace vtx {
namespace {

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutFloat(std::vector<uint8_t>& out, float f) {
    uint32_t u = 0;
    std::memcpy(&u, &f, 4);
    Put32(out, u);
}

}  // namespace

bool EncodeDdd(const MeshObject& mesh, std::vector<uint8_t>& out) {
    out.clear();
    if (mesh.frames.count() == 0) return false;
    // The colour index is one byte: more values than it can name would be
    // written truncated, and an index beyond the table could not be read.
    const int32_t colours = mesh.colourTable.count();
    if (colours > 256) return false;
    size_t total = 24 + 4 * static_cast<size_t>(colours);
    for (const Frame& frame : mesh.frames) {
        for (const Vertex& v : frame.vertices) {
            if (v.colourIndex >= colours) return false;
        }
        total += 4 + 14 * static_cast<size_t>(frame.vertices.count());
    }
    const Frame& first = mesh.frames[0];
    total += 8 * static_cast<size_t>(first.vertices.count());
    out.reserve(total);
    Put32(out, static_cast<uint32_t>(kDddMagic));
    uint64_t version = 0;
    std::memcpy(&version, &kDddVersion, 8);
    Put32(out, static_cast<uint32_t>(version));
    Put32(out, static_cast<uint32_t>(version >> 32));
    Put32(out, static_cast<uint32_t>(mesh.frames.count()));
    Put32(out, static_cast<uint32_t>(colours));
    Put32(out, static_cast<uint32_t>(first.vertices.count()));
    for (uint32_t c : mesh.colourTable) Put32(out, c);
    for (const Vertex& v : first.vertices) {
        PutFloat(out, v.uv[0]);
        PutFloat(out, v.uv[1]);
    }
    for (const Frame& frame : mesh.frames) {
        Put32(out, static_cast<uint32_t>(frame.vertices.count()));
        for (const Vertex& v : frame.vertices) {
            for (float c : v.position) PutFloat(out, c);
            out.push_back(static_cast<uint8_t>(NearestNormalIndex(v.normal)));
            out.push_back(v.colourIndex);
        }
    }
    return true;
}

// The file is written under a temporary name and renamed over the old one,
// so a save that cannot finish leaves no partial file (and the old one).
bool SaveDDD(const MeshObject& mesh, const char* fileName) {
    if (fileName == nullptr || std::strncmp(fileName, "mem://", 6) == 0) return false;
    std::vector<uint8_t> bytes;
    if (!EncodeDdd(mesh, bytes)) return false;
    std::string name(fileName);
    for (char& c : name) {
        if (c == '/') c = '\\';
    }
    return WriteFileAtomically(name.c_str(), bytes.data(), bytes.size());
}

}  // namespace vtx
