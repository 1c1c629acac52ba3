// The destination rectangle of a movie.
#include "audio/movie_layout.h"

#include <algorithm>

namespace vtx {

MovieRect MovieDestination(int32_t sourceWidth, int32_t sourceHeight, int32_t clientWidth, int32_t clientHeight) {
    MovieRect rect;
    if (sourceWidth <= 0 || sourceHeight <= 0) return rect;
    const double s = std::min(static_cast<double>(clientWidth) / sourceWidth,
                              static_cast<double>(clientHeight) / sourceHeight);
    rect.right = static_cast<int32_t>(sourceWidth * s);
    rect.bottom = 0 + static_cast<int32_t>(sourceHeight * s);  // the client area's top is 0
    const int32_t dx = (clientWidth - rect.right) / 2;
    const int32_t dy = (clientHeight - rect.bottom) / 2;
    rect.left += dx;
    rect.right += dx;
    rect.top += dy;
    rect.bottom += dy;
    return rect;
}

}  // namespace vtx
