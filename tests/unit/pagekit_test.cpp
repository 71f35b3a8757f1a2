#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "pages/pagekit_logic.h"

namespace {

TEST(CenterPosition, CentresOnTheScreenOrRightOfTheStripeTruncatingTowardZero)
{
    EXPECT_EQ(CenterPosition(1024, 768, 501, 301, BesideStripe).X, 336);
    PagePosition at = CenterPosition(640, 480, 801, 483, Centered);
    EXPECT_EQ(std::make_pair(at.X, at.Y), std::make_pair(-80, -1));
}

TEST(BrandText, FillsTheFirstPlaceholderAloneAndNeverTakesPercentSignsAsFormats)
{
    char out[CaptionResultSize];
    EXPECT_EQ(BrandText(out, "%d%% of %s, %n%x and %s", "Pellomark"), 1);
    EXPECT_STREQ(out, "%d%% of Pellomark, %n%x and %s");
    // Bounded to 219 characters: 210 + 9 fit, 211 + 9 are cut.
    EXPECT_EQ(BrandText(out, (std::string(210, 'x') + "%s").c_str(), "Pellomark"), 1);
    EXPECT_EQ(BrandText(out, (std::string(211, 'x') + "%s").c_str(), "Pellomark"), -1);
    EXPECT_EQ(std::string(out), std::string(211, 'x') + "Pellomar");
}

TEST(PumpLoop, TakesOneMessageAPassUntilTheBoundAcrossTheCounterWrap)
{
    // Each read of the counter advances it by step; each message costs cost.
    // The clock, step, cost, bound; messages queued; then taken, and passes.
    const std::tuple<uint32_t, uint32_t, uint32_t, uint32_t, int, int, int> cases[] = {
        {1000, 1, 0, 0, 5, 1, 1},  // 0 ms: at most one message
        {0, 1, 0, 10, 100, 10, 10},
        {4294967295u - 300u, 1, 0, 1000, 0, 0, 1000},
        {0, 0, 50, 10, 5, 2, 2},  // the time is read before taking: the last may run past
    };
    for (const auto& [start, step, cost, milliseconds, queued, taken, passes] : cases) {
        uint32_t clock = start;
        int left = queued, passed = 0;
        PumpLoop(
            milliseconds, [&, step = step] { return (clock += step) - step; },
            [&, cost = cost] { ++passed, clock += left > 0 ? cost : 0, left -= left > 0; });
        EXPECT_EQ(std::make_pair(queued - left, passed), std::make_pair(taken, passes)) << start;
    }
}

TEST(PlanItem, DrawsOnlyWhatTheActionAsks)
{
    ItemBox box = ItemTextBox(64, 120, 48, 66);  // 20 right of the anchor to 4 past the text
    EXPECT_EQ(std::vector<int>({box.Left, box.Top, box.Right, box.Bottom}),
              std::vector<int>({84, 48, 208, 66}));
    // The action and state; whether it draws, selected, and toggles the focus.
    const std::tuple<uint32_t, uint32_t, std::vector<bool>> cases[] = {
        {ItemDrawEntire, ItemSelected, {true, true, false}},
        {ItemFocus, ItemSelected, {false, false, true}},  // focus changes only invert
        {ItemDrawEntire | ItemFocus, 0, {false, false, false}},
    };
    for (const auto& [action, state, plan] : cases) {
        ItemPlan p = PlanItem(action, state);
        EXPECT_EQ(std::vector<bool>(
                      {p.DrawsIconAndText, p.DrawsIconAndText && p.Selected, p.TogglesFocus}),
                  plan)
            << action;
    }
}

}  // namespace
