// ComputeBounds: the bounding sphere of each frame's triangle list.
#include <cmath>

#include "mesh.h"

namespace vtx {

void ComputeBounds(MeshObject& mesh) {
    for (Frame& frame : mesh.frames) {
        const int32_t n = frame.triangles.count();
        double sum[3] = {0, 0, 0};
        for (const Vertex& v : frame.triangles) {
            for (int k = 0; k < 3; ++k) sum[k] += v.position[k];
        }
        for (int k = 0; k < 3; ++k) frame.centre[k] = n > 0 ? static_cast<float>(sum[k] / n) : 0.0f;
        float radius = 0.0f;
        for (const Vertex& v : frame.triangles) {
            const float d[3] = {v.position[0] - frame.centre[0], v.position[1] - frame.centre[1],
                                v.position[2] - frame.centre[2]};
            const float square = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
            const float distance = square <= 1e-7f ? 0.0f : std::sqrt(square);
            if (distance > radius) radius = distance;
        }
        frame.radius = radius;
    }
}

}  // namespace vtx
