#include "update_plan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace pellomark {
namespace {

const std::uint64_t Second = 10000000;
const std::uint64_t Base = 132000000000000000ULL;  // a day in 2019

DirEntry File(const char* name, std::uint64_t size, std::uint64_t time = Base) {
    return DirEntry{name, size, time, false};
}

DirEntry Folder(const char* name) { return DirEntry{name, 0, Base, true}; }

struct PlanCase {
    const char* Title;
    std::vector<DirEntry> Source;
    std::vector<DirEntry> Target;
    const char* Plan;  // "source -> target: verdict", in the plan's order
};

void PrintTo(const PlanCase& c, std::ostream* os) { *os << c.Title; }

class PlanTable : public ::testing::TestWithParam<PlanCase> {};

TEST_P(PlanTable, GivesEachSourceFileItsVerdict) {
    const PlanCase& c = GetParam();
    std::string plan;
    for (const PlanItem& item : PlanUpdate(c.Source, c.Target)) {
        ASSERT_LT(item.Source, c.Source.size());
        ASSERT_LT(item.Target, std::ptrdiff_t(c.Target.size()));
        plan += (plan.empty() ? "" : ", ") + c.Source[item.Source].Name;
        if (item.Target >= 0) plan += " -> " + c.Target[std::size_t(item.Target)].Name;
        plan += std::string(": ") + VerdictLabel(item.Outcome);
    }
    EXPECT_EQ(plan, c.Plan);
}

const PlanCase PlanCases[] = {
    {"new file", {File("a.txt", 10)}, {}, "a.txt: new"},
    {"source newer", {File("a.txt", 10, Base + 60 * Second)}, {File("a.txt", 10)}, "a.txt -> a.txt: newer"},
    {"source older", {File("a.txt", 10)}, {File("a.txt", 10, Base + 60 * Second)}, "a.txt -> a.txt: target is newer"},
    {"same time and size", {File("a.txt", 10)}, {File("a.txt", 10)}, "a.txt -> a.txt: up to date"},
    {"same time, size differs", {File("a.txt", 11)}, {File("a.txt", 10)}, "a.txt -> a.txt: size differs"},
    {"target newer wins over a size difference", {File("a.txt", 11)}, {File("a.txt", 10, Base + 3 * Second)},
     "a.txt -> a.txt: target is newer"},
    {"sizes past 4 GiB are not cut", {File("big", (1ULL << 32) + 1)}, {File("big", 1)}, "big -> big: size differs"},
    {"two seconds apart count as the same time", {File("a.txt", 10, Base + 2 * Second)}, {File("a.txt", 10)},
     "a.txt -> a.txt: up to date"},
    {"just past two seconds is newer", {File("a.txt", 10, Base + 2 * Second + 1)}, {File("a.txt", 10)},
     "a.txt -> a.txt: newer"},
    {"target two seconds later is still the same", {File("a.txt", 10)}, {File("a.txt", 10, Base + 2 * Second)},
     "a.txt -> a.txt: up to date"},
    {"times near zero do not wrap", {File("a.txt", 10, 0)}, {File("a.txt", 10, 3 * Second)},
     "a.txt -> a.txt: target is newer"},
    {"names differing in case are one file", {File("README.TXT", 10, Base + 60 * Second)}, {File("Readme.txt", 10)},
     "README.TXT -> Readme.txt: newer"},
    {"case twins in the source are ambiguous", {File("a.txt", 10), File("A.TXT", 12)}, {},
     "a.txt: name clash, A.TXT: name clash"},
    {"case twins in the target are ambiguous", {File("a.txt", 10, Base + 60 * Second)},
     {File("A.txt", 10), File("a.TXT", 10)}, "a.txt -> A.txt: name clash"},
    {"a folder in the target blocks the file", {File("data", 10)}, {Folder("DATA")}, "data -> DATA: folder in target"},
    {"folders of the source are ignored", {Folder("sub"), File("a.txt", 10)}, {}, "a.txt: new"},
    {"a source folder does not match a target file", {Folder("notes")}, {File("notes", 10)}, ""},
    {"files only in the target are left out", {File("b.txt", 10)},
     {File("a.txt", 10), Folder("c"), File("d.txt", 10)}, "b.txt: new"},
    {"result is ordered by name without case", {File("b.txt", 1), File("A.txt", 1), File("c.txt", 1)},
     {File("C.TXT", 1), File("a.txt", 2)}, "A.txt -> a.txt: size differs, b.txt: new, c.txt -> C.TXT: up to date"},
    {"a prefix is another name", {File("a", 1), File("ab", 1)}, {File("ab", 1)}, "a: new, ab -> ab: up to date"},
    {"empty listings", {}, {File("x", 1)}, ""},
};

INSTANTIATE_TEST_SUITE_P(Cases, PlanTable, ::testing::ValuesIn(PlanCases));

TEST(Summarize, CountsEachKindOnce) {
    const std::vector<DirEntry> source = {
        File("new1", 1),  File("new2", 1),  File("newer", 1, Base + 9 * Second), File("bigger", 2),
        File("same", 1),  File("older", 1), File("data", 1), File("x", 1), File("X", 1)};
    const std::vector<DirEntry> target = {File("newer", 1), File("bigger", 1), File("same", 1),
                                          File("older", 1, Base + 9 * Second), Folder("data")};
    const PlanSummary sum = Summarize(PlanUpdate(source, target));
    EXPECT_EQ(sum.NewFiles, 2u);
    EXPECT_EQ(sum.Replaced, 2u);
    EXPECT_EQ(sum.Same, 1u);
    EXPECT_EQ(sum.KeptNewer, 1u);
    EXPECT_EQ(sum.Blocked, 3u);
}

TEST(Verdicts, OnlyNewAndChangedFilesAreCopied) {
    const struct {
        Verdict V;
        bool Copy, Replaces, Listed;
    } rows[] = {
        {Verdict::New, true, false, true},          {Verdict::Newer, true, true, true},
        {Verdict::SizeDiffers, true, true, true},   {Verdict::Same, false, false, false},
        {Verdict::TargetNewer, false, false, false}, {Verdict::FolderInTarget, false, false, true},
        {Verdict::NameClash, false, false, true},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(NeedsCopy(r.V), r.Copy) << VerdictLabel(r.V);
        EXPECT_EQ(ReplacesFile(r.V), r.Replaces) << VerdictLabel(r.V);
        EXPECT_EQ(IsListed(r.V), r.Listed) << VerdictLabel(r.V);
    }
}

TEST(CompareNames, FoldsAsciiLettersOnly) {
    const struct {
        const char *A, *B;
        int Sign;
    } rows[] = {
        {"abc", "ABC", 0},   {"a", "B", -1}, {"B", "a", 1},
        {"abc", "abcd", -1}, {"", "", 0},    {"", "a", -1},
        {"\xe9", "\xc9", 1},  // letters past ASCII compare exactly
        {"Z", "\x80", -1},    // bytes compare unsigned
    };
    for (const auto& r : rows) {
        const int got = CompareNames(r.A, r.B);
        EXPECT_EQ((got > 0) - (got < 0), r.Sign) << r.A << " vs " << r.B;
    }
}

TEST(JoinFolder, AddsOneSeparatorAndRespectsTheBuffer) {
    const struct {
        const char *Dir, *Name;
        std::size_t Capacity;
        const char* Result;  // nullptr: must fail
    } rows[] = {
        {"C:\\Dornwick", "a.txt", 260, "C:\\Dornwick\\a.txt"},
        {"C:\\", "a.txt", 260, "C:\\a.txt"},
        {"C:\\Dornwick\\", "a.txt", 260, "C:\\Dornwick\\a.txt"},
        {"Z:/tmp/", "a.txt", 260, "Z:/tmp/a.txt"},
        {"C:\\d", "abc", 9, "C:\\d\\abc"},  // 8 characters and the terminator
        {"C:\\d", "abc", 8, nullptr},
        {"C:\\d", "abc", 0, nullptr},
        {"", "abc", 260, nullptr},
        {"C:\\d", "", 260, nullptr},
    };
    for (const auto& r : rows) {
        char out[300];
        std::memset(out, 'x', sizeof out);
        const bool ok = JoinFolder(out, r.Capacity, r.Dir, r.Name);
        EXPECT_EQ(ok, r.Result != nullptr) << r.Dir << " + " << r.Name << " in " << r.Capacity;
        // A failure leaves the buffer empty; a buffer of no bytes is not touched.
        EXPECT_STREQ(r.Capacity ? out : "", ok ? r.Result : "") << r.Dir << " + " << r.Name;
        EXPECT_EQ(out[r.Capacity], 'x') << "wrote past the buffer: " << r.Dir;
    }
}

TEST(SameFolder, IgnoresCaseAndTrailingSeparator) {
    const struct {
        const char *A, *B;
        bool Same;
    } rows[] = {
        {"C:\\Work\\Src", "c:\\work\\src", true},   {"C:\\Work\\Src\\", "C:\\Work\\Src", true},
        {"C:\\Work/Src", "C:\\Work\\Src", true},    {"C:\\", "c:\\", true},
        {"C:\\", "C:", false},                      {"C:\\Work\\Src", "C:\\Work\\Src2", false},
        {"C:\\Work\\Src", "D:\\Work\\Src", false},  {"C:\\a\\b", "C:\\ab", false},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(SameFolder(r.A, r.B), r.Same) << r.A << " vs " << r.B;
        EXPECT_EQ(SameFolder(r.B, r.A), r.Same) << r.B << " vs " << r.A;
    }
}

TEST(FormatBytes, GroupsThousands) {
    const struct {
        std::uint64_t Value;
        std::size_t Capacity;
        const char* Result;  // nullptr: must fail
    } rows[] = {
        {0, 32, "0"}, {999, 32, "999"}, {1000, 32, "1,000"}, {1234567, 32, "1,234,567"},
        {18446744073709551615ULL, 32, "18,446,744,073,709,551,615"},
        {1000, 6, "1,000"}, {1000, 5, nullptr}, {5, 1, nullptr}, {5, 0, nullptr},
    };
    for (const auto& r : rows) {
        char out[40];
        std::memset(out, 'x', sizeof out);
        const bool ok = FormatBytes(out, r.Capacity, r.Value);
        EXPECT_EQ(ok, r.Result != nullptr) << r.Value << " in " << r.Capacity;
        if (ok && r.Result) EXPECT_STREQ(out, r.Result);
        EXPECT_EQ(out[r.Capacity], 'x') << "wrote past the buffer: " << r.Value;
    }
}

}  // namespace
}  // namespace pellomark
