// The 3D context and the scene set-up: projection, fixed render state, the
// depth buffer and the drawing modes.
#include <GL/gl.h>

#include <cmath>
#include <memory>

#include "gfx2d/draw_batch.h"
#include "gfx2d/draw_commands.h"
#include "gfx2d/font_commands.h"
#include "gfx2d/draw_state.h"
#include "gfx2d/offscreen_screens.h"
#include "gfx2d/shaders.h"
#include "gfx2d/sprite_store.h"
#include "gfx3d/camera.h"
#include "gfx3d/scene_commands.h"
#include "gfx3d/scene_context.h"
#include "host/frames_internal.h"
#include "host/gl_extensions.h"
#include "host/graphics_backend.h"

namespace vtx {
namespace {

std::unique_ptr<Ridezoda3D> Context;

constexpr double kPi = 3.14159265358979323846;

// The two sampler uniforms of an active shader program name units 0 and 1.
void PointSamplersAtUnits() {
    const int32_t current = CurrentShader();
    if (current < 0 || GlExt.glGetUniformLocationARB == nullptr || GlExt.glUniform1iARB == nullptr) return;
    const GLhandleARB program = Shaders().slots[static_cast<size_t>(current)].program;
    const GLint first = GlExt.glGetUniformLocationARB(program, "TextureID1");
    const GLint second = GlExt.glGetUniformLocationARB(program, "TextureID2");
    if (first >= 0) GlExt.glUniform1iARB(first, 0);
    if (second >= 0) GlExt.glUniform1iARB(second, 1);
}

void Frustum(float l, float r, float b, float t, float n, float f, float m[16]) {
    MatIdentity(m);
    m[0] = 2 * n / (r - l);
    m[5] = 2 * n / (t - b);
    m[8] = (r + l) / (r - l);
    m[9] = (t + b) / (t - b);
    m[10] = -(f + n) / (f - n);
    m[11] = -1;
    m[14] = -2 * f * n / (f - n);
    m[15] = 0;
}

void Ortho(float l, float r, float b, float t, float n, float f, float m[16]) {
    MatIdentity(m);
    m[0] = 2 / (r - l);
    m[5] = 2 / (t - b);
    m[10] = -2 / (f - n);
    m[12] = -(r + l) / (r - l);
    m[13] = -(t + b) / (t - b);
    m[14] = -(f + n) / (f - n);
}

}  // namespace

Ridezoda3D::Ridezoda3D() {
    MatIdentity(cameraMatrix);
    MatIdentity(projection);
    for (auto& p : planes) p[0] = p[1] = p[2] = p[3] = 0;
    for (auto& level : levels) {
        MatIdentity(level.inherited);
        MatIdentity(level.composed);
    }
}

Ridezoda3D::~Ridezoda3D() = default;

Ridezoda3D* Scene3D() { return Context.get(); }

void CreateScene3DContext() {
    if (!Context) Context = std::make_unique<Ridezoda3D>();
}

void DestroyScene3DContext() {
    if (Context && Context->vertexBuffer != 0 && GlExt.glDeleteBuffersARB != nullptr && GraphicsBackEnd != nullptr &&
        GraphicsBackEnd->contextReady != 0)
        GlExt.glDeleteBuffersARB(1, &Context->vertexBuffer);
    Context.reset();
}

bool AllFinite(std::initializer_list<double> values) {
    for (double v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

void ApplyCullMode() {
    Ridezoda3D* s = Scene3D();
    if (s == nullptr) return;
    if (s->cullMode == 0) {
        glDisable(GL_CULL_FACE);
        return;
    }
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(s->cullMode > 0 ? GL_CW : GL_CCW);
}

bool CurrentCameraView(CameraView& view) {
    Ridezoda3D* s = Scene3D();
    if (s == nullptr) return false;
    view.view = s->cameraMatrix;
    view.projection = s->projection;
    view.viewport = s->viewport;
    view.planes = s->planes;
    view.eye = s->eye;
    view.nearDistance = s->nearDistance;
    view.farDistance = s->farDistance;
    view.orthographic = s->orthographic;
    return true;
}

}  // namespace vtx

void BeginScene3D(double nearDistance, double farDistance, double fov) {
    using namespace vtx;
    Ridezoda3D* s = Scene3D();
    if (s == nullptr || GraphicsBackEnd == nullptr) return;
    OpenGLRidezoda& gfx = *GraphicsBackEnd;
    FlushDrawBatch();
    SetShadowPass(false);
    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
    NoteDepthStencilUse();

    // Unusable numbers set up nothing; the scene draws nothing until a good
    // BeginScene3D. fov 180 and beyond has no finite frustum.
    const bool finite = AllFinite({nearDistance, farDistance, fov});
    const double n = nearDistance, f = farDistance;
    bool usable = finite && n < f && fov < 180.0 && fov > -180.0;
    if (usable && fov != 0.0 && n <= 0.0) usable = false;  // h = n tan(...) needs a positive near plane
    s->sceneUsable = usable;
    if (!usable) return;

    s->nearDistance = static_cast<float>(n);
    s->farDistance = static_cast<float>(f);
    s->cullTangent = static_cast<float>(std::tan((fov + 5 < 89 ? fov + 5 : 89) * kPi / 180.0));     // 1

    const bool turned = gfx.rotated != 0 && !OffscreenTargetActive();                              // 2
    const int32_t vw = gfx.viewportW > 0 ? gfx.viewportW : gfx.width;
    const int32_t vh = gfx.viewportH > 0 ? gfx.viewportH : gfx.height;
    s->viewport[0] = gfx.viewportX;
    s->viewport[1] = gfx.height - gfx.viewportY - vh;
    s->viewport[2] = vw;
    s->viewport[3] = vh;
    glViewport(s->viewport[0], s->viewport[1], vw, vh);

    const double aspect = static_cast<double>(vw) / static_cast<double>(vh > 0 ? vh : 1);           // 3
    float box[16];
    if (fov > 0) {
        const double h = n * std::tan(fov * kPi / 360.0);
        Frustum(static_cast<float>(-aspect * h), static_cast<float>(aspect * h), static_cast<float>(-h),
                static_cast<float>(h), s->nearDistance, s->farDistance, box);
        s->orthographic = false;
    } else {
        // fov 0 would give a box of size 0: it gets one unit per viewport pixel.
        const double h = fov < 0 ? n * std::tan(-fov * kPi / 360.0) * 100.0 : vh / 2.0;
        Ortho(static_cast<float>(-aspect * h), static_cast<float>(aspect * h), static_cast<float>(-h),
              static_cast<float>(h), s->nearDistance, s->farDistance, box);
        s->orthographic = true;
        s->cullTangent = static_cast<float>(std::tan(89.0 * kPi / 180.0));
    }
    if (turned) {
        float turn[16];
        MatIdentity(turn);
        turn[0] = 0; turn[1] = -1; turn[4] = 1; turn[5] = 0;  // -90 degrees about z
        MatMultiply(turn, box, s->projection);
    } else {
        for (int i = 0; i < 16; ++i) s->projection[i] = box[i];
    }
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(s->projection);
    glMatrixMode(GL_MODELVIEW);
    gfx.mode2D = false;

    glEnable(GL_DEPTH_TEST);                                                                      // 4
    glDepthFunc(GL_LESS);
    glFrontFace(GL_CCW);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.05f);
    glColor4f(1.0f, 1.0f, 1.0f, CurrentAlpha());
    for (GLenum cap : {GL_FOG, GL_LINE_SMOOTH, GL_POINT_SMOOTH, GL_POLYGON_SMOOTH, GL_STENCIL_TEST, GL_NORMALIZE,
                       GL_LIGHTING})
        glDisable(cap);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DITHER);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
    for (int i = 0; i < 8; ++i) glDisable(GL_LIGHT0 + i);

    s->eye[0] = s->eye[1] = s->eye[2] = 0;                                                        // 5
    s->target[0] = s->target[1] = 0;
    s->target[2] = -1;
    s->up[0] = s->up[2] = 0;
    s->up[1] = 1;
    SetCamera(0, 0, 0, 0, 0, -1);
    s->cullMode = 0;
    ApplyCullMode();
    s->lightMask = 0;
    s->effectOn = false;
    s->effectMode = 0;
    s->shadowsOn = false;
    s->texture[0] = s->texture[1] = -1;
    BindSlot(-1);
    PointSamplersAtUnits();
}

void ClearDepth3D() {
    using namespace vtx;
    if (Scene3D() == nullptr || GraphicsBackEnd == nullptr) return;
    FlushDrawBatch();
    SetShadowPass(false);
    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
    NoteDepthStencilUse();
}

void SetCullMode(double value) {
    vtx::Ridezoda3D* s = vtx::Scene3D();
    if (s == nullptr || std::isnan(value)) return;
    vtx::FlushDrawBatch();
    s->cullMode = value > 0 ? 1 : value < 0 ? -1 : 0;
    vtx::ApplyCullMode();
}

void SetTexture3D(int32_t texture1, int32_t texture2) {
    vtx::Ridezoda3D* s = vtx::Scene3D();
    if (s == nullptr) return;
    s->texture[0] = texture1;
    s->texture[1] = texture2;
    vtx::BindSlot(texture1, texture2, s->textureMode != 0);
    vtx::PointSamplersAtUnits();
}

void SetTextureMode3D(int32_t mode) {
    vtx::Ridezoda3D* s = vtx::Scene3D();
    if (s != nullptr) s->textureMode = mode;
}

void SetSphereMapping(int32_t on) {
    vtx::Ridezoda3D* s = vtx::Scene3D();
    if (s != nullptr) s->sphereMapping = on != 0;
}

void SetTextureOffset3D(double du, double dv) {
    vtx::Ridezoda3D* s = vtx::Scene3D();
    if (s == nullptr || !vtx::AllFinite({du, dv})) return;
    s->textureOffset[0] = static_cast<float>(du);
    s->textureOffset[1] = static_cast<float>(dv);
}

void BillboardSprite3D(int32_t slot, double x, double y, double z, double size) {
    vtx::Ridezoda3D* s = vtx::Scene3D();
    if (s == nullptr) return;
    vtx::FlushDrawBatch();
    const int32_t stored = s->cullMode;
    s->cullMode = -1;
    vtx::ApplyCullMode();
    BillboardSprite(slot, x, y, z, size);
    s->cullMode = stored;
    vtx::ApplyCullMode();
}

void PrintText3DScene(const RtString& text, double x, double y, double z, double size) {
    PrintText3D(text, x, y, z, size);
}
