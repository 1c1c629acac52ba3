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

ReplacementFile::~ReplacementFile() { vtx::platform::DiscardReplacement(file_); }

bool ReplacementFile::open(const std::string& target, std::string& error) {
    // vtxpack holds the program itself while it rewrites it.
    if (vtx::platform::CreateReplacement(target, file_, true)) return true;
    error = "cannot create a temporary file beside " + target + ": " + SystemError();
    return false;
}

bool ReplacementFile::put(const void* data, size_t n) { return vtx::platform::WriteReplacement(file_, data, n); }

bool ReplacementFile::commit(std::string& error) {
    const std::string target = file_.target;
    if (vtx::platform::CommitReplacement(file_)) return true;
    error = "cannot replace " + target + ": " + SystemError();
    return false;
}

bool DescriptorSink::put(const void* data, size_t n) { return WriteAll(fd_, data, n); }

}  // namespace vtxpack
