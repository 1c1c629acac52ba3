// Movies in the program's window under Xvfb: where the picture goes, that
// it is shown, and that a key press ends a looping movie.
#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "audio/movie_layout.h"
#include "audio/music_commands.h"
#include "gfx2d/presented_frame.h"
#include "host/graphics_backend.h"
#include "host/lifecycle.h"
#include "host/project_settings.h"
#include "media_files.h"
#include "support/running_program.h"
#include "support/scratch_folder.h"

namespace {

TEST(MovieDestination, FillsTheClientAreaKeepingTheShapeCentred) {
    const vtx::MovieRect a = vtx::MovieDestination(320, 240, 640, 480);
    EXPECT_EQ((std::array{a.left, a.top, a.right, a.bottom}), (std::array{0, 0, 640, 480}));
    const vtx::MovieRect b = vtx::MovieDestination(640, 480, 1280, 720);
    EXPECT_EQ((std::array{b.left, b.top, b.right, b.bottom}), (std::array{160, 0, 1120, 720}));
    EXPECT_EQ(b.right - b.left, 960);
    const vtx::MovieRect none = vtx::MovieDestination(0, 0, 640, 480);
    EXPECT_EQ(none.right, 0);
}

class MovieTest : public ::testing::Test {
protected:
    void SetUp() override { InitEngine(nullptr, 10, ProjectSettings.title); }
    std::string Movie(int w, int h, double seconds) {
        const std::string path = (folder_.path() / "m.avi").string();
        EXPECT_TRUE(media_test::MakeMovie(path, w, h, seconds, 10));
        return path;
    }
    ScratchFolder folder_{"movie"};
};

TEST_F(MovieTest, FilesThatCannotBeOpenedGive3) {
    EXPECT_EQ(PlayMovie(RtString("missing.avi")), 3);
    const std::string junk = (folder_.path() / "junk.avi").string();
    std::system(("head -c 2000 /dev/zero > '" + junk + "'").c_str());
    EXPECT_EQ(PlayMovie(RtString(junk.c_str()), 1), 3);
}

TEST_F(MovieTest, PicturesAreShownLetterboxedForTheMoviesLength) {
    const std::string path = Movie(200, 100, 1.0);  // 640 x 320 at y 80 in 640 x 480
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(PlayMovie(RtString(path.c_str())), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900));
    std::vector<uint8_t> bgr;
    int32_t w = 0, h = 0;
    ASSERT_TRUE(vtx::ReadPresentedFrame(*vtx::GraphicsBackEnd, bgr, w, h));
    auto pixel = [&](int x, int y) { return &bgr[(static_cast<size_t>(h - 1 - y) * w + x) * 3]; };
    EXPECT_GT(pixel(320, 240)[2], 200);  // red in the middle
    EXPECT_LT(pixel(320, 240)[1], 60);
    EXPECT_EQ(pixel(320, 40)[2], 0);  // black above the picture
    EXPECT_GT(pixel(320, 90)[2], 200);
}

// Puts an event in the window's queue, as the X server would send it: a
// window event, or a key event of the space bar.
void PushEvent(uint32_t type, uint8_t windowEvent) {
    SDL_Event e{};
    e.type = type;
    e.common.timestamp = SDL_GetTicks();
    e.window.event = windowEvent;
    if (type != SDL_WINDOWEVENT) e.key.keysym.scancode = SDL_SCANCODE_SPACE;
    SDL_PushEvent(&e);
}

// The key comes as an event in the window's queue, as the X server would send it.
TEST_F(MovieTest, AKeyPressEndsALoopingMovie) {
    const std::string path = Movie(64, 48, 0.5);
    PushEvent(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_GAINED);  // no window manager gives the focus
    std::thread press([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));  // past the first loop
        PushEvent(SDL_KEYDOWN, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        PushEvent(SDL_KEYUP, 0);
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(PlayMovie(RtString(path.c_str()), 1), 0);
    press.join();
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(1400));
    EXPECT_LT(took, std::chrono::milliseconds(4000));
}

// A tap made before the movie neither holds it back nor ends it; a tap during
// it, down and up before the next poll, ends it.
TEST_F(MovieTest, ATapEndsALoopingMovieButOneFromBeforeDoesNot) {
    const std::string path = Movie(64, 48, 0.5);
    PushEvent(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_GAINED);
    PushEvent(SDL_KEYDOWN, 0);
    PushEvent(SDL_KEYUP, 0);
    std::thread tap([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        PushEvent(SDL_KEYDOWN, 0);
        PushEvent(SDL_KEYUP, 0);
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(PlayMovie(RtString(path.c_str()), 1), 0);
    tap.join();
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(1400));
    EXPECT_LT(took, std::chrono::milliseconds(4000));
}

}  // namespace
