// File commands: exists, length, remove, copy, directories, slashes.
#include "files/file_commands.h"

#include "files/last_error_internal.h"
#include "files/rt_file.h"
#include "platform/platform.h"

namespace {
constexpr int32_t kCopyChunk = 4096;
constexpr uint32_t kNoSuchFile = 3;
}  // namespace

bool FileExists(const RtString& name) {
    ClearLastError();
    RtFile file;
    const bool exists = file.openRead(name.c_str());
    file.close();
    return exists;
}

int32_t FileLength(const RtString& name) {
    ClearLastError();
    RtFile file;
    if (!file.openRead(name.c_str())) {
        vtx::SetLastError(kNoSuchFile);
        return 0;
    }
    return file.size();
}

bool RemoveFile(const RtString& name) {
    ClearLastError();
    return vtx::platform::DeleteFile(name.c_str());
}

void CopyFileTo(const RtString& source, const RtString& destination) {
    ClearLastError();
    RtFile from;
    if (!from.openRead(source.c_str())) {
        vtx::SetLastError(kNoSuchFile);
        return;
    }
    RtFile to;
    if (!to.openWrite(destination.c_str())) {
        vtx::SetLastError(kNoSuchFile);
        return;
    }
    char chunk[kCopyChunk];
    for (int32_t left = from.size(); left > 0;) {
        const int32_t n = left < kCopyChunk ? left : kCopyChunk;
        if (!from.read(chunk, n) || !to.write(chunk, n)) {
            from.close();
            to.close();
            vtx::platform::DeleteFile(destination.c_str());  // no partial copy stays behind
            return;
        }
        left -= n;
    }
}

bool MakeDirectory(const RtString& name) {
    ClearLastError();
    return vtx::platform::MakeDirectory(name.c_str());
}

bool DirectoryExists(const RtString& name) {
    ClearLastError();
    return vtx::platform::IsDirectory(name.c_str());
}

void ToForwardSlashes(RtString& text) {
    char* p = text.length() != 0 ? text.getBuffer(text.length()) : nullptr;
    for (uint32_t i = 0; p != nullptr && i < text.length(); ++i)
        if (p[i] == '\\') p[i] = '/';
}
