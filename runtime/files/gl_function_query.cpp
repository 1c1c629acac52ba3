// Whether the current OpenGL context supplies an extension function.
//
// An entry point alone proves nothing: Mesa returns one for any name at all.
// A function counts as supplied when the table built from GL/glext.h names
// it and the context reaches the core version that defines it or lists the
// extension that defines it, and the driver hands out its entry point.
// Functions of OpenGL 1.0 and 1.1 are no extension functions and are not in
// the table.
#include <GL/gl.h>

#include <cstdio>
#include <cstring>

#include "files/platform_info_internal.h"
#include "host/gl_extensions.h"
#include "host/graphics_backend.h"
#include "platform/window.h"

namespace vtx {

namespace {

struct GlFunctionDefinition {
    const char* name;
    int block;  // index into kGlDefiningBlocks
};

#include "gl_function_table.inc"

constexpr int kBlockCount = static_cast<int>(sizeof kGlDefiningBlocks / sizeof kGlDefiningBlocks[0]);

// The context's version as major * 100 + minor (4.5 gives 405); 0 if unknown.
int ContextVersion() {
    const GLubyte* text = glGetString(GL_VERSION);
    int major = 0, minor = 0;
    if (text == nullptr || std::sscanf(reinterpret_cast<const char*>(text), "%d.%d", &major, &minor) != 2) return 0;
    return major * 100 + minor;
}

// True when the context provides a block: a core version it reaches, or an
// extension its extension string lists.
bool BlockProvided(const char* block, int contextVersion) {
    int major = 0, minor = 0;
    char rest = 0;
    if (std::sscanf(block, "GL_VERSION_%d_%d%c", &major, &minor, &rest) == 2)
        return contextVersion >= major * 100 + minor;
    return HasGlExtension(block);
}

}  // namespace

// Defined by a block the context provides, and handed out by the driver.
bool GlFunctionAvailable(const char* name) {
    if (name == nullptr || *name == 0) return false;
    if (GraphicsBackEnd == nullptr || GraphicsBackEnd->contextReady == 0) return false;
    const int version = ContextVersion();
    bool provided = false;
    // A name may be defined by several blocks; any one of them will do.
    for (const GlFunctionDefinition& function : kGlFunctions) {
        if (std::strcmp(function.name, name) != 0) continue;
        if (function.block >= 0 && function.block < kBlockCount &&
            BlockProvided(kGlDefiningBlocks[function.block], version)) {
            provided = true;
            break;
        }
    }
    return provided && platform::GlProcAddress(name) != nullptr;
}

}  // namespace vtx
