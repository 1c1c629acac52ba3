// Waiting for a key and the on-screen line editor.
#include <cstdint>

#include "gfx2d/background_layers.h"
#include "gfx2d/font_commands.h"
#include "audio/music_service.h"
#include "host/frames_internal.h"
#include "host/graphics_backend.h"
#include "input/input_commands.h"
#include "input/input_waits.h"

namespace {

// The background layer that keeps the frame behind the edited text.
constexpr int32_t kEditorLayer = 3;
// Frames without a key between two changes of the cursor.
constexpr int32_t kCursorBlinkFrames = 20;

}  // namespace

void WaitKey() {
    using namespace vtx;
    while (ReadKeyChar() != 0) {}  // a character already pending does not count
    while (true) {
        if (ReadKeyChar() != 0) {
            while (ReadKeyChar() != 0) {}
            return;
        }
        MusicLoopService();
        const MessageHook hook = LookUpMessageHook();
        if (GraphicsBackEnd != nullptr) PumpMessages(*GraphicsBackEnd, hook);
        InputWaitStep();
    }
}

void InputText(RtString& text, int32_t x, int32_t y) {
    using namespace vtx;
    GrabBackgroundLayer(kEditorLayer);
    DrawBackgroundLayer(kEditorLayer);
    PrintText(text, x, y);
    ShowScreen();
    int32_t blink = 0;
    bool cursor = false;
    while (true) {
        const uint8_t c = ReadKeyChar();
        if (c == 0) {
            if (++blink > kCursorBlinkFrames) {
                blink = 0;
                cursor = !cursor;
            }
        } else if (c == 10) {
            ClearBackgroundLayer(kEditorLayer);
            return;
        } else if (c == 8) {
            if (text.length() > 0) text.truncate(static_cast<int32_t>(text.length()) - 1);
        } else {
            const char piece[2] = {static_cast<char>(c), '\0'};
            text += piece;
        }
        DrawBackgroundLayer(kEditorLayer);
        PrintText(cursor ? text + "_" : text, x, y);
        ShowScreen();
    }
}
