// The sound device record and the table of 4096 sound slots, created at
// start-up and freed at shutdown.
#pragma once

#include <cstdint>

#include "audio/audio_engine.h"

namespace vtx {

inline constexpr int32_t kSoundSlotCount = 4096;
inline constexpr int32_t kMaxVoices = 4;

struct SoundDevice {
    AudioEngine* device = nullptr;  // null until OpenSoundDevice finds sound hardware
};

// One loaded sound with 1 to 4 voices sharing its samples.
struct SoundSlot {
    int32_t voiceCount = 0;            // 0: empty
    int32_t nextVoice = 0;             // the voice tried first by PlaySound
    const char* fileName = nullptr;    // only during LoadSound
    SoundDevice* device = nullptr;
    Mixer::VoiceId voices[kMaxVoices] = {-1, -1, -1, -1};  // -1: none
};

// The record and the table; null before start-up and after shutdown.
SoundDevice* SoundDeviceRecord();
SoundSlot* SoundSlotTable();

// Opens the output: 1 with sound hardware, 0 without (the mixer still runs
// on a silent clock, so music keeps time).
int32_t OpenSoundDevice(SoundDevice& device, void* window);
// Nothing to do on this platform: the device belongs to no window.
void SetSoundWindow(SoundDevice& device, void* window);
void CloseSoundDevice(SoundDevice& device);
// Stops, rewinds and releases every voice; the slot becomes empty.
void FreeSoundSlot(SoundSlot& slot);

// Start-up and shutdown services.
void CreateSoundDevice();             // the record and the empty slot table
void OpenSoundDeviceForProgram();     // OpenSoundDevice, then SetSoundWindow
void GiveWindowToSoundDevice();       // SetSoundWindow after a screen-mode change
void ReleaseSound();                  // every slot from the last, the table, the device

}  // namespace vtx
