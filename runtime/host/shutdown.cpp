// The end command, the shutdown sequence, assertions and breakpoints.
#include <cstdio>
#include <cstdlib>

#include "audio/music_service.h"
#include "audio/sound_device.h"
#include "files/channels_internal.h"
#include "files/last_error_internal.h"
#include "files/pack_resolver_internal.h"
#include "host/diagnostics.h"
#include "host/error_log.h"
#include "gfx3d/scene_context.h"
#include "host/graphics_backend.h"
#include "host/host_state.h"
#include "host/lifecycle.h"
#include "host/project_settings.h"
#include "input/input_devices.h"
#include "input/keyboard_state.h"
#include "net/session_record.h"
#include "net/socket_layer.h"
#include "platform/platform.h"

namespace vtx {

void RunEndSequence(int32_t exitStatus) {
    if (ProjectSettings.debugMode != 0) {
        AppendErrorLog("-End On Line");
        for (int32_t word : {Host.source.errorCode, Host.source.errorLine - 1, Host.source.line, Host.source.module})
            AppendErrorLog(RtString(word).c_str());
    }
    ShutdownEngine();
    // A program that ends on an error says so, and its exit status is the
    // error code, so that a failure is never reported as success.
    if (exitStatus != 0)
        std::fprintf(stderr, "Vantrix: the program ended on error %s at line %d\n",
                     FormatErrorCode(static_cast<uint32_t>(exitStatus)).c_str(), Host.source.errorLine);
    std::fflush(nullptr);
    std::exit(exitStatus);
}

void FatalError(uint32_t code) {
    SetLastError(code);
    RunEndSequence(static_cast<int32_t>(code));
}

}  // namespace vtx

void EndProgram() {
    vtx::Host.source.errorCode = 0;
    vtx::Host.source.errorLine = vtx::Host.source.line;
    vtx::RunEndSequence(0);
}

void EndAndRun(const RtString& commandLine) {
    ShutdownEngine();
    vtx::platform::StartCommand(commandLine.c_str());
    std::fflush(nullptr);
    std::exit(0);
}

void ShutdownEngine() {
    using namespace vtx;
    if (!Host.shutdownDone) {                                                 // 1
        Host.shutdownDone = true;
        CallByName(RtString("VTX_ON_QUIT"));
    }
    if (GraphicsBackEnd == nullptr) return;                                   // 2
    AppendErrorLog("Shut down VTX");                                          // 3
    StopMusicForShutdown();                                                   // 4
    platform::ChangeDirectory(ProgramFolder().c_str());                       // 5
    CloseAllChannels();                                                       // 6
    ReleaseSessionRecord();                                                   // 7
    ReleaseSocketLayer();
    ReleaseInputDevices();                                                    // 8
    ReleaseSound();                                                           // 9
    DestroyScene3DContext();  // its buffer object belongs to the context
    delete GraphicsBackEnd;                                                   // 10
    GraphicsBackEnd = nullptr;
    ReleaseResolverResult(MediaResolver());                                   // 11
    ReleaseResolverResult(LoaderResolver());
    // 12: the main window went with the back-end.
    AppendErrorLog("vtx is shut down");                                       // 13
}

void Assert(int32_t value) {
    if (value != 0) return;
    DebugText(RtString("Assertion: Value = ") + RtString(value) + "\n");
    vtx::FatalError(21);
}

int32_t DebugBreakpoint(int32_t number) {
    if (!vtx::platform::DebuggerAttached()) return 0;
    char text[16];
    std::snprintf(text, sizeof text, "BP%x", static_cast<unsigned>(number));
    vtx::platform::DebuggerOutput(text);
    vtx::Host.paused = false;
    vtx::PollKeyboardState();
    vtx::Host.bringToFront = true;
    return 1;
}
