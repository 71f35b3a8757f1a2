#include <gtest/gtest.h>

#include <string>

#include "manifest/paths.h"

namespace {

struct JoinCase {
    const char* directory;
    const char* name;
    int quoted;
    const char* expected;
};

class JoinPathTest : public ::testing::TestWithParam<JoinCase> {};

TEST_P(JoinPathTest, JoinsWithOneSeparatorAndTwoTerminators)
{
    const JoinCase& c = GetParam();
    char out[FullPathSize];
    memset(out, 'x', sizeof out);
    ASSERT_EQ(JoinPath(out, sizeof out, c.directory, c.name, c.quoted), 1);
    EXPECT_STREQ(out, c.expected);
    size_t length = strlen(c.expected);
    EXPECT_EQ(out[length + 1], 0) << "second terminator missing";
    EXPECT_EQ((int32_t)length + 2, JoinedSize(c.directory, c.name, c.quoted));
}

INSTANTIATE_TEST_SUITE_P(Examples, JoinPathTest, ::testing::Values(
    JoinCase{"C:\\Dornwick\\Pellomark", "Quodpost.exe", 0, "C:\\Dornwick\\Pellomark\\Quodpost.exe"},
    JoinCase{"C:\\WINDOWS", "Quodgone.exe", 0, "C:\\WINDOWS\\Quodgone.exe"},
    JoinCase{"D:\\", "Quodpost.hlp", 0, "D:\\Quodpost.hlp"},
    JoinCase{"C:\\Dornwick\\Pellomark", "Read_me.txt", 1, "\"C:\\Dornwick\\Pellomark\\Read_me.txt\""},
    JoinCase{"C:\\", "Read_me.txt", 1, "\"C:\\Read_me.txt\""},
    JoinCase{"C:\\Apps\\", "a", 0, "C:\\Apps\\a"},
    JoinCase{"C:\\My Apps", "*.*", 0, "C:\\My Apps\\*.*"}));

struct StoredCase {
    const char* directory;
    const char* name;
    const char* expected;
};

class StoredPathTest : public ::testing::TestWithParam<StoredCase> {};

TEST_P(StoredPathTest, ReplacesTheNamesLastCharacterOnly)
{
    const StoredCase& c = GetParam();
    char out[FullPathSize];
    ASSERT_EQ(StoredPath(out, sizeof out, c.directory, c.name), 1);
    EXPECT_STREQ(out, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Examples, StoredPathTest, ::testing::Values(
    StoredCase{"C:\\Dornwick\\Pellomark", "Quodpost.exe", "C:\\Dornwick\\Pellomark\\Quodpost.ex_"},
    StoredCase{"C:\\Dornwick\\Pellomark", "Read_me.txt", "C:\\Dornwick\\Pellomark\\Read_me.tx_"},
    StoredCase{"D:\\", "Quodgone.exe", "D:\\Quodgone.ex_"},
    StoredCase{"C:\\x", "README", "C:\\x\\READM_"},
    StoredCase{"C:\\x", "ends_", "C:\\x\\ends_"},
    StoredCase{"C:\\x.y\\", "a", "C:\\x.y\\_"}));

TEST(PathBounds, JoinRefusesWhatDoesNotFitAndLeavesAnEmptyText)
{
    std::string directory = "C:\\" + std::string(250, 'd');  // 253 characters
    char out[FullPathSize];
    // 253 + 1 + 4 + 2 = 260 fits exactly; one more character does not.
    EXPECT_EQ(JoinPath(out, sizeof out, directory.c_str(), "abcd", 0), 1);
    EXPECT_EQ(strlen(out), 258u);
    memset(out, 'x', sizeof out);
    EXPECT_EQ(JoinPath(out, sizeof out, directory.c_str(), "abcde", 0), -1);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 0);
    // Quoting costs two more bytes.
    EXPECT_EQ(JoinPath(out, sizeof out, directory.c_str(), "abcd", 1), -1);
}

TEST(PathBounds, StoredPathRefusesWhatDoesNotFit)
{
    std::string directory = "C:\\" + std::string(250, 'd');
    char out[FullPathSize];
    EXPECT_EQ(StoredPath(out, sizeof out, directory.c_str(), std::string(5, 'n').c_str()), 1);
    EXPECT_EQ(strlen(out), 259u);
    EXPECT_EQ(StoredPath(out, sizeof out, directory.c_str(), std::string(6, 'n').c_str()), -1);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(StoredPath(out, sizeof out, "C:\\", ""), -1);
}

} // namespace
