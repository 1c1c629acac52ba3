// A Vantrix program that looks up each of its arguments through both pack
// resolvers and prints what it finds, one line per lookup:
//   loader NAME -> memory|disk SIZE CHECKSUM HEAD   (or: loader NAME -> missing)
//   media NAME -> temp|disk SIZE CHECKSUM PATH      (or: media NAME -> missing)
//   previous PATH gone|present                      (after a media lookup that
//                                                    followed a temporary result)
// CHECKSUM is the 64-bit FNV-1a of the contents in hex, HEAD up to the first
// 16 bytes in hex ("-" when empty). The last line is "done".
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <vantrix/vantrix.h>

#include "tests/support/probe_output.h"

#include "files/memory_names.h"
#include "files/pack_resolver_internal.h"
#include "platform/platform.h"

namespace {

// Reads a whole file (disk or memory name) through RtFile; false when it
// cannot be opened or read.
bool ReadThroughRtFile(const char* name, std::vector<uint8_t>& bytes) {
    RtFile file;
    if (!file.openRead(name)) return false;
    bytes.resize(static_cast<size_t>(file.size()));
    const bool ok = bytes.empty() || file.read(bytes.data(), file.size());
    file.close();
    return ok;
}

// 64-bit FNV-1a of the bytes, as 16 hex digits.
std::string Checksum(const std::vector<uint8_t>& bytes) {
    uint64_t hash = 14695981039346656037ull;
    for (const uint8_t b : bytes) hash = (hash ^ b) * 1099511628211ull;
    char text[20];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

// Up to the first 16 bytes in hex; "-" when there are none.
std::string Head(const std::vector<uint8_t>& bytes) {
    if (bytes.empty()) return "-";
    std::string text;
    for (size_t i = 0; i < bytes.size() && i < 16; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x", bytes[i]);
        text += hex;
    }
    return text;
}

// True when something exists under path.
bool FileExistsOnDisk(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// One lookup through the loader resolver, to memory.
void ProbeLoader(const std::string& name) {
    RtString result;
    std::vector<uint8_t> bytes;
    if (!vtx::ResolveFile(vtx::LoaderResolver(), RtString(name.c_str()), result, true) ||
        !ReadThroughRtFile(result.c_str(), bytes)) {
        std::printf("loader %s -> missing\n", name.c_str());
        return;
    }
    const char* kind = vtx::IsMemoryName(result.c_str()) ? "memory" : "disk";
    std::printf("loader %s -> %s %zu %s %s\n", name.c_str(), kind, bytes.size(), Checksum(bytes).c_str(),
                Head(bytes).c_str());
}

// One lookup through the media resolver, to a file; reports whether the
// previous temporary result is gone.
void ProbeMedia(const std::string& name, std::string& previousTemp) {
    RtString result;
    std::vector<uint8_t> bytes;
    const bool found = vtx::ResolveFile(vtx::MediaResolver(), RtString(name.c_str()), result, false) &&
                       ReadThroughRtFile(result.c_str(), bytes);
    if (!previousTemp.empty())
        std::printf("previous %s %s\n", previousTemp.c_str(), FileExistsOnDisk(previousTemp) ? "present" : "gone");
    previousTemp.clear();
    if (!found) {
        std::printf("media %s -> missing\n", name.c_str());
        return;
    }
    const std::string path = result.c_str();
    const bool temp = path != name && path.rfind(vtx::platform::TempFolder(), 0) == 0;
    if (temp) previousTemp = path;
    std::printf("media %s -> %s %zu %s %s\n", name.c_str(), temp ? "temp" : "disk", bytes.size(),
                Checksum(bytes).c_str(), path.c_str());
}

}  // namespace

// Probes every argument in turn, then says "done".
void AppMain() {
    std::string previousTemp;
    for (const std::string& name : Arguments()) {
        ProbeLoader(name);
        ProbeMedia(name, previousTemp);
    }
    std::printf("done\n");
}
