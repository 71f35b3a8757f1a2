#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "pages/meter_logic.h"

namespace {

const uint32_t Meter = 0x800000, Face = 0xC0C0C0, Highlight = 0xFFFFFF;

struct LayoutCase {
    const char* name;
    int32_t width, height, labelWidth, labelHeight;
    float exact;
    int32_t boundary, labelX, labelY;
};

class Layouts : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(Layouts, SplitTheBarAtTheBoundaryAndCentreTheLabel)
{
    const LayoutCase& c = GetParam();
    MeterLayout layout = LayOutMeter(c.width, c.height, c.labelWidth, c.labelHeight, c.exact,
                                     Meter, Face, Highlight);
    EXPECT_EQ(layout.Boundary, c.boundary) << c.name;
    EXPECT_EQ(layout.LabelX, c.labelX) << c.name;
    EXPECT_EQ(layout.LabelY, c.labelY) << c.name;

    // Unfilled first: from the boundary to the right edge, the label in the
    // meter's colour on the button face.
    const MeterPart& unfilled = layout.Parts[0];
    EXPECT_EQ(unfilled.Box.Left, c.boundary) << c.name;
    EXPECT_EQ(unfilled.Box.Right, c.width) << c.name;
    EXPECT_EQ(unfilled.TextColor, Meter);
    EXPECT_EQ(unfilled.BackColor, Face);
    // Then filled: from the left edge to the boundary, highlight on the fill.
    const MeterPart& filled = layout.Parts[1];
    EXPECT_EQ(filled.Box.Left, 0) << c.name;
    EXPECT_EQ(filled.Box.Right, c.boundary) << c.name;
    EXPECT_EQ(filled.TextColor, Highlight);
    EXPECT_EQ(filled.BackColor, Meter);
    for (const MeterPart& part : layout.Parts) {
        EXPECT_EQ(part.Box.Top, 0);
        EXPECT_EQ(part.Box.Bottom, c.height);
    }
}

INSTANTIATE_TEST_SUITE_P(Meters, Layouts, ::testing::Values(
    LayoutCase{"empty", 320, 21, 20, 16, 0.0f, 0, 150, 2},
    LayoutCase{"full", 320, 21, 34, 16, 100.0f, 320, 143, 2},
    LayoutCase{"half a percent shows in the fill", 320, 21, 27, 16, 42.5f, 136, 146, 2},
    LayoutCase{"half of an odd width truncates", 319, 21, 27, 16, 50.0f, 159, 146, 2},
    LayoutCase{"one percent of a narrow bar", 99, 20, 20, 16, 1.0f, 0, 39, 2},
    LayoutCase{"a label wider than the bar", 10, 13, 15, 16, 50.0f, 5, -2, -1},
    LayoutCase{"every whole percent is exact", 200, 21, 34, 16, 7.0f, 14, 83, 2}));

TEST(Boundary, TruncatesEveryHalfPercentOfEveryWidth)
{
    for (int32_t width = 1; width <= 400; ++width)
        for (int half = 0; half <= 200; ++half) {
            // The exact boundary is width * half / 200.
            int32_t expected = width * half / 200;
            ASSERT_EQ(MeterBoundary(width, half * 0.5f), expected)
                << "width " << width << " at " << half * 0.5 << "%";
        }
}

struct ClampCase {
    int32_t percent;
    float exact;
    int32_t clamped, percentAfter;
    float exactAfter;
};

class Clamps : public ::testing::TestWithParam<ClampCase> {};

TEST_P(Clamps, HoldTheMeterAtOneHundredInTheStateItself)
{
    ClampCase c = GetParam();
    int32_t percent = c.percent;
    float exact = c.exact;
    EXPECT_EQ(ClampMeter(percent, exact), c.clamped);
    EXPECT_EQ(percent, c.percentAfter);
    EXPECT_EQ(exact, c.exactAfter);
}

INSTANTIATE_TEST_SUITE_P(Values, Clamps, ::testing::Values(
    ClampCase{0, 0.0f, 0, 0, 0.0f},
    ClampCase{42, 42.5f, 0, 42, 42.5f},
    ClampCase{100, 100.0f, 0, 100, 100.0f},
    ClampCase{101, 100.5f, 1, 100, 100.0f},
    ClampCase{104, 104.0f, 1, 100, 100.0f}));

TEST(Clamp, AClampedMeterLaysOutFull)
{
    int32_t percent = 101;
    float exact = 100.5f;
    ClampMeter(percent, exact);
    MeterLayout layout = LayOutMeter(321, 21, 34, 16, exact, Meter, Face, Highlight);
    EXPECT_EQ(layout.Boundary, 321);
    EXPECT_EQ(layout.Parts[0].Box.Left, layout.Parts[0].Box.Right);
}

TEST(Label, ShowsTheWholePercent)
{
    struct {
        int32_t percent;
        const char* text;
    } cases[] = {{0, "0%"}, {42, "42%"}, {100, "100%"}, {-1, "-1%"}, {2147483647, "2147483647%"}};
    for (const auto& c : cases) {
        char label[MeterLabelSize];
        EXPECT_EQ(MeterLabel(label, c.percent), (int32_t)strlen(c.text));
        EXPECT_STREQ(label, c.text);
    }
}

} // namespace
