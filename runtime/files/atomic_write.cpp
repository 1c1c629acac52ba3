// The one way the runtime replaces a whole file.
#include "files/atomic_write.h"

#include "files/memory_names.h"

namespace vtx {

bool AtomicFileWriter::open(const char* name) {
    failed_ = false;
    if (name == nullptr || *name == 0 || IsMemoryName(name)) {
        platform::DiscardReplacement(file_);
        failed_ = true;
        return false;
    }
    failed_ = !platform::CreateReplacement(name, file_);
    return !failed_;
}

bool AtomicFileWriter::write(const void* data, size_t size) {
    if (failed_) return false;
    if (size != 0 && !platform::WriteReplacement(file_, data, size)) failed_ = true;
    return !failed_;
}

bool AtomicFileWriter::commit() {
    if (failed_) {
        platform::DiscardReplacement(file_);
        return false;
    }
    failed_ = !platform::CommitReplacement(file_);
    return !failed_;
}

bool WriteFileAtomically(const char* name, const void* data, size_t size) {
    AtomicFileWriter writer;
    return writer.open(name) && writer.write(data, size) && writer.commit();
}

}  // namespace vtx
