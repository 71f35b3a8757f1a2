#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pages/pagekit_logic.h"

namespace {

TEST(CenterPosition, CentresOnTheScreenOrRightOfTheStripeTruncatingTowardZero)
{
    const struct {
        int screenW, screenH, pageW, pageH;
        PagePlacement beside;
        int x, y;
    } cases[] = {
        {800, 600, 600, 300, BesideStripe, 175, 150},
        {1024, 768, 501, 301, BesideStripe, 336, 233},
        {640, 480, 801, 200, Centered, -80, 140},
        {640, 480, 100, 483, Centered, 270, -1},
    };
    for (const auto& c : cases) {
        PagePosition at = CenterPosition(c.screenW, c.screenH, c.pageW, c.pageH, c.beside);
        EXPECT_EQ(std::make_pair(at.X, at.Y), std::make_pair(c.x, c.y)) << c.pageW;
    }
}

TEST(BrandText, FillsTheFirstPlaceholderAloneAndNeverTakesPercentSignsAsFormats)
{
    const std::pair<const char*, const char*> cases[] = {
        {"%d%% of %s, %n%x", "%d%% of Pellomark, %n%x"},
        {"%s and %s", "Pellomark and %s"},
    };
    char out[CaptionResultSize];
    for (const auto& [text, branded] : cases) {
        EXPECT_EQ(BrandText(out, text, "Pellomark"), 1);
        EXPECT_STREQ(out, branded);
    }
    // Bounded to 219 characters: 210 + 9 fit, 211 + 9 are cut.
    EXPECT_EQ(BrandText(out, (std::string(210, 'x') + "%s").c_str(), "Pellomark"), 1);
    EXPECT_EQ(BrandText(out, (std::string(211, 'x') + "%s").c_str(), "Pellomark"), -1);
    EXPECT_EQ(std::string(out), std::string(211, 'x') + "Pellomar");
}

TEST(PumpLoop, TakesOneMessageAPassUntilTheBoundAcrossTheCounterWrap)
{
    // Each read of the counter advances it by step; each message costs cost.
    const struct {
        uint32_t clock, step, cost, milliseconds;
        int queued, taken, passes;
    } cases[] = {
        {1000, 1, 0, 0, 5, 1, 1},  // 0 ms: at most one message
        {0, 1, 0, 10, 100, 10, 10},
        {4294967295u - 300u, 1, 0, 1000, 0, 0, 1000},
        {0, 0, 50, 10, 5, 2, 2},  // the time is read before taking: the last may run past
    };
    for (const auto& c : cases) {
        uint32_t clock = c.clock;
        int queued = c.queued, passes = 0;
        PumpLoop(
            c.milliseconds, [&] { return (clock += c.step) - c.step; },
            [&] {
                ++passes;
                clock += queued > 0 ? c.cost : 0;
                queued -= queued > 0;
            });
        EXPECT_EQ(std::make_pair(c.queued - queued, passes), std::make_pair(c.taken, c.passes))
            << c.clock << " " << c.milliseconds;
    }
}

TEST(PlanItem, DrawsOnlyWhatTheActionAsks)
{
    const struct {
        uint32_t action, state;
        bool draws, selected, focus;
    } cases[] = {
        {ItemDrawEntire, ItemSelected, true, true, false},
        {ItemFocus, ItemSelected, false, false, true},  // focus changes only invert
        {ItemDrawEntire | ItemFocus, 0, false, false, false},
    };
    ItemBox box = ItemTextBox(64, 120, 48, 66);  // 20 right of the anchor to 4 past the text
    EXPECT_EQ(std::vector<int>({box.Left, box.Top, box.Right, box.Bottom}),
              std::vector<int>({84, 48, 208, 66}));
    for (const auto& c : cases) {
        ItemPlan plan = PlanItem(c.action, c.state);
        EXPECT_EQ(std::vector<bool>({plan.DrawsIconAndText, plan.DrawsIconAndText && plan.Selected,
                                     plan.TogglesFocus}),
                  std::vector<bool>({c.draws, c.selected, c.focus}))
            << c.action;
    }
}

}  // namespace
