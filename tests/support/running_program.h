// A Vantrix program started in the background by a test, with its output
// collected in files, and the X tools that act on its window.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "run_program.h"

class RunningProgram {
public:
    // Starts "program arguments" through the shell; output goes to files in folder.
    RunningProgram(const std::string& program, const std::string& arguments, const std::string& folder)
        : folder_(folder) {
        const std::string command = "exec " + Quoted(program) + " " + arguments + " >" + Quoted(folder + "/stdout") +
                                    " 2>" + Quoted(folder + "/stderr");
        pid_ = fork();
        if (pid_ == 0) {
            setenv("TMPDIR", folder.c_str(), 1);
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~RunningProgram() {
        if (pid_ > 0 && exitCode_ == kRunning) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    // The exit code, or kRunning if the program still runs after timeoutMs.
    int WaitForExit(int timeoutMs) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (exitCode_ == kRunning) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
                break;
            }
            if (std::chrono::steady_clock::now() > end) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return exitCode_;
    }
    bool Running() { return WaitForExit(0) == kRunning; }

    std::string Stdout() const { return ReadWholeFile(folder_ + "/stdout"); }
    std::string Stderr() const { return ReadWholeFile(folder_ + "/stderr"); }
    std::string ErrorLog() const { return ReadWholeFile(folder_ + "/ErrorLog.txt"); }
    // Frames shown so far, as the probe reports them.
    long Frames() const { return std::atol(ReadWholeFile(folder_ + "/probe-frames").c_str()); }
    // Message-hook calls so far, as the probe reports them.
    long HookCalls() const {
        const std::string text = ReadWholeFile(folder_ + "/probe-frames");
        const size_t blank = text.find(' ');
        return blank == std::string::npos ? 0 : std::atol(text.c_str() + blank + 1);
    }

    static constexpr int kRunning = -1;

private:
    std::string folder_;
    pid_t pid_ = -1;
    int exitCode_ = kRunning;
};

// Runs a command and returns its first output line ("" on failure).
inline std::string FirstLine(const std::string& command) {
    const ProgramRun run = RunCommand(command);
    return run.output.substr(0, run.output.find('\n'));
}

// The id of the visible window with exactly this name, waiting up to 10 s.
inline std::string FindWindow(const std::string& name) {
    return FirstLine("timeout 10 xdotool search --sync --onlyvisible --name " + Quoted("^" + name + "$") +
                     " 2>/dev/null");
}

inline std::string WindowName(const std::string& window) {
    return FirstLine("xdotool getwindowname " + window + " 2>/dev/null");
}

// Holds keys down for a few frames, as a person would, then lets go.
inline void PressKeys(const std::string& keys) {
    RunCommand("xdotool keydown " + keys + " && sleep 0.15 && xdotool keyup " + keys);
}

// Taps keys as quickly as a user's short press (xdotool's own key: down and
// up about 12 ms apart, shorter than a frame), then waits a few frames.
inline void TapKeys(const std::string& keys) {
    RunCommand("xdotool key " + keys);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

// Counts the lines of text equal to line.
inline int CountLines(const std::string& text, const std::string& line) {
    int n = 0;
    for (size_t at = 0; (at = text.find(line + "\n", at)) != std::string::npos; at += line.size() + 1)
        if (at == 0 || text[at - 1] == '\n') ++n;
    return n;
}

// Keeps polling until condition holds or timeoutMs passes.
template <typename Condition>
bool Eventually(Condition condition, int timeoutMs = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return condition();
}
