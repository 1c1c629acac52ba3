// Construction and destruction of the graphics back-end.
#include "host/graphics_backend.h"

#include "host/clock.h"
#include "gfx2d/offscreen_screens.h"

OpenGLRidezoda::OpenGLRidezoda() { nextFrameTime = ReadClock(); }

OpenGLRidezoda::~OpenGLRidezoda() {
    vtx::LeaveOffscreenScreen();
    vtx::ReleaseOffscreenScreens();
    vtx::DestroyGraphicsWindow(*this);
    vtx::platform::DeleteGlContext(context);
    context = nullptr;
    // The sprite store goes with the back-end; its textures went with the context.
}
