// Text commands: parts, search, replace (against the plain replace loop),
// case, character codes, number formatting (against printf) and splitting.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/text_commands_internal.h"

namespace {

std::string Text(const RtString& s) { return std::string(s.c_str(), s.length()); }

RtString Bytes(const std::string& s) { return vtx::TextOf(s.data(), s.size()); }

// The replace loop taken literally: rebuild the text at each occurrence and
// search again from p + R - F + 1 (held at 0), or after the replacement when
// both have the same length.
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

std::string Printf(int width, int decimals, double value) {
    std::vector<char> out(static_cast<size_t>(std::abs(width)) + static_cast<size_t>(decimals) + 400);
    const int n = std::snprintf(out.data(), out.size(), "%*.*f", width, decimals, value);
    return std::string(out.data(), static_cast<size_t>(n));
}

// ---- MidText and FindText --------------------------------------------------

TEST(MidText, CountsCutAtTheEndAndStartsOutsideGiveNothing) {
    const RtString hello("hello");
    EXPECT_EQ(Text(MidText(hello, 1, 3)), "ell");
    EXPECT_EQ(Text(MidText(hello, 3, -1)), "lo");
    EXPECT_EQ(Text(MidText(hello, 3, 10)), "lo");
    EXPECT_EQ(Text(MidText(hello, 0, 5)), "hello");
    EXPECT_EQ(Text(MidText(hello, 5, 1)), "");
    EXPECT_EQ(Text(MidText(hello, -1, 3)), "");
    EXPECT_EQ(Text(MidText(hello, 2, 0)), "");
    EXPECT_EQ(Text(MidText(RtString(), 0, -1)), "");
    EXPECT_TRUE(MidText(hello, 9, 1).usesSharedEmpty());
}

TEST(MidText, HugeAndNegativeValuesNeverWrap) {
    const RtString hello("hello");
    EXPECT_EQ(Text(MidText(hello, 2, INT32_MAX)), "llo");  // start + count beyond 32 bits
    EXPECT_EQ(Text(MidText(hello, INT32_MAX, INT32_MAX)), "");
    EXPECT_EQ(Text(MidText(hello, INT32_MIN, 3)), "");
    EXPECT_EQ(Text(MidText(hello, INT32_MIN, INT32_MAX)), "");
    EXPECT_EQ(Text(MidText(hello, 1, INT32_MIN)), "ello");
}

TEST(MidText, ZeroBytesAreCharacters) {
    EXPECT_EQ(Text(MidText(Bytes(std::string("a\0b\0c", 5)), 1, 3)), std::string("\0b\0", 3));
}

TEST(FindText, PositionsFromTheStartOfTheWholeText) {
    const RtString banana("banana");
    EXPECT_EQ(FindText(banana, RtString("an"), 0), 1);
    EXPECT_EQ(FindText(banana, RtString("an"), 2), 3);
    EXPECT_EQ(FindText(banana, RtString("an"), 6), -1);
    EXPECT_EQ(FindText(banana, RtString("an"), 7), -1);
    EXPECT_EQ(FindText(banana, RtString("an"), -1), -1);
    EXPECT_EQ(FindText(banana, RtString("AN"), 0), -1);  // case matters
    EXPECT_EQ(FindText(banana, RtString("banana!"), 0), -1);
    EXPECT_EQ(FindText(banana, RtString(), 4), 4);  // empty search: found at start
    EXPECT_EQ(FindText(banana, RtString(), 6), 6);
    EXPECT_EQ(FindText(banana, RtString(), 7), -1);
    EXPECT_EQ(FindText(banana, RtString("a"), INT32_MAX), -1);
    EXPECT_EQ(FindText(banana, RtString("a"), INT32_MIN), -1);
}

TEST(FindText, SearchesPastZeroBytes) {
    const RtString text = Bytes(std::string("ab\0cd\0cd", 8));
    EXPECT_EQ(FindText(text, RtString("cd"), 0), 3);
    EXPECT_EQ(FindText(text, Bytes(std::string("\0cd", 3)), 3), 5);
}

TEST(FindText, ANeedleThatRepeatsItselfInATextMadeOfIt) {
    // Every byte starts a near match: the search must still find the end.
    const std::string as(20000, 'a');
    const RtString needle((std::string(100, 'a') + "b").c_str());
    EXPECT_EQ(FindText(RtString((as + "b").c_str()), needle, 0), 19900);
    EXPECT_EQ(FindText(RtString((as + "b" + as + "b").c_str()), needle, 19901), 39901);
    EXPECT_EQ(FindText(RtString(as.c_str()), needle, 0), -1);
    EXPECT_EQ(Text(ReplaceText(RtString((as + "b").c_str()), needle, RtString("!"))), std::string(19900, 'a') + "!");
}

// ---- ReplaceText -----------------------------------------------------------

TEST(ReplaceText, LongerShorterAndEqualReplacements) {
    EXPECT_EQ(Text(ReplaceText(RtString("aXbXc"), RtString("X"), RtString("YY"))), "aYYbYYc");
    EXPECT_EQ(Text(ReplaceText(RtString("abc"), RtString("b"), RtString("Q"))), "aQc");
    EXPECT_EQ(Text(ReplaceText(RtString("abc"), RtString("abc"), RtString("xyz"))), "xyz");
    EXPECT_EQ(Text(ReplaceText(RtString("a--b--"), RtString("--"), RtString())), "ab");
    EXPECT_EQ(Text(ReplaceText(RtString("none here"), RtString("zz"), RtString("y"))), "none here");
    EXPECT_EQ(Text(ReplaceText(RtString("keep"), RtString(), RtString("y"))), "keep");
    EXPECT_EQ(Text(ReplaceText(RtString(), RtString("a"), RtString("b"))), "");
}

TEST(ReplaceText, EveryOccurrenceGoesWhenTheReplacementIsShorter) {
    // The resume position would fall before the text's start here.
    EXPECT_EQ(Text(ReplaceText(RtString("abcabc"), RtString("abc"), RtString())), "");
    EXPECT_EQ(Text(ReplaceText(RtString("abcabcabc"), RtString("abc"), RtString("x"))), "xxx");
    // An occurrence that removing another one completes goes too.
    EXPECT_EQ(Text(ReplaceText(RtString("ababcc"), RtString("abc"), RtString())), "");
    EXPECT_EQ(Text(ReplaceText(RtString("aaaa"), RtString("aa"), RtString("a"))), "a");
}

TEST(ReplaceText, AReplacementHoldingTheSearchTextNeverLoops) {
    EXPECT_EQ(Text(ReplaceText(RtString("aaa"), RtString("a"), RtString("aa"))), "aaaaaa");
    EXPECT_EQ(Text(ReplaceText(RtString("xabx"), RtString("ab"), RtString("abab"))), "xababx");
    EXPECT_EQ(Text(ReplaceText(RtString("ab"), RtString("ab"), RtString("ab"))), "ab");
    EXPECT_EQ(Text(ReplaceText(RtString("abab"), RtString("ab"), RtString("aab"))), "aabaab");
}

TEST(ReplaceText, ZeroBytesAreSearchedAndReplacedLikeAnyOther) {
    const RtString text = Bytes(std::string("a\0b\0c", 5));
    EXPECT_EQ(Text(ReplaceText(text, Bytes(std::string("\0", 1)), RtString("--"))), "a--b--c");
    EXPECT_EQ(Text(ReplaceText(text, RtString("b"), RtString())), std::string("a\0\0c", 4));
}

TEST(ReplaceText, MatchesTheLiteralLoopOnRandomTexts) {
    std::mt19937 random(2024);
    auto word = [&](size_t most) {
        std::string s(random() % (most + 1), 'a');
        for (char& c : s) c = static_cast<char>("ab\0"[random() % 3]);
        return s;
    };
    for (int round = 0; round < 20000; ++round) {
        const std::string text = word(24), f = word(4), r = word(5);
        ASSERT_EQ(Text(ReplaceText(Bytes(text), Bytes(f), Bytes(r))), ReplaceModel(text, f, r))
            << "text " << text << " search " << f << " replacement " << r;
    }
}

// ---- Case and character codes ----------------------------------------------

TEST(CaseAndCodes, OnlyAsciiLettersChangeCase) {
    const RtString mixed = Bytes(std::string("Az@[`{\xC9\xE9\0z", 10));
    EXPECT_EQ(Text(LowerText(mixed)), std::string("az@[`{\xC9\xE9\0z", 10));
    EXPECT_EQ(Text(UpperText(mixed)), std::string("AZ@[`{\xC9\xE9\0Z", 10));
    EXPECT_EQ(Text(LowerText(RtString())), "");
    EXPECT_EQ(Text(mixed), std::string("Az@[`{\xC9\xE9\0z", 10));  // the argument is left alone
}

TEST(CaseAndCodes, CharCodeIsUnsignedAndCharTextTakesTheLowByte) {
    EXPECT_EQ(CharCode(RtString()), 0);
    EXPECT_EQ(CharCode(RtString("\xC8xyz")), 200);
    EXPECT_EQ(CharCode(RtString("A")), 65);
    EXPECT_EQ(Text(CharText(321)), "A");
    EXPECT_EQ(Text(CharText(-1)), "\xFF");
    const RtString zero = CharText(0);
    EXPECT_EQ(zero.length(), 1u);
    EXPECT_EQ(zero.c_str()[0], 0);
    EXPECT_EQ(CharCode(CharText(200)), 200);
}

// ---- FormatNumber and NumberTextLength -------------------------------------

TEST(FormatNumber, FieldsAlignmentAndRounding) {
    EXPECT_EQ(Text(FormatNumber(8, 2, 3.14159)), "    3.14");
    EXPECT_EQ(Text(FormatNumber(1, 3, -1)), "-1.000");
    EXPECT_EQ(Text(FormatNumber(-8, 2, 3.14159)), "3.14    ");
    EXPECT_EQ(Text(FormatNumber(0, 0, 2.5)), "2");  // exact halves round to even
    EXPECT_EQ(Text(FormatNumber(0, 0, 3.5)), "4");
    EXPECT_EQ(Text(FormatNumber(0, 2, 0.125)), "0.12");
    EXPECT_EQ(Text(FormatNumber(0, 2, -0.001)), "-0.00");
    EXPECT_EQ(Text(FormatNumber(8.9, 2.7, 1.0)), "    1.00");  // width and decimals truncate
    EXPECT_EQ(Text(FormatNumber(0, -3, 7.6)), "8");             // negative decimals count as none
    EXPECT_EQ(Text(FormatNumber(0, 0, 1e22)), "10000000000000000000000");
    EXPECT_EQ(Text(FormatNumber(6, 1, INFINITY)), "   inf");
    EXPECT_EQ(Text(FormatNumber(-5, 1, -INFINITY)), "-inf ");
    EXPECT_EQ(Text(FormatNumber(0, 3, NAN)), "nan");
    EXPECT_EQ(Text(FormatNumber(NAN, NAN, 2.5)), "2");  // NaN width and decimals count as 0
}

TEST(FormatNumber, AnyWidthAndAnyNumberOfDecimals) {
    const RtString wide = FormatNumber(100000, 1, 2.5);
    ASSERT_EQ(wide.length(), 100000u);
    EXPECT_EQ(Text(wide), std::string(99997, ' ') + "2.5");
    EXPECT_EQ(Text(FormatNumber(-100000, 0, 7)), "7" + std::string(99999, ' '));
    // More decimals than any double has: the exact value, then zeros.
    EXPECT_EQ(Text(FormatNumber(0, 5000, 0.1)), Printf(0, 5000, 0.1));
    EXPECT_EQ(Text(FormatNumber(0, 3000, 5e-324)), Printf(0, 3000, 5e-324));
    EXPECT_EQ(Text(FormatNumber(0, 2, -1.7976931348623157e308)), Printf(0, 2, -1.7976931348623157e308));
}

TEST(FormatNumber, MatchesPrintfOnRandomValues) {
    std::mt19937_64 random(7);
    for (int round = 0; round < 100000; ++round) {
        const int width = static_cast<int>(random() % 41) - 20;
        const int decimals = static_cast<int>(random() % 20);
        double value;
        if (round % 2 == 0) {
            const uint64_t bits = random();
            std::memcpy(&value, &bits, sizeof value);
        } else {
            value = static_cast<double>(static_cast<int64_t>(random() % 2000001) - 1000000) / 1000.0;
        }
        ASSERT_EQ(Text(FormatNumber(width, decimals, value)), Printf(width, decimals, value))
            << width << "." << decimals << " of " << value;
    }
}

TEST(NumberTextLength, CountsTheNumberText) {
    EXPECT_EQ(NumberTextLength(0.5), 3);
    EXPECT_EQ(NumberTextLength(-12), 3);
    EXPECT_EQ(NumberTextLength(3.0), 1);
    EXPECT_EQ(NumberTextLength(1e10), 7);  // 1.e+010
    EXPECT_EQ(NumberTextLength(INT32_MIN), 11);
    EXPECT_EQ(NumberTextLength(0.1f), 12);  // 0.1000000015: the float is widened
}

// ---- SplitText -------------------------------------------------------------

std::vector<std::string> Pieces(RtArray<RtString>& a) {
    std::vector<std::string> all;
    for (int32_t i = 0; i < ArrayBounds(a, 0); ++i) all.push_back(Text(ArrayElement(a, i)));
    return all;
}

TEST(SplitText, RunsOfDelimitersMakeNoEmptyPieces) {
    RtArray<RtString> a;
    EXPECT_EQ(SplitText(RtString(",a,,b c,"), a, RtString(", ")), 3);
    EXPECT_EQ(Pieces(a), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(a.dimensionCount(), 1);
    EXPECT_EQ(SplitText(RtString("one"), a, RtString(",")), 1);
    EXPECT_EQ(Pieces(a), (std::vector<std::string>{"one"}));
    EXPECT_EQ(SplitText(RtString(",,,"), a, RtString(",")), 0);
    EXPECT_EQ(ArrayBounds(a, 0), 0);
}

TEST(SplitText, EmptyTextsAndEmptyDelimiters) {
    RtArray<RtString> a;
    ArrayAppend(a, RtString("old"));
    EXPECT_EQ(SplitText(RtString(), a, RtString(",")), 0);
    EXPECT_EQ(ArrayBounds(a, 0), 0);
    EXPECT_EQ(a.dimensionCount(), 0);
    EXPECT_EQ(SplitText(RtString("a,b"), a, RtString()), 1);  // no delimiter: one piece
    EXPECT_EQ(Pieces(a), (std::vector<std::string>{"a,b"}));
    EXPECT_EQ(SplitText(RtString(), a, RtString()), 0);
}

TEST(SplitText, EmptiesAnArrayOfAnyShapeAndEndsAsAppendingWould) {
    RtArray<RtString> a;
    DimArray(a, 3, 4);
    EXPECT_EQ(SplitText(RtString("x y"), a, RtString(" ")), 2);
    EXPECT_EQ(Pieces(a), (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(ArrayBounds(a, 1), 0);
    RtArray<RtString> appended;
    std::string many;
    for (int i = 0; i < 200; ++i) {
        many += std::to_string(i) + ";";
        ArrayAppend(appended, RtString(std::to_string(i).c_str()));
    }
    EXPECT_EQ(SplitText(RtString(many.c_str()), a, RtString(";")), 200);
    EXPECT_EQ(Pieces(a), Pieces(appended));
    EXPECT_EQ(a.capacity(), appended.capacity());
}

TEST(SplitText, ZeroBytesAndTheTextBeingAnElementOfTheArray) {
    RtArray<RtString> a;
    EXPECT_EQ(SplitText(Bytes(std::string("a\0b", 3)), a, Bytes(std::string("\0", 1))), 2);
    EXPECT_EQ(Pieces(a), (std::vector<std::string>{"a", "b"}));
    ArrayElement(a, 0) = "p q r";
    EXPECT_EQ(SplitText(ArrayElement(a, 0), a, RtString(" ")), 3);
    EXPECT_EQ(Pieces(a), (std::vector<std::string>{"p", "q", "r"}));
}

}  // namespace
