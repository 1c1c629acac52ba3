// One-file games: an example gets its media appended with vtxpack, is
// copied alone into an empty folder elsewhere and runs there, showing the
// packed picture. Its last frame is compared with the reference screenshot.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
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

TEST(OneFileGame, PackedExampleRunsAloneInAnEmptyFolderAndShowsItsPicture) {
    ScratchFolder packing("packing");
    const fs::path packed = packing.path() / "sprite_walk";
    fs::copy_file(SPRITE_WALK, packed);
    const ProgramRun add = RunCommand(std::string(Quoted(VTXPACK)).append(" add ").append(Quoted(packed.string()))
                                          .append(" ").append(Quoted(EXAMPLES_DIR "/Media/walker.bmp")));
    ASSERT_EQ(add.exitCode, 0) << add.output;
    const ProgramRun list = RunCommand(std::string(Quoted(VTXPACK)).append(" list ").append(Quoted(packed.string())));
    ASSERT_EQ(list.exitCode, 0);
    EXPECT_NE(list.output.find("walker.bmp"), std::string::npos) << list.output;

    // Alone in an empty folder: no Media beside it.
    ScratchFolder elsewhere("elsewhere");
    const fs::path game = elsewhere.path() / "walk";
    fs::copy_file(packed, game);
    fs::permissions(game, fs::perms::owner_exec, fs::perm_options::add);
    const fs::path shot = elsewhere.path() / "shot.png";
    const ProgramRun run = RunCommand(StartedElsewhere(game, std::string("5 ").append(Quoted(shot.string()))));
    ASSERT_EQ(run.exitCode, 0) << run.output;

    Picture picture;
    ASSERT_TRUE(ReadPng(shot.string(), picture));
    ASSERT_EQ(picture.width, 640);
    ASSERT_EQ(picture.height, 480);
    // Five steps of 4 pixels from x 40: the walker's face spans 60..91, 200..231.
    const uint8_t* face = picture.At(76, 224);
    EXPECT_EQ(std::vector<int>(face, face + 3), (std::vector<int>{250, 210, 40}));
    // The magenta around the disc is see-through: the floor shows.
    const uint8_t* corner = picture.At(61, 201);
    EXPECT_EQ(std::vector<int>(corner, corner + 3), (std::vector<int>{0x10, 0x20, 0x40}));
    const uint8_t* floor = picture.At(600, 400);
    EXPECT_EQ(std::vector<int>(floor, floor + 3), (std::vector<int>{0x10, 0x20, 0x40}));

    // The whole frame against the reference screenshot (the gallery's picture).
    Picture reference;
    ASSERT_TRUE(ReadPng(REFERENCE_DIR "/sprite_walk.png", reference));
    ASSERT_EQ(reference.width, picture.width);
    ASSERT_EQ(reference.height, picture.height);
    EXPECT_LE(PixelsOff(picture, reference, 8), 64);
}

TEST(OneFileGame, WithoutItsPackTheCopiedProgramFindsNoPictureAndFails) {
    ScratchFolder elsewhere("bare");
    const fs::path game = elsewhere.path() / "walk";
    fs::copy_file(SPRITE_WALK, game);
    const ProgramRun run = RunCommand(StartedElsewhere(game, "5"));
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("Media/walker.bmp could not be loaded"), std::string::npos) << run.output;
}
