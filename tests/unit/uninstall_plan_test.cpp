// Which recorded folders the uninstaller trusts, and what it removes there.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "uninstall_product.h"
#include "pages/location_logic.h"
#include "uninstaller/uninstall_logic.h"

namespace {

struct NormalCase {
    const char* recorded;
    const char* expected;  // 0: refused
};

class NormalizeFolderTest : public ::testing::TestWithParam<NormalCase> {};

TEST_P(NormalizeFolderTest, ResolvesOrRefuses)
{
    const NormalCase& c = GetParam();
    char out[FullPathSize];
    memset(out, 'x', sizeof out);
    int32_t result = NormalizeFolder(out, sizeof out, c.recorded);
    if (c.expected) {
        ASSERT_EQ(result, 1) << c.recorded;
        EXPECT_STREQ(out, c.expected);
    } else {
        EXPECT_EQ(result, -1) << c.recorded << " gave " << out;
        EXPECT_STREQ(out, "");
    }
}

INSTANTIATE_TEST_SUITE_P(Recorded, NormalizeFolderTest, ::testing::Values(
    NormalCase{"C:\\Dornwick\\Pellomark", "C:\\Dornwick\\Pellomark"},
    NormalCase{"C:\\Dornwick\\Pellomark\\", "C:\\Dornwick\\Pellomark"},
    NormalCase{"C:\\Dornwick\\Pellomark\\\\\\", "C:\\Dornwick\\Pellomark"},
    NormalCase{"C:\\Dornwick\\\\Pellomark", "C:\\Dornwick\\Pellomark"},
    NormalCase{"C:\\Dornwick/Pellomark", "C:\\Dornwick\\Pellomark"},
    NormalCase{"C:\\Dornwick\\.\\Pellomark\\.", "C:\\Dornwick\\Pellomark"},
    NormalCase{"C:\\Dornwick\\Old\\..\\Pellomark", "C:\\Dornwick\\Pellomark"},
    NormalCase{"C:\\..\\..\\Apps", "C:\\Apps"},
    NormalCase{"c:\\dornwick\\PELLOMARK", "c:\\dornwick\\PELLOMARK"},
    NormalCase{"D:\\My Apps\\Pellomark ", "D:\\My Apps\\Pellomark "},
    NormalCase{"1:\\x", "1:\\x"},
    // Drive roots, however written.
    NormalCase{"C:\\", nullptr},
    NormalCase{"C:\\\\", nullptr},
    NormalCase{"C:\\.\\", nullptr},
    NormalCase{"C:\\Apps\\..", nullptr},
    NormalCase{"C:\\Apps\\..\\..\\", nullptr},
    // Not a full path of the accepted form.
    NormalCase{"", nullptr},
    NormalCase{"C", nullptr},
    NormalCase{"C:", nullptr},
    NormalCase{"C:Apps", nullptr},
    NormalCase{"C:/Apps", nullptr},
    NormalCase{"Dornwick\\Pellomark", nullptr},
    NormalCase{"\\Dornwick\\Pellomark", nullptr},
    NormalCase{"\\\\server\\share\\Pellomark", nullptr},
    NormalCase{".\\Pellomark", nullptr}));

TEST(NormalizeFolder, RefusesWhatDoesNotFitAndNeverWritesPastCapacity)
{
    std::string folder = "C:\\" + std::string(40, 'a');
    char out[64];
    memset(out, 'x', sizeof out);
    EXPECT_EQ(NormalizeFolder(out, 44, folder.c_str()), 1);  // 43 characters and the zero
    EXPECT_EQ(out[44], 'x');
    memset(out, 'x', sizeof out);
    EXPECT_EQ(NormalizeFolder(out, 43, folder.c_str()), -1);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(out[43], 'x');
    // What ".." takes back frees its room again.
    std::string back = "C:\\" + std::string(40, 'a') + "\\..\\b";
    EXPECT_EQ(NormalizeFolder(out, 44, back.c_str()), 1);
    EXPECT_STREQ(out, "C:\\b");
    EXPECT_EQ(NormalizeFolder(out, 8, "C:\\b\\c\\..\\..\\d"), 1);
    EXPECT_STREQ(out, "C:\\d");
}

std::vector<std::string> Files(const RemovalPlan& plan)
{
    std::vector<std::string> files;
    for (int32_t i = 0; i < plan.FileCount; ++i)
        files.push_back(plan.Files[i]);
    return files;
}

std::vector<std::string> Folders(const RemovalPlan& plan)
{
    std::vector<std::string> folders;
    char folder[FullPathSize];
    for (int32_t i = 0; PlanFolder(plan, i, folder, sizeof folder) == 1; ++i)
        folders.push_back(folder);
    EXPECT_EQ((int32_t)folders.size(), plan.FolderCount);
    return folders;
}

using Paths = std::vector<std::string>;

TEST(PlanRemoval, SampleInTheDefaultFolder)
{
    InstallManifest product = SampleProduct();
    RemovalPlan plan;
    ASSERT_EQ(PlanRemoval(&plan, product, "C:\\Dornwick\\Pellomark"), 1);
    EXPECT_STREQ(plan.Folder, "C:\\Dornwick\\Pellomark");
    EXPECT_EQ(plan.PayloadCount, 3);
    EXPECT_EQ(Files(plan), (Paths{
        "C:\\Dornwick\\Pellomark\\Quodpost.exe",
        "C:\\Dornwick\\Pellomark\\Quodpost.hlp",
        "C:\\Dornwick\\Pellomark\\Read_me.txt",
        "C:\\Dornwick\\Pellomark\\Quodgone.ex_",
        "C:\\Dornwick\\Pellomark\\Quodpost.ex_",
        "C:\\Dornwick\\Pellomark\\Quodpost.hl_",
        "C:\\Dornwick\\Pellomark\\Read_me.tx_"}));
    EXPECT_EQ(Folders(plan), (Paths{"C:\\Dornwick\\Pellomark", "C:\\Dornwick"}));
}

TEST(PlanRemoval, AFinalBackslashChangesNothing)
{
    InstallManifest product = SampleProduct();
    RemovalPlan plain, slashed;
    ASSERT_EQ(PlanRemoval(&plain, product, "C:\\Dornwick\\Pellomark"), 1);
    ASSERT_EQ(PlanRemoval(&slashed, product, "C:\\Dornwick\\Pellomark\\"), 1);
    EXPECT_EQ(Files(slashed), Files(plain));
    EXPECT_EQ(Folders(slashed), Folders(plain));
}

struct FolderCase {
    const char* recorded;
    Paths folders;
};

class PlanFoldersTest : public ::testing::TestWithParam<FolderCase> {};

// Above the install folder, only folders of the default chain are tried.
TEST_P(PlanFoldersTest, ClimbsOnlyTheDefaultChain)
{
    InstallManifest product = SampleProduct();
    RemovalPlan plan;
    ASSERT_EQ(PlanRemoval(&plan, product, GetParam().recorded), 1);
    EXPECT_EQ(Folders(plan), GetParam().folders);
}

INSTANTIATE_TEST_SUITE_P(Folders, PlanFoldersTest, ::testing::Values(
    FolderCase{"D:\\Apps\\Pellomark", {"D:\\Apps\\Pellomark"}},
    FolderCase{"D:\\Dornwick\\Pellomark", {"D:\\Dornwick\\Pellomark"}},
    FolderCase{"C:\\Dornwick\\Other", {"C:\\Dornwick\\Other", "C:\\Dornwick"}},
    FolderCase{"C:\\Dornwick\\Extra\\Pellomark", {"C:\\Dornwick\\Extra\\Pellomark"}},
    FolderCase{"C:\\Dornwick\\Pellomark\\Sub",
               {"C:\\Dornwick\\Pellomark\\Sub", "C:\\Dornwick\\Pellomark", "C:\\Dornwick"}},
    FolderCase{"c:\\DORNWICK\\pellomark\\", {"c:\\DORNWICK\\pellomark", "c:\\DORNWICK"}},
    FolderCase{"C:\\Dornwick", {"C:\\Dornwick"}},
    FolderCase{"C:\\Dornwickx\\Pellomark", {"C:\\Dornwickx\\Pellomark"}},
    FolderCase{"C:\\Dorn\\Pellomark", {"C:\\Dorn\\Pellomark"}},
    FolderCase{"C:\\Pellomark", {"C:\\Pellomark"}},
    FolderCase{"C:\\Dornwick\\Old\\..\\Pellomark\\", {"C:\\Dornwick\\Pellomark", "C:\\Dornwick"}}));

TEST(PlanRemoval, RefusesWhatTheInstallerCouldNotHaveInstalledInto)
{
    InstallManifest product = SampleProduct();
    RemovalPlan plan;
    for (const char* recorded : {"", "C:\\", "C:\\\\", "D:\\", "Pellomark", "C:Pellomark",
                                 "\\Dornwick\\Pellomark", "C:\\Apps\\.."}) {
        EXPECT_EQ(PlanRemoval(&plan, product, recorded), -1) << recorded;
        EXPECT_EQ(plan.FileCount, 0);
        EXPECT_EQ(plan.FolderCount, 0);
    }
}

// The uninstaller trusts a plain folder exactly when the folder page would
// have accepted it, the length rule included.
TEST(PlanRemoval, TrustsWhatTheFolderPageAccepts)
{
    InstallManifest product = SampleProduct();
    RemovalPlan plan;
    int32_t accepted = 0;
    for (int32_t length = 1; length < FullPathSize; ++length) {
        std::string folder = "D:\\" + std::string(length, 'a');
        bool refused = FolderRefusal(folder.c_str(), (int32_t)folder.size(), product) != 0;
        EXPECT_EQ(PlanRemoval(&plan, product, folder.c_str()), refused ? -1 : 1) << length;
        accepted += !refused;
    }
    EXPECT_GT(accepted, 100);
    for (const char* typed : {"1:\\x", "C:\\Apps\\", "D:\\Apps\\Pellomark"})
        EXPECT_EQ(PlanRemoval(&plan, product, typed), 1) << typed;
    for (const char* typed : {"", "C", "C:/Apps", "C:\\"})
        EXPECT_EQ(PlanRemoval(&plan, product, typed), -1) << typed;
}

TEST(PlanRemoval, TakesOnlyTheRowsThatAreInstalled)
{
    InstallManifest product = SampleProduct();
    RemovalPlan plan;
    product.FileCount = 2;
    ASSERT_EQ(PlanRemoval(&plan, product, "D:\\P"), 1);
    EXPECT_EQ(Files(plan), (Paths{"D:\\P\\Quodpost.exe", "D:\\P\\Quodgone.ex_", "D:\\P\\Quodpost.ex_"}));
    EXPECT_EQ(plan.PayloadCount, 1);

    product.FileCount = 0;
    ASSERT_EQ(PlanRemoval(&plan, product, "D:\\P"), 1);
    EXPECT_EQ(plan.FileCount, 0);
    EXPECT_EQ(Folders(plan), (Paths{"D:\\P"}));

    // A count past the table's capacity reads no further than the table.
    PayloadEntry extra = {"Extra.dat", "Extra", "Extra", 0, 0};
    product.Payload[4] = extra;
    product.FileCount = 9;
    ASSERT_EQ(PlanRemoval(&plan, product, "D:\\P"), 1);
    EXPECT_EQ(plan.PayloadCount, 4);
    EXPECT_EQ(plan.FileCount, 9);
    EXPECT_STREQ(plan.Files[3], "D:\\P\\Extra.dat");
    EXPECT_STREQ(plan.Files[8], "D:\\P\\Extra.da_");
}

TEST(PlanRemoval, ADefaultFolderWithoutPlaceholderIsItsOwnChain)
{
    InstallManifest product = SampleProduct();
    product.DefaultFolderTemplate = "C:\\Vendor\\Tools";
    RemovalPlan plan;
    ASSERT_EQ(PlanRemoval(&plan, product, "C:\\Vendor\\Tools\\Pellomark"), 1);
    EXPECT_EQ(Folders(plan),
              (Paths{"C:\\Vendor\\Tools\\Pellomark", "C:\\Vendor\\Tools", "C:\\Vendor"}));
    // A default that is no folder gives no chain to climb.
    product.DefaultFolderTemplate = "%s";
    ASSERT_EQ(PlanRemoval(&plan, product, "C:\\Vendor\\Tools\\Pellomark"), 1);
    EXPECT_EQ(Folders(plan), (Paths{"C:\\Vendor\\Tools\\Pellomark"}));
}

TEST(PlanFolder, RefusesIndicesOutsideThePlan)
{
    InstallManifest product = SampleProduct();
    RemovalPlan plan;
    ASSERT_EQ(PlanRemoval(&plan, product, "C:\\Dornwick\\Pellomark"), 1);
    char out[FullPathSize] = "x";
    EXPECT_EQ(PlanFolder(plan, -1, out, sizeof out), -1);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(PlanFolder(plan, plan.FolderCount, out, sizeof out), -1);
    char small[8];
    EXPECT_EQ(PlanFolder(plan, 1, small, sizeof small), -1);
    EXPECT_STREQ(small, "");
}

} // namespace
