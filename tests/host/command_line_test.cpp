// Reducing the raw command line to the arguments after the program name.
#include <gtest/gtest.h>

#include <string>

#include "host/command_line.h"

namespace {

std::string Rest(const char* line) { return vtx::SkipProgramName(line); }

TEST(SkipProgramName, QuotedAndUnquotedNames) {
    EXPECT_EQ(Rest("prog a b"), "a b");
    EXPECT_EQ(Rest("  \tprog \t a b "), "a b ");
    EXPECT_EQ(Rest("\"C:/My Games/prog\" -x"), "-x");
    EXPECT_EQ(Rest("\"My Games/prog\"-x"), "-x");  // the closing quote ends the name
    EXPECT_EQ(Rest("prog"), "");
    EXPECT_EQ(Rest(""), "");
    EXPECT_EQ(Rest("\"unterminated name"), "");
    EXPECT_EQ(Rest(nullptr), "");
}

}  // namespace
