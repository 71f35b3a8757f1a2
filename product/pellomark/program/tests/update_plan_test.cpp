// The sample program's rules, one case each: which files of a source folder
// it copies over a target's, the names and paths it builds, the sizes it
// shows, and the form of the texts it ships.
#include "update_plan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace pellomark {
namespace {

const std::uint64_t Second = 10000000, Base = 132000000000000000ULL;  // a day in 2019
DirEntry File(const char* name, std::uint64_t size, std::uint64_t time = Base)
{
    return DirEntry{name, size, time, false};
}
DirEntry Folder(const char* name) { return DirEntry{name, 0, Base, true}; }

TEST(PlanUpdate, GivesEachSourceFileItsVerdict)
{
    const struct {
        std::vector<DirEntry> Source, Target;
        const char* Plan;
    } cases[] = {
        {{File("a", 10)}, {}, "a: new"},
        {{File("a", 10, Base + 2 * Second + 1)},
         {File("a", 10)},
         "a -> a: newer"},  // FAT keeps times to two seconds
        {{File("a", 10)}, {File("a", 10, Base + 2 * Second)}, "a -> a: up to date"},
        {{File("a", 10, Base + 2 * Second)}, {File("a", 10)}, "a -> a: up to date"},
        {{File("a", 11)},
         {File("a", 10, Base + 3 * Second)},
         "a -> a: target is newer"},  // whatever the sizes
        {{File("a", 10, 0)},
         {File("a", 10, 3 * Second)},
         "a -> a: target is newer"},  // no wrap near zero
        {{File("big", (1ULL << 32) + 1)}, {File("big", 1)}, "big -> big: size differs"},
        {{File("data", 10)}, {Folder("DATA")}, "data -> DATA: folder in target"},
        {{File("a", 10), File("A", 12)}, {}, "a: name clash, A: name clash"},
        {{File("a", 10)}, {File("A", 10), File("a", 10)}, "a -> A: name clash"},
        // Ordered by name without case; the source's folders and the target's other files are not looked at.
        {{File("b.txt", 1), Folder("sub"), File("A.txt", 1), File("c.txt", 1), File("a", 1)},
         {File("C.TXT", 1), File("a.txt", 2), File("d", 1)},
         "a: new, A.txt -> a.txt: size differs, b.txt: new, c.txt -> C.TXT: up to date"},
    };
    PlanSummary all = {0, 0, 0, 0, 0};
    for (const auto& c : cases) {
        std::string plan;
        for (const PlanItem& item : PlanUpdate(c.Source, c.Target)) {
            plan += (plan.empty() ? "" : ", ") + c.Source.at(item.Source).Name;
            if (item.Target >= 0)
                plan += " -> " + c.Target.at(std::size_t(item.Target)).Name;
            plan += std::string(": ") + VerdictLabel(item.Outcome);
        }
        EXPECT_EQ(plan, c.Plan);
        const PlanSummary sum = Summarize(PlanUpdate(c.Source, c.Target));
        all = {all.NewFiles + sum.NewFiles, all.Replaced + sum.Replaced, all.Same + sum.Same,
               all.KeptNewer + sum.KeptNewer, all.Blocked + sum.Blocked};
    }
    EXPECT_EQ(std::vector<std::size_t>(
                  {all.NewFiles, all.Replaced, all.Same, all.KeptNewer, all.Blocked}),
              std::vector<std::size_t>({3, 3, 3, 2, 4}));
    const char* const shown[] = {"CL", "CRL", "CRL", "",
                                 "",   "L",   "L"};  // copied, replacing, listed: New to NameClash
    for (int v = 0; v < 7; ++v)
        EXPECT_EQ(std::string(NeedsCopy(Verdict(v)) ? "C" : "") +
                      (ReplacesFile(Verdict(v)) ? "R" : "") + (IsListed(Verdict(v)) ? "L" : ""),
                  shown[v])
            << v;
}

TEST(Names, CompareFoldJoinAndShowAsTheProgramNeeds)
{
    EXPECT_GT(CompareNames("\xe9", "\xc9") * CompareNames("{", "["),
              0);                             // only ASCII letters fold,
    EXPECT_LT(CompareNames("Z", "\x80"), 0);  // and bytes compare unsigned
    const struct {
        const char *A, *B;
        bool Same;
    } folders[] = {{"C:\\Work/Src\\", "c:\\work\\src", true},
                   {"C:\\", "C:", false},
                   {"C:\\a\\b", "C:\\ab", false},
                   {"C:\\Src", "C:\\Src2", false}};
    for (const auto& r : folders)
        EXPECT_EQ(SameFolder(r.A, r.B) + SameFolder(r.B, r.A), 2 * r.Same) << r.A << " vs " << r.B;
    // A result fits with its terminator or is not made; a failure leaves the buffer empty and nothing is written past it.
    const struct {
        const char *Dir, *Name;
        std::size_t Capacity;
        const char* Result;
    } joins[] = {{"C:\\d", "abc", 9, "C:\\d\\abc"},
                 {"C:\\d", "abc", 8, ""},
                 {"Z:/tmp/", "a", 260, "Z:/tmp/a"},
                 {"C:\\d\\", "a", 260, "C:\\d\\a"},
                 {"", "abc", 260, ""},
                 {"C:\\d", "", 260, ""},
                 {"C:\\d", "abc", 0, "x"}};
    const struct {
        std::uint64_t Value;
        std::size_t Capacity;
        const char* Result;
    } sizes[] = {{999, 4, "999"},
                 {1000, 6, "1,000"},
                 {1000, 5, ""},
                 {18446744073709551615ULL, 32, "18,446,744,073,709,551,615"},
                 {5, 0, "x"}};
    char out[300];
    for (const auto& r : joins) {
        std::memset(out, 'x', sizeof out);
        EXPECT_EQ(JoinFolder(out, r.Capacity, r.Dir, r.Name), *r.Result && *r.Result != 'x')
            << r.Dir << " + " << r.Name;
        EXPECT_EQ(out[r.Capacity], 'x') << "wrote past the buffer: " << r.Dir;
        EXPECT_STREQ(r.Capacity ? out : "x", r.Result);
    }
    for (const auto& r : sizes) {
        std::memset(out, 'x', sizeof out);
        EXPECT_EQ(FormatBytes(out, r.Capacity, r.Value), *r.Result && *r.Result != 'x') << r.Value;
        EXPECT_EQ(out[r.Capacity], 'x') << "wrote past the buffer: " << r.Value;
        EXPECT_STREQ(r.Capacity ? out : "x", r.Result);
    }
}

// An edit control and Notepad show them: printable ASCII, CR LF, lines of
// at most 78 columns, the last line ended, and at most one empty line after.
TEST(Texts, KeepTheirForm)
{
    for (const char* name : {"agreement.txt", "read_me.txt", "help.txt"}) {
        std::ifstream in(std::string(PELLOMARK_TEXT_DIR) + "/" + name, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        std::size_t column = 0, line = 1;
        for (std::size_t i = 0; i < text.size(); ++i, ++column) {
            if (text.compare(i, 2, "\r\n") == 0) {
                ++i, ++line, column = -1;
                continue;
            }
            EXPECT_TRUE(text[i] >= 0x20 && text[i] < 0x7f && column < 78)
                << name << ": line " << line;
        }
        EXPECT_TRUE(text.size() > 2 && text.compare(text.size() - 2, 2, "\r\n") == 0 &&
                    text.compare(text.size() - 6, 6, "\r\n\r\n\r\n") != 0)
            << name;
        // The agreement names the refuse button, and ends with an empty line; the others do not.
        EXPECT_EQ(text.find("\"I Disagree\"") != std::string::npos, name[0] == 'a') << name;
        EXPECT_EQ(text.compare(text.size() - 4, 4, "\r\n\r\n") == 0, name[0] == 'a') << name;
    }
}

}  // namespace
}  // namespace pellomark
