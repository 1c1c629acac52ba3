// File helpers of vtxpack: whole-file reads and replacing a file safely
// (a temporary file beside it, synced, then renamed over it).
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pack_tool.h"
#include "platform/platform.h"

namespace vtxpack {

// The text of errno for messages.
std::string SystemError();

// Checks that path names a readable regular file of at most maxSize bytes;
// false with a message naming the problem.
bool CheckInputFile(const std::string& path, int64_t maxSize, int64_t& size, std::string& error);

// True when path names an existing folder.
bool IsFolder(const std::string& path);

// Reads a whole file; false with a message.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);

// The path a name resolves to through symbolic links, so a link keeps
// pointing at the file it named; the path itself when it cannot be resolved.
std::string ResolvedPath(const std::string& path);

// A new file that takes the place of target only when committed, through
// the runtime's one way of replacing a file (platform/replacement_file.cpp).
// Until then target is untouched; a replacement that is not committed
// removes its temporary file.
class ReplacementFile : public ByteSink {
public:
    ~ReplacementFile() override;
    // Creates the temporary file beside target. The new file gets target's
    // permission bits (and owner, when allowed) if target exists, else the
    // default ones for a new file.
    bool open(const std::string& target, std::string& error);
    // Syncs the temporary file, renames it over target and syncs the folder.
    bool commit(std::string& error);

protected:
    bool put(const void* data, size_t n) override;

private:
    vtx::platform::ReplacementFile file_;
};

// A sink that writes to an already open descriptor (standard output).
class DescriptorSink : public ByteSink {
public:
    explicit DescriptorSink(int fd) : fd_(fd) {}

protected:
    bool put(const void* data, size_t n) override;

private:
    int fd_;
};

}  // namespace vtxpack
