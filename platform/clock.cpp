// Clock stand-ins: the monotonic clock serves as the high-resolution counter.
#include <time.h>

#include <cerrno>

#include "platform.h"

namespace vtx::platform {

bool CounterFrequency(int64_t& ticksPerSecond) noexcept {
    timespec resolution{};
    if (clock_getres(CLOCK_MONOTONIC, &resolution) != 0) return false;
    // The counter counts microseconds: fine enough for frame timing, and the
    // clock's "ticks x 1000" stays inside 64 bits for centuries of uptime.
    ticksPerSecond = 1000000;
    return true;
}

int64_t Counter() noexcept {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

uint32_t TickCount() noexcept {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000 + static_cast<uint64_t>(now.tv_nsec) / 1000000);
}

void SleepMilliseconds(uint32_t ms) noexcept {
    timespec wait{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000};
    while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
    }
}

}  // namespace vtx::platform
