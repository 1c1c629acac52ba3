// WAVE files made by the sound tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace wave_test {

struct Chunk {
    std::string id;
    std::vector<uint8_t> body;
};

inline void Put(std::vector<uint8_t>& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A "fmt " body: tag, channels, rate, bits; extra bytes after the first 16.
inline std::vector<uint8_t> Format(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits,
                                   const std::vector<uint8_t>& extra = {}) {
    std::vector<uint8_t> f;
    const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    Put(f, tag, 2), Put(f, channels, 2), Put(f, rate, 4), Put(f, rate * align, 4), Put(f, align, 2), Put(f, bits, 2);
    f.insert(f.end(), extra.begin(), extra.end());
    return f;
}

// RIFF/WAVE around the chunks; odd chunks get their pad byte.
inline std::vector<uint8_t> Riff(const std::vector<Chunk>& chunks) {
    std::vector<uint8_t> out = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (const Chunk& c : chunks) {
        out.insert(out.end(), c.id.begin(), c.id.end());
        Put(out, static_cast<uint32_t>(c.body.size()), 4);
        out.insert(out.end(), c.body.begin(), c.body.end());
        if (c.body.size() % 2 != 0) out.push_back(0);
    }
    const uint32_t size = static_cast<uint32_t>(out.size() - 8);
    std::memcpy(&out[4], &size, 4);
    return out;
}

inline std::vector<uint8_t> Pcm16(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> d;
    for (int16_t s : samples) Put(d, static_cast<uint16_t>(s), 2);
    return d;
}

inline std::vector<uint8_t> Float32(const std::vector<float>& samples) {
    std::vector<uint8_t> d(samples.size() * 4);
    std::memcpy(d.data(), samples.data(), d.size());
    return d;
}

// A mono 16-bit 44 100 Hz file of n frames of one value.
inline std::vector<uint8_t> Constant16(int16_t value, size_t n) {
    return Riff({{"fmt ", Format(1, 1, 44100, 16)}, {"data", Pcm16(std::vector<int16_t>(n, value))}});
}

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

}  // namespace wave_test
