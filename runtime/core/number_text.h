// Number text: how numbers become text and text becomes numbers.
//
// Reals print with ten significant digits. With e the decimal exponent of the
// rounded value (zero counts as -1), e < -1 or e > 9 gives the scientific form
// "d.ddddddddde+xxx" (exponent in at least three digits), anything else the
// fixed form with 9 - e digits after the point. Trailing fraction zeros are
// dropped, then a trailing point: 3.0 -> "3", 1e10 -> "1.e+010",
// 0.05 -> "5.e-002". Integers print as plain decimal text.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vtx {

// Room needed by the formatters below, terminator included.
inline constexpr size_t kIntegerTextRoom = 16;
inline constexpr size_t kRealTextRoom = 64;

// Writes the decimal text of value and a terminator; returns the length.
size_t FormatInteger(int32_t value, char* out) noexcept;
// Writes the number text of value and a terminator; returns the length.
// Infinities print as "inf" / "-inf", NaN as "nan", and -0 as "0".
size_t FormatReal(double value, char* out) noexcept;

// Reads [white space][sign]digits[.digits][(e|E)[sign]digits] from text and
// stops at the first character that does not fit; nothing readable gives 0.
// Too large gives +-inf, too small +-0.
double TextToReal(const char* text) noexcept;
// Reads [white space][sign]digits; nothing readable gives 0. Values beyond
// the 32-bit range saturate at INT32_MIN / INT32_MAX.
int32_t TextToInteger(const char* text) noexcept;

}  // namespace vtx
