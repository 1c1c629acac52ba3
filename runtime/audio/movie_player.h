// The movie player: pictures (converted to RGBA) and sound of a media file,
// decoded on the movie loop's thread a few pictures ahead of the movie clock.
// The sound goes to the mixer as a stream.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "audio/media_input.h"
#include "audio/mixer.h"

struct SwsContext;

namespace vtx {

class MoviePlayer : public MixerStream {
public:
    explicit MoviePlayer(Mixer& mixer);
    ~MoviePlayer() override;
    MoviePlayer(const MoviePlayer&) = delete;
    MoviePlayer& operator=(const MoviePlayer&) = delete;

    // False when the file has neither pictures nor sound that can be decoded.
    bool Open(const std::string& path);
    // The natural picture size; 0 x 0 without pictures.
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    int32_t LengthMs() const;
    // Starts the sound; positions count from here.
    void Play();
    // Back to the first picture and sample.
    bool Rewind();
    // Decodes what is due at positionMs; true when the picture changed.
    bool Advance(double positionMs);
    // The current picture, width x height RGBA, top row first.
    const std::vector<uint8_t>& Picture() const { return picture_; }

    void MixInto(float* out, int frames) override;

private:
    struct PictureFrame {
        double ms = 0;
        std::vector<uint8_t> rgba;
    };
    bool OpenDecoders();
    void CloseDecoders();
    bool NeedsMore();
    void ReadPacket();
    void ReceivePictures();
    void ReceiveSound();

    Mixer& mixer_;
    bool inMixer_ = false;
    MediaInput input_;
    AVCodecContext* video_ = nullptr;
    AVCodecContext* audio_ = nullptr;
    int videoStream_ = -1, audioStream_ = -1;
    AudioConverter converter_;
    SwsContext* sws_ = nullptr;
    AVFrame* frame_ = nullptr;
    int32_t width_ = 0, height_ = 0;
    int pixelFormat_ = -1;  // pictures in another format or size are skipped
    bool ended_ = false;
    double lastMs_ = 0;  // time of the latest decoded picture
    std::deque<PictureFrame> queue_;
    std::vector<uint8_t> picture_;
    std::vector<float> decodedSound_;
    std::mutex soundLock_;
    std::vector<float> sound_;  // stereo frames waiting for the mixer
    size_t soundAt_ = 0;
    bool playing_ = false;
};

}  // namespace vtx
