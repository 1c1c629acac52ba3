// RtFile: the file record through which loaders and channels read disk files
// and memory blocks alike.
#pragma once

#include <cstdint>

class RtFile {
public:
    RtFile() = default;
    ~RtFile() { close(); }
    RtFile(const RtFile&) = delete;
    RtFile& operator=(const RtFile&) = delete;

    // Closes first. A memory name opens its registered block; a disk name
    // opens an existing file without sharing. False when it cannot be opened.
    bool openRead(const char* name);
    // Closes first. Replaces any disk file of that name with a new, empty
    // one opened without sharing. Memory names cannot be written.
    bool openWrite(const char* name);
    // Reads n bytes. A disk file fails unless all n arrive; a memory file
    // delivers what remains up to n and fails only when the position is
    // already past its end.
    bool read(void* destination, int32_t n);
    bool read32(void* destination) { return read(destination, 4); }
    // Writes n bytes to a disk file; true when all were written.
    bool write(const void* source, int32_t n);
    // Moves the read position; false outside 0 .. size.
    bool seek(int32_t position);
    int32_t size() const { return size_; }
    int32_t position() const { return position_; }
    bool isOpen() const { return handle_ >= 0 || memory_ != nullptr; }
    bool isMemory() const { return memory_ != nullptr; }
    // Closes the handle, forgets the memory block; size and position 0.
    void close();

private:
    int handle_ = -1;
    const uint8_t* memory_ = nullptr;
    int32_t size_ = 0;
    int32_t position_ = 0;
};
