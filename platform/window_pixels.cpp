// What the window system shows of a window: the front buffer as the user
// sees it, read from the X server (libX11 is the one SDL loaded already).
#include "window_pixels.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <dlfcn.h>

#include <algorithm>

namespace vtx::platform {

#if defined(SDL_VIDEO_DRIVER_X11)
namespace {

using GetImageFn = XImage* (*)(Display*, Drawable, int, int, unsigned, unsigned, unsigned long, int);
using SyncFn = int (*)(Display*, Bool);
using ErrorHandler = int (*)(Display*, XErrorEvent*);
using SetErrorHandlerFn = ErrorHandler (*)(ErrorHandler);
using GetWindowAttributesFn = int (*)(Display*, Window, XWindowAttributes*);
using TranslateCoordinatesFn = int (*)(Display*, Window, Window, int, int, int*, int*, Window*);

struct XFunctions {
    GetImageFn getImage = nullptr;
    SyncFn sync = nullptr;
    SetErrorHandlerFn setErrorHandler = nullptr;
    GetWindowAttributesFn getWindowAttributes = nullptr;
    TranslateCoordinatesFn translateCoordinates = nullptr;
    bool ok = false;
};

const XFunctions& X() {
    static const XFunctions functions = [] {
        XFunctions f;
        void* library = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
        if (library == nullptr) return f;
        f.getImage = reinterpret_cast<GetImageFn>(dlsym(library, "XGetImage"));
        f.sync = reinterpret_cast<SyncFn>(dlsym(library, "XSync"));
        f.setErrorHandler = reinterpret_cast<SetErrorHandlerFn>(dlsym(library, "XSetErrorHandler"));
        f.getWindowAttributes = reinterpret_cast<GetWindowAttributesFn>(dlsym(library, "XGetWindowAttributes"));
        f.translateCoordinates = reinterpret_cast<TranslateCoordinatesFn>(dlsym(library, "XTranslateCoordinates"));
        f.ok = f.getImage != nullptr && f.sync != nullptr && f.setErrorHandler != nullptr &&
               f.getWindowAttributes != nullptr && f.translateCoordinates != nullptr;
        return f;
    }();
    return functions;
}

// The X display and window behind an SDL window, when it has them.
bool XWindowOf(WindowHandle window, Display*& display, Window& xwindow) {
    if (window == nullptr || !X().ok) return false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    display = info.info.x11.display;
    xwindow = info.info.x11.window;
    return display != nullptr && xwindow != 0;
}

// A failed request (the window unmapped, or partly off the screen) must not
// end the program through Xlib's default handler: while a trap lives, the
// errors of its requests are ignored.
int IgnoreError(Display*, XErrorEvent*) { return 0; }
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display) : display_(display) {
        X().sync(display_, False);  // earlier errors go to the handler they belong to
        previous_ = X().setErrorHandler(IgnoreError);
    }
    ~ErrorTrap() {
        X().sync(display_, False);
        X().setErrorHandler(previous_);
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

private:
    Display* display_;
    ErrorHandler previous_ = nullptr;
};

// Bit position and width of a colour mask.
void MaskShape(unsigned long mask, int& shift, int& bits) {
    shift = 0;
    bits = 0;
    if (mask == 0) return;
    while ((mask & 1) == 0) mask >>= 1, ++shift;
    while ((mask & 1) != 0) mask >>= 1, ++bits;
}

// One channel of a pixel value, scaled to 8 bits.
uint8_t Channel(unsigned long pixel, int shift, int bits) {
    if (bits == 0) return 0;
    const unsigned long value = (pixel >> shift) & ((1ul << bits) - 1);
    return static_cast<uint8_t>(bits >= 8 ? value >> (bits - 8) : value * 255 / ((1ul << bits) - 1));
}

// Copies the image into the BGR picture (rows bottom first, pictureHeight
// rows of width pixels) with its top-left pixel at (left, top).
void CopyImage(XImage& image, int32_t left, int32_t top, int32_t width, int32_t pictureHeight,
               std::vector<uint8_t>& bgr) {
    const bool plain = image.bits_per_pixel == 32 && image.byte_order == LSBFirst && image.red_mask == 0xff0000 &&
                       image.green_mask == 0xff00 && image.blue_mask == 0xff;
    int rs, rb, gs, gb, bs, bb;
    MaskShape(image.red_mask, rs, rb);
    MaskShape(image.green_mask, gs, gb);
    MaskShape(image.blue_mask, bs, bb);
    for (int32_t y = 0; y < image.height; ++y) {
        uint8_t* to = &bgr[(static_cast<size_t>(pictureHeight - 1 - (top + y)) * width + left) * 3];
        if (plain) {
            const uint8_t* from = reinterpret_cast<const uint8_t*>(image.data) + static_cast<size_t>(y) * image.bytes_per_line;
            for (int32_t x = 0; x < image.width; ++x, from += 4, to += 3) to[0] = from[0], to[1] = from[1], to[2] = from[2];
            continue;
        }
        for (int32_t x = 0; x < image.width; ++x, to += 3) {
            const unsigned long pixel = image.f.get_pixel(&image, x, y);
            to[0] = Channel(pixel, bs, bb);
            to[1] = Channel(pixel, gs, gb);
            to[2] = Channel(pixel, rs, rb);
        }
    }
}

// Reads the rectangle (left, top, w, h) of the window into the picture;
// false when the server refuses it.
bool ReadRectangle(Display* display, Window xwindow, int32_t left, int32_t top, int32_t w, int32_t h, int32_t width,
                   int32_t height, std::vector<uint8_t>& bgr) {
    XImage* image = nullptr;
    {
        const ErrorTrap trap(display);
        image = X().getImage(display, xwindow, left, top, static_cast<unsigned>(w), static_cast<unsigned>(h), AllPlanes,
                             ZPixmap);
    }
    if (image == nullptr) return false;
    const bool usable = image->width == w && image->height == h && image->data != nullptr && image->red_mask != 0 &&
                        image->green_mask != 0 && image->blue_mask != 0;
    if (usable) CopyImage(*image, left, top, width, height, bgr);
    image->f.destroy_image(image);
    return usable;
}

// The part of the window's top-left width x height pixels that lies on the
// screen; false when none does.
bool OnScreenPart(Display* display, Window xwindow, int32_t width, int32_t height, int32_t& left, int32_t& top,
                  int32_t& w, int32_t& h) {
    const ErrorTrap trap(display);
    XWindowAttributes attributes{};
    if (X().getWindowAttributes(display, xwindow, &attributes) == 0 || attributes.screen == nullptr) return false;
    int rx = 0, ry = 0;
    Window child = 0;
    if (X().translateCoordinates(display, xwindow, attributes.root, 0, 0, &rx, &ry, &child) == 0) return false;
    left = std::max(0, -rx);
    top = std::max(0, -ry);
    const int32_t right = std::min(width, attributes.screen->width - rx);
    const int32_t bottom = std::min(height, attributes.screen->height - ry);
    w = right - left;
    h = bottom - top;
    return w > 0 && h > 0;
}

}  // namespace

bool WindowPixelsReadable(WindowHandle window) {
    Display* display = nullptr;
    Window xwindow = 0;
    return XWindowOf(window, display, xwindow);
}

bool ReadWindowPixels(WindowHandle window, int32_t width, int32_t height, std::vector<uint8_t>& bgr) {
    Display* display = nullptr;
    Window xwindow = 0;
    if (width <= 0 || height <= 0 || !XWindowOf(window, display, xwindow)) return false;
    bgr.assign(static_cast<size_t>(width) * height * 3, 0);
    if (ReadRectangle(display, xwindow, 0, 0, width, height, width, height, bgr)) return true;
    // Off the screen's edges the server keeps nothing: those pixels are black.
    int32_t left = 0, top = 0, w = 0, h = 0;
    return OnScreenPart(display, xwindow, width, height, left, top, w, h) &&
           ReadRectangle(display, xwindow, left, top, w, h, width, height, bgr);
}

#else

bool WindowPixelsReadable(WindowHandle) { return false; }
bool ReadWindowPixels(WindowHandle, int32_t, int32_t, std::vector<uint8_t>&) { return false; }

#endif

}  // namespace vtx::platform
