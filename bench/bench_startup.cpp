// Start-up time: process start to AppMain. Runs startup_app (which prints
// CLOCK_MONOTONIC as AppMain begins, right after "Init Finalized" is logged)
// 10 times; each time CLOCK_MONOTONIC is read just before fork/exec, so
// "app time - fork time" is the whole start-up: exec, loading, the engine's
// initialisation and the window. Also shown: fork to exit (including the
// shutdown). The anchor, measured in the same run, is fork/exec/wait of
// /bin/true. Each series is preceded by one untimed warm-up run.
// The app opens a window, so this needs an X server:
//   tests/harness/vtx-test-env --xvfb build/bench/bench_startup [path/to/startup_app]
// Without an argument the app path is the one compiled in, else the
// startup_app next to this program.
#include <fcntl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 10;

struct RunResult {
    bool ok = false;
    long long forkNs = 0;  // CLOCK_MONOTONIC just before fork
    long long exitNs = 0;  // CLOCK_MONOTONIC once waitpid returned
    std::string output;    // everything the child wrote to stdout
    int status = -1;       // exit status, or -1 when it did not exit normally
};

// CLOCK_MONOTONIC in nanoseconds.
long long MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Starts path with fork/exec, collects its stdout through a pipe and waits.
RunResult RunProgram(const std::string& path) {
    RunResult r;
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return r;
    r.forkNs = MonotonicNs();
    const pid_t pid = fork();
    if (pid < 0) {
        close(pipeFds[0]);
        close(pipeFds[1]);
        return r;
    }
    if (pid == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        char* const argv[] = {const_cast<char*>(path.c_str()), nullptr};
        execv(path.c_str(), argv);
        _exit(127);
    }
    close(pipeFds[1]);
    char buffer[4096];
    ssize_t n;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) != 0) {
        if (n > 0) r.output.append(buffer, static_cast<size_t>(n));
        else if (errno != EINTR) break;
    }
    close(pipeFds[0]);
    int wstatus = 0;
    while (waitpid(pid, &wstatus, 0) < 0 && errno == EINTR) {
    }
    r.exitNs = MonotonicNs();
    r.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    r.ok = true;
    return r;
}

// Median of the values (the mean of the middle two for an even count).
double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t m = v.size() / 2;
    return v.size() % 2 != 0 ? v[m] : (v[m - 1] + v[m]) / 2;
}

// True when the error log in $TMPDIR (or /tmp) holds "Init Finalized".
bool LogSaysInitFinalized() {
    const char* tmp = std::getenv("TMPDIR");
    std::string path = (tmp != nullptr && *tmp != 0) ? tmp : "/tmp";
    if (path.back() != '/') path += '/';
    std::ifstream in(path + "ErrorLog.txt", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return text.find("Init Finalized") != std::string::npos;
}

// The app's path: the argument, the compiled-in path, or next to this program.
std::string AppPath(int argc, char** argv) {
    if (argc > 1) return argv[1];
#ifdef VTX_STARTUP_APP
    if (access(VTX_STARTUP_APP, X_OK) == 0) return VTX_STARTUP_APP;
#endif
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return "startup_app";
    std::string dir(self, static_cast<size_t>(n));
    return dir.substr(0, dir.rfind('/') + 1) + "startup_app";
}

// Prints median, min and max of a series in milliseconds.
void PrintSeries(const char* name, const std::vector<double>& ms) {
    std::printf("  %-34s median %8.2f ms   min %8.2f   max %8.2f\n", name, Median(ms),
                *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()));
}

}  // namespace

int main(int argc, char** argv) {
    const std::string app = AppPath(argc, argv);
    if (access(app.c_str(), X_OK) != 0) {
        std::fprintf(stderr, "bench_startup: cannot run %s\n", app.c_str());
        return 1;
    }
    const std::string anchorPath = "/bin/true";

    RunProgram(anchorPath);  // warm-up
    std::vector<double> anchorMs;
    for (int i = 0; i < kRuns; ++i) {
        const RunResult r = RunProgram(anchorPath);
        if (!r.ok || r.status != 0) {
            std::fprintf(stderr, "bench_startup: %s failed\n", anchorPath.c_str());
            return 1;
        }
        anchorMs.push_back(static_cast<double>(r.exitNs - r.forkNs) / 1e6);
    }

    RunProgram(app);  // warm-up
    std::vector<double> toAppMainMs, toExitMs;
    int logged = 0;
    for (int i = 0; i < kRuns; ++i) {
        const RunResult r = RunProgram(app);
        char* end = nullptr;
        const long long appNs = std::strtoll(r.output.c_str(), &end, 10);
        if (!r.ok || r.status != 0 || end == r.output.c_str()) {
            std::fprintf(stderr, "bench_startup: %s failed (exit status %d, output \"%s\")\n", app.c_str(), r.status,
                         r.output.c_str());
            return 1;
        }
        toAppMainMs.push_back(static_cast<double>(appNs - r.forkNs) / 1e6);
        toExitMs.push_back(static_cast<double>(r.exitNs - r.forkNs) / 1e6);
        if (LogSaysInitFinalized()) ++logged;
    }

    std::printf("start-up, %d runs each (after one warm-up run):\n", kRuns);
    PrintSeries("fork/exec/wait /bin/true (anchor)", anchorMs);
    PrintSeries("fork to AppMain (startup_app)", toAppMainMs);
    PrintSeries("fork to exit (startup_app)", toExitMs);
    std::printf("  \"Init Finalized\" in the error log after %d of %d runs\n", logged, kRuns);
    std::printf("ratio of medians to the anchor:\n");
    std::printf("  fork to AppMain  %8.1fx\n", Median(toAppMainMs) / Median(anchorMs));
    std::printf("  fork to exit     %8.1fx\n", Median(toExitMs) / Median(anchorMs));
    return 0;
}
