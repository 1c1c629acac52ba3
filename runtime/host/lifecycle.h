// Start-up and end of a program: the GUI entry, engine initialisation, the
// end command and the shutdown sequence.
#pragma once

#include <cstdint>

#include "../core/rt_string.h"

// The runtime's GUI entry. Reads the whole command line again, applies the
// project settings, initialises the engine and runs AppMain. Never returns.
[[noreturn]] int WinMain(void* instance, void* previousInstance, char* commandLine, int showState);

// Initialises every engine service in its fixed order and logs "Init GFX" and
// "Init Finalized" to the error log. Always returns 0; when the graphics
// window cannot be created it stops early (EngineWindowCreated() is false).
int32_t InitEngine(void* instance, int32_t showState, const RtString& title);

// True once InitEngine has created the graphics window.
bool EngineWindowCreated();

// Ends the program: error code 0, error line = current line, then the end
// sequence (debug-mode log lines, shutdown, exit with code 0).
[[noreturn]] void EndProgram();

// Releases every engine object in its fixed order; runs the application's
// "VTX_ON_QUIT" hook the first time. Safe to call more than once.
void ShutdownEngine();
