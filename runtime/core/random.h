// The runtime's random generator: one process-wide ISAAC generator
// (32-bit words, 256-word state), seeded from the clock at start-up.
#pragma once

#include <cstdint>

// Clears the generator and reinitialises it from seed; the same seed always
// gives the same sequence.
void SeedRandom(int32_t seed);
// 0 when n <= 0 (the generator does not advance); otherwise one 32-bit output
// modulo (n + 1), so 0 to n inclusive.
int32_t RandomInt(int32_t n);
