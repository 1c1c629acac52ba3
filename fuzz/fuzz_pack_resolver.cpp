// Fuzzes the pack resolvers on an archive held in memory: the input is
// registered as a memory block, both resolvers point at it, and a few names
// (one taken from the input's own directory, the others fixed) are resolved
// and their results read back through RtFile.
//
// Besides memory safety it checks that both resolvers agree: for the same
// name the loader's memory block and the media resolver's temporary file
// hold the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/rt_string.h"
#include "files/memory_names.h"
#include "files/pack_archive.h"
#include "files/pack_resolver_internal.h"
#include "files/rt_file.h"

namespace {

// Reads everything an RtFile name holds, with a seek and a short read at the
// end as loaders do; false when it does not open.
bool ReadAll(const RtString& name, std::vector<uint8_t>& bytes) {
    RtFile file;
    if (!file.openRead(name.c_str())) return false;
    bytes.assign(static_cast<size_t>(file.size()), 0);
    if (!bytes.empty() && !file.read(bytes.data(), file.size())) std::abort();
    if (!file.seek(file.size()) || file.seek(file.size() + 1)) std::abort();
    uint8_t past[4];
    if (file.isMemory() && !file.read(past, 4)) std::abort();  // memory reads shorten at the end
    return true;
}

// The names to look up: the first directory entry's name (plain, with a
// folder and in upper case) and fixed ones the seeds use.
std::vector<std::string> NamesFor(const RtString& archive) {
    std::vector<std::string> names = {"a.txt", "Media\\B.BIN", "sub/dir/empty.dat", "missing.png", ""};
    RtFile file;
    if (!file.openRead(archive.c_str())) std::abort();
    const std::vector<vtx::PackEntry> entries = vtx::ReadPackDirectory(file);
    if (!entries.empty()) {
        const std::string& first = entries.front().name;
        std::string upper = first;
        for (char& c : upper)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        names.insert(names.end(), {first, "pack/" + first, upper});
    }
    if (entries.size() > 1) names.push_back(entries.back().name);
    return names;
}

}  // namespace

// TMPDIR becomes a private scratch folder: the media resolver's temporary
// files land there. Lookups only read the current folder, never write it.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base != 0 ? base : "/tmp") + "/vtx-fuzz-resolver-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    setenv("TMPDIR", pattern.c_str(), 1);
    // Every input releases its results: the folder is empty between inputs.
    return 0;
}

// One input: the archive of both resolvers while its names are looked up.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0x7fffffff) return 0;
    const RtString archive = vtx::RegisterMemoryBlock(data, static_cast<uint32_t>(size));
    SetPackFiles(archive, archive);
    for (const std::string& name : NamesFor(archive)) {
        RtString loaded;
        RtString media;
        std::vector<uint8_t> memoryBytes;
        std::vector<uint8_t> fileBytes;
        const bool inMemory = vtx::ResolveFile(vtx::LoaderResolver(), RtString(name.c_str()), loaded, true);
        const bool memoryRead = inMemory && ReadAll(loaded, memoryBytes);
        // A true answer names something that opens now. (Memory names are
        // passed through unchecked, so a forged one is left out here.)
        if (inMemory && !memoryRead && !vtx::IsMemoryName(name.c_str())) std::abort();
        const bool inFile = vtx::ResolveFile(vtx::MediaResolver(), RtString(name.c_str()), media, false);
        const bool fileRead = inFile && ReadAll(media, fileBytes);
        // A media result fails only when its temporary file cannot be made
        // (a name too long for the file system); otherwise both agree.
        if (memoryRead && fileRead && memoryBytes != fileBytes) std::abort();
        if (!inMemory && inFile) std::abort();
    }
    // The archive's own memory name resolves to itself in both resolvers.
    RtString self;
    if (!vtx::ResolveFile(vtx::LoaderResolver(), archive, self, true) || std::string(self.c_str()) != archive.c_str())
        std::abort();
    vtx::ReleaseResolverResult(vtx::LoaderResolver());
    vtx::ReleaseResolverResult(vtx::MediaResolver());
    SetPackFiles(RtString(""), RtString(""));
    vtx::UnregisterMemoryBlock(archive);
    return 0;
}
