// Fuzzes the music and movie players over FFmpeg with any bytes as a media
// file: opening, decoding ahead, mixing, restarting and picture conversion
// must never read or write out of bounds, and pictures keep their size.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/mixer.h"
#include "audio/movie_player.h"
#include "audio/music_player.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 256 * 1024) return 0;
    static const std::string path = "/tmp/vtx-fuzz-media-" + std::to_string(getpid());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    vtx::Mixer mixer;
    std::vector<float> out(2 * 2048);
    {
        vtx::MusicPlayer music(mixer);
        if (music.Open(path)) {
            music.Play();
            for (int i = 0; i < 8; ++i) mixer.Render(out.data(), 2048);
            music.SeekToStart();
            mixer.Render(out.data(), 2048);
            if (music.PositionMs() < 0 || music.LengthMs() < 0) std::abort();
        }
    }
    {
        vtx::MoviePlayer movie(mixer);
        if (movie.Open(path)) {
            movie.Play();
            for (int ms = 0; ms <= 2000; ms += 100) {
                movie.Advance(ms);
                if (movie.Picture().size() != static_cast<size_t>(movie.Width()) * movie.Height() * 4) std::abort();
                mixer.Render(out.data(), 2048);
            }
            movie.Rewind();
            movie.Advance(100);
        }
    }
    std::remove(path.c_str());
    return 0;
}
