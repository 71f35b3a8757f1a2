// Which recorded folder and values the uninstaller trusts, and what it removes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pages/location_logic.h"
#include "sample_product.h"
#include "uninstaller/uninstall_logic.h"

namespace {

TEST(NormalizeFolder, ResolvesAFullFolderPathOrRefusesWithAnEmptyText)
{
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Dornwick/.\\Old\\..\\Pellomark\\\\.\\", "C:\\Dornwick\\Pellomark"},
        {"C:\\..\\Old\\..\\Apps ", "C:\\Apps "},
        // Drive roots however written, and what is no full path.
        {"C:\\Apps\\..\\..\\", ""},
        {"C:", ""},
        {"C:/Apps", ""},
        {"\\\\server\\share", ""},
    };
    for (const auto& [recorded, expected] : cases) {
        char out[FullPathSize];
        EXPECT_EQ(NormalizeFolder(out, sizeof out, recorded), *expected ? 1 : -1) << recorded;
        EXPECT_STREQ(out, expected);
    }
    // 43 characters need 44 bytes; what ".." takes back frees its room again.
    std::string folder = "C:\\" + std::string(40, 'a');
    char out[64];
    memset(out, 'x', sizeof out);
    EXPECT_EQ(NormalizeFolder(out, 43, folder.c_str()), -1);
    EXPECT_EQ(out[43], 'x');
    EXPECT_EQ(NormalizeFolder(out, 44, folder.c_str()), 1);
    EXPECT_EQ(NormalizeFolder(out, 8, "C:\\b\\c\\..\\..\\d"), 1);
    EXPECT_STREQ(out, "C:\\d");
}

std::vector<std::string> Folders(const RemovalPlan& plan)
{
    std::vector<std::string> folders;
    char folder[FullPathSize];
    for (int32_t i = 0; PlanFolder(plan, i, folder, sizeof folder) == 1; ++i)
        folders.push_back(folder);
    return folders;
}

using Paths = std::vector<std::string>;

TEST(PlanRemoval, PayloadThenStoredCopiesThenTheFoldersOfTheDefaultChain)
{
    RemovalPlan plan;
    ASSERT_EQ(PlanRemoval(&plan, Sample, "C:\\Dornwick\\Pellomark\\"), 1);
    EXPECT_EQ(plan.PayloadCount, 3);
    EXPECT_EQ(
        Paths(plan.Files, plan.Files + plan.FileCount),
        (Paths{"C:\\Dornwick\\Pellomark\\Quodpost.exe", "C:\\Dornwick\\Pellomark\\Quodpost.hlp",
               "C:\\Dornwick\\Pellomark\\Read_me.txt", "C:\\Dornwick\\Pellomark\\Quodgone.ex_",
               "C:\\Dornwick\\Pellomark\\Quodpost.ex_", "C:\\Dornwick\\Pellomark\\Quodpost.hl_",
               "C:\\Dornwick\\Pellomark\\Read_me.tx_"}));
    const std::pair<const char*, Paths> climbs[] = {
        {"D:\\Dornwick\\Pellomark", {"D:\\Dornwick\\Pellomark"}},
        {"C:\\Dornwick\\Extra\\Pellomark", {"C:\\Dornwick\\Extra\\Pellomark"}},
        {"c:\\DORNWICK\\pellomark\\Sub",
         {"c:\\DORNWICK\\pellomark\\Sub", "c:\\DORNWICK\\pellomark", "c:\\DORNWICK"}},
        {"C:\\Dornwickx\\Pellomark", {"C:\\Dornwickx\\Pellomark"}},
        {"C:\\Dorn\\Pellomark", {"C:\\Dorn\\Pellomark"}},
    };
    for (const auto& [recorded, folders] : climbs) {
        ASSERT_EQ(PlanRemoval(&plan, Sample, recorded), 1);
        EXPECT_EQ(Folders(plan), folders);
    }
    // A default folder without its placeholder is its own chain; one that is no folder gives none.
    InstallManifest vendor = Sample;
    vendor.DefaultFolderTemplate = "C:\\Vendor";
    ASSERT_EQ(PlanRemoval(&plan, vendor, "C:\\Vendor\\Tools"), 1);
    EXPECT_EQ(Folders(plan), (Paths{"C:\\Vendor\\Tools", "C:\\Vendor"}));
    vendor.DefaultFolderTemplate = "%s";
    ASSERT_EQ(PlanRemoval(&plan, vendor, "C:\\Vendor\\Tools"), 1);
    EXPECT_EQ(Folders(plan), Paths{"C:\\Vendor\\Tools"});
    char small[8] = "x";
    EXPECT_EQ(PlanFolder(plan, plan.FolderCount, small, sizeof small) +
                  PlanFolder(plan, 0, small, sizeof small),
              -2);
    EXPECT_STREQ(small, "");
}

// It trusts a folder exactly when the folder page would have accepted it.
TEST(PlanRemoval, TrustsWhatTheFolderPageAccepts)
{
    RemovalPlan plan;
    for (const char* recorded : {"", "C:\\", "C:Pellomark", "C:\\A\\.."}) {
        EXPECT_EQ(PlanRemoval(&plan, Sample, recorded), -1) << recorded;
        EXPECT_EQ(plan.FileCount + plan.FolderCount, 0);
    }
    for (int32_t length = 1; length < FullPathSize; ++length) {
        std::string folder = "D:\\" + std::string(length, 'a');
        bool refused = FolderRefusal(folder.c_str(), (int32_t)folder.size(), Sample) != nullptr;
        EXPECT_EQ(PlanRemoval(&plan, Sample, folder.c_str()), refused ? -1 : 1) << length;
    }
}

TEST(PlanRemoval, ReadsNoRowPastTheTable)
{
    InstallManifest product = Sample;
    product.Payload[4] = {"Extra.dat", "Extra", "Extra", 0, 0};
    product.FileCount = 9;
    RemovalPlan plan;
    ASSERT_EQ(PlanRemoval(&plan, product, "D:\\P"), 1);
    EXPECT_EQ(plan.PayloadCount, 4);
    EXPECT_EQ(plan.FileCount, 9);
    EXPECT_STREQ(plan.Files[8], "D:\\P\\Extra.da_");
}

TEST(RecordedValues, OnlyATextWithItsZeroWithinWhatWasRead)
{
    const struct {
        std::string data;
        uint32_t size, type, capacity;
        int32_t valid;
    } cases[] = {
        {std::string("C:\\P\0junk", 9), 9, RegistryText, 260, 1},
        {std::string("C:\\P\0", 5), 4, RegistryText, 260, -1},  // the zero not read
        {std::string("", 0), 0, RegistryText, 260, -1},
        {std::string("C:\\P\0", 5), 5, 2, 260, -1},  // REG_EXPAND_SZ
        {std::string("C:\\P\0", 5), 300, RegistryText, 260, -1},
        {std::string("C:\\P\0", 5), 5, RegistryText, 4, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RegistryTextValid(c.data.data(), c.size, c.type, c.capacity), c.valid) << c.size;

    const std::pair<std::string, int32_t> groups[] = {
        {"Tools (1.01), [beta] Caf\xe9", GroupUsable},
        {std::string(40, 'g'), GroupUsable},
        {std::string(41, 'g'), GroupUnsendable},
        {"", GroupNone},
        {"\")][DeleteGroup(\"Accessories", GroupUnsendable},
        {"Pello\rmark", GroupUnsendable},
    };
    for (const auto& [name, state] : groups)
        EXPECT_EQ(CheckGroupName(name.c_str()), state) << name;

    InstallManifest product = Sample;
    char key[RegistryTextSize];
    EXPECT_EQ(VersionKeyPath(key, 20, product), -1);
    product.RegistryKeyTemplate = "Shareware\\%s\\%s\\%i";
    EXPECT_EQ(VersionKeyPath(key, sizeof key, product), -1);
}

TEST(ParseFinishLine, RecognisesOnlyTheFinishingRun)
{
    const std::pair<const char*, uint32_t> cases[] = {
        {"  /FINISH   4294967295  ", 4294967295u},
        {"", 0},
        {"/finish 0", 0},
        {"/finish 4294967296", 0},
        {"/finish -1", 0},
        {"/finish 12 13", 0},
        {"/finished 12", 0},
    };
    for (const auto& [line, expected] : cases) {
        uint32_t value = 7777;
        EXPECT_EQ(ParseFinishLine(line, &value), expected ? 1 : 0) << line;
        EXPECT_EQ(value, expected ? expected : 7777u) << line;
    }
}

}  // namespace
