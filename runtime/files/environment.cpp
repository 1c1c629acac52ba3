// Environment variables and the stored command line.
#include "files/environment.h"

#include <string>

#include "host/host_state.h"
#include "platform/system.h"

// One variable's value, or every entry for an empty name.
RtString GetEnvironmentText(const RtString& name) {
    if (name.length() == 0) return RtString(vtx::platform::EnvironmentEntries().c_str());
    std::string value;
    if (!vtx::platform::EnvironmentValue(name.c_str(), value)) return RtString();
    return RtString(value.c_str());
}

// Assigns the text name "=" value.
void SetEnvironmentText(const RtString& name, const RtString& value) {
    vtx::platform::PutEnvironment(std::string(name.c_str()) + "=" + value.c_str());
}

// A copy of the line stored at start-up.
RtString CommandLine() { return vtx::Host.commandLine; }
