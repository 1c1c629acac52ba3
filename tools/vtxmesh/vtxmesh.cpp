// vtxmesh: the mesh tool.
//
//   vtxmesh info FILE.ddd          what a .ddd file holds
//   vtxmesh convert IN OUT.ddd     text or older binary to binary 2.0
//   vtxmesh import MODEL OUT.ddd   a model of a common format to .ddd
//
// Exit codes: 0 success, 1 failure (with a line on standard error), 2 bad
// usage.
#include <sys/stat.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>

#include "gfx3d/mesh.h"
#include "mesh_info.h"
#include "model_import.h"

namespace {

constexpr int kFailed = 1;
constexpr int kBadUsage = 2;
constexpr long long kProgressThreshold = 1 << 20;  // model bytes above which progress lines appear

constexpr const char* kUsage =
    "usage: vtxmesh info FILE.ddd\n"
    "       vtxmesh convert IN OUT.ddd\n"
    "       vtxmesh import MODEL OUT.ddd\n"
    "       vtxmesh --help\n"
    "\n"
    "Looks into and writes the runtime's .ddd 3D object files.\n"
    "\n"
    "  info     prints the form and version, frames, vertices, triangles,\n"
    "           colours, and each frame's bounds (centre, radius, box)\n"
    "  convert  reads a text or older binary .ddd file and writes it as\n"
    "           binary version 2.0\n"
    "  import   reads a model (Wavefront OBJ with materials, glTF 2.0, FBX,\n"
    "           3DS, MD2 keyframes, ...) with its texture coordinates, vertex\n"
    "           or material colours and keyframes or morph targets as frames\n";

int Fail(const std::string& name, const std::string& why) {
    std::fprintf(stderr, "vtxmesh: %s: %s\n", name.c_str(), why.c_str());
    return kFailed;
}

bool IsDddName(const std::string& name) {
    return name.size() > 4 && strcasecmp(name.c_str() + name.size() - 4, ".ddd") == 0;
}

int Save(vtx::MeshObjectX& mesh, const std::string& out) {
    if (!vtx::SaveDDD(mesh, out.c_str())) {
        if (mesh.colourTable.count() > 256)
            return Fail(out, "not written: more than 256 colour values (markers included)");
        return Fail(out, "cannot be written");
    }
    mesh.BuildTriangles();
    int64_t vertices = 0;
    for (const vtx::Frame& f : mesh.frames) vertices += f.vertices.count();
    std::printf("vtxmesh: wrote %s: %" PRId32 " frames, %" PRId64 " vertices, %" PRId64 " triangles, %" PRId32
                " colours\n",
                out.c_str(), mesh.frames.count(), vertices, vtxmesh::TriangleCount(mesh), mesh.colourTable.count());
    return 0;
}

int Info(const std::string& name) {
    vtx::MeshObjectX mesh;
    std::string kind;
    std::string error;
    if (!vtxmesh::ReadDddFile(name, mesh, kind, error)) return Fail(name, error);
    std::fputs(vtxmesh::Describe(mesh, kind).c_str(), stdout);
    return 0;
}

int Convert(const std::string& in, const std::string& out) {
    vtx::MeshObjectX mesh;
    std::string kind;
    std::string error;
    if (!vtxmesh::ReadDddFile(in, mesh, kind, error)) return Fail(in, error);
    return Save(mesh, out);
}

int Import(const std::string& in, const std::string& out) {
    struct stat info {};
    if (stat(in.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return Fail(in, "no such file");
    vtx::MeshObjectX mesh;
    vtxmesh::ImportReport report;
    std::string error;
    if (!vtxmesh::ImportModel(in, mesh, report, error, info.st_size >= kProgressThreshold))
        return Fail(in, std::string("cannot import: ").append(error));
    if (report.colourBits < 8)
        std::fprintf(stderr, "vtxmesh: %s: colours reduced to %d bits a channel to fit 256 values\n", in.c_str(),
                     report.colourBits);
    if (report.skippedFaces > 0)
        std::fprintf(stderr, "vtxmesh: %s: %d points and lines left out\n", in.c_str(), report.skippedFaces);
    return Save(mesh, out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "info" && argc == 3) return Info(argv[2]);
    if ((command == "convert" || command == "import") && argc == 4) {
        if (!IsDddName(argv[3])) {
            std::fprintf(stderr, "vtxmesh: %s: the output name must end in .ddd\n", argv[3]);
            return kBadUsage;
        }
        return command == "convert" ? Convert(argv[2], argv[3]) : Import(argv[2], argv[3]);
    }
    std::fputs(kUsage, stderr);
    return kBadUsage;
}
