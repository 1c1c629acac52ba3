// The channel table shared by the channel commands.
#pragma once

#include <cstdint>
#include <vector>

#include "files/rt_file.h"

namespace vtx {

inline constexpr uint32_t kChannelCount = 8;
inline constexpr uint32_t kNoSuchFile = 3;
inline constexpr uint32_t kBadChannel = 7;  // "out of memory": a channel number above 7, or no room for a text

struct Channel {
    RtFile file;
    bool writing = false;          // opened for writing or appending
    std::vector<uint8_t> block;    // the channel's own copy of a memory file
};

struct ChannelTable {
    Channel channels[kChannelCount];
};

ChannelTable& Channels();

// The channel, or the end of the program with last error 7 for a number above 7.
Channel& CheckedChannel(uint32_t channel);
// Ends the program with last error 3 (a failed read or write).
[[noreturn]] void ChannelFailure();

}  // namespace vtx
