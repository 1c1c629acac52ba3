// The sound device record, the slot table and their lifecycle.
#include "audio/sound_device.h"

#include <memory>

#include "host/graphics_backend.h"

namespace vtx {
namespace {

struct SoundState {
    std::unique_ptr<SoundDevice> device;
    std::unique_ptr<SoundSlot[]> slots;
};
SoundState Sound;

void* MainWindow() { return GraphicsBackEnd != nullptr ? GraphicsBackEnd->window : nullptr; }

}  // namespace

SoundDevice* SoundDeviceRecord() { return Sound.device.get(); }
SoundSlot* SoundSlotTable() { return Sound.slots.get(); }

int32_t OpenSoundDevice(SoundDevice& device, void*) {
    StartAudioOutput();
    if (!Audio().hardware) return 0;
    device.device = &Audio();
    return 1;
}

void SetSoundWindow(SoundDevice&, void*) {}

void CloseSoundDevice(SoundDevice& device) {
    device.device = nullptr;
    StopAudioOutput();
}

void FreeSoundSlot(SoundSlot& slot) {
    if (slot.device != nullptr && slot.device->device != nullptr && slot.voiceCount > 0) {
        Mixer& mixer = slot.device->device->mixer;
        for (Mixer::VoiceId voice : slot.voices)
            if (voice >= 0) mixer.StopVoice(voice);
        for (Mixer::VoiceId& voice : slot.voices) {
            if (voice >= 0) mixer.RemoveVoice(voice);
            voice = -1;
        }
    }
    slot.voiceCount = 0;
    slot.nextVoice = 0;
}

void CreateSoundDevice() {
    Sound.device = std::make_unique<SoundDevice>();
    Sound.slots = std::make_unique<SoundSlot[]>(kSoundSlotCount);
}

void OpenSoundDeviceForProgram() {
    if (Sound.device == nullptr) return;
    OpenSoundDevice(*Sound.device, MainWindow());
    SetSoundWindow(*Sound.device, MainWindow());
}

void GiveWindowToSoundDevice() {
    if (Sound.device != nullptr) SetSoundWindow(*Sound.device, MainWindow());
}

void ReleaseSound() {
    if (Sound.slots != nullptr)
        for (int32_t i = kSoundSlotCount - 1; i >= 0; --i) FreeSoundSlot(Sound.slots[i]);
    Sound.slots.reset();
    if (Sound.device != nullptr) CloseSoundDevice(*Sound.device);
    Sound.device.reset();
}

}  // namespace vtx
