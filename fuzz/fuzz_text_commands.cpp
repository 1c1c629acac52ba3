// Fuzzes ReplaceText, SplitText, FormatNumber, MidText and FindText and
// checks each against a plain model: the replace loop taken literally, a
// byte-by-byte split, printf's %*.*f and std::string's substr and find.
//
// Input: byte 0 chooses the command; for FormatNumber bytes 1..2 give width
// and decimals and bytes 3..10 the value; otherwise the rest is cut at the
// first two 0xFF bytes into text, search (or delimiters) and replacement.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/text_commands_internal.h"

namespace {

std::string Text(const RtString& s) { return std::string(s.c_str(), s.length()); }

RtString Bytes(const std::string& s) { return vtx::TextOf(s.data(), s.size()); }

void Check(bool holds) {
    if (!holds) std::abort();
}

std::string ReplaceModel(std::string text, const std::string& f, const std::string& r) {
    if (f.empty()) return text;
    size_t from = 0;
    for (size_t p; (p = text.find(f, from)) != std::string::npos;) {
        text = text.substr(0, p) + r + text.substr(p + f.size());
        const long resume = f.size() == r.size() ? static_cast<long>(p + r.size())
                                                 : static_cast<long>(p + r.size()) - static_cast<long>(f.size()) + 1;
        from = resume < 0 ? 0 : static_cast<size_t>(resume);
    }
    return text;
}

std::vector<std::string> SplitModel(const std::string& text, const std::string& delimiters) {
    std::vector<std::string> pieces;
    std::string piece;
    for (char c : text) {
        if (delimiters.find(c) != std::string::npos) {
            if (!piece.empty()) pieces.push_back(piece);
            piece.clear();
        } else {
            piece += c;
        }
    }
    if (!piece.empty()) pieces.push_back(piece);
    return pieces;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const int command = data[0] % 4;
    const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);

    if (command == 0) {
        if (size < 11) return 0;
        const int width = static_cast<int8_t>(data[1]);
        const int decimals = data[2] % 64;
        double value;
        std::memcpy(&value, data + 3, sizeof value);
        char expected[1500];
        const int n = std::snprintf(expected, sizeof expected, "%*.*f", width, decimals, value);
        Check(Text(FormatNumber(width, decimals, value)) == std::string(expected, static_cast<size_t>(n)));
        return 0;
    }

    const size_t cut1 = rest.find('\xFF');
    const std::string text = rest.substr(0, cut1);
    const std::string second = cut1 == std::string::npos ? "" : rest.substr(cut1 + 1, rest.find('\xFF', cut1 + 1) - cut1 - 1);
    const size_t cut2 = cut1 == std::string::npos ? std::string::npos : rest.find('\xFF', cut1 + 1);
    const std::string third = cut2 == std::string::npos ? "" : rest.substr(cut2 + 1);

    if (command == 1) {
        Check(Text(ReplaceText(Bytes(text), Bytes(second), Bytes(third))) == ReplaceModel(text, second, third));
    } else if (command == 2) {
        RtArray<RtString> pieces;
        const int32_t count = SplitText(Bytes(text), pieces, Bytes(second));
        const std::vector<std::string> expected = SplitModel(text, second);
        Check(count == static_cast<int32_t>(expected.size()) && ArrayBounds(pieces, 0) == count);
        for (int32_t i = 0; i < count; ++i) Check(Text(ArrayElement(pieces, i)) == expected[static_cast<size_t>(i)]);
    } else {
        // Start and count from the third part's first bytes, any 32-bit values.
        int32_t start = 0, count = 0;
        std::memcpy(&start, third.data(), third.size() < 4 ? third.size() : 4);
        if (third.size() > 4) std::memcpy(&count, third.data() + 4, third.size() < 8 ? third.size() - 4 : 4);
        const int64_t length = static_cast<int64_t>(text.size());
        int64_t n = count < 0 ? length : count;
        if (start + n > length) n = length - start;
        const std::string mid = n < 1 || start >= length || start < 0 ? "" : text.substr(static_cast<size_t>(start), static_cast<size_t>(n));
        Check(Text(MidText(Bytes(text), start, count)) == mid);
        const int32_t found = FindText(Bytes(text), Bytes(second), start);
        const size_t model = start < 0 || start > length ? std::string::npos : text.find(second, static_cast<size_t>(start));
        Check(found == (model == std::string::npos ? -1 : static_cast<int32_t>(model)));
    }
    return 0;
}
