// The recorded values, the registry keys, the group command and the
// finishing run's command line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "uninstall_product.h"
#include "uninstaller/uninstall_logic.h"

namespace {

struct TextCase {
    std::string data;
    uint32_t size;
    uint32_t type;
    uint32_t capacity;
    int32_t expected;
};

class RegistryTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(RegistryTextTest, NeedsATextWithItsZeroWithinWhatWasRead)
{
    const TextCase& c = GetParam();
    EXPECT_EQ(RegistryTextValid(c.data.data(), c.size, c.type, c.capacity), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Values, RegistryTextTest, ::testing::Values(
    TextCase{std::string("C:\\P\0", 5), 5, 1, 260, 1},
    TextCase{std::string("\0", 1), 1, 1, 260, 1},
    // Written without its zero: the byte after it is not part of the value.
    TextCase{std::string("C:\\P\0", 5), 4, 1, 260, -1},
    TextCase{std::string("", 0), 0, 1, 260, -1},
    // Not REG_SZ: REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ.
    TextCase{std::string("C:\\P\0", 5), 5, 2, 260, -1},
    TextCase{std::string("C:\\P\0", 5), 5, 3, 260, -1},
    TextCase{std::string("C:\\P\0", 5), 4, 4, 260, -1},
    TextCase{std::string("C:\\P\0\0", 6), 6, 7, 260, -1},
    // A size claimed beyond the buffer is never trusted.
    TextCase{std::string("C:\\P\0", 5), 300, 1, 260, -1},
    TextCase{std::string("C:\\P\0", 5), 5, 1, 4, -1},
    // A zero inside ends the text there.
    TextCase{std::string("C:\\P\0junk", 9), 9, 1, 260, 1}));

TEST(VersionKeyPath, FollowsTheTemplate)
{
    InstallManifest product = SampleProduct();
    char key[RegistryPathSize];
    ASSERT_EQ(VersionKeyPath(key, sizeof key, product), 1);
    EXPECT_STREQ(key, "Shareware\\Dornwick\\Programs\\Pellomark\\Current Version");
    char small[20];
    EXPECT_EQ(VersionKeyPath(small, sizeof small, product), -1);
    // A template that does not take the two texts is not formatted at all.
    product.RegistryKeyTemplate = "Shareware\\%s\\%s\\%i";
    EXPECT_EQ(VersionKeyPath(key, sizeof key, product), -1);
    product.RegistryKeyTemplate = "Shareware\\%s";
    EXPECT_EQ(VersionKeyPath(key, sizeof key, product), -1);
}

TEST(ParentKeyLength, WalksUpToTheFirstKey)
{
    const char key[] = "Shareware\\Dornwick\\Programs\\Pellomark\\Current Version";
    std::vector<std::string> walk;
    for (int32_t length = (int32_t)strlen(key); length > 0; length = ParentKeyLength(key, length))
        walk.push_back(std::string(key, length));
    EXPECT_EQ(walk, (std::vector<std::string>{
        "Shareware\\Dornwick\\Programs\\Pellomark\\Current Version",
        "Shareware\\Dornwick\\Programs\\Pellomark", "Shareware\\Dornwick\\Programs",
        "Shareware\\Dornwick", "Shareware"}));
    EXPECT_EQ(ParentKeyLength("Shareware", 9), 0);
    EXPECT_EQ(ParentKeyLength("\\Shareware", 10), 0);
}

struct GroupCase {
    std::string name;
    int32_t state;
};

class GroupNameTest : public ::testing::TestWithParam<GroupCase> {};

TEST_P(GroupNameTest, SendsOnlyWhatCannotBreakTheCommand)
{
    EXPECT_EQ(CheckGroupName(GetParam().name.c_str()), GetParam().state) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Names, GroupNameTest, ::testing::Values(
    GroupCase{"Pellomark", GroupUsable},
    GroupCase{"Dornwick Tools (1.01), [beta]", GroupUsable},
    GroupCase{"a\\b/c:d*e?", GroupUsable},  // made into '_' by the server, on both sides
    GroupCase{std::string(40, 'g'), GroupUsable},
    GroupCase{std::string(41, 'g'), GroupUnsendable},
    GroupCase{"", GroupNone},
    GroupCase{"Pello\"mark", GroupUnsendable},
    GroupCase{"\")][DeleteGroup(\"Accessories", GroupUnsendable},
    GroupCase{"Pello\rmark", GroupUnsendable},
    GroupCase{"Pello\tmark", GroupUnsendable},
    GroupCase{"Caf\xe9", GroupUsable}));

TEST(FormatDeleteGroup, IsTheProgramManagerCommand)
{
    char command[GroupCommandSize];
    ASSERT_EQ(FormatDeleteGroup(command, sizeof command, "Pellomark"), 26);
    EXPECT_STREQ(command, "[DeleteGroup(\"Pellomark\")]");
    char small[24];
    EXPECT_EQ(FormatDeleteGroup(small, sizeof small, "Pellomark"), -1);
    EXPECT_STREQ(small, "");
}

struct LineCase {
    const char* line;
    int32_t expected;
    uint32_t value;
};

class FinishLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(FinishLineTest, RecognisesOnlyTheFinishingRun)
{
    const LineCase& c = GetParam();
    uint32_t value = 7777;
    EXPECT_EQ(ParseFinishLine(c.line, &value), c.expected) << c.line;
    EXPECT_EQ(value, c.expected ? c.value : 7777u) << c.line;
}

INSTANTIATE_TEST_SUITE_P(Lines, FinishLineTest, ::testing::Values(
    LineCase{"/finish 124", 1, 124},
    LineCase{"  /FINISH   4294967295  ", 1, 4294967295u},
    LineCase{"", 0, 0},
    LineCase{"/finish", 0, 0},
    LineCase{"/finish ", 0, 0},
    LineCase{"/finish 0", 0, 0},
    LineCase{"/finish 4294967296", 0, 0},
    LineCase{"/finish 99999999999999999999", 0, 0},
    LineCase{"/finish -1", 0, 0},
    LineCase{"/finish 12x", 0, 0},
    LineCase{"/finish 12 13", 0, 0},
    LineCase{"/finished 12", 0, 0},
    LineCase{"/finish12", 0, 0},
    LineCase{"/S", 0, 0}));

} // namespace
