// Diagnostics: source position words, the debugger text channel and
// calling application functions by name.
#pragma once

#include <cstdint>

#include "../core/rt_string.h"

// Stores the source module and line now running (debug builds of programs).
void SetSourcePosition(int32_t module, int32_t line);
// Sends "TX" + text to an attached debugger; nothing without one.
void DebugText(const RtString& text);
// Calls the application function of that exact name: 1 if found, 0 if not.
double CallByName(const RtString& name);
