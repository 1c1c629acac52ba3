// File system stand-ins: separators, temporary folder, removing and appending.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform.h"

namespace vtx::platform {

std::string NativePath(std::string path) {
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

std::string TempFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = (tmp != nullptr && *tmp != 0) ? tmp : "/tmp";
    if (folder.back() != '/') folder += '/';
    return folder;
}

bool DeleteFile(const std::string& path) noexcept { return unlink(NativePath(path).c_str()) == 0; }

bool AppendToFile(const std::string& path, const char* data, size_t size) noexcept {
    const int fd = open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            break;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    close(fd);
    return true;
}

namespace {

// Takes the exclusive lock that stands for "no sharing"; closes on failure.
int LockOrClose(int fd) noexcept {
    if (fd < 0) return kNoFile;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return kNoFile;
    }
    return fd;
}

}  // namespace

int OpenExclusiveForReading(const std::string& path) noexcept {
    const std::string native = NativePath(path);
    const int fd = open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return kNoFile;
    struct stat info {};
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        close(fd);
        return kNoFile;
    }
    return LockOrClose(fd);
}

int CreateExclusive(const std::string& path) noexcept {
    const std::string native = NativePath(path);
    // A file someone holds without sharing cannot be replaced.
    const int existing = open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (existing >= 0) {
        const bool free = flock(existing, LOCK_EX | LOCK_NB) == 0;
        close(existing);
        if (!free) return kNoFile;
        unlink(native.c_str());
    }
    return LockOrClose(open(native.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
}

int64_t FileSize(int handle) noexcept {
    struct stat info {};
    if (fstat(handle, &info) != 0) return -1;
    return static_cast<int64_t>(info.st_size);
}

int64_t ReadFromFile(int handle, void* data, size_t size) noexcept {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = read(handle, static_cast<char*>(data) + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    return static_cast<int64_t>(done);
}

bool WriteToFile(int handle, const void* data, size_t size) noexcept {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = write(handle, p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

int OpenExclusiveForAppending(const std::string& path) noexcept {
    const int fd = LockOrClose(open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    if (fd == kNoFile) return kNoFile;
    if (lseek(fd, 0, SEEK_END) < 0) {
        close(fd);
        return kNoFile;
    }
    return fd;
}

int64_t SeekFileFrom(int handle, int64_t distance, SeekOrigin origin) noexcept {
    const int whence = origin == SeekOrigin::Start ? SEEK_SET : origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
    const off_t offset = lseek(handle, static_cast<off_t>(distance), whence);
    return offset < 0 ? -1 : static_cast<int64_t>(offset);
}

bool SeekFile(int handle, int64_t position) noexcept {
    return position >= 0 && lseek(handle, static_cast<off_t>(position), SEEK_SET) == static_cast<off_t>(position);
}

void CloseFile(int handle) noexcept {
    if (handle >= 0) close(handle);
}

bool MakeDirectory(const std::string& path) noexcept { return mkdir(NativePath(path).c_str(), 0755) == 0; }

bool IsDirectory(const std::string& path) noexcept {
    struct stat info {};
    return stat(NativePath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string AbsolutePath(const std::string& path) {
    std::string native = NativePath(path);
    if (!native.empty() && native[0] == '/') return native;
    char folder[PATH_MAX];
    if (getcwd(folder, sizeof folder) == nullptr) return native;
    std::string absolute = folder;
    if (absolute.back() != '/') absolute += '/';
    return absolute + native;
}

}  // namespace vtx::platform
