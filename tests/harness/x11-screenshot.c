/* x11-screenshot WINDOW FILE: writes what the X server shows of a window
   (given by its id, decimal or 0x hex) as a binary PPM (P6) file. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: x11-screenshot WINDOW FILE\n");
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "x11-screenshot: no X display\n");
        return 1;
    }
    const Window window = (Window)strtoul(argv[1], NULL, 0);
    XWindowAttributes a;
    if (!XGetWindowAttributes(display, window, &a)) return 1;
    XImage* image = XGetImage(display, window, 0, 0, (unsigned)a.width, (unsigned)a.height, AllPlanes, ZPixmap);
    if (image == NULL) return 1;
    FILE* out = fopen(argv[2], "wb");
    if (out == NULL) return 1;
    fprintf(out, "P6\n%d %d\n255\n", a.width, a.height);
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            const unsigned char rgb[3] = {(unsigned char)((p & image->red_mask) >> 16),
                                          (unsigned char)((p & image->green_mask) >> 8),
                                          (unsigned char)(p & image->blue_mask)};
            fwrite(rgb, 1, 3, out);
        }
    fclose(out);
    XDestroyImage(image);
    XCloseDisplay(display);
    return 0;
}
