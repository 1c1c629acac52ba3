// RunProgram and OpenWithShellAndEnd.
#include "files/processes.h"

#include <cstring>
#include <string>

#include "host/lifecycle.h"
#include "platform/system.h"

namespace {

// The command line's buffer holds 1024 bytes with its terminator.
constexpr uint32_t kCommandLineBuffer = 1024;

}  // namespace

// Starts a command line through the shell, waiting for it when asked.
bool RunProgram(const RtString& commandLine, int32_t wait, int32_t show, double& exitCode) {
    (void)show;  // there is no hidden start here: the program decides on its windows
    exitCode = 0;                                                             // 1
    // 2: a line that does not fit the buffer is refused rather than cut, so a
    // shortened command never runs in its place.
    if (commandLine.length() >= kCommandLineBuffer) return false;
    const std::string line = commandLine.c_str();
    if (line.find_first_not_of(" \t\r\n") == std::string::npos) return false;  // nothing to start
    int32_t status = 0;
    if (!vtx::platform::RunShellCommand(line, wait != 0, status)) return false;  // 3, 4
    if (wait != 0) exitCode = status;                                         // 5
    return true;                                                              // 6
}

// Shutdown, xdg-open, then the end command.
void OpenWithShellAndEnd(const RtString& document) {
    ShutdownEngine();
    vtx::platform::OpenWithDesktop(document.c_str());
    EndProgram();
}
