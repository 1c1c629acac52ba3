// Multi-part object descriptions: an INI text whose first line is ";DDW",
// naming the textures of a slot and the .ddd file of each of its parts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vtx {

struct MultiPartDescription {
    struct Part {
        std::string file;      // as written, relative to the description's folder
        int32_t texture[2];    // texture numbers of the two units: 0-based, -1 none
    };
    std::vector<std::string> textures;  // as written; an absent key is ""
    std::vector<Part> parts;
};

// True when the bytes start with ";DDW".
bool IsMultiPartDescription(const uint8_t* data, size_t size);
// Reads the [textures] and [objects] sections. False when a count is
// negative or larger than the entries of its section (such a file cannot
// name that many files).
bool ParseMultiPartDescription(const char* data, size_t size, MultiPartDescription& out);
// The folder prefix of a description's name: up to and including its last
// "/" or "\" ("" without one, and for a memory name).
std::string DescriptionFolder(const std::string& name);

}  // namespace vtx
