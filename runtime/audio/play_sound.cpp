// PlaySound, IsSoundPlaying, StopSound and StopAllSounds.
#include <algorithm>
#include <cmath>

#include "audio/sound_commands.h"
#include "audio/sound_device.h"

namespace vtx {
namespace {

Mixer* SlotMixer(const SoundSlot& slot) {
    if (slot.device == nullptr || slot.device->device == nullptr || slot.voiceCount <= 0) return nullptr;
    return &slot.device->device->mixer;
}

// The slot of a channel id; null for a negative id or a slot past the table.
SoundSlot* ChannelSlot(int32_t channel) {
    SoundSlot* table = SoundSlotTable();
    if (table == nullptr || channel < 0 || (channel >> 8) >= kSoundSlotCount) return nullptr;
    return &table[channel >> 8];
}

// Round robin: the next voice if it is idle; a playing single voice gives
// none; otherwise the following voice, cut off if it plays too.
int32_t PickVoice(SoundSlot& slot, Mixer& mixer) {
    if (slot.voices[slot.nextVoice] < 0) return -1;
    if (!mixer.VoicePlaying(slot.voices[slot.nextVoice])) return slot.nextVoice;
    if (slot.voiceCount == 1) return -1;
    slot.nextVoice = (slot.nextVoice + 1) % slot.voiceCount;
    const Mixer::VoiceId voice = slot.voices[slot.nextVoice];
    if (voice < 0) return -1;
    if (mixer.VoicePlaying(voice)) mixer.StopVoice(voice);  // taken over
    return slot.nextVoice;
}

}  // namespace
}  // namespace vtx

int32_t PlaySound(int32_t slotIndex, double pan, double volume) {
    using namespace vtx;
    SoundSlot* table = SoundSlotTable();
    if (table == nullptr || slotIndex < 0) return -1;
    SoundSlot& slot = table[std::min(slotIndex, kSoundSlotCount - 1)];
    const int32_t panLevel = std::isnan(pan) ? 0 : static_cast<int32_t>(std::clamp(pan, -1.0, 1.0) * 10000);
    const int32_t volumeLevel = std::isnan(volume) ? 0 : static_cast<int32_t>(std::clamp(volume * 100, 0.0, 100.0));
    Mixer* mixer = SlotMixer(slot);
    if (mixer == nullptr) return -1;
    const int32_t index = PickVoice(slot, *mixer);
    if (index < 0) return -1;
    const Mixer::VoiceId voice = slot.voices[index];
    mixer->SetVoiceLevels(voice, volumeLevel * 100 - 10000, panLevel);
    mixer->PlayVoice(voice);
    return static_cast<int32_t>(&slot - table) * 256 + index;
}

int32_t IsSoundPlaying(int32_t channel) {
    using namespace vtx;
    SoundSlot* slot = ChannelSlot(channel);
    if (slot == nullptr) return 0;
    const int32_t voice = channel & 255;
    Mixer* mixer = SlotMixer(*slot);
    if (mixer == nullptr || voice >= slot->voiceCount) return 0;
    return mixer->VoicePlaying(slot->voices[voice]) ? 1 : 0;
}

void StopSound(int32_t channel) {
    using namespace vtx;
    SoundSlot* slot = ChannelSlot(channel);
    if (slot == nullptr) return;
    Mixer* mixer = SlotMixer(*slot);
    if (mixer == nullptr) return;
    const int32_t voice = channel & 255;
    if (voice < slot->voiceCount) {
        mixer->StopVoice(slot->voices[voice]);
        return;
    }
    for (int32_t i = 0; i < slot->voiceCount; ++i) mixer->StopVoice(slot->voices[i]);
}

void StopAllSounds() {
    using namespace vtx;
    SoundSlot* table = SoundSlotTable();
    if (table == nullptr) return;
    for (int32_t s = 0; s < kSoundSlotCount; ++s)
        if (Mixer* mixer = SlotMixer(table[s]))
            for (int32_t i = 0; i < table[s].voiceCount; ++i) mixer->StopVoice(table[s].voices[i]);
}
