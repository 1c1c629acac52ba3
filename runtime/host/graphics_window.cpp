// The window and GL context, windowed and fullscreen display modes.
#include <GL/gl.h>

#include <cstring>
#include <string>

#include "audio/sound_device.h"
#include "gfx2d/background_layers.h"
#include "gfx2d/presented_frame.h"
#include "host/clock.h"
#include "host/error_log.h"
#include "host/frames_internal.h"
#include "host/gl_extensions.h"
#include "host/graphics_backend.h"
#include "host/project_settings.h"
#include "input/input_devices.h"
#include "platform/platform.h"
#include "platform/window.h"

namespace vtx {

OpenGLRidezoda* GraphicsBackEnd = nullptr;

namespace {

constexpr const char* kWindowTitle = "Vantrix";

// Process-wide: the software warning is shown at most once.
struct WindowProcessState {
    bool softwareWarningShown = false;
    std::string renderer;  // fetched once
    bool rendererFetched = false;
};
WindowProcessState WindowProcess;

bool IsSoftwareRenderer(const std::string& renderer) {
    for (const char* name : {"llvmpipe", "softpipe", "swrast"})
        if (renderer.find(name) != std::string::npos) return true;
    return renderer == "Mesa Windows GDI Driver";
}

// Warns once per process when OpenGL runs without hardware.
void CheckSoftwareRenderer() {
    if (WindowProcess.softwareWarningShown) return;
    if (!WindowProcess.rendererFetched) {
        const GLubyte* text = glGetString(GL_RENDERER);
        WindowProcess.renderer = text != nullptr ? reinterpret_cast<const char*>(text) : "";
        WindowProcess.rendererFetched = true;
    }
    if (!IsSoftwareRenderer(WindowProcess.renderer)) return;
    WindowProcess.softwareWarningShown = true;
    platform::WarningBox("!!OpenGL Software Emulation!!",
                         "Please update your GFX adapter's driver\nso it can render OpenGL by HARDWARE\n\n\n"
                         "Bitte aktualisieren Sie Ihren\nGrafkkartentreiber, damit er OpenGL\n"
                         "per HARDWARE unterst\xfctzt!");
    AppendErrorLog("OpenGL Software Emulation");
}

// A window centred on the desktop, with the pixel format of the back-end.
platform::WindowHandle MakeWindow(int32_t width, int32_t height, int32_t depth, int32_t sampleBuffers,
                                  int32_t samples) {
    const platform::DisplayMode desktop = platform::DesktopMode();
    const int32_t colourBits = depth != 0 ? depth : desktop.bitsPerPixel;
    return platform::CreateGlWindow(kWindowTitle, (desktop.width - width) / 2, (desktop.height - height) / 2, width,
                                    height, colourBits, sampleBuffers, samples);
}

// Makes the back-end's context current on its window, creating it if needed
// and replacing it when it cannot be made current.
bool BindContext(OpenGLRidezoda& gfx) {
    if (gfx.context == nullptr) gfx.context = platform::CreateGlContext(gfx.window);
    if (gfx.context != nullptr && platform::MakeCurrent(gfx.window, gfx.context)) return true;
    platform::DeleteGlContext(gfx.context);
    gfx.context = platform::CreateGlContext(gfx.window);
    return gfx.context != nullptr && platform::MakeCurrent(gfx.window, gfx.context);
}

// A multisampled format replaces the first window when the driver offers one;
// the sample count halves after each refusal.
void TryMultisampleFormat(OpenGLRidezoda& gfx, int32_t width, int32_t height) {
    if (!HasGlExtension("GL_ARB_multisample")) return;
    int32_t samples = 0;
    while (true) {
        platform::WindowHandle window = MakeWindow(width, height, gfx.colourDepth, 1, samples);
        if (window != nullptr) {
            platform::GlContext context = platform::CreateGlContext(window);
            if (context != nullptr && platform::MakeCurrent(window, context)) {
                const platform::GlContext old = gfx.context;
                gfx.context = nullptr;
                DestroyGraphicsWindow(gfx);
                platform::DeleteGlContext(old);
                gfx.window = window;
                gfx.context = context;
                platform::MakeCurrent(window, context);
                return;
            }
            platform::DeleteGlContext(context);
            platform::DestroyWindow(window);
            if (gfx.window != nullptr) platform::MakeCurrent(gfx.window, gfx.context);
        }
        if (samples / 2 == 0) return;
        samples /= 2;
    }
}

}  // namespace

double FramePeriodFor(int32_t frameRate) { return frameRate > 0 ? 1000.0 / frameRate : 2.0; }

bool CreateGraphicsWindow(OpenGLRidezoda& gfx, void* instance, int32_t width, int32_t height, int32_t colourDepth,
                          int32_t frameRate, int32_t multisample, bool) {
    gfx.framePeriod = FramePeriodFor(frameRate);                              // 1
    if (!platform::InitVideo()) return false;                                 // 2
    gfx.instance = instance;                                                  // 3
    gfx.multisample = multisample;
    const platform::DisplayMode desktop = platform::DesktopMode();
    if (width == 0) width = desktop.width;                                    // 4
    if (height == 0) height = desktop.height;
    if (colourDepth == 0) colourDepth = desktop.bitsPerPixel;
    gfx.window = MakeWindow(width, height, colourDepth, 0, 0);
    if (gfx.window == nullptr) return false;
    gfx.fullscreen = false;                                                   // 5
    gfx.width = width;
    gfx.height = height;
    gfx.colourDepth = colourDepth;
    if (!BindContext(gfx)) {                                                  // 6, 7
        platform::DestroyWindow(gfx.window);
        gfx.window = nullptr;
        return false;
    }
    if (gfx.multisample != 0) TryMultisampleFormat(gfx, width, height);       // 8
    gfx.multisample = 0;
    CheckSoftwareRenderer();                                                  // 9
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);                       // 10
    NoteDepthStencilUse();  // the new stencil buffer is undefined until the first frame clear
    gfx.width = width;
    gfx.height = height;
    gfx.colourDepth = colourDepth;
    gfx.fullscreen = false;
    gfx.nextFrameTime = ReadClock();
    FetchGlExtensionFunctions();                                              // 11
    FetchFramebufferFunctions();                                              // 12
    platform::ShowWindow(gfx.window);
    SetViewport2D(gfx, 0, 0, 0, 0);
    gfx.contextReady = 1;
    return true;
}

void SetWindowedMode(OpenGLRidezoda& gfx) {
    if (gfx.window == nullptr) return;
    if (gfx.fullscreen) {                                                     // 1
        platform::LeaveFullscreen(gfx.window);
        platform::SleepMilliseconds(500);
    }
    platform::SetWindowFramed(gfx.window, true);                              // 2
    int32_t x = 0, y = 0;                                                     // 3
    if (!platform::WindowPosition(gfx.window, x, y)) {
        const platform::DisplayMode desktop = platform::DesktopMode();
        x = (desktop.width - gfx.width) / 2;
        y = (desktop.height - gfx.height) / 2;
    }
    platform::PlaceWindow(gfx.window, x, y, gfx.width, gfx.height);
    platform::ShowWindow(gfx.window);                                         // 4
    platform::RaiseWindow(gfx.window);
    SetViewport2D(gfx, 0, 0, 0, 0);
    gfx.fullscreen = false;
}

bool SetFullscreenMode(OpenGLRidezoda& gfx) {
    const platform::DisplayMode desktop = platform::DesktopMode();
    // The depth joins the request only when it differs from the desktop's.
    const int32_t depth = gfx.colourDepth != 0 && gfx.colourDepth != desktop.bitsPerPixel ? gfx.colourDepth : 0;
    bool available = platform::HasDisplayMode(gfx.width, gfx.height, depth);  // 1
    if (!available && depth != 0) available = platform::HasDisplayMode(gfx.width, gfx.height, 0);
    if (!available) {                                                         // 2
        AppendErrorLog("No Fullscreen Mode available");
        SetWindowedMode(gfx);
        return false;
    }
    // 3: a new window and context replace the old window.
    const platform::WindowHandle oldWindow = gfx.window;
    const std::string caption = platform::Caption(oldWindow);
    const int32_t frameRate = static_cast<int32_t>(1000.0 / gfx.framePeriod);
    gfx.window = nullptr;
    gfx.contextReady = 0;
    if (!CreateGraphicsWindow(gfx, gfx.instance, gfx.width, gfx.height, gfx.colourDepth, frameRate, gfx.multisample,
                              true)) {
        gfx.window = oldWindow;
        platform::MakeCurrent(oldWindow, gfx.context);
        return false;
    }
    platform::SetCaption(gfx.window, caption.c_str());                        // 4
    platform::DestroyWindow(oldWindow);
    SetViewport2D(gfx, 0, 0, 0, 0);
    if (!platform::EnterFullscreen(gfx.window, gfx.width, gfx.height, depth)) {
        AppendErrorLog("No Fullscreen Mode available");
        SetWindowedMode(gfx);
        return false;
    }
    platform::ShowWindow(gfx.window);
    platform::RaiseWindow(gfx.window);
    gfx.fullscreen = true;
    return true;
}

void HideGraphicsWindow(OpenGLRidezoda& gfx) {
    if (gfx.window == nullptr) return;
    if (gfx.fullscreen) {
        platform::LeaveFullscreen(gfx.window);
        gfx.fullscreen = false;
    }
    platform::HideWindow(gfx.window);
}

void DestroyGraphicsWindow(OpenGLRidezoda& gfx) {
    if (gfx.contextReady != 0) {
        for (int32_t slot = 0; slot < kSlotCount; ++slot) ResetSlot(slot);
        ForgetBackgroundLayers();
    }
    SetWindowedMode(gfx);
    ForgetPresentedFrame();
    if (gfx.window != nullptr) platform::ReleaseCurrent(gfx.window);
    platform::DestroyWindow(gfx.window);
    gfx.window = nullptr;
    gfx.width = 0;
    gfx.height = 0;
}

bool ChangeScreenMode(OpenGLRidezoda& gfx, int32_t width, int32_t height, int32_t colourDepth, int32_t fullscreen) {
    if (width != 0) gfx.width = width;
    if (height != 0) gfx.height = height;
    if (colourDepth != 0) gfx.colourDepth = colourDepth;
    if (fullscreen != 0) return SetFullscreenMode(gfx);
    SetWindowedMode(gfx);
    return true;
}

}  // namespace vtx

void SetScreenMode(int32_t width, int32_t height, int32_t fullscreen) {
    ProjectSettings.screenWidth = width;                                      // 1
    ProjectSettings.screenHeight = height;
    ProjectSettings.fullscreen = fullscreen;
    if (vtx::GraphicsBackEnd == nullptr) return;
    vtx::ChangeScreenMode(*vtx::GraphicsBackEnd, width, height, 0, fullscreen);  // 2
    vtx::ReapplyPointerState();                                               // 3
    vtx::GiveWindowToInputDevices(vtx::GraphicsBackEnd->window);              // 4
    vtx::GiveWindowToSoundDevice();
    for (int i = 0; i < 5; ++i) ShowScreen();                                 // 5
}
