// The mixer: voices and streams summed into one stereo output.
#include "audio/mixer.h"

#include <algorithm>
#include <cmath>

namespace vtx {

float AttenuationGain(int32_t hundredthsOfDb) {
    if (hundredthsOfDb <= -10000) return 0.0f;
    if (hundredthsOfDb >= 0) return 1.0f;
    return static_cast<float>(std::pow(10.0, hundredthsOfDb / 2000.0));
}

Mixer::VoiceId Mixer::AddVoice(std::shared_ptr<const SampleBlock> block) {
    Voice voice;
    voice.step = (static_cast<uint64_t>(block->rate) << 32) / kMixRate;
    voice.block = std::move(block);
    std::lock_guard guard(lock_);
    if (!free_.empty()) {
        const VoiceId id = free_.back();
        free_.pop_back();
        voices_[static_cast<size_t>(id)] = std::move(voice);
        return id;
    }
    voices_.push_back(std::move(voice));
    return static_cast<VoiceId>(voices_.size() - 1);
}

void Mixer::RemoveVoice(VoiceId voice) {
    std::shared_ptr<const SampleBlock> released;  // freed outside the lock
    std::lock_guard guard(lock_);
    if (voice < 0 || static_cast<size_t>(voice) >= voices_.size()) return;
    Voice& v = voices_[static_cast<size_t>(voice)];
    if (v.block == nullptr) return;
    released = std::move(v.block);
    v = Voice{};
    std::erase(active_, voice);
    free_.push_back(voice);
}

void Mixer::SetVoiceLevels(VoiceId voice, int32_t volume, int32_t pan) {
    pan = std::clamp(pan, -10000, 10000);
    volume = std::clamp(volume, -10000, 0);
    const float left = AttenuationGain(volume - std::max(pan, 0));
    const float right = AttenuationGain(volume + std::min(pan, 0));
    std::lock_guard guard(lock_);
    if (voice < 0 || static_cast<size_t>(voice) >= voices_.size()) return;
    voices_[static_cast<size_t>(voice)].left = left;
    voices_[static_cast<size_t>(voice)].right = right;
}

void Mixer::PlayVoice(VoiceId voice) {
    std::lock_guard guard(lock_);
    if (voice < 0 || static_cast<size_t>(voice) >= voices_.size()) return;
    Voice& v = voices_[static_cast<size_t>(voice)];
    if (v.block == nullptr || v.playing) return;
    v.playing = true;
    if (std::find(active_.begin(), active_.end(), voice) == active_.end()) active_.push_back(voice);
}

void Mixer::StopVoice(VoiceId voice) {
    std::lock_guard guard(lock_);
    if (voice < 0 || static_cast<size_t>(voice) >= voices_.size()) return;
    voices_[static_cast<size_t>(voice)].playing = false;
    voices_[static_cast<size_t>(voice)].position = 0;
}

bool Mixer::VoicePlaying(VoiceId voice) const {
    std::lock_guard guard(lock_);
    return voice >= 0 && static_cast<size_t>(voice) < voices_.size() && voices_[static_cast<size_t>(voice)].playing;
}

void Mixer::AddStream(MixerStream* stream) {
    std::lock_guard guard(lock_);
    streams_.push_back(stream);
}

void Mixer::RemoveStream(MixerStream* stream) {
    std::lock_guard guard(lock_);
    std::erase(streams_, stream);
}

// Linear interpolation between neighbouring source frames; the frame after
// the last one is silence, so a sound fades into its end.
void Mixer::MixVoice(Voice& voice, float* out, int frames) {
    const SampleBlock& block = *voice.block;
    const uint64_t end = block.frames << 32;
    const uint64_t stored = block.samples.size() / block.channels;
    const float* s = block.samples.data();
    auto at = [&](uint64_t frame, uint32_t channel) {
        return frame < stored ? s[frame * block.channels + channel] : 0.0f;
    };
    uint64_t position = voice.position;
    for (int i = 0; i < frames && position < end; ++i, position += voice.step) {
        const uint64_t frame = position >> 32;
        const float t = static_cast<float>(position & 0xFFFFFFFFu) * (1.0f / 4294967296.0f);
        if (block.channels == 1) {
            const float a = at(frame, 0);
            const float v = a + (at(frame + 1, 0) - a) * t;
            out[2 * i] += v * voice.left;
            out[2 * i + 1] += v * voice.right;
        } else {
            const float l = at(frame, 0), r = at(frame, 1);
            out[2 * i] += (l + (at(frame + 1, 0) - l) * t) * voice.left;
            out[2 * i + 1] += (r + (at(frame + 1, 1) - r) * t) * voice.right;
        }
    }
    if (position >= end) {  // a sound played once stops at its end and rewinds
        voice.playing = false;
        voice.position = 0;
    } else {
        voice.position = position;
    }
}

void Mixer::Render(float* out, int frames) {
    std::fill(out, out + 2 * static_cast<size_t>(frames), 0.0f);
    std::lock_guard guard(lock_);
    for (size_t i = 0; i < active_.size();) {
        Voice& voice = voices_[static_cast<size_t>(active_[i])];
        if (voice.playing) MixVoice(voice, out, frames);
        if (voice.playing) {
            ++i;
        } else {
            active_[i] = active_.back();
            active_.pop_back();
        }
    }
    for (MixerStream* stream : streams_) stream->MixInto(out, frames);
}

void Mixer::Render(int16_t* out, int frames) {
    scratch_.resize(2 * static_cast<size_t>(frames));
    Render(scratch_.data(), frames);
    for (size_t i = 0; i < scratch_.size(); ++i)
        out[i] = static_cast<int16_t>(std::lrintf(std::clamp(scratch_[i], -1.0f, 1.0f) * 32767.0f));
}

}  // namespace vtx
