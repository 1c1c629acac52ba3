// LoadSprite of a 1024 x 1024 PNG end to end, and the share of each stage:
// decoding, colour bleeding, the level-0 upload, and the mip-mapped copy.
// Anchor in the same run: decoding alone.
// Run: tests/harness/vtx-test-env --xvfb build/bench/bench_load_sprite
#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include <vantrix/vantrix.h>

#include "bench_support.h"
#include "gfx2d/image_buffer.h"
#include "gfx2d/picture_codecs.h"
#include "gfx2d/sprite_store.h"

using bench::Best;

int main() {
    ApplyProjectSettings();
    InitEngine(nullptr, 10, ProjectSettings.title);
    if (!EngineWindowCreated()) {
        std::fprintf(stderr, "no window: run under tests/harness/vtx-test-env --xvfb\n");
        return 1;
    }
    constexpr int kSide = 1024;
    std::vector<uint8_t> bgr(static_cast<size_t>(kSide) * kSide * 3);
    bench::Xorshift random;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            uint8_t* p = &bgr[(static_cast<size_t>(y) * kSide + x) * 3];
            const double wave = std::sin(x * 0.02) * std::cos(y * 0.015);
            p[0] = static_cast<uint8_t>(128 + 100 * wave + random.next() % 16);
            p[1] = static_cast<uint8_t>(x / 4);
            p[2] = static_cast<uint8_t>(y / 4);
        }
    // A keyed disc in the middle gives the bleeding real work.
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            if ((x - 512) * (x - 512) + (y - 512) * (y - 512) < 200 * 200) {
                uint8_t* p = &bgr[(static_cast<size_t>(y) * kSide + x) * 3];
                p[0] = 128;
                p[1] = 0;
                p[2] = 255;
            }
    const char* file = "bench_load_sprite.png";
    vtx::EncodePicture(file, bgr.data(), kSide, kSide, kSide, vtx::RenderedKey{});

    vtx::ImageBuffer image;
    const double decode = Best(5, [&] { vtx::DecodePicture(image, file, 0x8000FF); });
    std::vector<uint8_t> texels;
    const double bleed = Best(5, [&] {
        texels.assign(image.pixels, image.pixels + static_cast<size_t>(kSide) * kSide * 4);
        vtx::BleedColours(texels, kSide, kSide);
    });
    GLuint texture = 0, mip = 0;
    const double upload = Best(5, [&] {
        vtx::UploadTexture(image, 0, 0, 0, 0, texture, nullptr, false, false);
        glFinish();
    });
    const double uploadWithMips = Best(5, [&] {
        vtx::UploadTexture(image, 0, 0, 0, 0, texture, &mip, false, false);
        glFinish();
    });
    const double whole = Best(5, [&] {
        LoadSprite(RtString(file), 1);
        glFinish();
    });
    const double mips = uploadWithMips - upload;
    const double level0 = upload - bleed;
    std::printf("LoadSprite of a 1024 x 1024 PNG, best of 5:\n");
    std::printf("  end to end                %8.2f ms\n", whole * 1e3);
    std::printf("  decode (anchor)           %8.2f ms  %5.1f %%\n", decode * 1e3, 100 * decode / whole);
    std::printf("  colour bleeding           %8.2f ms  %5.1f %%\n", bleed * 1e3, 100 * bleed / whole);
    std::printf("  level-0 copy and upload   %8.2f ms  %5.1f %%\n", level0 * 1e3, 100 * level0 / whole);
    std::printf("  mip-mapped square copy    %8.2f ms  %5.1f %%\n", mips * 1e3, 100 * mips / whole);
    std::printf("  end to end / decode       %8.2fx\n", whole / decode);
    std::remove(file);
    return 0;
}
