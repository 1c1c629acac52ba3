// LoadSound: a WAVE file into a sound slot.
#include <algorithm>
#include <memory>

#include "audio/sound_commands.h"
#include "audio/sound_device.h"
#include "audio/wave_reader.h"
#include "files/pack_resolver_internal.h"
#include "host/debug_output.h"

void LoadSound(const RtString& file, int32_t slotIndex, int32_t voices) {
    using namespace vtx;
    SoundSlot* table = SoundSlotTable();
    if (table == nullptr || slotIndex < 0) return;  // negative slots are outside the table
    SoundSlot& slot = table[std::min(slotIndex, kSoundSlotCount - 1)];
    RtString name;
    const bool found = ResolveFile(LoaderResolver(), file, name, true);  // found or not, the name in hand is loaded
    FreeSoundSlot(slot);
    slot.device = SoundDeviceRecord();
    voices = std::clamp(voices, 1, kMaxVoices);
    if (slot.device == nullptr || slot.device->device == nullptr) {
        slot.voiceCount = 0;
        ReportFailedLoad("LoadSound", file, "no sound device");
        return;
    }
    slot.voiceCount = voices;
    slot.fileName = name.c_str();
    auto block = std::make_shared<SampleBlock>();
    const bool read = ReadWave(slot.fileName, *block);
    slot.fileName = nullptr;
    if (!read) {
        slot.voiceCount = 0;
        ReportFailedLoad("LoadSound", file, found ? "not a WAVE file that can be read" : "no such file");
        return;
    }
    Mixer& mixer = slot.device->device->mixer;
    for (int32_t i = 0; i < voices; ++i) slot.voices[i] = mixer.AddVoice(block);  // voices share the samples
}
