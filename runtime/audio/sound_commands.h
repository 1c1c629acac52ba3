// Sound effects: WAVE files in 4096 slots of 1 to 4 voices, played with a
// pan and a volume. A channel id names a slot and a voice: slot x 256 + voice.
#pragma once

#include <cstdint>

#include "../core/rt_string.h"

// Loads a WAVE file (disk, memory name or pack archive) into a slot (0 to
// 4095; larger indices mean 4095) with 1 to 4 voices. A failed load, or no
// sound hardware, leaves the slot empty.
void LoadSound(const RtString& file, int32_t slot, int32_t voices);
// Starts a voice of the slot: pan -1 (left) .. 1 (right), volume 0 .. 1.
// The channel id, or -1 (empty slot, single voice still playing).
int32_t PlaySound(int32_t slot, double pan, double volume);
// 1 while that voice plays, else 0.
int32_t IsSoundPlaying(int32_t channel);
// Stops and rewinds that voice; a voice part beyond the slot's voices stops
// them all.
void StopSound(int32_t channel);
// Stops and rewinds every voice of every slot.
void StopAllSounds();
