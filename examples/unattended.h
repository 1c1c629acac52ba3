// Unattended runs of the examples: `example FRAMES [SHOT]` on the command
// line ends the example after FRAMES frames and saves the last frame shown
// to the file SHOT (BMP, PNG or JPEG by its ending). Without them an example
// runs until Escape or until its window is closed. The tests and the
// gallery's screenshots use this; it is not needed by a game.
#pragma once

#include <cstdio>
#include <string>

#include <vantrix/vantrix.h>

struct UnattendedRun {
    int frames = 0;    // 0: run until Escape
    std::string shot;  // empty: no screenshot

    // Whether frame number `frame` (counted from 0) is still to be shown.
    bool Continues(int frame) const { return frames == 0 || frame < frames; }
    // At the end: saves the screenshot when one was asked for.
    void Finish() const {
        if (!shot.empty()) SaveScreen(shot.c_str());
    }
};

// The words after the program's path on the command line.
inline UnattendedRun ReadUnattendedRun() {
    const std::string line = CommandLine().c_str();
    // Skip the program's own path, quoted when it holds a blank.
    size_t at = 0;
    if (!line.empty() && line[0] == '"') at = line.find('"', 1);
    at = line.find(' ', at == std::string::npos ? 0 : at);
    UnattendedRun run;
    if (at == std::string::npos) return run;
    char shot[512] = "";
    if (std::sscanf(line.c_str() + at, "%d %511s", &run.frames, shot) >= 1 && run.frames < 0) run.frames = 0;
    run.shot = shot;
    return run;
}
