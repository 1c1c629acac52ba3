// Memory names: "mem://%8x.%8x", the size of a block and the key under which
// the runtime registered it. Only blocks the runtime registered can be
// opened through a memory name; a name with an unknown key, or one claiming
// more bytes than its block holds, names nothing.
#pragma once

#include <cstdint>

#include "../core/rt_string.h"

namespace vtx {

// True when the name starts with exactly "mem://".
bool IsMemoryName(const char* name) noexcept;

// Registers a block that stays valid until it is unregistered, and returns
// its memory name (lower-case hex, each field padded with spaces to 8).
RtString RegisterMemoryBlock(const uint8_t* data, uint32_t size);
// Forgets the block registered under that memory name.
void UnregisterMemoryBlock(const RtString& name);

struct MemoryBlockView {
    const uint8_t* data = nullptr;
    uint32_t size = 0;  // the size the name gives
};
// Resolves a memory name to its registered block; false when the key is not
// registered or the name's size exceeds the block.
bool OpenMemoryName(const char* name, MemoryBlockView& view);

}  // namespace vtx
