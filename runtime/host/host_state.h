// Process-wide state of the host: start-up flags, frame timestamps, the
// caption and command line, and the source position words.
#pragma once

#include <cstdint>

#include "core/rt_string.h"

namespace vtx {

// Source position words kept for diagnostics; all 0 when AppMain starts.
struct SourcePositionWords {
    int32_t module = 0;     // source file now running
    int32_t line = 0;       // source line now running
    int32_t errorCode = 0;  // the last error code
    int32_t errorLine = 0;  // the current line when the last error was set
};

struct HostState {
    bool engineStarted = false;    // set at the very start of InitEngine
    bool paused = false;           // true while the window is inactive
    double latestFrameTime = 0;    // ms on the runtime clock
    double previousFrameTime = 0;  // ms
    double engineStartTime = 0;    // ms
    RtString windowCaption;        // the title, to restore the caption after a pause
    RtString commandLine;          // the whole command line, program path included
    SourcePositionWords source;
    bool windowCreated = false;    // CreateGraphicsWindow succeeded
    bool shutdownDone = false;     // the quit hook has run
    bool escapeEnds = true;        // Escape ends the program from ShowScreen and input waits
    bool bringToFront = false;     // request of DebugBreakpoint, served by ShowScreen
    void (*messageHook)(void*) = nullptr;  // the application's "VTX_WIN32_MSG"
    int32_t messageHookLookup = -1;        // -1 not looked up, 1 found, 0 not found
};

extern HostState Host;

// The program's own folder with "/" separators and no trailing separator.
RtString ProgramFolder();

// The end sequence: debug-mode log lines from the source position words,
// shutdown, then exit with exitStatus (a line on standard error names a
// non-zero status with its error text and line). Does not return.
[[noreturn]] void RunEndSequence(int32_t exitStatus);
// A fatal error of a command: sets the last error and ends the program with
// that code as the exit status.
[[noreturn]] void FatalError(uint32_t code);

}  // namespace vtx
