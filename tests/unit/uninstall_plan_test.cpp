// Which recorded folder and values the uninstaller trusts, and what it removes.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "pages/location_logic.h"
#include "sample_product.h"
#include "uninstaller/uninstall_logic.h"

namespace {

TEST(NormalizeFolder, ResolvesAFullFolderPathOrRefusesWithAnEmptyText)
{
    const std::tuple<const char*, int32_t, const char*> cases[] = {
        {"C:\\Dornwick/.\\Old\\..\\Pellomark\\\\.\\", FullPathSize, "C:\\Dornwick\\Pellomark"},
        {"C:\\..\\Old\\..\\Apps ", FullPathSize, "C:\\Apps "},
        // Drive roots however written, and what is no full path.
        {"C:\\Apps\\..\\..\\", FullPathSize, ""},
        {"C:/Apps", FullPathSize, ""},
        {"\\\\server\\share", FullPathSize, ""},
        // 6 characters need 7 bytes; what ".." takes back frees its room again.
        {"C:\\abc", 6, ""},
        {"C:\\x\\..\\abc", 7, "C:\\abc"}};
    for (const auto& [recorded, capacity, expected] : cases) {
        char out[FullPathSize + 1];
        memset(out, 'x', sizeof out);
        EXPECT_EQ(NormalizeFolder(out, capacity, recorded), *expected ? 1 : -1) << recorded;
        EXPECT_STREQ(out, expected);
        EXPECT_EQ(out[capacity], 'x') << recorded;
    }
}

// The install folder, then each parent that is also a folder of the default
// folder chain (the template with the product's name), deepest first. It trusts
// a folder exactly when the folder page would have accepted it.
TEST(PlanRemoval, ClimbsOnlyTheDefaultChainAndTrustsWhatTheFolderPageAccepts)
{
    const std::tuple<const char*, const char*, std::vector<std::string>> cases[] = {
        {"C:\\Dornwick\\%s", "C:\\Dornwick\\Extra\\Pellomark", {"C:\\Dornwick\\Extra\\Pellomark"}},
        {"C:\\Dornwick\\%s",
         "c:\\DORNWICK\\pellomark\\Sub\\",
         {"c:\\DORNWICK\\pellomark\\Sub", "c:\\DORNWICK\\pellomark", "c:\\DORNWICK"}},
        {"C:\\Dornwick\\%s", "C:\\Dorn\\Pellomark", {"C:\\Dorn\\Pellomark"}},
        // Without its placeholder the default folder is its own chain; one that
        // is no folder gives none.
        {"C:\\Vendor", "C:\\Vendor\\Tools", {"C:\\Vendor\\Tools", "C:\\Vendor"}},
        {"%s", "C:\\Vendor\\Tools", {"C:\\Vendor\\Tools"}}};
    RemovalPlan plan;
    InstallManifest product = Sample;
    for (const auto& [folderTemplate, recorded, expected] : cases) {
        product.DefaultFolderTemplate = folderTemplate;
        ASSERT_EQ(PlanRemoval(&plan, product, recorded), 1);
        std::vector<std::string> folders;
        char folder[FullPathSize];
        for (int32_t i = 0; PlanFolder(plan, i, folder, sizeof folder) == 1; ++i)
            folders.push_back(folder);
        EXPECT_EQ(folders, expected);
    }
    char small[8] = "x";
    EXPECT_EQ(PlanFolder(plan, 0, small, sizeof small), -1);
    EXPECT_STREQ(small, "");
    // A table longer than its slots is read up to its last slot.
    product.Payload[4] = {"Extra.dat", "Extra", "Extra", 0, 0};
    product.FileCount = 9;
    ASSERT_EQ(PlanRemoval(&plan, product, "D:\\P"), 1);
    EXPECT_EQ(std::make_pair(plan.PayloadCount, plan.FileCount), std::make_pair(4, 9));
    EXPECT_STREQ(plan.Files[8], "D:\\P\\Extra.da_");
    for (int32_t length = 1; length < FullPathSize; ++length) {
        std::string folder = "D:\\" + std::string(length, 'a');
        bool refused = FolderRefusal(folder.c_str(), (int32_t)folder.size(), Sample) != nullptr;
        EXPECT_EQ(PlanRemoval(&plan, Sample, folder.c_str()), refused ? -1 : 1) << length;
        EXPECT_EQ(plan.FileCount + plan.FolderCount == 0, refused) << length;
    }
}

TEST(RecordedValues, OnlyATextWithItsZeroWithinWhatWasRead)
{
    const char data[] = "C:\\P\0junk";
    const int32_t cases[][4] = {{9, RegistryText, 9, 1},
                                {4, RegistryText, 260, -1},  // the zero not read
                                {5, 2, 260, -1},             // REG_EXPAND_SZ
                                {5, RegistryText, 4, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(RegistryTextValid(data, c[0], c[1], c[2]), c[3]) << c[0];

    const std::pair<std::string, int32_t> groups[] = {{"Tools (1.01), [beta] Caf\xe9", GroupUsable},
                                                      {std::string(40, 'g'), GroupUsable},
                                                      {std::string(41, 'g'), GroupUnsendable},
                                                      {"", GroupNone},
                                                      {"Pello\rmark", GroupUnsendable}};
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
    uint32_t value = 7777;
    for (const char* line :
         {"", "/finish 0", "/finish 4294967296", "/finish 12 13", "/finished 12"})
        EXPECT_EQ(ParseFinishLine(line, &value), 0) << line;
    EXPECT_EQ(value, 7777u);
    EXPECT_EQ(ParseFinishLine("  /FINISH   4294967295  ", &value), 1);
    EXPECT_EQ(value, 4294967295u);
}

}  // namespace
