// Construction and destruction of the graphics back-end.
#include "host/graphics_backend.h"

#include "gfx2d/offscreen_screens.h"
#include "gfx2d/shaders.h"
#include "host/clock.h"

OpenGLRidezoda::OpenGLRidezoda() { nextFrameTime = ReadClock(); }

OpenGLRidezoda::~OpenGLRidezoda() {
    vtx::LeaveOffscreenScreen();
    vtx::ReleaseOffscreenScreens();
    vtx::DestroyGraphicsWindow(*this);
    vtx::platform::DeleteGlContext(context);
    context = nullptr;
    vtx::ForgetShaders();  // their objects went with the context
    // The sprite store goes with the back-end; its textures went with the context.
}
