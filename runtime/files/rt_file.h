// RtFile: the file record through which loaders and channels read disk files
// and memory blocks alike.
//
// Small reads from a disk file are served from a read-ahead buffer of
// kReadAhead bytes; the file offset the system sees is kept where unbuffered
// reads would have left it whenever it matters (writes, seeks), so reading
// value by value costs no system call per value.
#pragma once

#include <cstdint>
#include <memory>

class RtFile {
public:
    static constexpr int32_t kReadAhead = 64 * 1024;

    RtFile() = default;
    ~RtFile() { close(); }
    RtFile(const RtFile&) = delete;
    RtFile& operator=(const RtFile&) = delete;

    // Closes first. A memory name opens its registered block; a disk name
    // opens an existing file without sharing. False when it cannot be opened.
    bool openRead(const char* name);
    // Closes first. Opens size bytes at data as a memory file; the caller
    // keeps the block alive while the record is open.
    bool openMemory(const uint8_t* data, int32_t size);
    // Closes first. Replaces any disk file of that name with a new, empty
    // one opened without sharing. Memory names cannot be written.
    bool openWrite(const char* name);
    // Closes first. Opens a disk file for writing without sharing, creating
    // it when missing, with the file offset at its end; size 0.
    bool openAppend(const char* name);
    // Reads n bytes. A disk file fails unless all n arrive; a memory file
    // delivers what remains up to n and fails only when the position is
    // already past its end (or before its start).
    bool read(void* destination, int32_t n);
    bool read32(void* destination) { return read(destination, 4); }
    // Makes up to n bytes at the read position visible without consuming
    // them (a disk file fills its read-ahead buffer). The count available,
    // 0 at the end of the data, -1 when the file cannot be read.
    int32_t peek(const uint8_t*& data, int32_t n) {
        const int32_t buffered = bufferEnd_ - bufferNext_;
        if (handle_ < 0 || buffered == 0 || n < 0) return peekSlow(data, n);
        data = buffer_.get() + bufferNext_;  // the common case: bytes already read ahead
        return n < buffered ? n : buffered;
    }
    // Consumes n bytes of the last peek: the position moves past them.
    void consume(int32_t n) {
        if (n <= 0) return;
        if (handle_ >= 0) bufferNext_ += n;
        position_ = static_cast<int32_t>(static_cast<int64_t>(position_) + n > INT32_MAX ? INT32_MAX : position_ + n);
    }
    // Writes n bytes to a disk file; true when all were written.
    bool write(const void* source, int32_t n);
    // Moves the read position; false outside 0 .. size.
    bool seek(int32_t position);
    // Channel seek: origin 0 sets the position to distance, above 0 adds it,
    // below 0 counts it from the size. A disk file's offset moves the same
    // way (from the start, the current offset, the end) and the new offset
    // is returned (-1 when it cannot move); a memory file returns the new
    // position.
    int32_t seekFrom(int32_t distance, int32_t origin);
    int32_t size() const { return size_; }
    int32_t position() const { return position_; }
    bool isOpen() const { return handle_ >= 0 || memory_ != nullptr; }
    bool isMemory() const { return memory_ != nullptr; }
    bool isDisk() const { return handle_ >= 0; }
    // Closes the handle, forgets the memory block; size and position 0.
    void close();

private:
    // Gives back read-ahead bytes not consumed: the file offset returns to
    // where unbuffered reads would have left it.
    bool dropReadAhead();
    // Refills the read-ahead buffer: the bytes held, 0 at the end, -1 on an error.
    int32_t fillReadAhead();
    int32_t peekSlow(const uint8_t*& data, int32_t n);

    int handle_ = -1;
    const uint8_t* memory_ = nullptr;
    int32_t size_ = 0;
    int32_t position_ = 0;
    std::unique_ptr<uint8_t[]> buffer_;  // read-ahead of a disk file
    int32_t bufferNext_ = 0;             // first byte not consumed
    int32_t bufferEnd_ = 0;              // bytes held
};
