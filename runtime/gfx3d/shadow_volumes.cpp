// Stencil shadow volumes: the edge neighbour table, the light side of each
// triangle, silhouettes and caps, and the shadow pass with its dark cover.
#include <GL/gl.h>

#include <cmath>

#include "gfx2d/draw_batch.h"
#include "gfx3d/draw_effects.h"
#include "gfx3d/scene_context.h"
#include "host/frames_internal.h"
#include "host/gl_extensions.h"
#include "host/graphics_backend.h"

namespace vtx {
namespace {

constexpr GLenum kDepthClamp = 0x864F;  // GL_DEPTH_CLAMP

bool SamePosition(const Vertex& a, const Vertex& b) {
    return std::fabs(a.position[0] - b.position[0]) <= 0.00001f && std::fabs(a.position[1] - b.position[1]) <= 0.00001f &&
           std::fabs(a.position[2] - b.position[2]) <= 0.00001f;
}

// The dark cover: black at alpha 0.5 wherever the stencil is not 0.
void CoverShadowedPixels() {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    const OpenGLRidezoda* gfx = GraphicsBackEnd;
    const double w = gfx != nullptr && gfx->width > 0 ? gfx->width : 640;
    const double h = gfx != nullptr && gfx->height > 0 ? gfx->height : 480;
    glOrtho(0.0, w, h, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_NOTEQUAL, 0, 0xFFFFFFFFu);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    glColor4f(0.0f, 0.0f, 0.0f, 0.5f);
    glBegin(GL_QUADS);
    glVertex2f(0, 0);
    glVertex2f(3000, 0);
    glVertex2f(3000, 2000);
    glVertex2f(0, 2000);
    glEnd();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glPopAttrib();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

void EmitVolume(const MeshObjectX& mesh, const Vertex* t, int32_t count, const float light[3]) {
    auto far = [light](const Vertex& v) {
        glVertex4f(v.position[0] - light[0], v.position[1] - light[1], v.position[2] - light[2], 0.0f);
    };
    glBegin(GL_QUADS);
    for (int32_t i = 0; i + 2 < count; i += 3) {
        if (mesh.triangleLit[static_cast<size_t>(i / 3)] == 0) continue;
        for (int j = 0; j < 3; ++j) {
            if (mesh.edgeSilhouette[static_cast<size_t>(i + j)] == 0) continue;
            const Vertex& a = t[i + j];
            const Vertex& b = t[i + (j + 1) % 3];
            glVertex3fv(b.position);
            glVertex3fv(a.position);
            far(a);
            far(b);
        }
    }
    glEnd();
    glBegin(GL_TRIANGLES);
    for (int32_t i = 0; i + 2 < count; i += 3) {
        if (mesh.triangleLit[static_cast<size_t>(i / 3)] != 0) {
            for (int j = 0; j < 3; ++j) glVertex3fv(t[i + j].position);
        } else {
            for (int j = 0; j < 3; ++j) far(t[i + j]);
        }
    }
    glEnd();
}

}  // namespace

void BuildEdgeNeighbours(MeshObjectX& mesh) {
    const GrowList<Vertex>& t = mesh.frames[0].triangles;
    const int32_t count = t.count() - t.count() % 3;
    if (static_cast<int32_t>(mesh.edgeNeighbour.size()) == count) return;
    std::vector<int32_t> corner(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        corner[static_cast<size_t>(i)] = i;
        for (int32_t k = 0; k < i; ++k)
            if (SamePosition(t[k], t[i])) {
                corner[static_cast<size_t>(i)] = k;
                break;
            }
    }
    mesh.edgeNeighbour.assign(static_cast<size_t>(count), -1);
    mesh.edgeSilhouette.assign(static_cast<size_t>(count), 0);
    const int32_t triangles = count / 3;
    for (int32_t i = 0; i < triangles; ++i)
        for (int j = 0; j < 3; ++j) {
            if (mesh.edgeNeighbour[static_cast<size_t>(i * 3 + j)] != -1) continue;
            const int32_t a = corner[static_cast<size_t>(i * 3 + j)];
            const int32_t b = corner[static_cast<size_t>(i * 3 + (j + 1) % 3)];
            for (int32_t l = i + 1; l < triangles; ++l)
                for (int k = 0; k < 3; ++k) {
                    const int32_t c = corner[static_cast<size_t>(l * 3 + k)];
                    const int32_t d = corner[static_cast<size_t>(l * 3 + (k + 1) % 3)];
                    if ((a == c && b == d) || (a == d && b == c)) {
                        mesh.edgeNeighbour[static_cast<size_t>(i * 3 + j)] = l;
                        mesh.edgeNeighbour[static_cast<size_t>(l * 3 + k)] = i;
                    }
                }
        }
}

void DrawShadowVolume(MeshObjectX& mesh, const Vertex* t, int32_t count, const float light[3]) {
    if (static_cast<int32_t>(mesh.edgeNeighbour.size()) < count) return;  // frames of unequal size
    const int32_t triangles = count / 3;
    mesh.triangleLit.assign(static_cast<size_t>(triangles), 0);
    for (int32_t i = 0; i < triangles; ++i) {
        const float* p0 = t[i * 3].position;
        const float* p1 = t[i * 3 + 1].position;
        const float* p2 = t[i * 3 + 2].position;
        const float e1[3] = {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
        const float e2[3] = {p2[0] - p0[0], p2[1] - p0[1], p2[2] - p0[2]};
        const float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
        float toLight[3];
        for (int k = 0; k < 3; ++k) toLight[k] = light[k] - (p0[k] + p1[k] + p2[k]) * 0.33333334f;
        mesh.triangleLit[static_cast<size_t>(i)] = n[0] * toLight[0] + n[1] * toLight[1] + n[2] * toLight[2] >= 0;
    }
    for (int32_t e = 0; e < triangles * 3; ++e) {
        const int32_t neighbour = mesh.edgeNeighbour[static_cast<size_t>(e)];
        mesh.edgeSilhouette[static_cast<size_t>(e)] =
            mesh.triangleLit[static_cast<size_t>(e / 3)] != 0 &&
            (neighbour < 0 || neighbour >= triangles || mesh.triangleLit[static_cast<size_t>(neighbour)] == 0);
    }
    glPushAttrib(GL_ENABLE_BIT | GL_POLYGON_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    // The volume lies a little behind the surfaces it starts on, so the lit
    // faces of the caster (its front cap) never mark themselves as shadowed.
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1.0f, 4.0f);
    // Corners sent to infinity lie beyond the far plane; with depth clamping
    // the volume is not cut there, so it does not mark empty background.
    static const bool depthClamp = HasGlExtension("GL_ARB_depth_clamp") || HasGlExtension("GL_NV_depth_clamp");
    if (depthClamp) glEnable(kDepthClamp);
    glDepthFunc(GL_LEQUAL);
    glStencilFunc(GL_ALWAYS, 0, 0xFFFFFFFFu);
    glCullFace(GL_BACK);
    glStencilOp(GL_KEEP, GL_KEEP, GL_INCR);
    EmitVolume(mesh, t, count, light);
    glCullFace(GL_FRONT);
    glStencilOp(GL_KEEP, GL_KEEP, GL_DECR);
    EmitVolume(mesh, t, count, light);
    glCullFace(GL_BACK);
    glPopAttrib();
}

void SetShadowPass(bool on) {
    Ridezoda3D* s = Scene3D();
    if (s == nullptr || s->shadowPass == on) return;
    FlushDrawBatch();
    s->shadowPass = on;
    NoteDepthStencilUse();
    if (on) {
        glShadeModel(GL_FLAT);
        glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
        glDepthMask(GL_FALSE);
        glEnable(GL_STENCIL_TEST);
        return;
    }
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LEQUAL);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    CoverShadowedPixels();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDepthFunc(GL_LESS);
    glClearStencil(0);
    glClear(GL_STENCIL_BUFFER_BIT);
    glDisable(GL_STENCIL_TEST);
    glShadeModel(GL_SMOOTH);
    ApplyCullMode();
}

}  // namespace vtx
