// Loads that fail say so on the debug output in debug mode, one line each
// naming the command, the file and the reason; their results stay as they were.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "audio/music_commands.h"
#include "audio/sound_commands.h"
#include "files/last_error_internal.h"
#include "gfx2d/font_commands.h"
#include "gfx2d/screen_commands.h"
#include "gfx2d/sprite_commands.h"
#include "host/lifecycle.h"
#include "host/project_settings.h"
#include "support/scratch_folder.h"

namespace {

class FailedLoads : public ::testing::Test {
protected:
    void Start(int32_t debugMode) {
        ApplyProjectSettings();
        ProjectSettings.debugMode = debugMode;
        InitEngine(nullptr, 10, ProjectSettings.title);
        ASSERT_TRUE(EngineWindowCreated());
        std::ofstream(notAPicture_) << "plain text, not a picture or a sound";
    }
    void TearDown() override { ShutdownEngine(); }
    // Runs load and returns what it wrote to standard error.
    template <typename Load>
    static std::string Output(Load load) {
        ::testing::internal::CaptureStderr();
        load();
        return ::testing::internal::GetCapturedStderr();
    }
    ScratchFolder scratch_{"failed-loads"};
    const std::string missing_ = (scratch_.path() / "missing.png").string();
    const std::string notAPicture_ = (scratch_.path() / "notes.txt").string();
};

TEST_F(FailedLoads, EachFailedLoadWritesOneLineInDebugMode) {
    Start(1);
    EXPECT_EQ(Output([&] { LoadSprite(RtString(missing_.c_str()), 3); }),
              "LoadSprite: cannot load \"" + missing_ + "\": no such file\n");
    EXPECT_EQ(vtx::LastErrorCode(), 3u);
    EXPECT_EQ(Output([&] { LoadSprite(RtString(notAPicture_.c_str()), 3); }),
              "LoadSprite: cannot load \"" + notAPicture_ + "\": not a BMP, PNG or JPEG picture that can be read\n");
    EXPECT_EQ(Output([&] { LoadAnim(RtString(missing_.c_str()), 70000, 8, 8); }),
              "LoadAnim: cannot load \"" + missing_ + "\": sprite slot out of range\n");
    EXPECT_EQ(vtx::LastErrorCode(), 9u);
    EXPECT_EQ(Output([&] { LoadFont(RtString(missing_.c_str()), 2); }),
              "LoadFont: cannot load \"" + missing_ + "\": no such file; the built-in font stands in\n");
    EXPECT_EQ(Output([&] { LoadBackground(RtString(notAPicture_.c_str())); }),
              "LoadBackground: cannot load \"" + notAPicture_ + "\": not a BMP, PNG or JPEG picture that can be read\n");
    EXPECT_EQ(Output([&] { LoadSound(RtString(notAPicture_.c_str()), 0, 1); }),
              "LoadSound: cannot load \"" + notAPicture_ + "\": not a WAVE file that can be read\n");
    EXPECT_EQ(PlaySound(0, 0, 100), -1);  // the slot stays empty, as before

    // A missing piece of music leaves nothing else to see: the last error says it.
    ClearLastError();
    EXPECT_EQ(Output([&] { PlayMusic(RtString(missing_.c_str()), 0); }),
              "PlayMusic: cannot load \"" + missing_ + "\": no such file\n");
    EXPECT_EQ(vtx::LastErrorCode(), 3u);
    ClearLastError();
    EXPECT_EQ(Output([&] { PlayMusic(RtString(notAPicture_.c_str()), 1); }),
              "PlayMusic: cannot load \"" + notAPicture_ + "\": not a sound file that can be played\n");
    EXPECT_EQ(vtx::LastErrorCode(), 3u);
    EXPECT_EQ(IsMusicPlaying(), 1);  // looping music that cannot play still counts as playing
    EXPECT_EQ(Output([&] { EXPECT_EQ(PlayMovie(RtString(missing_.c_str())), 3); }),
              "PlayMovie: cannot load \"" + missing_ + "\": no such file\n");
}

TEST_F(FailedLoads, NothingIsWrittenOutsideDebugMode) {
    Start(0);
    EXPECT_EQ(Output([&] {
                  LoadSprite(RtString(missing_.c_str()), 3);
                  LoadFont(RtString(notAPicture_.c_str()), 1);
                  LoadSound(RtString(missing_.c_str()), 0, 1);
                  PlayMusic(RtString(missing_.c_str()), 0);
              }),
              "");
    EXPECT_EQ(vtx::LastErrorCode(), 3u);
}

}  // namespace
