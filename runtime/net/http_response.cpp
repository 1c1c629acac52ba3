// The HTTP response reader (see http_response.h).
#include "net/http_response.h"

#include <memory>

namespace vtx {

size_t HttpHeaderSplitter::bodyStart(const char* piece, size_t size) noexcept {
    if (done_) return 0;
    for (size_t i = 0; i < size; ++i) {
        const char c = piece[i];
        if (c == '\r') continue;
        if (c != '\n') {
            lastWasLineFeed_ = false;
            continue;
        }
        if (lastWasLineFeed_) {
            done_ = true;
            headerBytes_ += i + 1;
            return i + 1;
        }
        lastWasLineFeed_ = true;
    }
    headerBytes_ += size;
    return size;
}

bool ReadHttpResponse(const ResponseSource& source, const BodySink& sink) {
    HttpHeaderSplitter splitter;
    const auto buffer = std::make_unique<char[]>(kHttpPieceSize);
    char* piece = buffer.get();
    for (;;) {
        const int64_t n = source(piece, kHttpPieceSize);
        if (n < 0) return false;
        if (n == 0) return splitter.headerDone();
        const size_t size = static_cast<size_t>(n) < kHttpPieceSize ? static_cast<size_t>(n) : kHttpPieceSize;
        const size_t start = splitter.bodyStart(piece, size);
        if (splitter.overlong()) return false;
        if (start == size) continue;
        switch (sink(piece + start, size - start)) {
            case BodyStep::More: break;
            case BodyStep::Enough: return true;
            case BodyStep::Failed: return false;
        }
    }
}

}  // namespace vtx
