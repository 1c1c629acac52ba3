// File system stand-ins: separators, temporary folder, removing and appending.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
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

}  // namespace vtx::platform
