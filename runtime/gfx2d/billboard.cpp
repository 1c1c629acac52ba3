// The billboard: a sprite in 3D that always faces the camera, spanned along
// the right and up directions of the current model-view matrix.
#include <GL/gl.h>

#include "gfx2d/draw_batch.h"
#include "gfx2d/draw_commands.h"
#include "gfx2d/draw_state.h"
#include "gfx2d/sprite_store.h"

namespace vtx {
namespace {

struct Vec3 {
    float x, y, z;
};

// a + b * k, component by component.
Vec3 AddScaled(const Vec3& a, const Vec3& b, float k) { return Vec3{a.x + b.x * k, a.y + b.y * k, a.z + b.z * k}; }

}  // namespace
}  // namespace vtx

// A camera-facing quad standing on (x, y, z): a quarter of the picture's
// width either side, half its height upwards, both times size. Drawn at
// once: it reads the model-view matrix of the 3D scene.
void BillboardSprite(int32_t slot, double x, double y, double z, double size) {
    vtx::FlushDrawBatch();
    const vtx::SpriteSlot* s = vtx::BindSpriteForDrawing(slot);
    if (s == nullptr) return;
    GLfloat m[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    const vtx::Vec3 right{m[0], m[4], m[8]};
    const vtx::Vec3 up{m[1], m[5], m[9]};
    const float scale = vtx::ToFloat(size);
    const float halfWidth = static_cast<float>(s->width / 4) * scale;
    const float height = static_cast<float>(s->height / 2) * scale;
    const float uRight = (static_cast<float>(s->width) - 0.5f) / static_cast<float>(s->texWidth);
    const float vTop = (static_cast<float>(s->height) - 0.5f) / static_cast<float>(s->texHeight);
    const vtx::Vec3 p{vtx::ToFloat(x), vtx::ToFloat(y), vtx::ToFloat(z)};
    const vtx::Vec3 leftFoot = vtx::AddScaled(p, right, -halfWidth);
    const vtx::Vec3 rightFoot = vtx::AddScaled(p, right, halfWidth);
    const vtx::Vec3 rightHead = vtx::AddScaled(rightFoot, up, height);
    const vtx::Vec3 leftHead = vtx::AddScaled(leftFoot, up, height);
    vtx::ClampBoundTexture();
    glBegin(GL_TRIANGLE_FAN);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(leftFoot.x, leftFoot.y, leftFoot.z);
    glTexCoord2f(uRight, 0.0f);
    glVertex3f(rightFoot.x, rightFoot.y, rightFoot.z);
    glTexCoord2f(uRight, vTop);
    glVertex3f(rightHead.x, rightHead.y, rightHead.z);
    glTexCoord2f(0.0f, vTop);
    glVertex3f(leftHead.x, leftHead.y, leftHead.z);
    glEnd();
}
