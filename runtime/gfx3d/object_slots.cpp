// The object slot table and the resetting of a slot.
#include "object_slots.h"

#include <memory>

#include "host/graphics_backend.h"

namespace vtx {

ObjectSlot::ObjectSlot() : parts(1) {}

ObjectStore::ObjectStore() : slots(kObjectSlotCount) {}

ObjectStore& Objects() {
    static ObjectStore store;
    return store;
}

ObjectSlot* ObjectSlotAt(int32_t slot) {
    if (slot < 0 || slot >= kObjectSlotCount) return nullptr;
    return &Objects().slots[static_cast<size_t>(slot)];
}

void DeleteSlotTextures(ObjectSlot& slot) {
    const bool context = GraphicsBackEnd != nullptr && GraphicsBackEnd->contextReady != 0;
    for (GLuint& name : slot.textureNames) {
        if (context && name != 0) glDeleteTextures(1, &name);
    }
    slot.textureNames.clear();
    slot.textureCount = 0;
}

void ResetObjectSlot(ObjectSlot& slot) {
    DeleteSlotTextures(slot);
    slot.valid = 0;
    slot.multiPart = 0;
    slot.building = 0;
    slot.parts.clear();
    slot.parts.emplace_back();
    slot.partCount = 1;
}

}  // namespace vtx
