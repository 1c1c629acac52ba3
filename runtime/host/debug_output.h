// The debug output: lines for the developer of a program, written to
// standard error in debug mode only (ProjectSettings.debugMode).
#pragma once

#include <string>

#include "../core/rt_string.h"

namespace vtx {

// One line on the debug output in debug mode; nothing otherwise.
void DebugOutputLine(const std::string& text);
// In debug mode, one line for a load that failed, naming the command, the
// file and the reason: LoadSprite: cannot load "hero.png": no such file
void ReportFailedLoad(const char* command, const RtString& file, const char* reason);

}  // namespace vtx
