// Host names, address numbers and the machine's own addresses.
#include <cstdio>
#include <string>

#include "net/net_commands.h"
#include "net/socket_layer.h"

namespace vtx {
namespace {

constexpr size_t kLongestAddressList = 2047;

std::string DottedText(uint32_t address) {
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", (address >> 24) & 255u, (address >> 16) & 255u,
                  (address >> 8) & 255u, address & 255u);
    return text;
}

// The machine's own IPv4 addresses, loop-back ones left out, each followed
// by the separator. Taken from the interfaces, so no resolver is asked.
std::string OwnAddressList(char separator) {
    std::string list;
    for (uint32_t address : platform::InterfaceAddresses()) {
        const std::string text = DottedText(address);
        if (text.rfind("127.", 0) == 0) continue;
        if (list.size() + text.size() + 1 > kLongestAddressList) break;
        list.append(text).push_back(separator);
    }
    return list;
}

}  // namespace

platform::Ipv4Endpoint ResolveHost(const char* name, uint16_t port) {
    std::string wanted = name != nullptr ? name : "";
    if (wanted.empty()) {
        const std::string own = OwnAddressList('\n');
        wanted = own.empty() ? std::string("127.0.0.1") : own.substr(0, own.find('\n'));
    }
    uint32_t address = 0;
    if (platform::ResolveIpv4(wanted, address) ||
        (name != nullptr && name[0] == 0 && platform::ResolveIpv4("localhost.local", address))) {
        SetLastSocketError(0);
        return {address, port};
    }
    SetLastSocketError(platform::SocketErrorCode());
    return {};
}

}  // namespace vtx

using namespace vtx;

int32_t HostAddress(const RtString& name) {
    const platform::Ipv4Endpoint found = ResolveHost(name.c_str(), 0);
    if (found.address == 0 && found.port == 0) return -1;
    return static_cast<int32_t>(found.address);
}

RtString AddressText(int32_t address) { return RtString(DottedText(static_cast<uint32_t>(address)).c_str()); }

RtString LocalAddresses() {
    SocketStart();
    std::string list = OwnAddressList('|');
    if (!list.empty()) list.pop_back();
    SocketStop();
    return RtString(list.c_str());
}
