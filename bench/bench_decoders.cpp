// Picture decoding speed: a 1024 x 1024 gradient with some noise, written
// as PNG, JPEG and 24-bit BMP by our encoder, then decoded from memory by
// our decoders (through a memory name) and by stb_image (the anchor) in the
// same run. Figures are MB/s of RGBA pixels, best of several rounds.
// Run: build/bench/bench_decoders
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/rt_string.h"
#include "files/memory_names.h"
#include "gfx2d/picture_codecs.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<uint8_t>;

constexpr int kSide = 1024;
constexpr int kRounds = 9;
constexpr double kPixelMegabytes = kSide * kSide * 4 / 1e6;

// Seconds since start.
double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The fastest of kRounds runs of body.
template <typename F>
double Best(F&& body) {
    double best = 1e30;
    for (int r = 0; r < kRounds; ++r) {
        const auto start = Clock::now();
        body();
        best = std::min(best, Seconds(start));
    }
    return best;
}

// A BGR frame, bottom row first: diagonal colour gradients with a soft
// vignette and +-6 of noise, like a rendered scene.
Bytes MakeFrame() {
    Bytes bgr(static_cast<size_t>(kSide) * kSide * 3);
    uint32_t state = 2463534242u;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            const int noise = static_cast<int>(state % 13) - 6;
            const double dx = (x - kSide / 2) / static_cast<double>(kSide), dy = (y - kSide / 2) / static_cast<double>(kSide);
            const double shade = 1.0 - 0.8 * (dx * dx + dy * dy);
            const int channel[3] = {static_cast<int>((60 + 150.0 * y / kSide) * shade),
                                    static_cast<int>((90 + 100.0 * (x + y) / (2 * kSide)) * shade),
                                    static_cast<int>((200 - 140.0 * x / kSide) * shade)};
            uint8_t* p = &bgr[(static_cast<size_t>(y) * kSide + x) * 3];
            for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>(std::clamp(channel[c] + noise, 0, 255));
        }
    }
    return bgr;
}

// Every byte of a disk file.
Bytes ReadAll(const std::string& path) {
    Bytes bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        uint8_t chunk[65536];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
        std::fclose(f);
    }
    return bytes;
}

enum class Kind { kPng, kJpeg, kBmp };

// Our decoder for that kind.
bool DecodeOurs(Kind kind, vtx::ImageBuffer& image, const char* name) {
    switch (kind) {
        case Kind::kPng: return vtx::DecodePng(image, name, vtx::kNoColorKey);
        case Kind::kJpeg: return vtx::DecodeJpeg(image, name);
        case Kind::kBmp: break;
    }
    return vtx::DecodeBmp(image, name, vtx::kNoColorKey);
}

// Decodes with ours and with stb, checks they agree, prints the figures.
void Measure(const char* label, Kind kind, const Bytes& file, int tolerance) {
    const RtString name = vtx::RegisterMemoryBlock(file.data(), static_cast<uint32_t>(file.size()));
    int failures = 0;
    const double ours = Best([&] {
        vtx::ImageBuffer image;  // a fresh buffer each round, as stb allocates each time
        if (!DecodeOurs(kind, image, name.c_str())) ++failures;
    });
    const double anchor = Best([&] {
        int w = 0, h = 0, n = 0;
        stbi_uc* pixels = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &w, &h, &n, 4);
        if (pixels == nullptr) ++failures;
        stbi_image_free(pixels);
    });
    // Agreement: exact for the lossless formats, near for JPEG (other IDCT and upsampling).
    vtx::ImageBuffer image;
    int w = 0, h = 0, n = 0;
    stbi_uc* reference = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &w, &h, &n, 4);
    int worst = 0;
    if (DecodeOurs(kind, image, name.c_str()) && reference != nullptr && w == image.width &&
        h == image.height) {
        for (int i = 0; i < image.byteCount(); ++i) worst = std::max(worst, std::abs(image.pixels[i] - reference[i]));
    } else {
        ++failures;
    }
    stbi_image_free(reference);
    vtx::UnregisterMemoryBlock(name);
    std::printf("  %-5s %8.1f KiB   ours %7.1f MB/s   stb_image %7.1f MB/s   ours/stb %5.2fx   max diff %d%s\n",
                label, file.size() / 1024.0, kPixelMegabytes / ours, kPixelMegabytes / anchor, anchor / ours, worst,
                failures > 0 || worst > tolerance ? "   DECODE MISMATCH" : "");
}

}  // namespace

// Writes the three files into a scratch folder, then measures each.
int main() {
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = std::string(tmp != nullptr && *tmp != 0 ? tmp : "/tmp") + "/vtx-bench-XXXXXX";
    if (mkdtemp(folder.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const Bytes frame = MakeFrame();
    const vtx::RenderedKey noKey{};
    std::printf("picture decoding, %dx%d, best of %d, MB/s of RGBA pixels (%.1f MB a picture):\n", kSide, kSide,
                kRounds, kPixelMegabytes);
    const struct {
        const char* label;
        Kind kind;
        const char* file;
        int tolerance;
    } kinds[] = {{"PNG", Kind::kPng, "/p.png", 0}, {"JPEG", Kind::kJpeg, "/p.jpg", 40}, {"BMP", Kind::kBmp, "/p.bmp", 0}};
    for (const auto& kind : kinds) {
        const std::string path = folder + kind.file;
        if (!vtx::EncodePicture(path.c_str(), frame.data(), kSide, kSide, kSide, noKey)) {
            std::printf("  %-5s could not be written\n", kind.label);
            continue;
        }
        const Bytes file = ReadAll(path);
        unlink(path.c_str());
        Measure(kind.label, kind.kind, file, kind.tolerance);
    }
    rmdir(folder.c_str());
    return 0;
}
