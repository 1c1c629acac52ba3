// File helpers of vtxpack.
#include "file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace vtxpack {
namespace {

// Writes all n bytes to fd, retrying after interruptions.
bool WriteAll(int fd, const void* data, size_t n) {
    const auto* p = static_cast<const char*>(data);
    while (n > 0) {
        const ssize_t done = ::write(fd, p, n);
        if (done < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += done;
        n -= static_cast<size_t>(done);
    }
    return true;
}

// The folder part of a path ("." when there is none).
std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Syncs a folder so a rename inside it survives a crash; failures are harmless.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// The permission bits a newly created file gets under the current umask.
mode_t DefaultFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

std::string SystemError() { return std::strerror(errno); }

bool CheckInputFile(const std::string& path, int64_t maxSize, int64_t& size, std::string& error) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        error = path + ": " + SystemError();
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = path + ": not a regular file";
        return false;
    }
    if (::access(path.c_str(), R_OK) != 0) {
        error = path + ": " + SystemError();
        return false;
    }
    if (info.st_size > maxSize) {
        error = path + ": larger than " + std::to_string(maxSize) + " bytes, which the runtime cannot read";
        return false;
    }
    size = static_cast<int64_t>(info.st_size);
    return true;
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = path + ": " + SystemError();
        return false;
    }
    uint8_t chunk[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = path + ": " + SystemError();
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    ::close(fd);
    return true;
}

std::string ResolvedPath(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return path;
    std::string result = resolved;
    std::free(resolved);
    return result;
}

ReplacementFile::~ReplacementFile() { discard(); }

bool ReplacementFile::open(const std::string& target, std::string& error) {
    discard();
    target_ = target;
    const size_t slash = target.find_last_of('/');
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string pattern = FolderOf(target) + "/." + base + ".vtxpack-XXXXXX";
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0) {
        error = "cannot create a temporary file beside " + target + ": " + SystemError();
        return false;
    }
    temporary_ = pattern;
    struct stat info {};
    mode_t mode = DefaultFileMode();
    if (::stat(target.c_str(), &info) == 0) {
        mode = info.st_mode & 07777;
        if (::fchown(fd_, info.st_uid, info.st_gid) != 0) {
            // Only the owner may be kept: a different one is not an error.
        }
    }
    if (::fchmod(fd_, mode) != 0) {
        error = "cannot set the permissions of " + temporary_ + ": " + SystemError();
        discard();
        return false;
    }
    return true;
}

bool ReplacementFile::put(const void* data, size_t n) { return fd_ >= 0 && WriteAll(fd_, data, n); }

bool ReplacementFile::commit(std::string& error) {
    if (fd_ < 0) {
        error = "no file to commit";
        return false;
    }
    if (::fsync(fd_) != 0 || ::close(fd_) != 0) {
        fd_ = -1;
        error = "cannot write " + temporary_ + ": " + SystemError();
        discard();
        return false;
    }
    fd_ = -1;
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        error = "cannot replace " + target_ + ": " + SystemError();
        discard();
        return false;
    }
    temporary_.clear();
    SyncFolder(FolderOf(target_));
    return true;
}

void ReplacementFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

bool DescriptorSink::put(const void* data, size_t n) { return WriteAll(fd_, data, n); }

}  // namespace vtxpack
