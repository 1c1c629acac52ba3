// Construction and destruction of the graphics back-end.
#include "host/graphics_backend.h"

#include "host/clock.h"
#include "host/pending_services.h"

OpenGLRidezoda::OpenGLRidezoda() {
    vtx::pending::ClearSpriteTables();
    nextFrameTime = ReadClock();
}

OpenGLRidezoda::~OpenGLRidezoda() {
    vtx::pending::FinishOffscreenScreen();
    vtx::pending::ReleaseOffscreenScreens();
    vtx::DestroyGraphicsWindow(*this);
    vtx::platform::DeleteGlContext(context);
    context = nullptr;
    vtx::pending::FreeSpriteStore();
}
