// Environment variables and the program's command line.
#pragma once

#include "../core/rt_string.h"

// The value of an environment variable, or the empty text when it is not
// set. An empty name gives every entry as name=value, each followed by "\n".
RtString GetEnvironmentText(const RtString& name);
// Sets a variable for this program and the programs it starts, from the
// text name "=" value: the text is split at its first "=", and an empty
// value removes the variable.
void SetEnvironmentText(const RtString& name, const RtString& value);
// The command line stored at start-up: the whole line, program path
// included (quoted when it holds a blank).
RtString CommandLine();
