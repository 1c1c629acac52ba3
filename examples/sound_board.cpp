// A sound board and a music player: keys 1 to 4 play "Media/beep.wav" from
// the left to the right (pan -1 .. 1) at rising volume on a slot of four
// voices; M starts and stops "Media/tune.mp3" in a loop, + and - set its
// volume. The board shows which voices are sounding. Escape ends it;
// unattended runs (unattended.h) press M at the start and 1 at the end.
#include <vantrix/vantrix.h>

#include "unattended.h"

void ApplyProjectSettings() {
    ProjectSettings.title = "Vantrix: sound board";
}

namespace {

constexpr int32_t kBeep = 1;    // sound slot
constexpr int32_t kVoices = 4;  // a slot plays up to four voices at once

struct Pad {
    const char* key;
    double pan, volume;
};
constexpr Pad kPads[4] = {{"1", -1.0, 0.4}, {"2", -0.33, 0.6}, {"3", 0.33, 0.8}, {"4", 1.0, 1.0}};

}  // namespace

void AppMain() {
    const UnattendedRun run = ReadUnattendedRun();
    LimitFps(60);
    LoadSound("Media/beep.wav", kBeep, kVoices);
    int32_t channels[4] = {-1, -1, -1, -1};  // the channel each pad started last
    double musicVolume = 0.8;

    for (int frame = 0; run.Continues(frame); ++frame) {
        RtString key = InKey();
        // Unattended: M at the start, 1 in the last frame (still sounding when shown).
        if (run.frames > 0) key = frame == 0 ? "m" : frame == run.frames - 1 ? "1" : "";
        for (int p = 0; p < 4; ++p)
            if (key == kPads[p].key) channels[p] = PlaySound(kBeep, kPads[p].pan, kPads[p].volume);
        if (key == "m" || key == "M") {
            if (IsMusicPlaying()) {
                StopMusic();
            } else {
                PlayMusic("Media/tune.mp3", 1);
                SetMusicVolume(musicVolume);
            }
        }
        if (key == "+" && musicVolume < 1.0) SetMusicVolume(musicVolume += 0.1);
        if (key == "-" && musicVolume > 0.05) SetMusicVolume(musicVolume -= 0.1);

        ClearScreen(0x302020);
        PrintText("SOUND BOARD: keys 1-4 beep, left to right", 20, 20);
        for (int p = 0; p < 4; ++p) {
            const bool sounding = channels[p] >= 0 && IsSoundPlaying(channels[p]);
            const int32_t x = 40 + p * 150;
            DrawRect(x, 60, 120, 120, sounding ? 0x40C0FF : 0x605050);
            PrintText(RtString(kPads[p].key), x + 56, 80);
            PrintText(RtString("pan ") + FormatNumber(5, 2, kPads[p].pan), x + 8, 130);
            PrintText(RtString("vol ") + FormatNumber(5, 2, kPads[p].volume), x + 8, 150);
        }
        PrintText("MUSIC: M plays / stops Media/tune.mp3, + and - volume", 20, 240);
        DrawRect(40, 270, 560, 24, 0x404040);
        DrawRect(40, 270, static_cast<int32_t>(560 * musicVolume), 24, IsMusicPlaying() ? 0x40A040 : 0x606060);
        PrintText(IsMusicPlaying() ? "playing" : "stopped", 48, 276);
        ShowScreen();
    }
    StopAllSounds();
    StopMusic();
    run.Finish();
}
