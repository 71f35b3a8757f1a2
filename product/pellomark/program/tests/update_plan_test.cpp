#include "update_plan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace pellomark {
namespace {

const std::uint64_t Second = 10000000;
const std::uint64_t Base = 132000000000000000ULL;  // a day in 2019

DirEntry File(const char* name, std::uint64_t size, std::uint64_t time) {
    return DirEntry{name, size, time, false};
}

DirEntry Folder(const char* name) { return DirEntry{name, 0, Base, true}; }

struct Expected {
    const char* Source;
    Verdict Outcome;
    const char* Target;  // nullptr when the item has no target entry
};

struct PlanCase {
    const char* Title;
    std::vector<DirEntry> Source;
    std::vector<DirEntry> Target;
    std::vector<Expected> Items;
};

const char* Name(Verdict v) { return VerdictLabel(v); }

void PrintTo(const PlanCase& c, std::ostream* os) { *os << c.Title; }

class PlanTable : public ::testing::TestWithParam<PlanCase> {};

TEST_P(PlanTable, GivesEachSourceFileItsVerdict) {
    const PlanCase& c = GetParam();
    const std::vector<PlanItem> plan = PlanUpdate(c.Source, c.Target);
    ASSERT_EQ(plan.size(), c.Items.size()) << c.Title;
    for (std::size_t i = 0; i < plan.size(); ++i) {
        const Expected& want = c.Items[i];
        ASSERT_LT(plan[i].Source, c.Source.size());
        EXPECT_EQ(c.Source[plan[i].Source].Name, want.Source) << c.Title << " item " << i;
        EXPECT_STREQ(Name(plan[i].Outcome), Name(want.Outcome)) << c.Title << " " << want.Source;
        if (want.Target == nullptr) {
            EXPECT_EQ(plan[i].Target, -1) << c.Title << " " << want.Source;
        } else {
            ASSERT_GE(plan[i].Target, 0) << c.Title << " " << want.Source;
            ASSERT_LT(static_cast<std::size_t>(plan[i].Target), c.Target.size());
            EXPECT_EQ(c.Target[static_cast<std::size_t>(plan[i].Target)].Name, want.Target)
                << c.Title << " " << want.Source;
        }
    }
}

const PlanCase PlanCases[] = {
    {"new file", {File("a.txt", 10, Base)}, {}, {{"a.txt", Verdict::New, nullptr}}},
    {"source newer",
     {File("a.txt", 10, Base + 60 * Second)},
     {File("a.txt", 10, Base)},
     {{"a.txt", Verdict::Newer, "a.txt"}}},
    {"source older",
     {File("a.txt", 10, Base)},
     {File("a.txt", 10, Base + 60 * Second)},
     {{"a.txt", Verdict::TargetNewer, "a.txt"}}},
    {"same time and size",
     {File("a.txt", 10, Base)},
     {File("a.txt", 10, Base)},
     {{"a.txt", Verdict::Same, "a.txt"}}},
    {"same time, size differs",
     {File("a.txt", 11, Base)},
     {File("a.txt", 10, Base)},
     {{"a.txt", Verdict::SizeDiffers, "a.txt"}}},
    {"target newer wins over a size difference",
     {File("a.txt", 11, Base)},
     {File("a.txt", 10, Base + 3 * Second)},
     {{"a.txt", Verdict::TargetNewer, "a.txt"}}},
    {"sizes past 4 GiB are not cut",
     {File("big.bin", (1ULL << 32) + 1, Base)},
     {File("big.bin", 1, Base)},
     {{"big.bin", Verdict::SizeDiffers, "big.bin"}}},
    {"two seconds apart count as the same time",
     {File("a.txt", 10, Base + 2 * Second)},
     {File("a.txt", 10, Base)},
     {{"a.txt", Verdict::Same, "a.txt"}}},
    {"just past two seconds is newer",
     {File("a.txt", 10, Base + 2 * Second + 1)},
     {File("a.txt", 10, Base)},
     {{"a.txt", Verdict::Newer, "a.txt"}}},
    {"target two seconds later is still the same",
     {File("a.txt", 10, Base)},
     {File("a.txt", 10, Base + 2 * Second)},
     {{"a.txt", Verdict::Same, "a.txt"}}},
    {"times near zero do not wrap",
     {File("a.txt", 10, 0)},
     {File("a.txt", 10, 3 * Second)},
     {{"a.txt", Verdict::TargetNewer, "a.txt"}}},
    {"names differing in case are one file",
     {File("README.TXT", 10, Base + 60 * Second)},
     {File("Readme.txt", 10, Base)},
     {{"README.TXT", Verdict::Newer, "Readme.txt"}}},
    {"case twins in the source are ambiguous",
     {File("a.txt", 10, Base), File("A.TXT", 12, Base)},
     {},
     {{"a.txt", Verdict::NameClash, nullptr}, {"A.TXT", Verdict::NameClash, nullptr}}},
    {"case twins in the target are ambiguous",
     {File("a.txt", 10, Base + 60 * Second)},
     {File("A.txt", 10, Base), File("a.TXT", 10, Base)},
     {{"a.txt", Verdict::NameClash, "A.txt"}}},
    {"a folder in the target blocks the file",
     {File("data", 10, Base)},
     {Folder("DATA")},
     {{"data", Verdict::FolderInTarget, "DATA"}}},
    {"folders of the source are ignored",
     {Folder("sub"), File("a.txt", 10, Base)},
     {},
     {{"a.txt", Verdict::New, nullptr}}},
    {"a source folder does not match a target file",
     {Folder("notes")},
     {File("notes", 10, Base)},
     {}},
    {"files only in the target are left out",
     {File("b.txt", 10, Base)},
     {File("a.txt", 10, Base), Folder("c"), File("d.txt", 10, Base)},
     {{"b.txt", Verdict::New, nullptr}}},
    {"result is ordered by name without case",
     {File("b.txt", 1, Base), File("A.txt", 1, Base), File("c.txt", 1, Base)},
     {File("C.TXT", 1, Base), File("a.txt", 2, Base)},
     {{"A.txt", Verdict::SizeDiffers, "a.txt"},
      {"b.txt", Verdict::New, nullptr},
      {"c.txt", Verdict::Same, "C.TXT"}}},
    {"a prefix is another name",
     {File("a", 1, Base), File("ab", 1, Base)},
     {File("ab", 1, Base)},
     {{"a", Verdict::New, nullptr}, {"ab", Verdict::Same, "ab"}}},
    {"empty listings", {}, {File("x", 1, Base)}, {}},
};

INSTANTIATE_TEST_SUITE_P(Cases, PlanTable, ::testing::ValuesIn(PlanCases));

TEST(Summarize, CountsEachKindOnce) {
    const std::vector<DirEntry> source = {
        File("new1", 1, Base),      File("new2", 1, Base),
        File("newer", 1, Base + 9 * Second), File("bigger", 2, Base),
        File("same", 1, Base),      File("older", 1, Base),
        File("data", 1, Base),      File("x", 1, Base),
        File("X", 1, Base)};
    const std::vector<DirEntry> target = {
        File("newer", 1, Base), File("bigger", 1, Base), File("same", 1, Base),
        File("older", 1, Base + 9 * Second), Folder("data")};
    const PlanSummary sum = Summarize(PlanUpdate(source, target));
    EXPECT_EQ(sum.NewFiles, 2u);
    EXPECT_EQ(sum.Replaced, 2u);
    EXPECT_EQ(sum.Same, 1u);
    EXPECT_EQ(sum.KeptNewer, 1u);
    EXPECT_EQ(sum.Blocked, 3u);
}

struct VerdictRow {
    Verdict V;
    bool Copy;
    bool Replaces;
    bool Listed;
};

TEST(Verdicts, OnlyNewAndChangedFilesAreCopied) {
    const VerdictRow rows[] = {
        {Verdict::New, true, false, true},
        {Verdict::Newer, true, true, true},
        {Verdict::SizeDiffers, true, true, true},
        {Verdict::Same, false, false, false},
        {Verdict::TargetNewer, false, false, false},
        {Verdict::FolderInTarget, false, false, true},
        {Verdict::NameClash, false, false, true},
    };
    for (const VerdictRow& r : rows) {
        EXPECT_EQ(NeedsCopy(r.V), r.Copy) << VerdictLabel(r.V);
        EXPECT_EQ(ReplacesFile(r.V), r.Replaces) << VerdictLabel(r.V);
        EXPECT_EQ(IsListed(r.V), r.Listed) << VerdictLabel(r.V);
        EXPECT_STRNE(VerdictLabel(r.V), "") << static_cast<int>(r.V);
    }
}

struct NameOrder {
    const char* A;
    const char* B;
    int Sign;
};

TEST(CompareNames, FoldsAsciiLettersOnly) {
    const NameOrder rows[] = {
        {"abc", "ABC", 0},       {"a", "B", -1},         {"B", "a", 1},
        {"abc", "abcd", -1},     {"", "", 0},            {"", "a", -1},
        {"\xe9", "\xc9", 1},     // letters past ASCII compare exactly
        {"Z", "\x80", -1},       // bytes compare unsigned
    };
    for (const NameOrder& r : rows) {
        const int got = CompareNames(r.A, r.B);
        const int sign = got < 0 ? -1 : (got > 0 ? 1 : 0);
        EXPECT_EQ(sign, r.Sign) << r.A << " vs " << r.B;
    }
}

struct JoinRow {
    const char* Dir;
    const char* Name;
    std::size_t Capacity;
    const char* Result;  // nullptr: must fail
};

TEST(JoinFolder, AddsOneSeparatorAndRespectsTheBuffer) {
    const JoinRow rows[] = {
        {"C:\\Dornwick", "a.txt", 260, "C:\\Dornwick\\a.txt"},
        {"C:\\", "a.txt", 260, "C:\\a.txt"},
        {"C:\\Dornwick\\", "a.txt", 260, "C:\\Dornwick\\a.txt"},
        {"Z:/tmp/", "a.txt", 260, "Z:/tmp/a.txt"},
        {"C:\\d", "*", 260, "C:\\d\\*"},
        {"C:\\d", "abc", 9, "C:\\d\\abc"},  // 8 characters and the terminator
        {"C:\\d", "abc", 8, nullptr},
        {"C:\\d", "abc", 0, nullptr},
        {"", "abc", 260, nullptr},
        {"C:\\d", "", 260, nullptr},
    };
    for (const JoinRow& r : rows) {
        char out[300];
        std::memset(out, 'x', sizeof out);
        const bool ok = JoinFolder(out, r.Capacity, r.Dir, r.Name);
        if (r.Result == nullptr) {
            EXPECT_FALSE(ok) << r.Dir << " + " << r.Name << " in " << r.Capacity;
            if (r.Capacity > 0) EXPECT_EQ(out[0], '\0');
            else EXPECT_EQ(out[0], 'x');
        } else {
            ASSERT_TRUE(ok) << r.Dir << " + " << r.Name;
            EXPECT_STREQ(out, r.Result);
        }
        EXPECT_EQ(out[r.Capacity], 'x') << "wrote past the buffer: " << r.Dir;
    }
}

struct SameRow {
    const char* A;
    const char* B;
    bool Same;
};

TEST(SameFolder, IgnoresCaseAndTrailingSeparator) {
    const SameRow rows[] = {
        {"C:\\Work\\Src", "c:\\work\\src", true},
        {"C:\\Work\\Src\\", "C:\\Work\\Src", true},
        {"C:\\Work/Src", "C:\\Work\\Src", true},
        {"C:\\", "c:\\", true},
        {"C:\\", "C:", false},
        {"C:\\Work\\Src", "C:\\Work\\Src2", false},
        {"C:\\Work\\Src", "D:\\Work\\Src", false},
        {"C:\\a\\b", "C:\\ab", false},
    };
    for (const SameRow& r : rows) {
        EXPECT_EQ(SameFolder(r.A, r.B), r.Same) << r.A << " vs " << r.B;
        EXPECT_EQ(SameFolder(r.B, r.A), r.Same) << r.B << " vs " << r.A;
    }
}

struct BytesRow {
    std::uint64_t Value;
    std::size_t Capacity;
    const char* Result;  // nullptr: must fail
};

TEST(FormatBytes, GroupsThousands) {
    const BytesRow rows[] = {
        {0, 32, "0"},
        {999, 32, "999"},
        {1000, 32, "1,000"},
        {1234567, 32, "1,234,567"},
        {18446744073709551615ULL, 32, "18,446,744,073,709,551,615"},
        {1000, 6, "1,000"},
        {1000, 5, nullptr},
        {5, 1, nullptr},
        {5, 0, nullptr},
    };
    for (const BytesRow& r : rows) {
        char out[40];
        std::memset(out, 'x', sizeof out);
        const bool ok = FormatBytes(out, r.Capacity, r.Value);
        if (r.Result == nullptr) {
            EXPECT_FALSE(ok) << r.Value << " in " << r.Capacity;
        } else {
            ASSERT_TRUE(ok) << r.Value;
            EXPECT_STREQ(out, r.Result);
        }
        EXPECT_EQ(out[r.Capacity], 'x') << "wrote past the buffer: " << r.Value;
    }
}

}  // namespace
}  // namespace pellomark
