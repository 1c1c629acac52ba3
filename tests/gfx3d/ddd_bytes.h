// Builds .ddd files byte by byte for the mesh tests, and small helpers to
// write and read files and the error log.
#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/error_log.h"

class DddBytes {
public:
    DddBytes& u8(uint8_t v) {
        bytes.push_back(v);
        return *this;
    }
    DddBytes& u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }
    DddBytes& i32(int32_t v) { return u32(static_cast<uint32_t>(v)); }
    DddBytes& f32(float f) {
        uint32_t u = 0;
        std::memcpy(&u, &f, 4);
        return u32(u);
    }
    DddBytes& f64(double d) {
        uint64_t u = 0;
        std::memcpy(&u, &d, 8);
        u32(static_cast<uint32_t>(u));
        return u32(static_cast<uint32_t>(u >> 32));
    }
    // Magic, version, frame, colour and texture-pair counts.
    DddBytes& header(double version, int32_t frames, int32_t colours, int32_t pairs) {
        bytes.insert(bytes.end(), kMagic, kMagic + 4);
        return f64(version).i32(frames).i32(colours).i32(pairs);
    }
    // A version 2.0 vertex record.
    DddBytes& vertex20(float x, float y, float z, uint8_t normal, uint8_t colour) {
        return f32(x).f32(y).f32(z).u8(normal).u8(colour);
    }
    std::vector<uint8_t> bytes;

private:
    static constexpr uint8_t kMagic[4] = {0x17, 0xB3, 0xC6, 0x00};
};

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string ErrorLogText() {
    const std::vector<uint8_t> bytes = ReadBytes(vtx::ErrorLogPath());
    return std::string(bytes.begin(), bytes.end());
}
