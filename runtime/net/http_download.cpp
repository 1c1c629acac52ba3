// HttpGetFile and HttpGetText: a one-shot HTTP/1.0 GET.
//
// The file is written through a replacement beside it, committed only when
// the whole body has arrived: a transfer that fails leaves no partial file
// and any old file as it was. Every receive waits at most the connect
// time-out, so a server that stops sending cannot hold the program.
#include <cstring>
#include <string>

#include "files/atomic_write.h"
#include "net/http_response.h"
#include "net/net_commands.h"
#include "net/socket_layer.h"

namespace vtx {
namespace {

constexpr int32_t kDefaultHttpPort = 80;
constexpr size_t kFileWriteSize = 256 * 1024;

// A line break inside the host or path would let the caller's text add
// lines of its own to the request.
bool SafeInRequest(const RtString& text) {
    return std::memchr(text.c_str(), '\r', text.length()) == nullptr &&
           std::memchr(text.c_str(), '\n', text.length()) == nullptr;
}

std::string RequestFor(const RtString& host, const RtString& path) {
    std::string request("GET ");
    request.append(path.c_str()).append(" HTTP/1.0\r\nHost:").append(host.c_str());
    request.append("\r\nAccept: */*\r\nUser-Agent: Vantrix\r\n\r\n");
    return request;
}

// Steps 3 to 9 of a download: start, resolve, connect, send, read. The body
// goes to the sink; true when the transfer ended properly.
bool Download(const RtString& host, const RtString& path, int32_t port, int32_t timeoutMs, const BodySink& sink) {
    if (!SocketStart()) {
        PrintNetLine("no init");
        return false;
    }
    const platform::Ipv4Endpoint server = ResolveHost(host.c_str(), static_cast<uint16_t>(port));
    if (server.address == 0 && server.port == 0) {
        PrintNetLine("no netAddress");
        SocketStop();
        return false;
    }
    const int32_t slot = TcpConnect(host, port, timeoutMs);
    if (slot < 0) {
        PrintNetLine("no connect");
        SocketStop();
        return false;
    }
    const std::string request = RequestFor(host, path);
    const SocketSlot* s = UsedSlot(slot);
    const int socket = s->socket;
    SetSlotBlocking(slot, true);
    platform::SetReceiveTimeout(socket, BoundedWaitMs(timeoutMs));
    if (SendBytes(slot, request.data(), static_cast<int32_t>(request.size())) <= 0) {
        PrintNetLine("no send");
        SocketClose(slot);
        SocketStop();
        return false;
    }
    PrintNetLine("reading");
    const auto source = [socket](char* buffer, size_t size) -> int64_t {
        const int64_t n = platform::ReceiveSome(socket, buffer, size);
        NoteSocketCall(n >= 0);
        return n;
    };
    const bool done = ReadHttpResponse(source, sink);
    const int32_t code = LastSocketError();
    SocketClose(slot);
    SocketStop();
    SetLastSocketError(code);
    return done;
}

}  // namespace
}  // namespace vtx

using namespace vtx;

bool HttpGetFile(const RtString& host, const RtString& path, int32_t port, const RtString& fileName,
                 int32_t timeoutMs) {
    if (port == 0) port = kDefaultHttpPort;
    if (port < 0 || port > 65535 || !SafeInRequest(host) || !SafeInRequest(path)) return false;
    AtomicFileWriter file;
    if (!file.open(fileName.c_str())) {
        PrintNetLine("can't open local file for writing");
        return false;
    }
    // Pieces are small; the file gets them in larger writes.
    std::string pending;
    pending.reserve(kFileWriteSize);
    const auto sink = [&file, &pending](const char* bytes, size_t size) {
        pending.append(bytes, size);
        if (pending.size() < kFileWriteSize) return BodyStep::More;
        const bool written = file.write(pending.data(), pending.size());
        pending.clear();
        return written ? BodyStep::More : BodyStep::Failed;
    };
    return Download(host, path, port, timeoutMs, sink) && file.write(pending.data(), pending.size()) &&
           file.commit();
}

RtString HttpGetText(const RtString& host, const RtString& path, int32_t port, int32_t maxLength,
                     int32_t timeoutMs) {
    if (port == 0) port = kDefaultHttpPort;
    if (port < 0 || port > 65535 || maxLength <= 0 || !SafeInRequest(host) || !SafeInRequest(path))
        return RtString();
    // The first maxLength bytes of the body, however the network splits it.
    std::string body;
    const size_t room = static_cast<size_t>(maxLength);
    const auto sink = [&body, room](const char* bytes, size_t size) {
        const size_t take = size < room - body.size() ? size : room - body.size();
        body.append(bytes, take);
        return body.size() < room ? BodyStep::More : BodyStep::Enough;
    };
    if (!Download(host, path, port, timeoutMs, sink)) return RtString();
    // The text ends at its first zero byte.
    return RtString(body.c_str());
}
