// The end command and the shutdown sequence.
#include <cstdio>
#include <cstdlib>

#include "host/diagnostics.h"
#include "host/error_log.h"
#include "host/host_state.h"
#include "host/lifecycle.h"
#include "host/pending_services.h"
#include "host/project_settings.h"
#include "platform/platform.h"

namespace {

// Debug-mode lines, shutdown, exit. The error words are already set.
[[noreturn]] void RunEndSequence() {
    using vtx::Host;
    if (ProjectSettings.debugMode != 0) {
        vtx::AppendErrorLog("-End On Line");
        for (int32_t word : {Host.source.errorCode, Host.source.errorLine - 1, Host.source.line, Host.source.module})
            vtx::AppendErrorLog(RtString(word).c_str());
    }
    ShutdownEngine();
    std::fflush(nullptr);
    std::exit(0);
}

}  // namespace

void EndProgram() {
    vtx::Host.source.errorCode = 0;
    vtx::Host.source.errorLine = vtx::Host.source.line;
    RunEndSequence();
}

void ShutdownEngine() {
    using namespace vtx;
    if (!Host.shutdownDone) {                                                 // 1
        Host.shutdownDone = true;
        CallByName(RtString("VTX_ON_QUIT"));
    }
    if (!Host.backEndCreated) return;                                         // 2
    AppendErrorLog("Shut down VTX");                                          // 3
    pending::StopMusicForShutdown();                                          // 4
    platform::ChangeDirectory(ProgramFolder().c_str());                       // 5
    pending::CloseAllChannels();                                              // 6
    pending::ReleaseNetwork();                                                // 7
    pending::ReleaseInputDevices();                                           // 8
    pending::ReleaseSound();                                                  // 9
    pending::DestroyGraphicsBackEnd();                                        // 10
    Host.backEndCreated = false;
    pending::ReleasePackResolvers();                                          // 11
    pending::DestroyMainWindow();                                             // 12
    AppendErrorLog("vtx is shut down");                                       // 13
}
