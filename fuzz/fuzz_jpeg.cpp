// Fuzzes the JPEG decoder through a memory name (checks in picture_fuzz.h).
#include <cstddef>
#include <cstdint>

#include "gfx2d/picture_codecs.h"
#include "picture_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::CheckPictureDecoder(data, size,
                              [](vtx::ImageBuffer& image, const char* name) { return vtx::DecodeJpeg(image, name); });
    return 0;
}
