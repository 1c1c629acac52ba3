// Fuzzes the multi-part object description reader: counts never exceed what
// the text names, and every texture number names a texture or none.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "gfx3d/multi_part.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vtx::MultiPartDescription description;
    if (!vtx::ParseMultiPartDescription(reinterpret_cast<const char*>(data), size, description)) return 0;
    // Each named texture or part takes at least one byte of the text.
    if (description.textures.size() + description.parts.size() > size) std::abort();
    for (const auto& part : description.parts) {
        for (int32_t t : part.texture) {
            if (t < -1 || t >= static_cast<int32_t>(description.textures.size())) std::abort();
        }
    }
    (void)vtx::DescriptionFolder(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
