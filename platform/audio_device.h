// The one audio output device over SDL2: stereo, 16-bit, 44 100 frames per
// second, filled by a pull function on SDL's audio thread.
#pragma once

#include <cstdint>

namespace vtx::platform {

inline constexpr int kAudioRate = 44100;

// Fills frames stereo frames (interleaved left, right) on the audio thread.
using AudioPull = void (*)(int16_t* out, int frames, void* user);

// Opens the device and starts pulling. When the configured driver cannot
// open a device, the dummy driver is tried; false when that fails too (no
// sound hardware).
bool OpenAudioDevice(AudioPull pull, void* user);
// Stops pulling and closes the device; nothing when none is open.
void CloseAudioDevice();

}  // namespace vtx::platform
