// Drawing an object slot: frame choice and blending, culling against the
// view volume, the draw buffer and the vertex arrays handed to GL.
#include <GL/gl.h>
#include <GL/glext.h>

#include <cmath>
#include <cstddef>

#include "gfx2d/draw_batch.h"
#include "gfx2d/draw_state.h"
#include "gfx2d/sprite_store.h"
#include "gfx3d/draw_effects.h"
#include "gfx3d/object_slots.h"
#include "gfx3d/scene_commands.h"
#include "gfx3d/scene_context.h"
#include "host/gl_extensions.h"

namespace vtx {
namespace {

struct FrameChoice {
    int32_t first = 0, second = 0;
    float weight = 0;  // of the first frame
};

int32_t ClampFrame(double f, int32_t count) {
    if (!(f > 0)) return 0;
    if (f >= count - 1) return count - 1;
    return static_cast<int32_t>(f);
}

FrameChoice ChooseFrames(double a, double b, double factor, bool interpolate, int32_t count) {
    FrameChoice c;
    if (!interpolate) {
        c.first = ClampFrame(b, count);
        c.second = ClampFrame(a, count);
        c.weight = static_cast<float>(factor);
        return c;
    }
    if (factor < 0 || factor > 1) factor = std::fabs(std::fmod(factor, 1.0));
    const double q = a + (b - a) * factor;
    const double base = std::floor(q);
    const double fraction = q - base;
    if (a < b) {
        c.first = ClampFrame(base, count);
        c.second = ClampFrame(base + 1, count);
        c.weight = static_cast<float>(1 - fraction);
    } else if (a > b) {
        c.first = ClampFrame(base + 1, count);
        c.second = ClampFrame(base, count);
        c.weight = static_cast<float>(fraction);
    } else {
        c.first = c.second = ClampFrame(a, count);
        c.weight = 0;
    }
    return c;
}

// False when the bounding sphere lies wholly outside a plane of the view volume.
bool InsideView(const Ridezoda3D& s, const Frame& frame, const float m[16]) {
    float centre[3];
    MatTransformPoint(m, frame.centre, centre);
    bool identity = true;
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r)
            if (m[c * 4 + r] != (c == r ? 1.0f : 0.0f)) identity = false;
    float scale = 1;
    if (!identity) {
        scale = 0;
        for (int c = 0; c < 3; ++c) {
            const float l = std::sqrt(m[c * 4] * m[c * 4] + m[c * 4 + 1] * m[c * 4 + 1] + m[c * 4 + 2] * m[c * 4 + 2]);
            if (l > scale) scale = l;
        }
    }
    const float radius = frame.radius * scale;
    for (const auto& p : s.planes)
        if (p[0] * centre[0] + p[1] * centre[1] + p[2] * centre[2] + p[3] < -radius) return false;
    return true;
}

// The light position brought into object space by the rigid inverse of m.
void LightInObjectSpace(const float m[16], const float light[3], float out[3]) {
    const float d[3] = {light[0] - m[12], light[1] - m[13], light[2] - m[14]};
    for (int r = 0; r < 3; ++r) out[r] = m[r * 4] * d[0] + m[r * 4 + 1] * d[1] + m[r * 4 + 2] * d[2];
}

float Dot(const float a[3], const float b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Unit vector from the vertex to the light; zero when they coincide.
void ToLight(const float p[3], const float light[3], float out[3]) {
    out[0] = light[0] - p[0];
    out[1] = light[1] - p[1];
    out[2] = light[2] - p[2];
    const float l = std::sqrt(Dot(out, out));
    if (l > 0)
        for (int i = 0; i < 3; ++i) out[i] /= l;
}

void SetTexturePointer(GLenum unit, const Vertex* base, int32_t slotOffset) {
    if (GlExt.glClientActiveTextureARB == nullptr) {
        if (unit != GL_TEXTURE0_ARB) return;
    } else {
        GlExt.glClientActiveTextureARB(unit);
    }
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex),
                      reinterpret_cast<const char*>(base) + static_cast<ptrdiff_t>(slotOffset) * 4);
}

void DisableTexturePointer(GLenum unit) {
    if (GlExt.glClientActiveTextureARB == nullptr) {
        if (unit == GL_TEXTURE0_ARB) glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        return;
    }
    GlExt.glClientActiveTextureARB(unit);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    GlExt.glClientActiveTextureARB(GL_TEXTURE0_ARB);
}

// PrepareMesh, then fresh triangle lists when it computed anything.
void Prepare(MeshObjectX& mesh, bool normals, bool smooth, bool tangents) {
    if ((normals && mesh.normalsValid == 0) || (tangents && mesh.tangentsValid == 0)) {
        PrepareMesh(mesh, normals, smooth, tangents);
        mesh.BuildTriangles();
    }
}

void DrawMesh(Ridezoda3D& s, MeshObjectX& mesh, double a, double b, double factor, bool interpolate) {
    const int32_t frameCount = mesh.frames.count();
    if (frameCount == 0 || mesh.frames[0].vertices.count() == 0) return;                      // 1
    const FrameChoice choice = ChooseFrames(a, b, factor, interpolate, frameCount);            // 2
    const float* m = CurrentEntityMatrix();                                                    // 3
    if (!InsideView(s, mesh.frames[choice.first], m)) return;
    if (mesh.drawBuffer.count() == 0) mesh.BuildTriangles();                                   // 4
    const bool effect = s.effectOn && s.effectMode >= 1 && s.effectMode <= 3;
    if (effect) {                                                                              // 5
        // normals (and tangents for bump mapping) for the effect
        if (s.effectMode == 1)
            Prepare(mesh, true, Objects().smoothingMode == 2, true);
        else
            Prepare(mesh, true, false, false);
    }
    const Frame& first = mesh.frames[choice.first];
    const Frame& second = mesh.frames[choice.second];
    int32_t count = first.triangles.count();
    if (count == 0) return;
    const bool blend = choice.weight != 0 && second.triangles.count() >= count;
    float light[3] = {0, 0, 0};
    if (effect) LightInObjectSpace(m, s.effectPosition, light);
    const bool multitexture = GlExt.glActiveTextureARB != nullptr;

    if (effect && s.effectMode == 3) {
        if (!s.shadowsOn || !s.shadowPass) return;
        BuildEdgeNeighbours(mesh);
        const Vertex* source = first.triangles.data();
        if (blend) {
            mesh.drawBuffer.clear(false);
            Vertex* out = mesh.drawBuffer.extend(count);
            if (out == nullptr) return;
            for (int32_t i = 0; i < count; ++i) {
                out[i] = source[i];
                for (int k = 0; k < 3; ++k)
                    out[i].position[k] = choice.weight * source[i].position[k] +
                                         (1 - choice.weight) * second.triangles[i].position[k];
            }
            source = out;
        }
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glMultMatrixf(m);
        DrawShadowVolume(mesh, source, count - count % 3, light);
        glPopMatrix();
        return;
    }

    glColor4f(1.0f, 1.0f, 1.0f, CurrentAlpha());
    const GLuint toon = effect && s.effectMode == 2 ? ToonTexture(mesh, s) : 0;

    const bool offset = s.textureOffset[0] != 0 || s.textureOffset[1] != 0;
    const Vertex* data = first.triangles.data();
    if (blend || effect || offset) {                                                           // 6
        mesh.drawBuffer.clear(false);
        Vertex* out = mesh.drawBuffer.extend(count);
        if (out == nullptr) return;
        const Vertex* from = first.triangles.data();
        const float w = choice.weight;
        const float rows = mesh.toonRowStep;
        for (int32_t i = 0; i < count; ++i) {
            Vertex& v = out[i];
            v = from[i];
            if (blend) {
                const Vertex& o = second.triangles[i];
                for (int k = 0; k < 3; ++k) {
                    v.position[k] = w * from[i].position[k] + (1 - w) * o.position[k];
                    v.normal[k] = w * from[i].normal[k] + (1 - w) * o.normal[k];
                }
            }
            if (effect && multitexture) {
                float l[3];
                ToLight(v.position, light, l);
                if (s.effectMode == 1) {
                    v.light[0] = 0.5f + 0.5f * Dot(v.tangent, l);
                    v.light[1] = 0.5f + 0.5f * Dot(v.bitangent, l);
                    v.light[2] = 0.5f + 0.5f * Dot(v.normal, l);
                } else if (s.effectMode == 2) {
                    v.bitangent[1] = (static_cast<float>(v.colourIndex) + 0.5f) * rows;
                    // brightness grows with the cosine between normal and light
                    float term = Dot(v.normal, l);
                    term = term < 0 ? 0 : term;
                    v.bitangent[0] = 0.05f + 0.9f * term;
                }
            }
            v.uv[0] += s.textureOffset[0];
            v.uv[1] += s.textureOffset[1];
        }
        data = out;
    }

    // Hand the vertices to GL, through a buffer object where there is one.
    const Vertex* base = data;
    const bool useBuffer = s.useBufferObjects && GlExt.glBindBufferARB != nullptr &&
                           GlExt.glGenBuffersARB != nullptr && GlExt.glBufferDataARB != nullptr;
    if (useBuffer) {
        if (s.vertexBuffer == 0) GlExt.glGenBuffersARB(1, &s.vertexBuffer);
        GlExt.glBindBufferARB(GL_ARRAY_BUFFER_ARB, s.vertexBuffer);
        GlExt.glBufferDataARB(GL_ARRAY_BUFFER_ARB, static_cast<GLsizeiptrARB>(count) * sizeof(Vertex), data,
                              GL_STREAM_DRAW_ARB);
        base = nullptr;
    }
    const char* bytes = reinterpret_cast<const char*>(base);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex), bytes);
    SetTexturePointer(GL_TEXTURE0_ARB, base, 6);
    const bool normals = s.lightMask != 0 || s.sphereMapping;
    if (normals) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, sizeof(Vertex), bytes + 3 * 4);
    }
    const bool bump = effect && s.effectMode == 1 && multitexture;
    const bool toonDraw = effect && s.effectMode == 2 && multitexture && toon != 0;
    const bool colours = mesh.usesColours != 0 || bump;
    if (colours) {
        glEnableClientState(GL_COLOR_ARRAY);
        if (bump)
            glColorPointer(3, GL_FLOAT, sizeof(Vertex), bytes + 8 * 4);
        else
            glColorPointer(4, GL_FLOAT, sizeof(Vertex), bytes + 19 * 4);
    }
    glPushAttrib(GL_TEXTURE_BIT | GL_ENABLE_BIT | GL_LIGHTING_BIT);
    if (bump) {
        // unit 0: normal map DOT3 light vector; unit 1: its texture times that
        glDisable(GL_LIGHTING);
        GlExt.glActiveTextureARB(GL_TEXTURE0_ARB);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
        glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, GL_DOT3_RGB_ARB);
        glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB_ARB, GL_TEXTURE);
        glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB_ARB, GL_SRC_COLOR);
        glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB_ARB, GL_PRIMARY_COLOR_ARB);
        glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB_ARB, GL_SRC_COLOR);
        GlExt.glActiveTextureARB(GL_TEXTURE1_ARB);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        GlExt.glActiveTextureARB(GL_TEXTURE0_ARB);
        SetTexturePointer(GL_TEXTURE1_ARB, base, 6);
    } else if (toonDraw) {
        GlExt.glActiveTextureARB(GL_TEXTURE1_ARB);
        glBindTexture(GL_TEXTURE_2D, toon);
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        GlExt.glActiveTextureARB(GL_TEXTURE0_ARB);
        SetTexturePointer(GL_TEXTURE1_ARB, base, 14);
    }
    if (GlExt.glClientActiveTextureARB != nullptr) GlExt.glClientActiveTextureARB(GL_TEXTURE0_ARB);

    glMatrixMode(GL_MODELVIEW);                                                                // 8
    glPushMatrix();
    glMultMatrixf(m);
    if (s.sphereMapping) {
        glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
    }
    glDrawArrays(GL_TRIANGLES, 0, count - count % 3);
    glPopMatrix();
    glPopAttrib();
    if (bump || toonDraw) {
        DisableTexturePointer(GL_TEXTURE1_ARB);
        if (toonDraw) {
            // the unit's texture goes back to what the current pair bound
            GlExt.glActiveTextureARB(GL_TEXTURE1_ARB);
            glBindTexture(GL_TEXTURE_2D, 0);
            GlExt.glActiveTextureARB(GL_TEXTURE0_ARB);
        }
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    DisableTexturePointer(GL_TEXTURE0_ARB);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    if (useBuffer) GlExt.glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    glColor4f(1.0f, 1.0f, 1.0f, CurrentAlpha());
}

bool TextureNumberFits(const ObjectSlot& slot, int32_t n) { return n >= 0 && n < slot.textureCount; }

}  // namespace
}  // namespace vtx

int32_t DrawObject(int32_t slot, double frameA, double frameB, double factor, int32_t interpolate) {
    using namespace vtx;
    Ridezoda3D* s = Scene3D();
    if (s == nullptr || !s->sceneUsable || !AllFinite({frameA, frameB, factor})) return 0;
    FlushDrawBatch();
    BindSlot(s->texture[0], s->texture[1], s->textureMode != 0);
    ObjectSlot* o = ObjectSlotAt(slot);
    if (o == nullptr || o->valid == 0 || o->building != 0) return 0;
    if (o->multiPart != 0) {
        for (MeshObjectX& part : o->parts) {
            const int32_t t0 = part.texturePair[0], t1 = part.texturePair[1];
            if (TextureNumberFits(*o, t0))
                BindSlot(t0, TextureNumberFits(*o, t1) ? t1 : -1, false, o->textureNames.data());
            else
                BindSlot(-1);
            DrawMesh(*s, part, frameA, frameB, factor, interpolate != 0);
        }
        return 0;
    }
    if (!o->parts.empty()) DrawMesh(*s, o->parts[0], frameA, frameB, factor, interpolate != 0);
    return 0;
}

int32_t DrawObjectFrame(int32_t slot, double frame) { return DrawObject(slot, frame, frame, 0, 0); }
