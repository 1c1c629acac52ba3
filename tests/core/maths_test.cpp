// Maths commands: degrees, clamped inverses, remainders (the one quotient
// without a 32-bit value included), absolute values, box overlap, and the
// random commands at the ends of their range.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/maths_internal.h"
#include "core/random_internal.h"

namespace {

TEST(Trigonometry, AnglesAreDegrees) {
    EXPECT_NEAR(SinDeg(30), 0.5, 1e-15);
    EXPECT_NEAR(CosDeg(60), 0.5, 1e-15);
    EXPECT_NEAR(TanDeg(45), 1.0, 1e-15);
    EXPECT_NEAR(SinDeg(-90), -1.0, 1e-15);
    EXPECT_DOUBLE_EQ(ATan2Deg(1, 1), 45);
    EXPECT_DOUBLE_EQ(ATan2Deg(0, -1), 180);
    EXPECT_DOUBLE_EQ(ATan2Deg(-1, 0), -90);
    EXPECT_NEAR(ASinDeg(0.5), 30, 1e-12);
    EXPECT_NEAR(ACosDeg(0.5), 60, 1e-12);
}

TEST(Trigonometry, InversesHoldTheirArgumentToPlusMinusOne) {
    EXPECT_EQ(ASinDeg(2), 90);
    EXPECT_EQ(ASinDeg(1), 90);
    EXPECT_EQ(ASinDeg(-1e300), -90);
    EXPECT_EQ(ACosDeg(-3), 180);
    EXPECT_EQ(ACosDeg(1.0000001), 0);
    EXPECT_TRUE(std::isnan(ASinDeg(NAN)));  // NaN is neither above nor below
}

TEST(RootsPowersRemainders, TheStandardResults) {
    EXPECT_EQ(SquareRoot(2.25), 1.5);
    EXPECT_TRUE(std::isnan(SquareRoot(-1)));
    EXPECT_EQ(Power(2, 10), 1024);
    EXPECT_TRUE(std::isnan(Power(-8, 1.0 / 3.0)));  // pow: a negative base, a fractional exponent
    EXPECT_EQ(FloatMod(7.5, 2), 1.5);
    EXPECT_EQ(FloatMod(-7.5, 2), -1.5);
    EXPECT_EQ(FloatMod(7.5, 0), 0);
    EXPECT_EQ(IntMod(-7, 3), -1);
    EXPECT_EQ(IntMod(7, -3), 1);
    EXPECT_EQ(IntMod(7, 0), 0);
}

TEST(RootsPowersRemainders, TheSmallestIntegerByMinusOneGivesZero) {
    volatile int32_t smallest = INT32_MIN;  // not folded away at compile time
    EXPECT_EQ(IntMod(smallest, -1), 0);
    EXPECT_EQ(IntMod(5, -1), 0);
    EXPECT_EQ(IntMod(smallest, INT32_MIN), 0);
    EXPECT_EQ(IntMod(smallest, 7), -2);
    EXPECT_EQ(IntMod(INT32_MAX, INT32_MIN), INT32_MAX);
}

TEST(AbsoluteValues, IncludingTheSmallestInteger) {
    EXPECT_EQ(AbsValue(-2.5), 2.5);
    EXPECT_EQ(std::signbit(AbsValue(-0.0)), false);
    EXPECT_EQ(IntAbs(-5), 5);
    EXPECT_EQ(IntAbs(INT32_MAX), INT32_MAX);
    EXPECT_EQ(IntAbs(INT32_MIN), INT32_MIN);
}

TEST(BoxesOverlap, TouchingEdgesDoNotCount) {
    EXPECT_FALSE(BoxesOverlap(0, 0, 10, 10, 10, 0, 5, 5));
    EXPECT_TRUE(BoxesOverlap(0, 0, 10, 10, 9, 9, 5, 5));
    EXPECT_FALSE(BoxesOverlap(0, 0, 10, 10, 0, 10, 10, 10));
}

TEST(BoxesOverlap, ZeroAndNegativeSizes) {
    EXPECT_TRUE(BoxesOverlap(5, 0, 0, 1, 5, 0, 5, 1));    // a zero-width box at 5 and 5..9
    EXPECT_FALSE(BoxesOverlap(4, 0, 0, 1, 5, 0, 5, 1));
    EXPECT_TRUE(BoxesOverlap(9, 0, -5, 1, 0, 0, 6, 1));   // 5..9 and 0..5
    EXPECT_FALSE(BoxesOverlap(9, 0, -5, 1, 0, 0, 5, 1));  // 5..9 and 0..4
}

TEST(BoxesOverlap, EdgesOfTheIntegerRangeDoNotWrap) {
    EXPECT_TRUE(BoxesOverlap(INT32_MAX, 0, 10, 1, INT32_MAX, 0, 1, 1));
    EXPECT_FALSE(BoxesOverlap(INT32_MAX - 1, 0, INT32_MAX, 1, 0, 0, 10, 1));
    EXPECT_FALSE(BoxesOverlap(INT32_MIN, 0, -10, 1, 0, 0, 10, 1));
    EXPECT_TRUE(BoxesOverlap(INT32_MIN, 0, INT32_MAX, 1, -5, 0, 1, 1));
}

TEST(RealToInteger, TruncatesAndSaturates) {
    EXPECT_EQ(vtx::RealToInteger(3.9), 3);
    EXPECT_EQ(vtx::RealToInteger(-3.9), -3);
    EXPECT_EQ(vtx::RealToInteger(1e12), INT32_MAX);
    EXPECT_EQ(vtx::RealToInteger(-1e12), INT32_MIN);
    EXPECT_EQ(vtx::RealToInteger(NAN), 0);
}

TEST(RandomAtTheEndsOfItsRange, TheLargestLimitTakesEveryOutputUnchanged) {
    // n + 1 = 2^31 must not wrap: every output modulo 2^31.
    SeedRandom(5);
    std::vector<uint32_t> raw;
    vtx::IsaacGenerator copy = vtx::RuntimeRandom();
    for (int i = 0; i < 300; ++i) raw.push_back(copy.next());
    for (int i = 0; i < 300; ++i) ASSERT_EQ(RandomInt(INT32_MAX), static_cast<int32_t>(raw[i] % 2147483648u));
    SeedRandom(5);
    for (int i = 0; i < 300; ++i) ASSERT_EQ(RandomInt(1), static_cast<int32_t>(raw[i] % 2u));
}

}  // namespace
