// The sample program's rules, one table each: which files of a source folder
// it copies over a target's, the names and paths it builds, the sizes it
// shows, and the form of the texts it ships.
#include "update_plan.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <regex>
#include <tuple>

namespace {
using namespace pellomark;

const std::uint64_t Second = 10000000, Base = 132000000000000000ULL;  // a day in 2019
DirEntry File(const char* n, uint64_t s = 1, uint64_t t = Base) { return {n, s, t, false}; }
DirEntry Folder(const char* name) { return {name, 0, Base, true}; }

TEST(PlanUpdate, GivesEachSourceFileItsVerdict)
{
    const std::tuple<std::vector<DirEntry>, std::vector<DirEntry>, const char*> cases[] = {
        // FAT keeps times to two seconds; a later target wins whatever the sizes.
        {{File("a", 10, Base + 2 * Second + 1)}, {File("a", 10)}, "a -> a: newer"},
        {{File("a", 10)}, {File("a", 10, Base + 2 * Second)}, "a -> a: up to date"},
        {{File("a", 10, Base + 2 * Second)}, {File("a", 10)}, "a -> a: up to date"},
        {{File("a", 11, 0)}, {File("a", 10, 3 * Second)}, "a -> a: target is newer"},  // no wrap
        {{File("big", (1ULL << 32) + 1)}, {File("big")}, "big -> big: size differs"},
        {{File("data", 10)}, {Folder("DATA")}, "data -> DATA: folder in target"},
        {{File("a", 10), File("A", 12)}, {}, "a: name clash, A: name clash"},
        {{File("a", 10)}, {File("A", 10), File("a", 10)}, "a -> A: name clash"},
        // Ordered by name, only ASCII letters folded and bytes unsigned; the
        // source's folders and the target's other files are not looked at.
        {{File("b.txt"), Folder("sub"), File("A.txt"), File("c.txt"), File("a")},
         {File("C.TXT"), File("a.txt", 2), File("d")},
         "a: new, A.txt -> a.txt: size differs, b.txt: new, c.txt -> C.TXT: up to date"},
        {{File("\x80"), File("\xe9"), File("{"), File("Z")},
         {File("\xc9"), File("[")},
         "Z: new, {: new, \x80: new, \xe9: new"}};
    for (const auto& [source, target, expected] : cases) {
        std::string plan;
        for (const PlanItem& item : PlanUpdate(source, target))
            plan += (plan.empty() ? "" : ", ") + source.at(item.Source).Name +
                    (item.Target < 0 ? "" : " -> " + target.at(item.Target).Name) + ": " +
                    VerdictLabel(item.Outcome);
        EXPECT_EQ(plan, expected);
    }
}

// Per verdict, New to NameClash: copied, replacing, listed, and the count
// of the summary it adds to (new, replaced, same, kept newer, blocked).
TEST(PlanUpdate, EachVerdictIsCopiedListedAndCountedAsItSays)
{
    char shown[80] = "", *at = shown;
    for (int v = 0; v < 7; ++v) {
        const PlanSummary s = Summarize({{0, 0, Verdict(v)}});
        at += std::sprintf(at, "%s%s%s:%zu%zu%zu%zu%zu ", NeedsCopy(Verdict(v)) ? "C" : "",
                           ReplacesFile(Verdict(v)) ? "R" : "", IsListed(Verdict(v)) ? "L" : "",
                           s.NewFiles, s.Replaced, s.Same, s.KeptNewer, s.Blocked);
    }
    EXPECT_STREQ(shown, "CL:10000 CRL:01000 CRL:01000 :00100 :00010 L:00001 L:00001 ");
}

// The first pair names one folder, each other pair two.
TEST(Names, SameFolderAsTheFileSystemSeesIt)
{
    const char* const pairs[] = {"C:\\Work/Src\\", "c:\\work\\src", "C:\\",    "C:",
                                 "C:\\a\\b",       "C:\\ab",        "C:\\Src", "C:\\Src2"};
    for (const char* const* p = pairs; p < std::end(pairs); p += 2)
        EXPECT_EQ(SameFolder(p[0], p[1]) + SameFolder(p[1], p[0]), p == pairs ? 2 : 0) << p[0];
}

// A path or a size fits with its terminator or is not made, at any
// capacity: a failure leaves the buffer empty, and nothing is written past it.
TEST(Names, JoinedPathsAndSizesFitOrAreNotMade)
{
    const std::tuple<const char*, const char*, std::uint64_t, const char*> cases[] = {
        {"C:\\d", "abc", 0, "C:\\d\\abc"},
        {"Z:/tmp/", "a", 0, "Z:/tmp/a"},
        {"C:\\d\\", "a", 0, "C:\\d\\a"},
        {"", "abc", 0, ""},
        {"C:\\d", "", 0, ""},
        {nullptr, nullptr, 999, "999"},  // without a folder, the size is shown
        {nullptr, nullptr, 1000, "1,000"},
        {nullptr, nullptr, 18446744073709551615ULL, "18,446,744,073,709,551,615"}};
    for (const auto& [dir, name, size, result] : cases)
        for (std::size_t capacity = 0; capacity < 32; ++capacity) {
            std::string out(40, 'x');
            const bool fits = *result && capacity > std::strlen(result);
            const bool made = dir ? JoinFolder(&out[0], capacity, dir, name)
                                  : FormatBytes(&out[0], capacity, size);
            EXPECT_EQ(made, fits) << result << " in " << capacity;
            EXPECT_EQ(out[capacity], 'x') << result << " in " << capacity;
            EXPECT_STREQ(capacity ? out.c_str() : "", capacity && fits ? result : "") << capacity;
        }
}

// An edit control and Notepad show them: printable ASCII lines of at most 78
// columns, each ended by CR LF, at most one empty line at the end; only the
// agreement, which names the refuse button, ends with one.
TEST(Texts, KeepTheirForm)
{
    const std::regex line("[ -~]{0,78}");
    for (const std::string name : {"agreement.txt", "read_me.txt", "help.txt"}) {
        std::ifstream in(PELLOMARK_TEXT_DIR "/" + name, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        std::size_t at = 0;
        for (std::size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
            EXPECT_TRUE(std::regex_match(text.substr(at, end - at), line)) << name << " at " << at;
        EXPECT_EQ(at, text.size()) << name;
        EXPECT_EQ(text.size() - 1 - text.find_last_not_of("\r\n"), name[0] == 'a' ? 4u : 2u)
            << name;
        EXPECT_EQ(text.find("\"I Disagree\"") != std::string::npos, name[0] == 'a') << name;
    }
}

}  // namespace
