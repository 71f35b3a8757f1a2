#include <gtest/gtest.h>

#include "pages/pagekit_logic.h"

namespace {

struct CenterCase {
    int screenW, screenH, pageW, pageH, beside;
    int x, y;
};

class Centering : public ::testing::TestWithParam<CenterCase> {};

TEST_P(Centering, PlacesThePageWithTruncatingDivision)
{
    const CenterCase& c = GetParam();
    PagePosition at = CenterPosition(c.screenW, c.screenH, c.pageW, c.pageH, c.beside);
    EXPECT_EQ(at.X, c.x);
    EXPECT_EQ(at.Y, c.y);
}

INSTANTIATE_TEST_SUITE_P(Positions, Centering, ::testing::Values(
    CenterCase{800, 600, 600, 300, 0, 100, 150},
    CenterCase{800, 600, 600, 300, 1, 175, 150},
    CenterCase{1024, 768, 501, 301, 1, 336, 233},
    CenterCase{640, 480, 801, 200, 0, -80, 140},
    CenterCase{800, 600, 800, 100, 0, 0, 250},
    CenterCase{800, 600, 800, 100, 7, 75, 250},
    CenterCase{640, 480, 100, 481, 0, 270, 0},
    CenterCase{640, 480, 100, 483, 0, 270, -1}));

TEST(Branding, FillsTheFirstPlaceholderAndBoundsTheResult)
{
    char out[CaptionResultSize];
    BrandText(out, "%s Program Group", "Pellomark");
    EXPECT_STREQ(out, "Pellomark Program Group");
    BrandText(out, "The program files for %s will be installed to the following folder:",
              "Pellomark");
    EXPECT_STREQ(out, "The program files for Pellomark will be installed to the following folder:");
    BrandText(out, "Cratewise For Windows", "Pellomark");
    EXPECT_STREQ(out, "Cratewise For Windows");
    BrandText(out, "%s at 100%", "P");
    EXPECT_STREQ(out, "P at 100%");

    std::string longName(300, 'n');
    EXPECT_EQ(BrandText(out, "%s!", longName.c_str()), -1);
    EXPECT_EQ(strlen(out), size_t(CaptionResultSize - 1));
}

struct PumpCase {
    uint32_t start, now, milliseconds;
    bool goesOn;
};

class Pumping : public ::testing::TestWithParam<PumpCase> {};

TEST_P(Pumping, KeepsGoingUntilTheBoundAcrossTheWrap)
{
    const PumpCase& c = GetParam();
    EXPECT_EQ(PumpKeepsGoing(c.start, c.now, c.milliseconds), c.goesOn);
}

INSTANTIATE_TEST_SUITE_P(Ticks, Pumping, ::testing::Values(
    PumpCase{1000, 1000, 0, false},
    PumpCase{1000, 1000, 10, true},
    PumpCase{1000, 1009, 10, true},
    PumpCase{1000, 1010, 10, false},
    PumpCase{4294967290u, 4294967295u, 10, true},
    PumpCase{4294967290u, 3, 10, true},
    PumpCase{4294967290u, 4, 10, false},
    PumpCase{4294967295u, 998, 1000, true},
    PumpCase{4294967295u, 999, 1000, false}));

} // namespace
