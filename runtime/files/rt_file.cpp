// RtFile over disk handles and registered memory blocks.
#include "files/rt_file.h"

#include <cstring>
#include <limits>

#include "files/memory_names.h"
#include "platform/platform.h"

namespace {

// A 32-bit position moved by a 64-bit amount, held inside the 32-bit range.
int32_t Clamped(int64_t value) {
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

}  // namespace

bool RtFile::openRead(const char* name) {
    close();
    if (name == nullptr) return false;
    if (vtx::IsMemoryName(name)) {
        vtx::MemoryBlockView view;
        if (!vtx::OpenMemoryName(name, view)) return false;
        if (view.size > static_cast<uint32_t>(std::numeric_limits<int32_t>::max())) return false;
        return openMemory(view.data, static_cast<int32_t>(view.size));
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

bool RtFile::openMemory(const uint8_t* data, int32_t size) {
    close();
    if (size < 0) return false;
    // An empty block still opens: the record remembers a non-null pointer.
    static const uint8_t kEmpty = 0;
    memory_ = data != nullptr ? data : &kEmpty;
    size_ = data != nullptr ? size : 0;
    position_ = 0;
    return true;
}

bool RtFile::openWrite(const char* name) {
    close();
    if (name == nullptr || vtx::IsMemoryName(name)) return false;
    const int handle = vtx::platform::CreateExclusive(name);
    if (handle == vtx::platform::kNoFile) return false;
    handle_ = handle;
    return true;
}

bool RtFile::openAppend(const char* name) {
    close();
    if (name == nullptr || vtx::IsMemoryName(name)) return false;
    const int handle = vtx::platform::OpenExclusiveForAppending(name);
    if (handle == vtx::platform::kNoFile) return false;
    handle_ = handle;
    return true;
}

int32_t RtFile::fillReadAhead() {
    if (!buffer_) buffer_ = std::make_unique<uint8_t[]>(kReadAhead);
    bufferNext_ = 0;
    bufferEnd_ = 0;
    const int64_t got = vtx::platform::ReadFromFile(handle_, buffer_.get(), kReadAhead);
    if (got < 0) return -1;
    bufferEnd_ = static_cast<int32_t>(got);
    return bufferEnd_;
}

bool RtFile::dropReadAhead() {
    const int32_t unread = bufferEnd_ - bufferNext_;
    bufferNext_ = 0;
    bufferEnd_ = 0;
    if (unread == 0 || handle_ < 0) return true;
    return vtx::platform::SeekFileFrom(handle_, -static_cast<int64_t>(unread), vtx::platform::SeekOrigin::Current) >= 0;
}

bool RtFile::read(void* destination, int32_t n) {
    if (n < 0) return false;
    if (handle_ >= 0) {
        position_ = Clamped(static_cast<int64_t>(position_) + n);
        auto* out = static_cast<uint8_t*>(destination);
        int32_t left = n;
        const int32_t buffered = bufferEnd_ - bufferNext_;
        if (buffered > 0) {
            const int32_t take = left < buffered ? left : buffered;
            std::memcpy(out, buffer_.get() + bufferNext_, static_cast<size_t>(take));
            bufferNext_ += take;
            out += take;
            left -= take;
        }
        if (left == 0) return true;
        if (left >= kReadAhead / 2)  // large reads go straight to the file
            return vtx::platform::ReadFromFile(handle_, out, static_cast<size_t>(left)) == left;
        const int32_t got = fillReadAhead();
        if (got < 0) return false;
        const int32_t take = left < got ? left : got;
        std::memcpy(out, buffer_.get(), static_cast<size_t>(take));
        bufferNext_ = take;
        return take == left;
    }
    if (memory_ == nullptr || position_ < 0) return false;
    int64_t count = n;
    if (static_cast<int64_t>(position_) + count > size_) count = static_cast<int64_t>(size_) - position_;
    if (count < 0) return false;
    if (count > 0) std::memcpy(destination, memory_ + position_, static_cast<size_t>(count));
    position_ += static_cast<int32_t>(count);
    return true;
}

int32_t RtFile::peekSlow(const uint8_t*& data, int32_t n) {
    if (n < 0) return -1;
    if (handle_ >= 0) {
        if (bufferNext_ == bufferEnd_ && fillReadAhead() < 0) return -1;
        const int32_t buffered = bufferEnd_ - bufferNext_;
        data = buffer_ ? buffer_.get() + bufferNext_ : nullptr;
        return n < buffered ? n : buffered;
    }
    if (memory_ == nullptr || position_ < 0) return -1;
    if (position_ >= size_) return 0;
    const int32_t left = size_ - position_;
    data = memory_ + position_;
    return n < left ? n : left;
}

bool RtFile::write(const void* source, int32_t n) {
    if (handle_ < 0 || n < 0) return false;
    if (!dropReadAhead()) return false;
    return vtx::platform::WriteToFile(handle_, source, static_cast<size_t>(n));
}

bool RtFile::seek(int32_t position) {
    if (!isOpen() || position < 0 || position > size_) return false;
    if (handle_ >= 0) {
        bufferNext_ = bufferEnd_ = 0;
        if (!vtx::platform::SeekFile(handle_, position)) return false;
    }
    position_ = position;
    return true;
}

int32_t RtFile::seekFrom(int32_t distance, int32_t origin) {
    const int64_t base = origin == 0 ? 0 : origin > 0 ? position_ : size_;
    position_ = Clamped(base + distance);
    if (handle_ < 0) return position_;
    if (!dropReadAhead()) return -1;
    using vtx::platform::SeekOrigin;
    const SeekOrigin from = origin == 0 ? SeekOrigin::Start : origin > 0 ? SeekOrigin::Current : SeekOrigin::End;
    const int64_t offset = vtx::platform::SeekFileFrom(handle_, distance, from);
    return offset < 0 || offset > std::numeric_limits<int32_t>::max() ? -1 : static_cast<int32_t>(offset);
}

void RtFile::close() {
    if (handle_ >= 0) vtx::platform::CloseFile(handle_);
    handle_ = -1;
    memory_ = nullptr;
    size_ = 0;
    position_ = 0;
    bufferNext_ = bufferEnd_ = 0;
}
