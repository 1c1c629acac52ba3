// Reading an HTTP response off a connection: the header, up to and
// including its first empty line (two line feeds in a row, carriage returns
// ignored), is dropped and every later byte is body. The status line is
// not examined.
//
// The reader knows nothing about sockets: it pulls pieces from a source and
// hands the body to a sink, so it can be driven by any byte feed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace vtx {

// A response header longer than this is refused.
inline constexpr size_t kLongestHttpHeader = 64 * 1024;
// Pieces are received at most this long: large enough that a big download
// costs few receives.
inline constexpr size_t kHttpPieceSize = 64 * 1024;

// Splits a byte stream into header and body, piece by piece.
class HttpHeaderSplitter {
public:
    // The offset in the piece where the body starts: size when the whole
    // piece is header, 0 once the header is behind. Sets overlong() when the
    // header grows past kLongestHttpHeader.
    size_t bodyStart(const char* piece, size_t size) noexcept;
    bool headerDone() const noexcept { return done_; }
    bool overlong() const noexcept { return headerBytes_ > kLongestHttpHeader; }

private:
    bool done_ = false;
    bool lastWasLineFeed_ = false;
    size_t headerBytes_ = 0;
};

// What a body sink wants next.
enum class BodyStep { More, Enough, Failed };

// Receives into the buffer: the count, 0 when the server closed, -1 on an
// error (a reset or a receive that timed out included).
using ResponseSource = std::function<int64_t(char* buffer, size_t size)>;
using BodySink = std::function<BodyStep(const char* bytes, size_t size)>;

// Reads the response until the server closes or the sink has enough. True
// when the transfer ended properly: closed after the header was complete,
// or the sink had enough. False on a receive error (a reset mid-body too),
// a failed sink, a header that never ended or grew too long.
bool ReadHttpResponse(const ResponseSource& source, const BodySink& sink);

}  // namespace vtx
