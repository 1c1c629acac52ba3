// MeshObject: a 3D object of one or more animation frames plus the table of
// its vertex colours; MeshObjectX adds what the drawing code keeps per
// object and expands primitives into triangle lists.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <vector>

#include "mesh_lists.h"

namespace vtx {

class MeshObject {
public:
    MeshObject();
    virtual ~MeshObject() = default;
    MeshObject(MeshObject&&) = default;
    MeshObject& operator=(MeshObject&&) = default;

    // Rebuilds every frame's triangle list from its vertices; nothing here.
    virtual void BuildTriangles() {}

    GrowList<Frame> frames;          // frame 0 is the one the program builds
    GrowList<Vertex> drawBuffer;     // copy of frame 0's triangles for the drawing code
    GrowList<uint32_t> colourTable;  // distinct colour values (and markers)
    int32_t normalsValid = 0;
    int32_t tangentsValid = 0;
    // Changes (to a value never used before in the process) whenever the
    // triangle lists may have changed, so structures built from them know
    // when they are stale. Code that edits a triangle list in place calls
    // NoteTrianglesChanged.
    uint64_t trianglesRevision;
};

class MeshObjectX : public MeshObject {
public:
    MeshObjectX() = default;
    MeshObjectX(MeshObjectX&&) = default;
    MeshObjectX& operator=(MeshObjectX&&) = default;

    // Expands markers into separate triangles, strips and fans, per frame;
    // refreshes the draw buffer and usesColours.
    void BuildTriangles() override;

    int32_t usesColours = 0;  // 1 when a colour-table entry is a colour other than white
    // Drawing data (filled by the drawing code).
    GLuint toonTexture = 0;
    float toonRowStep = 0;               // 1 / rows of the toon texture
    std::vector<uint8_t> triangleLit;    // per triangle: lit by the effect light
    std::vector<int32_t> edgeNeighbour;  // per edge: the triangle across it, -1 none
    std::vector<uint8_t> edgeSilhouette; // per edge: on the silhouette
    int32_t texturePair[2] = {0, 0};     // multi-part slots: numbers into the slot's textures
};

// Gives the mesh a new triangles revision.
void NoteTrianglesChanged(MeshObject& mesh);
// Empties all lists (release also frees their memory); clears the valid flags.
void ClearMesh(MeshObject& mesh, bool release);
// Empties the colour table and enters every vertex's colour value again, in
// order of first appearance; each vertex's colour index becomes its position.
void RebuildColourTable(MeshObject& mesh);
// Normals (welded by position when smooth) and tangents, each computed only
// when asked for and not already valid.
void PrepareMesh(MeshObject& mesh, bool normals, bool smooth, bool tangents);
// Per frame: centre (mean of the triangle-list positions) and radius.
void ComputeBounds(MeshObject& mesh);
// Reads a binary or text .ddd file; on failure the mesh is empty.
bool LoadDDD(MeshObject& mesh, const char* fileName);
// Writes the mesh as a binary version 2.0 file.
bool SaveDDD(const MeshObject& mesh, const char* fileName);

}  // namespace vtx
