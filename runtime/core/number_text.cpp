// Number text: the exact text of integers and reals, and the readers that turn
// text back into numbers.
#include "core/number_text.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <system_error>

namespace vtx {
namespace {

bool IsBlank(unsigned char c) noexcept { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(unsigned char c) noexcept { return c >= '0' && c <= '9'; }

size_t CopyLiteral(const char* text, char* out) noexcept {
    const size_t n = std::strlen(text);
    std::memcpy(out, text, n + 1);
    return n;
}

// Drops zeros at the end of a fraction, then a point left alone at the end.
char* TrimFraction(char* begin, char* end) noexcept {
    while (end > begin && end[-1] == '0') --end;
    if (end > begin && end[-1] == '.') --end;
    return end;
}

}  // namespace

size_t FormatInteger(int32_t value, char* out) noexcept {
    char digits[12];
    int count = 0;
    uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    char* p = out;
    if (value < 0) *p++ = '-';
    while (count > 0) *p++ = digits[--count];
    *p = 0;
    return static_cast<size_t>(p - out);
}

size_t FormatReal(double value, char* out) noexcept {
    if (std::isnan(value)) return CopyLiteral("nan", out);
    if (std::isinf(value)) return CopyLiteral(value < 0 ? "-inf" : "inf", out);
    if (value == 0) return CopyLiteral("0", out);

    // Ten correctly rounded significant digits and the exponent of the
    // rounded value: "[-]d.ddddddddde[+-]xx[x]".
    char sci[40];
    const auto result = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific, 9);
    const char* s = sci;
    const bool negative = *s == '-';
    if (negative) ++s;
    char digits[10];
    digits[0] = s[0];
    std::memcpy(digits + 1, s + 2, 9);
    const char* expText = s + 12;  // the sign after 'e'
    int exponent = 0;
    for (const char* e = expText + 1; e < result.ptr; ++e) exponent = exponent * 10 + (*e - '0');
    if (*expText == '-') exponent = -exponent;

    char* p = out;
    if (negative) *p++ = '-';
    if (exponent < -1 || exponent > 9) {
        *p++ = digits[0];
        char* point = p;
        *p++ = '.';
        std::memcpy(p, digits + 1, 9);
        p = TrimFraction(point, p + 9);
        if (p == point) *p++ = '.';  // the point stays inside the scientific form
        *p++ = 'e';
        *p++ = exponent < 0 ? '-' : '+';
        const int magnitude = exponent < 0 ? -exponent : exponent;
        *p++ = static_cast<char>('0' + magnitude / 100);
        *p++ = static_cast<char>('0' + magnitude / 10 % 10);
        *p++ = static_cast<char>('0' + magnitude % 10);
    } else {
        const char* fraction;
        if (exponent < 0) {
            *p++ = '0';
            fraction = digits;
        } else {
            std::memcpy(p, digits, static_cast<size_t>(exponent) + 1);
            p += exponent + 1;
            fraction = digits + exponent + 1;
        }
        char* point = p;
        *p++ = '.';
        const size_t fractionDigits = static_cast<size_t>(digits + 10 - fraction);
        std::memcpy(p, fraction, fractionDigits);
        p = TrimFraction(point, p + fractionDigits);
    }
    *p = 0;
    return static_cast<size_t>(p - out);
}

double TextToReal(const char* text) noexcept {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (IsBlank(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';

    // Find the extent of the number and, for the out-of-range case, the
    // decimal magnitude of its first significant digit.
    const unsigned char* start = p;
    long magnitude = 0;
    bool seenSignificant = false;
    size_t mantissaDigits = 0;
    for (; IsDigit(*p); ++p, ++mantissaDigits) {
        if (*p != '0') seenSignificant = true;
        if (seenSignificant) ++magnitude;
    }
    if (*p == '.') {
        for (++p; IsDigit(*p); ++p, ++mantissaDigits) {
            if (seenSignificant) continue;
            if (*p != '0') seenSignificant = true;
            else --magnitude;
        }
    }
    if (mantissaDigits == 0) return 0.0;
    const unsigned char* end = p;
    if (*p == 'e' || *p == 'E') {
        const unsigned char* q = p + 1;
        bool negativeExponent = false;
        if (*q == '+' || *q == '-') negativeExponent = *q++ == '-';
        if (IsDigit(*q)) {
            long exponent = 0;
            for (; IsDigit(*q); ++q)
                if (exponent < 100000000) exponent = exponent * 10 + (*q - '0');
            magnitude += negativeExponent ? -exponent : exponent;
            end = q;
        }
    }

    double value = 0.0;
    const auto result = std::from_chars(reinterpret_cast<const char*>(start), reinterpret_cast<const char*>(end),
                                        value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range)
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    else if (result.ec != std::errc())
        value = 0.0;
    return negative ? -value : value;
}

int32_t TextToInteger(const char* text) noexcept {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (IsBlank(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    constexpr int64_t kLimit = int64_t{1} << 32;  // beyond either end of the range
    int64_t magnitude = 0;
    for (; IsDigit(*p); ++p)
        if (magnitude < kLimit) magnitude = magnitude * 10 + (*p - '0');
    const int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

}  // namespace vtx
