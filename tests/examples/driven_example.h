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

// A quick tap (down and up within a frame), then a pause of many frames: a
// frame's key read gives one character, and the examples' frames run slowly
// on a loaded machine with the software renderer.
inline void Tap(const std::string& keys) {
    TapKeys(keys);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
}

// Types text into the focused window one quick tap per character (letters,
// digits and blanks).
inline void TypeText(const std::string& text) {
    for (const char c : text) Tap(c == ' ' ? std::string("space") : std::string(1, c));
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
