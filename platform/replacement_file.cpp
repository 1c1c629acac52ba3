// Replacing a file whole: a temporary file in the same folder, flushed, then
// renamed over the old one, so a failure at any moment leaves either the old
// file or the complete new one.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform.h"

namespace vtx::platform {
namespace {

// The folder part of a path ("." when there is none).
std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The path a name leads to through symbolic links, so that a link keeps
// pointing at the file it named; the path itself when it cannot be followed.
std::string FollowLinks(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return path;
    std::string result = resolved;
    std::free(resolved);
    return result;
}

// True when someone else holds the file open without sharing.
bool HeldWithoutSharing(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool held = flock(fd, LOCK_EX | LOCK_NB) != 0;
    close(fd);
    return held;
}

// The permission bits a new file gets under the current umask.
mode_t DefaultFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// Syncs a folder so a rename inside it survives a crash; failures are harmless.
void SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

}  // namespace

bool CreateReplacement(const std::string& target, ReplacementFile& file, bool ignoreLocks) noexcept {
    DiscardReplacement(file);
    file.target = FollowLinks(NativePath(target));
    if (file.target.empty() || file.target.back() == '/') return false;
    if (!ignoreLocks && HeldWithoutSharing(file.target)) return false;
    const size_t slash = file.target.find_last_of('/');
    const std::string base = slash == std::string::npos ? file.target : file.target.substr(slash + 1);
    std::string pattern = FolderOf(file.target) + "/." + base + ".new-XXXXXX";
    const int fd = mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) return false;
    file.handle = fd;
    file.temporary = pattern;
    file.written = file.handedOn = 0;
    struct stat info {};
    mode_t mode = DefaultFileMode();
    if (stat(file.target.c_str(), &info) == 0) {
        mode = info.st_mode & 07777;
        if (fchown(fd, info.st_uid, info.st_gid) != 0) {
            // Only the owner may keep the owner: another one is not an error.
        }
    }
    if (fchmod(fd, mode) != 0) {
        DiscardReplacement(file);
        return false;
    }
    return true;
}

// Large files: every 4 MB written, the system is asked to start writing
// them to disk (without waiting), so the flush at the commit finds little
// left to do and the disk works while the data is still coming.
bool WriteReplacement(ReplacementFile& file, const void* data, size_t size) noexcept {
    if (file.handle == kNoFile || !WriteToFile(file.handle, data, size)) return false;
    file.written += size;
    constexpr uint64_t kHandOnEvery = uint64_t{4} << 20;
    if (file.written - file.handedOn >= kHandOnEvery) {
        sync_file_range(file.handle, static_cast<off64_t>(file.handedOn),
                        static_cast<off64_t>(file.written - file.handedOn), SYNC_FILE_RANGE_WRITE);
        file.handedOn = file.written;
    }
    return true;
}

bool CommitReplacement(ReplacementFile& file) noexcept {
    if (file.handle == kNoFile) return false;
    const bool flushed = fsync(file.handle) == 0;
    const bool closed = close(file.handle) == 0;
    file.handle = kNoFile;
    if (!flushed || !closed || rename(file.temporary.c_str(), file.target.c_str()) != 0) {
        DiscardReplacement(file);
        return false;
    }
    file.temporary.clear();
    SyncFolder(FolderOf(file.target));
    return true;
}

void DiscardReplacement(ReplacementFile& file) noexcept {
    const int saved = errno;  // callers may want the reason of the failure
    if (file.handle != kNoFile) close(file.handle);
    file.handle = kNoFile;
    if (!file.temporary.empty()) unlink(file.temporary.c_str());
    file.temporary.clear();
    errno = saved;
}

}  // namespace vtx::platform
