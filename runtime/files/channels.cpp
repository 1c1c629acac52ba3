// The channel table: opening, closing, free channels, end, position, seek.
// Reads are in channel_reads.cpp, writes in channel_writes.cpp.
#include "files/channels_internal.h"

#include <limits>

#include "files/channel_table.h"
#include "files/last_error_internal.h"
#include "files/memory_names.h"
#include "files/pack_resolver_internal.h"
#include "host/host_state.h"

namespace vtx {

ChannelTable& Channels() {
    static ChannelTable table;
    return table;
}

Channel& CheckedChannel(uint32_t channel) {
    if (channel >= kChannelCount) FatalError(kBadChannel);
    return Channels().channels[channel];
}

void ChannelFailure() { FatalError(kNoSuchFile); }

namespace {

void Close(Channel& channel) {
    channel.file.close();
    channel.writing = false;
    std::vector<uint8_t>().swap(channel.block);
}

// Opens a memory name on a copy of its block: the block of an archive entry
// belongs to the loader resolver, which frees it at its next lookup, while
// the channel may still be read long after.
bool OpenMemoryCopy(Channel& channel, const char* name) {
    MemoryBlockView view;
    if (!OpenMemoryName(name, view) || view.size > static_cast<uint32_t>(std::numeric_limits<int32_t>::max()))
        return false;
    channel.block.assign(view.data, view.data + view.size);
    return channel.file.openMemory(channel.block.data(), static_cast<int32_t>(view.size));
}

// Reading: the name goes through the loader resolver, so an entry of the
// pack archive opens as a memory file.
bool OpenForReading(Channel& channel, const RtString& name) {
    RtString resolved;
    if (!ResolveFile(LoaderResolver(), name, resolved, true)) SetLastError(kNoSuchFile);
    if (IsMemoryName(resolved.c_str())) return OpenMemoryCopy(channel, resolved.c_str());
    return channel.file.openRead(resolved.c_str());
}

}  // namespace

void CloseAllChannels() {
    for (Channel& channel : Channels().channels) Close(channel);
}

}  // namespace vtx

bool OpenChannel(uint32_t channel, const RtString& name, int32_t mode) {
    vtx::Channel& ch = vtx::CheckedChannel(channel);
    ClearLastError();
    vtx::Close(ch);
    if (mode >= 1) {
        vtx::OpenForReading(ch, name);
    } else {
        ch.writing = mode == 0 ? ch.file.openWrite(name.c_str()) : ch.file.openAppend(name.c_str());
    }
    if (!ch.file.isOpen()) {
        vtx::SetLastError(vtx::kNoSuchFile);
        return false;
    }
    return true;
}

void CloseChannel(uint32_t channel) {
    vtx::Close(vtx::CheckedChannel(channel));
    ClearLastError();
}

int32_t FreeChannel() {
    for (uint32_t c = 0; c < vtx::kChannelCount; ++c)
        if (!vtx::Channels().channels[c].file.isOpen()) return static_cast<int32_t>(c);
    return -1;
}

bool ChannelEnd(uint32_t channel) {
    const vtx::Channel& ch = vtx::CheckedChannel(channel);
    return ch.writing || ch.file.position() >= ch.file.size();
}

int32_t ChannelPosition(uint32_t channel) { return vtx::CheckedChannel(channel).file.position(); }

int32_t SeekChannel(uint32_t channel, int32_t distance, int32_t origin) {
    vtx::Channel& ch = vtx::CheckedChannel(channel);
    if (!ch.file.isOpen()) return -1;
    return ch.file.seekFrom(distance, origin);
}
