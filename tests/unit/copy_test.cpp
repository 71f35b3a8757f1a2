#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <tuple>
#include <vector>

#include "manifest/paths.h"
#include "pages/copy_logic.h"
#include "pages/meter_logic.h"
#include "sample_product.h"

namespace {

TEST(Pacing, StepsPerEntryAndReadsPerHalfPercentNeverZero)
{
    // Entries and the steps each; expanded bytes and the reads a half percent takes.
    const std::tuple<int32_t, int32_t, int32_t, int32_t> cases[] = {
        {4, 26, 0, 1}, {1, 101, 12799, 1}, {0, 0, 12800, 2}, {-1, 0, 428247, 66}};
    for (const auto& [count, perEntry, total, reads] : cases)
        EXPECT_EQ(std::make_pair(StepsPerEntry(count), ReadsPerHalfPercent(total)),
                  std::make_pair(perEntry, reads));
    EXPECT_EQ(TotalExpandedSize(Sample.Payload, 4), 428247);
    EXPECT_EQ(PayloadCount(6), 5);
    EXPECT_EQ(StoredBytes(19894, 20000) + StoredBytes(19894, 100), 19994u);
}

TEST(Pacing, SampleExpansionMovesTheMeter202TimesAndEndsAtOneHundred)
{
    int32_t pace = ReadsPerHalfPercent(TotalExpandedSize(Sample.Payload, 4));
    int32_t reads = 0, percent = 0, moves = 0, clamps = 0;
    float exact = 0.0f;
    for (int row = 0; row < 4; ++row) {
        // Full 32-byte blocks, then one short (maybe empty) block that ends it.
        for (uint32_t i = 0; i <= Sample.Payload[row].ExpandedSize / BytesPerRead; ++i) {
            if (CountRead(reads, pace, 1, percent, exact)) {
                ++moves;
                clamps += ClampMeter(percent, exact);  // each move is painted
                ASSERT_EQ(percent, (int32_t)exact) << "after read " << reads;
            }
        }
    }
    EXPECT_EQ(std::vector<int32_t>({reads, moves, clamps}), std::vector<int32_t>({13386, 202, 2}));
    EXPECT_EQ(exact, 100.0f);
    // A zero pace is taken as one; without a meter the read counts but nothing moves.
    EXPECT_EQ(CountRead(reads, 0, 1, percent, exact) + CountRead(reads, 1, 0, percent, exact), 1);
    EXPECT_EQ(reads, 13388);
}

TEST(FolderChain, CreatesEachLevelTopDownWithinTheCapacity)
{
    const std::pair<const char*, const char*> cases[] = {
        {"D:\\Apps\\Tools\\", "D:\\Apps|D:\\Apps\\Tools|D:\\Apps\\Tools\\|"},
        {"C:\\", "C:\\|"},
        {"Apps\\Tools", "Apps|"},
    };
    for (const auto& [path, chain] : cases) {
        int32_t lengths[FullPathSize];
        std::string planned;
        for (int32_t i = 0, count = PlanFolderChain(path, lengths, FullPathSize); i < count; ++i)
            planned += std::string(path, (size_t)lengths[i]) + "|";
        EXPECT_EQ(planned, chain);
    }
    int32_t lengths[2];
    EXPECT_EQ(PlanFolderChain("C:\\a\\b\\c\\d", lengths, 2), 2);
}

// A source of known bytes, and a destination that can fail or fall short.
class FakeFiles : public ExpandPort {
public:
    explicit FakeFiles(size_t n) : source(n, '\0') { std::iota(source.begin(), source.end(), 3); }
    int32_t Read(char* buffer, int32_t size) override
    {
        size_t count = source.copy(buffer, (size_t)size, at);
        at += count;
        return ++reads == failRead ? -1 : (int32_t)count;
    }
    void ReadCounted() override { ++counted; }
    int32_t Write(const char* data, int32_t size) override
    {
        written.append(data, (size_t)(size - (++writes == shortWrite)));
        return writes == failWrite ? -1 : size - (writes == shortWrite);
    }
    std::string source, written;
    size_t at = 0;
    int reads = 0, counted = 0, writes = 0, failRead = 0, failWrite = 0, shortWrite = 0;
};

// Blocks until a short one; a fault is never taken for success and has its own message.
TEST(ExpandStream, CopiesInBlocksUntilAShortOneOrTellsTheFault)
{
    const std::string Read = "Unable to read source file!",
                      Write = "Unable to write destination file!",
                      Length = "Unable to expand source file completely!";
    // The source's size, the row's; the read failing, the write failing or short;
    // then the reads made, the outcome and what it says.
    const std::tuple<size_t, uint32_t, int, int, int, int, ExpandOutcome, std::string> cases[] = {
        {64, 64, 0, 0, 0, 3, ExpandComplete, ""},
        {3850, 3850, 0, 0, 0, 121, ExpandComplete, ""},
        {100, 100, 1, 0, 0, 1, ExpandReadFailed, Read},
        {100, 100, 0, 2, 0, 2, ExpandWriteFailed, Write},
        {100, 100, 0, 0, 4, 4, ExpandWriteFailed, Write},
        {60, 100, 0, 0, 0, 2, ExpandLengthDiffers, Length},
        {1000, 64, 0, 0, 0, 3, ExpandLengthDiffers, Length},
    };
    for (const auto& [size, row, failRead, failWrite, shortWrite, reads, outcome, says] : cases) {
        FakeFiles files(size);
        files.failRead = failRead, files.failWrite = failWrite, files.shortWrite = shortWrite;
        EXPECT_EQ(ExpandStream(files, row), outcome) << size;
        EXPECT_EQ(std::make_pair(files.reads, files.counted), std::make_pair(reads, reads));
        EXPECT_TRUE(outcome != ExpandComplete || files.written == files.source) << size;
        EXPECT_LE(files.written.size(), row) << "never written past its row";
        char text[FailureTextSize] = "";
        FailureText(text, sizeof text, ExpandFailure(outcome));
        EXPECT_EQ(text, says.empty() ? "" : says + "\nInstallation will now be aborted.");
    }
    char text[FailureTextSize];
    EXPECT_EQ(FailureText(text, 20, SourceOpenFailed), -1) << "a message never comes out cut";
}

TEST(Meter, SplitsAtTheBoundaryCentresTheLabelAndClampsInTheState)
{
    // Width, height, label width; the percent and exact percent; the boundary and label's place.
    const std::tuple<int, int, int, int, float, int, int, int> cases[] = {
        {320, 21, 34, 100, 100.0f, 320, 143, 2},
        {320, 21, 34, 101, 100.5f, 320, 143, 2},
        {319, 21, 27, 50, 50.0f, 159, 146, 2},
        {10, 13, 15, 50, 50.0f, 5, -2, -1},
    };
    for (auto [width, height, labelWidth, percent, exact, boundary, x, y] : cases) {
        int32_t held = percent;
        EXPECT_EQ(ClampMeter(held, exact), percent > 100 ? 1 : 0);
        EXPECT_EQ(held, std::min(percent, 100));
        MeterLayout m = LayOutMeter(width, height, labelWidth, 16, exact, 1, 2, 3);
        // Unfilled first, in the meter's colour on the face; then filled, in highlight.
        EXPECT_EQ(
            std::vector<int32_t>({m.Boundary, m.LabelX, m.LabelY, m.Parts[0].Box.Left,
                                  m.Parts[1].Box.Right, (int32_t)m.Parts[0].TextColor,
                                  (int32_t)m.Parts[0].BackColor, (int32_t)m.Parts[1].TextColor}),
            std::vector<int32_t>({boundary, x, y, boundary, boundary, 1, 2, 3}))
            << exact;
    }
}

}  // namespace
