// Shared pieces of the channel, INI and line-store tests: whole-file reads
// and writes, and a pack archive held in memory that both resolvers use.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "files/memory_names.h"
#include "files/pack_archive.h"
#include "files/pack_resolver_internal.h"
#include "support/run_program.h"

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::filesystem::path& path) { return ReadWholeFile(path.string()); }

// An archive of named entries at the end of 16 bytes of "program", held in
// memory; both resolvers point at it while it lives.
class MemoryArchive {
public:
    using Entries = std::vector<std::pair<std::string, std::string>>;
    explicit MemoryArchive(const Entries& entries) {
        bytes_.assign(16, 0x90);
        std::vector<std::pair<int32_t, int32_t>> places;
        for (const auto& [name, data] : entries) {
            const auto stored = vtx::PackEntryData(reinterpret_cast<const uint8_t*>(data.data()), data.size());
            places.emplace_back(static_cast<int32_t>(bytes_.size()), static_cast<int32_t>(stored.size()));
            bytes_.insert(bytes_.end(), stored.begin(), stored.end());
        }
        const int32_t directory = static_cast<int32_t>(bytes_.size());
        for (size_t i = 0; i < entries.size(); ++i) {
            bytes_.push_back(static_cast<uint8_t>(entries[i].first.size()));
            bytes_.insert(bytes_.end(), entries[i].first.begin(), entries[i].first.end());
            Put32(places[i].first);
            Put32(places[i].second);
        }
        bytes_.push_back(0);
        bytes_.insert(bytes_.end(), {'z', 'e', 'Z'});
        Put32(directory);
        name_ = vtx::RegisterMemoryBlock(bytes_.data(), static_cast<uint32_t>(bytes_.size()));
        SetPackFiles(name_, name_);
    }
    ~MemoryArchive() {
        vtx::ReleaseResolverResult(vtx::LoaderResolver());
        vtx::ReleaseResolverResult(vtx::MediaResolver());
        SetPackFiles(RtString(""), RtString(""));
        vtx::UnregisterMemoryBlock(name_);
    }
    MemoryArchive(const MemoryArchive&) = delete;
    MemoryArchive& operator=(const MemoryArchive&) = delete;

private:
    void Put32(int32_t v) {
        for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    }
    std::vector<uint8_t> bytes_;
    RtString name_;
};
