// The per-mesh data and GL set-up of the drawing effects: toon texture, bump
// combine, shadow volumes.
#pragma once

#include "gfx3d/mesh.h"
#include "gfx3d/scene_context.h"

namespace vtx {

// Builds the mesh's toon texture once (kept until SetToonRamp); 0 on failure.
GLuint ToonTexture(MeshObjectX& mesh, const Ridezoda3D& scene);
// Deletes the toon textures of every slot.
void DeleteToonTextures();
// The edge neighbour table of frame 0, built once.
void BuildEdgeNeighbours(MeshObjectX& mesh);
// Draws the shadow volume of the triangles for a light in object space.
void DrawShadowVolume(MeshObjectX& mesh, const Vertex* triangles, int32_t count, const float light[3]);

}  // namespace vtx
