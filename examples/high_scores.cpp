// A high-score table kept with the INI service in "scores.ini" beside the
// program (the program's folder is the current directory). Each run adds
// one score, keeps the best five and shows the table; the file is written
// back when the program ends. Escape ends it; unattended runs as in
// unattended.h.
//
// scores.ini after a few runs:
//     [table]
//     runs=3
//     name1=ADA
//     score1=9000
//     ...
#include <cstdlib>

#include <vantrix/vantrix.h>

#include "unattended.h"

void ApplyProjectSettings() {
    ProjectSettings.title = "Vantrix: high scores";
}

namespace {

constexpr int kPlaces = 5;

struct Entry {
    RtString name;
    int score = 0;
};

int Number(const RtString& text) { return std::atoi(text.c_str()); }

}  // namespace

void AppMain() {
    const UnattendedRun run = ReadUnattendedRun();
    LimitFps(60);
    IniOpen("scores.ini");  // a missing file is an empty table

    // The table as stored; a new file starts with the house scores.
    static const char* const kHouse[kPlaces] = {"ADA", "BOB", "CY", "DEE", "ED"};
    Entry table[kPlaces + 1];
    for (int i = 0; i < kPlaces; ++i) {
        const RtString place = RtString() + (i + 1);
        table[i].name = IniGet("table", RtString("name") + place, kHouse[i]);
        table[i].score = Number(IniGet("table", RtString("score") + place, RtString() + (5 - i) * 1000));
    }

    // This run's score: the runs so far make it, so each run differs.
    const int runs = Number(IniGet("table", "runs", "0")) + 1;
    Entry mine{RtString("RUN") + runs, 1700 * runs % 5200};
    // Insert it in order; the sixth place falls off.
    int at = kPlaces;
    while (at > 0 && table[at - 1].score < mine.score) {
        table[at] = table[at - 1];
        --at;
    }
    table[at] = mine;

    IniPut("table", "runs", RtString() + runs);
    for (int i = 0; i < kPlaces; ++i) {
        const RtString place = RtString() + (i + 1);
        IniPut("table", RtString("name") + place, table[i].name);
        IniPut("table", RtString("score") + place, RtString() + table[i].score);
    }

    for (int frame = 0; run.Continues(frame); ++frame) {
        ClearScreen(0x301010);
        PrintText(RtString("HIGH SCORES  (run ") + runs + ")", 240, 120);
        for (int i = 0; i < kPlaces; ++i) {
            // This run's line in yellow, the others in grey.
            DrawRect(220, 160 + i * 32, 200, 24, i == at ? 0x00C0FF : 0x606060);
            PrintText(RtString() + (i + 1) + ". " + table[i].name, 230, 166 + i * 32);
            PrintNumber(table[i].score, 360, 166 + i * 32);
        }
        PrintText("saved to scores.ini when the program ends", 168, 360);
        ShowScreen();
    }
    run.Finish();
    // The INI service writes scores.ini back as the runtime shuts down.
}
