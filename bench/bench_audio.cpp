// Audio costs: the mixer with 256 voices, music decoding while playing an
// MP3, and the gap at a loop restart. Figures are ratios: CPU time against
// the length of the audio it produced, and the gap against one frame at
// 60 frames per second (735 samples). Needs the ffmpeg command.
#include <time.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "audio/mixer.h"
#include "audio/music_player.h"
#include "bench_support.h"

namespace {

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

std::shared_ptr<vtx::SampleBlock> Noise(uint32_t rate, uint32_t channels, double seconds, bench::Xorshift& random) {
    auto block = std::make_shared<vtx::SampleBlock>();
    block->rate = rate;
    block->channels = channels;
    block->frames = static_cast<uint64_t>(rate * seconds);
    block->samples.resize(block->frames * channels);
    for (float& s : block->samples) s = static_cast<float>(random.next() % 2001) / 1000.0f - 1.0f;
    return block;
}

void MixerCost() {
    bench::Xorshift random;
    const auto blocks = {Noise(11025, 1, 11, random), Noise(22050, 2, 11, random), Noise(44100, 1, 11, random),
                         Noise(48000, 2, 11, random)};
    const double seconds = 10;
    const int frames = static_cast<int>(seconds * vtx::kMixRate);
    const double best = bench::Best(3, [&] {
        vtx::Mixer mixer;
        int n = 0;
        for (int v = 0; v < 256; ++v) {
            const auto& block = *(blocks.begin() + v % 4);
            const vtx::Mixer::VoiceId id = mixer.AddVoice(block);
            mixer.SetVoiceLevels(id, -(n++ % 2000), (v * 79) % 20001 - 10000);
            mixer.PlayVoice(id);
        }
        std::vector<int16_t> out(2 * 1024);
        for (int done = 0; done < frames; done += 1024) mixer.Render(out.data(), 1024);
    });
    std::printf("mixer, 256 voices, 10 s of audio: %.3f s on one thread (best of 3), ratio %.4f of real time\n", best,
                best / seconds);
}

// Renders the whole piece as fast as decoding allows; CPU time against its length.
void MusicDecodeShare(const std::string& mp3) {
    vtx::Mixer mixer;
    vtx::MusicPlayer player(mixer);
    if (!player.Open(mp3)) {
        std::printf("music: cannot open %s\n", mp3.c_str());
        return;
    }
    player.Play();
    std::vector<float> out(2 * 1024);
    const double cpu = CpuSeconds();
    int32_t last = -1;
    while (player.PositionMs() < player.EndMs()) {
        mixer.Render(out.data(), 1024);
        if (player.PositionMs() == last) std::this_thread::sleep_for(std::chrono::microseconds(200));
        last = player.PositionMs();
    }
    const double used = CpuSeconds() - cpu;
    const double length = player.LengthMs() / 1000.0;
    std::printf("music decode while playing a %.0f s MP3: %.3f s CPU, share %.4f of one core\n", length, used,
                used / length);
}

// Silent output frames between a restart and the piece's start (the worst
// of ten restarts), and the fastest restart call.
void RestartGap(const std::string& mp3) {
    vtx::Mixer mixer;
    vtx::MusicPlayer player(mixer);
    if (!player.Open(mp3)) return;
    player.Play();
    std::vector<float> out(2 * 512);
    int worstGap = 0;
    double bestUs = 1e30;
    for (int round = 0; round < 10; ++round) {
        for (int i = 0; i < 120; ++i) {  // 1.4 s in: past the kept first second
            mixer.Render(out.data(), 512);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        const auto start = std::chrono::steady_clock::now();
        player.SeekToStart();
        bestUs = std::min(bestUs, std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
        mixer.Render(out.data(), 512);
        int gap = 0;
        while (gap < 511 && std::fabs(out[2 * gap]) < 1e-4f && std::fabs(out[2 * gap + 2]) < 1e-4f) ++gap;
        worstGap = std::max(worstGap, gap);
    }
    std::printf("loop restart, 10 restarts: worst gap %d samples (%.3f of a 60 fps frame), fastest restart call %.1f us\n",
                worstGap, worstGap / 735.0, bestUs);
}

}  // namespace

int main() {
    MixerCost();
    const char* tmp = std::getenv("TMPDIR");
    const std::string mp3 = std::string(tmp != nullptr ? tmp : "/tmp") + "/bench_audio_tone.mp3";
    const std::string make = "ffmpeg -nostdin -v error -y -f lavfi -i sine=frequency=440:duration=30 -ac 2 "
                             "-c:a libmp3lame -b:a 192k '" + mp3 + "'";
    if (std::system(make.c_str()) != 0) {
        std::printf("music: ffmpeg could not make the MP3\n");
        return 0;
    }
    MusicDecodeShare(mp3);
    RestartGap(mp3);
    std::remove(mp3.c_str());
    return 0;
}
