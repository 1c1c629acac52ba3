// Mesh lists, colour table and the expansion of primitives into triangles.
#include "mesh.h"

#include <atomic>
#include <cstring>
#include <unordered_map>

#include "triangle_walk.h"

namespace vtx {

void SetVertexColour(Vertex& v, uint32_t colour) {
    v.colour = colour;
    if (IsMarker(colour)) {
        v.rgba[0] = v.rgba[1] = v.rgba[2] = 1.0f;
    } else {
        v.rgba[0] = static_cast<float>(colour & 0xFF) / 255.0f;
        v.rgba[1] = static_cast<float>((colour >> 8) & 0xFF) / 255.0f;
        v.rgba[2] = static_cast<float>((colour >> 16) & 0xFF) / 255.0f;
    }
    v.rgba[3] = 1.0f;
}

namespace {
std::atomic<uint64_t> lastTrianglesRevision{0};
}  // namespace

MeshObject::MeshObject() : trianglesRevision(++lastTrianglesRevision) { colourTable.setGrowth(128, 512); }

void NoteTrianglesChanged(MeshObject& mesh) { mesh.trianglesRevision = ++lastTrianglesRevision; }

void ClearMesh(MeshObject& mesh, bool release) {
    for (Frame& frame : mesh.frames) {
        frame.vertices.clear(release);
        frame.triangles.clear(release);
    }
    mesh.frames.clear(release);
    mesh.drawBuffer.clear(release);
    mesh.colourTable.clear(release);
    mesh.normalsValid = 0;
    mesh.tangentsValid = 0;
    NoteTrianglesChanged(mesh);
}

void RebuildColourTable(MeshObject& mesh) {
    mesh.colourTable.clear(false);
    // Positions by value, so a file of many colours costs no scan of the
    // table per vertex; the first appearance still decides the position.
    std::unordered_map<uint32_t, int32_t> positions;
    for (Frame& frame : mesh.frames) {
        for (Vertex& v : frame.vertices) {
            auto [at, added] = positions.try_emplace(v.colour, mesh.colourTable.count());
            if (added && !mesh.colourTable.push(v.colour)) {
                positions.erase(at);
                v.colourIndex = 0;
                continue;
            }
            // The index is 8 bits wide: a mesh of more than 256 values keeps
            // its colours in the vertices but cannot be saved.
            v.colourIndex = static_cast<uint8_t>(at->second);
        }
    }
}

namespace {

// The vertices a frame's triangle list will hold: a run of k vertices gives
// k / 3 triangles in triangles mode and k - 2 in a strip or fan.
int64_t TriangleVertexCount(const Frame& frame) {
    int64_t triangles = 0;
    int64_t run = 0;
    bool separate = true;
    const auto endRun = [&] {
        triangles += separate ? run / 3 : (run > 2 ? run - 2 : 0);
        run = 0;
    };
    for (const Vertex& v : frame.vertices) {
        if (v.colour == kMarkerStrip || v.colour == kMarkerTriangles || v.colour == kMarkerFan) {
            endRun();
            separate = v.colour == kMarkerTriangles;
        } else {
            ++run;
        }
    }
    endRun();
    return triangles * 3;
}

}  // namespace

// A vertex's role is read from its own colour value, which equals its table
// entry for every mesh the file format can hold, and stays right for a built
// mesh whose colour count overflows the 8-bit index.
void MeshObjectX::BuildTriangles() {
    NoteTrianglesChanged(*this);
    for (Frame& frame : frames) {
        frame.triangles.clear(false);
        // The list is sized once: growing it step by step would copy it
        // over and over for large objects.
        if (!frame.triangles.reserve(TriangleVertexCount(frame))) continue;
        Vertex* out = frame.triangles.data();
        const Vertex* vertices = frame.vertices.data();
        ForEachTriangle(frame, [&](int32_t a, int32_t b, int32_t c) {
            *out++ = vertices[a];
            *out++ = vertices[b];
            *out++ = vertices[c];
        });
        frame.triangles.extend(static_cast<int32_t>(out - frame.triangles.data()));
    }
    drawBuffer.clear(false);
    if (frames.count() > 0) {
        const int32_t n = frames[0].triangles.count();
        Vertex* copy = drawBuffer.extend(n);
        if (copy != nullptr && n > 0) std::memcpy(copy, frames[0].triangles.data(), sizeof(Vertex) * static_cast<size_t>(n));
    }
    usesColours = 0;
    for (uint32_t c : colourTable) {
        if (!IsMarker(c) && (c & 0xFFFFFF) != 0xFFFFFF) usesColours = 1;
    }
}

}  // namespace vtx
