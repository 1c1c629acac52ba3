// The Linux stand-ins for the socket services: POSIX sockets over IPv4.
//
// Like platform.h, this is the only place the runtime above meets the
// system's socket calls. Every function that can fail returns a failure
// value and leaves the system's code (an errno value) for SocketErrorCode().
// Nothing here raises SIGPIPE: sends use MSG_NOSIGNAL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vtx::platform {

inline constexpr int kNoSocket = -1;

// An IPv4 address and port, both in host byte order.
struct Ipv4Endpoint {
    uint32_t address = 0;
    uint16_t port = 0;
};

// The code of the last failed socket call on this thread (errno).
int SocketErrorCode() noexcept;
// The system's message for a socket error code; empty when it has none.
std::string SocketErrorMessage(int code);

// New TCP or UDP socket; kNoSocket on failure.
int OpenTcpSocket() noexcept;
int OpenUdpSocket() noexcept;
// Socket options; false on failure.
bool EnableAddressReuse(int socket) noexcept;
bool EnableBroadcast(int socket) noexcept;
bool SetSocketBlocking(int socket, bool blocking) noexcept;
// Small messages go out at once instead of waiting to fill a segment.
bool SendWithoutDelay(int socket) noexcept;
// Every receive waits at most ms milliseconds (blocking sockets).
bool SetReceiveTimeout(int socket, int ms) noexcept;
// Binds to every local address at the port.
bool BindAnyAddress(int socket, uint16_t port) noexcept;
bool ListenOn(int socket, int backlog) noexcept;
// The address and port the socket is bound to (the port the system picked
// for port 0); false on failure.
bool LocalEndpoint(int socket, Ipv4Endpoint& local) noexcept;
// One pending connection; kNoSocket when there is none or on failure.
int AcceptConnection(int socket, Ipv4Endpoint& peer) noexcept;

// Starts a connection. Connected at once, InProgress when the socket is
// non-blocking and the answer is still to come, Failed otherwise.
enum class ConnectStart { Connected, InProgress, Failed };
ConnectStart StartConnect(int socket, const Ipv4Endpoint& peer) noexcept;
// Waits up to ms for a started connection. True only when the connection
// was made: a refused or reset one (the socket's pending error) is a failure
// with that code, as is a wait that ran out (ETIMEDOUT).
bool FinishConnect(int socket, int ms) noexcept;
// Waits up to ms until the socket can take more bytes; false when it did not.
bool WaitWritable(int socket, int ms) noexcept;
// Waits up to ms until the socket has bytes (or an end) to read.
bool WaitReadable(int socket, int ms) noexcept;
// Waits up to ms until any of the sockets has something to read (or, for
// the ones marked, room to write).
struct SocketWait {
    int socket;
    bool wantsToWrite;
};
void WaitForAny(const std::vector<SocketWait>& sockets, int ms);

// Sends up to size bytes (to the destination when one is given); the number
// sent, or -1.
int64_t SendSome(int socket, const void* data, size_t size, const Ipv4Endpoint* destination) noexcept;
// Receives up to size bytes; the number received (0 when the peer closed),
// or -1.
int64_t ReceiveSome(int socket, void* data, size_t size) noexcept;

// Closes at once, dropping unsent bytes: linger on with time 0, shutdown of
// both directions, close. True when the close succeeded.
bool CloseSocketAbortively(int socket) noexcept;
// Plain close; true when it succeeded.
bool CloseSocket(int socket) noexcept;

// The first IPv4 address of a host name or dotted address; false when it
// cannot be resolved.
bool ResolveIpv4(const std::string& name, uint32_t& address) noexcept;
// The IPv4 addresses of the machine's interfaces, in the system's order.
std::vector<uint32_t> InterfaceAddresses();

// Codes the socket layer tests by meaning.
bool IsWouldBlockCode(int code) noexcept;   // nothing waiting / no room yet
bool IsInProgressCode(int code) noexcept;   // a connection still being made
bool IsResetCode(int code) noexcept;        // the peer reset the connection

}  // namespace vtx::platform
