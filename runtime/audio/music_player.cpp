// The music player: decoding thread, buffers and the mixer's view of them.
#include "audio/music_player.h"

#include <algorithm>

namespace vtx {

MusicPlayer::MusicPlayer(Mixer& mixer) : mixer_(mixer) {}

MusicPlayer::~MusicPlayer() {
    if (!opened_) return;
    mixer_.RemoveStream(this);
    {
        std::lock_guard guard(lock_);
        quit_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

bool MusicPlayer::Open(const std::string& path) {
    if (!decoder_.Open(path)) return false;
    containerMs_ = decoder_.DurationMs();
    // The head is decoded here, so it is there for the first play and every restart.
    std::vector<float> decoded;
    bool more = true;
    while (more && decoded.size() < 2 * kHeadFrames) more = decoder_.DecodeMore(decoded);
    const size_t headSamples = std::min<size_t>(decoded.size(), 2 * kHeadFrames);
    head_.assign(decoded.begin(), decoded.begin() + static_cast<std::ptrdiff_t>(headSamples));
    buffer_.assign(2 * kBufferFrames, 0.0f);
    bufferStart_ = head_.size() / 2;
    buffered_ = std::min<uint64_t>((decoded.size() - headSamples) / 2, kBufferFrames);  // one packet at most
    for (uint64_t f = 0; f < buffered_; ++f) {
        const size_t at = 2 * static_cast<size_t>((bufferStart_ + f) % kBufferFrames);
        buffer_[at] = decoded[headSamples + 2 * f];
        buffer_[at + 1] = decoded[headSamples + 2 * f + 1];
    }
    if (!more) {
        total_ = bufferStart_ + buffered_;
        wholeInHead_ = buffered_ == 0;
    }
    opened_ = true;
    thread_ = std::thread(&MusicPlayer::DecodeLoop, this);
    mixer_.AddStream(this);
    return true;
}

int32_t MusicPlayer::LengthMs() const {
    std::lock_guard guard(lock_);
    if (!opened_) return 0;
    if (total_ != UINT64_MAX) return static_cast<int32_t>(total_ * 1000 / kMixRate);
    return static_cast<int32_t>(std::min<int64_t>(containerMs_, INT32_MAX));
}

int32_t MusicPlayer::PositionMs() const {
    std::lock_guard guard(lock_);
    return static_cast<int32_t>(position_ * 1000 / kMixRate);
}

void MusicPlayer::Play() {
    std::lock_guard guard(lock_);
    playing_ = opened_;
}

void MusicPlayer::Stop() {
    std::lock_guard guard(lock_);
    playing_ = false;
}

void MusicPlayer::SeekToStart() {
    {
        std::lock_guard guard(lock_);
        if (!opened_) return;
        // What would have come next fades out under the new start.
        fade_.clear();
        fadeAt_ = 0;
        float l, r;
        for (uint64_t f = position_; playing_ && f < position_ + kFadeFrames && FrameAt(f, l, r); ++f) {
            fade_.push_back(l);
            fade_.push_back(r);
        }
        position_ = 0;
        if (!wholeInHead_ && bufferStart_ != head_.size() / 2) {
            // The mixer used buffered frames: decoding starts again behind the head.
            bufferStart_ = head_.size() / 2;
            buffered_ = 0;
            ++generation_;
        }
    }
    wake_.notify_all();
}

void MusicPlayer::SetVolume(int32_t volume) {
    std::lock_guard guard(lock_);
    gain_ = static_cast<float>(std::clamp(volume, 0, 1000)) / 1000.0f;
    ++volumeMessages_;
}

bool MusicPlayer::FrameAt(uint64_t f, float& left, float& right) const {
    if (f < head_.size() / 2) {
        left = head_[2 * f];
        right = head_[2 * f + 1];
        return true;
    }
    if (f < bufferStart_ || f >= bufferStart_ + buffered_) return false;
    const size_t at = 2 * static_cast<size_t>(f % kBufferFrames);
    left = buffer_[at];
    right = buffer_[at + 1];
    return true;
}

void MusicPlayer::MixInto(float* out, int frames) {
    bool consumed = false;
    {
        std::lock_guard guard(lock_);
        if (!playing_) return;
        for (int i = 0; i < frames; ++i) {
            if (position_ >= total_) break;  // at the end: stays there
            float l = 0, r = 0;
            if (!FrameAt(position_, l, r)) break;  // decoding is behind: wait for it
            if (fadeAt_ < fade_.size()) {
                const float t = static_cast<float>(fadeAt_ / 2) / (fade_.size() / 2);
                l = l * t + fade_[fadeAt_] * (1 - t);
                r = r * t + fade_[fadeAt_ + 1] * (1 - t);
                fadeAt_ += 2;
            }
            out[2 * i] += l * gain_;
            out[2 * i + 1] += r * gain_;
            if (position_ >= bufferStart_ && position_ < bufferStart_ + buffered_) {
                ++bufferStart_;  // the mixer has used this buffered frame
                --buffered_;
                consumed = true;
            }
            ++position_;
        }
    }
    if (consumed) wake_.notify_all();
}

// Keeps the buffer filled ahead of the mixer; after a restart it decodes
// from the start again and drops what the head already holds.
void MusicPlayer::DecodeLoop() {
    uint64_t generation = 0;
    uint64_t skip = 0;           // frames still to drop after a rewind
    std::vector<float> pending;  // decoded, not yet in the buffer
    size_t pendingAt = 0;
    bool finished = total_ != UINT64_MAX;  // the decoder reached the end
    while (true) {
        std::unique_lock guard(lock_);
        wake_.wait(guard, [&] {
            if (quit_ || generation != generation_) return true;
            if (pendingAt < pending.size()) return buffered_ < kBufferFrames;
            return !finished && buffered_ + kMixRate / 4 <= kBufferFrames;
        });
        if (quit_) return;
        if (generation != generation_) {
            generation = generation_;
            skip = head_.size() / 2;
            pending.clear();
            pendingAt = 0;
            guard.unlock();
            finished = !decoder_.Rewind();
            continue;
        }
        if (pendingAt < pending.size()) {
            while (pendingAt < pending.size() && buffered_ < kBufferFrames) {
                const size_t at = 2 * static_cast<size_t>((bufferStart_ + buffered_) % kBufferFrames);
                buffer_[at] = pending[pendingAt];
                buffer_[at + 1] = pending[pendingAt + 1];
                pendingAt += 2;
                ++buffered_;
            }
            if (pendingAt >= pending.size() && finished) total_ = bufferStart_ + buffered_;
            continue;
        }
        guard.unlock();
        pending.clear();
        bool more = true;
        while (more && pending.size() < 2 * 4096) more = decoder_.DecodeMore(pending);
        const uint64_t drop = std::min<uint64_t>(skip, pending.size() / 2);
        skip -= drop;
        pendingAt = 2 * static_cast<size_t>(drop);
        finished = !more;
        if (finished && pendingAt >= pending.size()) {
            guard.lock();
            if (generation == generation_) total_ = std::max<uint64_t>(bufferStart_ + buffered_, head_.size() / 2);
        }
    }
}

}  // namespace vtx
