#include <gtest/gtest.h>

#include <strings.h>

#include <map>
#include <string>
#include <vector>

#include "manifest/paths.h"
#include "manifest/text.h"
#include "pages/location_logic.h"

namespace {

const InstallManifest Sample = {
    "Cratewise",
    "Shareware\\Dornwick\\Programs\\%s\\%s",
    "Pellomark",
    "Software updates made easy!",
    "1.01",
    "C:\\Dornwick\\%s",
    {
        {"Quodgone.exe", "Purgeset", "Uninstall", 36864, 19894},
        {"Quodpost.exe", "Program", "Pellomark", 371712, 209925},
        {"Quodpost.hlp", "HelpFile", "Help", 15821, 9359},
        {"Read_me.txt", "ReadMe", "Read Me", 3850, 3850},
        {"", "", "", 0, 0},
    },
    4,
    4,
};

struct Entry {
    uint32_t attributes;
    std::string name;
};

struct Item {
    std::string text;
    int32_t kind;
    int32_t height;
};

enum { Canary = 0x5a5a5a5a, CanarySlots = 8 };

// A list box, an edit field and a file system in memory, recording what the
// browser asks of them.
class FakePage : public FolderPage {
public:
    FakePage(const InstallManifest& product = Sample)
        : FolderPage(FolderBrowser{installDir, &currentItem, &listingDrives, levels}, product)
    {
        TextCopy(installDir, sizeof installDir, ".");
        for (int32_t& level : levels)
            level = Canary;
        for (int32_t i = 0; i < FolderIndentSlots; ++i)
            levels[i] = 0;
        drives = std::string("C:\\\0Z:\\\0\0", 9);
    }

    void ShowPath(const char* path) override { field = path; }
    int32_t ReadPath(char* output, int32_t capacity) override
    {
        TextCopy(output, capacity, field.c_str());
        return (int32_t)field.size();
    }
    void Warn(const char* message) override { warnings.push_back(message); }

    void StartRebuild() override
    {
        EXPECT_FALSE(rebuilding);
        rebuilding = true;
        ++rebuilds;
        items.clear();
        selected = -1;
    }
    void FinishRebuild() override
    {
        EXPECT_TRUE(rebuilding);
        rebuilding = false;
    }
    void InsertItem(int32_t index, const char* text, int32_t kind) override
    {
        EXPECT_TRUE(rebuilding);
        ASSERT_LE(index, (int32_t)items.size());
        items.insert(items.begin() + index, Item{text, kind, 0});
    }
    void AddSortedItem(const char* text, int32_t kind) override
    {
        EXPECT_TRUE(rebuilding);
        size_t at = 0;
        while (at < items.size() && strcasecmp(items[at].text.c_str(), text) <= 0)
            ++at;
        items.insert(items.begin() + at, Item{text, kind, 0});
    }
    void SetItemHeight(int32_t index, int32_t height) override
    {
        ASSERT_LT(index, (int32_t)items.size());
        items[index].height = height;
    }
    int32_t FindDrive(const char* root) override
    {
        for (size_t step = 1; step <= items.size(); ++step) {
            size_t i = step % items.size();
            if (strcasecmp(items[i].text.c_str(), root) == 0)
                return (int32_t)i;
        }
        return -1;
    }
    void SelectItem(int32_t index) override { selected = index; }
    int32_t SelectedItem() override { return selected; }
    void ReadItem(int32_t index, char* output, int32_t capacity) override
    {
        TextCopy(output, capacity, items.at(index).text.c_str());
    }
    void DriveRoots(char* output, int32_t capacity) override
    {
        ASSERT_EQ(capacity, DriveStringsSize);
        for (size_t i = 0; i < drives.size() && i < (size_t)capacity; ++i)
            output[i] = drives[i];
    }
    bool StartListing(const char* pattern) override
    {
        patterns.push_back(pattern);
        auto found = folders.find(pattern);
        if (found == folders.end())
            return false;
        listing = found->second;
        next = 0;
        return true;
    }
    bool NextEntry(uint32_t* attributes, char* name, int32_t capacity) override
    {
        if (next >= listing.size())
            return false;
        *attributes = listing[next].attributes;
        TextCopy(name, capacity, listing[next].name.c_str());
        ++next;
        return true;
    }
    void EndListing() override { listing.clear(); }

    // A double click: the list selects the item, then the page opens it.
    void DoubleClick(int32_t index)
    {
        selected = index;
        OpenItem(*this);
    }

    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const Item& item : items)
            texts.push_back(item.text);
        return texts;
    }
    std::vector<int32_t> Kinds() const
    {
        std::vector<int32_t> kinds;
        for (const Item& item : items)
            kinds.push_back(item.kind);
        return kinds;
    }
    std::vector<int32_t> Levels(size_t count) const
    {
        std::vector<int32_t> out;
        for (size_t i = 0; i < count; ++i)
            out.push_back(IndentOf(levels, (int32_t)i));
        return out;
    }
    bool CanaryIntact() const
    {
        for (int32_t i = FolderIndentSlots; i < FolderIndentSlots + CanarySlots; ++i)
            if (levels[i] != Canary)
                return false;
        return true;
    }

    char installDir[FullPathSize];
    int32_t currentItem = 0;
    int32_t listingDrives = 0;
    int32_t levels[FolderIndentSlots + CanarySlots];

    std::string field;
    std::vector<std::string> warnings;
    std::vector<Item> items;
    int32_t selected = -1;
    bool rebuilding = false;
    int rebuilds = 0;
    std::string drives;
    std::map<std::string, std::vector<Entry>> folders;
    std::vector<std::string> patterns;
    std::vector<Entry> listing;
    size_t next = 0;
};

const uint32_t Dir = EntryDirectory;

using Texts = std::vector<std::string>;
using Numbers = std::vector<int32_t>;

// ---- re-casing -------------------------------------------------------------

TEST(CapitalizeWords, ReCasesEachWordAsListed)
{
    const std::pair<std::string, std::string> cases[] = {
        {"program files", "Program Files"},
        {"MY DOCUMENTS", "My Documents"},
        {"WinSxS", "Winsxs"},
        {"x-ray v2.0 beta", "X-ray V2.0 Beta"},
        {"a  b", "A  b"},
        {"abc ", "Abc "},
        {"", ""},
        {"q", "Q"},
        {"a\\bC\\\\dE", "A\\Bc\\\\de"},
        {"1st PLACE", "1st Place"},
        {"\xe9T\xc9 \xe9t\xc9", "\xe9t\xc9 \xe9t\xc9"},
        {"x ", "X "},
    };
    for (const auto& [found, listed] : cases) {
        char name[64];
        TextCopy(name, sizeof name, found.c_str());
        CapitalizeWords(name);
        EXPECT_EQ(std::string(name), listed) << "for [" << found << "]";
    }
}

// ---- the listing filter ----------------------------------------------------

TEST(EntryListed, KeepsOnlyVisibleFoldersNotNamedWithADot)
{
    struct Case {
        uint32_t attributes;
        const char* name;
        bool listed;
    } cases[] = {
        {Dir, "Data", true},
        {Dir | 0x20 | 0x1, "Archived read-only", true},
        {Dir | EntryHidden, "Hidden", false},
        {Dir | EntrySystem, "System", false},
        {Dir | EntryHidden | EntrySystem, "Both", false},
        {Dir, ".", false},
        {Dir, "..", false},
        {Dir, ".git", false},
        {0x20, "file.txt", false},
        {0x80, "plain", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EntryListed(c.attributes, c.name), c.listed) << c.name;
}

// ---- the folder view -------------------------------------------------------

TEST(FolderView, WorkedExample)
{
    FakePage page;
    page.folders["C:\\Dornwick\\Pellomark\\*.*"] = {
        {Dir, "."}, {Dir, ".."}, {Dir, "data"}, {Dir, "HELP FILES"},
        {Dir | EntryHidden, "secret"}, {Dir | EntrySystem, "sys"}, {Dir, ".cache"},
        {0x20, "readme.txt"},
    };
    ShowFolder(page, "C:\\Dornwick\\Pellomark", 0);

    EXPECT_EQ(page.Texts(), (Texts{"Folders", "C:\\", "Dornwick", "Pellomark", "Data", "Help Files"}));
    EXPECT_EQ(page.Kinds(), (Numbers{HeaderItem, DriveItem, FolderItem, FolderItem, FolderItem,
                                     FolderItem}));
    EXPECT_EQ(page.Levels(6), (Numbers{0, 1, 2, 3, 4, 4}));
    EXPECT_EQ(page.items[0].height, HeaderItemHeight);
    for (size_t i = 1; i < page.items.size(); ++i)
        EXPECT_EQ(page.items[i].height, 0) << "item " << i << " keeps the default height";
    EXPECT_EQ(page.currentItem, 3);
    EXPECT_EQ(page.selected, 3);
    EXPECT_EQ(page.listingDrives, 0);
    EXPECT_STREQ(page.installDir, "C:\\Dornwick\\Pellomark");
    EXPECT_EQ(page.field, "C:\\Dornwick\\Pellomark");
    EXPECT_EQ(page.patterns, (Texts{"C:\\Dornwick\\Pellomark\\*.*"}));
    EXPECT_FALSE(page.rebuilding);
    EXPECT_EQ(IndentOf(page.levels, FolderIndentSlots - 1), 4);
    EXPECT_TRUE(page.CanaryIntact());

    // Pictures: the computer, the drive's own, closed folders and the open current one.
    Numbers images;
    for (size_t i = 0; i < page.items.size(); ++i)
        images.push_back(FolderItemImage(page.items[i].kind, (int32_t)i, page.currentItem));
    EXPECT_EQ(images, (Numbers{ComputerImage, DriveOwnImage, ClosedFolderImage, OpenFolderImage,
                               ClosedFolderImage, ClosedFolderImage}));
}

TEST(FolderView, AFolderThatCannotBeListedShowsTheChainOnly)
{
    FakePage page;
    ShowFolder(page, "C:\\Dornwick\\Pellomark", 0);
    EXPECT_EQ(page.Texts(), (Texts{"Folders", "C:\\", "Dornwick", "Pellomark"}));
    EXPECT_EQ(page.currentItem, 3);
}

struct ChainCase {
    const char* path;
    Texts items;
    int32_t current;
};

class Chains : public ::testing::TestWithParam<ChainCase> {};

TEST_P(Chains, OneItemPerComponentAfterTheRoot)
{
    const ChainCase& c = GetParam();
    FakePage page;
    ShowFolder(page, c.path, 0);
    EXPECT_EQ(page.Texts(), c.items);
    EXPECT_EQ(page.currentItem, c.current);
    EXPECT_EQ(page.selected, c.current);
    Numbers expected{0};
    for (int32_t i = 1; i <= c.current + 1; ++i)
        expected.push_back(i);
    EXPECT_EQ(page.Levels(c.current + 2), expected);
}

INSTANTIATE_TEST_SUITE_P(Paths, Chains, ::testing::Values(
    ChainCase{"C:\\", {"Folders", "C:\\"}, 1},
    ChainCase{"C:\\Apps\\", {"Folders", "C:\\", "Apps"}, 2},
    ChainCase{"C:\\a\\\\b", {"Folders", "C:\\", "a", "", "b"}, 4},
    ChainCase{"D:\\Apps\\Pellomark", {"Folders", "D:\\", "Apps", "Pellomark"}, 3},
    ChainCase{"1:\\x", {"Folders", "1:\\", "x"}, 2},
    ChainCase{"c:\\dornwick\\pellomark\\Data",
              {"Folders", "c:\\", "dornwick", "pellomark", "Data"}, 4}));

TEST(FolderView, SubFoldersSortAndReCaseBelowTheChain)
{
    FakePage page;
    page.folders["C:\\*.*"] = {{Dir, "windows"}, {Dir, "Program Files"}, {Dir, "users"},
                               {Dir, "ALPHA beta"}, {Dir, "Dornwick"}};
    ShowFolder(page, "C:\\", 0);
    EXPECT_EQ(page.Texts(), (Texts{"Folders", "C:\\", "Alpha Beta", "Dornwick", "Program Files",
                                   "Users", "Windows"}));
    EXPECT_EQ(page.Levels(7), (Numbers{0, 1, 2, 2, 2, 2, 2}));
}

TEST(FolderView, MoreItemsThanIndentSlotsStayInBoundsAndIndentAsSubFolders)
{
    FakePage page;
    std::vector<Entry> many;
    for (int i = 0; i < 620; ++i)
        many.push_back({Dir, "f" + std::to_string(1000 + i)});
    page.folders["C:\\Big\\*.*"] = many;
    ShowFolder(page, "C:\\Big", 0);
    ASSERT_EQ(page.items.size(), 623u);
    EXPECT_TRUE(page.CanaryIntact());
    EXPECT_EQ(IndentOf(page.levels, 2), 2);
    EXPECT_EQ(IndentOf(page.levels, 3), 3);
    EXPECT_EQ(IndentOf(page.levels, 499), 3);
    EXPECT_EQ(IndentOf(page.levels, 500), 3);
    EXPECT_EQ(IndentOf(page.levels, 622), 3);
    EXPECT_EQ(IndentOf(page.levels, -1), 0);

    ShowFolder(page, "C:\\", 1);
    EXPECT_TRUE(page.CanaryIntact());
    EXPECT_EQ(IndentOf(page.levels, 700), 1);
}

TEST(FolderView, NamesTooLongForTheItemBuffersAreLeftOut)
{
    FakePage page;
    page.folders["C:\\*.*"] = {{Dir, std::string(PagePathSize - 1, 'a')},
                               {Dir, std::string(PagePathSize, 'b')}, {Dir, "c"}};
    ShowFolder(page, "C:\\", 0);
    ASSERT_EQ(page.items.size(), 4u);
    EXPECT_EQ(page.items[2].text.size(), size_t(PagePathSize - 1));
    EXPECT_EQ(page.items[3].text, "C");
}

// ---- the drive view --------------------------------------------------------

TEST(DriveView, ListsDrivesUpperCasedAndSelectsTheCurrentOne)
{
    FakePage page;
    page.drives = std::string("z:\\\0C:\\\0a:\\\0\0", 13);
    ShowFolder(page, "c:\\", 1);
    EXPECT_EQ(page.Texts(), (Texts{"Drives", "A:\\", "C:\\", "Z:\\"}));
    EXPECT_EQ(page.Kinds(), (Numbers{HeaderItem, DriveItem, DriveItem, DriveItem}));
    EXPECT_EQ(page.items[0].height, HeaderItemHeight);
    EXPECT_EQ(page.currentItem, 2);
    EXPECT_EQ(page.selected, 2);
    EXPECT_EQ(page.listingDrives, 1);
    EXPECT_EQ(page.Levels(4), (Numbers{0, 1, 1, 1}));
    EXPECT_EQ(page.field, "c:\\");
    EXPECT_TRUE(page.patterns.empty());
}

TEST(DriveView, NoMatchingDriveLeavesNothingSelected)
{
    FakePage page;
    ShowFolder(page, "Q:\\", 1);
    EXPECT_EQ(page.Texts(), (Texts{"Drives", "C:\\", "Z:\\"}));
    EXPECT_EQ(page.currentItem, -1);
    EXPECT_EQ(page.selected, -1);
}

TEST(DriveView, AllTwentySixDrivesFitAndAnUnterminatedListStopsInside)
{
    FakePage page;
    page.drives.clear();
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        page.drives += std::string(1, letter) + ":\\" + std::string(1, '\0');
    page.drives += std::string(1, '\0');
    ASSERT_EQ(page.drives.size(), size_t(DriveStringsSize));
    ShowFolder(page, "C:\\", 1);
    EXPECT_EQ(page.items.size(), 27u);
    EXPECT_EQ(page.items.back().text, "Z:\\");

    page.drives = std::string(DriveStringsSize, 'x');
    ShowFolder(page, "C:\\", 1);
    EXPECT_EQ(page.Texts(), (Texts{"Drives"}));
}

// ---- navigation ------------------------------------------------------------

struct NavigationCase {
    const char* installDir;
    int32_t listingDrives;
    int32_t currentItem;
    int32_t index;
    const char* itemText;
    int32_t moves;
    const char* target;
    int32_t driveView;
};

class Navigation : public ::testing::TestWithParam<NavigationCase> {};

TEST_P(Navigation, LeadsWhereTheTableSays)
{
    const NavigationCase& c = GetParam();
    char target[PagePathSize] = "unchanged";
    int32_t driveView = -7;
    EXPECT_EQ(NavigationTarget(c.installDir, c.listingDrives, c.currentItem, c.index, c.itemText,
                               target, &driveView),
              c.moves);
    if (c.moves) {
        EXPECT_STREQ(target, c.target);
        EXPECT_EQ(driveView, c.driveView);
    }
}

const char* const Data = "C:\\Dornwick\\Pellomark\\Data";

INSTANTIATE_TEST_SUITE_P(Table, Navigation, ::testing::Values(
    // The worked examples of the folder view.
    NavigationCase{Data, 0, 4, 0, "Folders", 1, "C:\\", 1},
    NavigationCase{Data, 0, 4, 1, "C:\\", 1, "C:\\", 0},
    NavigationCase{Data, 0, 4, 2, "Dornwick", 1, "C:\\Dornwick", 0},
    NavigationCase{Data, 0, 4, 3, "Pellomark", 1, "C:\\Dornwick\\Pellomark", 0},
    NavigationCase{Data, 0, 4, 4, "Data", 0, "", 0},
    NavigationCase{Data, 0, 4, 5, "Old", 1, "C:\\Dornwick\\Pellomark\\Data\\Old", 0},
    NavigationCase{"C:\\", 0, 1, 2, "Temp", 1, "C:\\Temp", 0},
    NavigationCase{"C:\\", 0, 1, 1, "C:\\", 0, "", 0},
    NavigationCase{"C:\\", 0, 1, 0, "Folders", 1, "C:\\", 1},
    // The drive view.
    NavigationCase{"C:\\", 1, 1, 0, "Drives", 1, "C:\\", 0},
    NavigationCase{"D:\\", 1, 1, 0, "Drives", 1, "D:\\", 0},
    NavigationCase{"C:\\", 1, 1, 1, "C:\\", 1, "C:\\", 0},
    NavigationCase{"C:\\", 1, 1, 2, "Z:\\", 1, "Z:\\", 0},
    NavigationCase{"Q:\\", 1, -1, 1, "C:\\", 1, "C:\\", 0},
    // Typed forms: a final backslash, a doubled one.
    NavigationCase{"C:\\Apps\\", 0, 2, 3, "Tools", 1, "C:\\Apps\\Tools", 0},
    NavigationCase{"C:\\Apps\\", 0, 2, 1, "C:\\", 1, "C:\\", 0},
    NavigationCase{"C:\\a\\\\b", 0, 4, 2, "a", 1, "C:\\a", 0},
    NavigationCase{"C:\\a\\\\b", 0, 4, 3, "", 1, "C:\\a\\", 0},
    // Nothing selected.
    NavigationCase{Data, 0, 4, -1, "", 0, "", 0}));

TEST(Navigation, AJoinedPathThatWouldNotFitThePageDoesNothing)
{
    // The page lists a folder through "<folder>\\*.*" and two terminators in
    // 256 bytes: the longest folder it can go to has 250 characters.
    std::string base = "C:\\" + std::string(240, 'd');
    char target[PagePathSize];
    int32_t driveView = 0;
    std::string fits(250 - base.size() - 1, 'n');
    ASSERT_EQ(NavigationTarget(base.c_str(), 0, 2, 3, fits.c_str(), target, &driveView), 1);
    EXPECT_EQ(strlen(target), 250u);
    std::string tooLong = fits + "n";
    EXPECT_EQ(NavigationTarget(base.c_str(), 0, 2, 3, tooLong.c_str(), target, &driveView), 0);
    std::string farTooLong(255, 'n');
    EXPECT_EQ(NavigationTarget(base.c_str(), 0, 2, 3, farTooLong.c_str(), target, &driveView), 0);

    FakePage page;
    ShowFolder(page, base.c_str(), 0);
    page.items.push_back(Item{tooLong, FolderItem, 0});
    int rebuilds = page.rebuilds;
    page.DoubleClick((int32_t)page.items.size() - 1);
    EXPECT_EQ(page.rebuilds, rebuilds);
    EXPECT_EQ(std::string(page.installDir), base);
}

TEST(Navigation, DoubleClicksRebuildTheListOrDoNothing)
{
    FakePage page;
    page.folders["C:\\Dornwick\\Pellomark\\*.*"] = {{Dir, "data"}};
    page.folders["C:\\Dornwick\\Pellomark\\Data\\*.*"] = {{Dir, "old"}};
    ShowFolder(page, "C:\\Dornwick\\Pellomark", 0);

    page.DoubleClick(4);
    EXPECT_STREQ(page.installDir, "C:\\Dornwick\\Pellomark\\Data");
    EXPECT_EQ(page.Texts(), (Texts{"Folders", "C:\\", "Dornwick", "Pellomark", "Data", "Old"}));
    EXPECT_EQ(page.currentItem, 4);

    int rebuilds = page.rebuilds;
    page.field = "typed but not accepted";
    page.DoubleClick(4);
    EXPECT_EQ(page.rebuilds, rebuilds);
    EXPECT_EQ(page.field, "typed but not accepted");

    page.DoubleClick(2);
    EXPECT_STREQ(page.installDir, "C:\\Dornwick");
    EXPECT_EQ(page.field, "C:\\Dornwick");
    EXPECT_EQ(page.Texts(), (Texts{"Folders", "C:\\", "Dornwick"}));

    page.DoubleClick(0);
    EXPECT_EQ(page.listingDrives, 1);
    EXPECT_STREQ(page.installDir, "C:\\");
    EXPECT_EQ(page.Texts(), (Texts{"Drives", "C:\\", "Z:\\"}));
    EXPECT_EQ(page.currentItem, 1);

    page.DoubleClick(2);
    EXPECT_EQ(page.listingDrives, 0);
    EXPECT_STREQ(page.installDir, "Z:\\");
    EXPECT_EQ(page.Texts(), (Texts{"Folders", "Z:\\"}));

    page.DoubleClick(0);
    page.DoubleClick(0);
    EXPECT_EQ(page.listingDrives, 0);
    EXPECT_STREQ(page.installDir, "Z:\\");
    EXPECT_EQ(page.currentItem, 1);

    rebuilds = page.rebuilds;
    page.DoubleClick(-1);
    EXPECT_EQ(page.rebuilds, rebuilds);
}

// ---- reset -----------------------------------------------------------------

TEST(ResetFolder, ShowsTheDefaultOnceAndRestoresItAfterANavigation)
{
    FakePage page;
    ResetFolder(page);
    EXPECT_STREQ(page.installDir, "C:\\Dornwick\\Pellomark");
    EXPECT_EQ(page.field, "C:\\Dornwick\\Pellomark");
    EXPECT_EQ(page.Texts(), (Texts{"Folders", "C:\\", "Dornwick", "Pellomark"}));
    EXPECT_EQ(page.rebuilds, 1);

    page.field = "D:\\typed";
    page.selected = 1;
    ResetFolder(page);
    EXPECT_EQ(page.rebuilds, 1);
    EXPECT_EQ(page.field, "D:\\typed");
    EXPECT_EQ(page.selected, 1);

    page.DoubleClick(2);
    EXPECT_STREQ(page.installDir, "C:\\Dornwick");
    ResetFolder(page);
    EXPECT_EQ(page.rebuilds, 3);
    EXPECT_STREQ(page.installDir, "C:\\Dornwick\\Pellomark");
    EXPECT_EQ(page.field, "C:\\Dornwick\\Pellomark");
    EXPECT_EQ(page.currentItem, 3);
}

TEST(ResetFolder, ComparesWithCase)
{
    FakePage page;
    ShowFolder(page, "c:\\dornwick\\pellomark", 0);
    ResetFolder(page);
    EXPECT_STREQ(page.installDir, "C:\\Dornwick\\Pellomark");
    EXPECT_EQ(page.rebuilds, 2);
}

// ---- validation ------------------------------------------------------------

std::string Refused(const char* reason) { return std::string("Path invalid!\n\n") + reason; }

const std::string Empty = Refused("Path may not be empty!");
const std::string Missing = Refused("Missing : or \\ in drive.");
const std::string Root = Refused("Path may not be a root drive...");
const std::string TooLong = Refused("Path is too long.");

struct ValidationCase {
    std::string text;
    std::string message;  // empty when accepted
};

class Validation : public ::testing::TestWithParam<ValidationCase> {};

TEST_P(Validation, RefusesWithTheRuleMessageOrAcceptsAndShows)
{
    const ValidationCase& c = GetParam();
    FakePage page;
    ResetFolder(page);
    page.field = c.text;
    int rebuilds = page.rebuilds;
    int32_t result = ValidateFolder(page);
    if (c.message.empty()) {
        EXPECT_EQ(result, 1);
        EXPECT_TRUE(page.warnings.empty());
        EXPECT_EQ(std::string(page.installDir), c.text);
        EXPECT_EQ(page.field, c.text);
        EXPECT_EQ(page.rebuilds, rebuilds + 1);
        EXPECT_EQ(page.listingDrives, 0);
    } else {
        EXPECT_EQ(result, -1);
        EXPECT_EQ(page.warnings, (Texts{c.message}));
        EXPECT_STREQ(page.installDir, "C:\\Dornwick\\Pellomark");
        EXPECT_EQ(page.field, c.text);
        EXPECT_EQ(page.rebuilds, rebuilds);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Validation, ::testing::Values(
    ValidationCase{"", Empty},
    ValidationCase{"C", Missing},
    ValidationCase{"C:", Missing},
    ValidationCase{"C:/Apps", Missing},
    ValidationCase{"C\\Apps", Missing},
    ValidationCase{"C:\\", Root},
    ValidationCase{"D:\\Apps\\Pellomark", ""},
    ValidationCase{"1:\\x", ""},
    ValidationCase{"C:\\Apps\\", ""},
    ValidationCase{"C:\\Does\\Not\\Exist", ""},
    ValidationCase{"C:\\" + std::string(252, 'a'), TooLong},
    ValidationCase{"C:\\" + std::string(253, 'a'), TooLong},
    ValidationCase{"C:\\" + std::string(256, 'a'), TooLong},
    ValidationCase{"C" + std::string(300, 'a'), Missing},
    // The stored copy of a 12-character name, opened through the LZ
    // library, holds at most 127 characters: a folder of 114.
    ValidationCase{"C:\\" + std::string(111, 'a'), ""},
    ValidationCase{"C:\\" + std::string(112, 'a'), TooLong},
    ValidationCase{"C:\\" + std::string(111, 'a') + "\\", ""},
    ValidationCase{"C:\\" + std::string(112, 'a') + "\\", TooLong}));

TEST(Validation, AFieldLongerThanWhatWasReadIsRefusedNotCut)
{
    FakePage page;
    ResetFolder(page);
    std::string text = "C:\\" + std::string(400, 'a');
    page.field = text;
    EXPECT_EQ(ValidateFolder(page), -1);
    EXPECT_EQ(page.warnings, (Texts{TooLong}));
    EXPECT_EQ(FolderRefusal("C:\\short", 300, Sample), std::string("%sPath is too long."));
    EXPECT_EQ(FolderRefusal("C:\\short", 8, Sample), nullptr);
}

// The longest folder accepted is the one whose every later path and command
// still fits; one character more is refused.
struct LimitCase {
    const char* why;
    const char* rows[PayloadSlots];
    int32_t fileCount;
    int32_t longest;  // folder length, without a final backslash
};

class DestinationLimit : public ::testing::TestWithParam<LimitCase> {};

TEST_P(DestinationLimit, AcceptsExactlyWhatFits)
{
    const LimitCase& c = GetParam();
    InstallManifest product = Sample;
    for (int32_t row = 0; row < PayloadSlots; ++row)
        TextCopy(product.Payload[row].FileName, FileNameWidth, c.rows[row]);
    product.FileCount = c.fileCount;
    product.ShortcutCount = c.fileCount;
    // A final backslash takes the place of the separator the paths add.
    const std::pair<std::string, std::string> pairs[] = {
        {"C:\\" + std::string(c.longest - 3, 'f'), "C:\\" + std::string(c.longest - 2, 'f')},
        {"C:\\" + std::string(c.longest - 3, 'f') + "\\",
         "C:\\" + std::string(c.longest - 2, 'f') + "\\"},
    };
    for (const auto& [fits, over] : pairs) {
        EXPECT_TRUE(DestinationFits(fits.c_str(), product)) << c.why << ", " << fits.size();
        EXPECT_FALSE(DestinationFits(over.c_str(), product)) << c.why << ", " << over.size();
        EXPECT_EQ(FolderRefusal(fits.c_str(), (int32_t)fits.size(), product), nullptr);
        EXPECT_NE(FolderRefusal(over.c_str(), (int32_t)over.size(), product), nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(Manifests, DestinationLimit, ::testing::Values(
    // <folder>\Quodgone.ex_ in the 128 bytes the LZ library opens.
    LimitCase{"the sample: the stored copies",
              {"Quodgone.exe", "Quodpost.exe", "Quodpost.hlp", "Read_me.txt", ""}, 4, 114},
    // <folder>\<19 characters> likewise.
    LimitCase{"long installed names: their stored copies",
              {"Q", "AAAAAAAAAAAAAAA.exe", "BBBBBBBBBBBBBBB.hlp", "r", ""}, 4, 107},
    // The uninstaller is installed into the Windows directory, but its
    // stored copy is written and opened in the folder like the others.
    LimitCase{"a long uninstaller name: its stored copy",
              {"UUUUUUUUUUUUUUU.exe", "a.b", "c.d", "r", ""}, 4, 107},
    // Unused rows do not count.
    LimitCase{"a long name past the file count",
              {"Q", "a.b", "c.d", "r", "EEEEEEEEEEEEEEE.exe"}, 4, 123}));

// ---- item painting geometry ------------------------------------------------

TEST(FolderItemGeometry, AnchorsEightPixelsPerLevelAndLowersTheHeaderPicture)
{
    EXPECT_EQ(FolderItemAnchor(0, 0) + 20, 21);
    EXPECT_EQ(FolderItemAnchor(0, 0) + 22, 23);
    EXPECT_EQ(FolderItemAnchor(5, 3), 5 + 24 + 1);
    EXPECT_EQ(FolderItemAnchor(0, 4) + 20 - (FolderItemAnchor(0, 3) + 20), IndentPixels);
    EXPECT_EQ(FolderIconTop(36, HeaderItem), 37);
    EXPECT_EQ(FolderIconTop(36, DriveItem), 36);
    EXPECT_EQ(FolderIconTop(36, FolderItem), 36);
    EXPECT_EQ(FolderItemImage(FolderItem, 2, -1), ClosedFolderImage);
    EXPECT_EQ(FolderItemImage(HeaderItem, 0, 0), ComputerImage);
}

} // namespace
