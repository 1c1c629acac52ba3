// Dynamic library stand-ins over dlopen and dlsym.
#include <dlfcn.h>

#include "platform.h"
#include "system.h"

namespace vtx::platform {

// dlopen with every symbol bound at once, kept local to the module.
void* LoadModule(const std::string& name) {
    // An empty name would give the program itself, which is no module.
    if (name.empty()) return nullptr;
    return dlopen(NativePath(name).c_str(), RTLD_NOW | RTLD_LOCAL);
}

// dlsym in the module and the modules it needs.
void* ModuleSymbol(void* module, const std::string& name) {
    if (module == nullptr || name.empty()) return nullptr;
    return dlsym(module, name.c_str());
}

// dlclose of one load.
void ReleaseModule(void* module) {
    if (module != nullptr) dlclose(module);
}

}  // namespace vtx::platform
