// Loading a 100 000-triangle object: LoadDDD + BuildTriangles +
// ComputeBounds of a binary .ddd file, against reading the same triangles
// from a Wavefront OBJ with the Open Asset Import Library in the same run
// (the anchor). The .ddd file holds separate triangles (three vertices each,
// nothing shared); the OBJ shares its grid's vertices, as OBJ files do.
//
//   bench_mesh [rounds]     best of rounds (default 5), printed as ms and ratios
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_support.h"
#include "gfx3d/mesh.h"

namespace {

constexpr int kCells = 224;  // 224 x 224 cells x 2 = 100 352 triangles

float Height(int x, int z) { return std::sin(static_cast<float>(x) * 0.1f) * std::cos(static_cast<float>(z) * 0.13f); }

void WriteFiles(const std::string& ddd, const std::string& obj) {
    vtx::MeshObjectX mesh;
    vtx::Frame* frame = mesh.frames.grow();
    std::ofstream out(obj);
    for (int z = 0; z <= kCells; ++z) {
        for (int x = 0; x <= kCells; ++x) out << "v " << x << ' ' << Height(x, z) << ' ' << z << '\n';
    }
    for (int z = 0; z <= kCells; ++z) {
        for (int x = 0; x <= kCells; ++x) out << "vt " << x / float(kCells) << ' ' << z / float(kCells) << '\n';
    }
    out << "vn 0 1 0\n";
    const auto corner = [&](int x, int z) {
        vtx::Vertex v{};
        v.position[0] = static_cast<float>(x);
        v.position[1] = Height(x, z);
        v.position[2] = static_cast<float>(z);
        v.normal[1] = 1;
        v.uv[0] = x / float(kCells);
        v.uv[1] = z / float(kCells);
        vtx::SetVertexColour(v, static_cast<uint32_t>((x * 7 + z) % 200) * 0x010101u);
        frame->vertices.push(v);
        return z * (kCells + 1) + x + 1;
    };
    for (int z = 0; z < kCells; ++z) {
        for (int x = 0; x < kCells; ++x) {
            const int a = corner(x, z), b = corner(x + 1, z), c = corner(x + 1, z + 1);
            out << "f " << a << '/' << a << "/1 " << b << '/' << b << "/1 " << c << '/' << c << "/1\n";
            const int d = corner(x, z), e = corner(x + 1, z + 1), f = corner(x, z + 1);
            out << "f " << d << '/' << d << "/1 " << e << '/' << e << "/1 " << f << '/' << f << "/1\n";
        }
    }
    vtx::RebuildColourTable(mesh);
    if (!vtx::SaveDDD(mesh, ddd.c_str())) {
        std::fprintf(stderr, "bench_mesh: cannot write %s\n", ddd.c_str());
        std::exit(1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 5;
    const char* tmp = std::getenv("TMPDIR");
    const std::filesystem::path folder = std::filesystem::path(tmp != nullptr && *tmp ? tmp : "/tmp") /
                                         ("bench-mesh-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string ddd = (folder / "grid.ddd").string();
    const std::string obj = (folder / "grid.obj").string();
    WriteFiles(ddd, obj);

    int64_t triangles = 0;
    const double dddSeconds = bench::Best(rounds, [&] {
        vtx::MeshObjectX mesh;
        if (!vtx::LoadDDD(mesh, ddd.c_str())) std::exit(1);
        mesh.BuildTriangles();
        vtx::ComputeBounds(mesh);
        triangles = mesh.frames[0].triangles.count() / 3;
    });
    unsigned objTriangles = 0;
    const auto readObj = [&](unsigned flags) {
        return bench::Best(rounds, [&] {
            Assimp::Importer importer;
            const aiScene* scene = importer.ReadFile(obj, flags);
            if (scene == nullptr) std::exit(1);
            objTriangles = 0;
            for (unsigned m = 0; m < scene->mNumMeshes; ++m) objTriangles += scene->mMeshes[m]->mNumFaces;
        });
    };
    const double objPlain = readObj(0);
    const double objTriangulated = readObj(aiProcess_Triangulate);
    std::printf("triangles: .ddd %lld, OBJ %u; files: .ddd %.1f MB, OBJ %.1f MB\n", static_cast<long long>(triangles),
                objTriangles, std::filesystem::file_size(ddd) / 1e6, std::filesystem::file_size(obj) / 1e6);
    std::printf("LoadDDD + BuildTriangles + ComputeBounds  %8.2f ms  (1.00)\n", dddSeconds * 1e3);
    std::printf("assimp OBJ, no post-processing           %8.2f ms  (%.2f x the .ddd time)\n", objPlain * 1e3,
                objPlain / dddSeconds);
    std::printf("assimp OBJ, triangulate                  %8.2f ms  (%.2f x the .ddd time)\n", objTriangulated * 1e3,
                objTriangulated / dddSeconds);
    if (std::getenv("BENCH_MESH_KEEP") == nullptr) std::filesystem::remove_all(folder);
    else std::printf("kept %s\n", folder.c_str());
    return 0;
}
