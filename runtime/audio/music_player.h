// The music player: what plays one piece of music. It decodes on its own
// thread into a buffer the mixer reads, and reports length, position and end
// in milliseconds. The first second of the piece stays decoded, so a
// restart from the start is immediate: no gap, and a short cross-fade
// instead of a click.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/media_input.h"
#include "audio/mixer.h"

namespace vtx {

class MusicPlayer : public MixerStream {
public:
    static constexpr uint64_t kHeadFrames = kMixRate;        // kept decoded: one second
    static constexpr uint64_t kBufferFrames = 2 * kMixRate;  // decoded ahead of the mixer
    static constexpr int kFadeFrames = 256;                  // cross-fade of a restart

    explicit MusicPlayer(Mixer& mixer);
    // Leaves the mixer and stops decoding.
    ~MusicPlayer() override;
    MusicPlayer(const MusicPlayer&) = delete;
    MusicPlayer& operator=(const MusicPlayer&) = delete;

    // Opens the file, stopped at the start; false when it cannot be played
    // (the player then stays silent with length 0).
    bool Open(const std::string& path);
    int32_t LengthMs() const;
    int32_t PositionMs() const;
    int32_t EndMs() const { return LengthMs(); }
    void Play();
    void Stop();  // pauses at the current position
    void SeekToStart();
    // 0..1000, a linear gain of volume / 1000.
    void SetVolume(int32_t volume);
    int32_t VolumeMessages() const { return volumeMessages_; }

    void MixInto(float* out, int frames) override;

private:
    // Frame f (stereo) of the piece when it is decoded; false otherwise.
    bool FrameAt(uint64_t f, float& left, float& right) const;
    void DecodeLoop();

    Mixer& mixer_;
    AudioFileDecoder decoder_;
    std::thread thread_;
    mutable std::mutex lock_;
    std::condition_variable wake_;
    bool quit_ = false;
    bool opened_ = false;
    int64_t containerMs_ = 0;
    std::vector<float> head_;    // the first frames of the piece
    bool wholeInHead_ = false;   // the piece is no longer than the head
    std::vector<float> buffer_;  // ring of kBufferFrames frames after the head
    uint64_t bufferStart_ = 0;   // piece frame of the oldest buffered frame
    uint64_t buffered_ = 0;
    uint64_t total_ = UINT64_MAX;  // frames of the piece once decoding reached its end
    uint64_t position_ = 0;        // piece frame the mixer plays next
    uint64_t generation_ = 0;      // counts restarts: decoding begins anew
    bool playing_ = false;
    float gain_ = 1.0f;
    std::vector<float> fade_;  // the frames cut off by a restart, faded out
    size_t fadeAt_ = 0;
    int32_t volumeMessages_ = 0;
};

}  // namespace vtx
