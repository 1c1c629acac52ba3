// BindLibraryFunction and the module cache.
//
// The cache lives as long as the process: it is never destroyed, so a
// binding made while other objects are torn down at exit still finds it.
// Its modules are released by a handler registered with std::atexit when
// the first module is loaded; handlers run in reverse order of registration,
// so this one runs before the exit handlers registered earlier and before
// the system unloads libraries at the very end.
#include "files/library_binding_internal.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/diagnostics.h"
#include "platform/system.h"

namespace vtx {

namespace {

// Two parallel arrays, one entry per loaded module, in load order.
struct ModuleCache {
    std::vector<RtString> names;  // the module name as requested, in small letters
    std::vector<void*> handles;   // the loaded module
};

// The process-wide cache (deliberately never destroyed).
ModuleCache& Cache() {
    static ModuleCache* cache = new ModuleCache;
    return *cache;
}

// Release at exit, registered once.
void RegisterReleaseAtExit() {
    static bool registered = false;
    if (registered) return;
    registered = std::atexit(ReleaseLibraryModules) == 0;
}

// The text with "A" to "Z" turned into small letters (nothing else changes).
RtString SmallLetters(const RtString& text) {
    std::string small = text.c_str();
    for (char& c : small)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return RtString(small.c_str());
}

// The first cached handle whose name has the same length and bytes; null if none.
void* CachedModule(const RtString& name) {
    const ModuleCache& cache = Cache();
    for (size_t i = 0; i < cache.names.size(); ++i) {
        const RtString& cached = cache.names[i];
        if (cached.length() == name.length() && std::memcmp(cached.c_str(), name.c_str(), name.length()) == 0)
            return cache.handles[i];
    }
    return nullptr;
}

// Appends a loaded module; both arrays grow in steps of 16 entries.
void AddModule(const RtString& name, void* handle) {
    ModuleCache& cache = Cache();
    if (cache.names.size() == cache.names.capacity()) {
        const size_t rounded = (cache.names.size() + 16) / 16 * 16;
        cache.names.reserve(rounded);
        cache.handles.reserve(rounded);
    }
    cache.names.push_back(name);
    cache.handles.push_back(handle);
    RegisterReleaseAtExit();
}

}  // namespace

// Releases every cached module in load order, then empties the cache.
void ReleaseLibraryModules() {
    ModuleCache& cache = Cache();
    for (void* handle : cache.handles) platform::ReleaseModule(handle);
    cache.handles.clear();
    cache.names.clear();
    cache.handles.shrink_to_fit();
    cache.names.shrink_to_fit();
}

// The number of cached modules.
int32_t LibraryModuleCount() { return static_cast<int32_t>(Cache().names.size()); }

// The cached name of module i.
RtString LibraryModuleName(int32_t i) {
    const ModuleCache& cache = Cache();
    if (i < 0 || static_cast<size_t>(i) >= cache.names.size()) return RtString();
    return cache.names[static_cast<size_t>(i)];
}

}  // namespace vtx

// Looks the module up in the cache or loads it, then finds the function.
void BindLibraryFunction(RtString& moduleName, const RtString& functionName, void*& function) {
    using namespace vtx;
    function = nullptr;                                                       // 1
    const std::string spelled = moduleName.c_str();
    moduleName = SmallLetters(moduleName);                                    // 2
    void* handle = CachedModule(moduleName);                                  // 3
    if (handle == nullptr) {                                                  // 4
        // File names tell case apart here: the name as the caller spelled it
        // first, then the small-letter form the cache keeps.
        handle = platform::LoadModule(spelled);
        if (handle == nullptr && spelled != moduleName.c_str()) handle = platform::LoadModule(moduleName.c_str());
        if (handle == nullptr) {                                              // 5
            DebugText(RtString("DECLARE module not found: ") + moduleName + "\n");
            return;
        }
        AddModule(moduleName, handle);
    }
    function = platform::ModuleSymbol(handle, functionName.c_str());         // 6
}
