// The object slot table: 4096 slots, each one or more meshes with the
// textures the slot owns. Filled by the building and loading commands and
// drawn by the 3D scene.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <vector>

#include "mesh.h"

namespace vtx {

inline constexpr int32_t kObjectSlotCount = 4096;

struct ObjectSlot {
    ObjectSlot();
    uint8_t valid = 0;       // holds a drawable object
    uint8_t multiPart = 0;   // parts carry their own texture pairs
    int32_t partCount = 1;   // 1 for built and .ddd objects
    std::vector<MeshObjectX> parts;
    int32_t textureCount = 0;
    std::vector<GLuint> textureNames;  // owned; 0 = an entry whose picture could not be read
    uint8_t building = 0;    // between StartObject and EndObject
};

struct ObjectStore {
    ObjectStore();
    std::vector<ObjectSlot> slots;
    int32_t buildingSlot = -1;  // the object StartObject began; -1 none
    int32_t smoothingMode = 0;  // normals EndObject computes: 0 none, 1 flat, 2 smooth
};

// The table, created with its 4096 slots on first use.
ObjectStore& Objects();
// The slot, or null for a number outside 0 .. 4095.
ObjectSlot* ObjectSlotAt(int32_t slot);
// Deletes the slot's textures (while a GL context is alive) and forgets them.
void DeleteSlotTextures(ObjectSlot& slot);
// Textures deleted, flags cleared, one empty part.
void ResetObjectSlot(ObjectSlot& slot);

}  // namespace vtx
