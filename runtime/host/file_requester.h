// The file requester: the desktop's open or save file chooser.
#pragma once

#include <cstdint>

#include "../core/rt_string.h"

// Asks the user for a file name with the desktop's chooser (zenity, else
// kdialog): an open chooser when openFlag is not 0, else a save chooser.
// filter is "description|pattern|description|pattern..." with patterns such
// as "*.png;*.jpg". The window is out of the way while the chooser is open,
// and the screen mode and current directory are restored afterwards.
// Returns the chosen path with "/" separators, or "NO_FILE" when the user
// cancelled, when VTX_NO_DIALOGS=1 is set or when no chooser is installed.
RtString FileRequest(int32_t openFlag, const RtString& filter);
