// The triangles a frame's vertex list describes. Marker vertices switch
// between separate triangles, strips and fans; a strip alternates which
// corner it replaces so that every triangle keeps the first one's winding.
#pragma once

#include <cstdint>

#include "mesh.h"

namespace vtx {

// Calls emit(a, b, c) with the vertex indices of each triangle in order.
template <typename Emit>
inline void ForEachTriangle(const Frame& frame, Emit&& emit) {
    enum { kTriangles, kStrip, kFan } mode = kTriangles;
    int32_t pending[3] = {0, 0, 0};
    int32_t count = 0;
    int32_t parity = 0;
    const int32_t n = frame.vertices.count();
    for (int32_t i = 0; i < n; ++i) {
        const uint32_t c = frame.vertices[i].colour;
        if (c == kMarkerStrip) {
            mode = kStrip;
            count = parity = 0;
            continue;
        }
        if (c == kMarkerTriangles) {
            mode = kTriangles;
            count = 0;
            continue;
        }
        if (c == kMarkerFan) {
            mode = kFan;
            count = 0;
            continue;
        }
        pending[count++] = i;
        if (count < 3) continue;
        emit(pending[0], pending[1], pending[2]);
        if (mode == kTriangles) {
            count = 0;
        } else if (mode == kFan) {
            count = 2;
            pending[1] = pending[2];
        } else {
            count = 2;
            if (parity == 1) pending[1] = pending[2];
            else pending[0] = pending[2];
            parity ^= 1;
        }
    }
}

}  // namespace vtx
