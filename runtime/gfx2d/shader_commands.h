// Shader commands: GLSL vertex and fragment programs loaded into 255 slots
// (0 to 254), one of them selected for all later drawing, and its uniforms
// and attributes set by name.
//
// Messages (compiler and linker logs, "vertex shader failed", "fragment
// shader failed", "link shader failed", "undefined uniform:" or "undefined
// attrib:" followed by the name, "No OpenGL 2.0 Shader Support") go to the
// debug output, one line each, and only in debug mode. No failure ends the
// program or changes the current shader.
#pragma once

#include <cstdint>

#include "../core/rt_string.h"

// Loads the vertex and then the fragment file (disk or memory names) into a
// slot, compiles both and links them. A missing file is skipped, so a slot
// whose two files are missing loads with no program and draws with the fixed
// function. False when the slot is outside 0 to 254, the driver has no
// shader objects, or a compile or the link fails (the fragment file is not
// read after a failed vertex shader).
bool LoadShader(double slot, const RtString& vertexFile, const RtString& fragmentFile);
// 0 to 254: draws with that slot's program from now on; any other value
// draws with the fixed function. Every frame starts with the fixed function.
void UseShader(double slot);
// Sets a float uniform of the current program; nothing without one.
void SetShaderFloat(const RtString& name, double value);
// Sets an integer uniform (a sampler) of the current program, silently.
void SetShaderInt(const RtString& name, int32_t value);
// Sets a one-float generic vertex attribute of the current program.
void SetShaderAttrib(const RtString& name, double value);
