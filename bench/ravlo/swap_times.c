/* Preloaded into ravlo by bench_ravlo: notes the time of every buffer swap
   and writes them (nanoseconds of CLOCK_MONOTONIC, one a line) to the file
   named by VTX_SWAP_TIMES when the program ends. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

enum { kMaxSwaps = 1 << 20 };
static long long swaps[kMaxSwaps];
static int swapCount;

void SDL_GL_SwapWindow(void* window) {
    static void (*real)(void*);
    if (real == NULL) real = (void (*)(void*))dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    real(window);
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    if (swapCount < kMaxSwaps) swaps[swapCount++] = (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
}

__attribute__((destructor)) static void WriteSwapTimes(void) {
    const char* name = getenv("VTX_SWAP_TIMES");
    FILE* out = name != NULL ? fopen(name, "w") : NULL;
    if (out == NULL) return;
    for (int i = 0; i < swapCount; ++i) fprintf(out, "%lld\n", swaps[i]);
    fclose(out);
}
