// Inline data: the readers on number and text items, switching blocks, and
// reading past the end, in this process and through a real program that
// ends on it with its exit status and the line on standard error.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/inline_data.h"
#include "host/diagnostics.h"
#include "support/running_program.h"
#include "support/scratch_folder.h"

namespace {

const DataItem kMixed[] = {{0, "12.5kg"}, {-3.75, nullptr}, {1e10, nullptr}, {0, "-7.9"}, {0, ""}, {3e12, nullptr}};

TEST(InlineData, TextItemsCopyAndNumberItemsBecomeNumberText) {
    DataBlock block = {kMixed, 6, 4};
    RestoreData(block);
    EXPECT_EQ(block.readIndex, 0);
    RtString text;
    const char* expected[] = {"12.5kg", "-3.75", "1.e+010", "-7.9", "", "3.e+012"};
    for (const char* e : expected) {
        ReadDataText(text);
        EXPECT_STREQ(text.c_str(), e);
    }
    EXPECT_EQ(block.readIndex, 6);
}

TEST(InlineData, NumbersAndIntegersReadTextItemsAsNumbers) {
    DataBlock block = {kMixed, 6, 0};
    RestoreData(block);
    double number = 0;
    ReadDataNumber(number);
    EXPECT_EQ(number, 12.5);
    ReadDataNumber(number);
    EXPECT_EQ(number, -3.75);
    int32_t integer = 0;
    ReadDataInteger(integer);
    EXPECT_EQ(integer, INT32_MAX);  // 1e10 saturates
    ReadDataInteger(integer);
    EXPECT_EQ(integer, -7);         // truncated toward zero
    ReadDataInteger(integer);
    EXPECT_EQ(integer, 0);          // an empty text reads as 0
    ReadDataNumber(number);
    EXPECT_EQ(number, 3e12);
}

TEST(InlineData, EachBlockKeepsItsOwnReadIndex) {
    const DataItem first[] = {{1, nullptr}, {2, nullptr}, {3, nullptr}};
    const DataItem second[] = {{0, "a"}, {0, "b"}};
    DataBlock a = {first, 3, 0}, b = {second, 2, 0};
    double number = 0;
    RtString text;
    RestoreData(a);
    ReadDataNumber(number);
    RestoreData(b);
    ReadDataText(text);
    EXPECT_STREQ(text.c_str(), "a");
    EXPECT_EQ(a.readIndex, 1);
    RestoreData(a);  // starts again from the first item
    ReadDataNumber(number);
    EXPECT_EQ(number, 1);
}

TEST(InlineDataDeathTest, ReadingPastTheEndIsOutOfData) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const DataItem three[] = {{1, nullptr}, {2, nullptr}, {0, "three"}};
    DataBlock block = {three, 3, 0};
    SetSourcePosition(1, 44);
    auto readFour = [&] {
        RestoreData(block);
        double number = 0;
        for (int i = 0; i < 4; ++i) ReadDataNumber(number);
    };
    EXPECT_EXIT(readFour(), ::testing::ExitedWithCode(20), "0020 out of data at line 44");
    DataBlock none = {nullptr, 0, 0};
    RtString text;
    EXPECT_EXIT((RestoreData(none), ReadDataText(text)), ::testing::ExitedWithCode(20), "0020 out of data");
    DataBlock damaged = {three, 3, 0};
    RestoreData(damaged);
    damaged.readIndex = -1;  // a read index the program overwrote
    int32_t integer = 0;
    EXPECT_EXIT(ReadDataInteger(integer), ::testing::ExitedWithCode(20), "0020 out of data");
}

// ---- Through a real program ------------------------------------------------

class DataProgram : public ::testing::Test {
protected:
    ScratchFolder scratch_{"data"};
    std::string folder_ = scratch_.path().string();
};

TEST_F(DataProgram, ReadsItsItemsAndEndsNormally) {
    RunningProgram program(PROBE_TEXT, "data=3", folder_);
    EXPECT_EQ(program.WaitForExit(20000), 0) << program.Stderr();
    EXPECT_EQ(program.Stdout(), "item=one\nitem=2.5\nitem=3\nquit hook ran\n");
    EXPECT_EQ(program.Stderr(), "");
}

TEST_F(DataProgram, AFourthReadOfThreeItemsEndsWithOutOfData) {
    RunningProgram program(PROBE_TEXT, "data=4", folder_);
    EXPECT_EQ(program.WaitForExit(20000), 20);
    EXPECT_EQ(program.Stdout(), "item=one\nitem=2.5\nitem=3\nquit hook ran\n");  // shut down on the way out
    EXPECT_EQ(program.Stderr(), "Vantrix: the program ended on error 0020 out of data at line 30\n");
    const std::string log = program.ErrorLog();
    EXPECT_NE(log.find("Shut down VTX\r\nvtx is shut down\r\n"), std::string::npos) << log;
}

TEST_F(DataProgram, ReadingWithNoBlockSelectedEndsWithOutOfData) {
    RunningProgram program(PROBE_TEXT, "nodata", folder_);
    EXPECT_EQ(program.WaitForExit(20000), 20);
    EXPECT_EQ(program.Stdout(), "quit hook ran\n");
    EXPECT_EQ(program.Stderr(), "Vantrix: the program ended on error 0020 out of data at line 30\n");
}

}  // namespace
