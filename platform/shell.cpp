// Process stand-ins: running command lines through the shell, opening
// documents with the desktop and running helper programs for their output.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "system.h"

extern char** environ;

namespace vtx::platform {

namespace {

// Children started without waiting; collected later so none stays a zombie.
std::vector<pid_t> unwaitedChildren;

// Collects every unwaited child that has ended since the last look.
void CollectEndedChildren() {
    std::erase_if(unwaitedChildren, [](pid_t child) {
        int status = 0;
        const pid_t result = waitpid(child, &status, WNOHANG);
        return result == child || (result < 0 && errno == ECHILD);
    });
}

// Spawn settings every child gets: default signal handling, nothing blocked.
class SpawnSettings {
public:
    // Default signal handling and an empty signal mask for the child.
    SpawnSettings() {
        posix_spawnattr_init(&attributes_);
        sigset_t none, defaults;
        sigemptyset(&none);
        sigemptyset(&defaults);
        for (const int signal : {SIGPIPE, SIGINT, SIGQUIT, SIGCHLD, SIGTERM, SIGHUP}) sigaddset(&defaults, signal);
        posix_spawnattr_setsigmask(&attributes_, &none);
        posix_spawnattr_setsigdefault(&attributes_, &defaults);
        posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        posix_spawn_file_actions_init(&actions_);
    }
    // Frees the attribute and action records.
    ~SpawnSettings() {
        posix_spawn_file_actions_destroy(&actions_);
        posix_spawnattr_destroy(&attributes_);
    }
    SpawnSettings(const SpawnSettings&) = delete;
    SpawnSettings& operator=(const SpawnSettings&) = delete;

    // Makes descriptor from the child's descriptor to.
    void Redirect(int from, int to) { posix_spawn_file_actions_adddup2(&actions_, from, to); }
    // Closes every descriptor above the standard streams in the child, so it
    // inherits no handles of the runtime (descriptors marked close-on-exec go
    // anyway; this catches the rest).
    void CloseInherited() {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
        posix_spawn_file_actions_addclosefrom_np(&actions_, 3);
#endif
    }
    // Starts program (searched through PATH when search is set).
    bool Spawn(pid_t& child, const char* program, char* const argv[], bool search) {
        const int result = search ? posix_spawnp(&child, program, &actions_, &attributes_, argv, environ)
                                  : posix_spawn(&child, program, &actions_, &attributes_, argv, environ);
        return result == 0;
    }

private:
    posix_spawnattr_t attributes_;
    posix_spawn_file_actions_t actions_;
};

// Waits for a child's end; its exit status, or 128 + the signal that ended it.
int32_t WaitForExit(pid_t child) {
    int status = 0;
    // Only an ended child is reported (stops are not asked for); a wait that a
    // signal broke off is simply waited again.
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

// A writable argument vector over the strings (which must outlive it).
std::vector<char*> ArgumentVector(std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    return argv;
}

}  // namespace

// A command line through /bin/sh -c, waited for when asked.
bool RunShellCommand(const std::string& commandLine, bool wait, int32_t& exitCode) {
    CollectEndedChildren();
    std::vector<std::string> arguments = {"/bin/sh", "-c", commandLine};
    std::vector<char*> argv = ArgumentVector(arguments);
    SpawnSettings settings;
    settings.CloseInherited();
    pid_t child = 0;
    if (!settings.Spawn(child, "/bin/sh", argv.data(), false)) return false;
    if (!wait) {
        unwaitedChildren.push_back(child);
        return true;
    }
    exitCode = WaitForExit(child);
    return true;
}

// xdg-open with the document, not waited for.
bool OpenWithDesktop(const std::string& document) {
    CollectEndedChildren();
    std::vector<std::string> arguments = {"xdg-open", document};
    std::vector<char*> argv = ArgumentVector(arguments);
    SpawnSettings settings;
    settings.CloseInherited();
    pid_t child = 0;
    if (!settings.Spawn(child, "xdg-open", argv.data(), true)) return false;
    unwaitedChildren.push_back(child);
    return true;
}

// The first executable file of that name in the folders of PATH.
bool FindProgram(const std::string& name, std::string& path) {
    path.clear();
    if (name.empty()) return false;
    const char* search = std::getenv("PATH");
    const std::string folders = search != nullptr ? search : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        const size_t end = std::min(folders.find(':', start), folders.size());
        // An empty entry of PATH stands for the current directory.
        const std::string folder = end > start ? folders.substr(start, end - start) : ".";
        const std::string candidate = folder + "/" + name;
        struct stat info {};
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(candidate.c_str(), X_OK) == 0) {
            path = candidate;
            return true;
        }
        start = end + 1;
    }
    return false;
}

// Runs a program to its end, collecting its standard output.
bool RunAndCapture(const std::vector<std::string>& argv, std::string& output, int32_t& exitCode) {
    output.clear();
    exitCode = -1;
    if (argv.empty()) return false;
    int channel[2];
    if (pipe2(channel, O_CLOEXEC) != 0) return false;
    std::vector<std::string> arguments = argv;
    std::vector<char*> vector = ArgumentVector(arguments);
    SpawnSettings settings;
    settings.Redirect(channel[1], 1);
    settings.CloseInherited();
    pid_t child = 0;
    const bool started = settings.Spawn(child, arguments[0].c_str(), vector.data(), true);
    close(channel[1]);
    if (!started) {
        close(channel[0]);
        return false;
    }
    char chunk[4096];
    for (;;) {
        const ssize_t n = read(channel[0], chunk, sizeof chunk);
        if (n > 0) {
            output.append(chunk, static_cast<size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    close(channel[0]);
    exitCode = WaitForExit(child);
    return true;
}

}  // namespace vtx::platform
