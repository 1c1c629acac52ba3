// Number text: every number printed, joined or written passes through these
// rules, so they are checked character for character.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "core/number_text.h"
#include "core/rt_string.h"

namespace {

std::string Real(double v) { return RtString(v).c_str(); }
std::string Float(float v) { return RtString(v).c_str(); }

TEST(NumberText, TheReferenceTable) {
    EXPECT_EQ(Real(3.0), "3");
    EXPECT_EQ(Real(0.5), "0.5");
    EXPECT_EQ(Real(-2.25), "-2.25");
    EXPECT_EQ(Real(1.0 / 3.0), "0.3333333333");
    EXPECT_EQ(Real(2.0 / 3.0), "0.6666666667");
    EXPECT_EQ(Real(123456.789), "123456.789");
    EXPECT_EQ(Real(1234567890.0), "1234567890");
    EXPECT_EQ(Real(12345678901.0), "1.23456789e+010");
    EXPECT_EQ(Real(10000000000.0), "1.e+010");
    EXPECT_EQ(Real(0.05), "5.e-002");
    EXPECT_EQ(Real(0.000123), "1.23e-004");
    EXPECT_EQ(Real(-0.00000015), "-1.5e-007");
    EXPECT_EQ(Real(0.0), "0");
    EXPECT_EQ(Real(0.1), "0.1");
    EXPECT_EQ(Float(0.1f), "0.1000000015");
    EXPECT_EQ(Float(3.14159f), "3.141590118");
}

TEST(NumberText, FormBoundariesFollowTheRoundedExponent) {
    EXPECT_EQ(Real(0.1), "0.1");                 // e = -1: fixed
    EXPECT_EQ(Real(0.099), "9.9e-002");          // e = -2: scientific
    EXPECT_EQ(Real(9999999999.0), "9999999999");  // e = 9: fixed
    EXPECT_EQ(Real(9999999999.6), "1.e+010");    // rounds up into e = 10
    EXPECT_EQ(Real(0.0999999999996), "0.1");     // rounds up into e = -1
    EXPECT_EQ(Real(1.0), "1");
    EXPECT_EQ(Real(10.0), "10");
    EXPECT_EQ(Real(-1234.5), "-1234.5");
    EXPECT_EQ(Real(0.12345678901), "0.123456789");
    EXPECT_EQ(Real(1.00000000049), "1");
}

TEST(NumberText, ExponentsKeepAtLeastThreeDigits) {
    EXPECT_EQ(Real(1e100), "1.e+100");
    EXPECT_EQ(Real(1.5e-300), "1.5e-300");
    EXPECT_EQ(Real(-2e15), "-2.e+015");
    EXPECT_EQ(Real(std::numeric_limits<double>::max()), "1.797693135e+308");
    EXPECT_EQ(Real(std::numeric_limits<double>::denorm_min()), "4.940656458e-324");
    EXPECT_EQ(Float(std::numeric_limits<float>::max()), "3.402823466e+038");
}

TEST(NumberText, SpecialValues) {
    EXPECT_EQ(Real(-0.0), "0");
    EXPECT_EQ(Real(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(Real(-std::numeric_limits<double>::infinity()), "-inf");
    EXPECT_EQ(Real(std::nan("")), "nan");
}

TEST(NumberText, IntegersArePlainDecimal) {
    char text[vtx::kIntegerTextRoom];
    EXPECT_EQ(vtx::FormatInteger(0, text), 1u);
    EXPECT_STREQ(text, "0");
    vtx::FormatInteger(-7, text);
    EXPECT_STREQ(text, "-7");
    EXPECT_EQ(vtx::FormatInteger(-2147483647 - 1, text), 11u);
    EXPECT_STREQ(text, "-2147483648");
    vtx::FormatInteger(1000000, text);
    EXPECT_STREQ(text, "1000000");
}

// Reference for the fixed/scientific choice built from the C library, to
// check many values beyond the table.
std::string Reference(double v) {
    char sci[64];
    std::snprintf(sci, sizeof sci, "%.9e", v);
    const int e = std::atoi(std::strchr(sci, 'e') + 1);
    std::string text;
    if (e < -1 || e > 9) {
        std::string mantissa(sci, std::strchr(sci, 'e'));
        while (mantissa.back() == '0') mantissa.pop_back();
        char exponent[16];
        std::snprintf(exponent, sizeof exponent, "e%c%03d", e < 0 ? '-' : '+', e < 0 ? -e : e);
        text = mantissa + exponent;
    } else {
        char fixed[400];
        std::snprintf(fixed, sizeof fixed, "%.*f", 9 - e, v);
        text = fixed;
        if (text.find('.') != std::string::npos) {
            while (text.back() == '0') text.pop_back();
            if (text.back() == '.') text.pop_back();
        }
    }
    return text;
}

TEST(NumberText, AgreesWithTheCLibraryOnManyValues) {
    uint64_t state = 0x9e3779b97f4a7c15u;
    for (int i = 0; i < 200000; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        double v;
        if (i % 2 == 0) {
            std::memcpy(&v, &state, sizeof v);  // any bit pattern
            if (!std::isfinite(v) || v == 0) continue;
        } else {
            v = static_cast<double>(static_cast<int64_t>(state % 2000000001) - 1000000000) /
                std::pow(10.0, static_cast<double>(state >> 60));  // decimal-looking values
            if (v == 0) continue;
        }
        ASSERT_EQ(Real(v), Reference(v)) << "value bits " << std::hex << state;
    }
}

}  // namespace
