// The music state and the services the frame presentation, the waiting
// loops and shutdown call.
#pragma once

#include <memory>

#include "audio/music_player.h"
#include "core/rt_string.h"

namespace vtx {

struct MusicState {
    std::unique_ptr<MusicPlayer> player;  // the current music; null when none
    RtString fileName;                    // the resolved name of the current music
    double loopDeadline = 0;              // ms on the runtime clock; 0: no looping
    double volumeCache = -1.0;            // last volume sent; -1: unknown
};
MusicState& Music();

// Restarts looping music whose length has passed since its last start.
void MusicLoopService();
// Shutdown: clears the loop and the volume cache, stops and closes the music.
void StopMusicForShutdown();

}  // namespace vtx
