// Mono float samples to an MP3 file through FFmpeg's MP3 encoder, with the
// bit-exact flags so that every run writes the same bytes.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

#include <cstdio>
#include <cstring>

#include "demo_media.h"

namespace demo {
namespace {

struct Encoder {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    bool headerWritten = false;
    ~Encoder() {
        if (headerWritten) av_write_trailer(format);
        if (format != nullptr && format->pb != nullptr) avio_closep(&format->pb);
        avformat_free_context(format);
        avcodec_free_context(&codec);
        av_frame_free(&frame);
        av_packet_free(&packet);
    }
};

// Sends one frame (null: the end) and writes every packet that comes out.
bool Drain(Encoder& e, AVStream* stream, const AVFrame* frame) {
    if (avcodec_send_frame(e.codec, frame) < 0) return false;
    while (true) {
        const int r = avcodec_receive_packet(e.codec, e.packet);
        if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
        if (r < 0) return false;
        av_packet_rescale_ts(e.packet, e.codec->time_base, stream->time_base);
        e.packet->stream_index = stream->index;
        if (av_interleaved_write_frame(e.format, e.packet) < 0) return false;
    }
}

}  // namespace

bool EncodeMp3(const std::string& path, const std::vector<float>& samples, int rate) {
    Encoder e;
    const AVCodec* mp3 = avcodec_find_encoder(AV_CODEC_ID_MP3);
    if (mp3 == nullptr) {
        std::fprintf(stderr, "make-demo-media: FFmpeg has no MP3 encoder\n");
        return false;
    }
    if (avformat_alloc_output_context2(&e.format, nullptr, "mp3", path.c_str()) < 0) return false;
    e.format->flags |= AVFMT_FLAG_BITEXACT;
    AVStream* stream = avformat_new_stream(e.format, nullptr);
    e.codec = avcodec_alloc_context3(mp3);
    if (stream == nullptr || e.codec == nullptr) return false;
    e.codec->sample_fmt = AV_SAMPLE_FMT_FLTP;
    e.codec->sample_rate = rate;
    e.codec->bit_rate = 128000;
    e.codec->flags |= AV_CODEC_FLAG_BITEXACT;
    e.codec->time_base = AVRational{1, rate};
    av_channel_layout_default(&e.codec->ch_layout, 1);
    if (avcodec_open2(e.codec, mp3, nullptr) < 0) return false;
    if (avcodec_parameters_from_context(stream->codecpar, e.codec) < 0) return false;
    stream->time_base = e.codec->time_base;
    if (avio_open(&e.format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) return false;
    if (avformat_write_header(e.format, nullptr) < 0) return false;
    e.headerWritten = true;

    e.frame = av_frame_alloc();
    e.packet = av_packet_alloc();
    if (e.frame == nullptr || e.packet == nullptr) return false;
    const int frameSize = e.codec->frame_size > 0 ? e.codec->frame_size : 1152;
    for (size_t at = 0; at < samples.size(); at += static_cast<size_t>(frameSize)) {
        av_frame_unref(e.frame);
        e.frame->format = AV_SAMPLE_FMT_FLTP;
        e.frame->sample_rate = rate;
        e.frame->nb_samples = frameSize;
        if (av_channel_layout_copy(&e.frame->ch_layout, &e.codec->ch_layout) < 0) return false;
        if (av_frame_get_buffer(e.frame, 0) < 0) return false;
        const size_t n = std::min(samples.size() - at, static_cast<size_t>(frameSize));
        float* to = reinterpret_cast<float*>(e.frame->data[0]);
        std::memcpy(to, samples.data() + at, n * sizeof(float));
        std::fill(to + n, to + frameSize, 0.0f);
        e.frame->pts = static_cast<int64_t>(at);
        if (!Drain(e, stream, e.frame)) return false;
    }
    return Drain(e, stream, nullptr);
}

}  // namespace demo
