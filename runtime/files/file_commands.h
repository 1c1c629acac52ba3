// File commands of the language. Each starts by clearing the last error.
#pragma once

#include <cstdint>

#include "../core/rt_string.h"

// True when the name opens for reading: a registered memory name, or a disk
// file that exists and is not held open without sharing by someone else.
// Does not look into the pack archive.
bool FileExists(const RtString& name);
// The size of the file; 0 and last error 3 when it cannot be opened.
int32_t FileLength(const RtString& name);
// Deletes the disk file; true on success.
bool RemoveFile(const RtString& name);
// Copies source (disk or memory name) to a new destination file in chunks of
// 4096 bytes; a copy that fails part-way leaves no destination behind.
void CopyFileTo(const RtString& source, const RtString& destination);
// Creates one directory (its parent must exist); true on success.
bool MakeDirectory(const RtString& name);
// True when the name exists and is a directory.
bool DirectoryExists(const RtString& name);
// Turns every "\" of the text into "/", in place.
void ToForwardSlashes(RtString& text);
