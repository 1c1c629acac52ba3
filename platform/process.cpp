// Process stand-ins: command line, program path, current directory, debugger.
#include <spawn.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform.h"

namespace vtx::platform {

std::string CommandLine() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string line;
    size_t start = 0;
    while (start < raw.size()) {
        size_t end = raw.find('\0', start);
        if (end == std::string::npos) end = raw.size();
        const std::string argument = raw.substr(start, end - start);
        if (!line.empty()) line += ' ';
        if (argument.empty() || argument.find_first_of(" \t") != std::string::npos)
            line += '"' + argument + '"';
        else
            line += argument;
        start = end + 1;
    }
    return line;
}

std::string ProgramPath() {
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return {};
    return std::string(path, static_cast<size_t>(n));
}

bool ChangeDirectory(const std::string& folder) noexcept {
    return !folder.empty() && chdir(NativePath(folder).c_str()) == 0;
}

bool StartCommand(const std::string& commandLine) noexcept {
    pid_t child = 0;
    char shell[] = "/bin/sh";
    char dashC[] = "-c";
    std::string line = commandLine;
    char* argv[] = {shell, dashC, line.data(), nullptr};
    return posix_spawn(&child, shell, nullptr, nullptr, argv, environ) == 0;
}

bool DebuggerAttached() noexcept {
    FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) return false;
    char line[256];
    bool attached = false;
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, "TracerPid:", 10) == 0) {
            attached = std::atoi(line + 10) != 0;
            break;
        }
    }
    std::fclose(status);
    return attached;
}

void DebuggerOutput(const std::string& text) noexcept {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

}  // namespace vtx::platform
