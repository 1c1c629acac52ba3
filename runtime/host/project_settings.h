// Compiled-in project settings and the application's named-function table.
//
// An application may define its own ApplyProjectSettings() to fill
// ProjectSettings, and its own ApplicationFunctionTable() to name functions
// for hooks and CallByName. Without them the runtime's defaults apply.
#pragma once

#include <cstdint>

#include "../core/rt_string.h"

struct ProjectSettingsRecord {
    int32_t screenWidth = 640;     // client width in pixels, and the fullscreen mode width
    int32_t screenHeight = 480;    // client height in pixels
    int32_t frameRate = 60;        // initial frame-rate limit (frames per second)
    int32_t fullscreen = 0;        // non-zero: switch to a fullscreen mode at start-up
    int32_t multisample = 0;       // non-zero: ask for a multisampled pixel format
    int32_t exclusiveMouse = 0;    // non-zero: take the mouse and hide the pointer
    int32_t debugMode = 0;         // non-zero: end diagnostics, no pause on focus loss
    RtString title;                // window caption
};

// The one settings record, written by ApplyProjectSettings before start-up.
extern ProjectSettingsRecord ProjectSettings;

// Writes every field of ProjectSettings. The runtime's default gives a
// 640 x 480 window at 60 frames, windowed, shared mouse, debug mode off,
// titled "ravlo"; an application replaces it by defining its own.
void ApplyProjectSettings();

// One entry of the application's table of named functions.
struct NamedFunction {
    void (*address)();
    const char* name;
};

// The application's table, ended by an entry with a null address. The
// runtime's default is empty; an application replaces it by defining its own.
const NamedFunction* ApplicationFunctionTable();

// The application's main procedure. Returning from it ends the program as
// EndProgram does.
void AppMain();
