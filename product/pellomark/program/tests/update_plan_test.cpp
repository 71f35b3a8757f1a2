// The sample program's rules, one table each: which files of a source folder
// it copies over a target's, the names and paths it builds, the sizes it
// shows, and the form of the texts it ships.
#include "update_plan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

namespace pellomark {
namespace {

const std::uint64_t Second = 10000000, Base = 132000000000000000ULL;  // a day in 2019
DirEntry File(const char* n, std::uint64_t s, std::uint64_t t = Base) { return {n, s, t, false}; }
DirEntry Folder(const char* name) { return {name, 0, Base, true}; }

TEST(PlanUpdate, GivesEachSourceFileItsVerdict)
{
    const std::tuple<std::vector<DirEntry>, std::vector<DirEntry>, const char*> cases[] = {
        // FAT keeps times to two seconds; a later target wins whatever the sizes.
        {{File("a", 10, Base + 2 * Second + 1)}, {File("a", 10)}, "a -> a: newer"},
        {{File("a", 10)}, {File("a", 10, Base + 2 * Second)}, "a -> a: up to date"},
        {{File("a", 10, Base + 2 * Second)}, {File("a", 10)}, "a -> a: up to date"},
        {{File("a", 11)}, {File("a", 10, Base + 3 * Second)}, "a -> a: target is newer"},
        {{File("a", 10, 0)}, {File("a", 10, 3 * Second)}, "a -> a: target is newer"},
        {{File("big", (1ULL << 32) + 1)}, {File("big", 1)}, "big -> big: size differs"},
        {{File("data", 10)}, {Folder("DATA")}, "data -> DATA: folder in target"},
        {{File("a", 10), File("A", 12)}, {}, "a: name clash, A: name clash"},
        {{File("a", 10)}, {File("A", 10), File("a", 10)}, "a -> A: name clash"},
        // Ordered by name, only ASCII letters folded and bytes unsigned; the
        // source's folders and the target's other files are not looked at.
        {{File("b.txt", 1), Folder("sub"), File("A.txt", 1), File("c.txt", 1), File("a", 1)},
         {File("C.TXT", 1), File("a.txt", 2), File("d", 1)},
         "a: new, A.txt -> a.txt: size differs, b.txt: new, c.txt -> C.TXT: up to date"},
        {{File("\x80", 1), File("\xe9", 1), File("{", 1), File("Z", 1)},
         {File("\xc9", 1), File("[", 1)},
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
    std::string shown;
    for (int v = 0; v < 7; ++v) {
        const Verdict verdict = Verdict(v);
        const PlanSummary s = Summarize({{0, 0, verdict}});
        shown += std::string(NeedsCopy(verdict) ? "C" : "") + (ReplacesFile(verdict) ? "R" : "") +
                 (IsListed(verdict) ? "L" : "") + ":" + std::to_string(s.NewFiles) +
                 std::to_string(s.Replaced) + std::to_string(s.Same) + std::to_string(s.KeptNewer) +
                 std::to_string(s.Blocked) + " ";
    }
    EXPECT_EQ(shown, "CL:10000 CRL:01000 CRL:01000 :00100 :00010 L:00001 L:00001 ");
}

// The first pair names one folder, each other pair two.
TEST(Names, SameFolderAsTheFileSystemSeesIt)
{
    const char* const pairs[] = {"C:\\Work/Src\\", "c:\\work\\src", "C:\\",    "C:",
                                 "C:\\a\\b",       "C:\\ab",        "C:\\Src", "C:\\Src2"};
    for (int i = 0; i < 8; i += 2)
        EXPECT_EQ(SameFolder(pairs[i], pairs[i + 1]) + SameFolder(pairs[i + 1], pairs[i]),
                  i ? 0 : 2)
            << pairs[i];
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
            char out[40];
            std::memset(out, 'x', sizeof out);
            const bool fits = *result && capacity > std::strlen(result);
            EXPECT_EQ(dir ? JoinFolder(out, capacity, dir, name) : FormatBytes(out, capacity, size),
                      fits)
                << result << " in " << capacity;
            EXPECT_EQ(out[capacity], 'x') << result << " in " << capacity;
            EXPECT_STREQ(capacity ? out : "", capacity && fits ? result : "") << capacity;
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
        ASSERT_TRUE(at == text.size() && at > 6) << name;
        const bool agreement = name == "agreement.txt",
                   empty = !text.compare(at - 4, 4, "\r\n\r\n");
        EXPECT_EQ(empty && text.compare(at - 6, 6, "\r\n\r\n\r\n"), agreement) << name;
        EXPECT_EQ(text.find("\"I Disagree\"") != std::string::npos, agreement) << name;
    }
}

}  // namespace
}  // namespace pellomark
