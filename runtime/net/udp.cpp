// UDP slots. Sending a datagram is UdpSendTo (socket_io.cpp).
#include <cerrno>

#include "net/net_commands.h"
#include "net/socket_layer.h"

using namespace vtx;

int32_t UdpOpen(int32_t port) {
    if (port < 0 || port > 65535) {
        SetLastSocketError(EINVAL);
        return -1;
    }
    if (!HasFreeSlot()) return -1;
    const int socket = platform::OpenUdpSocket();
    NoteSocketCall(socket != platform::kNoSocket);
    if (socket == platform::kNoSocket) return -1;
    platform::Ipv4Endpoint bound{0, static_cast<uint16_t>(port)};
    bool ready = platform::EnableAddressReuse(socket);
    if (ready && port != 0) ready = platform::BindAnyAddress(socket, bound.port) && platform::LocalEndpoint(socket, bound);
    ready = ready && platform::EnableBroadcast(socket) && platform::SetSocketBlocking(socket, false);
    if (!ready) {
        const int32_t code = platform::SocketErrorCode();
        platform::CloseSocket(socket);
        SetLastSocketError(code);
        return -1;
    }
    const int32_t slot = ClaimSlot(socket, bound, true);
    if (slot < 0) {
        platform::CloseSocket(socket);
        return -1;
    }
    SetLastSocketError(0);
    return slot;
}
