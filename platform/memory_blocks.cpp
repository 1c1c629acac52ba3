// Large blocks through aligned_alloc and madvise(MADV_HUGEPAGE).
#include "platform/memory_blocks.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

namespace vtx::platform {

namespace {
constexpr size_t kHugePage = size_t{2} << 20;
constexpr size_t kLargeBlock = size_t{4} << 20;  // smaller blocks use plain malloc
}  // namespace

void* AllocateBlock(size_t bytes) noexcept {
    if (bytes < kLargeBlock) return std::malloc(bytes == 0 ? 1 : bytes);
    if (bytes > SIZE_MAX - kHugePage) return nullptr;
    const size_t rounded = (bytes + kHugePage - 1) & ~(kHugePage - 1);
    void* block = std::aligned_alloc(kHugePage, rounded);
    if (block != nullptr) madvise(block, rounded, MADV_HUGEPAGE);  // a hint: failure changes nothing
    return block;
}

void FreeBlock(void* block) noexcept { std::free(block); }

}  // namespace vtx::platform
