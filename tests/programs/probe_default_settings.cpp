// A Vantrix program with no settings of its own: reports what start-up left
// behind and ends by returning from AppMain.
#include <unistd.h>

#include <cstdio>

#include <vantrix/vantrix.h>

#include "host/host_state.h"

void AppMain() {
    char cwd[4096] = {};
    if (getcwd(cwd, sizeof cwd) == nullptr) cwd[0] = 0;
    const ProjectSettingsRecord& s = ProjectSettings;
    std::printf("title=%s\n", s.title.c_str());
    std::printf("settings=%d %d %d %d %d %d %d\n", s.screenWidth, s.screenHeight, s.frameRate, s.fullscreen,
                s.multisample, s.exclusiveMouse, s.debugMode);
    std::printf("cmdline=%s\n", vtx::Host.commandLine.c_str());
    std::printf("cwd=%s\n", cwd);
    std::printf("source=%d %d %d %d\n", vtx::Host.source.module, vtx::Host.source.line, vtx::Host.source.errorCode,
                vtx::Host.source.errorLine);
    std::printf("caption=%s\n", vtx::Host.windowCaption.c_str());
}
