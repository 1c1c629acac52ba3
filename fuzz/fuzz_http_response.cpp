// The HTTP response reader fed by a fake socket: the first input byte
// chooses how the rest is cut into receives and how the connection ends.
// The body handed on must be exactly the bytes after the header's empty line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/http_response.h"

namespace {

// Where the body starts by the plain rule: after two line feeds in a row,
// carriage returns between them ignored; npos when the header never ends.
size_t ReferenceBodyStart(const uint8_t* data, size_t size) {
    bool lastWasLineFeed = false;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\r') continue;
        if (data[i] != '\n') {
            lastWasLineFeed = false;
            continue;
        }
        if (lastWasLineFeed) return i + 1;
        lastWasLineFeed = true;
    }
    return std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t control = data[0];
    const uint8_t* stream = data + 1;
    const size_t length = size - 1;
    const size_t step = (control & 0x3F) + 1;   // receive sizes 1 to 64, varied below
    const bool endsWithReset = (control & 0x40) != 0;
    const size_t limit = (control & 0x80) ? 7 : SIZE_MAX;  // a sink that has enough early

    size_t at = 0;
    size_t call = 0;
    const vtx::ResponseSource source = [&](char* buffer, size_t room) -> int64_t {
        if (at >= length) return endsWithReset ? -1 : 0;
        size_t n = step + (call++ * 13) % 17;
        if (n > room) n = room;
        if (n > length - at) n = length - at;
        for (size_t i = 0; i < n; ++i) buffer[i] = static_cast<char>(stream[at + i]);
        at += n;
        return static_cast<int64_t>(n);
    };
    std::string body;
    const vtx::BodySink sink = [&](const char* bytes, size_t n) {
        if (n == 0) std::abort();  // empty pieces are never handed on
        const size_t take = n < limit - body.size() ? n : limit - body.size();
        body.append(bytes, take);
        return body.size() < limit ? vtx::BodyStep::More : vtx::BodyStep::Enough;
    };
    const bool ok = vtx::ReadHttpResponse(source, sink);

    const size_t start = ReferenceBodyStart(stream, length);
    if (start == std::string::npos || start > vtx::kLongestHttpHeader) {
        if (ok || !body.empty()) std::abort();
        return 0;
    }
    const std::string expected(reinterpret_cast<const char*>(stream) + start, length - start);
    // Whatever was handed on is the start of the true body.
    if (expected.compare(0, body.size(), body) != 0) std::abort();
    if (ok && body.size() != (limit == SIZE_MAX ? expected.size() : std::min(limit, expected.size()))) std::abort();
    if (ok && endsWithReset && body.size() < limit) std::abort();  // a reset is never a proper end
    return 0;
}
