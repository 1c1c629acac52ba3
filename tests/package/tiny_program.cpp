// A program built against the installed Vantrix package.
#include <cstdio>

#include <vantrix/vantrix.h>

void ApplyProjectSettings() {
    ProjectSettings.title = "package";
}

static_assert(KEY_ESCAPE == 1 && KEY_LEFT == 203, "key names come with the package");

void AppMain() {
    const RtString line = RtString("tiny program: ") + 0.5 + " " + 1e10 + " " + ProjectSettings.title;
    std::printf("%s\n", line.c_str());
}
