// Importing a model file of a common format (Wavefront OBJ with materials,
// glTF 2.0, FBX, 3DS, MD2, ...) through the Open Asset Import Library into
// a mesh: triangles, texture coordinates, vertex colours from the vertices
// or their materials, normals, and keyframes or morph targets as frames.
#pragma once

#include <string>

#include "gfx3d/mesh.h"

namespace vtxmesh {

struct ImportReport {
    int32_t colourBits = 8;     // bits kept per colour channel (fewer when reduced)
    int32_t skippedFaces = 0;   // points and lines, which a mesh cannot hold
};

// Fills mesh (colour table rebuilt, triangles not yet built). progress
// receives lines for large files. False with error when the file cannot be
// imported or holds no triangles.
bool ImportModel(const std::string& name, vtx::MeshObjectX& mesh, ImportReport& report, std::string& error,
                 bool progress);

}  // namespace vtxmesh
