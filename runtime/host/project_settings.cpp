// Default project settings and the default (empty) named-function table.
// Both are weak so that an application's own definitions replace them.
#include "host/project_settings.h"

ProjectSettingsRecord ProjectSettings;

__attribute__((weak)) void ApplyProjectSettings() {
    ProjectSettings.screenWidth = 640;
    ProjectSettings.screenHeight = 480;
    ProjectSettings.frameRate = 60;
    ProjectSettings.fullscreen = 0;
    ProjectSettings.multisample = 0;
    ProjectSettings.exclusiveMouse = 0;
    ProjectSettings.debugMode = 0;
    ProjectSettings.title = "ravlo";
}

__attribute__((weak)) const NamedFunction* ApplicationFunctionTable() {
    static const NamedFunction empty[] = {{nullptr, nullptr}};
    return empty;
}
