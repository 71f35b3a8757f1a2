#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pages/copy_logic.h"
#include "pages/meter_logic.h"
#include "sample_product.h"

namespace {

TEST(Pacing, StepsPerEntryAndReadsPerHalfPercentNeverZero)
{
    const std::pair<int32_t, int32_t> steps[] = {{4, 26}, {3, 34}, {1, 101}, {0, 0}, {-1, 0}};
    for (const auto& [count, perEntry] : steps)
        EXPECT_EQ(StepsPerEntry(count), perEntry) << count;
    const std::pair<int32_t, int32_t> paces[] = {{0, 1}, {6399, 1}, {12799, 1}, {12800, 2},
                                                 {428247, 66}, {52428800, 8192}};
    for (const auto& [total, reads] : paces)
        EXPECT_EQ(ReadsPerHalfPercent(total), reads) << total;
    EXPECT_EQ(TotalExpandedSize(Sample.Payload, 4), 428247);
    EXPECT_EQ(PayloadCount(6), 5);
    EXPECT_EQ(StoredBytes(19894, 20000), 19894u);
    EXPECT_EQ(StoredBytes(19894, 100), 100u);
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
    EXPECT_EQ(reads, 13386);
    EXPECT_EQ(moves, 202);
    EXPECT_EQ(clamps, 2);
    EXPECT_EQ(exact, 100.0f);
    // A zero pace is taken as one; without a meter the read counts but nothing moves.
    reads = percent = 0;
    exact = 0.0f;
    EXPECT_EQ(CountRead(reads, 0, 1, percent, exact) + CountRead(reads, 0, 1, percent, exact), 2);
    EXPECT_EQ(exact, 1.0f);
    EXPECT_EQ(CountRead(reads, 1, 0, percent, exact), 0);
    EXPECT_EQ(reads, 3);
    EXPECT_EQ(exact, 1.0f);
    // Whole steps set the exact percent from the whole one.
    exact = 0.5f;
    StepWholePercent(percent, exact);
    EXPECT_EQ(exact, 2.0f);
}

TEST(FolderChain, CreatesEachLevelTopDownWithinTheCapacity)
{
    const std::pair<const char*, const char*> cases[] = {
        {"D:\\Apps\\Tools\\Bin", "D:\\Apps|D:\\Apps\\Tools|D:\\Apps\\Tools\\Bin|"},
        {"D:\\Apps\\Tools\\", "D:\\Apps|D:\\Apps\\Tools|D:\\Apps\\Tools\\|"},
        {"E:\\Pellomark", "E:\\Pellomark|"},
        {"C:\\", "C:\\|"},
        {"Apps\\Tools", "Apps|"},
        {"Apps", ""},
    };
    for (const auto& [path, chain] : cases) {
        int32_t lengths[260];
        std::string planned;
        for (int32_t i = 0, count = PlanFolderChain(path, lengths, 260); i < count; ++i)
            planned += std::string(path, (size_t)lengths[i]) + "|";
        EXPECT_EQ(planned, chain);
    }
    int32_t lengths[2];
    EXPECT_EQ(PlanFolderChain("C:\\a\\b\\c\\d", lengths, 2), 2);
}

// A source of known bytes, and a destination that can fail or fall short.
class FakeFiles : public ExpandPort {
public:
    explicit FakeFiles(size_t size) : source(Bytes(size)) {}
    static std::string Bytes(size_t size)
    {
        std::string bytes(size, '\0');
        for (size_t i = 0; i < size; ++i)
            bytes[i] = (char)(i * 7 + 3);
        return bytes;
    }
    int32_t Read(char* buffer, int32_t size) override
    {
        if (++reads == failRead)
            return -1;
        size_t count = std::min(source.size() - at, (size_t)size);
        memcpy(buffer, source.data() + at, count);
        at += count;
        return (int32_t)count;
    }
    void ReadCounted() override { ++counted; }
    int32_t Write(const char* data, int32_t size) override
    {
        ++writes;
        size -= writes == shortWrite;
        written.append(data, (size_t)size);
        return writes == failWrite ? -1 : size;
    }
    std::string source, written;
    size_t at = 0;
    int reads = 0, counted = 0, writes = 0, failRead = 0, failWrite = 0, shortWrite = 0;
};

TEST(ExpandStream, CopiesInBlocksUntilAShortOne)
{
    const struct { size_t size; int reads, writes; } cases[] = {
        {0, 1, 0}, {31, 1, 1}, {32, 2, 1}, {64, 3, 2}, {3850, 121, 121}, {36864, 1153, 1152}};
    for (const auto& c : cases) {
        FakeFiles files(c.size);
        EXPECT_EQ(ExpandStream(files, (uint32_t)c.size), ExpandComplete);
        EXPECT_EQ(files.written, files.source);
        EXPECT_EQ(files.reads, c.reads) << c.size;
        EXPECT_EQ(files.counted, c.reads) << c.size;
        EXPECT_EQ(files.writes, c.writes) << c.size;
    }
}

TEST(ExpandStream, AFaultIsNeverTakenForSuccessAndHasItsOwnMessage)
{
    const struct {
        size_t size;
        uint32_t expected;
        int failRead, failWrite, shortWrite;
        ExpandOutcome outcome;
        const char* message;
    } cases[] = {
        {100, 100, 1, 0, 0, ExpandReadFailed, "Unable to read source file!"},
        {100, 100, 0, 2, 0, ExpandWriteFailed, "Unable to write destination file!"},
        {100, 100, 0, 0, 4, ExpandWriteFailed, "Unable to write destination file!"},
        {60, 100, 0, 0, 0, ExpandLengthDiffers, "Unable to expand source file completely!"},
        {1000, 64, 0, 0, 0, ExpandLengthDiffers, "Unable to expand source file completely!"},
    };
    for (const auto& c : cases) {
        FakeFiles files(c.size);
        files.failRead = c.failRead;
        files.failWrite = c.failWrite;
        files.shortWrite = c.shortWrite;
        EXPECT_EQ(ExpandStream(files, c.expected), c.outcome) << c.message;
        EXPECT_EQ(files.counted, files.reads);
        EXPECT_LE(files.written.size(), c.expected) << "never written past its row";
        char text[FailureTextSize];
        EXPECT_GT(FailureText(text, sizeof text, ExpandFailure(c.outcome)), 0);
        EXPECT_EQ(text, c.message + std::string("\nInstallation will now be aborted."));
    }
    EXPECT_EQ(ExpandFailure(ExpandComplete), NoFailure);
    char text[FailureTextSize];
    EXPECT_EQ(FailureText(text, 20, SourceOpenFailed), -1) << "a message never comes out cut";
}

TEST(Meter, SplitsAtTheBoundaryCentresTheLabelAndClampsInTheState)
{
    const uint32_t Fill = 0x800000, Face = 0xC0C0C0, Highlight = 0xFFFFFF;
    const struct {
        int32_t width, height, labelWidth, percent;
        float exact;
        int32_t boundary, labelX, labelY;
    } cases[] = {
        {320, 21, 20, 0, 0.0f, 0, 150, 2},
        {320, 21, 34, 100, 100.0f, 320, 143, 2},
        {320, 21, 34, 101, 100.5f, 320, 143, 2},
        {320, 21, 27, 42, 42.5f, 136, 146, 2},
        {319, 21, 27, 50, 50.0f, 159, 146, 2},
        {10, 13, 15, 50, 50.0f, 5, -2, -1},
    };
    for (const auto& c : cases) {
        int32_t percent = c.percent;
        float exact = c.exact;
        EXPECT_EQ(ClampMeter(percent, exact), c.exact > 100.0f ? 1 : 0);
        EXPECT_EQ(percent, std::min(c.percent, 100));
        MeterLayout layout = LayOutMeter(c.width, c.height, c.labelWidth, 16, exact, Fill, Face,
                                         Highlight);
        EXPECT_EQ(layout.Boundary, c.boundary) << c.exact;
        EXPECT_EQ(layout.LabelX, c.labelX) << c.exact;
        EXPECT_EQ(layout.LabelY, c.labelY) << c.exact;
        // Unfilled first, the label in the meter's colour; then filled, in highlight.
        const MeterPart(&parts)[2] = layout.Parts;
        EXPECT_EQ(std::vector<int32_t>({parts[0].Box.Left, parts[0].Box.Right, parts[1].Box.Left,
                                        parts[1].Box.Right, parts[0].Box.Bottom}),
                  std::vector<int32_t>({c.boundary, c.width, 0, c.boundary, c.height}));
        EXPECT_EQ(std::vector<uint32_t>({parts[0].TextColor, parts[0].BackColor,
                                         parts[1].TextColor, parts[1].BackColor}),
                  std::vector<uint32_t>({Fill, Face, Highlight, Fill}));
    }
    for (int32_t width = 1; width <= 400; ++width)
        for (int half = 0; half <= 200; ++half)
            ASSERT_EQ(MeterBoundary(width, half * 0.5f), width * half / 200) << width;
    char label[MeterLabelSize];
    EXPECT_EQ(MeterLabel(label, 100), 4);
    EXPECT_STREQ(label, "100%");
}

} // namespace
