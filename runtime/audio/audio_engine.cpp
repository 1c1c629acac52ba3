// The audio engine's output: the device, or a silent clock without one.
#include "audio/audio_engine.h"

#include <atomic>
#include <cstdlib>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/audio_device.h"

namespace vtx {
namespace {

// Never destroyed: players held by other process-wide records may still
// leave the mixer while the process exits.
AudioEngine& Engine = *new AudioEngine;

struct SilentClock {
    std::thread thread;
    std::atomic<bool> running{false};
};
SilentClock Silent;

void Pull(int16_t* out, int frames, void* user) { static_cast<Mixer*>(user)->Render(out, frames); }

// Renders 1024 frames every 1024 / 44100 s and drops them.
void RunSilentClock() {
    constexpr int kFrames = 1024;
    std::vector<float> buffer(2 * kFrames);
    auto next = std::chrono::steady_clock::now();
    while (Silent.running.load()) {
        Engine.mixer.Render(buffer.data(), kFrames);
        next += std::chrono::microseconds(kFrames * 1000000LL / kMixRate);
        std::this_thread::sleep_until(next);
    }
}

}  // namespace

AudioEngine& Audio() { return Engine; }

void StartAudioOutput(bool useDevice) {
    if (Engine.started) return;
    static const bool stopAtExit = std::atexit([] { StopAudioOutput(); }) == 0;  // no pulling during exit
    (void)stopAtExit;
    Engine.started = true;
    Engine.hardware = useDevice && platform::OpenAudioDevice(Pull, &Engine.mixer);
    if (Engine.hardware) return;
    Silent.running = true;
    Silent.thread = std::thread(RunSilentClock);
}

void StopAudioOutput() {
    if (!Engine.started) return;
    if (Engine.hardware) {
        platform::CloseAudioDevice();
    } else {
        Silent.running = false;
        Silent.thread.join();
    }
    Engine.started = false;
    Engine.hardware = false;
}

}  // namespace vtx
