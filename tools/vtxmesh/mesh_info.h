// What `vtxmesh info` and `vtxmesh convert` need: reading a .ddd file with
// a clear reason for failure, and describing a mesh.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gfx3d/ddd_format.h"
#include "gfx3d/mesh.h"

namespace vtxmesh {

// Reads a .ddd file (binary of any version or text) into mesh. On failure
// error says why ("cannot open", "wrong .ddd version", ...).
bool ReadDddFile(const std::string& name, vtx::MeshObjectX& mesh, std::string& kind, std::string& error);
// The lines of `vtxmesh info`: form and version, counts, bounds per frame.
// The mesh's triangles and bounds are built here.
std::string Describe(vtx::MeshObjectX& mesh, const std::string& kind);
// Triangles over all frames (after BuildTriangles).
int64_t TriangleCount(const vtx::MeshObjectX& mesh);

}  // namespace vtxmesh
