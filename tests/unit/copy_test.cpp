#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "pages/copy_logic.h"
#include "pages/meter_logic.h"

namespace {

struct StepsCase {
    int32_t count;
    int32_t steps;
};

class Steps : public ::testing::TestWithParam<StepsCase> {};

TEST_P(Steps, PerEntryOverThePhase)
{
    EXPECT_EQ(StepsPerEntry(GetParam().count), GetParam().steps);
}

INSTANTIATE_TEST_SUITE_P(Counts, Steps, ::testing::Values(
    StepsCase{4, 26}, StepsCase{3, 34}, StepsCase{1, 101}, StepsCase{5, 21},
    StepsCase{0, 0}, StepsCase{-1, 0}));

TEST(Payload, CountIsHeldToTheTable)
{
    EXPECT_EQ(PayloadCount(4), 4);
    EXPECT_EQ(PayloadCount(5), 5);
    EXPECT_EQ(PayloadCount(6), 5);
    EXPECT_EQ(PayloadCount(0), 0);
    EXPECT_EQ(PayloadCount(-3), 0);
}

// The sample product's rows as the table describes them.
const PayloadEntry SampleRows[PayloadSlots] = {
    {"Quodgone.exe", "Purgeset", "Uninstall", 36864, 19894},
    {"Quodpost.exe", "Program", "Pellomark", 371712, 209925},
    {"Quodpost.hlp", "HelpFile", "Help", 15821, 9359},
    {"Read_me.txt", "ReadMe", "Read Me", 3850, 3850},
    {"", "", "", 99999, 99999},  // past the count: never added
};

TEST(Pacing, SampleSizesGiveSixtySixReadsPerHalfPercent)
{
    int32_t total = TotalExpandedSize(SampleRows, 4);
    EXPECT_EQ(total, 428247);
    EXPECT_EQ(ReadsPerHalfPercent(total), 66);
}

struct PaceCase {
    int32_t total;
    int32_t reads;
};

class Pace : public ::testing::TestWithParam<PaceCase> {};

TEST_P(Pace, NeverZero)
{
    EXPECT_EQ(ReadsPerHalfPercent(GetParam().total), GetParam().reads);
}

INSTANTIATE_TEST_SUITE_P(Totals, Pace, ::testing::Values(
    PaceCase{0, 1}, PaceCase{3850, 1}, PaceCase{6399, 1}, PaceCase{6400, 1},
    PaceCase{12799, 1}, PaceCase{12800, 2}, PaceCase{52428800, 8192}));

TEST(Pacing, StoredBytesNeverPassTheResource)
{
    EXPECT_EQ(StoredBytes(19894, 19894), 19894u);
    EXPECT_EQ(StoredBytes(19894, 20000), 19894u);
    EXPECT_EQ(StoredBytes(19894, 100), 100u);
    EXPECT_EQ(StoredBytes(19894, 0), 0u);
}

TEST(Pacing, WholeStepsSetTheExactPercentFromTheWholeOne)
{
    int32_t percent = 0;
    float exact = 0.0f;
    for (int i = 0; i < 4 * StepsPerEntry(4); ++i)
        StepWholePercent(percent, exact);
    EXPECT_EQ(percent, 104);
    EXPECT_EQ(exact, 104.0f);
    // The meter's clamp holds the excess at 100, and later steps go on from it.
    ClampMeter(percent, exact);
    StepWholePercent(percent, exact);
    EXPECT_EQ(percent, 101);
}

// Reads an entry of this size takes: full blocks, then one short (maybe
// empty) block that ends it.
int32_t ReadsFor(uint32_t size) { return (int32_t)(size / BytesPerRead) + 1; }

TEST(Pacing, SampleExpansionEndsAtOneHundred)
{
    int32_t pace = ReadsPerHalfPercent(TotalExpandedSize(SampleRows, 4));
    int32_t reads = 0, percent = 0, moves = 0, clamps = 0;
    float exact = 0.0f;
    for (int row = 0; row < 4; ++row) {
        for (int32_t i = 0; i < ReadsFor(SampleRows[row].ExpandedSize); ++i) {
            if (CountRead(reads, pace, 1, percent, exact)) {
                ++moves;
                // Each move is painted, and every paint clamps.
                clamps += ClampMeter(percent, exact);
                EXPECT_EQ(percent, (int32_t)exact) << "after read " << reads;
            }
        }
    }
    EXPECT_EQ(reads, 13386);
    EXPECT_EQ(moves, 202);
    EXPECT_EQ(clamps, 2);
    EXPECT_EQ(percent, 100);
    EXPECT_EQ(exact, 100.0f);
}

TEST(Pacing, HalfStepsEveryPaceReadsAndWholeStepsEverySecondOne)
{
    int32_t reads = 0, percent = 0;
    float exact = 0.0f;
    std::vector<std::string> seen;
    for (int i = 0; i < 9; ++i) {
        int32_t moved = CountRead(reads, 3, 1, percent, exact);
        seen.push_back(std::to_string(moved) + ":" + std::to_string(percent) + "/" +
                       std::to_string(exact));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "0:0/0.000000", "0:0/0.000000", "1:0/0.500000",
                        "0:0/0.500000", "0:0/0.500000", "1:1/1.000000",
                        "0:1/1.000000", "0:1/1.000000", "1:1/1.500000"}));
}

TEST(Pacing, NoMeterNoMoveButTheReadStillCounts)
{
    int32_t reads = 65, percent = 7;
    float exact = 7.5f;
    EXPECT_EQ(CountRead(reads, 66, 0, percent, exact), 0);
    EXPECT_EQ(reads, 66);
    EXPECT_EQ(percent, 7);
    EXPECT_EQ(exact, 7.5f);
}

TEST(Pacing, AZeroPaceIsTakenAsOne)
{
    int32_t reads = 0, percent = 0;
    float exact = 0.0f;
    EXPECT_EQ(CountRead(reads, 0, 1, percent, exact), 1);
    EXPECT_EQ(CountRead(reads, 0, 1, percent, exact), 1);
    EXPECT_EQ(exact, 1.0f);
    EXPECT_EQ(percent, 1);
}

// ---- folder chain -----------------------------------------------------------

std::vector<std::string> Plan(const char* path)
{
    int32_t lengths[260];
    int32_t count = PlanFolderChain(path, lengths, 260);
    std::vector<std::string> folders;
    for (int32_t i = 0; i < count; ++i)
        folders.push_back(std::string(path, (size_t)lengths[i]));
    return folders;
}

using Folders = std::vector<std::string>;

TEST(FolderChain, CreatesEachLevelTopDown)
{
    EXPECT_EQ(Plan("D:\\Apps\\Tools\\Bin"),
              (Folders{"D:\\Apps", "D:\\Apps\\Tools", "D:\\Apps\\Tools\\Bin"}));
    EXPECT_EQ(Plan("C:\\Dornwick\\Pellomark"), (Folders{"C:\\Dornwick", "C:\\Dornwick\\Pellomark"}));
}

TEST(FolderChain, ATrailingBackslashMakesTheLastFolderTwice)
{
    EXPECT_EQ(Plan("D:\\Apps\\Tools\\"),
              (Folders{"D:\\Apps", "D:\\Apps\\Tools", "D:\\Apps\\Tools\\"}));
}

TEST(FolderChain, AFolderRightBelowARoot)
{
    EXPECT_EQ(Plan("E:\\Pellomark"), (Folders{"E:\\Pellomark"}));
    EXPECT_EQ(Plan("C:\\"), (Folders{"C:\\"}));
}

TEST(FolderChain, OneCallPerBackslash)
{
    const char* path = "C:\\a\\b\\c\\d\\e\\f\\g";
    EXPECT_EQ(Plan(path).size(), (size_t)std::count(path, path + strlen(path), '\\'));
}

TEST(FolderChain, WithoutARootOnlyThePrefixesAndNeverPastTheCapacity)
{
    EXPECT_EQ(Plan("Apps\\Tools"), (Folders{"Apps"}));
    EXPECT_EQ(Plan("Apps"), Folders{});
    int32_t lengths[2] = {-1, -1};
    EXPECT_EQ(PlanFolderChain("C:\\a\\b\\c\\d", lengths, 2), 2);
    EXPECT_EQ(lengths[0], 4);
    EXPECT_EQ(lengths[1], 6);
}

// ---- one expansion ------------------------------------------------------------

// A source of known bytes, read in the blocks asked for, and a destination
// that can fail or fall short on a chosen write.
class FakeFiles : public ExpandPort {
public:
    explicit FakeFiles(std::string source) : source_(std::move(source)) {}

    int32_t Read(char* buffer, int32_t size) override
    {
        ++reads;
        if (reads == failRead)
            return -1;
        size_t count = std::min(source_.size() - at_, (size_t)size);
        memcpy(buffer, source_.data() + at_, count);
        at_ += count;
        return (int32_t)count;
    }
    void ReadCounted() override { ++counted; }
    int32_t Write(const char* data, int32_t size) override
    {
        ++writes;
        if (writes == failWrite)
            return -1;
        if (writes == shortWrite)
            size -= 1;
        written.append(data, (size_t)size);
        return size;
    }

    int reads = 0, counted = 0, writes = 0;
    int failRead = 0, failWrite = 0, shortWrite = 0;
    std::string written;

private:
    std::string source_;
    size_t at_ = 0;
};

std::string Bytes(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = (char)(i * 7 + 3);
    return bytes;
}

struct StreamCase {
    size_t size;
    int reads;
    int writes;
};

class Streams : public ::testing::TestWithParam<StreamCase> {};

TEST_P(Streams, CopiesInBlocksUntilAShortOne)
{
    const StreamCase& c = GetParam();
    FakeFiles files(Bytes(c.size));
    EXPECT_EQ(ExpandStream(files, (uint32_t)c.size), ExpandComplete);
    EXPECT_EQ(files.written, Bytes(c.size));
    EXPECT_EQ(files.reads, c.reads);
    EXPECT_EQ(files.counted, c.reads);
    EXPECT_EQ(files.writes, c.writes);
}

INSTANTIATE_TEST_SUITE_P(Sizes, Streams, ::testing::Values(
    StreamCase{0, 1, 0},
    StreamCase{1, 1, 1},
    StreamCase{31, 1, 1},
    // A multiple of 32 takes one more read, of nothing.
    StreamCase{32, 2, 1},
    StreamCase{64, 3, 2},
    StreamCase{3850, 121, 121},
    StreamCase{36864, 1153, 1152}));

struct FaultCase {
    const char* name;
    size_t size;
    uint32_t expected;
    int failRead, failWrite, shortWrite;
    ExpandOutcome outcome;
};

class Faults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(Faults, AreNeverTakenForSuccess)
{
    const FaultCase& c = GetParam();
    FakeFiles files(Bytes(c.size));
    files.failRead = c.failRead;
    files.failWrite = c.failWrite;
    files.shortWrite = c.shortWrite;
    EXPECT_EQ(ExpandStream(files, c.expected), c.outcome) << c.name;
    EXPECT_EQ(files.counted, files.reads) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, Faults, ::testing::Values(
    FaultCase{"first read fails", 100, 100, 1, 0, 0, ExpandReadFailed},
    FaultCase{"a later read fails", 100, 100, 3, 0, 0, ExpandReadFailed},
    FaultCase{"a write fails", 100, 100, 0, 2, 0, ExpandWriteFailed},
    FaultCase{"a write falls short", 100, 100, 0, 0, 4, ExpandWriteFailed},
    FaultCase{"source cut short", 60, 100, 0, 0, 0, ExpandLengthDiffers},
    FaultCase{"empty source for a file", 0, 3850, 0, 0, 0, ExpandLengthDiffers},
    FaultCase{"source longer than its row", 100, 64, 0, 0, 0, ExpandLengthDiffers}));

TEST(Expansion, ALongerSourceStopsBeforeWritingPastItsRow)
{
    FakeFiles files(Bytes(1000));
    EXPECT_EQ(ExpandStream(files, 64), ExpandLengthDiffers);
    EXPECT_EQ(files.written, Bytes(64));
}

std::string Failure(int32_t failure)
{
    char text[FailureTextSize];
    int32_t length = FailureText(text, sizeof text, failure);
    EXPECT_EQ(length, (int32_t)strlen(text));
    return text;
}

struct FailureCase {
    int32_t failure;
    const char* text;
};

class FailureTexts : public ::testing::TestWithParam<FailureCase> {};

TEST_P(FailureTexts, EachFailureHasItsOwnMessageInTheStyleOfTheOpenFailures)
{
    EXPECT_EQ(Failure(GetParam().failure), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Messages, FailureTexts, ::testing::Values(
    FailureCase{SourceOpenFailed, "Unable to open source file!\nInstallation will now be aborted."},
    FailureCase{DestinationOpenFailed,
                "Unable to open destination file!\nInstallation will now be aborted."},
    FailureCase{FolderCreateFailed,
                "Unable to create destination folder!\nInstallation will now be aborted."},
    FailureCase{PayloadDamaged, "Installation data is damaged!\nInstallation will now be aborted."},
    FailureCase{SourceReadFailed, "Unable to read source file!\nInstallation will now be aborted."},
    FailureCase{DestinationWriteFailed,
                "Unable to write destination file!\nInstallation will now be aborted."},
    FailureCase{ExpandedLengthDiffers,
                "Unable to expand source file completely!\nInstallation will now be aborted."}));

TEST(Expansion, EveryFailedOutcomeHasItsOwnMessageAndSuccessNone)
{
    EXPECT_EQ(ExpandFailure(ExpandReadFailed), SourceReadFailed);
    EXPECT_EQ(ExpandFailure(ExpandWriteFailed), DestinationWriteFailed);
    EXPECT_EQ(ExpandFailure(ExpandLengthDiffers), ExpandedLengthDiffers);
    EXPECT_EQ(ExpandFailure(ExpandComplete), -1);
    char text[FailureTextSize] = "x";
    EXPECT_EQ(FailureText(text, sizeof text, -1), -1);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(FailureText(text, 20, SourceOpenFailed), -1) << "a message never comes out cut";
}

} // namespace
