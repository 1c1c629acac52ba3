// Pack resolvers: every loading command passes its file name through one.
// A name that exists on disk is used as it is; otherwise it is looked up in
// the pack archive and comes back as a memory name (loader resolver) or as
// a temporary file (media resolver). Each resolver keeps only its latest
// result alive: the next lookup releases it.
#pragma once

#include "../core/rt_string.h"

// Points the loader and the media resolver at their archives (files or
// memory names) and enables both.
void SetPackFiles(const RtString& loaderArchive, const RtString& mediaArchive);
