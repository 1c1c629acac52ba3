// ravlo as a user runs it: start-up until the intro picture is on screen,
// then, while the first track plays, the processor time over 30 s (percent
// of one core), the peak resident memory and the 99th percentile of the
// frame period (from the buffer swaps, noted by a preloaded shim). The
// anchor is the frame period ravlo asks for (1000 / 60 ms).
//
// Run (needs an X server): tests/harness/vtx-test-env --xvfb build/bench/bench_ravlo [seconds]
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::string Run(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, p) != nullptr) out += buffer;
        pclose(p);
    }
    return out;
}

// Processor seconds (user + system) of a process.
double CpuSeconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::istringstream fields(all.substr(all.rfind(')') + 2));
    std::string f;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> f; ++i) {
        if (i == 14) utime = std::stoull(f);
        if (i == 15) stime = std::stoull(f);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

long PeakRssKiB(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

// The share of pixels of the window's screenshot that differ from the PPM
// reference by more than 8 in a channel; 1 when there is no screenshot.
double OffIntro(const std::string& window, const std::string& folder, const std::vector<unsigned char>& intro) {
    Run(std::string(X11_SCREENSHOT) + " " + window + " " + folder + "/shot.ppm");
    std::ifstream in(folder + "/shot.ppm", std::ios::binary);
    std::string magic;
    int w = 0, h = 0, max = 0;
    in >> magic >> w >> h >> max;
    in.get();
    std::vector<unsigned char> rgb(static_cast<size_t>(w) * h * 3);
    in.read(reinterpret_cast<char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
    if (!in || rgb.size() != intro.size()) return 1.0;
    size_t off = 0;
    for (size_t i = 0; i < rgb.size(); ++i) off += std::abs(rgb[i] - intro[i]) > 8;
    return static_cast<double>(off) / static_cast<double>(rgb.size());
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 30.0;
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder = tmp != nullptr ? tmp : "/tmp";
    const std::string media = std::string(VTX_RAVLO_DIR) + "/Media";
    // The intro as it should look: the picture decoded by ffmpeg to a PPM.
    Run("ffmpeg -loglevel error -y -i " + media + "/intro.png -f image2 -vcodec ppm " + folder + "/intro.ppm");
    std::vector<unsigned char> intro;
    {
        std::ifstream in(folder + "/intro.ppm", std::ios::binary);
        std::string magic;
        int w = 0, h = 0, max = 0;
        in >> magic >> w >> h >> max;
        in.get();
        intro.resize(static_cast<size_t>(w) * h * 3);
        in.read(reinterpret_cast<char*>(intro.data()), static_cast<std::streamsize>(intro.size()));
    }
    const std::string swapFile = folder + "/swaps.txt";
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("LD_PRELOAD", SWAP_TIMES_SHIM, 1);
        setenv("VTX_SWAP_TIMES", swapFile.c_str(), 1);
        execl(VTX_RAVLO_DIR "/ravlo", "ravlo", static_cast<char*>(nullptr));
        _exit(127);
    }
    std::string window;
    double startup = -1;
    while (std::chrono::duration<double>(Clock::now() - start).count() < 20) {
        if (window.empty()) {
            window = Run("xdotool search --onlyvisible --name '^ravlo$' 2>/dev/null | head -1");
            while (!window.empty() && window.back() == '\n') window.pop_back();
        }
        if (!window.empty() && OffIntro(window, folder, intro) < 0.01) {
            startup = std::chrono::duration<double>(Clock::now() - start).count();
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(6000));  // past the intro: the first track plays
    const double cpu0 = CpuSeconds(pid);
    const auto t0 = Clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const double cpu = CpuSeconds(pid) - cpu0;
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    const long rss = PeakRssKiB(pid);
    // Escape ends ravlo; it reads keys only while it has the focus (there is
    // no window manager to give it), and a stop signal ends it too.
    Run(std::string(X11_FOCUS) + " " + window + "; xdotool key Escape");
    int status = 0;
    for (int i = 0; i < 500 && waitpid(pid, &status, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (waitpid(pid, &status, WNOHANG) == 0) {
        kill(pid, SIGTERM);
        waitpid(pid, &status, 0);
    }

    // Frame periods of the swaps inside the measured stretch.
    std::ifstream in(swapFile);
    std::vector<long long> swaps;
    for (long long t; in >> t;) swaps.push_back(t);
    std::vector<double> periods;
    for (size_t i = 1; i < swaps.size(); ++i) periods.push_back((swaps[i] - swaps[i - 1]) / 1e6);
    // Keep the periods of the last `seconds` before the end (Escape ends at once).
    double kept = 0;
    std::vector<double> window_periods;
    for (size_t i = periods.size(); i-- > 0 && kept < seconds * 1000;) {
        kept += periods[i];
        window_periods.push_back(periods[i]);
    }
    std::sort(window_periods.begin(), window_periods.end());
    const double p99 = window_periods.empty() ? 0 : window_periods[window_periods.size() * 99 / 100];
    const double median = window_periods.empty() ? 0 : window_periods[window_periods.size() / 2];
    const double anchor = 1000.0 / 60.0;
    std::printf("start-up to the intro on screen   %8.0f ms\n", startup * 1000);
    std::printf("processor while a track plays     %8.1f %% of one core (%.0f s)\n", 100 * cpu / wall, wall);
    std::printf("peak resident memory              %8.1f MiB\n", rss / 1024.0);
    std::printf("frame period median               %8.2f ms  (%.2fx the 16.67 ms asked for)\n", median,
                median / anchor);
    std::printf("frame period p99                  %8.2f ms  (%.2fx the 16.67 ms asked for)\n", p99, p99 / anchor);
    std::printf("frames measured                   %8zu\n", window_periods.size());
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}
