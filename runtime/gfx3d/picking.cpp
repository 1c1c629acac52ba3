// CountFaces, GetFace, WorldToScreen and ScreenToWorld.
#include <cstddef>

#include "collision_commands.h"
#include "object_slots.h"
#include "picking_projection.h"
#include "picking_view.h"

using namespace vtx;

int32_t CountFaces(int32_t slotNumber) {
    const ObjectSlot* slot = ObjectSlotAt(slotNumber);
    if (slot == nullptr) return 0;
    int64_t vertices = 0;
    for (const MeshObjectX& part : slot->parts) {
        if (part.frames.count() > 0) vertices += part.frames[0].triangles.count();
    }
    return static_cast<int32_t>(vertices / 3);
}

void GetFace(int32_t slotNumber, int32_t frame, int32_t triangle, RtArray<double>& result) {
    DimArray(result, 3, 9);
    const ObjectSlot* slot = ObjectSlotAt(slotNumber);
    if (slot == nullptr || triangle < 0 || frame < 0) return;
    int32_t rest = triangle;
    for (const MeshObjectX& part : slot->parts) {
        // A part without that frame has no triangles to count.
        if (frame >= part.frames.count()) continue;
        const GrowList<Vertex>& triangles = part.frames[frame].triangles;
        const int32_t count = triangles.count() / 3;
        if (rest >= count) {
            rest -= count;
            continue;
        }
        for (int32_t v = 0; v < 3; ++v) {
            const Vertex& vertex = triangles[rest * 3 + v];
            const double values[9] = {vertex.position[0], vertex.position[1], vertex.position[2],
                                      vertex.uv[0],       vertex.uv[1],       static_cast<double>(vertex.colour),
                                      vertex.normal[0],   vertex.normal[1],   vertex.normal[2]};
            for (int32_t k = 0; k < 9; ++k) ArrayElement(result, v, k) = values[k];
        }
        return;
    }
}

int32_t WorldToScreen(double x, double y, double z, double& screenX, double& screenY, double& screenZ) {
    CameraMatricesRecord camera{};
    if (!CameraMatrices(camera)) return 0;
    const double world[3] = {x, y, z};
    double screen[3];
    if (!ProjectToScreen(camera.view, camera.projection, camera.viewport, world, screen)) return 0;
    screenX = screen[0];
    screenY = screen[1];
    screenZ = screen[2];
    return 1;
}

int32_t ScreenToWorld(double screenX, double screenY, double depth, double& x, double& y, double& z) {
    CameraMatricesRecord camera{};
    if (!CameraMatrices(camera)) return 0;
    const double screen[3] = {screenX, screenY, depth};
    double world[3];
    if (!UnprojectFromScreen(camera.view, camera.projection, camera.viewport, screen, world)) return 0;
    x = world[0];
    y = world[1];
    z = world[2];
    return 1;
}
