// Text to number: the readers used by conversions and comparisons, and what
// they do with text that is not a clean number.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "core/number_text.h"
#include "core/rt_string.h"

namespace {

double ToReal(const char* text) { return static_cast<double>(RtString(text)); }
int32_t ToInt(const char* text) { return static_cast<int32_t>(RtString(text)); }

TEST(TextToReal, ReadsAsFarAsTheNumberGoes) {
    EXPECT_EQ(ToReal("  12.5kg"), 12.5);
    EXPECT_EQ(ToReal(""), 0.0);
    EXPECT_EQ(ToReal("-.5"), -0.5);
    EXPECT_EQ(ToReal("+3"), 3.0);
    EXPECT_EQ(ToReal("5."), 5.0);
    EXPECT_EQ(ToReal("1e3"), 1000.0);
    EXPECT_EQ(ToReal("2E-2x"), 0.02);
    EXPECT_EQ(ToReal("7e"), 7.0);    // an exponent without digits is not read
    EXPECT_EQ(ToReal("7e+"), 7.0);
    EXPECT_EQ(ToReal("\t\n 4"), 4.0);
    EXPECT_EQ(ToReal("0x1F"), 0.0);  // no hexadecimal
    EXPECT_EQ(ToReal("inf"), 0.0);   // no words
    EXPECT_EQ(ToReal("nan"), 0.0);
    EXPECT_EQ(ToReal("."), 0.0);
    EXPECT_EQ(ToReal("-"), 0.0);
    EXPECT_EQ(ToReal("   "), 0.0);
    EXPECT_EQ(ToReal("abc"), 0.0);
    EXPECT_EQ(ToReal("1,5"), 1.0);
}

TEST(TextToReal, HugeAndTinyExponentsSaturate) {
    EXPECT_EQ(ToReal("1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ToReal("-1e999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(ToReal("1e-999"), 0.0);
    EXPECT_EQ(ToReal("1e99999999999999999999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ToReal("0.0000001e-99999999999"), 0.0);
    EXPECT_EQ(ToReal("0e999999"), 0.0);
    EXPECT_EQ(ToReal("4.9e-324"), std::numeric_limits<double>::denorm_min());
}

TEST(TextToReal, VeryLongTexts) {
    const std::string ones(10000, '1');
    EXPECT_EQ(ToReal(ones.c_str()), std::numeric_limits<double>::infinity());
    const std::string small = "0." + std::string(10000, '0') + "1";
    EXPECT_EQ(ToReal(small.c_str()), 0.0);
    const std::string longFraction = "2." + std::string(10000, '5');
    EXPECT_DOUBLE_EQ(ToReal(longFraction.c_str()), 2.5555555555555554);
    const std::string digits = std::string(300, '9');
    EXPECT_EQ(ToReal(digits.c_str()), 1e300);
}

TEST(TextToReal, StopsAtAnEmbeddedZeroByte) {
    RtString s;
    std::memcpy(s.getBuffer(8), "12\0" "34", 6);
    s.recount();
    EXPECT_EQ(static_cast<double>(s), 12.0);
    EXPECT_EQ(vtx::TextToReal("9\0" "9"), 9.0);
}

TEST(TextToReal, RoundTripsThroughNumberText) {
    for (double v : {3.0, -2.25, 123456.789, 1e10, 0.05, 1.5e-7, 6.02214076e23}) {
        EXPECT_EQ(ToReal(RtString(v).c_str()), v) << v;
    }
}

TEST(TextToInteger, DigitsOnly) {
    EXPECT_EQ(ToInt("3.7"), 3);
    EXPECT_EQ(ToInt("0x1F"), 0);
    EXPECT_EQ(ToInt("-12abc"), -12);
    EXPECT_EQ(ToInt("  +42"), 42);
    EXPECT_EQ(ToInt(""), 0);
    EXPECT_EQ(ToInt("-"), 0);
    EXPECT_EQ(ToInt("1e5"), 1);
    EXPECT_EQ(ToInt("007"), 7);
}

TEST(TextToInteger, OutsideTheRangeSaturates) {
    EXPECT_EQ(ToInt("2147483647"), 2147483647);
    EXPECT_EQ(ToInt("2147483648"), 2147483647);
    EXPECT_EQ(ToInt("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(ToInt("-2147483649"), -2147483647 - 1);
    EXPECT_EQ(ToInt("99999999999999999999999999"), 2147483647);
    EXPECT_EQ(ToInt(std::string(10000, '9').c_str()), 2147483647);
    EXPECT_EQ(ToInt(("-" + std::string(10000, '9')).c_str()), -2147483647 - 1);
    EXPECT_EQ(ToInt("00000000000000000000000000012"), 12);
}

}  // namespace
