// Moving pixels between the frame and the stores: reading a pixel, grabbing
// into a sprite, the background picture behind every frame, the clear
// colour, and off-screen screens that drawing can be redirected into.
#pragma once

#include <cstdint>

#include "../core/rt_string.h"

// The pixel's red + green * 256 + blue * 65536, (0, 0) at the top left of
// the frame, or of the off-screen screen in use.
int32_t GetPixel(int32_t x, int32_t y);
// Copies a rectangle of the frame into a sprite slot.
void GrabSprite(int32_t slot, int32_t x, int32_t y, int32_t width, int32_t height);
// Empties the background and clears the frame with the colour, which every
// frame is cleared with from now on.
void ClearScreen(int32_t colour);
// Loads a picture as the background drawn behind every frame; last error 3
// (and a black, empty background) when it cannot be loaded.
void LoadBackground(const RtString& file);
// Makes the current frame the background.
void GrabBackground();
// Makes off-screen screen n (0 to 31) with a width x height picture in the
// sprite slot; other numbers do nothing.
void CreateScreen(int32_t screen, int32_t slot, int32_t width, int32_t height);
// Draws into off-screen screen n (0 to 31) from now on; a negative number
// (or one above 31) goes back to the frame.
void UseScreen(int32_t screen);
// Cross-fades from the current frame to the picture over duration
// milliseconds, then makes the picture the background.
void FadeToBackground(const RtString& file, int32_t duration);
