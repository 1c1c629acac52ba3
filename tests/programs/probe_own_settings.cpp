// A Vantrix program with its own settings (debug mode on) and its own
// named-function table, including the quit hook.
#include <cstdio>

#include <vantrix/vantrix.h>

namespace {
void OnQuit() { std::printf("quit hook ran\n"); }
void Greet() { std::printf("greet ran\n"); }
}  // namespace

void ApplyProjectSettings() {
    ProjectSettings.screenWidth = 320;
    ProjectSettings.screenHeight = 200;
    ProjectSettings.frameRate = 30;
    ProjectSettings.fullscreen = 0;
    ProjectSettings.multisample = 0;
    ProjectSettings.exclusiveMouse = 0;
    ProjectSettings.debugMode = 1;
    ProjectSettings.title = "probe";
}

const NamedFunction* ApplicationFunctionTable() {
    static const NamedFunction table[] = {{&OnQuit, "VTX_ON_QUIT"}, {&Greet, "Greet"}, {nullptr, nullptr}};
    return table;
}

void AppMain() {
    std::printf("title=%s\n", ProjectSettings.title.c_str());
    std::printf("greet=%s\n", RtString(CallByName("Greet")).c_str());
    std::printf("greet lower case=%s\n", RtString(CallByName("greet")).c_str());
    SetSourcePosition(3, 42);
}
