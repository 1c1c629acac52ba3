// The graphics back-end: one window with its GL context, the 2D viewport and
// the frame schedule. Start-up creates the one instance; shutdown destroys it.
#pragma once

#include <cstdint>

#include "gfx2d/sprite_store.h"
#include "platform/window.h"

class OpenGLRidezoda {
public:
    // Clears the state and starts the frame schedule at the current time.
    OpenGLRidezoda();
    // Finishes any off-screen drawing, destroys the window, deletes the
    // context and frees the sprite store.
    ~OpenGLRidezoda();
    OpenGLRidezoda(const OpenGLRidezoda&) = delete;
    OpenGLRidezoda& operator=(const OpenGLRidezoda&) = delete;

    vtx::platform::WindowHandle window = nullptr;
    int32_t width = 0;         // client size: the program's screen size
    int32_t height = 0;
    int32_t colourDepth = 0;   // bits per pixel of the pixel format and fullscreen mode
    bool fullscreen = false;   // a fullscreen display mode is active
    int32_t multisample = 0;   // the request at creation; 0 once the context exists
    int32_t viewportX = 0, viewportY = 0, viewportW = 0, viewportH = 0;
    int32_t rotated = 0;       // the screen is shown turned by 90 degrees
    void* instance = nullptr;
    vtx::platform::GlContext context = nullptr;
    double framePeriod = 0;    // ms between frames
    double nextFrameTime = 0;  // ms on the runtime clock
    bool mode2D = false;       // the 2D projection is set
    int32_t contextReady = 0;  // CreateGraphicsWindow has completed
    vtx::SpriteStore sprites;  // every picture the program draws
};

namespace vtx {

// The one back-end, null before start-up created it and after shutdown.
extern OpenGLRidezoda* GraphicsBackEnd;

// --- Window and display modes (graphics_window.cpp) --------------------------
bool CreateGraphicsWindow(OpenGLRidezoda& gfx, void* instance, int32_t width, int32_t height, int32_t colourDepth,
                          int32_t frameRate, int32_t multisample, bool fullscreenHint);
void SetWindowedMode(OpenGLRidezoda& gfx);
bool SetFullscreenMode(OpenGLRidezoda& gfx);
void HideGraphicsWindow(OpenGLRidezoda& gfx);
void DestroyGraphicsWindow(OpenGLRidezoda& gfx);
bool ChangeScreenMode(OpenGLRidezoda& gfx, int32_t width, int32_t height, int32_t colourDepth, int32_t fullscreen);

// The frame period for a frame rate: 1000 / rate ms, or 2 ms when the rate
// is not above 0 (there is no setting without a limit).
double FramePeriodFor(int32_t frameRate);

// --- 2D projection (viewport_2d.cpp) -----------------------------------------
// Sets the 2D projection and render state; w or h below 1 means the screen.
void SetViewport2D(OpenGLRidezoda& gfx, int32_t x, int32_t y, int32_t w, int32_t h);

}  // namespace vtx
