// The program bench_startup starts: the runtime's full start-up, then an
// AppMain that prints CLOCK_MONOTONIC in nanoseconds on one line and returns
// (which ends the program with exit code 0).
// Run it through bench_startup:
//   tests/harness/vtx-test-env --xvfb build/bench/bench_startup
#include <time.h>

#include <cstdio>

#include <vantrix/vantrix.h>

// Reports the moment AppMain starts, right after "Init Finalized" is logged.
void AppMain() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::printf("%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    std::fflush(stdout);
}
