// ravlo end to end: the installed program under the test's X server, sound
// written to a file by SDL's disk driver, driven with xdotool as a user
// would, and checked from screenshots of its window. The text checks read
// the glyphs back: every lit pixel of the demo fonts has one exact colour.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "demo_media.h"
#include "gfx2d/font_store.h"
#include "gfx2d/image_buffer.h"
#include "gfx2d/picture_codecs.h"
#include "support/running_program.h"
#include "support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;
using Rgb = std::array<int, 3>;

constexpr Rgb kFont1 = {255, 244, 214};  // the lit pixels of font.bmp

// A screenshot of the window: width x height RGB, top row first.
struct Shot {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    Rgb At(int x, int y) const {
        const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        return {p[0], p[1], p[2]};
    }
};

Shot Screenshot(const std::string& window, const std::string& folder) {
    Shot s;
    const std::string file = folder + "/shot.ppm";
    RunCommand(std::string(X11_SCREENSHOT) + " " + window + " " + Quoted(file));
    std::ifstream in(file, std::ios::binary);
    std::string magic;
    int max = 0;
    in >> magic >> s.width >> s.height >> max;
    in.get();
    s.rgb.resize(static_cast<size_t>(s.width) * s.height * 3);
    in.read(reinterpret_cast<char*>(s.rgb.data()), static_cast<std::streamsize>(s.rgb.size()));
    if (magic != "P6" || !in) s = Shot{};
    return s;
}

// A picture file decoded to RGB, top row first.
Shot Picture(const std::string& path) {
    vtx::ImageBuffer image;
    Shot s;
    if (!vtx::DecodePicture(image, path.c_str(), vtx::kNoColorKey)) return s;
    s.width = image.width;
    s.height = image.height;
    for (int i = 0; i < image.width * image.height; ++i)
        for (int c = 0; c < 3; ++c) s.rgb.push_back(image.pixels[i * 4 + c]);
    return s;
}

// Share of the pixels of two pictures that differ by more than tolerance.
double Difference(const Shot& a, const Shot& b, int tolerance = 8) {
    if (a.width != b.width || a.height != b.height || a.width == 0) return 1.0;
    size_t off = 0;
    for (size_t i = 0; i < a.rgb.size(); i += 3)
        for (int c = 0; c < 3; ++c)
            if (std::abs(a.rgb[i + c] - b.rgb[i + c]) > tolerance) {
                ++off;
                break;
            }
    return static_cast<double>(off) / (a.rgb.size() / 3);
}

// True when the text stands at (x, y) in font 1 (8 x 8 cells, the 5 x 6
// glyph one pixel in): every glyph pixel lit, and no lit pixel elsewhere in
// the cells.
bool ShowsText(const Shot& s, const std::string& text, int x, int y) {
    const auto& masks = vtx::BuiltinGlyphMasks();
    for (size_t i = 0; i < text.size(); ++i) {
        const uint32_t mask = masks[static_cast<size_t>(text[i] - 32)];
        for (int cy = 0; cy < 8; ++cy)
            for (int cx = 0; cx < 8; ++cx) {
                const int gx = cx - 1, gy = cy - 1;
                const bool glyph = gx >= 0 && gx < 5 && gy >= 0 && gy < 6 && (mask >> (gy * 5 + gx) & 1u) != 0;
                const bool lit = s.At(x + static_cast<int>(i) * 8 + cx, y + cy) == kFont1;
                if (glyph != lit) return false;
            }
    }
    return true;
}

// Font 2 (16 x 16 cells, glyphs at double size): the count of its lit
// pixels (full blue, red above 100) in a band of rows, for "some text there".
int LitInBand(const Shot& s, int y0, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = 0; x < s.width; ++x) {
            const Rgb p = s.At(x, y);
            n += p[2] >= 250 && p[0] >= 100 && p[1] >= 100;
        }
    return n;
}

// Pixels of the glyphs of a text in font 2 (each lit font pixel is 2 x 2).
int Font2Pixels(const std::string& text) {
    int n = 0;
    for (char c : text) n += 4 * std::popcount(vtx::BuiltinGlyphMasks()[static_cast<size_t>(c - 32)]);
    return n;
}

// Keeps the main screen as build/ravlo-screenshot.png (the README's picture
// is one of these).
void SaveForTheReadme(const Shot& s) {
    std::vector<uint8_t> bgr(s.rgb.size());
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            for (int c = 0; c < 3; ++c)
                bgr[(static_cast<size_t>(s.height - 1 - y) * s.width + x) * 3 + c] =
                    s.rgb[(static_cast<size_t>(y) * s.width + x) * 3 + 2 - c];
    vtx::EncodePicture(VTX_BUILD_DIR "/ravlo-screenshot.png", bgr.data(), s.width, s.height, s.width,
                       vtx::RenderedKey{});
}

const char* const kListLines[11] = {
    "Use keyboard to chose song", "1. Tolvane - Romantic isnt it", "2. Tolvane - Disco",
    "3. RQD - Cholesterin 513", "4. RQD - Nightshift", "5. RQD - Welcome home", "6. KT - Voiles",
    "7. KT - Antilithium", "8. Lumarest - Quality standards", "9. Lumarest - Name and faces", "Q. Quit"};

// The installed ravlo (lib/ravlo with its Media), copied into a scratch
// folder so that each test can change its media.
class RavloTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string prefix = scratch_.path().string() + "/prefix";
        const ProgramRun install =
            RunCommand("cmake --install " + Quoted(VTX_BUILD_DIR) + " --prefix " + Quoted(prefix) + " 2>&1");
        ASSERT_EQ(install.exitCode, 0) << install.output;
        ASSERT_TRUE(fs::is_symlink(prefix + "/bin/ravlo"));
        app_ = scratch_.path().string() + "/ravlo";
        fs::copy(prefix + "/lib/ravlo", app_, fs::copy_options::recursive);
        ASSERT_TRUE(fs::exists(app_ + "/Media/09.mp3"));
    }
    // Starts ravlo with its sound going to audio.raw; returns its window.
    std::string Start() {
        program_ = std::make_unique<RunningProgram>(
            "/usr/bin/env",
            "SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=" + Quoted(scratch_.path().string() + "/audio.raw") + " " +
                Quoted(app_ + "/ravlo"),
            scratch_.path().string());
        started_ = std::chrono::steady_clock::now();
        const std::string window = FindWindow("ravlo");
        if (!window.empty()) RunCommand(std::string(X11_FOCUS) + " " + window);
        return window;
    }
    double SecondsSinceStart() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    }
    // Waits for the main screen: the first list line in its place.
    bool MainScreenShown(const std::string& window, int timeoutMs = 15000) {
        return Eventually([&] { return ShowsText(Screenshot(window, scratch_.path().string()), kListLines[0], 10, 16); },
                          timeoutMs);
    }
    ScratchFolder scratch_{"ravlo"};
    std::string app_;
    std::unique_ptr<RunningProgram> program_;
    std::chrono::steady_clock::time_point started_;
};

TEST_F(RavloTest, IntroThenTheListWithMusicThenTrackThreeThenQuit) {
    const Shot intro = Picture(app_ + "/Media/intro.png");
    const std::string window = Start();
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(Eventually([&] { return Difference(Screenshot(window, scratch_.path().string()), intro) < 0.01; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(3000));
    if (SecondsSinceStart() < 4.5) {  // the intro stays its 5 s
        EXPECT_LT(Difference(Screenshot(window, scratch_.path().string()), intro), 0.01);
    }
    ASSERT_TRUE(MainScreenShown(window));
    EXPECT_GE(SecondsSinceStart(), 5.0);

    Shot s = Screenshot(window, scratch_.path().string());
    SaveForTheReadme(s);
    for (int i = 0; i < 11; ++i) EXPECT_TRUE(ShowsText(s, kListLines[i], 10, 16 + 10 * i)) << kListLines[i];
    EXPECT_EQ(LitInBand(s, 446, 462), Font2Pixels("Tolvane - Romantic isnt it"));
    // The panel: 40 % of (10, 10, 10) over the first background.
    const Shot bg1 = Picture(app_ + "/Media/bg1.png");
    for (int x : {300, 355}) {
        const Rgb p = s.At(x, 130), b = bg1.At(x, 130);
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(p[c], 0.6 * b[c] + 0.4 * 10, 3) << "panel at x " << x;
    }
    EXPECT_LT(Difference(s, bg1, 8), 0.2);  // the rest (beside panel and text) is the picture

    const Shot bg3 = Picture(app_ + "/Media/bg3.png");  // read before ravlo opens it
    // Holding 3: one switch, to bg3 and "RQD - Cholesterin 513", after about a second.
    RunCommand("xdotool keydown 3");
    const auto pressed = std::chrono::steady_clock::now();
    ASSERT_TRUE(Eventually(
        [&] {
            s = Screenshot(window, scratch_.path().string());
            return LitInBand(s, 446, 462) == Font2Pixels("RQD - Cholesterin 513");
        },
        8000))
        << LitInBand(s, 446, 462) << " lit pixels, " << Font2Pixels("RQD - Cholesterin 513") << " expected";
    EXPECT_GE(std::chrono::duration<double>(std::chrono::steady_clock::now() - pressed).count(), 0.9);
    EXPECT_LT(Difference(s, bg3, 8), 0.2);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));  // still held: no second switch
    RunCommand("xdotool keyup 3");
    EXPECT_EQ(LitInBand(Screenshot(window, scratch_.path().string()), 446, 462), Font2Pixels("RQD - Cholesterin 513"));

    // The sound file holds music: at least a second of samples far from silence.
    const std::string sound = ReadWholeFile(scratch_.path().string() + "/audio.raw");
    size_t loud = 0;
    for (size_t i = 0; i + 1 < sound.size(); i += 2) {
        const int16_t v = static_cast<int16_t>(static_cast<uint8_t>(sound[i]) | (sound[i + 1] << 8));
        loud += std::abs(v) > 1000;
    }
    EXPECT_GT(loud, 88200u) << sound.size() << " bytes of sound";

    // Shift+q is "Q": nothing happens; q shows the intro and ends about 4 s later.
    TapKeys("shift+q");  // quick taps, as a user types
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(program_->WaitForExit(0), RunningProgram::kRunning);
    TapKeys("q");
    const auto quit = std::chrono::steady_clock::now();
    EXPECT_TRUE(Eventually([&] { return Difference(Screenshot(window, scratch_.path().string()), intro) < 0.01; }, 3000));
    EXPECT_EQ(program_->WaitForExit(10000), 0);
    EXPECT_GE(std::chrono::duration<double>(std::chrono::steady_clock::now() - quit).count(), 3.5);
    const std::string log = ReadWholeFile(scratch_.path().string() + "/ErrorLog.txt");
    for (const char* line : {"Init GFX", "Init Finalized", "Shut down VTX", "vtx is shut down"})
        EXPECT_NE(log.find(line), std::string::npos) << line << " missing from the log:\n" << log;
}

TEST_F(RavloTest, ATrackPlayedOnceRunsOutAndEscapeEndsAtOnce) {
    // Track 2 is a one-second tune here.
    std::vector<float> tone(44100);
    for (size_t i = 0; i < tone.size(); ++i) tone[i] = 0.3f * static_cast<float>(std::sin(i * 0.05));
    ASSERT_TRUE(demo::EncodeMp3(app_ + "/Media/02.mp3", tone, 44100));
    const std::string window = Start();
    ASSERT_TRUE(MainScreenShown(window));
    TapKeys("2");
    EXPECT_TRUE(Eventually(
        [&] { return LitInBand(Screenshot(window, scratch_.path().string()), 446, 462) == Font2Pixels("Nothing. pick a tune"); },
        10000));
    TapKeys("Escape");
    EXPECT_EQ(program_->WaitForExit(2000), 0);
}

TEST_F(RavloTest, WithoutItsMediaFolderItRunsOnAndEnds) {
    fs::remove_all(app_ + "/Media");
    const std::string window = Start();
    ASSERT_FALSE(window.empty());
    std::this_thread::sleep_for(std::chrono::milliseconds(6000));
    EXPECT_EQ(program_->WaitForExit(0), RunningProgram::kRunning);
    TapKeys("q");
    EXPECT_EQ(program_->WaitForExit(10000), 0);
}

}  // namespace
