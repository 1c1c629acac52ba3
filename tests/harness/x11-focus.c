/* x11-focus: gives the X11 input focus to a window, or to the root ("root"),
 * so that tests can make a program lose and regain focus without a window
 * manager.
 *
 * Usage: x11-focus <window id>|root   (window id decimal, or 0x hexadecimal)
 * Exits 0 once the server has applied the change, 1 on a bad argument, when
 * $DISPLAY cannot be opened, or when the server refuses the request. */
#include <X11/Xlib.h>

#include <ctype.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int g_failed = 0;

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

/* Reports an X protocol error (e.g. no such window or not viewable). */
static int ReportXError(Display* display, XErrorEvent* error) {
    char text[256];
    XGetErrorText(display, error->error_code, text, (int)sizeof text);
    fprintf(stderr, "x11-focus: X error: %s (request %d)\n", text, (int)error->request_code);
    g_failed = 1;
    return 0;
}

/* Moves the input focus to the window named on the command line. */
int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: x11-focus <window id (decimal or 0x hex)>|root\n");
        return 1;
    }
    const int toRoot = strcmp(argv[1], "root") == 0;
    Window window = 0;
    if (!toRoot && !ParseWindowId(argv[1], &window)) {
        fprintf(stderr, "x11-focus: bad window id '%s' (want decimal, 0x hex, or root)\n", argv[1]);
        return 1;
    }
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        const char* name = getenv("DISPLAY");
        fprintf(stderr, "x11-focus: cannot open display '%s'\n", name != NULL ? name : "(DISPLAY not set)");
        return 1;
    }
    XSetErrorHandler(ReportXError);

    /* PointerRoot hands the focus to whatever top-level window holds the
     * pointer, the root window when none does, as with no window manager. */
    XSetInputFocus(display, toRoot ? (Window)PointerRoot : window, RevertToParent, CurrentTime);
    XSync(display, False);
    XCloseDisplay(display);
    return g_failed ? 1 : 0;
}
