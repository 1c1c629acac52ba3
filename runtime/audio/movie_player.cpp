// The movie player: demultiplexing, picture conversion and the sound stream.
#include "audio/movie_player.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace vtx {
namespace {

constexpr size_t kPicturesAhead = 4;

}  // namespace

MoviePlayer::MoviePlayer(Mixer& mixer) : mixer_(mixer) {}

MoviePlayer::~MoviePlayer() {
    if (inMixer_) mixer_.RemoveStream(this);
    CloseDecoders();
    sws_freeContext(sws_);
    av_frame_free(&frame_);
}

bool MoviePlayer::Open(const std::string& path) {
    frame_ = av_frame_alloc();
    if (frame_ == nullptr || !input_.Open(path) || !OpenDecoders()) return false;
    if (video_ != nullptr) {
        width_ = video_->width;
        height_ = video_->height;
        pixelFormat_ = video_->pix_fmt;
        // swscale aborts on formats it cannot read: such a movie cannot be opened.
        if (width_ <= 0 || height_ <= 0 || width_ > 16384 || height_ > 16384 ||
            sws_isSupportedInput(video_->pix_fmt) <= 0)
            return false;
        sws_ = sws_getContext(width_, height_, video_->pix_fmt, width_, height_, AV_PIX_FMT_RGBA, SWS_BILINEAR,
                              nullptr, nullptr, nullptr);
        if (sws_ == nullptr) return false;
        picture_.assign(static_cast<size_t>(width_) * height_ * 4, 0);
    }
    return true;
}

bool MoviePlayer::OpenDecoders() {
    video_ = input_.OpenDecoder(AVMEDIA_TYPE_VIDEO, videoStream_);
    audio_ = input_.OpenDecoder(AVMEDIA_TYPE_AUDIO, audioStream_);
    if (audio_ != nullptr && !converter_.Setup(audio_)) avcodec_free_context(&audio_);
    return video_ != nullptr || audio_ != nullptr;
}

void MoviePlayer::CloseDecoders() {
    avcodec_free_context(&video_);
    avcodec_free_context(&audio_);
}

int32_t MoviePlayer::LengthMs() const {
    const int64_t length = input_.DurationMs();
    if (length > 0) return static_cast<int32_t>(std::min<int64_t>(length, INT32_MAX));
    return ended_ && queue_.empty() ? static_cast<int32_t>(lastMs_) + 1 : INT32_MAX;
}

void MoviePlayer::Play() {
    {
        std::lock_guard guard(soundLock_);
        playing_ = true;
    }
    if (!inMixer_) mixer_.AddStream(this);
    inMixer_ = true;
}

bool MoviePlayer::Rewind() {
    CloseDecoders();
    queue_.clear();
    ended_ = false;
    lastMs_ = 0;
    {
        std::lock_guard guard(soundLock_);
        sound_.clear();
        soundAt_ = 0;
    }
    return input_.Reopen() && OpenDecoders();
}

bool MoviePlayer::NeedsMore() {
    if (ended_) return false;
    if (video_ != nullptr) return queue_.size() < kPicturesAhead;
    std::lock_guard guard(soundLock_);  // sound alone: a second ahead of the mixer
    return sound_.size() - soundAt_ < 2 * static_cast<size_t>(kMixRate);
}

bool MoviePlayer::Advance(double positionMs) {
    while (NeedsMore()) ReadPacket();
    bool changed = false;
    while (!queue_.empty() && queue_.front().ms <= positionMs) {
        picture_.swap(queue_.front().rgba);
        queue_.pop_front();
        changed = true;
        while (NeedsMore()) ReadPacket();
    }
    return changed;
}

void MoviePlayer::ReadPacket() {
    AVPacket* packet = av_packet_alloc();
    if (packet == nullptr || av_read_frame(input_.Format(), packet) < 0) {
        ended_ = true;  // drain what the decoders still hold
        if (video_ != nullptr) avcodec_send_packet(video_, nullptr);
        if (audio_ != nullptr) avcodec_send_packet(audio_, nullptr);
    } else if (video_ != nullptr && packet->stream_index == videoStream_) {
        avcodec_send_packet(video_, packet);  // a damaged packet is skipped
    } else if (audio_ != nullptr && packet->stream_index == audioStream_) {
        avcodec_send_packet(audio_, packet);
    }
    av_packet_free(&packet);
    ReceivePictures();
    ReceiveSound();
}

void MoviePlayer::ReceivePictures() {
    if (video_ == nullptr) return;
    const AVStream* stream = input_.Format()->streams[videoStream_];
    const int64_t start = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
    while (avcodec_receive_frame(video_, frame_) == 0) {
        PictureFrame picture;
        const int64_t pts = frame_->best_effort_timestamp;
        picture.ms = pts != AV_NOPTS_VALUE ? (pts - start) * av_q2d(stream->time_base) * 1000.0 : lastMs_;
        lastMs_ = picture.ms;
        picture.rgba.resize(static_cast<size_t>(width_) * height_ * 4 + 64);  // room for wide stores
        uint8_t* planes[1] = {picture.rgba.data()};
        const int strides[1] = {width_ * 4};
        if (frame_->width == width_ && frame_->height == height_ && frame_->format == pixelFormat_)
            sws_scale(sws_, frame_->data, frame_->linesize, 0, height_, planes, strides);
        picture.rgba.resize(static_cast<size_t>(width_) * height_ * 4);
        queue_.push_back(std::move(picture));
        av_frame_unref(frame_);
    }
}

void MoviePlayer::ReceiveSound() {
    if (audio_ == nullptr) return;
    decodedSound_.clear();
    while (avcodec_receive_frame(audio_, frame_) == 0) {
        converter_.Convert(frame_, decodedSound_);
        av_frame_unref(frame_);
    }
    if (decodedSound_.empty()) return;
    std::lock_guard guard(soundLock_);
    if (soundAt_ > 0 && soundAt_ * 2 > sound_.size()) {  // keep the buffer from growing
        sound_.erase(sound_.begin(), sound_.begin() + static_cast<std::ptrdiff_t>(soundAt_));
        soundAt_ = 0;
    }
    sound_.insert(sound_.end(), decodedSound_.begin(), decodedSound_.end());
}

void MoviePlayer::MixInto(float* out, int frames) {
    std::lock_guard guard(soundLock_);
    if (!playing_) return;
    const size_t n = std::min(2 * static_cast<size_t>(frames), sound_.size() - soundAt_);
    for (size_t i = 0; i < n; ++i) out[i] += sound_[soundAt_ + i];
    soundAt_ += n;
}

}  // namespace vtx
