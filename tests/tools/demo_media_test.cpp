// ravlo's demo media as the build made it: every file there, pictures and
// fonts of the right sizes, tunes of 20 to 40 seconds that differ.
extern "C" {
#include <libavformat/avformat.h>
}
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>
#include <string>

#include "demo_media.h"
#include "gfx2d/image_buffer.h"
#include "gfx2d/picture_codecs.h"

namespace {

const std::string kMedia = VTX_DEMO_MEDIA_DIR;

// Width and height of a decoded picture; 0, 0 when it does not decode.
std::pair<int, int> PictureSize(const std::string& name) {
    vtx::ImageBuffer image;
    if (!vtx::DecodePicture(image, (kMedia + "/" + name).c_str(), vtx::kNoColorKey)) return {0, 0};
    return {image.width, image.height};
}

double DurationSeconds(const std::string& name) {
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, (kMedia + "/" + name).c_str(), nullptr, nullptr) < 0) return 0;
    double seconds = 0;
    if (avformat_find_stream_info(format, nullptr) >= 0 && format->duration > 0)
        seconds = format->duration / static_cast<double>(AV_TIME_BASE);
    avformat_close_input(&format);
    return seconds;
}

TEST(DemoMedia, PicturesAndFontsHaveTheirSizes) {
    EXPECT_EQ(PictureSize("intro.png"), std::make_pair(640, 480));
    std::set<uintmax_t> sizes;
    for (int n = 1; n <= 9; ++n) {
        const std::string name = "bg" + std::to_string(n) + ".png";
        EXPECT_EQ(PictureSize(name), std::make_pair(640, 480)) << name;
        sizes.insert(std::filesystem::file_size(kMedia + "/" + name));
    }
    EXPECT_EQ(sizes.size(), 9u);  // nine different pictures
    EXPECT_EQ(PictureSize("font.bmp"), std::make_pair(128, 64));
    EXPECT_EQ(PictureSize("font2.bmp"), std::make_pair(256, 128));
}

TEST(DemoMedia, FontCellsHoldGlyphsOnBlack) {
    vtx::ImageBuffer font;
    ASSERT_TRUE(vtx::DecodePicture(font, (kMedia + "/font.bmp").c_str(), vtx::kNoColorKey));
    // Lit pixels in the 8 x 8 cell of 'A' (code 65: column 1, row 4); none
    // in the cell of code 1 (control characters are blank).
    auto lit = [&](int code) {
        int count = 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const uint8_t* p = font.pixels + ((code / 16 * 8 + y) * font.width + code % 16 * 8 + x) * 4;
                count += (p[0] | p[1] | p[2]) != 0;
            }
        return count;
    };
    EXPECT_GT(lit('A'), 10);
    EXPECT_EQ(lit(1), 0);
}

TEST(DemoMedia, TunesLastTwentyToFortySeconds) {
    for (int n = 1; n <= 9; ++n) {
        const double s = DurationSeconds(std::string(1, '0').append(std::to_string(n)).append(".mp3"));
        EXPECT_GE(s, 20.0) << n;
        EXPECT_LE(s, 40.0) << n;
    }
}

TEST(DemoMedia, SynthesisedTunesDifferAndStayInRange) {
    const std::vector<float> a = demo::SynthesiseTune(1), b = demo::SynthesiseTune(2);
    EXPECT_NE(a.size(), b.size());
    float peak = 0;
    double energy = 0;
    for (float s : a) {
        peak = std::max(peak, std::fabs(s));
        energy += static_cast<double>(s) * s;
    }
    EXPECT_LE(peak, 0.9f);
    EXPECT_GT(std::sqrt(energy / a.size()), 0.05);  // not silence
    EXPECT_EQ(a, demo::SynthesiseTune(1));          // every run the same
}

}  // namespace
