#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/backdrop_logic.h"

namespace {

struct ScreenCase {
    int width, height;
    BackdropPoint title, box;
};

class Placement : public ::testing::TestWithParam<ScreenCase> {};

TEST_P(Placement, TitleAndBoxPictureFollowTheScreen)
{
    const ScreenCase& c = GetParam();
    BackdropPoint title = TitleOrigin(c.width, c.height);
    EXPECT_EQ(title.X, c.title.X);
    EXPECT_EQ(title.Y, c.title.Y);
    BackdropPoint box = BoxPictureOrigin(c.height);
    EXPECT_EQ(box.X, c.box.X);
    EXPECT_EQ(box.Y, c.box.Y);
    // The picture ends 12 pixels above the bottom, inside the stripe.
    EXPECT_EQ(c.height - (box.Y + BoxPictureHeight), 12);
    EXPECT_LE(box.X + BoxPictureWidth, StripeBandWidth);
}

INSTANTIATE_TEST_SUITE_P(Screens, Placement, ::testing::Values(
    ScreenCase{640, 480, {160, 0}, {15, 300}},
    ScreenCase{800, 600, {165, 5}, {15, 420}},
    ScreenCase{1024, 768, {172, 12}, {15, 588}},
    // Integer division truncates: 479 / 24 is 19.
    ScreenCase{639, 479, {159, -1}, {15, 299}}));

TEST(Placement, TaglineEndsThirtyPixelsFromTheRightAndFourteenAboveTheBottom)
{
    for (int width : {640, 800, 1024}) {
        int height = width * 3 / 4;
        int textWidth = width * 2 / 3, textHeight = height / 18;
        BackdropPoint at = TaglineOrigin(width, height, textWidth, textHeight);
        const int lastLayer = 2;
        EXPECT_EQ(width - (at.X + lastLayer + textWidth), 30) << width;
        EXPECT_EQ(height - (at.Y + lastLayer + textHeight), 14) << width;
    }
}

std::vector<std::string> LitLabels(int32_t mask)
{
    std::vector<std::string> lit;
    for (const StepRow& row : StepList)
        if (StepLit(mask, row))
            lit.push_back(row.Label);
    return lit;
}

TEST(StepListing, LightsOnlyTheMarkedStep)
{
    using Labels = std::vector<std::string>;
    EXPECT_EQ(LitLabels(0), Labels{});
    EXPECT_EQ(LitLabels(1), Labels{"- License Agreement"});
    EXPECT_EQ(LitLabels(4), Labels{"- Installing Files"});
    EXPECT_EQ(LitLabels(16), Labels{"- Creating Shortcuts"});
    EXPECT_EQ(LitLabels(64), Labels{"- Finished"});
}

TEST(StepListing, RowsRunDownTheStepRectangleWithoutOverlapping)
{
    // The step list's repaint rectangle spans y 120 to 244.
    int previous = 120 - 18;
    int32_t bits = 0;
    for (const StepRow& row : StepList) {
        EXPECT_EQ(row.Y - previous, 18) << row.Label;
        EXPECT_EQ(bits & row.Bit, 0) << row.Label;
        bits |= row.Bit;
        previous = row.Y;
    }
    EXPECT_EQ(bits, 127);
    EXPECT_LE(previous + 16, 244);
}

} // namespace
