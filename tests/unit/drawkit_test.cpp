#include <gtest/gtest.h>

#include "shell/drawkit_logic.h"

namespace {

struct LetteringCase {
    int width, height;
    LetteringSizes expected;
};

class Lettering : public ::testing::TestWithParam<LetteringCase> {};

TEST_P(Lettering, SizesFollowTheScreen)
{
    const LetteringCase& c = GetParam();
    char title[TitleTextSize], tagline[TaglineTextSize];
    ASSERT_GT(FormatTitleText(title, "Pellomark", "1.01"), 0);
    ASSERT_GT(FormatTaglineText(tagline, "Pellomark", "Software updates made easy!"), 0);
    ASSERT_STREQ(title, "Pellomark v1.01");
    ASSERT_STREQ(tagline, "Pellomark - Software updates made easy!");
    LetteringSizes s = ComputeLetteringSizes(c.width, c.height, (int32_t)strlen(title),
                                             (int32_t)strlen(tagline));
    EXPECT_EQ(s.TitleHeight, c.expected.TitleHeight);
    EXPECT_EQ(s.TitleWidth, c.expected.TitleWidth);
    EXPECT_EQ(s.TaglineHeight, c.expected.TaglineHeight);
    EXPECT_EQ(s.TaglineWidth, c.expected.TaglineWidth);
}

INSTANTIATE_TEST_SUITE_P(Screens, Lettering, ::testing::Values(
    LetteringCase{640, 480, {48, 25, 26, 10}},
    LetteringCase{800, 600, {60, 33, 33, 13}},
    LetteringCase{1024, 768, {76, 44, 42, 17}}));

TEST(LetteringTexts, RefuseTextsThatDoNotFitTheirBuffers)
{
    char title[TitleTextSize];
    // 30 + " v" + 7 = 39 characters fit; 40 do not.
    EXPECT_EQ(FormatTitleText(title, "123456789012345678901234567890", "1234567"), 39);
    EXPECT_EQ(FormatTitleText(title, "123456789012345678901234567890", "12345678"), -1);
}

} // namespace
