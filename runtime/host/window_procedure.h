// The window procedure: what the program does with its window's events.
#pragma once

#include "core/rt_string.h"
#include "platform/window.h"

namespace vtx {

// Close ends the program; losing the focus pauses it and marks the caption
// with " <pause>"; getting the focus back resumes it (not in debug mode).
void WindowProcedure(const platform::WindowEvent& event);

// Sets the caption of the main window (text in the 8-bit code page).
void SetMainWindowCaption(const RtString& caption);

}  // namespace vtx
