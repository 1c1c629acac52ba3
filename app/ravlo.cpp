// ravlo, the jukebox: an intro picture, then one screen for ever: the
// current track's picture, a dark panel listing the nine tracks, and the
// title playing now. Keys 1 to 9 switch picture and music; q shows the
// intro again and ends. A flat sequence of runtime commands.
#include <vantrix/vantrix.h>

namespace {

RtString keyText;
RtString nowPlaying;

struct Track {
    const char* key;
    const char* background;
    const char* music;
    const char* title;
    const char* line;
};

const Track kTracks[9] = {
    {"1", "bg1.png", "01.mp3", "Tolvane - Romantic isnt it", "1. Tolvane - Romantic isnt it"},
    {"2", "bg2.png", "02.mp3", "Tolvane - Disco", "2. Tolvane - Disco"},
    {"3", "bg3.png", "03.mp3", "RQD - Cholesterin 513", "3. RQD - Cholesterin 513"},
    {"4", "bg4.png", "04.mp3", "RQD - Nightshift", "4. RQD - Nightshift"},
    {"5", "bg5.png", "05.mp3", "RQD - Welcome home", "5. RQD - Welcome home"},
    {"6", "bg6.png", "06.mp3", "KT - Voiles", "6. KT - Voiles"},
    {"7", "bg7.png", "07.mp3", "KT - Antilithium", "7. KT - Antilithium"},
    {"8", "bg8.png", "08.mp3", "Lumarest - Quality standards", "8. Lumarest - Quality standards"},
    {"9", "bg9.png", "09.mp3", "Lumarest - Name and faces", "9. Lumarest - Name and faces"},
};

}  // namespace

void AppMain() {
    ChangeDirectory("Media");
    LimitFps(60);
    LoadFont("font.bmp", 1);
    LoadFont("font2.bmp", 2);
    SetFont(1);
    LoadSprite("intro.png", 1);
    StretchSprite(1, 0, 0, 640, 480);
    ShowScreen();
    SleepMs(5000);
    ClearScreen(0);
    nowPlaying = "Tolvane - Romantic isnt it";
    LoadSprite("bg1.png", 0);
    PlayMusic("01.mp3", 1);
    SetMusicVolume(1.0);

    while (true) {
        if (IsMusicPlaying() == 0) nowPlaying = "Nothing. pick a tune";
        StretchSprite(0, 0, 0, 640, 480);
        SetAlphaMode(-0.4);
        DrawRect(10, 10, 350, 130, 657930);
        SetAlphaMode(0);
        SetFont(1);
        PrintText("Use keyboard to chose song", 10, 16);
        for (int i = 0; i < 9; ++i) PrintText(kTracks[i].line, 10, 26 + 10 * i);
        PrintText("Q. Quit", 10, 116);
        SetFont(2);
        PrintText("Playing now:", 10, 426);
        PrintText(nowPlaying, 20, 446);
        ShowScreen();
        keyText = InKey();

        for (int i = 0; i < 9; ++i) {
            if (keyText == kTracks[i].key) {
                StopMusic();
                LoadSprite(kTracks[i].background, 0);
                SleepMs(1000);
                PlayMusic(kTracks[i].music, 0);
                nowPlaying = kTracks[i].title;
                if (i > 0) ShowScreen();
                break;
            }
        }
        if (keyText == "q") {
            ClearScreen(0);
            LoadSprite("intro.png", 1);
            StretchSprite(1, 0, 0, 640, 480);
            ShowScreen();
            SleepMs(4000);
            EndProgram();
        }
    }
}
