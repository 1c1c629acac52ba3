// Where a movie's picture goes in the window.
#pragma once

#include <cstdint>

namespace vtx {

struct MovieRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// The largest rectangle of the picture's shape that fits the client area,
// centred in it.
MovieRect MovieDestination(int32_t sourceWidth, int32_t sourceHeight, int32_t clientWidth, int32_t clientHeight);

}  // namespace vtx
