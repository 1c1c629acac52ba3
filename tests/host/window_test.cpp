// The window, its GL context, the 2D projection, display modes and frames,
// in-process on a private X server.
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

#include "host/clock.h"
#include "host/diagnostics.h"
#include "host/error_log.h"
#include "host/frames_internal.h"
#include "host/gl_extensions.h"
#include "host/graphics_backend.h"
#include "host/host_state.h"
#include "host/lifecycle.h"
#include "host/project_settings.h"
#include "support/run_program.h"

namespace {

class Window : public ::testing::Test {
protected:
    // Each test runs in its own process (one ctest entry per test), so the
    // engine starts once per test.
    void StartEngine(int32_t showState = 10, int32_t multisample = 0) {
        ApplyProjectSettings();
        ProjectSettings.multisample = multisample;
        InitEngine(nullptr, showState, ProjectSettings.title);
        ASSERT_TRUE(EngineWindowCreated());
        ASSERT_NE(vtx::GraphicsBackEnd, nullptr);
    }
    SDL_Window* window() const { return vtx::GraphicsBackEnd->window; }
    std::array<GLint, 4> Viewport() const {
        std::array<GLint, 4> v{};
        glGetIntegerv(GL_VIEWPORT, v.data());
        return v;
    }
    static std::array<uint8_t, 4> BackPixel(int x, int yFromTop) {
        std::array<uint8_t, 4> p{};
        glReadBuffer(GL_BACK);
        glReadPixels(x, vtx::GraphicsBackEnd->height - 1 - yFromTop, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
        return p;
    }
};

TEST_F(Window, ClientSizeCaptionAndCentredPlace) {
    StartEngine();
    int w = 0, h = 0, x = 0, y = 0;
    SDL_GetWindowSize(window(), &w, &h);
    SDL_GetWindowPosition(window(), &x, &y);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    EXPECT_EQ(x, (1024 - 640) / 2);
    EXPECT_EQ(y, (768 - 480) / 2);
    EXPECT_STREQ(SDL_GetWindowTitle(window()), "ravlo");
    EXPECT_EQ(SDL_GetWindowFlags(window()) & SDL_WINDOW_SHOWN, SDL_WINDOW_SHOWN);
    EXPECT_EQ(vtx::GraphicsBackEnd->contextReady, 1);
    EXPECT_EQ(vtx::GraphicsBackEnd->multisample, 0);
    GLint depth = 0, stencil = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    glGetIntegerv(GL_STENCIL_BITS, &stencil);
    EXPECT_EQ(depth, 24);
    EXPECT_EQ(stencil, 8);
}

TEST_F(Window, MultisampleRequestGetsAMultisampledFormat) {
    StartEngine(10, 1);
    GLint sampleBuffers = 0;
    glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
    EXPECT_EQ(sampleBuffers, 1);
    EXPECT_EQ(vtx::GraphicsBackEnd->multisample, 0);  // the request is spent once the context exists
    int w = 0, h = 0;
    SDL_GetWindowSize(window(), &w, &h);
    EXPECT_EQ(w, 640);
    EXPECT_STREQ(SDL_GetWindowTitle(window()), "ravlo");
    glColor4ub(1, 2, 3, 255);
    glRecti(0, 0, 640, 480);
    EXPECT_EQ(BackPixel(320, 240), (std::array<uint8_t, 4>{1, 2, 3, 255}));
}

TEST_F(Window, HiddenShowStateHidesTheWindow) {
    StartEngine(0);
    EXPECT_EQ(SDL_GetWindowFlags(window()) & SDL_WINDOW_HIDDEN, SDL_WINDOW_HIDDEN);
    ShowScreen();  // the program runs on without a visible window
}

TEST_F(Window, SoftwareRendererIsReportedOncePerProcess) {
    StartEngine();
    SetScreenMode(1024, 768, 1);  // a new window and context
    SetScreenMode(640, 480, 0);
    const std::string log = ReadWholeFile(vtx::ErrorLogPath());
    EXPECT_EQ(log.find("OpenGL Software Emulation"), log.rfind("OpenGL Software Emulation"));
    EXPECT_NE(log.find("OpenGL Software Emulation\r\n"), std::string::npos);
}

TEST_F(Window, Viewport2DCountsYFromTheTop) {
    StartEngine();
    OpenGLRidezoda& gfx = *vtx::GraphicsBackEnd;
    vtx::SetViewport2D(gfx, 0, 0, 0, 0);
    EXPECT_EQ(Viewport(), (std::array<GLint, 4>{0, 0, 640, 480}));
    vtx::SetViewport2D(gfx, 10, 20, 100, 50);
    EXPECT_EQ(Viewport(), (std::array<GLint, 4>{10, 410, 100, 50}));
    EXPECT_EQ(gfx.viewportX, 10);
    EXPECT_EQ(gfx.viewportH, 50);

    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_FLOAT_EQ(projection[0], 2.0f / 100.0f);
    EXPECT_FLOAT_EQ(projection[5], -2.0f / 50.0f);  // y grows downwards
    EXPECT_FLOAT_EQ(projection[13], 1.0f);
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_DITHER));
    GLint func = 0, shade = 0;
    GLfloat ref = 0;
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &func);
    glGetFloatv(GL_ALPHA_TEST_REF, &ref);
    glGetIntegerv(GL_SHADE_MODEL, &shade);
    EXPECT_EQ(func, GL_GREATER);
    EXPECT_FLOAT_EQ(ref, 0.05f);
    EXPECT_EQ(shade, GL_FLAT);
    EXPECT_TRUE(gfx.mode2D);
}

TEST_F(Window, RotatedScreenSwapsTheWholeScreenSize) {
    StartEngine();
    OpenGLRidezoda& gfx = *vtx::GraphicsBackEnd;
    gfx.rotated = 1;
    vtx::SetViewport2D(gfx, 0, 0, 0, 0);
    EXPECT_EQ(Viewport(), (std::array<GLint, 4>{0, -160, 480, 640}));
    gfx.rotated = 0;
}

TEST_F(Window, PixelsDrawnInTopLeftCoordinatesAndClearedByShowScreen) {
    StartEngine();
    glColor4ub(200, 100, 50, 255);
    glRecti(10, 20, 30, 40);  // 2D pixels, (0, 0) at the top left
    EXPECT_EQ(BackPixel(15, 25), (std::array<uint8_t, 4>{200, 100, 50, 255}));
    EXPECT_EQ(BackPixel(15, 45)[0], 0);
    ShowScreen();
    EXPECT_EQ(BackPixel(15, 25)[0], 0);  // the new frame starts cleared
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[1], 1.0f);  // colour back to opaque white
}

// Depth (as a 0-255 byte) and stencil at a pixel counted from the top.
std::array<int, 2> DepthAndStencil(int x, int yFromTop) {
    GLubyte depth = 0;
    GLubyte stencil = 0;
    const int y = vtx::GraphicsBackEnd->height - 1 - yFromTop;
    glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_UNSIGNED_BYTE, &depth);
    glReadPixels(x, y, 1, 1, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, &stencil);
    return {depth, stencil};
}

// Writes depth 0.5 and stencil 7 over (0, 0)-(100, 100), then turns the tests off.
void WriteDepthAndStencil() {
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 7, 0xff);
    glStencilOp(GL_REPLACE, GL_REPLACE, GL_REPLACE);
    glRecti(0, 0, 100, 100);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_STENCIL_TEST);
}

TEST_F(Window, FramesThatUseDepthOrStencilStartTheNextWithThemCleared) {
    StartEngine();
    ShowScreen();
    EXPECT_EQ(DepthAndStencil(50, 50), (std::array<int, 2>{255, 0}));  // the first frame clears both

    vtx::NoteDepthStencilUse();
    WriteDepthAndStencil();
    EXPECT_EQ(DepthAndStencil(50, 50)[1], 7);
    EXPECT_NEAR(DepthAndStencil(50, 50)[0], 128, 1);
    ShowScreen();
    EXPECT_EQ(DepthAndStencil(50, 50), (std::array<int, 2>{255, 0}));

    // 2D frames leave both untouched, and the clear is skipped: both stay cleared.
    glRecti(0, 0, 100, 100);
    ShowScreen();
    ShowScreen();
    EXPECT_EQ(DepthAndStencil(50, 50), (std::array<int, 2>{255, 0}));
}

TEST_F(Window, FullscreenModeIsRefusedWhenTheDisplayLacksIt) {
    StartEngine();
    SetScreenMode(640, 480, 1);  // the test display offers 1024 x 768 only
    EXPECT_FALSE(vtx::GraphicsBackEnd->fullscreen);
    EXPECT_NE(ReadWholeFile(vtx::ErrorLogPath()).find("No Fullscreen Mode available\r\n"), std::string::npos);
    EXPECT_EQ(ProjectSettings.fullscreen, 1);
}

TEST_F(Window, FullscreenModeReplacesTheWindowAndBack) {
    StartEngine();
    SDL_Window* before = window();
    SetScreenMode(1024, 768, 1);
    EXPECT_TRUE(vtx::GraphicsBackEnd->fullscreen);
    EXPECT_NE(window(), before);
    EXPECT_STREQ(SDL_GetWindowTitle(window()), "ravlo");
    EXPECT_EQ(Viewport(), (std::array<GLint, 4>{0, 0, 1024, 768}));
    glColor4ub(9, 8, 7, 255);
    glRecti(1000, 700, 1010, 710);
    EXPECT_EQ(BackPixel(1005, 705), (std::array<uint8_t, 4>{9, 8, 7, 255}));

    SetScreenMode(320, 240, 0);
    EXPECT_FALSE(vtx::GraphicsBackEnd->fullscreen);
    int w = 0, h = 0;
    SDL_GetWindowSize(window(), &w, &h);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 240);
    EXPECT_EQ(Viewport(), (std::array<GLint, 4>{0, 0, 320, 240}));
}

TEST_F(Window, ExtensionEntryPointsFollowTheExtensionString) {
    StartEngine();
    EXPECT_TRUE(vtx::HasGlExtension("GL_ARB_multitexture"));
    EXPECT_FALSE(vtx::HasGlExtension("GL_ARB_multi"));
    EXPECT_NE(vtx::GlExt.glActiveTextureARB, nullptr);
    EXPECT_NE(vtx::GlExt.glCreateShaderObjectARB, nullptr);
    EXPECT_NE(vtx::GlExt.glGenFramebuffersEXT, nullptr);
    EXPECT_NE(vtx::GlExt.glBindFramebufferEXT, nullptr);
}

TEST(ExtensionList, WholeWordsOnly) {
    const char* list = "GL_ARB_multitexture_x GL_EXT_a GL_ARB_multitexture";
    EXPECT_TRUE(vtx::ExtensionListHas(list, "GL_ARB_multitexture"));  // found after a rejected hit
    EXPECT_TRUE(vtx::ExtensionListHas(list, "GL_EXT_a"));
    EXPECT_FALSE(vtx::ExtensionListHas(list, "GL_EXT"));
    EXPECT_FALSE(vtx::ExtensionListHas(list, "multitexture"));
    EXPECT_FALSE(vtx::ExtensionListHas(list, ""));
    EXPECT_FALSE(vtx::ExtensionListHas("", "GL_EXT_a"));
}

TEST_F(Window, FrameRateLimitAndFrameTime) {
    StartEngine();
    EXPECT_EQ(GetFrameTime(), 1.0);  // before the first ShowScreen
    for (double fps : {0.0, -5.0, 0.5, 0.999}) {
        LimitFps(fps);
        EXPECT_EQ(vtx::GraphicsBackEnd->framePeriod, 2.0) << fps;
    }
    LimitFps(60.9);
    EXPECT_DOUBLE_EQ(vtx::GraphicsBackEnd->framePeriod, 1000.0 / 60);
    LimitFps(25);
    ShowScreen();
    ShowScreen();
    ShowScreen();
    EXPECT_NEAR(GetFrameTime(), 40.0, 8.0);
}

TEST(FrameSchedule, LateFramesKeepOrRestartTheSchedule) {
    const double period = 10.0;
    EXPECT_EQ(vtx::NextFrameTime(100.0, period, 99.5), 110.0);   // on time
    EXPECT_EQ(vtx::NextFrameTime(100.0, period, 105.0), 110.0);  // 1.5 periods: schedule unchanged
    EXPECT_EQ(vtx::NextFrameTime(100.0, period, 115.0), 120.0);  // 2.5 periods: one slot skipped
    EXPECT_EQ(vtx::NextFrameTime(100.0, period, 125.0), 135.0);  // more than two: restart from now
    EXPECT_EQ(vtx::NextFrameTime(100.0, 0.0, 125.0), 100.0);     // no period: left alone
}

TEST(Clock, FirstReadingIsZeroAndTimeAdvances) {
    InitClock();
    EXPECT_EQ(ReadClock(), 0.0);
    SleepMs(20);
    const double later = ReadClock();
    EXPECT_GE(later, 19.0);
    EXPECT_LT(later, 1000.0);
    SleepMs(-1);  // a negative wait returns at once
    SleepMs(0.5);
    EXPECT_LT(ReadClock() - later, 50.0);
}

TEST(CallByName, UnknownNamesReturnZero) {
    EXPECT_EQ(CallByName(RtString("NoSuchFunction")), 0.0);
    EXPECT_EQ(CallByName(RtString("VTX_ON_QUIT")), 0.0);
}

}  // namespace
