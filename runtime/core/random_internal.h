// What the runtime shares about random beyond its commands.
#pragma once

#include <cstdint>

#include "random.h"

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
