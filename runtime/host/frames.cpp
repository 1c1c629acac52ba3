// ShowScreen, the message pump, the frame wait and the frame-time commands.
#include "host/frames_internal.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstring>

#include "audio/music_service.h"
#include "gfx2d/background_layers.h"
#include "gfx2d/draw_batch.h"
#include "gfx2d/draw_state.h"
#include "gfx2d/offscreen_screens.h"
#include "gfx2d/presented_frame.h"
#include "gfx2d/shaders.h"
#include "gfx3d/scene_commands.h"
#include "gfx3d/scene_context.h"
#include "host/clock.h"
#include "host/graphics_backend.h"
#include "host/host_state.h"
#include "host/project_settings.h"
#include "host/window_procedure.h"
#include "input/keyboard_state.h"
#include "platform/platform.h"
#include "platform/window.h"

namespace vtx {

MessageHook LookUpMessageHook() {
    if (Host.messageHookLookup == -1) {
        Host.messageHook = nullptr;
        Host.messageHookLookup = 0;
        for (const NamedFunction* entry = ApplicationFunctionTable(); entry != nullptr && entry->address != nullptr;
             ++entry) {
            if (entry->name != nullptr && std::strcmp(entry->name, "VTX_WIN32_MSG") == 0) {
                // The hook is stored as void() in the table; it takes the event.
                Host.messageHook = reinterpret_cast<MessageHook>(entry->address);
                Host.messageHookLookup = 1;
                break;
            }
        }
    }
    return Host.messageHook;
}

bool PumpMessages(OpenGLRidezoda&, MessageHook hook) {
    platform::WindowEvent event;
    while (platform::PeekEvent(event)) {
        if (hook != nullptr) hook(event.native);
        platform::DropEvent();
        WindowProcedure(event);
    }
    return true;
}

double NextFrameTime(double next, double period, double now) {
    if (period <= 0) return next;
    const double t = next + period;
    if (now <= t) return t;
    if (now <= t + period) return t + period;
    return now + period;
}

namespace {

// The depth or stencil buffer may hold something other than its cleared
// values (an undefined start, or a frame that tested depth or stencil).
bool DepthStencilUsed = true;

}  // namespace

void NoteDepthStencilUse() { DepthStencilUsed = true; }

bool PresentFrame(OpenGLRidezoda& gfx, MessageHook hook) {
    FlushDrawBatch();  // every collected command lands in this frame
    LeaveOffscreenScreen();                                                   // 1
    KeepPresentedFrame(gfx);                                                  // 2
    platform::SwapBuffers(gfx.window);
    // Depth and stencil are cleared together (the stencil is 0 here, every
    // shadow pass ends by clearing it), so the combined buffer is filled, not
    // masked; and not at all when no frame since the last clear used them.
    if (DepthStencilUsed) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        DepthStencilUsed = false;
    } else {
        glClear(GL_COLOR_BUFFER_BIT);
    }
    double now;                                                               // 3
    while (true) {
        PumpMessages(gfx, hook);
        now = ReadClock();
        const double remaining = gfx.nextFrameTime - now;
        if (remaining > 7.0) {
            SleepMs(remaining - 3.0);
            if (remaining - 3.0 > 1.0) continue;
            now = now + remaining - 3.0;
            break;
        }
        if (remaining > 1.0) continue;  // spin the last milliseconds, still dispatching
        break;
    }
    gfx.nextFrameTime = NextFrameTime(gfx.nextFrameTime, gfx.framePeriod, now);  // 4
    return true;
}

namespace {

// Escape (when it ends the program) or Alt+F4 ends the program.
void EndFromKeyboard() {
    Host.source.errorLine = Host.source.line;
    Host.source.errorCode = 0;
    RunEndSequence(0);
}

// Serves the bring-to-front request of a debugger breakpoint.
void BringToFront(OpenGLRidezoda& gfx) {
    std::printf("activate\n");
    platform::ShowWindow(gfx.window);
    platform::RaiseWindow(gfx.window);
    std::printf("ok\n");
    std::fflush(stdout);
    Host.bringToFront = false;
}

}  // namespace
}  // namespace vtx

void ShowScreen() {
    using namespace vtx;
    if (GraphicsBackEnd == nullptr) return;
    OpenGLRidezoda& gfx = *GraphicsBackEnd;
    FlushDrawBatch();  // before the frame's own GL work (3D passes, off-screen screens)
    if (Host.bringToFront) BringToFront(gfx);                                 // 1
    Host.previousFrameTime = Host.latestFrameTime;                            // 2
    Host.latestFrameTime = ReadClock();
    while (Host.paused && !Host.bringToFront) {                               // 3
        MusicLoopService();
        PumpMessages(gfx, LookUpMessageHook());
        SleepMs(100);
    }
    PollKeyboardState();                                                      // 4
    if (Host.escapeEnds && (KeyDown(kKeyEscape) || KeyDown(129)))             // 5
        EndFromKeyboard();
    if (KeyDown(kKeyLeftAlt) && KeyDown(kKeyF4)) EndFromKeyboard();           // 6
    AgeInputTaps();  // presses no reader took for a whole frame lapse
    SetShadowPass(false);                                                     // 7
    MusicLoopService();
    const MessageHook hook = LookUpMessageHook();                             // 8
    PumpMessages(gfx, hook);
    PresentFrame(gfx, hook);
    glDisable(GL_BLEND);                                                      // 9
    glEnable(GL_ALPHA_TEST);
    SetCurrentAlpha(1.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    DrawBackgroundLayer(0);
    SetViewport2D(gfx, 0, 0, 0, 0);
    SetTextureMode3D(0);
    ShadersOff();
}

void LimitFps(double fps) {
    if (vtx::GraphicsBackEnd == nullptr) return;
    // Truncated toward zero; below 1 (or not a number) there is no setting
    // without a limit: the period becomes 2 ms.
    int32_t n = 0;
    if (fps >= 2147483647.0) n = 2147483647;
    else if (fps >= 1.0) n = static_cast<int32_t>(fps);
    vtx::GraphicsBackEnd->framePeriod = vtx::FramePeriodFor(n);
}

double GetFrameTime() {
    const double difference = vtx::Host.latestFrameTime - vtx::Host.previousFrameTime;
    return difference > 0 ? difference : 1.0;
}

void SleepMs(double ms) {
    if (!(ms >= 1.0)) return;  // negative, below 1 or not a number: no wait
    const double capped = ms < 4294967295.0 ? ms : 4294967295.0;
    vtx::platform::SleepMilliseconds(static_cast<uint32_t>(capped));
}

void SetEscapeEnds(double value) { vtx::Host.escapeEnds = value != 0; }
