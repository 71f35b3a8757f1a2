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
    CenterCase{640, 480, 100, 483, 0, 270, -1},
    CenterCase{640, 480, 951, 200, 1, -80, 140}));

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

namespace {

// A message queue and a millisecond counter for the waiting loop: every read
// of the counter advances it by step; a message's handler may take time.
struct FakeLoop {
    uint32_t clock;
    uint32_t step;
    int queued;
    uint32_t handlerCost = 0;
    int dispatched = 0;
    int passes = 0;
    uint32_t firstRead = 0;
    bool read = false;

    uint32_t Tick()
    {
        uint32_t now = clock;
        if (!read) {
            firstRead = now;
            read = true;
        }
        clock += step;
        return now;
    }
    void TakeOne()
    {
        ++passes;
        if (queued > 0) {
            --queued;
            ++dispatched;
            clock += handlerCost;
        }
    }
    void Run(uint32_t milliseconds)
    {
        PumpLoop(milliseconds, [this] { return Tick(); }, [this] { TakeOne(); });
    }
};

TEST(PumpLoop, ZeroMillisecondsTakesAtMostOneMessage)
{
    FakeLoop busy{1000, 1, 5};
    busy.Run(0);
    EXPECT_EQ(busy.dispatched, 1);
    EXPECT_EQ(busy.queued, 4);

    FakeLoop idle{1000, 1, 0};
    idle.Run(0);
    EXPECT_EQ(idle.passes, 1);
    EXPECT_EQ(idle.dispatched, 0);
}

TEST(PumpLoop, ReturnsAtTheBoundWhenNoMessageComes)
{
    FakeLoop idle{5000, 1, 0};
    idle.Run(250);
    EXPECT_EQ(idle.dispatched, 0);
    EXPECT_EQ(idle.passes, 250);
    // The last pass saw the bound reached.
    EXPECT_EQ(idle.clock - idle.firstRead - 1, 250u);
}

TEST(PumpLoop, TakesOneMessageAPass)
{
    FakeLoop busy{0, 1, 100};
    busy.Run(10);
    EXPECT_EQ(busy.dispatched, 10);
    EXPECT_EQ(busy.queued, 90);
}

TEST(PumpLoop, AWaitAcrossTheCounterWrapLastsTheGivenTime)
{
    FakeLoop idle{4294967295u - 300u, 1, 0};
    idle.Run(1000);
    EXPECT_EQ(idle.passes, 1000);
    uint32_t lasted = idle.clock - idle.firstRead - 1;
    EXPECT_EQ(lasted, 1000u);
    EXPECT_LT(idle.clock, 1000u);  // it did wrap
}

TEST(PumpLoop, SamplesTheTimeBeforeTakingSoTheLastMessageMayRunPastTheBound)
{
    // Each handler takes 50 ms; the bound is 10 ms. The first pass reads the
    // clock at the start, so a second message is still taken.
    FakeLoop slow{0, 0, 5};
    slow.handlerCost = 50;
    slow.Run(10);
    EXPECT_EQ(slow.dispatched, 2);
}

TEST(Branding, NeverTreatsOtherPercentSignsAsFormats)
{
    char out[CaptionResultSize];
    BrandText(out, "%d%% of %s, %n%x", "Pellomark");
    EXPECT_STREQ(out, "%d%% of Pellomark, %n%x");
    BrandText(out, "100% done %d", "Pellomark");
    EXPECT_STREQ(out, "100% done %d");
    BrandText(out, "%s and %s", "Pellomark");
    EXPECT_STREQ(out, "Pellomark and %s");
    // The result is bounded to 219 characters: 210 + 9 fit, 211 + 9 are cut.
    std::string fits = std::string(210, 'x') + "%s";
    EXPECT_EQ(BrandText(out, fits.c_str(), "Pellomark"), 1);
    EXPECT_EQ(strlen(out), 219u);
    std::string over = std::string(211, 'x') + "%s";
    EXPECT_EQ(BrandText(out, over.c_str(), "Pellomark"), -1);
    EXPECT_EQ(std::string(out), std::string(211, 'x') + "Pellomar");
}

struct TextBoxCase {
    int anchor, width, top, bottom;
    ItemBox box;
};

class ItemTextBoxes : public ::testing::TestWithParam<TextBoxCase> {};

TEST_P(ItemTextBoxes, RunFromTwentyRightOfTheAnchorToFourPastTheText)
{
    const TextBoxCase& c = GetParam();
    ItemBox box = ItemTextBox(c.anchor, c.width, c.top, c.bottom);
    EXPECT_EQ(box.Left, c.box.Left);
    EXPECT_EQ(box.Top, c.box.Top);
    EXPECT_EQ(box.Right, c.box.Right);
    EXPECT_EQ(box.Bottom, c.box.Bottom);
}

INSTANTIATE_TEST_SUITE_P(Items, ItemTextBoxes, ::testing::Values(
    TextBoxCase{0, 30, 16, 32, {20, 16, 54, 32}},
    TextBoxCase{32, 0, 0, 16, {52, 0, 56, 16}},
    TextBoxCase{64, 120, 48, 66, {84, 48, 208, 66}}));

struct PlanCase {
    uint32_t action, state;
    bool draws, selected, focus;
};

class ItemPlans : public ::testing::TestWithParam<PlanCase> {};

TEST_P(ItemPlans, DrawOnlyWhatTheActionAsks)
{
    const PlanCase& c = GetParam();
    ItemPlan plan = PlanItem(c.action, c.state);
    EXPECT_EQ(plan.DrawsIconAndText, c.draws);
    if (c.draws) {
        EXPECT_EQ(plan.Selected, c.selected);
    }
    EXPECT_EQ(plan.TogglesFocus, c.focus);
}

INSTANTIATE_TEST_SUITE_P(Actions, ItemPlans, ::testing::Values(
    PlanCase{ItemDrawEntire, 0, true, false, false},
    PlanCase{ItemDrawEntire, ItemSelected, true, true, false},
    PlanCase{ItemSelect, ItemSelected, true, true, false},
    // Losing the selection redraws with the normal colours.
    PlanCase{ItemSelect, 0, true, false, false},
    // Focus changes only invert, whatever the state says.
    PlanCase{ItemFocus, ItemSelected, false, false, true},
    PlanCase{ItemFocus, 0x10, false, false, true},
    PlanCase{ItemDrawEntire | ItemFocus, 0, false, false, false},
    PlanCase{8, 0, false, false, false}));

} // namespace
