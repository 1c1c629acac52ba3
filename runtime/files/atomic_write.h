// Writing a whole file so that a failure never loses the old one: the bytes
// go to a temporary file in the same folder, which is flushed to disk and
// then renamed over the old file. Until the rename the old file stays as it
// was; a write that fails (disk full, file-size limit, no permission, the
// process killed) leaves it byte for byte.
#pragma once

#include <cstddef>
#include <string>

#include "platform/platform.h"

namespace vtx {

// A replacement of one file, written piece by piece and committed once.
// One that is destroyed without a commit removes its temporary file.
class AtomicFileWriter {
public:
    AtomicFileWriter() = default;
    ~AtomicFileWriter() { platform::DiscardReplacement(file_); }
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Starts the replacement of name (a disk name; "\" separates folders too).
    // False when the folder cannot take a new file, the target is held open
    // without sharing, or the name is a memory name.
    bool open(const char* name);
    // Appends bytes; false once any write has failed.
    bool write(const void* data, size_t size);
    // Flushes and renames over the target; false (old file kept) when any
    // write failed or the rename did not happen.
    bool commit();

private:
    platform::ReplacementFile file_;
    bool failed_ = false;
};

// Replaces the file name with exactly these bytes; false, the old file
// untouched, on any failure.
bool WriteFileAtomically(const char* name, const void* data, size_t size);

}  // namespace vtx
