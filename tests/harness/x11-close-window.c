/* x11-close-window: asks an X11 window to close, the way a window manager's
 * close button does, by sending it a WM_PROTOCOLS client message that carries
 * WM_DELETE_WINDOW. The window decides what to do with the request.
 *
 * Usage: x11-close-window <window id>   (decimal, or hexadecimal with 0x)
 * Exits 0 once the message is sent, 1 on a bad argument, when $DISPLAY
 * cannot be opened, or when the server refuses the request (no such
 * window). */
#include <X11/Xlib.h>

#include <ctype.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* Reads a window id in decimal or 0x hexadecimal; returns 0 when malformed. */
static int ParseWindowId(const char* text, Window* out) {
    if (text == NULL || text[0] < '0' || text[0] > '9') return 0;
    const int hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    if (hex && !isxdigit((unsigned char)text[2])) return 0;
    char* end = NULL;
    errno = 0;
    const unsigned long long value = strtoull(text, &end, hex ? 16 : 10);
    if (errno != 0 || end == text || *end != '\0' || value == 0 || value > 0xFFFFFFFFull) return 0;
    *out = (Window)value;
    return 1;
}

static int g_failed = 0;

/* Reports an X protocol error (e.g. no such window) and marks the run failed. */
static int ReportXError(Display* display, XErrorEvent* error) {
    char text[256];
    XGetErrorText(display, error->error_code, text, (int)sizeof text);
    fprintf(stderr, "x11-close-window: X error: %s (request %d)\n", text, (int)error->request_code);
    g_failed = 1;
    return 0;
}

/* Sends WM_DELETE_WINDOW to the window named on the command line. */
int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: x11-close-window <window id (decimal or 0x hex)>\n");
        return 1;
    }
    Window window = 0;
    if (!ParseWindowId(argv[1], &window)) {
        fprintf(stderr, "x11-close-window: bad window id '%s' (want decimal or 0x hex)\n", argv[1]);
        return 1;
    }
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        const char* name = getenv("DISPLAY");
        fprintf(stderr, "x11-close-window: cannot open display '%s'\n", name != NULL ? name : "(DISPLAY not set)");
        return 1;
    }
    XSetErrorHandler(ReportXError);

    XEvent event;
    memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.display = display;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;

    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
    /* Waiting for the server's answer lets an unknown window be reported. */
    XSync(display, False);
    XCloseDisplay(display);
    return g_failed ? 1 : 0;
}
