// Channel line reading: ReadLine over a 10 MB text file against std::getline
// on an std::ifstream of the same file (the anchor), best of 5 rounds each,
// alternating. Lines are 1 to 120 characters, a third of them ended by LF
// alone, the rest by CR LF. Also ReadInt32 over a 4 MB binary file against
// std::ifstream::read of 4 bytes at a time.
// Run: build/bench/bench_channels
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <vantrix/vantrix.h>

#include "bench_support.h"

namespace {

using bench::Best;

std::string TempPath(const char* name) {
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp != nullptr && *tmp != 0 ? tmp : "/tmp") + "/" + name + "-" + std::to_string(getpid());
}

// About 10 MB of text lines; the number of lines.
size_t WriteTextFile(const std::string& path) {
    bench::Xorshift random;
    std::string text;
    size_t lines = 0;
    while (text.size() < 10u * 1000 * 1000) {
        const size_t length = 1 + random.next() % 120;
        for (size_t i = 0; i < length; ++i) text += static_cast<char>('a' + random.next() % 26);
        text += lines % 3 == 0 ? "\n" : "\r\n";
        ++lines;
    }
    std::ofstream(path, std::ios::binary) << text;
    return lines;
}

}  // namespace

int main() {
    const std::string textPath = TempPath("vtx-bench-lines.txt");
    const size_t lines = WriteTextFile(textPath);
    size_t sink = 0;

    double anchor = 1e30, ours = 1e30;
    for (int round = 0; round < 5; ++round) {
        anchor = std::min(anchor, Best(1, [&] {
            std::ifstream in(textPath, std::ios::binary);
            std::string line;
            while (std::getline(in, line)) {
                if (!line.empty() && line.back() == '\r') line.pop_back();
                sink += line.size();
            }
        }));
        ours = std::min(ours, Best(1, [&] {
            if (!OpenChannel(0, RtString(textPath.c_str()), 1)) std::exit(1);
            RtString line;
            for (size_t n = 0; n < lines; ++n) {
                ReadLine(0, line);
                sink += line.length();
            }
            CloseChannel(0);
        }));
    }
    std::printf("ReadLine, %zu lines in 10 MB:\n", lines);
    std::printf("  std::getline   %8.1f ms  (anchor)\n", anchor * 1e3);
    std::printf("  ReadLine       %8.1f ms  -> %.2fx the anchor's speed\n", ours * 1e3, anchor / ours);

    const std::string binaryPath = TempPath("vtx-bench-values.bin");
    constexpr int32_t kValues = 1 << 20;
    {
        std::string bytes(static_cast<size_t>(kValues) * 4, '\0');
        bench::Xorshift random;
        for (char& c : bytes) c = static_cast<char>(random.next());
        std::ofstream(binaryPath, std::ios::binary) << bytes;
    }
    double binaryAnchor = 1e30, binaryOurs = 1e30;
    for (int round = 0; round < 5; ++round) {
        binaryAnchor = std::min(binaryAnchor, Best(1, [&] {
            std::ifstream in(binaryPath, std::ios::binary);
            int32_t value;
            for (int32_t n = 0; n < kValues; ++n) {
                in.read(reinterpret_cast<char*>(&value), 4);
                sink += static_cast<uint32_t>(value);
            }
        }));
        binaryOurs = std::min(binaryOurs, Best(1, [&] {
            if (!OpenChannel(0, RtString(binaryPath.c_str()), 1)) std::exit(1);
            int32_t value;
            for (int32_t n = 0; n < kValues; ++n) {
                ReadInt32(0, value);
                sink += static_cast<uint32_t>(value);
            }
            CloseChannel(0);
        }));
    }
    std::printf("ReadInt32, %d values:\n", kValues);
    std::printf("  ifstream::read %8.1f ms  (anchor)\n", binaryAnchor * 1e3);
    std::printf("  ReadInt32      %8.1f ms  -> %.2fx the anchor's speed\n", binaryOurs * 1e3, binaryAnchor / binaryOurs);

    std::remove(textPath.c_str());
    std::remove(binaryPath.c_str());
    return sink == 42 ? 1 : 0;
}
