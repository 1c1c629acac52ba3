// RtFile over disk handles and registered memory blocks.
#include "files/rt_file.h"

#include <cstring>
#include <limits>

#include "files/memory_names.h"
#include "platform/platform.h"

bool RtFile::openRead(const char* name) {
    close();
    if (name == nullptr) return false;
    if (vtx::IsMemoryName(name)) {
        vtx::MemoryBlockView view;
        if (!vtx::OpenMemoryName(name, view)) return false;
        if (view.size > static_cast<uint32_t>(std::numeric_limits<int32_t>::max())) return false;
        // An empty block still opens: the record remembers a non-null pointer.
        static const uint8_t kEmpty = 0;
        memory_ = view.data != nullptr ? view.data : &kEmpty;
        size_ = static_cast<int32_t>(view.size);
        position_ = 0;
        return true;
    }
    const int handle = vtx::platform::OpenExclusiveForReading(name);
    if (handle == vtx::platform::kNoFile) return false;
    const int64_t bytes = vtx::platform::FileSize(handle);
    if (bytes < 0 || bytes > std::numeric_limits<int32_t>::max()) {  // beyond a 32-bit size
        vtx::platform::CloseFile(handle);
        return false;
    }
    handle_ = handle;
    size_ = static_cast<int32_t>(bytes);
    position_ = 0;
    return true;
}

bool RtFile::openWrite(const char* name) {
    close();
    if (name == nullptr || vtx::IsMemoryName(name)) return false;
    const int handle = vtx::platform::CreateExclusive(name);
    if (handle == vtx::platform::kNoFile) return false;
    handle_ = handle;
    size_ = 0;
    position_ = 0;
    return true;
}

bool RtFile::read(void* destination, int32_t n) {
    if (n < 0) return false;
    if (handle_ >= 0) {
        position_ += n;
        const int64_t got = vtx::platform::ReadFromFile(handle_, destination, static_cast<size_t>(n));
        return got == n;
    }
    if (memory_ == nullptr) return false;
    int64_t count = n;
    if (static_cast<int64_t>(position_) + count > size_) count = static_cast<int64_t>(size_) - position_;
    if (count < 0) return false;
    if (count > 0) std::memcpy(destination, memory_ + position_, static_cast<size_t>(count));
    position_ += static_cast<int32_t>(count);
    return true;
}

bool RtFile::write(const void* source, int32_t n) {
    if (handle_ < 0 || n < 0) return false;
    return vtx::platform::WriteToFile(handle_, source, static_cast<size_t>(n));
}

bool RtFile::seek(int32_t position) {
    if (!isOpen() || position < 0 || position > size_) return false;
    if (handle_ >= 0 && !vtx::platform::SeekFile(handle_, position)) return false;
    position_ = position;
    return true;
}

void RtFile::close() {
    if (handle_ >= 0) vtx::platform::CloseFile(handle_);
    handle_ = -1;
    memory_ = nullptr;
    size_ = 0;
    position_ = 0;
}
