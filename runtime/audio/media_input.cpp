// FFmpeg: media files, decoders and sound conversion.
#include "audio/media_input.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include "audio/mixer.h"

namespace vtx {
namespace {

constexpr int kIoBufferSize = 32768;

int ReadFile(void* opaque, uint8_t* buffer, int size) {
    const size_t n = std::fread(buffer, 1, static_cast<size_t>(size), static_cast<std::FILE*>(opaque));
    return n == 0 ? AVERROR_EOF : static_cast<int>(n);
}

int64_t SeekFile(void* opaque, int64_t offset, int whence) {
    std::FILE* file = static_cast<std::FILE*>(opaque);
    if ((whence & AVSEEK_SIZE) != 0) {
        const long here = std::ftell(file);
        if (std::fseek(file, 0, SEEK_END) != 0) return -1;
        const long size = std::ftell(file);
        std::fseek(file, here, SEEK_SET);
        return size;
    }
    if (std::fseek(file, static_cast<long>(offset), whence & ~AVSEEK_FORCE) != 0) return -1;
    return std::ftell(file);
}

}  // namespace

// ---- MediaInput ---------------------------------------------------------------

MediaInput::~MediaInput() {
    CloseContainer();
    if (file_ != nullptr) std::fclose(file_);
}

bool MediaInput::Open(const std::string& path) {
    av_log_set_level(AV_LOG_QUIET);  // damaged media is handled, not reported on the console
    path_ = path;
    file_ = std::fopen(path.c_str(), "rb");
    return file_ != nullptr && Reopen();
}

bool MediaInput::Reopen() {
    CloseContainer();
    if (file_ == nullptr || std::fseek(file_, 0, SEEK_SET) != 0) return false;
    auto* buffer = static_cast<uint8_t*>(av_malloc(kIoBufferSize));
    io_ = avio_alloc_context(buffer, kIoBufferSize, 0, file_, ReadFile, nullptr, SeekFile);
    format_ = avformat_alloc_context();
    if (io_ == nullptr || format_ == nullptr) {
        if (io_ == nullptr) av_free(buffer);
        CloseContainer();
        return false;
    }
    format_->pb = io_;
    // The name only helps probing by extension; the bytes come from file_.
    if (avformat_open_input(&format_, path_.c_str(), nullptr, nullptr) < 0) {
        CloseContainer();
        return false;
    }
    if (avformat_find_stream_info(format_, nullptr) < 0) {
        CloseContainer();
        return false;
    }
    return true;
}

void MediaInput::CloseContainer() {
    if (format_ != nullptr) avformat_close_input(&format_);  // also frees a context that failed to open
    if (io_ != nullptr) {
        av_freep(&io_->buffer);
        avio_context_free(&io_);
    }
}

int64_t MediaInput::DurationMs() const {
    if (format_ == nullptr || format_->duration == AV_NOPTS_VALUE || format_->duration <= 0) return 0;
    return format_->duration / 1000;  // AV_TIME_BASE is microseconds
}

AVCodecContext* MediaInput::OpenDecoder(int mediaType, int& streamIndex) const {
    streamIndex = -1;
    if (format_ == nullptr) return nullptr;
    const AVCodec* codec = nullptr;
    const int index = av_find_best_stream(format_, static_cast<AVMediaType>(mediaType), -1, -1, &codec, 0);
    if (index < 0 || codec == nullptr) return nullptr;
    AVCodecContext* context = avcodec_alloc_context3(codec);
    if (context == nullptr) return nullptr;
    if (avcodec_parameters_to_context(context, format_->streams[index]->codecpar) < 0 ||
        avcodec_open2(context, codec, nullptr) < 0) {
        avcodec_free_context(&context);
        return nullptr;
    }
    streamIndex = index;
    return context;
}

// ---- AudioConverter -----------------------------------------------------------

AudioConverter::~AudioConverter() { swr_free(&swr_); }

bool AudioConverter::Setup(const AVCodecContext* codec) {
    return Setup(codec->ch_layout, codec->sample_fmt, codec->sample_rate);
}

bool AudioConverter::Setup(const AVChannelLayout& layout, int sampleFormat, int sampleRate) {
    swr_free(&swr_);
    // A rate no sound device plays is a damaged header: the resampler's
    // filter for it would take minutes to build (a WAVE file claiming 267 MHz).
    constexpr int kMaxSampleRate = 768000;
    if (sampleRate <= 0 || sampleRate > kMaxSampleRate) return false;
    channels_ = layout.nb_channels;
    format_ = sampleFormat;
    rate_ = sampleRate;
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    AVChannelLayout input = layout;  // FFmpeg 5.1 takes the layouts without const
    if (swr_alloc_set_opts2(&swr_, &stereo, AV_SAMPLE_FMT_FLT, kMixRate, &input,
                            static_cast<AVSampleFormat>(sampleFormat), sampleRate, 0, nullptr) < 0)
        return false;
    if (layout.nb_channels == 1) {
        const double matrix[2] = {1.0, 1.0};  // the default mix would be 3 dB quieter
        swr_set_matrix(swr_, matrix, 1);
    }
    if (swr_init(swr_) < 0) {
        swr_free(&swr_);
        return false;
    }
    return true;
}

void AudioConverter::Convert(const AVFrame* frame, std::vector<float>& out) {
    if (frame != nullptr && (frame->ch_layout.nb_channels != channels_ || frame->format != format_ ||
                             frame->sample_rate != rate_)) {
        if (!Setup(frame->ch_layout, frame->format, frame->sample_rate)) return;
    }
    if (swr_ == nullptr) return;
    const int in = frame != nullptr ? frame->nb_samples : 0;
    const int room = swr_get_out_samples(swr_, in);
    if (room <= 0) return;
    const size_t at = out.size();
    out.resize(at + 2 * static_cast<size_t>(room));
    auto* target = reinterpret_cast<uint8_t*>(out.data() + at);
    const uint8_t** source = frame != nullptr ? const_cast<const uint8_t**>(frame->extended_data) : nullptr;
    const int made = swr_convert(swr_, &target, room, source, in);
    out.resize(at + 2 * static_cast<size_t>(made > 0 ? made : 0));
}

// ---- AudioFileDecoder ---------------------------------------------------------

AudioFileDecoder::~AudioFileDecoder() {
    StopDecoder();
    av_frame_free(&frame_);
}

bool AudioFileDecoder::Open(const std::string& path) {
    frame_ = av_frame_alloc();
    return frame_ != nullptr && input_.Open(path) && Start();
}

bool AudioFileDecoder::Start() {
    StopDecoder();
    codec_ = input_.OpenDecoder(AVMEDIA_TYPE_AUDIO, stream_);
    draining_ = false;
    return codec_ != nullptr && converter_.Setup(codec_);
}

void AudioFileDecoder::StopDecoder() { avcodec_free_context(&codec_); }

bool AudioFileDecoder::Rewind() { return input_.Reopen() && Start(); }

bool AudioFileDecoder::DecodeMore(std::vector<float>& out) {
    if (codec_ == nullptr) return false;
    const size_t before = out.size();
    while (out.size() == before) {
        const int got = avcodec_receive_frame(codec_, frame_);
        if (got == 0) {
            converter_.Convert(frame_, out);
            av_frame_unref(frame_);
            continue;
        }
        if (got == AVERROR_EOF) {
            converter_.Convert(nullptr, out);  // what the resampler still holds
            StopDecoder();
            return false;
        }
        if (got != AVERROR(EAGAIN)) return false;
        if (draining_) return false;
        AVPacket* packet = av_packet_alloc();
        if (packet == nullptr) return false;
        const int read = av_read_frame(input_.Format(), packet);
        if (read < 0) {
            draining_ = true;
            avcodec_send_packet(codec_, nullptr);
        } else if (packet->stream_index == stream_) {
            avcodec_send_packet(codec_, packet);  // a damaged packet is skipped
        }
        av_packet_free(&packet);
    }
    return true;
}

}  // namespace vtx
