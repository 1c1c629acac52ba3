// TCP slots: listening, accepting and connecting with a bounded wait.
#include <cerrno>

#include "net/net_commands.h"
#include "net/socket_layer.h"

namespace vtx {
namespace {

constexpr int kListenBacklog = 10;

bool ValidPort(int32_t port) {
    if (port >= 0 && port <= 65535) return true;
    SetLastSocketError(EINVAL);
    return false;
}

// Gives up a socket that never reached a slot, keeping the error that
// made the command fail.
int32_t Abandon(int socket, bool abortive) {
    const int32_t code = platform::SocketErrorCode();
    if (abortive) platform::CloseSocketAbortively(socket);
    else platform::CloseSocket(socket);
    SetLastSocketError(code);
    return -1;
}

}  // namespace
}  // namespace vtx

using namespace vtx;

int32_t TcpListen(int32_t port) { return ListenOnSlot(port, kListenBacklog); }

int32_t vtx::ListenOnSlot(int32_t port, int backlog) {
    if (!ValidPort(port) || !HasFreeSlot()) return -1;
    const int socket = platform::OpenTcpSocket();
    NoteSocketCall(socket != platform::kNoSocket);
    if (socket == platform::kNoSocket) return -1;
    platform::Ipv4Endpoint bound{0, static_cast<uint16_t>(port)};
    if (!platform::EnableAddressReuse(socket) || !platform::BindAnyAddress(socket, bound.port) ||
        !platform::ListenOn(socket, backlog) || !platform::LocalEndpoint(socket, bound) ||
        !platform::SetSocketBlocking(socket, false))
        return Abandon(socket, false);
    const int32_t slot = ClaimSlot(socket, bound, false);
    if (slot < 0) {
        platform::CloseSocket(socket);
        return -1;
    }
    SetLastSocketError(0);
    return slot;
}

int32_t TcpAccept(int32_t slot, int32_t& address) {
    SocketSlot* listening = UsedSlot(slot);
    if (listening == nullptr) return -1;
    if (listening->datagram) {
        SetLastSocketError(0);
        return -1;
    }
    platform::Ipv4Endpoint peer;
    const int socket = platform::AcceptConnection(listening->socket, peer);
    NoteSocketCall(socket != platform::kNoSocket);
    if (socket == platform::kNoSocket) return -1;
    const int32_t accepted = ClaimSlot(socket, peer, false);
    if (accepted < 0) {
        platform::CloseSocketAbortively(socket);
        return -1;
    }
    listening->address = peer;
    address = static_cast<int32_t>(peer.address);
    const bool nonBlocking = platform::SetSocketBlocking(socket, false);
    NoteSocketCall(nonBlocking);
    return accepted;
}

int32_t TcpConnect(const RtString& host, int32_t port, int32_t timeoutMs) {
    if (!ValidPort(port)) return -1;
    const platform::Ipv4Endpoint peer = ResolveHost(host.c_str(), static_cast<uint16_t>(port));
    if (peer.address == 0 && peer.port == 0) return -1;
    if (!HasFreeSlot()) return -1;
    const int socket = platform::OpenTcpSocket();
    NoteSocketCall(socket != platform::kNoSocket);
    if (socket == platform::kNoSocket) return -1;
    const int32_t slot = ClaimSlot(socket, peer, false);
    if (slot < 0) {
        platform::CloseSocket(socket);
        return -1;
    }
    bool connected = false;
    if (platform::SetSocketBlocking(socket, false)) {
        switch (platform::StartConnect(socket, peer)) {
            case platform::ConnectStart::Connected:
                SetLastSocketError(0);
                PrintNetLine("\nWoooo!! got connected with NO Waiting!!");
                return slot;
            case platform::ConnectStart::InProgress:
                connected = platform::FinishConnect(socket, BoundedWaitMs(timeoutMs));
                break;
            case platform::ConnectStart::Failed:
                break;
        }
    }
    if (connected) {
        SetLastSocketError(0);
        return slot;
    }
    // A failed connect never keeps its slot; the reason stays readable.
    const int32_t code = platform::SocketErrorCode();
    FreeSlot(slot);
    SetLastSocketError(code);
    return -1;
}
