// The audio engine: the one mixer and the output that pulls it. Without
// sound hardware a silent clock pulls the mixer in real time instead, so
// music keeps its position and end while nothing is heard.
#pragma once

#include "audio/mixer.h"

namespace vtx {

struct AudioEngine {
    Mixer mixer;
    bool started = false;   // an output (device or silent clock) pulls the mixer
    bool hardware = false;  // the output is a sound device
};

AudioEngine& Audio();

// Starts the output once: the sound device, else the silent clock. With
// useDevice false only the silent clock is started (no sound hardware).
void StartAudioOutput(bool useDevice = true);
// Stops the output; the next StartAudioOutput opens it again.
void StopAudioOutput();

}  // namespace vtx
