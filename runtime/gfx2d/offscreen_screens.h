// Off-screen screens: 32 render targets, each bound to a sprite slot whose
// texture is the screen's picture. Framebuffer objects where the driver has
// them; otherwise emulated with grabs through slot 65503 (VTX_NO_FBO=1 in
// the environment forces the emulated path).
#pragma once

#include <cstdint>

namespace vtx {

inline constexpr int32_t kScreenCount = 32;

// True while drawing goes to an off-screen screen.
bool OffscreenTargetActive();
// True while drawing goes to a screen backed by a framebuffer object.
bool FramebufferScreenInUse();
// The picture height of the screen in use (its slot's height).
int32_t CurrentScreenPictureHeight();
// The screen in use, -1 for the frame.
int32_t CurrentScreen();
// Leaves the screen in use, as UseScreen with a negative number does.
void LeaveOffscreenScreen();
// Deletes every framebuffer (while the context lives) and zeroes the records.
void ReleaseOffscreenScreens();

}  // namespace vtx
