// ResolveFile: disk first, then the pack archive.
#include "files/pack_resolver_internal.h"

#include <utility>
#include <vector>

#include "files/memory_names.h"
#include "files/pack_archive.h"
#include "files/rt_file.h"
#include "platform/platform.h"

namespace vtx {

PackResolver& LoaderResolver() {
    static PackResolver resolver;
    return resolver;
}

PackResolver& MediaResolver() {
    static PackResolver resolver;
    return resolver;
}

void ReleaseResolverResult(PackResolver& resolver) {
    if (resolver.lastBufferName.length() != 0) {
        UnregisterMemoryBlock(resolver.lastBufferName);
        std::vector<uint8_t>().swap(resolver.lastBuffer);
        resolver.lastBufferName.clear();
    }
    if (resolver.lastTempFile.length() != 0) {
        platform::DeleteFile(resolver.lastTempFile.c_str());
        resolver.lastTempFile.clear();
    }
}

namespace {

// "zez" + two capital letters from the stored position and size + the name.
RtString TempFileFor(const PackEntry& entry) {
    char letters[6] = {'z', 'e', 'z', 0, 0, 0};
    letters[3] = static_cast<char>('A' + static_cast<uint8_t>(entry.position) % 26);
    letters[4] = static_cast<char>('A' + static_cast<uint8_t>(entry.storedSize) % 26);
    return RtString(platform::TempFolder().c_str()) + letters + entry.name.c_str();
}

bool ExistsOnDisk(const RtString& name) {
    const int handle = platform::OpenExclusiveForReading(name.c_str());
    if (handle == platform::kNoFile) return false;
    platform::CloseFile(handle);
    return true;
}

}  // namespace

bool ResolveFile(PackResolver& resolver, const RtString& name, RtString& result, bool toMemory) {
    // A name this resolver just handed out stays valid: releasing its block
    // first would leave the caller a name of freed memory.
    if (resolver.lastBufferName.length() != 0 && name == resolver.lastBufferName) {
        result = name;
        return true;
    }
    ReleaseResolverResult(resolver);                                          // 1
    if (name.length() == 0) {                                                 // 2
        result = "";
        return false;
    }
    result = name;                                                            // 3
    if (IsMemoryName(name.c_str())) return true;                              // 4
    if (ExistsOnDisk(name)) return true;                                      // 5
    if (!resolver.enabled) return false;                                      // 6
    if (resolver.archiveName.length() == 0) {                                 // 7
        resolver.enabled = false;
        return false;
    }
    RtFile archive;                                                           // 8
    PackEntry entry;
    std::vector<uint8_t> stored;
    if (!archive.openRead(resolver.archiveName.c_str()) ||                    // 9, 10
        !FindPackEntry(archive, name.c_str(), entry) ||
        !ReadPackEntryData(archive, entry, stored)) {                         // 11
        result = "";
        return false;
    }
    archive.close();
    std::vector<uint8_t> unpacked;                                            // 12
    UnpackEntryData(stored, unpacked);  // a corrupt entry gives an empty block
    if (toMemory) {                                                           // 13
        resolver.lastBuffer = std::move(unpacked);
        resolver.lastBufferName =
            RegisterMemoryBlock(resolver.lastBuffer.data(), static_cast<uint32_t>(resolver.lastBuffer.size()));
        result = resolver.lastBufferName;
        return true;
    }
    const RtString path = TempFileFor(entry);                                 // 14
    RtFile temp;
    if (!temp.openWrite(path.c_str()) ||
        !temp.write(unpacked.data(), static_cast<int32_t>(unpacked.size()))) {
        temp.close();
        platform::DeleteFile(path.c_str());
        return false;
    }
    temp.close();
    resolver.lastTempFile = path;
    result = path;
    return true;
}

}  // namespace vtx

void SetPackFiles(const RtString& loaderArchive, const RtString& mediaArchive) {
    for (auto [resolver, archive] : {std::pair{&vtx::LoaderResolver(), &loaderArchive},
                                     std::pair{&vtx::MediaResolver(), &mediaArchive}}) {
        vtx::ReleaseResolverResult(*resolver);
        resolver->enabled = true;
        resolver->archiveName = *archive;
    }
}
