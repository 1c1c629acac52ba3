// Reading .ddd files for the tool and describing what they hold.
#include "mesh_info.h"

#include <cinttypes>
#include <cstdarg>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "files/rt_file.h"

namespace vtxmesh {
namespace {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    return line;
}

// "binary 2.0", "binary 1.02", "text 1.1".
std::string KindOf(const std::vector<uint8_t>& bytes) {
    if (vtx::HasDddMagic(bytes.data(), bytes.size()) && bytes.size() >= 12) {
        double version = 0;
        std::memcpy(&version, bytes.data() + 4, 8);
        return Format(version == std::floor(version) ? "binary %.1f" : "binary %g", version);
    }
    size_t at = 0;
    while (at < bytes.size() && bytes[at] != '\n') ++at;
    while (at < bytes.size() && (bytes[at] == '\n' || bytes[at] == '\r' || bytes[at] == ' ' || bytes[at] == '\t')) ++at;
    size_t end = at;
    while (end < bytes.size() && end - at < 32 && bytes[end] > ' ' && bytes[end] != '#') ++end;
    return std::string("text ").append(reinterpret_cast<const char*>(bytes.data()) + at, end - at);
}

}  // namespace

bool ReadDddFile(const std::string& name, vtx::MeshObjectX& mesh, std::string& kind, std::string& error) {
    vtx::ClearMesh(mesh, true);
    RtFile file;
    if (!file.openRead(name.c_str())) {
        error = "cannot open the file";
        return false;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(file.size() > 0 ? file.size() : 0));
    if (!bytes.empty() && !file.read(bytes.data(), static_cast<int32_t>(bytes.size()))) {
        error = "cannot read the file";
        return false;
    }
    kind = KindOf(bytes);
    switch (vtx::ReadDdd(mesh, bytes.data(), bytes.size())) {
        case vtx::DddResult::kOk:
            return true;
        case vtx::DddResult::kNotDdd:
            error = "not a .ddd file (no binary magic, no \"DDDA\" line of version 1.1 or below)";
            break;
        case vtx::DddResult::kWrongVersion:
            error = std::string("wrong .ddd version (").append(kind).append("; 1.02 to 2.0 are read)");
            break;
        case vtx::DddResult::kReadError:
            error = "damaged .ddd file (truncated, or a count or index beyond what it holds)";
            break;
        case vtx::DddResult::kMallocError:
            error = "out of memory";
            break;
    }
    vtx::ClearMesh(mesh, true);
    return false;
}

int64_t TriangleCount(const vtx::MeshObjectX& mesh) {
    int64_t n = 0;
    for (const vtx::Frame& f : mesh.frames) n += f.triangles.count() / 3;
    return n;
}

std::string Describe(vtx::MeshObjectX& mesh, const std::string& kind) {
    mesh.BuildTriangles();
    vtx::ComputeBounds(mesh);
    int64_t vertices = 0;
    for (const vtx::Frame& f : mesh.frames) vertices += f.vertices.count();
    std::string out = Format("form       %s\n", kind.c_str());
    out += Format("frames     %" PRId32 "\n", mesh.frames.count());
    out += Format("vertices   %" PRId64 "\n", vertices);
    out += Format("triangles  %" PRId64 "\n", TriangleCount(mesh));
    out += Format("colours    %" PRId32 "\n", mesh.colourTable.count());
    for (int32_t i = 0; i < mesh.frames.count(); ++i) {
        const vtx::Frame& f = mesh.frames[i];
        float lo[3] = {0, 0, 0};
        float hi[3] = {0, 0, 0};
        for (int32_t v = 0; v < f.triangles.count(); ++v) {
            for (int k = 0; k < 3; ++k) {
                const float c = f.triangles[v].position[k];
                if (v == 0 || c < lo[k]) lo[k] = c;
                if (v == 0 || c > hi[k]) hi[k] = c;
            }
        }
        out += Format("frame %" PRId32 ": %" PRId32 " vertices, %" PRId32
                      " triangles, centre (%g, %g, %g), radius %g, box (%g, %g, %g) to (%g, %g, %g)\n",
                      i, f.vertices.count(), f.triangles.count() / 3, f.centre[0], f.centre[1], f.centre[2],
                      f.radius, lo[0], lo[1], lo[2], hi[0], hi[1], hi[2]);
    }
    return out;
}

}  // namespace vtxmesh
