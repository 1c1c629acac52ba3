// RtString: ownership, capacity growth, assignment, append, concatenation,
// comparison and direct buffer access.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/rt_string.h"

namespace {

std::string Text(const RtString& s) { return std::string(s.c_str(), s.length()); }

TEST(RtStringValue, EmptyValuesShareTheStaticEmptyTextAndAllocateNothing) {
    RtString a;
    RtString b("");
    RtString c(b);
    EXPECT_TRUE(a.usesSharedEmpty());
    EXPECT_TRUE(b.usesSharedEmpty());
    EXPECT_TRUE(c.usesSharedEmpty());
    EXPECT_EQ(a.c_str(), b.c_str());
    EXPECT_EQ(b.capacity(), 0u);
    EXPECT_EQ(b.length(), 0u);
    EXPECT_STREQ(RtString(static_cast<const char*>(nullptr)).c_str(), "");
}

TEST(RtStringValue, CapacityFollowsTheSixteenByteRule) {
    struct Case { size_t length; uint32_t capacity; };
    for (const Case& c : std::vector<Case>{{1, 16}, {14, 16}, {15, 32}, {30, 32}, {31, 48}, {46, 48}, {47, 64}}) {
        const std::string text(c.length, 'x');
        RtString s(text.c_str());
        EXPECT_EQ(s.capacity(), c.capacity) << "length " << c.length;
        EXPECT_EQ(s.length(), c.length);
        EXPECT_EQ(Text(s), text);
    }
}

TEST(RtStringValue, CopiesNeverShareABlock) {
    RtString a("hello");
    RtString b(a);
    EXPECT_NE(a.c_str(), b.c_str());
    EXPECT_EQ(Text(b), "hello");
    b += "!";
    EXPECT_EQ(Text(a), "hello");
}

TEST(RtStringValue, NumbersGetTheirFixedReservations) {
    EXPECT_EQ(RtString(int32_t{7}).capacity(), 32u);
    EXPECT_EQ(RtString(2.5).capacity(), 80u);
    EXPECT_EQ(RtString(2.5f).capacity(), 80u);
    const RtString smallest(int32_t{-2147483647 - 1});
    EXPECT_EQ(Text(smallest), "-2147483648");
    EXPECT_EQ(smallest.length(), 11u);
    EXPECT_EQ(Text(RtString(int32_t{0})), "0");
    EXPECT_EQ(Text(RtString(int32_t{2147483647})), "2147483647");
}

TEST(RtStringAssign, TargetTakesTheCapacityConstructionGives) {
    RtString s(std::string(40, 'a').c_str());
    ASSERT_EQ(s.capacity(), 48u);
    s = "ab";
    EXPECT_EQ(s.capacity(), 16u);
    EXPECT_EQ(Text(s), "ab");
    s = int32_t{5};
    EXPECT_EQ(s.capacity(), 32u);
    s = 0.25;
    EXPECT_EQ(s.capacity(), 80u);
    EXPECT_EQ(Text(s), "0.25");
    s = 0.1f;
    EXPECT_EQ(Text(s), "0.1000000015");
    s = "";
    EXPECT_TRUE(s.usesSharedEmpty());
}

TEST(RtStringAssign, SelfAssignmentIsHarmless) {
    RtString s("same");
    const RtString& alias = s;
    s = alias;
    EXPECT_EQ(Text(s), "same");
    s = s.c_str();
    EXPECT_EQ(Text(s), "same");
}

TEST(RtStringAppend, EmptyOperandChangesNothing) {
    RtString s;
    s += "";
    EXPECT_TRUE(s.usesSharedEmpty());
    RtString t("abc");
    const char* before = t.c_str();
    t += RtString();
    EXPECT_EQ(t.c_str(), before);
    EXPECT_EQ(t.capacity(), 16u);
}

TEST(RtStringAppend, OneCharacterAtATimeReallocatesAtTheRuleLengths) {
    RtString s;
    std::vector<uint32_t> growthLengths;
    uint32_t capacity = s.capacity();
    for (int i = 1; i <= 80; ++i) {
        s += "x";
        if (s.capacity() != capacity) {
            growthLengths.push_back(s.length());
            capacity = s.capacity();
        }
    }
    EXPECT_EQ(growthLengths, (std::vector<uint32_t>{1, 15, 31, 47, 63, 79}));
    EXPECT_EQ(Text(s), std::string(80, 'x'));
}

TEST(RtStringAppend, NumbersAppendTheirText) {
    RtString s("n=");
    s += int32_t{-12};
    s += " x=";
    s += 3.0;
    s += " f=";
    s += 0.1f;
    EXPECT_EQ(Text(s), "n=-12 x=3 f=0.1000000015");
}

TEST(RtStringAppend, AppendingItselfOrAPieceOfItselfIsSafe) {
    RtString s("abcdefghijklmn");  // 14 characters: capacity 16, next append reallocates
    s += s;
    EXPECT_EQ(Text(s), "abcdefghijklmnabcdefghijklmn");
    RtString t("0123456789abcd");
    t += t.c_str() + 10;
    EXPECT_EQ(Text(t), "0123456789abcdabcd");
}

TEST(RtStringConcat, EveryPairingInBothOrders) {
    const RtString s("v");
    EXPECT_EQ(Text(s + s), "vv");
    EXPECT_EQ(Text(s + "w"), "vw");
    EXPECT_EQ(Text("w" + s), "wv");
    EXPECT_EQ(Text(s + int32_t{4}), "v4");
    EXPECT_EQ(Text(int32_t{4} + s), "4v");
    EXPECT_EQ(Text(s + 1.5f), "v1.5");
    EXPECT_EQ(Text(1.5f + s), "1.5v");
    EXPECT_EQ(Text(s + 1e10), "v1.e+010");
    EXPECT_EQ(Text(1e10 + s), "1.e+010v");
    EXPECT_EQ(Text(RtString("Score: ") + 1234 + " / " + 0.5), "Score: 1234 / 0.5");
}

TEST(RtStringCompare, TextsCompareAsUnsignedBytes) {
    EXPECT_TRUE(RtString("abc") < RtString("abd"));
    EXPECT_TRUE(RtString("ab") < "abc");
    EXPECT_TRUE("B" < RtString("a"));
    EXPECT_TRUE(RtString("a") > "Z");
    EXPECT_TRUE(RtString("\xe9") > "z");  // bytes above 127 sort after ASCII
    EXPECT_TRUE(RtString("") < "a");
    EXPECT_TRUE(RtString("") == "");
    EXPECT_TRUE(RtString("abc") == RtString("abc"));
    EXPECT_TRUE(RtString("abc") != "abcd");
    EXPECT_TRUE(RtString("abc") <= "abc");
    EXPECT_TRUE(RtString("abd") >= "abc");
    EXPECT_FALSE(RtString("abc") > "abc");
}

TEST(RtStringCompare, TextWithNumbersComparesNumerically) {
    EXPECT_TRUE(RtString("10") > 9);
    EXPECT_TRUE(9 < RtString("10"));  // as text "10" < "9"; as numbers it is not
    EXPECT_TRUE(RtString("abc") == 0);
    EXPECT_TRUE(RtString("3.7") == 3);
    EXPECT_TRUE(RtString("3.7") == 3.7);
    EXPECT_FALSE(RtString("0.1") == 0.1f);
    EXPECT_TRUE(RtString("0.1") == 0.1);
    EXPECT_TRUE(RtString("0.1") != 0.1f);
    EXPECT_TRUE(2.5 <= RtString("2.5"));
    EXPECT_TRUE(RtString("-4") < 0.0f);
    EXPECT_TRUE(RtString("  12kg") >= 12);
}

TEST(RtStringBuffer, ReserveKeepsOrDropsTheText) {
    RtString s("keep me");
    s.reserve(40, true);
    EXPECT_EQ(s.capacity(), 48u);
    EXPECT_EQ(Text(s), "keep me");
    s.reserve(10, false);  // already large enough: nothing happens
    EXPECT_EQ(Text(s), "keep me");
    s.reserve(100, false);
    EXPECT_EQ(s.capacity(), 112u);
    EXPECT_STREQ(s.c_str(), "");
    EXPECT_EQ(s.length(), 7u);  // reserve leaves the length to its caller
    s.reserve(0, true);
    EXPECT_EQ(s.capacity(), 112u);
}

TEST(RtStringBuffer, RecountStopsAtTheBlockEnd) {
    RtString s;
    char* block = s.getBuffer(10);
    ASSERT_EQ(s.capacity(), 16u);
    std::memset(block, 'q', 16);  // a writer that forgot the terminator
    s.recount();
    EXPECT_EQ(s.length(), 15u);
    EXPECT_EQ(block[15], 0);
    EXPECT_EQ(Text(s), std::string(15, 'q'));

    std::strcpy(s.getBuffer(10), "short");
    s.recount();
    EXPECT_EQ(Text(s), "short");
    s.getBuffer(3)[0] = 0;
    s.recount();
    EXPECT_EQ(s.length(), 0u);

    RtString empty;
    empty.recount();
    EXPECT_EQ(empty.length(), 0u);
}

TEST(RtStringBuffer, TruncateOnlyInsideTheBlock) {
    RtString s("truncate me");
    s.truncate(8);
    EXPECT_EQ(Text(s), "truncate");
    s.truncate(16);  // equal to the capacity: nothing happens
    EXPECT_EQ(Text(s), "truncate");
    s.truncate(-1);
    EXPECT_EQ(Text(s), "truncate");
    s.truncate(0);
    EXPECT_EQ(s.length(), 0u);
    EXPECT_EQ(s.capacity(), 16u);  // the block stays
    EXPECT_FALSE(s.usesSharedEmpty());
    s += "again";
    EXPECT_EQ(Text(s), "again");

    RtString empty;
    empty.truncate(0);  // the shared empty text is never written
    EXPECT_TRUE(empty.usesSharedEmpty());
}

TEST(RtStringBuffer, ClearReturnsToTheSharedEmptyText) {
    RtString s("something");
    s.clear();
    EXPECT_TRUE(s.usesSharedEmpty());
    EXPECT_EQ(s.capacity(), 0u);
    EXPECT_EQ(s.length(), 0u);
    s += "reuse";
    EXPECT_EQ(Text(s), "reuse");
}

TEST(RtStringBuffer, EmbeddedZeroBytesAreKeptByCopies) {
    RtString s;
    char* block = s.getBuffer(5);
    std::memcpy(block, "ab\0cd", 6);
    s.recount();
    EXPECT_EQ(s.length(), 2u);  // recount stops at the first zero byte
    RtString copy(s);
    EXPECT_EQ(Text(copy), "ab");
}

TEST(RtStringValue, MovedFromValueIsEmptyAndUsable) {
    RtString a("moving text");
    RtString b(std::move(a));
    EXPECT_EQ(Text(b), "moving text");
    EXPECT_TRUE(a.usesSharedEmpty());  // NOLINT(bugprone-use-after-move)
    a += "fine";
    EXPECT_EQ(Text(a), "fine");
}

}  // namespace
