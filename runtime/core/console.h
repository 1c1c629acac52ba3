// Console commands: the program's standard input, output and error.
#pragma once

#include "rt_string.h"

// Writes the text to standard output (no line end added) and flushes it.
void ConsoleWrite(const RtString& text);
// Writes the text to standard error (no line end added).
void ConsoleWriteError(const RtString& text);
// One line from standard input: at most 4094 characters, its line feed
// removed (a carriage return before it stays). A longer line comes in
// pieces of 4094; the end of input (or a read error) gives the empty text.
RtString ConsoleReadLine();
// Gives the program its console. A process here has its standard input and
// output from its start (a terminal, a pipe or a file): they stay as they
// are, and only pending output is flushed.
void OpenConsole();
