// What the runtime shares about directories beyond its commands.
#pragma once

#include <cstdint>

#include "directories.h"

namespace vtx {

// Matches a whole name against a pattern: "*.*" matches every name; "?" any
// one character but "."; "*" any run of characters; letters either case;
// everything else only itself.
bool WildcardMatch(const char* pattern, const char* name);

}  // namespace vtx
