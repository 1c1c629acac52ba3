// Runtime clock over the high-resolution counter or the tick count.
#include "host/clock.h"

#include <cstdint>

#include "host/host_state.h"
#include "platform/platform.h"

namespace {

struct ClockState {
    bool highResolution = false;
    double frequency = 0;  // counter ticks per second
    double base = 0;       // ms; 0 until the first reading
};

ClockState Clock;

}  // namespace

void InitClock() {
    Clock.highResolution = false;
    int64_t frequency = 0;
    if (vtx::platform::CounterFrequency(frequency) && frequency > 0) {
        Clock.highResolution = true;
        Clock.frequency = static_cast<double>(frequency);
    }
}

double ReadClock() {
    double now;
    if (Clock.highResolution) {
        // counter x 1000 in 64-bit integers, then divided by the frequency
        const int64_t scaled = static_cast<int64_t>(static_cast<uint64_t>(vtx::platform::Counter()) * 1000u);
        now = static_cast<double>(scaled) / Clock.frequency;
    } else {
        now = static_cast<double>(vtx::platform::TickCount());
    }
    if (Clock.base == 0) Clock.base = now;
    return now - Clock.base;
}

double GetElapsedTime() { return ReadClock() - vtx::Host.engineStartTime; }
