// Fuzzes the sound slots' WAVE reader through a memory name. A success must
// give 1 or 2 channels, no more stored samples than the length claims, and
// samples within -1..1; the sound is then mixed briefly, which reads every
// stored sample the first frames need.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "audio/mixer.h"
#include "audio/wave_reader.h"
#include "core/rt_string.h"
#include "files/memory_names.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0x7FFFFFFF) return 0;
    const RtString name = vtx::RegisterMemoryBlock(data, static_cast<uint32_t>(size));
    auto block = std::make_shared<vtx::SampleBlock>();
    if (vtx::ReadWave(name.c_str(), *block)) {
        if (block->channels < 1 || block->channels > 2 || block->rate == 0) std::abort();
        if (block->samples.size() > block->frames * block->channels) std::abort();
        for (float s : block->samples)
            if (!(s >= -1.0f && s <= 1.0f)) std::abort();
        vtx::Mixer mixer;
        const vtx::Mixer::VoiceId voice = mixer.AddVoice(block);
        mixer.SetVoiceLevels(voice, 0, 0);
        mixer.PlayVoice(voice);
        std::vector<float> out(2 * 512);
        mixer.Render(out.data(), 512);
        for (float s : out)
            if (!std::isfinite(s)) std::abort();
    }
    vtx::UnregisterMemoryBlock(name);
    return 0;
}
