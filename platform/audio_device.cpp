// SDL2 stand-in for the sound hardware: one output device.
#include "audio_device.h"

#include <SDL.h>

namespace vtx::platform {
namespace {

struct OpenDevice {
    SDL_AudioDeviceID id = 0;
    bool subsystem = false;  // SDL_InitSubSystem succeeded (else SDL_AudioInit was used)
    AudioPull pull = nullptr;
    void* user = nullptr;
};
OpenDevice Device;

void Callback(void*, Uint8* stream, int bytes) {
    Device.pull(reinterpret_cast<int16_t*>(stream), bytes / 4, Device.user);
}

SDL_AudioDeviceID OpenDefault() {
    SDL_AudioSpec wanted{};
    wanted.freq = kAudioRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = 1024;
    wanted.callback = Callback;
    return SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);  // SDL converts when the device differs
}

}  // namespace

bool OpenAudioDevice(AudioPull pull, void* user) {
    if (Device.id != 0) return true;
    Device.pull = pull;
    Device.user = user;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        Device.id = OpenDefault();
        if (Device.id != 0) {
            Device.subsystem = true;
            SDL_PauseAudioDevice(Device.id, 0);
            return true;
        }
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    // No device on the configured driver (ALSA without a card fails to open):
    // the dummy driver keeps the program's sound clock running in silence.
    if (SDL_AudioInit("dummy") != 0) return false;
    Device.id = OpenDefault();
    if (Device.id == 0) {
        SDL_AudioQuit();
        return false;
    }
    Device.subsystem = false;
    SDL_PauseAudioDevice(Device.id, 0);
    return true;
}

void CloseAudioDevice() {
    if (Device.id == 0) return;
    SDL_CloseAudioDevice(Device.id);
    Device.id = 0;
    if (Device.subsystem)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    else
        SDL_AudioQuit();
}

}  // namespace vtx::platform
