// Screenshots of the examples: PNG files read with libpng, independently of
// the runtime's own codecs, and compared with a tolerance.
#pragma once

#include <png.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/run_program.h"

namespace example_test {

// A PNG read with libpng, independently of the runtime's own codecs.
struct Picture {
    int32_t width = 0, height = 0;
    std::vector<uint8_t> rgb;  // top row first
    const uint8_t* At(int32_t x, int32_t y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

inline bool ReadPng(const std::string& path, Picture& picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    picture.width = static_cast<int32_t>(image.width);
    picture.height = static_cast<int32_t>(image.height);
    picture.rgb.assign(PNG_IMAGE_SIZE(image), 0);
    const bool read = png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return read;
}

// How many pixels differ from the reference by more than `tolerance` in a channel.
inline int64_t PixelsOff(const Picture& a, const Picture& b, int tolerance) {
    int64_t off = 0;
    for (size_t i = 0; i < a.rgb.size(); i += 3)
        for (size_t c = 0; c < 3; ++c)
            if (std::abs(a.rgb[i + c] - b.rgb[i + c]) > tolerance) {
                ++off;
                break;
            }
    return off;
}

// The shell command that starts a program from another folder (the program
// makes its own folder current) with arguments, output and errors together.
inline std::string StartedElsewhere(const std::filesystem::path& program, const std::string& args) {
    return std::string("cd / && ").append(Quoted(program.string())).append(" ").append(args).append(" 2>&1");
}

}  // namespace example_test
