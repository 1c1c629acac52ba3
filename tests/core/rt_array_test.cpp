// RtArray: shapes and strides, storage rules, element access and its
// failures, resizing, appending, filling from values, copies and moves.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "core/rt_array.h"
#include "host/diagnostics.h"

namespace {

std::string Text(const RtString& s) { return std::string(s.c_str(), s.length()); }

template <typename T>
void ExpectSizes(const RtArray<T>& a, int32_t s0, int32_t s1, int32_t s2, int32_t s3, int32_t dimensions) {
    EXPECT_EQ(ArrayBounds(a, 0), s0);
    EXPECT_EQ(ArrayBounds(a, 1), s1);
    EXPECT_EQ(ArrayBounds(a, 2), s2);
    EXPECT_EQ(ArrayBounds(a, 3), s3);
    EXPECT_EQ(a.dimensionCount(), dimensions);
}

// ---- Shapes and element places -------------------------------------------

TEST(RtArrayShape, OneDimensionHoldsZerosAndCountsNegativeIndicesFromTheEnd) {
    RtArray<double> a;
    DimArray(a, 10, 0, 0, 0);
    ExpectSizes(a, 10, 0, 0, 0, 1);
    EXPECT_EQ(a.elementCount(), 10);
    for (int32_t i = 0; i < 10; ++i) EXPECT_EQ(ArrayElement(a, i), 0.0) << "element " << i;
    for (int32_t i = 0; i < 10; ++i) ArrayElement(a, i) = 100 + i;
    EXPECT_EQ(&ArrayElement(a, -1), &ArrayElement(a, 9));
    EXPECT_EQ(ArrayElement(a, -1), 109.0);
    EXPECT_EQ(ArrayElement(a, -10), 100.0);
    EXPECT_EQ(ArrayElement(a, -3), 107.0);
}

TEST(RtArrayShape, FirstIndexVariesFastest) {
    RtArray<int32_t> a;
    DimArray(a, 3, 4);
    ExpectSizes(a, 3, 4, 0, 0, 2);
    EXPECT_EQ(a.elementCount(), 12);
    EXPECT_EQ(&ArrayElement(a, 2, 1) - &ArrayElement(a, 0, 0), 5);
    EXPECT_EQ(&ArrayElement(a, 0, 3) - &ArrayElement(a, 0, 0), 9);
    for (int32_t j = 0; j < 4; ++j)
        for (int32_t i = 0; i < 3; ++i) ArrayElement(a, i, j) = 10 * i + j;
    std::set<const int32_t*> places;
    for (int32_t j = 0; j < 4; ++j)
        for (int32_t i = 0; i < 3; ++i) {
            EXPECT_EQ(ArrayElement(a, i, j), 10 * i + j) << i << "," << j;
            places.insert(&ArrayElement(a, i, j));
        }
    EXPECT_EQ(places.size(), 12u);
    EXPECT_EQ(*(&ArrayElement(a, 0, 0) + 5), 21);  // (2, 1) read through its position
}

TEST(RtArrayShape, FourDimensionsUseEveryStride) {
    RtArray<double> a;
    DimArray(a, 2, 3, 4, 5);
    ExpectSizes(a, 2, 3, 4, 5, 4);
    EXPECT_EQ(a.elementCount(), 120);
    const double* base = &ArrayElement(a, 0, 0, 0, 0);
    EXPECT_EQ(&ArrayElement(a, 1, 2, 3, 4) - base, 1 + 2 * 2 + 3 * 6 + 4 * 24);
    EXPECT_EQ(&ArrayElement(a, -1, 0, 0, 1) - base, 1 + 24);
}

// A middle size of 0 keeps one place in the count, so the strides come out
// as for (4, 1, 3) and no two indices share an element.
TEST(RtArrayShape, AbsentMiddleDimensionStillGivesEveryElementItsOwnPlace) {
    RtArray<double> a;
    DimArray(a, 4, 0, 3);
    ExpectSizes(a, 4, 0, 3, 0, 3);
    EXPECT_EQ(a.elementCount(), 12);
    for (int32_t k = 0; k < 3; ++k)
        for (int32_t i = 0; i < 4; ++i) ArrayElement(a, i, 0, k) = 10 * k + i;
    std::set<const double*> places;
    for (int32_t k = 0; k < 3; ++k)
        for (int32_t i = 0; i < 4; ++i) {
            EXPECT_EQ(ArrayElement(a, i, 0, k), 10 * k + i) << i << ",0," << k;
            places.insert(&ArrayElement(a, i, 0, k));
        }
    EXPECT_EQ(places.size(), 12u);
}

TEST(RtArrayShape, DimensionCountComesFromTheHighestSizeSet) {
    struct Case { int32_t s0, s1, s2, s3; int32_t stored[4]; int32_t dimensions; };
    const Case cases[] = {
        {0, 0, 0, 0, {0, 0, 0, 0}, 0},   {-5, 0, 0, 0, {0, 0, 0, 0}, 0},  {7, 0, 0, 0, {7, 0, 0, 0}, 1},
        {7, -2, 0, 0, {7, 0, 0, 0}, 1},  {7, 2, 0, 0, {7, 2, 0, 0}, 2},   {7, 0, 0, 2, {7, 0, 0, 2}, 4},
        {7, 2, -1, 3, {7, 2, 0, 3}, 4},  {0, 5, 0, 0, {0, 5, 0, 0}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "DimArray " << c.s0 << "," << c.s1 << "," << c.s2 << "," << c.s3);
        RtArray<int32_t> a;
        DimArray(a, c.s0, c.s1, c.s2, c.s3);
        ExpectSizes(a, c.stored[0], c.stored[1], c.stored[2], c.stored[3], c.dimensions);
    }
}

TEST(RtArrayShape, BoundsOfAnyOtherDimensionAreZero) {
    RtArray<double> a;
    DimArray(a, 2, 3, 4, 5);
    EXPECT_EQ(ArrayBounds(a, 3), 5);
    EXPECT_EQ(ArrayBounds(a, 4), 0);
    EXPECT_EQ(ArrayBounds(a, -1), 0);
    EXPECT_EQ(ArrayBounds(a, 100), 0);
}

TEST(RtArrayShape, DimensioningAgainClearsEveryElement) {
    RtArray<double> numbers;
    DimArray(numbers, 5);
    for (int32_t i = 0; i < 5; ++i) ArrayElement(numbers, i) = i + 1;
    DimArray(numbers, 5);
    for (int32_t i = 0; i < 5; ++i) EXPECT_EQ(ArrayElement(numbers, i), 0.0);

    RtArray<RtString> texts;
    DimArray(texts, 3, 2);
    for (int32_t j = 0; j < 2; ++j)
        for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(Text(ArrayElement(texts, i, j)), "");
    ArrayElement(texts, 2, 1) = "kept?";
    DimArray(texts, 6);
    for (int32_t i = 0; i < 6; ++i) EXPECT_TRUE(ArrayElement(texts, i).usesSharedEmpty()) << "element " << i;
}

// ---- Storage ---------------------------------------------------------------

TEST(RtArrayStorage, SmallNumericArraysLiveInTheRecord) {
    RtArray<double> d;
    DimArray(d, 4, 4);
    EXPECT_TRUE(d.usesInlineStorage());
    EXPECT_EQ(d.capacity(), 16);
    DimArray(d, 17);
    EXPECT_FALSE(d.usesInlineStorage());
    EXPECT_EQ(d.capacity(), 17);

    RtArray<int32_t> n;
    DimArray(n, 2, 2, 2);
    EXPECT_TRUE(n.usesInlineStorage());
    EXPECT_EQ(n.capacity(), 8);
    DimArray(n, 9);
    EXPECT_FALSE(n.usesInlineStorage());
    EXPECT_EQ(n.capacity(), 9);

    RtArray<RtString> t;
    DimArray(t, 1);
    EXPECT_FALSE(t.usesInlineStorage());
}

TEST(RtArrayStorage, AShapeThatFitsTheCapacityKeepsTheHeapBlock) {
    RtArray<double> a;
    DimArray(a, 100);
    const double* block = &ArrayElement(a, 0);
    ArrayElement(a, 99) = 5;
    DimArray(a, 10, 5);
    EXPECT_EQ(&ArrayElement(a, 0, 0), block);
    EXPECT_EQ(a.capacity(), 100);
    EXPECT_FALSE(a.usesInlineStorage());
    EXPECT_EQ(block[99], 0.0);  // the whole capacity is cleared, not only the shape
    DimArray(a, 3);             // fits the inline storage, but the block stays
    EXPECT_EQ(&ArrayElement(a, 0), block);
    DimArray(a, 0);  // an empty shape gives the block back
    EXPECT_TRUE(a.usesInlineStorage());
    EXPECT_EQ(a.capacity(), 0);
    EXPECT_EQ(a.dimensionCount(), 0);
}

TEST(RtArrayStorage, TextCapacityIsTheCountRoundedDownToSixtyFourPlusSixtyFour) {
    RtArray<RtString> t;
    EXPECT_EQ(t.capacity(), 0);
    for (auto [count, capacity] : {std::pair{1, 64}, {63, 64}, {64, 128}, {127, 128}, {130, 192}}) {
        RtArray<RtString> fresh;
        DimArray(fresh, count);
        EXPECT_EQ(fresh.capacity(), capacity) << "count " << count;
    }
    DimArray(t, 130);
    const RtString* block = &ArrayElement(t, 0);
    DimArray(t, 10, 3);  // 30 texts fit: same block, capacity unchanged
    EXPECT_EQ(&ArrayElement(t, 0, 0), block);
    EXPECT_EQ(t.capacity(), 192);
    DimArray(t, 0);  // an empty shape always makes a new block of 64
    EXPECT_EQ(t.capacity(), 64);
}

// ---- Element access failures -----------------------------------------------

TEST(RtArrayElementDeathTest, IndexPastTheEndEndsWithOutOfBounds) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    RtArray<double> a;
    DimArray(a, 10);
    SetSourcePosition(1, 12);
    EXPECT_EXIT(ArrayElement(a, 10) = 1, ::testing::ExitedWithCode(9), "0009 out of bounds at line 12");
    EXPECT_EXIT(ArrayElement(a, -11) = 1, ::testing::ExitedWithCode(9), "0009 out of bounds");
}

TEST(RtArrayElementDeathTest, AnIndexOfAnAbsentDimensionMustBeZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    RtArray<int32_t> a;
    DimArray(a, 10);
    EXPECT_EXIT(ArrayElement(a, 0, 1) = 1, ::testing::ExitedWithCode(9), "0009 out of bounds");
    EXPECT_EXIT(ArrayElement(a, 0, 0, 0, 1) = 1, ::testing::ExitedWithCode(9), "0009 out of bounds");
    RtArray<double> gap;
    DimArray(gap, 4, 0, 3);
    EXPECT_EXIT(ArrayElement(gap, 0, 1, 0) = 1, ::testing::ExitedWithCode(9), "0009 out of bounds");
    EXPECT_EXIT(ArrayElement(gap, 0, 0, 3) = 1, ::testing::ExitedWithCode(9), "0009 out of bounds");
    EXPECT_EXIT(ArrayElement(gap, 0, 0, -1) = 1, ::testing::ExitedWithCode(9), "0009 out of bounds");
}

TEST(RtArrayElementDeathTest, AnArrayWithoutElementsHasNoValidIndex) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    RtArray<RtString> never;
    EXPECT_EXIT(ArrayElement(never, 0) = "x", ::testing::ExitedWithCode(9), "0009 out of bounds");
    EXPECT_EXIT(ArrayElement(never, -1) = "x", ::testing::ExitedWithCode(9), "0009 out of bounds");
    RtArray<double> emptied;
    DimArray(emptied, 5);
    ResizeArray(emptied, 0);
    EXPECT_EXIT(ArrayElement(emptied, 0) = 1, ::testing::ExitedWithCode(9), "0009 out of bounds");
}

TEST(RtArrayElementDeathTest, SizesOverflowingInt32EndWithOutOfMemory) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    RtArray<double> a;
    EXPECT_EXIT(DimArray(a, 65536, 65536), ::testing::ExitedWithCode(7), "0007 out of memory");
    EXPECT_EXIT(DimArray(a, 1024, 1024, 1024, 2), ::testing::ExitedWithCode(7), "0007 out of memory");
    EXPECT_EXIT(DimArray(a, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX), ::testing::ExitedWithCode(7),
                "0007 out of memory");
    RtArray<RtString> t;  // the count fits, the rounded-up text capacity does not
    EXPECT_EXIT(DimArray(t, INT32_MAX - 10), ::testing::ExitedWithCode(7), "0007 out of memory");
    RtArray<int32_t> n;
    EXPECT_EXIT(ResizeArray(n, 50000, 50000), ::testing::ExitedWithCode(7), "0007 out of memory");
}

// ---- Resizing ----------------------------------------------------------------

TEST(RtArrayResize, ShrinkingKeepsTheElementsInsideBothShapes) {
    RtArray<double> a;
    DimArray(a, 3, 3);
    for (int32_t n = 0; n < 9; ++n) ArrayElement(a, n % 3, n / 3) = n + 1;  // 1..9
    ResizeArray(a, 2, 2);
    ExpectSizes(a, 2, 2, 0, 0, 2);
    EXPECT_EQ(ArrayElement(a, 0, 0), 1.0);
    EXPECT_EQ(ArrayElement(a, 1, 0), 2.0);
    EXPECT_EQ(ArrayElement(a, 0, 1), 4.0);
    EXPECT_EQ(ArrayElement(a, 1, 1), 5.0);
}

TEST(RtArrayResize, GrowingMovesElementsToTheirNewPlacesAndZeroesTheRest) {
    RtArray<int32_t> a;
    DimArray(a, 2, 2);
    ArrayElement(a, 0, 0) = 1;
    ArrayElement(a, 1, 0) = 2;
    ArrayElement(a, 0, 1) = 3;
    ArrayElement(a, 1, 1) = 4;
    ResizeArray(a, 5, 3, 2);
    ExpectSizes(a, 5, 3, 2, 0, 3);
    EXPECT_FALSE(a.usesInlineStorage());
    int32_t sum = 0;
    for (int32_t k = 0; k < 2; ++k)
        for (int32_t j = 0; j < 3; ++j)
            for (int32_t i = 0; i < 5; ++i) sum += ArrayElement(a, i, j, k);
    EXPECT_EQ(sum, 10);
    EXPECT_EQ(ArrayElement(a, 0, 0), 1);
    EXPECT_EQ(ArrayElement(a, 1, 0), 2);
    EXPECT_EQ(ArrayElement(a, 0, 1), 3);
    EXPECT_EQ(ArrayElement(a, 1, 1), 4);
}

TEST(RtArrayResize, AlwaysBuildsNewStorage) {
    RtArray<double> a;
    DimArray(a, 100);
    ArrayElement(a, 49) = 7;
    ResizeArray(a, 50);  // DimArray would keep the block of 100
    EXPECT_EQ(a.capacity(), 50);
    EXPECT_EQ(ArrayElement(a, 49), 7.0);
    ResizeArray(a, 4);  // small enough for the record again
    EXPECT_TRUE(a.usesInlineStorage());
    EXPECT_EQ(a.capacity(), 4);
    ArrayElement(a, 3) = 8;
    ResizeArray(a, 6);
    EXPECT_TRUE(a.usesInlineStorage());
    EXPECT_EQ(ArrayElement(a, 3), 8.0);
    EXPECT_EQ(ArrayElement(a, 5), 0.0);
}

TEST(RtArrayResize, ResizingToNothingEmptiesTheArray) {
    RtArray<RtString> t;
    DimArray(t, 4, 5, 6);
    ResizeArray(t, 0, 5, 6);
    ExpectSizes(t, 0, 0, 0, 0, 0);
    EXPECT_EQ(t.elementCount(), 0);
}

TEST(RtArrayResize, TextsTravelWithTheirIndices) {
    RtArray<RtString> t;
    DimArray(t, 2, 2);
    ArrayElement(t, 1, 0) = "east";
    ArrayElement(t, 0, 1) = "south";
    ArrayElement(t, 1, 1) = "gone";
    ResizeArray(t, 3, 1, 2);
    ExpectSizes(t, 3, 1, 2, 0, 3);
    EXPECT_EQ(Text(ArrayElement(t, 1, 0, 0)), "east");
    EXPECT_EQ(Text(ArrayElement(t, 0, 0, 0)), "");
    EXPECT_EQ(Text(ArrayElement(t, 0, 0, 1)), "");
    EXPECT_EQ(Text(ArrayElement(t, 2, 0, 0)), "");
}

// ---- Appending -----------------------------------------------------------------

TEST(RtArrayAppend, TextArrayGrowsSixtyFourAtATime) {
    RtArray<RtString> t;
    ArrayAppend(t, "first");
    ExpectSizes(t, 1, 0, 0, 0, 1);
    EXPECT_EQ(t.capacity(), 64);
    EXPECT_EQ(Text(ArrayElement(t, 0)), "first");
    for (int32_t n = 1; n < 64; ++n) ArrayAppend(t, RtString(n));
    EXPECT_EQ(ArrayBounds(t, 0), 64);
    EXPECT_EQ(t.capacity(), 128);
    EXPECT_EQ(Text(ArrayElement(t, 0)), "first");
    for (int32_t n = 1; n < 64; ++n) EXPECT_EQ(Text(ArrayElement(t, n)), std::to_string(n));
}

TEST(RtArrayAppend, NumbersMoveFromTheRecordToTheHeapAndKeepTheirValues) {
    RtArray<int32_t> a;
    for (int32_t n = 0; n < 20; ++n) ArrayAppend(a, n * n);
    EXPECT_FALSE(a.usesInlineStorage());
    EXPECT_EQ(a.capacity(), 20);
    for (int32_t n = 0; n < 20; ++n) EXPECT_EQ(ArrayElement(a, n), n * n);
    RtArray<double> d;
    ArrayAppend(d, 1);  // an int converts to the element type
    EXPECT_EQ(ArrayElement(d, -1), 1.0);
}

TEST(RtArrayAppend, AnElementOfTheSameArrayMayBeAppended) {
    RtArray<RtString> t;
    ArrayAppend(t, "echo");
    for (int32_t n = 0; n < 70; ++n) ArrayAppend(t, ArrayElement(t, 0));
    EXPECT_EQ(ArrayBounds(t, 0), 71);
    EXPECT_EQ(Text(ArrayElement(t, 70)), "echo");
    RtArray<double> d;
    DimArray(d, 16);
    ArrayElement(d, 15) = 2.5;
    ArrayAppend(d, ArrayElement(d, 15));  // leaves the record for the heap
    EXPECT_EQ(ArrayElement(d, 16), 2.5);
}

TEST(RtArrayAppendDeathTest, AppendingToATwoDimensionalArrayEndsWithError8) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    RtArray<double> a;
    DimArray(a, 3, 2);
    EXPECT_EXIT(ArrayAppend(a, 1.0), ::testing::ExitedWithCode(8), "0008 ");
}

// ---- Values, copies, moves ---------------------------------------------------------

TEST(RtArrayValues, FromValuesDimensionsAndFillsInOrder) {
    RtArray<double> d;
    ArrayFromValues(d, 3, {1.5, 2, -3});
    ExpectSizes(d, 3, 0, 0, 0, 1);
    EXPECT_EQ(ArrayElement(d, 0), 1.5);
    EXPECT_EQ(ArrayElement(d, 1), 2.0);
    EXPECT_EQ(ArrayElement(d, 2), -3.0);

    RtArray<int32_t> n;
    ArrayFromValues(n, 4, {7, 8});  // missing values stay 0
    EXPECT_EQ(ArrayElement(n, 0), 7);
    EXPECT_EQ(ArrayElement(n, 1), 8);
    EXPECT_EQ(ArrayElement(n, 2), 0);
    EXPECT_EQ(ArrayElement(n, 3), 0);
    ArrayFromValues(n, 2, {4, 5, 6});  // values beyond the count are ignored
    ExpectSizes(n, 2, 0, 0, 0, 1);
    EXPECT_EQ(ArrayElement(n, 1), 5);
}

TEST(RtArrayValues, NumericCopyIsDimArrayWithTheSourceSizesThenTheElements) {
    RtArray<double> source;
    DimArray(source, 3, 2);
    for (int32_t n = 0; n < 6; ++n) ArrayElement(source, n % 3, n / 3) = n + 0.5;
    RtArray<double> target;
    DimArray(target, 40);
    const double* block = &ArrayElement(target, 0);
    target = source;
    ExpectSizes(target, 3, 2, 0, 0, 2);
    EXPECT_EQ(&ArrayElement(target, 0, 0), block);  // the larger block stays, as with DimArray
    EXPECT_EQ(target.capacity(), 40);
    for (int32_t n = 0; n < 6; ++n) EXPECT_EQ(ArrayElement(target, n % 3, n / 3), n + 0.5);
    ArrayElement(source, 0, 0) = 99;
    EXPECT_EQ(ArrayElement(target, 0, 0), 0.5);

    const RtArray<double>& same = target;
    target = same;  // assigning an array to itself changes nothing
    EXPECT_EQ(ArrayElement(target, 2, 1), 5.5);

    const RtArray<double> copied(source);
    EXPECT_TRUE(copied.usesInlineStorage());
    EXPECT_EQ(ArrayElement(copied, 0, 0), 99.0);
    EXPECT_EQ(ArrayElement(copied, 2, 1), 5.5);
}

TEST(RtArrayValues, TextCopiesAreDeep) {
    RtArray<RtString> source;
    DimArray(source, 2, 0, 2);
    ArrayElement(source, 1, 0, 1) = "deep";
    RtArray<RtString> copy(source);
    ExpectSizes(copy, 2, 0, 2, 0, 3);
    EXPECT_EQ(Text(ArrayElement(copy, 1, 0, 1)), "deep");
    EXPECT_NE(ArrayElement(copy, 1, 0, 1).c_str(), ArrayElement(source, 1, 0, 1).c_str());
    ArrayElement(copy, 1, 0, 1) += " copy";
    EXPECT_EQ(Text(ArrayElement(source, 1, 0, 1)), "deep");
    source = copy;
    EXPECT_EQ(Text(ArrayElement(source, 1, 0, 1)), "deep copy");
}

TEST(RtArrayValues, MovesTakeTheElementsAndLeaveTheSourceEmpty) {
    RtArray<double> small;
    ArrayFromValues(small, 3, {1, 2, 3});
    RtArray<double> moved(std::move(small));
    EXPECT_TRUE(moved.usesInlineStorage());
    EXPECT_EQ(ArrayElement(moved, 2), 3.0);
    EXPECT_EQ(small.dimensionCount(), 0);  // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(small.elementCount(), 0);

    RtArray<int32_t> big;
    DimArray(big, 1000);
    ArrayElement(big, 999) = 4;
    const int32_t* block = &ArrayElement(big, 0);
    RtArray<int32_t> other;
    DimArray(other, 50);
    other = std::move(big);
    EXPECT_EQ(&ArrayElement(other, 0), block);
    EXPECT_EQ(ArrayElement(other, -1), 4);
    EXPECT_EQ(big.capacity(), 0);  // NOLINT(bugprone-use-after-move)

    RtArray<RtString> texts;
    ArrayAppend(texts, "moved");
    RtArray<RtString> taken = std::move(texts);
    EXPECT_EQ(Text(ArrayElement(taken, 0)), "moved");
    EXPECT_EQ(ArrayBounds(texts, 0), 0);  // NOLINT(bugprone-use-after-move)
}

}  // namespace
