// Fuzzes the line-store reader on raw bytes: at most 256 lines of at most
// 1023 characters, none holding a line ending, and what is written reads
// back as the same lines.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "files/line_store_internal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RtString lines[vtx::kLineStoreLines];
    const int32_t count = vtx::ParseLineStore(reinterpret_cast<const char*>(data), size, lines);
    if (count < 0 || count > vtx::kLineStoreLines) std::abort();
    for (const RtString& line : lines) {
        if (line.length() > vtx::kLineStoreLineLength) std::abort();
        if (std::memchr(line.c_str(), '\n', line.length()) || std::memchr(line.c_str(), '\r', line.length()))
            std::abort();
    }
    const int32_t highest = count > 0 ? count - 1 : 0;
    const std::string written = vtx::FormatLineStore(lines, highest);
    RtString back[vtx::kLineStoreLines];
    const int32_t backCount = vtx::ParseLineStore(written.data(), written.size(), back);
    if (backCount != highest + 1) std::abort();
    for (int32_t n = 0; n < vtx::kLineStoreLines; ++n)
        if (std::strcmp(back[n].c_str(), lines[n].c_str()) != 0) std::abort();
    return 0;
}
