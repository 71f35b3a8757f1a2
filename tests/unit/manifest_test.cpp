#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "manifest/crc32.h"
#include "manifest/paths.h"
#include "manifest/text.h"

namespace {

enum Kind { Join, Quote, Store };

TEST(Paths, JoinQuoteOrStoreWithTwoTerminatorsOrRefuseWithAnEmptyText)
{
    const std::string longest = "C:\\" + std::string(250, 'd');  // + "\\" + 4 + 2 zeros = 260
    const std::tuple<Kind, std::string, std::string, std::string> cases[] = {
        {Join, "C:\\Dornwick\\Pellomark", "Quodpost.exe", "C:\\Dornwick\\Pellomark\\Quodpost.exe"},
        {Quote, "C:\\", "Read_me.txt", "\"C:\\Read_me.txt\""},
        {Store, "C:\\x", "README", "C:\\x\\READM_"},
        {Store, "D:\\", "Quodgone.exe", "D:\\Quodgone.ex_"},
        {Store, "C:\\x", "", ""},
        {Join, longest, "abcd", longest + "\\abcd"},
        {Join, longest, "abcde", ""},
        {Store, longest, "nnnnn", longest + "\\nnnn_"},
        {Store, longest, "nnnnnn", ""},
    };
    for (const auto& [kind, directory, name, expected] : cases) {
        char out[FullPathSize];
        memset(out, 'x', sizeof out);
        const char *folder = directory.c_str(), *file = name.c_str();
        EXPECT_EQ(kind == Store
                      ? StoredPath(out, sizeof out, folder, file)
                      : JoinPath(out, sizeof out, folder, file, kind == Quote ? Quoted : Unquoted),
                  expected.empty() ? -1 : 1)
            << name;
        EXPECT_EQ(std::string(out), expected);
        EXPECT_TRUE(kind == Store || out[expected.size() + 1] == 0) << "2nd zero: " << expected;
    }
}

TEST(Crc32, MatchesTheStandardCheckValue) { EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u); }

// A text cut to fit its buffer is still ended inside it, and the cut is told.
TEST(TextFormat, SignedNumbersAndACutThatLeavesAnEmptyText)
{
    char out[16], small[4];
    EXPECT_EQ(TextFormat(out, sizeof out, "%d|%i%%", -1, -2147483647 - 1), 15);
    EXPECT_STREQ(out, "-1|-2147483648%");
    EXPECT_EQ(TextFormat(out, sizeof out, "%s", "0123456789abcdef"), -1);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(TextCopy(small, sizeof small, "abcd"), -1);
    EXPECT_STREQ(small, "abc");
}

}  // namespace
