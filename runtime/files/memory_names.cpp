// The registry behind memory names.
#include "files/memory_names.h"

#include <cstdio>
#include <cstring>
#include <unordered_map>

namespace vtx {
namespace {

struct Block {
    const uint8_t* data;
    uint32_t size;
};

struct MemoryNameRegistry {
    std::unordered_map<uint32_t, Block> blocks;
    uint32_t nextKey = 1;
};

MemoryNameRegistry& Registry() {
    static MemoryNameRegistry registry;
    return registry;
}

// Hexadecimal from text: leading spaces skipped, stops at the first
// character that is not a hex digit (so a malformed field reads as far as it can).
uint32_t ParseHexField(const char* text) noexcept {
    while (*text == ' ') ++text;
    uint32_t value = 0;
    for (;; ++text) {
        const char c = *text;
        uint32_t digit;
        if (c >= '0' && c <= '9') digit = static_cast<uint32_t>(c - '0');
        else if (c >= 'a' && c <= 'f') digit = static_cast<uint32_t>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F') digit = static_cast<uint32_t>(c - 'A' + 10);
        else break;
        value = (value << 4) | digit;
    }
    return value;
}

}  // namespace

bool IsMemoryName(const char* name) noexcept { return name != nullptr && std::strncmp(name, "mem://", 6) == 0; }

RtString RegisterMemoryBlock(const uint8_t* data, uint32_t size) {
    MemoryNameRegistry& registry = Registry();
    uint32_t key = registry.nextKey++;
    while (key == 0 || registry.blocks.count(key) != 0) key = registry.nextKey++;
    registry.blocks[key] = Block{data, size};
    char name[32];
    std::snprintf(name, sizeof name, "mem://%8x.%8x", size, key);
    return RtString(name);
}

void UnregisterMemoryBlock(const RtString& name) {
    if (!IsMemoryName(name.c_str()) || name.length() < 15) return;
    Registry().blocks.erase(ParseHexField(name.c_str() + 15));
}

bool OpenMemoryName(const char* name, MemoryBlockView& view) {
    if (!IsMemoryName(name)) return false;
    const size_t length = std::strlen(name);
    const uint32_t size = ParseHexField(name + 6);
    const uint32_t key = length > 15 ? ParseHexField(name + 15) : 0;
    const auto found = Registry().blocks.find(key);
    if (found == Registry().blocks.end() || size > found->second.size) return false;
    view.data = found->second.data;
    view.size = size;
    return true;
}

}  // namespace vtx
