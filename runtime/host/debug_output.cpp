// The debug output.
#include "host/debug_output.h"

#include "host/project_settings.h"
#include "platform/platform.h"

namespace vtx {

void DebugOutputLine(const std::string& text) {
    if (ProjectSettings.debugMode == 0) return;
    platform::DebuggerOutput(text + "\n");
}

void ReportFailedLoad(const char* command, const RtString& file, const char* reason) {
    DebugOutputLine(std::string(command) + ": cannot load \"" + file.c_str() + "\": " + reason);
}

}  // namespace vtx
