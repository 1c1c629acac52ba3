// Text commands: parts, search and replace, case, character codes, number
// formatting and splitting.
#include "core/text_commands_internal.h"

#include <charconv>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "core/maths_internal.h"
#include "core/number_text.h"
#include "host/host_state.h"

namespace {

constexpr uint32_t kOutOfMemory = 7;

std::string_view View(const RtString& text) { return {text.c_str(), text.length()}; }

// The first occurrence of a non-empty needle in haystack, or npos. Candidates
// are found with memchr on the needle's first byte and compared; when the
// comparisons cost much more than the scan (a needle that repeats itself in
// a text made of it), the rest is left to memmem, which is linear.
size_t Find(std::string_view haystack, std::string_view needle) {
    const size_t n = needle.size();
    if (n > haystack.size()) return std::string_view::npos;
    const char* base = haystack.data();
    const char* const last = base + (haystack.size() - n);  // the last possible start
    const char first = needle[0];
    size_t compared = 0;
    for (const char* at = base; at <= last;) {
        at = static_cast<const char*>(std::memchr(at, first, static_cast<size_t>(last - at) + 1));
        if (at == nullptr) return std::string_view::npos;
        if (std::memcmp(at + 1, needle.data() + 1, n - 1) == 0) return static_cast<size_t>(at - base);
        compared += n;
        ++at;
        if (compared > 4 * static_cast<size_t>(at - base) + 4096) {
            const void* found = memmem(at, static_cast<size_t>(last - at) + n, needle.data(), n);
            return found == nullptr ? std::string_view::npos
                                    : static_cast<size_t>(static_cast<const char*>(found) - base);
        }
    }
    return std::string_view::npos;
}

// A copy with every byte passed through change.
template <typename Change>
RtString MapBytes(const RtString& text, Change change) {
    RtString copy(text);
    char* bytes = copy.getBuffer(copy.length());
    for (uint32_t i = 0; i < copy.length(); ++i) bytes[i] = change(bytes[i]);
    return copy;
}

// The text of the replacement loop: the output so far, ending with the last
// replacement, and the part of the source not yet taken.
RtString ReplaceAll(std::string_view source, std::string_view search, std::string_view replacement) {
    const size_t F = search.size();
    const size_t R = replacement.size();
    const size_t first = Find(source, search);
    if (first == std::string_view::npos) return vtx::TextOf(source.data(), source.size());
    if (F == R) {
        // Same length: each occurrence is overwritten in place and the search
        // goes on after it.
        RtString copy = vtx::TextOf(source.data(), source.size());
        char* bytes = copy.getBuffer(copy.length());
        for (size_t at = first; at != std::string_view::npos;) {
            std::memcpy(bytes + at, replacement.data(), R);
            at += R;
            const size_t next = Find(source.substr(at), search);
            at = next == std::string_view::npos ? next : at + next;
        }
        return copy;
    }
    // After a replacement of another length the search resumes F - 1 bytes
    // before the end of the output (p + R - F + 1), or at its start when it
    // is shorter than that: an occurrence starting there runs into the
    // source, so every step takes at least one source byte and the loop ends.
    const size_t lookBack = F - 1;
    std::string out;
    out.reserve(source.size() + (R > F ? source.size() / 8 : 0));
    std::string window;
    out.append(source.substr(0, first));
    out.append(replacement);
    size_t taken = first + F;  // source bytes consumed
    while (taken < source.size()) {
        const std::string_view rest = source.substr(taken);
        if (lookBack > 0 && !out.empty()) {
            // An occurrence starting in the output's last bytes and ending in the source.
            const size_t tail = out.size() < lookBack ? out.size() : lookBack;
            window.assign(out, out.size() - tail, tail);
            window.append(rest.substr(0, F - 1));
            const size_t at = Find(window, search);
            if (at != std::string_view::npos && at < tail) {
                out.resize(out.size() - tail + at);
                out.append(replacement);
                taken += F - (tail - at);
                continue;
            }
        }
        const size_t at = Find(rest, search);
        if (at == std::string_view::npos) break;
        out.append(rest.substr(0, at));
        out.append(replacement);
        taken += at + F;
    }
    out.append(source.substr(taken));
    return vtx::TextOf(out.data(), out.size());
}

}  // namespace

RtString vtx::TextOf(const char* data, size_t n) {
    RtString text;
    if (n == 0) return text;
    if (n > UINT32_MAX - 32) FatalError(kOutOfMemory);
    std::memcpy(text.getBuffer(static_cast<uint32_t>(n)), data, n);
    text.truncate(static_cast<int32_t>(n));
    return text;
}

RtString MidText(const RtString& text, int32_t start, int32_t count) {
    // 64-bit, so start + count never wraps.
    const int64_t length = text.length();
    const int64_t s = start;
    int64_t n = count < 0 ? length : count;
    if (s + n > length) n = length - s;
    if (n < 1 || s >= length || s < 0) return RtString();
    return vtx::TextOf(text.c_str() + s, static_cast<size_t>(n));
}

int32_t FindText(const RtString& text, const RtString& search, int32_t start) {
    if (start < 0 || static_cast<uint32_t>(start) > text.length()) return -1;
    if (search.length() == 0) return start;
    const size_t at = Find(View(text).substr(static_cast<uint32_t>(start)), View(search));
    return at == std::string_view::npos ? -1 : static_cast<int32_t>(at + static_cast<uint32_t>(start));
}

RtString ReplaceText(const RtString& text, const RtString& search, const RtString& replacement) {
    if (search.length() == 0) return text;
    try {
        return ReplaceAll(View(text), View(search), View(replacement));
    } catch (const std::bad_alloc&) {
        vtx::FatalError(kOutOfMemory);
    }
}

RtString LowerText(const RtString& text) {
    return MapBytes(text, [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; });
}

RtString UpperText(const RtString& text) {
    return MapBytes(text, [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c; });
}

int32_t CharCode(const RtString& text) {
    return text.length() == 0 ? 0 : static_cast<unsigned char>(text.c_str()[0]);
}

RtString CharText(int32_t code) {
    const char byte = static_cast<char>(static_cast<uint32_t>(code) & 0xFFu);
    return vtx::TextOf(&byte, 1);
}

RtString FormatNumber(double width, double decimals, double value) {
    const int32_t w = vtx::RealToInteger(width);
    const int32_t d = vtx::RealToInteger(decimals) > 0 ? vtx::RealToInteger(decimals) : 0;
    // 1074 fraction digits write every double exactly; further ones are zeros.
    constexpr int32_t kExactDigits = 1100;
    const int32_t exact = d < kExactDigits ? d : kExactDigits;
    char digits[320 + kExactDigits];  // sign, 309 integer digits, point, fraction
    const auto written = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, exact);
    const size_t shown = static_cast<size_t>(written.ptr - digits);
    const bool finite = shown > 0 && digits[shown - 1] >= '0' && digits[shown - 1] <= '9';
    const uint64_t zeros = finite ? static_cast<uint64_t>(d - exact) : 0;
    const uint64_t body = shown + zeros;
    const uint64_t field = w < 0 ? (w == INT32_MIN ? uint64_t{INT32_MAX} : static_cast<uint64_t>(-w)) : static_cast<uint64_t>(w);
    const uint64_t total = body > field ? body : field;
    if (total > INT32_MAX - 32) vtx::FatalError(kOutOfMemory);  // beyond any text length
    RtString text;
    try {
        char* out = text.getBuffer(static_cast<uint32_t>(total));
        const size_t pad = static_cast<size_t>(total - body);
        char* at = out;
        if (w >= 0) at = static_cast<char*>(std::memset(at, ' ', pad)) + pad;
        at = static_cast<char*>(std::memcpy(at, digits, shown)) + shown;
        at = static_cast<char*>(std::memset(at, '0', static_cast<size_t>(zeros))) + zeros;
        if (w < 0) std::memset(at, ' ', pad);
    } catch (const std::bad_alloc&) {
        vtx::FatalError(kOutOfMemory);
    }
    text.truncate(static_cast<int32_t>(total));
    return text;
}

int32_t NumberTextLength(double value) {
    char text[vtx::kRealTextRoom];
    return static_cast<int32_t>(vtx::FormatReal(value, text));
}

int32_t NumberTextLength(int32_t value) {
    char text[vtx::kIntegerTextRoom];
    return static_cast<int32_t>(vtx::FormatInteger(value, text));
}

int32_t SplitText(const RtString& text, RtArray<RtString>& pieces, const RtString& delimiters) {
    bool isDelimiter[256] = {};
    for (uint32_t i = 0; i < delimiters.length(); ++i) isDelimiter[static_cast<unsigned char>(delimiters.c_str()[i])] = true;
    // Kept apart from the array: the text may be one of its elements.
    const RtString source(text);
    const char* bytes = source.c_str();
    const uint32_t length = source.length();
    // Each piece: [start, end) of a run of non-delimiters.
    auto forEachPiece = [&](auto&& take) {
        uint32_t i = 0;
        while (i < length) {
            while (i < length && isDelimiter[static_cast<unsigned char>(bytes[i])]) ++i;
            const uint32_t start = i;
            while (i < length && !isDelimiter[static_cast<unsigned char>(bytes[i])]) ++i;
            if (i > start) take(start, i);
        }
    };
    // Counted first and dimensioned once: the array ends as appending piece
    // after piece would leave it, without moving the pieces at every append.
    int64_t count = 0;
    forEachPiece([&](uint32_t, uint32_t) { ++count; });
    if (count >= INT32_MAX) vtx::FatalError(kOutOfMemory);
    DimArray(pieces, static_cast<int32_t>(count));
    int32_t n = 0;
    forEachPiece([&](uint32_t start, uint32_t end) {
        RtString piece = vtx::TextOf(bytes + start, end - start);
        ArrayElement(pieces, n++).swap(piece);
    });
    return ArrayBounds(pieces, 0);
}
