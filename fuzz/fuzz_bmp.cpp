// Fuzzes the BMP decoder through a memory name, keyed by the last byte when
// it is below 0x80 (checks in picture_fuzz.h).
#include <cstddef>
#include <cstdint>

#include "gfx2d/picture_codecs.h"
#include "picture_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int32_t key = fuzz::KeyOf(data, size);
    fuzz::CheckPictureDecoder(data, size, [key](vtx::ImageBuffer& image, const char* name) {
        return vtx::DecodeBmp(image, name, key);
    });
    return 0;
}
