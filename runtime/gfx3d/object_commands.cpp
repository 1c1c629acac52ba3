// StartObject, AddVertex, NewStrip, EndObject, SaveObject,
// GetFreeObjectSlot, SetSmoothingMode.
#include <cmath>

#include "mesh_commands.h"
#include "object_slots.h"

namespace vtx {
namespace {

// Frame 0 of the object being built, or null.
Frame* BuildingFrame() {
    ObjectSlot* slot = ObjectSlotAt(Objects().buildingSlot);
    if (slot == nullptr || slot->parts.empty() || slot->parts[0].frames.count() == 0) return nullptr;
    return &slot->parts[0].frames[0];
}

float ToFloat(double d) {
    if (std::isnan(d)) return 0.0f;
    if (d > 3.4e38) return 3.4e38f;
    if (d < -3.4e38) return -3.4e38f;
    return static_cast<float>(d);
}

// Mode 0 separate triangles, 2 a fan, anything else a strip.
void AddMarker(int32_t mode) {
    Frame* frame = BuildingFrame();
    if (frame == nullptr) return;
    Vertex v{};
    SetVertexColour(v, mode == 0 ? kMarkerTriangles : (mode == 2 ? kMarkerFan : kMarkerStrip));
    frame->vertices.push(v);
}

}  // namespace
}  // namespace vtx

void StartObject(int32_t slotNumber) {
    vtx::ObjectSlot* slot = vtx::ObjectSlotAt(slotNumber);
    if (slot == nullptr) return;
    // An object left unfinished is no longer being built.
    if (vtx::ObjectSlot* previous = vtx::ObjectSlotAt(vtx::Objects().buildingSlot)) previous->building = 0;
    vtx::ResetObjectSlot(*slot);
    vtx::Objects().buildingSlot = slotNumber;
    slot->building = 1;
    slot->parts[0].frames.grow();
}

void AddVertex(double x, double y, double z, double u, double v, int32_t colour) {
    vtx::Frame* frame = vtx::BuildingFrame();
    if (frame == nullptr) return;
    vtx::Vertex vertex{};
    vertex.position[0] = vtx::ToFloat(x);
    vertex.position[1] = vtx::ToFloat(y);
    vertex.position[2] = vtx::ToFloat(z);
    vertex.uv[0] = vtx::ToFloat(u);
    vertex.uv[1] = -vtx::ToFloat(v);
    vtx::SetVertexColour(vertex, static_cast<uint32_t>(colour));
    frame->vertices.push(vertex);
}

void NewStrip() { vtx::AddMarker(1); }

void EndObject() {
    vtx::ObjectStore& store = vtx::Objects();
    vtx::ObjectSlot* slot = vtx::ObjectSlotAt(store.buildingSlot);
    store.buildingSlot = -1;
    if (slot == nullptr) return;
    slot->building = 0;
    vtx::MeshObjectX& mesh = slot->parts[0];
    if (mesh.frames.count() >= 1 && mesh.frames[0].vertices.count() > 2) {
        slot->valid = 1;
        vtx::RebuildColourTable(mesh);
        if (store.smoothingMode == 1) vtx::PrepareMesh(mesh, true, false, false);
        if (store.smoothingMode == 2) vtx::PrepareMesh(mesh, true, true, false);
        mesh.BuildTriangles();
        vtx::ComputeBounds(mesh);
    } else {
        vtx::ClearMesh(mesh, true);
    }
}

void SaveObject(const RtString& file, int32_t slotNumber) {
    vtx::ObjectSlot* slot = vtx::ObjectSlotAt(slotNumber);
    if (slot == nullptr || slot->parts.empty()) return;
    vtx::SaveDDD(slot->parts[0], file.c_str());
}

int32_t GetFreeObjectSlot() {
    const vtx::ObjectStore& store = vtx::Objects();
    for (int32_t i = 0; i < vtx::kObjectSlotCount; ++i) {
        if (store.slots[static_cast<size_t>(i)].valid == 0) return i;
    }
    return -1;
}

void SetSmoothingMode(int32_t mode) { vtx::Objects().smoothingMode = ((mode % 3) + 3) % 3; }
