// What the runtime shares about text commands beyond its commands.
#pragma once

#include <cstddef>
#include <cstdint>

#include "text_commands.h"

namespace vtx {

// A fresh text of n bytes copied from data, zero bytes included (a text
// beyond the 32-bit size ends the program with out of memory).
RtString TextOf(const char* data, size_t n);

}  // namespace vtx
