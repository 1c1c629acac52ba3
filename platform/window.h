// Window, OpenGL context, display modes and window events over SDL2.
#pragma once

#include <cstdint>
#include <string>

struct SDL_Window;

namespace vtx::platform {

using WindowHandle = SDL_Window*;
using GlContext = void*;

struct DisplayMode {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;
};

// Starts the video and event services once per process; false when there is
// no display to open windows on.
bool InitVideo();
// The desktop's size and colour depth.
DisplayMode DesktopMode();
// True when the display offers exactly this mode (bitsPerPixel 0: any depth).
bool HasDisplayMode(int32_t width, int32_t height, int32_t bitsPerPixel);

// A hidden, undecorated-free window whose client area is width x height,
// with a double-buffered RGBA pixel format of colourBits, depth 24 and
// stencil 8; multisampleBuffers / samples ask for a multisampled format.
// Null on failure. The caption is in the runtime's 8-bit code page.
WindowHandle CreateGlWindow(const char* caption, int32_t x, int32_t y, int32_t width, int32_t height,
                            int32_t colourBits, int32_t multisampleBuffers, int32_t samples);
void DestroyWindow(WindowHandle window);

// GL context for a window; null on failure.
GlContext CreateGlContext(WindowHandle window);
bool MakeCurrent(WindowHandle window, GlContext context);
void ReleaseCurrent(WindowHandle window);
void DeleteGlContext(GlContext context);
// Address of a GL function; callers decide support from the extension string.
void* GlProcAddress(const char* name);
void SwapBuffers(WindowHandle window);

// Caption text in the runtime's 8-bit code page.
void SetCaption(WindowHandle window, const char* caption);
// The caption in the runtime's 8-bit code page.
std::string Caption(WindowHandle window);
void ShowWindow(WindowHandle window);
void HideWindow(WindowHandle window);
void RaiseWindow(WindowHandle window);
bool WindowPosition(WindowHandle window, int32_t& x, int32_t& y);
void PlaceWindow(WindowHandle window, int32_t x, int32_t y, int32_t width, int32_t height);
void SetWindowFramed(WindowHandle window, bool framed);
// Switches the display to width x height (and depth when non-zero) with
// the window covering it; false when the mode is refused.
bool EnterFullscreen(WindowHandle window, int32_t width, int32_t height, int32_t bitsPerPixel);
// Restores the desktop's display mode.
void LeaveFullscreen(WindowHandle window);

// --- Events ------------------------------------------------------------------
enum class WindowEventKind {
    Other,        // anything the window procedure does not handle itself
    Close,        // the user asked the window (or the program) to close
    Deactivated,  // the window lost the keyboard focus
    Activated,    // the window got the keyboard focus
    KeyDown,      // a key went down (code: SDL scancode, mods: lock and modifier bits)
    KeyUp,        // a key went up
    MouseMotion,  // the mouse moved by dx, dy
    MouseWheel,   // the wheel turned: dy > 0 away from the user
    MouseButtonDown,  // a mouse button went down (code: kLeftButton, kMiddleButton or kRightButton)
    MouseButtonUp,    // a mouse button went up
    JoystickAdded,    // a joystick was plugged in (code: its device index)
    JoystickRemoved,  // a joystick went away (code: its instance id)
};

struct WindowEvent {
    WindowEventKind kind = WindowEventKind::Other;
    void* native = nullptr;  // the platform's own event record (an SDL_Event)
    int32_t code = 0;
    uint16_t mods = 0;
    int32_t dx = 0, dy = 0;
    bool repeat = false;  // KeyDown: a repeat of a key held down, not a new press
};

// True when an event is waiting; fills event without removing it.
bool PeekEvent(WindowEvent& event);
// Removes the waiting event (the one PeekEvent described).
void DropEvent();

// SDL's view of the keyboard: pressed flags indexed by SDL scancode.
const uint8_t* KeyboardState(int& count);

// --- Dialogs -----------------------------------------------------------------
// False when VTX_NO_DIALOGS=1: message boxes and dialogs are skipped so that
// nothing waits for a person in unattended runs.
bool DialogsAllowed();
// A warning box with an OK button; texts in the runtime's 8-bit code page.
void WarningBox(const char* caption, const char* text);
// Text in the runtime's 8-bit code page (Latin-1) as UTF-8.
std::string CodePageToUtf8(const char* text);
// UTF-8 text in the runtime's 8-bit code page; characters beyond it become '?'.
std::string Utf8ToCodePage(const char* text);

}  // namespace vtx::platform
