// Shader programs inside the runtime: the slot table, the current program,
// loading with any error callback, and the services the frame loop, the
// back-end and the 3D engine call.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

#include <array>
#include <cstdint>

namespace vtx {

constexpr int32_t kShaderSlots = 255;  // slots 0 to 254

// One slot: the linked program and the two shader objects it was made of;
// 0 means none.
struct ShaderSlot {
    GLhandleARB program = 0;
    GLhandleARB vertexShader = 0;
    GLhandleARB fragmentShader = 0;
};

struct ShaderTable {
    std::array<ShaderSlot, kShaderSlots> slots{};
    int32_t current = -1;               // -1: fixed-function drawing
    bool supportMessagePending = true;  // "No OpenGL 2.0 Shader Support" not yet reported
};

// The one table.
ShaderTable& Shaders();

// Receives every message of the shader commands, one text per call.
using ShaderErrorCallback = void (*)(const char* text);

// LoadShader with a chosen callback: compiles the vertex and then the
// fragment file of the slot and links them into its program.
bool LoadShaderProgram(int32_t slot, const char* vertexFile, const char* fragmentFile,
                       ShaderErrorCallback report);

// The slot whose program draws, or -1 for fixed-function drawing.
int32_t CurrentShader();

// Back to fixed-function drawing, as after every frame.
void ShadersOff();

// Forgets every slot and the current program: the context that owned their
// objects is gone. The support message stays reported.
void ForgetShaders();

// Empties the shader entry points, as a driver without shader objects
// leaves them (tests of that path; FetchGlExtensionFunctions fills them again).
void ForgetShaderEntryPoints();

}  // namespace vtx
