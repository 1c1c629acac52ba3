// FFmpeg access for music and movies: a media file held open by the runtime
// (so a temporary file deleted by a later lookup still plays and rewinds),
// its decoders, and sound conversion to the mixer's stereo float format.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct AVFormatContext;
struct AVIOContext;
struct AVCodecContext;
struct AVFrame;
struct SwrContext;
struct AVChannelLayout;

namespace vtx {

class MediaInput {
public:
    MediaInput() = default;
    ~MediaInput();
    MediaInput(const MediaInput&) = delete;
    MediaInput& operator=(const MediaInput&) = delete;

    // Opens the file and its container; false when it cannot be read.
    bool Open(const std::string& path);
    // Opens the container again from the first byte: decoding restarts
    // exactly as it first began.
    bool Reopen();
    AVFormatContext* Format() const { return format_; }
    // The container's duration in ms; 0 when unknown.
    int64_t DurationMs() const;
    // A decoder for the best stream of that type (AVMEDIA_TYPE_*); null if none.
    AVCodecContext* OpenDecoder(int mediaType, int& streamIndex) const;

private:
    void CloseContainer();

    std::FILE* file_ = nullptr;
    std::string path_;
    AVIOContext* io_ = nullptr;
    AVFormatContext* format_ = nullptr;
};

// Decoded sound frames to stereo float at the mix rate. Mono becomes the
// same signal on both sides at full level.
class AudioConverter {
public:
    ~AudioConverter();
    bool Setup(const AVCodecContext* codec);
    // Appends the converted frames (interleaved) to out; a null frame drains.
    // A frame whose format differs from the last one sets the converter up anew.
    void Convert(const AVFrame* frame, std::vector<float>& out);

private:
    bool Setup(const AVChannelLayout& layout, int sampleFormat, int sampleRate);

    SwrContext* swr_ = nullptr;
    int channels_ = 0, format_ = -1, rate_ = 0;
};

// The sound of a media file, decoded in order.
class AudioFileDecoder {
public:
    ~AudioFileDecoder();
    bool Open(const std::string& path);
    int64_t DurationMs() const { return input_.DurationMs(); }
    // Appends the next decoded frames to out; false once the end is reached
    // (out may still have grown) or on a read error.
    bool DecodeMore(std::vector<float>& out);
    // Back to the first sample.
    bool Rewind();

private:
    bool Start();
    void StopDecoder();

    MediaInput input_;
    AVCodecContext* codec_ = nullptr;
    AudioConverter converter_;
    AVFrame* frame_ = nullptr;
    int stream_ = -1;
    bool draining_ = false;
};

}  // namespace vtx
