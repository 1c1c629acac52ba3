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
    bool backEndCreated = false;   // the graphics back-end exists
    bool windowCreated = false;    // CreateGraphicsWindow succeeded
    bool shutdownDone = false;     // the quit hook has run
};

extern HostState Host;

// The program's own folder with "/" separators and no trailing separator.
RtString ProgramFolder();

}  // namespace vtx
