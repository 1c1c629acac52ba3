// Examples driven through the X server as a person would: started as real
// processes, their windows given the focus, keys typed with xdotool.
#pragma once

#include <chrono>
#include <string>
#include <thread>

#include "support/running_program.h"

namespace example_test {

// Gives the window the focus and leaves the program a few frames to see it.
inline bool Focus(const std::string& window) {
    const bool focused = RunCommand(std::string(X11_FOCUS) + " " + window).exitCode == 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    return focused;
}

// Types text into the focused window one quick tap per character (letters,
// digits and blanks).
inline void TypeText(const std::string& text) {
    for (const char c : text) TapKeys(c == ' ' ? std::string("space") : std::string(1, c));
}

// Whether the program's output holds this whole line, waiting up to timeoutMs.
inline bool PrintsLine(const RunningProgram& program, const std::string& line, int timeoutMs = 10000) {
    return Eventually(
        [&] {
            const std::string out = std::string("\n").append(program.Stdout());
            return out.find(std::string("\n").append(line).append("\n")) != std::string::npos;
        },
        timeoutMs);
}

}  // namespace example_test
