// Fuzzes the .ddd readers (binary of both generations and text, chosen by
// the magic as LoadDDD does). Besides memory safety it checks that a mesh
// read is sound: every colour index names a table entry, positions are
// finite, and a mesh the writer accepts reads back with the same frames,
// positions and colour indices.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "gfx3d/ddd_format.h"
#include "gfx3d/mesh.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vtx::MeshObjectX mesh;
    if (vtx::ReadDdd(mesh, data, size) != vtx::DddResult::kOk) return 0;
    if (mesh.frames.count() == 0) std::abort();
    for (const vtx::Frame& frame : mesh.frames) {
        for (const vtx::Vertex& v : frame.vertices) {
            if (mesh.colourTable.count() <= 256 && v.colourIndex >= mesh.colourTable.count()) std::abort();
            for (float c : v.position) {
                if (!std::isfinite(c)) std::abort();
            }
        }
    }
    mesh.BuildTriangles();
    vtx::ComputeBounds(mesh);
    vtx::PrepareMesh(mesh, true, true, true);
    std::vector<uint8_t> bytes;
    if (!vtx::EncodeDdd(mesh, bytes)) return 0;
    vtx::MeshObjectX again;
    if (vtx::ReadDdd(again, bytes.data(), bytes.size()) != vtx::DddResult::kOk) std::abort();
    if (again.frames.count() != mesh.frames.count()) std::abort();
    for (int32_t f = 0; f < mesh.frames.count(); ++f) {
        const vtx::Frame& a = mesh.frames[f];
        const vtx::Frame& b = again.frames[f];
        if (a.vertices.count() != b.vertices.count()) std::abort();
        for (int32_t i = 0; i < a.vertices.count(); ++i) {
            for (int k = 0; k < 3; ++k) {
                if (a.vertices[i].position[k] != b.vertices[i].position[k]) std::abort();
            }
            if (a.vertices[i].colourIndex != b.vertices[i].colourIndex) std::abort();
        }
    }
    return 0;
}
