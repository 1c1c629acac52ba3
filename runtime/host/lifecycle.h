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

// Shuts the engine down, starts the command line without waiting for it and
// exits with code 0. Does not return.
[[noreturn]] void EndAndRun(const RtString& commandLine);

// Ends the program with error code 21 when value is 0.
void Assert(int32_t value);

// With a debugger attached: sends "BP" + number in hexadecimal, resumes a
// paused program and asks the next ShowScreen to bring the window to the
// front; returns 1. Without one, returns 0.
int32_t DebugBreakpoint(int32_t number);

// Changes the screen size or mode while running (fullscreen != 0 for a
// fullscreen display mode), then shows five frames.
void SetScreenMode(int32_t width, int32_t height, int32_t fullscreen);

// Releases every engine object in its fixed order; runs the application's
// "VTX_ON_QUIT" hook the first time. Safe to call more than once.
void ShutdownEngine();
