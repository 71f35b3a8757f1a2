#include <gtest/gtest.h>

#include <string>

#include "manifest/text.h"

namespace {

TEST(TextFormat, FormatsStringsAndNumbers)
{
    char out[64];
    EXPECT_EQ(TextFormat(out, sizeof out, "[ShowGroup(\"%s\",%i)]", "Pellomark", 5), 26);
    EXPECT_STREQ(out, "[ShowGroup(\"Pellomark\",5)]");
    EXPECT_GT(TextFormat(out, sizeof out, "%d%%", -42), 0);
    EXPECT_STREQ(out, "-42%");
    EXPECT_GT(TextFormat(out, sizeof out, "%i", (int32_t)0x80000000), 0);
    EXPECT_STREQ(out, "-2147483648");
}

TEST(TextFormat, RefusesAResultThatDoesNotFitAndLeavesNothingHalfWritten)
{
    char out[8];
    EXPECT_EQ(TextFormat(out, sizeof out, "%s", "1234567"), 7);
    EXPECT_STREQ(out, "1234567");
    EXPECT_EQ(TextFormat(out, sizeof out, "%s", "12345678"), -1);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(TextFormat(out, sizeof out, "ab%ide", 12345), -1);
    EXPECT_STREQ(out, "");
}

TEST(TextFormat, AnUnknownDirectiveReadsNoArgument)
{
    char out[32];
    EXPECT_GT(TextFormat(out, sizeof out, "%x and %s", "this"), 0);
    EXPECT_STREQ(out, "%x and this");
    EXPECT_GT(TextFormat(out, sizeof out, "trailing %"), 0);
    EXPECT_STREQ(out, "trailing %");
}

struct ReplaceCase {
    const char* text;
    const char* value;
    int capacity;
    const char* expected;
    int result;
};

class ReplaceFirst : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceFirst, FillsOnlyTheFirstPlaceholder)
{
    const ReplaceCase& c = GetParam();
    char out[64];
    EXPECT_EQ(ReplaceFirstPlaceholder(out, c.capacity, c.text, c.value), c.result);
    EXPECT_STREQ(out, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReplaceFirst, ::testing::Values(
    ReplaceCase{"%s License Agreement", "Pellomark", 64, "Pellomark License Agreement", 1},
    ReplaceCase{"Cratewise For Windows", "Pellomark", 64, "Cratewise For Windows", 1},
    ReplaceCase{"100% %s %s %d", "P", 64, "100% P %s %d", 1},
    ReplaceCase{"%s", "%s%d", 64, "%s%d", 1},
    ReplaceCase{"ab%s", "cdef", 5, "abcd", -1},
    ReplaceCase{"", "x", 64, "", 1}));

TEST(TextCopy, CutsAndSaysSo)
{
    char out[4];
    EXPECT_EQ(TextCopy(out, sizeof out, "abc"), 1);
    EXPECT_STREQ(out, "abc");
    EXPECT_EQ(TextCopy(out, sizeof out, "abcd"), -1);
    EXPECT_STREQ(out, "abc");
    EXPECT_EQ(TextCopyPart(out, sizeof out, "abcd", 2), 1);
    EXPECT_STREQ(out, "ab");
}

TEST(TextCompare, IsCaseSensitive)
{
    EXPECT_EQ(TextCompare("1.01", "1.01"), 0);
    EXPECT_NE(TextCompare("Abc", "abc"), 0);
    EXPECT_LT(TextCompare("ab", "abc"), 0);
    EXPECT_GT(TextCompare("\xe9", "e"), 0) << "bytes above 127 compare unsigned";
}

TEST(CountPlaceholders, CountsStringsAndRejectsOtherDirectives)
{
    EXPECT_EQ(CountPlaceholders("Shareware\\Dornwick\\Programs\\%s\\%s"), 2);
    EXPECT_EQ(CountPlaceholders("C:\\Dornwick\\%s"), 1);
    EXPECT_EQ(CountPlaceholders("none"), 0);
    EXPECT_EQ(CountPlaceholders("%s and %d"), -1);
    EXPECT_EQ(CountPlaceholders("50%"), -1);
}

} // namespace
