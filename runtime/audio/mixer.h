// The mixer: sound-effect voices, each resampled from its own rate, and
// streams (music, a movie's sound) added into one stereo output at 44 100
// frames per second. Render is a plain pull function: the audio device calls
// it on its own thread, tests call it directly.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace vtx {

inline constexpr int kMixRate = 44100;

// Decoded samples of one sound, shared by the voices that play it.
struct SampleBlock {
    std::vector<float> samples;  // interleaved, channels per frame, -1..1
    uint32_t channels = 1;       // 1 or 2
    uint32_t rate = kMixRate;    // frames per second of the source
    uint64_t frames = 0;         // length; frames past the stored samples are silent
};

// A source of stereo frames at the mix rate, pulled on the audio thread.
class MixerStream {
public:
    virtual ~MixerStream() = default;
    // Adds frames stereo frames into out (interleaved), scaled by its own gain.
    virtual void MixInto(float* out, int frames) = 0;
};

// Amplitude of an attenuation in hundredths of a decibel: 10^(att / 2000);
// -10000 and below is silence.
float AttenuationGain(int32_t hundredthsOfDb);

class Mixer {
public:
    using VoiceId = int32_t;

    // A new idle voice at position 0 over block.
    VoiceId AddVoice(std::shared_ptr<const SampleBlock> block);
    void RemoveVoice(VoiceId voice);
    // Volume: attenuation -10000..0; pan -10000 (left) .. 10000 (right)
    // attenuates the other side by |pan|.
    void SetVoiceLevels(VoiceId voice, int32_t volume, int32_t pan);
    // Plays from the current position, once.
    void PlayVoice(VoiceId voice);
    // Stops and rewinds to position 0.
    void StopVoice(VoiceId voice);
    bool VoicePlaying(VoiceId voice) const;

    void AddStream(MixerStream* stream);
    void RemoveStream(MixerStream* stream);

    // Mixes frames stereo frames into out (interleaved left, right).
    void Render(float* out, int frames);
    void Render(int16_t* out, int frames);

private:
    struct Voice {
        std::shared_ptr<const SampleBlock> block;  // null: free entry
        bool playing = false;
        uint64_t position = 0;  // source frames, 32.32 fixed point
        uint64_t step = 0;      // per output frame, 32.32
        float left = 1.0f, right = 1.0f;
    };
    void MixVoice(Voice& voice, float* out, int frames);

    mutable std::mutex lock_;
    std::vector<Voice> voices_;
    std::vector<VoiceId> free_;
    std::vector<VoiceId> active_;  // voices that may be playing
    std::vector<MixerStream*> streams_;
    std::vector<float> scratch_;
};

}  // namespace vtx
