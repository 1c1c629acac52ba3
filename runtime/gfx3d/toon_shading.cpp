// Toon shading: the colour-by-brightness ramp texture of each mesh and the
// ramp command.
#include <GL/gl.h>
#include <GL/glext.h>

#include <cmath>
#include <vector>

#include "core/rt_array.h"
#include "gfx2d/draw_batch.h"
#include "gfx3d/draw_effects.h"
#include "gfx3d/object_slots.h"
#include "gfx3d/scene_commands.h"
#include "host/graphics_backend.h"

namespace vtx {
namespace {

const std::vector<uint8_t>& DefaultRamp() {
    static const std::vector<uint8_t> ramp = {100, 160, 160, 160, 160, 160, 160, 207,
                                              255, 255, 255, 255, 255, 255, 255, 255};
    return ramp;
}

}  // namespace

GLuint ToonTexture(MeshObjectX& mesh, const Ridezoda3D& scene) {
    if (mesh.toonTexture != 0) return mesh.toonTexture;
    const std::vector<uint8_t>& ramp = scene.toonRamp.empty() ? DefaultRamp() : scene.toonRamp;
    const int32_t tableSize = mesh.colourTable.count();
    int32_t rows = 1;
    while (rows < tableSize && rows <= 16384) rows *= 2;
    if (rows < tableSize) rows = tableSize;  // beyond 32767 rows the size itself
    int32_t columns = 64;
    const int64_t rampLength = static_cast<int64_t>(ramp.size());
    while (columns < 512 && columns < 4 * rampLength) columns *= 2;
    std::vector<uint8_t> texels(static_cast<size_t>(rows) * columns * 4);
    for (int32_t i = 0; i < rows; ++i) {
        const uint32_t entry = tableSize == 0 ? 0xFFFFFFu : mesh.colourTable[i < tableSize ? i : 0];
        for (int32_t j = 0; j < columns; ++j) {
            const uint32_t k = ramp[static_cast<size_t>(j * rampLength / columns)];
            uint8_t* t = &texels[(static_cast<size_t>(i) * columns + j) * 4];
            if (IsMarker(entry)) {
                t[0] = t[1] = t[2] = static_cast<uint8_t>(k);
            } else {
                t[0] = static_cast<uint8_t>((entry & 0xFF) * k / 255);
                t[1] = static_cast<uint8_t>(((entry >> 8) & 0xFF) * k / 255);
                t[2] = static_cast<uint8_t>(((entry >> 16) & 0xFF) * k / 255);
            }
            t[3] = 255;
        }
    }
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (rows > maxSize || columns > maxSize) return 0;  // a table the driver cannot hold: no toon texture
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, columns, rows, 0, GL_BGRA, GL_UNSIGNED_BYTE, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
    mesh.toonTexture = name;
    mesh.toonRowStep = 1.0f / static_cast<float>(rows);
    return name;
}

void DeleteToonTextures() {
    const bool context = GraphicsBackEnd != nullptr && GraphicsBackEnd->contextReady != 0;
    for (ObjectSlot& slot : Objects().slots)
        for (MeshObjectX& part : slot.parts) {
            if (part.toonTexture != 0 && context) glDeleteTextures(1, &part.toonTexture);
            part.toonTexture = 0;
        }
}

}  // namespace vtx

void SetToonRamp(const RtArray<double>& ramp) {
    vtx::Ridezoda3D* s = vtx::Scene3D();
    if (s == nullptr) return;
    vtx::FlushDrawBatch();
    // the elements of a one-dimensional array, in order
    const int32_t count = ramp.dimensionCount() == 1 ? ArrayBounds(ramp, 0) : 0;
    s->toonRamp.clear();
    for (int32_t i = 0; i < count; ++i) {
        const double v = ArrayElement(ramp, i);
        // each element becomes a byte (out-of-range and NaN values saturate)
        s->toonRamp.push_back(!(v > 0) ? 0 : v >= 255 ? 255 : static_cast<uint8_t>(v));
    }
    if (s->toonRamp.empty()) s->toonRamp.push_back(255);  // the one-step ramp
    vtx::DeleteToonTextures();
}
