// A first game: a window, a sprite moved with the arrow keys, a sound on
// the space bar. Escape ends it.
#include <vantrix/vantrix.h>

// Runs before the window opens: its size, frame rate and title.
void ApplyProjectSettings() {
    ProjectSettings.screenWidth = 640;
    ProjectSettings.screenHeight = 480;
    ProjectSettings.title = "My game";
}

// The game itself (the runtime owns main()).
void AppMain() {
    SetTransparency(0xFF00FF);           // magenta pixels are see-through
    LoadSprite("Media/player.bmp", 1);   // sprite slot 1
    LoadSound("Media/beep.wav", 1, 2);   // sound slot 1, two voices
    int x = 304, y = 224;
    while (true) {                       // Escape or closing the window ends the program
        if (KeyState(KEY_LEFT)) x -= 4;
        if (KeyState(KEY_RIGHT)) x += 4;
        if (KeyState(KEY_UP)) y -= 4;
        if (KeyState(KEY_DOWN)) y += 4;
        if (InKey() == " ") PlaySound(1, 0.0, 1.0);  // pan -1..1, volume 0..1
        ClearScreen(0x402010);           // colours are 0xBBGGRR: dark blue
        DrawSprite(1, x, y);
        PrintText("arrows move, space beeps", 8, 8);
        ShowScreen();                    // shows the frame, reads the keys, keeps 60 fps
    }
}
