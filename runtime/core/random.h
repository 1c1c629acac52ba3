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

namespace vtx {

// The generator by its published definition, usable on its own.
class IsaacGenerator {
public:
    static constexpr int kSizeLog = 8;
    static constexpr int kSize = 1 << kSizeLog;

    // Initialises from the given seed words (results array), all 256 of them.
    void init(const uint32_t (&seedWords)[kSize]);
    // The next 32-bit output, taking each batch from its last word down.
    uint32_t next();
    // Runs one batch: fills results() with 256 new words.
    void generate();
    const uint32_t* results() const { return results_; }

private:
    uint32_t results_[kSize] = {};
    uint32_t memory_[kSize] = {};
    uint32_t a_ = 0, b_ = 0, c_ = 0;
    uint32_t count_ = 0;  // results left in the current batch
};

// The generator used by SeedRandom and RandomInt.
IsaacGenerator& RuntimeRandom();

}  // namespace vtx
