// The 3D context: camera, frustum, transform stack, lights, effect light and
// the drawing modes shared by the scene commands and the object drawing.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace vtx {

inline constexpr int32_t kTransformLevels = 16;     // depths 0 .. 15
inline constexpr int32_t kLevelRotations = 16;      // rotations kept per level
inline constexpr int32_t kLevelExtraMatrices = 16;  // extra matrices kept per level

// One level of the transform stack. Matrices are 16 floats in GL column order.
struct TransformLevel {
    float inherited[16];  // the parent's composed matrix at push time
    float composed[16];
    bool composedValid = true;
    float translation[3] = {0, 0, 0};
    float scale[3] = {1, 1, 1};
    int32_t rotationCount = 0;
    float rotations[kLevelRotations][4];  // angle in degrees, axis x, y, z
    int32_t extraCount = 0;
    float extras[kLevelExtraMatrices][16];
};

class Ridezoda3D {
public:
    Ridezoda3D();
    virtual ~Ridezoda3D();
    Ridezoda3D(const Ridezoda3D&) = delete;
    Ridezoda3D& operator=(const Ridezoda3D&) = delete;

    // camera
    float nearDistance = 1.0f, farDistance = 1000.0f;
    float cullTangent = 1.0f;
    float eye[3] = {0, 0, 0};
    float target[3] = {0, 0, -1};
    float up[3] = {0, 1, 0};
    float cameraMatrix[16];
    float projection[16];
    int32_t viewport[4] = {0, 0, 0, 0};  // x, y from the window's bottom left, w, h
    bool orthographic = false;
    // False after a scene set-up with unusable numbers: nothing is drawn
    // until the next good BeginScene3D.
    bool sceneUsable = true;
    // frustum: a, b, c, d with (a, b, c) of length 1; inside is a x + b y + c z + d >= 0
    float planes[6][4];
    // transform stack
    TransformLevel levels[kTransformLevels];
    int32_t depth = 0;
    // lights
    uint32_t lightMask = 0;
    // effect light
    float effectPosition[3] = {0, 0, 0};
    float effectColour[3] = {1, 1, 1};
    int32_t effectMode = 0;  // 0 none, 1 bump mapping, 2 toon, 3 shadow volumes
    bool effectOn = false;
    bool shadowsOn = false;
    // modes
    int32_t cullMode = 0;
    bool sphereMapping = false;
    bool shadowPass = false;
    int32_t texture[2] = {-1, -1};
    int32_t textureMode = 0;
    float textureOffset[2] = {0, 0};
    std::vector<uint8_t> toonRamp;  // empty: the default ramp
    bool useBufferObjects = true;   // vertex buffer objects where the driver has them
    GLuint vertexBuffer = 0;
};

// The context, null before start-up created it.
Ridezoda3D* Scene3D();
// Creates the context (start-up) or, when it exists, keeps it.
void CreateScene3DContext();
// Deletes the context's GL objects and the context (shutdown).
void DestroyScene3DContext();

// Matrix helpers (GL column order).
void MatIdentity(float m[16]);
void MatMultiply(const float a[16], const float b[16], float out[16]);  // out = a * b
void MatTransformPoint(const float m[16], const float p[3], float out[3]);
// The entity matrix of the current level, composed if needed.
const float* CurrentEntityMatrix();
// Resets the stack to level 0 with identity matrices.
void ResetTransformStack();
// Applies the stored cull mode to GL.
void ApplyCullMode();
// Begins or ends the shadow pass; nothing when on equals the current state.
void SetShadowPass(bool on);
// Re-reads the camera matrix into GL's model-view matrix.
void LoadCameraMatrix();
// True when every value is finite.
bool AllFinite(std::initializer_list<double> values);

}  // namespace vtx
