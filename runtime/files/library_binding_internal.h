// What the runtime shares about library binding beyond its commands.
#pragma once

#include <cstdint>

#include "library_binding.h"

namespace vtx {

// Releases every loaded module and empties the module cache. Runs by itself
// when the process exits; function addresses handed out become invalid.
void ReleaseLibraryModules();
// Modules in the cache, in load order.
int32_t LibraryModuleCount();
// The cached (small-letter) name of module i; empty outside the cache.
RtString LibraryModuleName(int32_t i);

}  // namespace vtx
