// What the runtime shares about channels beyond its commands.
#pragma once

#include <cstdint>

#include "channels.h"

namespace vtx {
// Closes every channel (shutdown).
void CloseAllChannels();
}  // namespace vtx
