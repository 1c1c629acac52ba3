// The process entry and the GUI entry of a Vantrix program. This file forms
// the separate "main" library, so unit tests with their own main() can link
// the runtime without it.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/command_line.h"
#include "host/host_state.h"
#include "host/lifecycle.h"
#include "host/project_settings.h"
#include "platform/platform.h"

namespace {
constexpr int kShowDefault = 10;  // no show state given at start
}

int WinMain(void* instance, void*, char*, int showState) {
    // The reduced command line is not used: the whole line is read again.
    vtx::Host.commandLine = vtx::platform::CommandLine().c_str();
    ApplyProjectSettings();
    InitEngine(instance, showState, ProjectSettings.title);
    if (!EngineWindowCreated()) {
        std::fprintf(stderr, "Vantrix: the graphics window could not be created; the program cannot run.\n");
        std::exit(1);
    }
    vtx::Host.source.line = 0;
    vtx::Host.source.errorCode = 0;
    vtx::Host.source.errorLine = 0;
    AppMain();
    EndProgram();  // a program that returns from AppMain ends as the end command ends it
}

int main() {
    const std::string line = vtx::platform::CommandLine();
    std::string arguments = vtx::SkipProgramName(line.c_str());
    WinMain(nullptr, nullptr, arguments.data(), kShowDefault);
}
