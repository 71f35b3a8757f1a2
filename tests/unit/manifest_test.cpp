#include <gtest/gtest.h>

#include <string>

#include "manifest/crc32.h"
#include "manifest/paths.h"
#include "manifest/text.h"

namespace {

TEST(Paths, JoinQuoteOrStoreWithTwoTerminatorsOrRefuseWithAnEmptyText)
{
    const std::string longest = "C:\\" + std::string(250, 'd');  // + "\\" + 4 + 2 zeros = 260
    const struct {
        int kind;
        std::string directory, name, expected;
    } cases[] = {
        {0, "C:\\Dornwick\\Pellomark", "Quodpost.exe", "C:\\Dornwick\\Pellomark\\Quodpost.exe"},
        {1, "C:\\Dornwick\\Pellomark", "Read_me.txt", "\"C:\\Dornwick\\Pellomark\\Read_me.txt\""},
        {1, "C:\\", "Read_me.txt", "\"C:\\Read_me.txt\""},
        {2, "C:\\Dornwick\\Pellomark", "Read_me.txt", "C:\\Dornwick\\Pellomark\\Read_me.tx_"},
        {2, "D:\\", "Quodgone.exe", "D:\\Quodgone.ex_"},
        {2, "C:\\x", "README", "C:\\x\\READM_"},
        {2, "C:\\x", "ends_", "C:\\x\\ends_"},
        {2, "C:\\x", "", ""},
        {0, longest, "abcd", longest + "\\abcd"},
        {0, longest, "abcde", ""},
        {2, longest, "nnnnn", longest + "\\nnnn_"},
        {2, longest, "nnnnnn", ""},
    };
    for (const auto& c : cases) {
        char out[FullPathSize];
        memset(out, 'x', sizeof out);
        const char *directory = c.directory.c_str(), *name = c.name.c_str();
        int32_t result = c.kind == 2 ? StoredPath(out, sizeof out, directory, name)
                                     : JoinPath(out, sizeof out, directory, name,
                                                c.kind == 1 ? Quoted : Unquoted);
        EXPECT_EQ(result, c.expected.empty() ? -1 : 1) << c.name;
        EXPECT_EQ(std::string(out), c.expected);
        EXPECT_TRUE(c.kind == 2 || out[c.expected.size() + 1] == 0) << "2nd zero: " << c.expected;
    }
}

TEST(Crc32, MatchesTheStandardCheckValue) { EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u); }

TEST(TextFormat, SignedNumbersAndACutThatLeavesAnEmptyText)
{
    char out[16];
    EXPECT_EQ(TextFormat(out, sizeof out, "%d|%i%%", -1, -2147483647 - 1), 15);
    EXPECT_STREQ(out, "-1|-2147483648%");
    EXPECT_EQ(TextFormat(out, sizeof out, "%s", "0123456789abcdef"), -1);
    EXPECT_STREQ(out, "");
}

}  // namespace
