// ISAAC random generator (published definition: golden-ratio initial mix,
// batches of 256 results) and the commands built on it.
#include "core/random_internal.h"

namespace vtx {
namespace {

inline void Mix(uint32_t& a, uint32_t& b, uint32_t& c, uint32_t& d, uint32_t& e, uint32_t& f, uint32_t& g,
                uint32_t& h) {
    a ^= b << 11; d += a; b += c;
    b ^= c >> 2;  e += b; c += d;
    c ^= d << 8;  f += c; d += e;
    d ^= e >> 16; g += d; e += f;
    e ^= f << 10; h += e; f += g;
    f ^= g >> 4;  a += f; g += h;
    g ^= h << 8;  b += g; h += a;
    h ^= a >> 9;  c += h; a += b;
}

}  // namespace

void IsaacGenerator::generate() {
    constexpr int half = kSize / 2;
    uint32_t a = a_;
    uint32_t b = b_ + (++c_);
    auto step = [&](int i, uint32_t mixed, int other) {
        const uint32_t x = memory_[i];
        a = mixed + memory_[other];
        const uint32_t y = memory_[(x >> 2) & (kSize - 1)] + a + b;
        memory_[i] = y;
        b = memory_[(y >> (kSizeLog + 2)) & (kSize - 1)] + x;
        results_[i] = b;
    };
    for (int i = 0; i < kSize; i += 4) {
        const int other = (i + half) % kSize;
        step(i, a ^ (a << 13), other);
        step(i + 1, a ^ (a >> 6), other + 1);
        step(i + 2, a ^ (a << 2), other + 2);
        step(i + 3, a ^ (a >> 16), other + 3);
    }
    b_ = b;
    a_ = a;
}

void IsaacGenerator::init(const uint32_t (&seedWords)[kSize]) {
    a_ = b_ = c_ = 0;
    for (int i = 0; i < kSize; ++i) results_[i] = seedWords[i];
    uint32_t a, b, c, d, e, f, g, h;
    a = b = c = d = e = f = g = h = 0x9e3779b9u;  // the golden ratio
    for (int i = 0; i < 4; ++i) Mix(a, b, c, d, e, f, g, h);
    for (int pass = 0; pass < 2; ++pass) {
        const uint32_t* source = pass == 0 ? results_ : memory_;
        for (int i = 0; i < kSize; i += 8) {
            a += source[i]; b += source[i + 1]; c += source[i + 2]; d += source[i + 3];
            e += source[i + 4]; f += source[i + 5]; g += source[i + 6]; h += source[i + 7];
            Mix(a, b, c, d, e, f, g, h);
            memory_[i] = a; memory_[i + 1] = b; memory_[i + 2] = c; memory_[i + 3] = d;
            memory_[i + 4] = e; memory_[i + 5] = f; memory_[i + 6] = g; memory_[i + 7] = h;
        }
    }
    generate();
    count_ = kSize;
}

uint32_t IsaacGenerator::next() {
    if (count_ == 0) {
        generate();
        count_ = kSize;
    }
    return results_[--count_];
}

IsaacGenerator& RuntimeRandom() {
    static IsaacGenerator generator;
    return generator;
}

}  // namespace vtx

void SeedRandom(int32_t seed) {
    uint32_t words[vtx::IsaacGenerator::kSize] = {};
    words[0] = static_cast<uint32_t>(seed);
    vtx::RuntimeRandom().init(words);
}

int32_t RandomInt(int32_t n) {
    if (n <= 0) return 0;
    return static_cast<int32_t>(vtx::RuntimeRandom().next() % (static_cast<uint32_t>(n) + 1u));
}
