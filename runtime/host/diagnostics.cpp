// Source position words, debugger channel and call-by-name.
#include "host/diagnostics.h"

#include <cstring>
#include <string>

#include "host/host_state.h"
#include "host/project_settings.h"
#include "platform/platform.h"

void SetSourcePosition(int32_t module, int32_t line) {
    vtx::Host.source.module = module;
    vtx::Host.source.line = line;
}

void DebugText(const RtString& text) {
    if (!vtx::platform::DebuggerAttached()) return;
    vtx::platform::DebuggerOutput(std::string("TX") + text.c_str());
}

double CallByName(const RtString& name) {
    for (const NamedFunction* entry = ApplicationFunctionTable(); entry != nullptr && entry->address != nullptr;
         ++entry) {
        if (entry->name != nullptr && std::strcmp(entry->name, name.c_str()) == 0) {
            entry->address();
            return 1;
        }
    }
    // The two hooks are optional; any other miss is worth a debugger line.
    if (name != "VTX_ON_QUIT" && name != "VTX_WIN32_MSG")
        DebugText(RtString("CALLBYNAME \"") + name + "\" *** failed ***\n");
    return 0;
}
