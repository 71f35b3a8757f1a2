#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "pages/pagekit_logic.h"
#include "shell/backdrop_logic.h"
#include "shell/drawkit_logic.h"
#include "shell/picture_logic.h"
#include "shell/sequence_logic.h"

namespace {

TEST(DrawKit, LetteringSizesFollowTheScreen)
{
    char title[TitleTextSize], tagline[TaglineTextSize];
    LetteringSizes s = ComputeLetteringSizes(
        1024, 768, FormatTitleText(title, "Pellomark", "1.01"),
        FormatTaglineText(tagline, "Pellomark", "Software updates made easy!"));
    EXPECT_EQ(std::vector<int>({s.TitleHeight, s.TitleWidth, s.TaglineHeight, s.TaglineWidth}),
              std::vector<int>({76, 44, 42, 17}));
    EXPECT_EQ(FormatTitleText(title, "123456789012345678901234567890", "12345678"), -1);
}

// Pages answer from a script; the log shows the mask each page runs under.
class ScriptedWizard : public WizardPort {
public:
    void StopStartTimer() override {}
    void MarkStep(int32_t value) override { mask = value; }
    intptr_t RunPage(int32_t id) override
    {
        log += std::to_string(id) + "/" + std::to_string(mask) + " ";
        return answers.at(next++);
    }
    void Complete() override { log += "complete"; }
    void End() override { log += "end"; }
    std::vector<intptr_t> answers;
    std::string log;
    int32_t mask = 0, next = 0;
};

TEST(Sequence, OnlyAnAnswerOfOneGoesOnAndEachStepLightsItsOwnRowAlone)
{
    const std::pair<std::vector<intptr_t>, const char*> cases[] = {
        {{1, 1, 1, 1}, "1002/1 1003/2 1004/4 1005/8 complete"},
        {{2}, "1002/1 end"},
        {{1, 1, -1}, "1002/1 1003/2 1004/4 end"},
        {{1, 1, 1, 256}, "1002/1 1003/2 1004/4 1005/8 end"},
    };
    for (const auto& [answers, log] : cases) {
        ScriptedWizard wizard;
        wizard.answers = answers;
        RunAgreementStep(wizard);
        EXPECT_EQ(wizard.log, log);
    }
    for (const StepRow& row : StepList)
        EXPECT_TRUE(StepLit(row.Bit, row) && !StepLit(~row.Bit, row)) << row.Label;
}

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

// A full draw or a selection change paints the icon and the text; a focus
// change only inverts the focus rectangle; anything else paints nothing.
TEST(PlanItem, DrawsOnlyWhatTheActionAsks)
{
    ItemBox box = ItemTextBox(64, 120, 48, 66);  // 20 right of the anchor to 4 past the text
    EXPECT_EQ(std::make_pair(box.Left, box.Right), std::make_pair(84, 208));
    ItemPlan entire = PlanItem(ItemDrawEntire, 0), select = PlanItem(ItemSelect, ItemSelected),
             focus = PlanItem(ItemFocus, ItemSelected),
             both = PlanItem(ItemDrawEntire | ItemFocus, 0);
    EXPECT_EQ(std::vector<bool>({entire.DrawsIconAndText, entire.Selected, select.DrawsIconAndText,
                                 select.Selected, select.TogglesFocus, focus.DrawsIconAndText,
                                 focus.TogglesFocus, both.DrawsIconAndText, both.TogglesFocus}),
              std::vector<bool>({true, false, true, true, false, false, true, false, false}));
}

void Put(std::vector<uint8_t>& b, size_t at, uint32_t value, int bytes = 4)
{
    for (int i = 0; i < bytes; ++i)
        b[at + i] = (uint8_t)(value >> (8 * i));
}

// A packed DIB as a resource holds it: header, table, rows.
std::vector<uint8_t> Dib(int32_t width, int32_t height, uint16_t bits, uint32_t colorsUsed,
                         uint32_t tableEntries, size_t rowBytes)
{
    std::vector<uint8_t> b(40 + 4 * tableEntries + rowBytes * (size_t)std::abs(height), 0);
    Put(b, 0, 40), Put(b, 4, (uint32_t)width), Put(b, 8, (uint32_t)height);
    Put(b, 12, 1, 2), Put(b, 14, bits, 2), Put(b, 32, colorsUsed);
    return b;
}

// A good layout is read; a bad one is refused before anything reads past the block.
TEST(DibHeaders, ReadsTheLayoutOrRefusesItBeforeReadingPastTheBlock)
{
    DibLayout layout;
    // Width, height, depth; the table's entries and a row's bytes.
    const std::tuple<int32_t, int32_t, uint16_t, uint32_t, size_t> cases[] = {
        {130, 31, 8, 256, 132},  // the header picture: 5156 bytes
        {120, -168, 4, 16, 60},  // top-down
    };
    for (const auto& [width, height, bits, count, row] : cases) {
        std::vector<uint8_t> dib = Dib(width, height, bits, 0, count, row);
        ASSERT_EQ(ReadDibLayout(dib.data(), (uint32_t)dib.size(), &layout), 1) << width;
        EXPECT_EQ(std::vector<size_t>({(size_t)layout.Height, layout.ColorCount, layout.BitsOffset,
                                       layout.RowBytes}),
                  std::vector<size_t>({(size_t)height, count, 40u + 4 * count, row}));
    }
    std::vector<uint8_t> larger = Dib(1, 1, 4, 0, 16 + 21, 4);
    Put(larger, 0, 124);
    EXPECT_EQ(DibBits(larger.data()), larger.data() + 124 + 64);
    // A field of a good picture (by its offset) set to a bad value: the header's
    // size, compression, depth, planes, width, height and colour count.
    const std::pair<size_t, uint32_t> bad[] = {
        {0, 12},  {0, 20000},          {16, 2},  {14, 3}, {12, 2}, {4, 0}, {4, 0x7fffffffu},
        {8, 169}, {8, (uint32_t)-169}, {32, 257}};
    for (const auto& [field, value] : bad) {
        std::vector<uint8_t> dib = Dib(120, 168, 4, 0, 16, 60);
        Put(dib, field, value, field == 12 || field == 14 ? 2 : 4);
        EXPECT_EQ(ReadDibLayout(dib.data(), (uint32_t)dib.size(), &layout), -1) << field;
    }
    // The good picture with its last row one byte short, or cut inside its header.
    std::vector<uint8_t> dib = Dib(120, 168, 4, 0, 16, 60), head(dib.begin(), dib.begin() + 12);
    EXPECT_EQ(ReadDibLayout(dib.data(), (uint32_t)dib.size() - 1, &layout), -1);
    EXPECT_EQ(ReadDibLayout(head.data(), (uint32_t)head.size(), &layout), -1);
}

TEST(PaletteRecord, TurnsTheCountedTableIntoRedGreenBlueEntriesWithinItsBuffer)
{
    std::vector<uint8_t> dib = Dib(2, 2, 8, 16, 16, 4);
    for (int i = 0; i < 16; ++i)
        Put(dib, 40 + 4 * i, 0xee000000u | (uint32_t)(i ^ 0x5a) << 16 | (255u - i) << 8 | i);
    std::vector<uint8_t> record(PaletteRecordSize(16), 0xcc);
    ASSERT_EQ(FillPaletteRecord(record.data(), (uint32_t)record.size(), dib.data()), 16);
    // Version, count, then each entry as red, green, blue and no flags.
    EXPECT_EQ(std::vector<uint8_t>(record.begin(), record.begin() + 8),
              (std::vector<uint8_t>{0, 3, 16, 0, 0x5a, 255, 0, 0}));
    EXPECT_EQ(std::vector<uint8_t>(&record[64], &record[68]),
              (std::vector<uint8_t>{15 ^ 0x5a, 255 - 15, 15, 0}));
    std::fill(record.begin(), record.end(), 0xcc);
    EXPECT_EQ(FillPaletteRecord(record.data(), (uint32_t)record.size() - 1, dib.data()), -1);
    EXPECT_EQ(std::count(record.begin(), record.end(), 0xcc), (long)record.size()) << "untouched";
    std::vector<uint8_t> truecolour = Dib(2, 2, 24, 0, 0, 8);
    EXPECT_EQ(FillPaletteRecord(record.data(), (uint32_t)record.size(), truecolour.data()), 0);
}

}  // namespace
