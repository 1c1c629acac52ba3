// Writing pictures: the last presented frame or a sprite, as BMP, PNG or
// JPEG by the file name's ending.
#pragma once

#include <cstdint>

#include "../core/rt_string.h"

// Saves what the window last showed; last error 3 when it cannot be written.
void SaveScreen(const RtString& file);
// Saves a sprite slot's picture; last error 3 when it cannot be written.
void SaveSprite(const RtString& file, int32_t slot);
