// Pack resolvers: every loading command passes its file name through one.
// A name that exists on disk is used as it is; otherwise it is looked up in
// the pack archive and comes back as a memory name (loader resolver) or as
// a temporary file (media resolver). Each resolver keeps only its latest
// result alive: the next lookup releases it.
#pragma once

#include <cstdint>
#include <vector>

#include "../core/rt_string.h"

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

// Points the loader and the media resolver at their archives (files or
// memory names) and enables both.
void SetPackFiles(const RtString& loaderArchive, const RtString& mediaArchive);
