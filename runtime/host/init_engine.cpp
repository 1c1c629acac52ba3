// Engine initialisation: every service in its fixed order.
#include <cstdint>

#include "audio/sound_device.h"
#include "core/random.h"
#include "files/pack_resolver.h"
#include "gfx2d/font_commands.h"
#include "gfx2d/font_store.h"
#include "gfx2d/screen_commands.h"
#include "host/clock.h"
#include "host/error_log.h"
#include "gfx3d/scene_context.h"
#include "host/frames_internal.h"
#include "host/graphics_backend.h"
#include "host/host_state.h"
#include "host/lifecycle.h"
#include "host/project_settings.h"
#include "host/window_procedure.h"
#include "input/input_commands.h"
#include "input/input_devices.h"
#include "net/session_record.h"
#include "platform/platform.h"

namespace vtx {

HostState Host;

RtString ProgramFolder() {
    std::string path = platform::NativePath(platform::ProgramPath());
    const size_t cut = path.find_last_of('/');
    path.resize(cut == std::string::npos ? 0 : cut);
    return RtString(path.c_str());
}

namespace {

void SetAllFrameTimestamps(double now) {
    Host.latestFrameTime = now;
    Host.previousFrameTime = now;
    Host.engineStartTime = now;
}

}  // namespace
}  // namespace vtx

bool EngineWindowCreated() { return vtx::Host.windowCreated; }

int32_t InitEngine(void* instance, int32_t showState, const RtString& title) {
    using namespace vtx;
    const ProjectSettingsRecord& settings = ProjectSettings;

    DeleteErrorLog();                                                         // 1
    Host.engineStarted = true;                                                // 2
    InitClock();                                                              // 3
    AppendErrorLog("Init GFX");                                               // 4
    GraphicsBackEnd = new OpenGLRidezoda();                                  // 5
    OpenGLRidezoda& gfx = *GraphicsBackEnd;
    Host.windowCreated = CreateGraphicsWindow(gfx, instance, settings.screenWidth,   // 6
                                              settings.screenHeight, 0, settings.frameRate,
                                              settings.multisample, settings.fullscreen != 0);
    if (!Host.windowCreated) return 0;
    SetMainWindowCaption(title);                                              // 7
    Host.windowCaption = title;
    SeedRandom(static_cast<int32_t>(GetElapsedTime()));                       // 8
    CreateSessionRecord();                                                    // 9
    CreateScene3DContext();                                                   // 10
    CreateInputDevices();                                                     // 11
    CreateSoundDevice();                                                      // 12
    if (settings.fullscreen == 0)                                             // 13
        SetWindowedMode(gfx);
    else
        SetFullscreenMode(gfx);
    InitInputDevices(gfx.window, settings.exclusiveMouse != 0);               // 14
    OpenSoundDeviceForProgram();                                              // 15
    GiveWindowToInputDevices(gfx.window);
    SetFont(0);                                                               // 16
    const RtString programPath(platform::NativePath(platform::ProgramPath()).c_str());  // 17
    SetPackFiles(programPath, programPath);
    platform::ChangeDirectory(ProgramFolder().c_str());                       // 18
    ::ClearScreen(0);                                                         // 19
    SetAllFrameTimestamps(ReadClock());                                       // 20
    PresentFrame(gfx, nullptr);                                               // 21
    SetViewport2D(gfx, 0, 0, 0, 0);
    SetBuiltinFont(0);
    LoadDefaultFont();                                                        // 22
    Host.paused = false;                                                      // 23
    SetAllFrameTimestamps(ReadClock());                                       // 24
    if (showState == 0) HideGraphicsWindow(gfx);                              // 25
    ShowSystemPointer(settings.exclusiveMouse == 0 ? 1 : 0);                  // 26
    AppendErrorLog("Init Finalized");                                         // 27
    return 0;
}
