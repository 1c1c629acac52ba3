// The harness itself: a window test gets a private X server on which SDL
// opens an OpenGL window whose pixels can be read back exactly.
#include <SDL.h>
#include <SDL_opengl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

TEST(XvfbHarness, UnattendedEnvironment) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr);
    EXPECT_STREQ(std::getenv("SDL_VIDEODRIVER"), "x11");
    EXPECT_STREQ(std::getenv("VTX_NO_DIALOGS"), "1");
    EXPECT_STREQ(std::getenv("SDL_AUDIODRIVER"), "dummy");
}

TEST(XvfbHarness, GlWindowReadsBackWhatItDrew) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window = SDL_CreateWindow("harness", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 64, 48,
                                          SDL_WINDOW_OPENGL);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    SDL_GLContext context = SDL_GL_CreateContext(window);
    ASSERT_NE(context, nullptr) << SDL_GetError();

    const std::string renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    EXPECT_NE(renderer.find("llvmpipe"), std::string::npos) << renderer;

    glViewport(0, 0, 64, 48);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 64, 48, 0, -1, 1);  // y from the top
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4ub(255, 255, 255, 255);
    glRecti(0, 0, 64, 24);  // white upper half
    glColor4ub(10, 10, 10, 102);
    glRecti(0, 0, 32, 24);  // translucent dark over white

    unsigned char pixel[4] = {};
    glReadBuffer(GL_BACK);
    glReadPixels(10, 47 - 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 157);  // 10 * 0.4 + 255 * 0.6
    glReadPixels(40, 47 - 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 255);
    glReadPixels(40, 5, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 0);

    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    // No SDL_Quit: it unloads the GL driver, whose own allocations would then
    // show in sanitizer builds as leaks of an unknown module.
}

}  // namespace
