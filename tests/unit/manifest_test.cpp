#include <gtest/gtest.h>

#include <string>

#include "manifest/crc32.h"
#include "manifest/paths.h"
#include "manifest/text.h"

namespace {

TEST(Text, FormatsAndFillsWhatFitsAndRefusesTheRestWhole)
{
    char out[12];
    EXPECT_EQ(TextFormat(out, sizeof out, "%d%% %x %s", -42, "ab"), 10);
    EXPECT_STREQ(out, "-42% %x ab") << "an unknown directive reads no argument";
    EXPECT_EQ(TextFormat(out, sizeof out, "ab%ide", 123456789), -1);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(ReplaceFirstPlaceholder(out, sizeof out, "1% %s %s", "%d"), 1);
    EXPECT_STREQ(out, "1% %d %s");
    EXPECT_EQ(ReplaceFirstPlaceholder(out, 5, "ab%s", "cdef"), -1);
    EXPECT_EQ(TextCopy(out, 4, "abcd"), -1);
    EXPECT_STREQ(out, "abc");
}

TEST(Paths, JoinQuoteOrStoreWithTwoTerminatorsOrRefuseWithAnEmptyText)
{
    const std::string longest = "C:\\" + std::string(250, 'd');  // + "\\" + 4 + 2 zeros = 260
    const struct { int kind; std::string directory, name, expected; } cases[] = {
        {0, "C:\\Dornwick\\Pellomark", "Quodpost.exe", "C:\\Dornwick\\Pellomark\\Quodpost.exe"},
        {0, "D:\\", "Quodpost.hlp", "D:\\Quodpost.hlp"},
        {0, "C:\\Apps\\", "a", "C:\\Apps\\a"},
        {1, "C:\\Dornwick\\Pellomark", "Read_me.txt", "\"C:\\Dornwick\\Pellomark\\Read_me.txt\""},
        {1, "C:\\", "Read_me.txt", "\"C:\\Read_me.txt\""},
        {2, "C:\\Dornwick\\Pellomark", "Read_me.txt", "C:\\Dornwick\\Pellomark\\Read_me.tx_"},
        {2, "D:\\", "Quodgone.exe", "D:\\Quodgone.ex_"},
        {2, "C:\\x", "README", "C:\\x\\READM_"},
        {2, "C:\\x", "ends_", "C:\\x\\ends_"},
        {0, longest, "abcd", longest + "\\abcd"},
        {0, longest, "abcde", ""},
        {1, longest, "abcd", ""},
        {2, longest, "nnnnn", longest + "\\nnnn_"},
        {2, longest, "nnnnnn", ""},
        {2, "C:\\", "", ""},
    };
    for (const auto& c : cases) {
        char out[FullPathSize];
        memset(out, 'x', sizeof out);
        const char *directory = c.directory.c_str(), *name = c.name.c_str();
        int32_t result = c.kind == 2 ? StoredPath(out, sizeof out, directory, name)
                                     : JoinPath(out, sizeof out, directory, name, c.kind);
        EXPECT_EQ(result, c.expected.empty() ? -1 : 1) << c.name;
        EXPECT_EQ(std::string(out), c.expected);
        EXPECT_TRUE(c.kind == 2 || out[c.expected.size() + 1] == 0) << "2nd zero: " << c.expected;
    }
}

TEST(Crc32, MatchesTheStandardCheckValues)
{
    EXPECT_EQ(Crc32("", 0), 0u);
    EXPECT_EQ(Crc32("\0", 1), 0xD202EF8Du);
    EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Crc32("The quick brown fox jumps over the lazy dog", 43), 0x414FA339u);
}

} // namespace
