// Large memory blocks for vertex lists. Fresh memory costs a page fault per
// 4 KB page on first touch; a block of several megabytes is placed on 2 MB
// boundaries and offered to the kernel for huge pages, so a 100 000-triangle
// object faults a few dozen times instead of tens of thousands.
#pragma once

#include <cstddef>

namespace vtx::platform {

// An uninitialised block of at least bytes; null when memory ran out.
void* AllocateBlock(size_t bytes) noexcept;
// Frees a block of AllocateBlock (null is ignored).
void FreeBlock(void* block) noexcept;

}  // namespace vtx::platform
