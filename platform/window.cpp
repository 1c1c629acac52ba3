// SDL2 stand-in for the window, the GL context and display modes.
#include "window.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

namespace vtx::platform {
namespace {

// SDL falls back by itself to drivers that draw into memory when no display
// answers; a program would then run on with no window anyone can see. Those
// drivers are used only when asked for by name (SDL_VIDEODRIVER).
bool ShowsNothing(const char* driver) {
    const char* chosen = std::getenv("SDL_VIDEODRIVER");
    if (chosen != nullptr && chosen[0] != '\0') return false;
    return driver == nullptr || std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0 ||
           std::strcmp(driver, "evdev") == 0;
}

}  // namespace

bool InitVideo() {
    static bool started = false;
    if (started) return true;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return false;
    if (ShowsNothing(SDL_GetCurrentVideoDriver())) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return false;
    }
    // The GL library stays loaded for the whole process, so that replacing or
    // destroying the window never unloads the driver under a live context.
    if (SDL_GL_LoadLibrary(nullptr) != 0) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return false;
    }
    SDL_DisableScreenSaver();  // no screen saver or monitor power saving while the program runs
    started = true;
    return true;
}

DisplayMode DesktopMode() {
    DisplayMode mode;
    SDL_DisplayMode desktop{};
    if (SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
        mode.width = desktop.w;
        mode.height = desktop.h;
        mode.bitsPerPixel = static_cast<int32_t>(SDL_BITSPERPIXEL(desktop.format));
    }
    return mode;
}

bool HasDisplayMode(int32_t width, int32_t height, int32_t bitsPerPixel) {
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode{};
        if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
        if (mode.w != width || mode.h != height) continue;
        if (bitsPerPixel != 0 && static_cast<int32_t>(SDL_BITSPERPIXEL(mode.format)) != bitsPerPixel) continue;
        return true;
    }
    return false;
}

WindowHandle CreateGlWindow(const char* caption, int32_t x, int32_t y, int32_t width, int32_t height,
                            int32_t colourBits, int32_t multisampleBuffers, int32_t samples) {
    const int channel = colourBits <= 16 ? 5 : 8;
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, colourBits <= 16 ? 6 : 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, multisampleBuffers);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, samples);
    if (multisampleBuffers != 0) SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    const std::string title = CodePageToUtf8(caption);
    return SDL_CreateWindow(title.c_str(), x, y, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
}

void DestroyWindow(WindowHandle window) {
    if (window != nullptr) SDL_DestroyWindow(window);
}

GlContext CreateGlContext(WindowHandle window) { return SDL_GL_CreateContext(window); }

bool MakeCurrent(WindowHandle window, GlContext context) {
    if (SDL_GL_MakeCurrent(window, context) != 0) return false;
    SDL_GL_SetSwapInterval(0);  // the runtime's frame limiter paces frames, not the display
    return true;
}

void ReleaseCurrent(WindowHandle window) { SDL_GL_MakeCurrent(window, nullptr); }

void DeleteGlContext(GlContext context) {
    if (context != nullptr) SDL_GL_DeleteContext(context);
}

void* GlProcAddress(const char* name) { return SDL_GL_GetProcAddress(name); }

void SwapBuffers(WindowHandle window) { SDL_GL_SwapWindow(window); }

void SetCaption(WindowHandle window, const char* caption) {
    if (window != nullptr) SDL_SetWindowTitle(window, CodePageToUtf8(caption).c_str());
}

std::string Caption(WindowHandle window) {
    return window != nullptr ? Utf8ToCodePage(SDL_GetWindowTitle(window)) : std::string();
}

void ShowWindow(WindowHandle window) { SDL_ShowWindow(window); }
void HideWindow(WindowHandle window) { SDL_HideWindow(window); }
void RaiseWindow(WindowHandle window) { SDL_RaiseWindow(window); }

bool WindowPosition(WindowHandle window, int32_t& x, int32_t& y) {
    if (window == nullptr) return false;
    int wx = 0, wy = 0;
    SDL_GetWindowPosition(window, &wx, &wy);
    x = wx;
    y = wy;
    return true;
}

void PlaceWindow(WindowHandle window, int32_t x, int32_t y, int32_t width, int32_t height) {
    SDL_SetWindowSize(window, width, height);
    SDL_SetWindowPosition(window, x, y);
}

void SetWindowFramed(WindowHandle window, bool framed) {
    SDL_SetWindowBordered(window, framed ? SDL_TRUE : SDL_FALSE);
    SDL_SetWindowResizable(window, SDL_FALSE);
}

bool EnterFullscreen(WindowHandle window, int32_t width, int32_t height, int32_t bitsPerPixel) {
    SDL_DisplayMode found{};
    const int count = SDL_GetNumDisplayModes(0);
    bool exists = false;
    for (int i = 0; i < count && !exists; ++i) {
        if (SDL_GetDisplayMode(0, i, &found) != 0) continue;
        exists = found.w == width && found.h == height &&
                 (bitsPerPixel == 0 || static_cast<int32_t>(SDL_BITSPERPIXEL(found.format)) == bitsPerPixel);
    }
    if (!exists) return false;
    if (SDL_SetWindowDisplayMode(window, &found) != 0) return false;
    return SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) == 0;
}

void LeaveFullscreen(WindowHandle window) {
    if (window != nullptr) SDL_SetWindowFullscreen(window, 0);
}

}  // namespace vtx::platform
