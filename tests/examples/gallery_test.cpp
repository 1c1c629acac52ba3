// Every example as a user starts it: copied with its media into a folder of
// its own, run for a few frames under X and compared with its picture in
// the gallery (docs/gallery/<name>.png).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "examples/screenshots.h"
#include "support/run_program.h"
#include "support/scratch_folder.h"

namespace fs = std::filesystem;
using example_test::Picture;
using example_test::PixelsOff;
using example_test::ReadPng;
using example_test::StartedElsewhere;

namespace {

struct Example {
    const char* name;
    int frames;  // how many frames it runs before its screenshot
};

void PrintTo(const Example& example, std::ostream* out) { *out << example.name; }

// Built beside each other in the build's examples folder.
fs::path BuiltExample(const std::string& name) {
    return fs::path(SPRITE_WALK).parent_path() / name;
}

// Copies the example (and the Media folder built beside it) into `folder`, runs it
// there and reads its last frame; the run's output on failure.
::testing::AssertionResult RunForScreenshot(const Example& example, const fs::path& folder, Picture& shot) {
    const fs::path program = folder / example.name;
    if (!fs::exists(program)) {
        fs::copy_file(BuiltExample(example.name), program);
        fs::copy(BuiltExample(example.name).parent_path() / "Media", folder / "Media");
    }
    const fs::path file = folder / "shot.png";
    fs::remove(file);
    const ProgramRun run =
        RunCommand(StartedElsewhere(program, std::to_string(example.frames).append(" ").append(Quoted(file.string()))));
    if (run.exitCode != 0)
        return ::testing::AssertionFailure() << example.name << " ended with " << run.exitCode << ": " << run.output;
    if (!ReadPng(file.string(), shot)) return ::testing::AssertionFailure() << "no screenshot " << file;
    return ::testing::AssertionSuccess();
}

// At most 0.5 % of the pixels may differ by more than 8 in a channel
// (renderers round blends and gradients a little differently).
void ExpectLikeGallery(const Picture& shot, const std::string& name) {
    Picture reference;
    ASSERT_TRUE(ReadPng(std::string(REFERENCE_DIR "/").append(name).append(".png"), reference)) << name;
    ASSERT_EQ(shot.width, reference.width);
    ASSERT_EQ(shot.height, reference.height);
    EXPECT_LE(PixelsOff(shot, reference, 8), shot.width * shot.height / 200) << name;
}

class GalleryTest : public ::testing::TestWithParam<Example> {};

}  // namespace

TEST_P(GalleryTest, ShowsWhatTheGalleryShows) {
    ScratchFolder folder(std::string("gallery-").append(GetParam().name));
    Picture shot;
    ASSERT_TRUE(RunForScreenshot(GetParam(), folder.path(), shot));
    ExpectLikeGallery(shot, GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Examples, GalleryTest,
                         ::testing::Values(Example{"sprite_walk", 5}, Example{"polygons_alpha", 30},
                                           Example{"path_grid", 45}, Example{"high_scores", 3},
                                           Example{"screens_fades", 20}, Example{"input_readout", 3},
                                           Example{"sound_board", 3}, Example{"anim_collision", 56},
                                           Example{"window_text", 3}, Example{"lit_scene", 90}),
                         [](const auto& info) { return std::string(info.param.name); });

// The path is planned again as the walls grow: with the first wall built it
// detours below it, a yellow cell shows where the straight line was.
TEST(GalleryPathGrid, ThePathGoesRoundTheWallsBuiltSoFar) {
    ScratchFolder folder("gallery-path");
    Picture early, late;
    ASSERT_TRUE(RunForScreenshot(Example{"path_grid", 1}, folder.path(), early));
    ASSERT_TRUE(RunForScreenshot(Example{"path_grid", 45}, folder.path(), late));
    // Cell (10, 12), the straight line's: free and on the path at first, a
    // wall at the end.
    const uint8_t* first = early.At(10 * 20 + 10, 12 * 20 + 10);
    const uint8_t* last = late.At(10 * 20 + 10, 12 * 20 + 10);
    EXPECT_EQ(first[0], 0xFF);
    EXPECT_EQ(first[2], 0x00);
    EXPECT_EQ(last[0], 0xA0);
    EXPECT_EQ(last[2], 0xA0);
}

// The table survives the run in scores.ini and a second run ranks its own
// score among the stored ones.
TEST(GalleryHighScores, TheTableIsSavedAndTheNextRunAddsToIt) {
    ScratchFolder folder("gallery-scores");
    Picture shot;
    ASSERT_TRUE(RunForScreenshot(Example{"high_scores", 1}, folder.path(), shot));
    const std::string first = ReadWholeFile((folder.path() / "scores.ini").string());
    EXPECT_NE(first.find("runs=1"), std::string::npos) << first;
    EXPECT_NE(first.find("name5=RUN1"), std::string::npos) << first;
    ASSERT_TRUE(RunForScreenshot(Example{"high_scores", 1}, folder.path(), shot));
    const std::string second = ReadWholeFile((folder.path() / "scores.ini").string());
    EXPECT_NE(second.find("runs=2"), std::string::npos) << second;
    EXPECT_NE(second.find("name3=RUN2"), std::string::npos) << second;  // 3400 beats 3000
    EXPECT_NE(second.find("name5=DEE"), std::string::npos) << second;   // RUN1 fell off
}

// The floor turns red only while pixels touch: with the boxes already
// overlapping but the bar short of the disc it stays green.
TEST(GalleryAnimCollision, OnlyTouchingPixelsCountAsAHit) {
    ScratchFolder folder("gallery-collision");
    Picture apart, touching;
    ASSERT_TRUE(RunForScreenshot(Example{"anim_collision", 46}, folder.path(), apart));
    ASSERT_TRUE(RunForScreenshot(Example{"anim_collision", 56}, folder.path(), touching));
    const uint8_t* floorApart = apart.At(600, 300);
    const uint8_t* floorTouching = touching.At(600, 300);
    EXPECT_EQ(std::vector<int>(floorApart, floorApart + 3), (std::vector<int>{0x20, 0x40, 0x20}));
    EXPECT_EQ(std::vector<int>(floorTouching, floorTouching + 3), (std::vector<int>{0x60, 0x00, 0x00}));
}

// Fog, toon bands and shadow volumes in the lit scene's frame 90: the ring's
// shadow halves the floor, the far floor fades into the sky, and the toon
// ball shows the ramp's four bands of flat colour.
TEST(GalleryLitScene, TheFrameShowsShadowFogAndToonBands) {
    ScratchFolder folder("gallery-lit-scene");
    Picture shot;
    ASSERT_TRUE(RunForScreenshot(Example{"lit_scene", 90}, folder.path(), shot));
    auto channels = [&](int32_t x, int32_t y) { return std::vector<int>(shot.At(x, y), shot.At(x, y) + 3); };

    // One light tile, lit at x = 228 and in the ring's shadow at x = 250:
    // the shadow is the lit colour at half brightness.
    const std::vector<int> lit = channels(228, 270), shadowed = channels(250, 270);
    for (size_t c = 0; c < 3; ++c) EXPECT_NEAR(shadowed[c], lit[c] / 2, 2) << "channel " << c;
    EXPECT_GT(lit[0], 120);

    // The floor near the horizon is almost the sky's colour (0x604838),
    // the floor in front is far from it.
    const std::vector<int> sky = {0x38, 0x48, 0x60};
    auto farFromSky = [&](const std::vector<int>& p) {
        int most = 0;
        for (size_t c = 0; c < 3; ++c) most = std::max(most, std::abs(p[c] - sky[c]));
        return most;
    };
    EXPECT_EQ(farFromSky(channels(100, 40)), 0);
    EXPECT_LT(farFromSky(channels(100, 182)) * 4, farFromSky(channels(100, 470)));

    // Down through the ball: runs of one flat green, the brighter bands at
    // 200 / 255, 140 / 255 and 70 / 255 of the brightest (the ramp).
    std::vector<int> bands;  // the green of each run of 4 pixels or more
    int run = 0, ballPixels = 0, inRuns = 0;
    for (int32_t y = 200; y < 400; ++y) {
        const uint8_t* p = shot.At(400, y);
        if (p[1] < 2 * p[0] + 10) continue;  // not the ball: green does not dominate
        ++ballPixels;
        const bool same = y > 200 && shot.At(400, y - 1)[1] == p[1];
        run = same ? run + 1 : 1;
        if (run == 4) {
            bands.push_back(p[1]);
            inRuns += 4;
        } else if (run > 4) {
            ++inRuns;
        }
    }
    ASSERT_GE(bands.size(), 4u) << ballPixels;
    EXPECT_GT(ballPixels, 60);
    EXPECT_GT(inRuns * 10, ballPixels * 9);  // flat colour, little in between
    const double brightest = bands[0];
    EXPECT_GT(brightest, 150);
    EXPECT_NEAR(bands[1] / brightest, 200.0 / 255, 0.03);
    EXPECT_NEAR(bands[2] / brightest, 140.0 / 255, 0.03);
    EXPECT_NEAR(bands[3] / brightest, 70.0 / 255, 0.03);
}
