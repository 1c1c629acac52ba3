// Reading a multi-part object description with an INI reader of its own
// (not the INI service's selected file).
#include "multi_part.h"

#include <cstring>

#include "core/rt_string.h"
#include "files/ini_service_internal.h"

namespace vtx {
namespace {

bool SameText(const RtString& a, const char* b) {
    const size_t n = std::strlen(b);
    if (a.length() != n) return false;
    for (size_t i = 0; i < n; ++i) {
        char x = a.c_str()[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

const IniSection* FindSection(const std::vector<IniSection>& sections, const char* name) {
    for (const IniSection& s : sections) {
        if (SameText(s.name, name)) return &s;
    }
    return nullptr;
}

std::string Value(const IniSection* section, const std::string& key, const char* fallback) {
    if (section != nullptr) {
        for (const IniEntry& e : section->entries) {
            if (SameText(e.key, key.c_str())) return e.value.c_str();
        }
    }
    return fallback;
}

// The section's count; -1 when it is negative or more than the section holds.
int32_t Count(const IniSection* section) {
    const int32_t count = static_cast<int32_t>(RtString(Value(section, "count", "0").c_str()));
    const size_t entries = section == nullptr ? 0 : section->entries.size();
    if (count < 0 || static_cast<size_t>(count) > entries) return -1;
    return count;
}

// Texture numbers count from 1; 0 also names the first texture. A number
// beyond the slot's textures names none (-1).
int32_t TextureNumber(const IniSection* objects, const std::string& key, size_t textureCount) {
    int32_t n = static_cast<int32_t>(RtString(Value(objects, key, "0").c_str()));
    if (n >= 1) --n;
    return n >= 0 && static_cast<size_t>(n) < textureCount ? n : -1;
}

}  // namespace

bool IsMultiPartDescription(const uint8_t* data, size_t size) {
    return size >= 4 && std::memcmp(data, ";DDW", 4) == 0;
}

bool ParseMultiPartDescription(const char* data, size_t size, MultiPartDescription& out) {
    out = MultiPartDescription();
    const std::vector<IniSection> sections = ParseIni(data, size);
    const IniSection* textures = FindSection(sections, "textures");
    const IniSection* objects = FindSection(sections, "objects");
    const int32_t textureCount = Count(textures);
    const int32_t partCount = Count(objects);
    if (textureCount < 0 || partCount < 0) return false;
    for (int32_t n = 1; n <= textureCount; ++n) out.textures.push_back(Value(textures, std::to_string(n), ""));
    for (int32_t m = 1; m <= partCount; ++m) {
        const std::string key = std::to_string(m);
        MultiPartDescription::Part part;
        part.file = Value(objects, key, "");
        part.texture[0] = TextureNumber(objects, std::string(key).append("ta"), out.textures.size());
        part.texture[1] = TextureNumber(objects, std::string(key).append("tb"), out.textures.size());
        out.parts.push_back(std::move(part));
    }
    return true;
}

std::string DescriptionFolder(const std::string& name) {
    // A memory name has no folder: its "/" belong to "mem://".
    if (name.compare(0, 6, "mem://") == 0) return std::string();
    const size_t at = name.find_last_of("/\\");
    return at == std::string::npos ? std::string() : name.substr(0, at + 1);
}

}  // namespace vtx
