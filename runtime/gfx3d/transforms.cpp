// The transform stack: 16 levels of translation, rotations, scale and extra
// matrices, composed lazily into the entity matrix.
#include <cmath>

#include "core/rt_array.h"
#include "gfx3d/camera.h"
#include "gfx3d/scene_commands.h"
#include "gfx3d/scene_context.h"

namespace vtx {
namespace {

constexpr double kPi = 3.14159265358979323846;

void Copy(const float from[16], float to[16]) {
    for (int i = 0; i < 16; ++i) to[i] = from[i];
}

// m := m x b
void MultiplyRight(float m[16], const float b[16]) {
    float out[16];
    MatMultiply(m, b, out);
    Copy(out, m);
}

// The rotation matrix of angle degrees about an axis: a single non-zero
// component means that axis with its sign; otherwise the normalised axis
// (none when it is 0.0001 long or less).
bool RotationMatrix(const float r[4], float m[16]) {
    float x = r[1], y = r[2], z = r[3];
    const int nonZero = (x != 0) + (y != 0) + (z != 0);
    if (nonZero == 1) {
        x = x > 0 ? 1.0f : x < 0 ? -1.0f : 0.0f;
        y = y > 0 ? 1.0f : y < 0 ? -1.0f : 0.0f;
        z = z > 0 ? 1.0f : z < 0 ? -1.0f : 0.0f;
    } else {
        const float length = std::sqrt(x * x + y * y + z * z);
        if (!(length > 0.0001f)) return false;
        x /= length;
        y /= length;
        z /= length;
    }
    const double a = r[0] * kPi / 180.0;
    const float c = static_cast<float>(std::cos(a)), s = static_cast<float>(std::sin(a)), t = 1 - c;
    MatIdentity(m);
    m[0] = t * x * x + c;
    m[1] = t * x * y + s * z;
    m[2] = t * x * z - s * y;
    m[4] = t * x * y - s * z;
    m[5] = t * y * y + c;
    m[6] = t * y * z + s * x;
    m[8] = t * x * z + s * y;
    m[9] = t * y * z - s * x;
    m[10] = t * z * z + c;
    return true;
}

void Compose(TransformLevel& level) {
    if (level.composedValid) return;
    float m[16];
    Copy(level.inherited, m);
    for (int i = 0; i < level.extraCount; ++i) MultiplyRight(m, level.extras[i]);
    if (level.translation[0] != 0 || level.translation[1] != 0 || level.translation[2] != 0) {
        float t[16];
        MatIdentity(t);
        t[12] = level.translation[0];
        t[13] = level.translation[1];
        t[14] = level.translation[2];
        MultiplyRight(m, t);
    }
    for (int i = level.rotationCount - 1; i >= 0; --i) {
        float r[16];
        if (RotationMatrix(level.rotations[i], r)) MultiplyRight(m, r);
    }
    if (level.scale[0] != 1 || level.scale[1] != 1 || level.scale[2] != 1) {
        float k[16];
        MatIdentity(k);
        k[0] = level.scale[0];
        k[5] = level.scale[1];
        k[10] = level.scale[2];
        MultiplyRight(m, k);
    }
    Copy(m, level.composed);
    level.composedValid = true;
}

void ResetLevel(TransformLevel& level, const float inherited[16]) {
    Copy(inherited, level.inherited);
    Copy(inherited, level.composed);
    level.composedValid = true;
    level.translation[0] = level.translation[1] = level.translation[2] = 0;
    level.scale[0] = level.scale[1] = level.scale[2] = 1;
    level.rotationCount = 0;
    level.extraCount = 0;
}

TransformLevel* CurrentLevel() {
    Ridezoda3D* s = Scene3D();
    return s == nullptr ? nullptr : &s->levels[s->depth];
}

}  // namespace

void MatIdentity(float m[16]) {
    for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

void MatMultiply(const float a[16], const float b[16], float out[16]) {
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) sum += a[k * 4 + r] * b[c * 4 + k];
            out[c * 4 + r] = sum;
        }
}

void MatTransformPoint(const float m[16], const float p[3], float out[3]) {
    for (int r = 0; r < 3; ++r) out[r] = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + m[12 + r];
}

const float* CurrentEntityMatrix() {
    TransformLevel* level = CurrentLevel();
    if (level == nullptr) return nullptr;
    Compose(*level);
    return level->composed;
}

bool CurrentEntityTransform(float out[16]) {
    const float* m = CurrentEntityMatrix();
    if (m == nullptr) return false;
    Copy(m, out);
    return true;
}

void ResetTransformStack() {
    Ridezoda3D* s = Scene3D();
    if (s == nullptr) return;
    float identity[16];
    MatIdentity(identity);
    s->depth = 0;
    ResetLevel(s->levels[0], identity);
}

}  // namespace vtx

void PushMatrix3D() {
    vtx::Ridezoda3D* s = vtx::Scene3D();
    if (s == nullptr || s->depth >= vtx::kTransformLevels - 1) return;
    const float* parent = vtx::CurrentEntityMatrix();
    float composed[16];
    for (int i = 0; i < 16; ++i) composed[i] = parent[i];
    ++s->depth;
    vtx::ResetLevel(s->levels[s->depth], composed);
}

void PopMatrix3D() {
    vtx::Ridezoda3D* s = vtx::Scene3D();
    if (s == nullptr) return;
    if (s->depth > 0) {
        --s->depth;
        return;
    }
    float identity[16];
    vtx::MatIdentity(identity);
    vtx::ResetLevel(s->levels[0], identity);
}

void MoveEntity(double x, double y, double z) {
    vtx::TransformLevel* level = vtx::CurrentLevel();
    if (level == nullptr || !vtx::AllFinite({x, y, z})) return;
    level->translation[0] = static_cast<float>(x);
    level->translation[1] = static_cast<float>(y);
    level->translation[2] = static_cast<float>(z);
    level->rotationCount = 0;
    level->extraCount = 0;
    level->composedValid = false;
}

void ScaleEntity(double x, double y, double z) {
    vtx::TransformLevel* level = vtx::CurrentLevel();
    if (level == nullptr || !vtx::AllFinite({x, y, z})) return;
    level->scale[0] = static_cast<float>(x);
    level->scale[1] = static_cast<float>(y);
    level->scale[2] = static_cast<float>(z);
    level->rotationCount = 0;
    level->extraCount = 0;
    level->composedValid = false;
}

void RotateEntity(double angle, double x, double y, double z) {
    vtx::TransformLevel* level = vtx::CurrentLevel();
    if (level == nullptr || !vtx::AllFinite({angle, x, y, z})) return;
    if (level->rotationCount >= vtx::kLevelRotations) return;  // a 17th rotation is ignored
    float* r = level->rotations[level->rotationCount++];
    r[0] = static_cast<float>(angle);
    r[1] = static_cast<float>(x);
    r[2] = static_cast<float>(y);
    r[3] = static_cast<float>(z);
    level->composedValid = false;
}

void MultiplyEntityMatrix(const RtArray<double>& matrix) {
    vtx::TransformLevel* level = vtx::CurrentLevel();
    if (level == nullptr) return;
    if (matrix.dimensionCount() != 1 || ArrayBounds(matrix, 0) != 16) return;
    if (level->extraCount >= vtx::kLevelExtraMatrices) return;  // no room: rejected like a 17th rotation
    float m[16];
    for (int i = 0; i < 16; ++i) {
        const double v = ArrayElement(matrix, i);
        if (!std::isfinite(v)) return;
        m[i] = static_cast<float>(v);
    }
    float* extra = level->extras[level->extraCount++];
    for (int i = 0; i < 16; ++i) extra[i] = m[i];
    level->composedValid = false;
}
