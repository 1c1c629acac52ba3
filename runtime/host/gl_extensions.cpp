// Extension entry points and the whole-word extension test.
#include "host/gl_extensions.h"

#include <cstring>

#include "platform/window.h"

namespace vtx {

GlExtensionFunctions GlExt;

namespace {

const char* ExtensionString() {
    const GLubyte* text = glGetString(GL_EXTENSIONS);
    return text != nullptr ? reinterpret_cast<const char*>(text) : "";
}

bool ExtensionStringContains(const char* name) { return std::strstr(ExtensionString(), name) != nullptr; }

template <typename F>
void Fetch(F& slot, const char* name) {
    slot = reinterpret_cast<F>(platform::GlProcAddress(name));
}

#define VTX_FETCH(fn) Fetch(GlExt.fn, #fn)

}  // namespace

void FetchGlExtensionFunctions() {
    if (ExtensionStringContains("GL_ARB_multitexture")) {
        VTX_FETCH(glActiveTextureARB);
        VTX_FETCH(glMultiTexCoord2fARB);
        VTX_FETCH(glClientActiveTextureARB);
        VTX_FETCH(glGenBuffersARB);
        VTX_FETCH(glBindBufferARB);
        VTX_FETCH(glBufferDataARB);
        VTX_FETCH(glDeleteBuffersARB);
        VTX_FETCH(glMapBufferARB);
        VTX_FETCH(glUnmapBufferARB);
        VTX_FETCH(glGetBufferParameterivARB);
    }
    if (ExtensionStringContains("GL_ARB_fragment_program")) {
        VTX_FETCH(glCreateProgramObjectARB);
        VTX_FETCH(glDeleteObjectARB);
        VTX_FETCH(glCreateShaderObjectARB);
        VTX_FETCH(glShaderSourceARB);
        VTX_FETCH(glCompileShaderARB);
        VTX_FETCH(glGetObjectParameterivARB);
        VTX_FETCH(glAttachObjectARB);
        VTX_FETCH(glGetInfoLogARB);
        VTX_FETCH(glLinkProgramARB);
        VTX_FETCH(glUseProgramObjectARB);
        VTX_FETCH(glGetUniformLocationARB);
        VTX_FETCH(glUniform1fARB);
        VTX_FETCH(glUniform1iARB);
        VTX_FETCH(glGetAttribLocationARB);
        VTX_FETCH(glVertexAttrib1fARB);
    }
}

void FetchFramebufferFunctions() {
    if (!ExtensionStringContains("GL_EXT_framebuffer_object")) return;
    VTX_FETCH(glDeleteRenderbuffersEXT);
    VTX_FETCH(glGenRenderbuffersEXT);
    VTX_FETCH(glRenderbufferStorageEXT);
    VTX_FETCH(glDeleteFramebuffersEXT);
    VTX_FETCH(glGenFramebuffersEXT);
    VTX_FETCH(glCheckFramebufferStatusEXT);
    VTX_FETCH(glFramebufferTexture2DEXT);
    VTX_FETCH(glFramebufferRenderbufferEXT);
    VTX_FETCH(glGetFramebufferAttachmentParameterivEXT);
    VTX_FETCH(glBindRenderbufferEXT);
    VTX_FETCH(glBindFramebufferEXT);
}

#undef VTX_FETCH

bool ExtensionListHas(const char* list, const char* name) {
    if (list == nullptr || name == nullptr || *name == 0) return false;
    const size_t length = std::strlen(name);
    for (const char* hit = std::strstr(list, name); hit != nullptr; hit = std::strstr(hit + 1, name)) {
        const bool starts = hit == list || hit[-1] == ' ';
        const bool ends = hit[length] == 0 || hit[length] == ' ';
        if (starts && ends) return true;
    }
    return false;
}

bool HasGlExtension(const char* name) { return ExtensionListHas(ExtensionString(), name); }

}  // namespace vtx
