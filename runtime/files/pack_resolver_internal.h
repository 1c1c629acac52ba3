// What the runtime shares about pack resolver beyond its commands.
#pragma once

#include <cstdint>
#include <vector>

#include "pack_resolver.h"

namespace vtx {

struct PackResolver {
    bool enabled = true;       // names missing on disk are looked up in the archive
    RtString archiveName;      // path of the archive, or a memory name
    RtString lastTempFile;     // written by the latest lookup; empty if none
    std::vector<uint8_t> lastBuffer;  // the latest lookup's block, when it went to memory
    RtString lastBufferName;          // its memory name; empty if none
};

// The loader resolver (memory results) and the media resolver (temporary files).
PackResolver& LoaderResolver();
PackResolver& MediaResolver();

// Looks name up: true when result names something that can be opened now.
bool ResolveFile(PackResolver& resolver, const RtString& name, RtString& result, bool toMemory);
// Releases the resolver's latest result (block or temporary file).
void ReleaseResolverResult(PackResolver& resolver);

}  // namespace vtx
