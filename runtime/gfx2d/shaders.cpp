// Shader programs: LoadShader, UseShader, SetShaderFloat, SetShaderInt and
// SetShaderAttrib over the ARB shader-object entry points, the slot table,
// and switching programs off after every frame.
#include "gfx2d/shaders.h"

#include <string>
#include <vector>

#include "files/rt_file.h"
#include "gfx2d/draw_batch.h"
#include "gfx2d/draw_state.h"
#include "gfx2d/shader_commands.h"
#include "host/gl_extensions.h"
#include "host/debug_output.h"
#include "host/graphics_backend.h"
#include "host/project_settings.h"
#include "platform/platform.h"

namespace vtx {

namespace {

ShaderTable Table;

// GL calls need the context, which lives as long as the back-end.
bool ContextExists() { return GraphicsBackEnd != nullptr; }

bool InSlotRange(int32_t slot) { return slot >= 0 && slot < kShaderSlots; }

// Everything LoadShader calls. The driver gives the group as a whole; a
// partial group counts as none rather than calling through a null pointer.
bool LoadEntryPointsPresent() {
    const GlExtensionFunctions& gl = GlExt;
    return gl.glCreateShaderObjectARB != nullptr && gl.glCompileShaderARB != nullptr &&
           gl.glLinkProgramARB != nullptr && gl.glShaderSourceARB != nullptr &&
           gl.glGetObjectParameterivARB != nullptr && gl.glGetInfoLogARB != nullptr &&
           gl.glCreateProgramObjectARB != nullptr && gl.glAttachObjectARB != nullptr;
}

// The whole file, ended by a zero byte; false when it cannot be opened.
bool ReadSourceText(const char* name, std::vector<char>& text) {
    RtFile file;
    if (!file.openRead(name)) return false;
    text.assign(static_cast<size_t>(file.size()) + 1, 0);
    // A short read leaves zeros behind: the compiler sees what arrived.
    (void)file.read(text.data(), file.size());
    return true;
}

// Passes an object's info log to the callback.
void ReportInfoLog(GLhandleARB object, ShaderErrorCallback report) {
    GLint length = 0;
    GlExt.glGetObjectParameterivARB(object, GL_OBJECT_INFO_LOG_LENGTH_ARB, &length);
    std::vector<GLcharARB> log(static_cast<size_t>(length > 0 ? length : 0) + 1, 0);
    GlExt.glGetInfoLogARB(object, static_cast<GLsizei>(log.size()), nullptr, log.data());
    report(log.data());
}

// Compiles one file into a shader object stored in handle (left alone when
// the file cannot be opened). False after a failed compile, reported with
// its log and the failure text.
bool CompileShaderFile(GLenum type, const char* file, const char* failure, GLhandleARB& handle,
                       ShaderErrorCallback report) {
    std::vector<char> text;
    if (!ReadSourceText(file, text)) return true;  // a missing file is no error
    handle = GlExt.glCreateShaderObjectARB(type);
    const GLcharARB* source = text.data();
    GlExt.glShaderSourceARB(handle, 1, &source, nullptr);
    GlExt.glCompileShaderARB(handle);
    GLint compiled = 0;
    GlExt.glGetObjectParameterivARB(handle, GL_OBJECT_COMPILE_STATUS_ARB, &compiled);
    if (compiled != 0) return true;
    ReportInfoLog(handle, report);
    report(failure);
    return false;
}

// Links the slot's shader objects (vertex first) into a new program.
bool LinkSlot(ShaderSlot& slot, ShaderErrorCallback report) {
    slot.program = GlExt.glCreateProgramObjectARB();
    if (slot.vertexShader != 0) GlExt.glAttachObjectARB(slot.program, slot.vertexShader);
    if (slot.fragmentShader != 0) GlExt.glAttachObjectARB(slot.program, slot.fragmentShader);
    GlExt.glLinkProgramARB(slot.program);
    GLint linked = 0;
    GlExt.glGetObjectParameterivARB(slot.program, GL_OBJECT_LINK_STATUS_ARB, &linked);
    if (linked != 0) return true;
    ReportInfoLog(slot.program, report);
    report("link shader failed");
    return false;
}

void DeleteObject(GLhandleARB& handle) {
    if (handle != 0) GlExt.glDeleteObjectARB(handle);
    handle = 0;
}

// Draws what was collected with the old program, then makes another one draw.
void UseProgram(GLhandleARB program) {
    FlushDrawBatch();
    GlExt.glUseProgramObjectARB(program);
}

// The language's callback: one line on the debug output in debug mode.
void ReportToDebugOutput(const char* text) { DebugOutputLine(text); }

// The program a uniform or attribute belongs to, or false when none is
// current or the lookup is missing.
bool CurrentProgram(bool lookupPresent, GLhandleARB& program) {
    if (!lookupPresent || !ContextExists() || !InSlotRange(Table.current)) return false;
    program = Table.slots[static_cast<size_t>(Table.current)].program;
    return true;
}

// A slot without a program has no names; asking GL would only leave an
// error behind.
GLint UniformLocation(GLhandleARB program, const RtString& name) {
    return program != 0 ? GlExt.glGetUniformLocationARB(program, name.c_str()) : -1;
}
GLint AttribLocation(GLhandleARB program, const RtString& name) {
    return program != 0 ? GlExt.glGetAttribLocationARB(program, name.c_str()) : -1;
}

}  // namespace

ShaderTable& Shaders() { return Table; }

bool LoadShaderProgram(int32_t slotNumber, const char* vertexFile, const char* fragmentFile,
                       ShaderErrorCallback report) {
    if (!InSlotRange(slotNumber) || !ContextExists()) return false;
    if (!LoadEntryPointsPresent()) {
        if (Table.supportMessagePending) {
            Table.supportMessagePending = false;
            report("No OpenGL 2.0 Shader Support");
        }
        return false;
    }
    FlushDrawBatch();  // objects about to go may still draw collected vertices
    ShaderSlot& slot = Table.slots[static_cast<size_t>(slotNumber)];
    if (GlExt.glDeleteObjectARB != nullptr) {
        DeleteObject(slot.program);
        DeleteObject(slot.vertexShader);
        DeleteObject(slot.fragmentShader);
    }
    bool result = CompileShaderFile(GL_VERTEX_SHADER_ARB, vertexFile, "vertex shader failed", slot.vertexShader,
                                    report);
    if (result)
        result = CompileShaderFile(GL_FRAGMENT_SHADER_ARB, fragmentFile, "fragment shader failed",
                                   slot.fragmentShader, report);
    if (result && (slot.vertexShader != 0 || slot.fragmentShader != 0)) result = LinkSlot(slot, report);
    // Reloading the current slot: its new program draws and takes the
    // uniforms from now on, not the deleted one GL kept in use.
    if (slotNumber == Table.current && GlExt.glUseProgramObjectARB != nullptr)
        UseProgram(result ? slot.program : 0);
    return result;
}

int32_t CurrentShader() { return Table.current; }

void ShadersOff() { UseShader(-1); }

void ForgetShaders() {
    Table.slots.fill(ShaderSlot{});
    Table.current = -1;
}

void ForgetShaderEntryPoints() {
    GlExtensionFunctions& gl = GlExt;
    gl.glCreateProgramObjectARB = nullptr;
    gl.glDeleteObjectARB = nullptr;
    gl.glCreateShaderObjectARB = nullptr;
    gl.glShaderSourceARB = nullptr;
    gl.glCompileShaderARB = nullptr;
    gl.glGetObjectParameterivARB = nullptr;
    gl.glAttachObjectARB = nullptr;
    gl.glGetInfoLogARB = nullptr;
    gl.glLinkProgramARB = nullptr;
    gl.glUseProgramObjectARB = nullptr;
    gl.glGetUniformLocationARB = nullptr;
    gl.glUniform1fARB = nullptr;
    gl.glUniform1iARB = nullptr;
    gl.glGetAttribLocationARB = nullptr;
    gl.glVertexAttrib1fARB = nullptr;
}

}  // namespace vtx

bool LoadShader(double slot, const RtString& vertexFile, const RtString& fragmentFile) {
    return vtx::LoadShaderProgram(vtx::TruncateToInt(slot), vertexFile.c_str(), fragmentFile.c_str(),
                                  vtx::ReportToDebugOutput);
}

void UseShader(double slot) {
    using namespace vtx;
    if (GlExt.glUseProgramObjectARB == nullptr || !ContextExists()) return;
    const int32_t n = TruncateToInt(slot);
    if (InSlotRange(n)) {
        Table.current = n;
        UseProgram(Table.slots[static_cast<size_t>(n)].program);
    } else {
        UseProgram(0);
        Table.current = -1;
    }
}

void SetShaderFloat(const RtString& name, double value) {
    using namespace vtx;
    GLhandleARB program = 0;
    if (!CurrentProgram(GlExt.glGetUniformLocationARB != nullptr, program)) return;
    const GLint location = UniformLocation(program, name);
    if (location == -1) {
        ReportToDebugOutput("undefined uniform:");
        ReportToDebugOutput(name.c_str());
        return;
    }
    if (GlExt.glUniform1fARB == nullptr) return;
    FlushDrawBatch();  // collected vertices keep the value they were drawn with
    GlExt.glUniform1fARB(location, ToFloat(value));
}

void SetShaderInt(const RtString& name, int32_t value) {
    using namespace vtx;
    GLhandleARB program = 0;
    if (!CurrentProgram(GlExt.glGetUniformLocationARB != nullptr, program)) return;
    const GLint location = UniformLocation(program, name);
    if (location == -1 || GlExt.glUniform1iARB == nullptr) return;
    FlushDrawBatch();
    GlExt.glUniform1iARB(location, value);
}

void SetShaderAttrib(const RtString& name, double value) {
    using namespace vtx;
    GLhandleARB program = 0;
    if (!CurrentProgram(GlExt.glGetAttribLocationARB != nullptr, program)) return;
    const GLint location = AttribLocation(program, name);
    if (location == -1) {
        ReportToDebugOutput("undefined attrib:");
        ReportToDebugOutput(name.c_str());
        return;
    }
    if (GlExt.glVertexAttrib1fARB == nullptr) return;
    FlushDrawBatch();
    GlExt.glVertexAttrib1fARB(static_cast<GLuint>(location), ToFloat(value));
}
