// PlayMusic, StopMusic, RewindMusic, SetMusicVolume, IsMusicPlaying and the
// music loop service.
#include <algorithm>

#include "audio/audio_engine.h"
#include "audio/music_commands.h"
#include "audio/music_service.h"
#include "files/last_error_internal.h"
#include "files/pack_resolver_internal.h"
#include "host/clock.h"
#include "host/debug_output.h"

namespace vtx {
namespace {

constexpr uint32_t kNoSuchFile = 3;  // the last error of a file that cannot be played

MusicState State;

// The player's length, but never below 500 ms: a zero or failed length
// still gives a 500 ms period.
double RestartLength(const MusicPlayer& player) { return std::max(player.LengthMs(), 500); }

void StopAndClose() {
    if (State.player == nullptr) return;
    State.player->Stop();
    State.player.reset();
}

}  // namespace

MusicState& Music() { return State; }

void MusicLoopService() {
    if (!(State.loopDeadline > 0)) return;
    if (ReadClock() < State.loopDeadline) return;
    const double length = State.player != nullptr ? RestartLength(*State.player) : 500.0;
    State.loopDeadline = ReadClock() + length;
    if (State.player == nullptr) return;
    State.player->SeekToStart();
    State.player->Play();
}

void StopMusicForShutdown() {
    State.loopDeadline = 0;
    State.volumeCache = -1.0;
    StopAndClose();
}

}  // namespace vtx

void PlayMusic(const RtString& file, int32_t loop) {
    using namespace vtx;
    State.volumeCache = -1.0;                                                   // 1
    State.loopDeadline = 0;
    StopAndClose();                                                             // 2
    State.fileName = file;                                                      // 3
    if (!ResolveFile(MediaResolver(), file, State.fileName, false)) {          // 4, 5
        // Nothing else would tell the program: the last error says it.
        SetLastError(kNoSuchFile);
        ReportFailedLoad("PlayMusic", file, "no such file");
        return;
    }
    // The pointer and focus steps around the media window have nothing to
    // do here: the player has no window, so the pointer is left as it is.
    StartAudioOutput();                                                         // 7
    State.player = std::make_unique<MusicPlayer>(Audio().mixer);
    if (!State.player->Open(State.fileName.c_str())) {  // a file it cannot play stays silent, length 0
        SetLastError(kNoSuchFile);
        ReportFailedLoad("PlayMusic", file, "not a sound file that can be played");
    }
    const double length = RestartLength(*State.player);                        // 8
    State.loopDeadline = loop != 0 ? ReadClock() + length : 0;                  // 9
    State.player->SeekToStart();                                                // 10
    State.player->Play();
    if (State.volumeCache != 1.0) {                                             // 13
        State.volumeCache = 1.0;
        State.player->SetVolume(1000);
    }
}

int32_t StopMusic() {
    using namespace vtx;
    State.volumeCache = -1.0;
    State.loopDeadline = 0;
    StopAndClose();
    return 0;
}

void RewindMusic() {
    if (vtx::State.player == nullptr) return;
    vtx::State.player->SeekToStart();
    vtx::State.player->Play();
}

void SetMusicVolume(double volume) {
    using namespace vtx;
    if (volume == State.volumeCache) return;
    State.volumeCache = volume;
    if (State.player == nullptr) return;
    const double scaled = std::clamp(volume * 1000, -2147483648.0, 2147483647.0);
    State.player->SetVolume(scaled == scaled ? static_cast<int32_t>(scaled) : 0);
}

int32_t IsMusicPlaying() {
    using namespace vtx;
    if (State.player == nullptr) return 0;
    if (State.loopDeadline > 0) return 1;
    return State.player->EndMs() > State.player->PositionMs() ? 1 : 0;
}
