// Functions of external dynamic libraries (modules), bound by name.
#pragma once

#include <cstdint>

#include "../core/rt_string.h"

// Fills function with the address of functionName in the module moduleName,
// or null when the module or the function cannot be found. moduleName is
// turned to small letters in place; each module is loaded once and stays
// loaded until the program ends. The module is loaded by the name as given
// first, then by its small-letter form (file names here tell case apart).
void BindLibraryFunction(RtString& moduleName, const RtString& functionName, void*& function);
