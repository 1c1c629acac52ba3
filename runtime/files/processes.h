// Starting other programs and handing documents to the desktop.
#pragma once

#include <cstdint>

#include "../core/rt_string.h"

// Runs a command line through the shell (/bin/sh -c). exitCode becomes 0;
// with wait not 0 the command is waited for and its exit status stored.
// The show flag is accepted (programs here open their own windows). False
// when nothing could be started: an empty or blank command line, one longer
// than 1023 characters, or no shell.
bool RunProgram(const RtString& commandLine, int32_t wait, int32_t show, double& exitCode);
// Shuts the runtime down, asks the desktop to open the document with its
// associated program (xdg-open) and ends the program, whether or not the
// document could be opened.
[[noreturn]] void OpenWithShellAndEnd(const RtString& document);
