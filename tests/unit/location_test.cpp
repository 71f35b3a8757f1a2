#include <gtest/gtest.h>

#include <strings.h>

#include <map>
#include <tuple>
#include <string>
#include <vector>

#include "manifest/paths.h"
#include "manifest/text.h"
#include "pages/location_logic.h"
#include "sample_product.h"

namespace {

using Listing = std::vector<std::pair<uint32_t, std::string>>;  // attributes and name
const uint32_t Dir = EntryDirectory;
enum { CanarySlots = 8 };  // past the levels; no level written there is 0

// A list box, an edit field and folders in memory.
class FakePage : public FolderPage {
public:
    FakePage() : FolderPage({installDir, &current, &drivesShown, levels}, Sample) {}
    int32_t Standing(const char* folder) override { return standings[folder]; }
    void ShowPath(const char* path) override { field = path; }
    int32_t ReadPath(char* out, int32_t n) override
    {
        return TextCopy(out, n, field.c_str()), (int32_t)field.size();
    }
    void Warn(const char* message) override { warnings += message; }
    void StartRebuild() override { items.clear(), ++rebuilds; }
    void FinishRebuild() override {}
    void InsertItem(int32_t at, const char* text, int32_t kind) override
    {
        items.insert(items.begin() + at, {text, kind});
    }
    void AddSortedItem(const char* text, int32_t kind) override
    {
        auto at = items.begin();
        while (at != items.end() && strcasecmp(at->first.c_str(), text) <= 0)
            ++at;
        items.insert(at, {text, kind});
    }
    void SetItemHeight(int32_t, int32_t) override {}
    int32_t FindDrive(const char* root) override
    {
        for (size_t i = 1; i < items.size(); ++i)
            if (strcasecmp(items[i].first.c_str(), root) == 0)
                return (int32_t)i;
        return -1;
    }
    void SelectItem(int32_t index) override { selected = index; }
    int32_t SelectedItem() override { return selected; }
    void ReadItem(int32_t, char*, int32_t) override {}
    void DriveRoots(char* out, int32_t n) override { drives.copy(out, (size_t)n); }
    bool StartListing(const char* p) override { return !(left = folders[p]).empty(); }
    bool NextEntry(uint32_t* attributes, char* name, int32_t n) override
    {
        if (left.empty())
            return false;
        *attributes = left[0].first, TextCopy(name, n, left[0].second.c_str());
        return left.erase(left.begin()), true;
    }
    void EndListing() override {}

    // Each item as its indent level and text: "0Folders|1C:\\|2Dornwick".
    std::string View() const
    {
        std::string view;
        for (size_t i = 0; i < items.size(); ++i)
            view += (i ? "|" : "") + std::to_string(IndentOf(levels, (int32_t)i)) + items[i].first;
        return view;
    }

    char installDir[FullPathSize] = ".";
    int32_t current = 0, drivesShown = 0, selected = -1, rebuilds = 0;
    int32_t levels[FolderIndentSlots + CanarySlots] = {};
    std::string field, warnings, drives = std::string("C:\\\0Z:\\\0\0", 9);
    std::map<std::string, int32_t> standings;  // what the disk holds; missing otherwise
    std::vector<std::pair<std::string, int32_t>> items;
    std::map<std::string, Listing> folders;
    Listing left;  // what the open listing has yet to give
};

// Spaces and backslashes start words; a text ending at one is not read past.
TEST(CapitalizeWords, ReCasesEachWordAsListed)
{
    char name[] = "x-ray V2.0  BETA\\bC\\\\dE \xe9T\xc9 ";
    CapitalizeWords(name);
    EXPECT_STREQ(name, "X-ray V2.0  beta\\Bc\\\\de \xe9t\xc9 ");
}

TEST(FolderView, WorkedExampleListsOnlyVisibleFoldersSortedAndReCased)
{
    FakePage page;
    page.folders["C:\\Dornwick\\Pellomark\\*.*"] = {{Dir, "."},
                                                    {Dir, ".."},
                                                    {Dir, "HELP FILES"},
                                                    {Dir | 0x21, "data"},
                                                    {Dir | EntryHidden, "secret"},
                                                    {Dir | EntrySystem, "sys"},
                                                    {Dir, ".cache"},
                                                    {0x20, "readme.txt"}};
    ShowFolder(page, "C:\\Dornwick\\Pellomark", 0);
    EXPECT_EQ(page.View(), "0Folders|1C:\\|2Dornwick|3Pellomark|4Data|4Help Files");
    EXPECT_EQ(std::make_pair(page.selected, page.field),
              std::make_pair(3, std::string("C:\\Dornwick\\Pellomark")));
    // Pictures: the computer, the drive's own, closed folders and the open current one.
    std::vector<int32_t> images;
    for (size_t i = 0; i < page.items.size(); ++i)
        images.push_back(FolderItemImage(page.items[i].second, (int32_t)i, page.current));
    EXPECT_EQ(images,
              (std::vector<int32_t>{ComputerImage, DriveOwnImage, ClosedFolderImage,
                                    OpenFolderImage, ClosedFolderImage, ClosedFolderImage}));
    EXPECT_EQ(FolderItemAnchor(10, 2), 27);  // one pixel in, eight a level
}

TEST(FolderView, ManyItemsStayInTheLevelsAndTooLongNamesAreLeftOut)
{
    FakePage page;
    Listing& many = page.folders["C:\\Big\\*.*"];
    for (int i = 0; i < 600; ++i)
        many.push_back({Dir, "f" + std::to_string(1000 + i)});
    many.push_back({Dir, std::string(PagePathSize - 1, 'a')});
    many.push_back({Dir, std::string(PagePathSize, 'b')});
    ShowFolder(page, "C:\\Big", 0);
    ASSERT_EQ(page.items.size(), 604u);
    EXPECT_EQ(page.items[3].first.size(), size_t(PagePathSize - 1));
    EXPECT_EQ(std::count(page.levels + FolderIndentSlots, std::end(page.levels), 0), CanarySlots);
    for (int32_t index : {3, 499, 500, 603})
        EXPECT_EQ(IndentOf(page.levels, index), 3) << index;
    EXPECT_EQ(IndentOf(page.levels, -1), 0);
}

TEST(DriveView, ListsTheDrivesAndSelectsTheCurrentOne)
{
    FakePage page;
    page.drives = std::string("z:\\\0C:\\\0a:\\\0\0", 13);
    ShowFolder(page, "c:\\", 1);
    EXPECT_EQ(page.View(), "0Drives|1A:\\|1C:\\|1Z:\\");
    EXPECT_EQ(std::make_pair(page.selected, page.drivesShown), std::make_pair(2, 1));
    ShowFolder(page, "Q:\\", 1);
    EXPECT_EQ(page.selected, -1);
    // A list without its end stops inside the buffer.
    page.drives = std::string(DriveStringsSize, 'x');
    ShowFolder(page, "C:\\", 1);
    EXPECT_EQ(page.View(), "0Drives");
}

// A joined path must leave room for "\\*.*" and two zeros in 256 bytes.
TEST(Navigation, LeadsWhereTheTableSays)
{
    const std::string Data = "C:\\Dornwick\\Pellomark\\Data", Long = "C:\\" + std::string(240, 'd');
    // The folder, drive view, current item, item double clicked, its text; where
    // it leads ("": nothing) and in which view.
    const std::tuple<std::string, int32_t, int32_t, int32_t, const char*, std::string, int32_t>
        cases[] = {
            {Data, 0, 4, 0, "Folders", "C:\\", 1},
            {Data, 0, 4, 3, "Pellomark", "C:\\Dornwick\\Pellomark", 0},
            {Data, 0, 4, 1, "C:\\", "C:\\", 0},
            {Data, 0, 4, -1, "", "", 0},
            {"C:\\", 0, 1, 1, "C:\\", "", 0},  // the current item, at the root
            {"C:\\", 0, 1, 2, "Tools", "C:\\Tools", 0},
            {"D:\\", 1, 1, 0, "Drives", "D:\\", 0},
            {"C:\\", 1, 1, 1, "C:\\", "C:\\", 0},  // the current drive opens
            {"C:\\", 1, 1, 2, "Z:\\", "Z:\\", 0},
            {Long, 0, 2, 3, "nnnnnn", Long + "\\nnnnnn", 0},
            {Long, 0, 2, 3, "nnnnnnn", "", 0},
        };
    for (const auto& [folder, drives, current, index, text, expected, view] : cases) {
        char target[PagePathSize] = "";
        int32_t driveView = -7;
        EXPECT_EQ(
            NavigationTarget(folder.c_str(), drives, current, index, text, target, &driveView),
            expected.empty() ? 0 : 1)
            << folder << " " << index;
        EXPECT_TRUE(expected.empty() || (target == expected && driveView == view)) << target;
    }
}

// A typed folder is checked as the system resolves it, and only then shown:
// the folder itself may belong to no other user, and no level of it may be a
// link. A refused one stays in the field only.
TEST(ResetAndValidate, TheDefaultUnlessThereAlreadyAndATypedFolderOnlyOnceChecked)
{
    FakePage page;
    ResetFolder(page);
    EXPECT_EQ(page.View(), "0Folders|1C:\\|2Dornwick|3Pellomark");
    page.field = "D:\\typed";
    ResetFolder(page);  // there already: not even the typed text changes
    ShowFolder(page, "c:\\dornwick\\pellomark", 0);
    ResetFolder(page);  // the folder's case counts
    EXPECT_EQ(std::make_tuple(page.rebuilds, page.field, page.current),
              std::make_tuple(3, std::string("C:\\Dornwick\\Pellomark"), 3));

    const std::string Missing = "Missing : or \\ in drive.",
                      Root = "Path may not be a root drive...",
                      Owner = "The folder belongs to another user.",
                      Link = "The folder is, or lies below, a link.";
    // Typed; the refusal, or the folder shown; what D:\\Apps and D:\\Apps\\New are on disk.
    const std::tuple<std::string, std::string, std::string, int32_t, int32_t> cases[] = {
        {"D:\\Apps\\Old\\..\\.\\New\\", "", "D:\\Apps\\New", FolderOwnedByOthers, FolderMissing},
        {"D:\\Apps\\New", Owner, "", FolderOwnedSafely, FolderOwnedByOthers},
        {"D:\\Apps\\New", Link, "", FolderIsLink, FolderMissing},
        {"D:\\Apps\\New", Link, "", FolderOwnedByOthers, FolderIsLink},
        {"", "Path may not be empty!", "", FolderMissing, FolderMissing},
        {"C", Missing, "", FolderMissing, FolderMissing},
        {"C:/Apps", Missing, "", FolderMissing, FolderMissing},
        {"C:\\", Root, "", FolderMissing, FolderMissing},
        {"C:\\.\\Apps\\..\\..\\", Root, "", FolderMissing, FolderMissing},
        {"C:\\..\\Apps", "", "C:\\Apps", FolderMissing, FolderMissing},
        // Longer than the 259 characters the page reads of the field.
        {"C:\\" + std::string(400, 'a'), "Path is too long.", "", FolderMissing, FolderMissing},
    };
    for (const auto& [typed, refusal, shown, apps, folder] : cases) {
        FakePage page;
        page.standings = {{"D:\\Apps", apps}, {"D:\\Apps\\New", folder}};
        page.standings["D:\\Apps\\Old"] = FolderIsLink;  // typed, but resolved away
        page.field = typed;
        EXPECT_EQ(ValidateFolder(page), shown.empty() ? -1 : 1) << typed;
        EXPECT_EQ(page.warnings, refusal.empty() ? "" : "Path invalid!\n\n" + refusal);
        EXPECT_EQ(std::make_tuple(page.field, std::string(page.installDir), page.rebuilds),
                  shown.empty() ? std::make_tuple(typed, std::string("."), 0)
                                : std::make_tuple(shown, shown, 1));
    }
}

// The longest folder accepted is the one whose every stored copy and
// installed path still fits; one character more is refused.
TEST(FolderRefusal, AcceptsExactlyWhatFitsForEachManifest)
{
    const std::pair<std::vector<const char*>, size_t> cases[] = {
        // <folder>\\Quodgone.ex_ in the 128 bytes the LZ library opens.
        {{"Quodgone.exe", "Quodpost.exe", "Quodpost.hlp", "Read_me.txt", ""}, 114},
        // The uninstaller goes to the Windows directory, but its stored copy is made here.
        {{"UUUUUUUUUUUUUUU.exe", "a.b", "c.d", "r", ""}, 107},
        // Rows past the file count do not count.
        {{"Q", "a.b", "c.d", "r", "EEEEEEEEEEEEEEE.exe"}, 123},
    };
    EXPECT_NE(FolderRefusal("C:\\Apps", 300, Sample), nullptr) << "a field longer than was read";
    for (const auto& [rows, longest] : cases) {
        InstallManifest product = Sample;
        for (int32_t row = 0; row < PayloadSlots; ++row)
            TextCopy(product.Payload[row].FileName, FileNameWidth, rows[row]);
        for (const char* end : {"", "\\"}) {
            std::string fits = "C:\\" + std::string(longest - 3, 'f') + end;
            std::string over = "C:\\" + std::string(longest - 2, 'f') + end;
            EXPECT_EQ(FolderRefusal(fits.c_str(), (int32_t)fits.size(), product), nullptr) << fits;
            EXPECT_NE(FolderRefusal(over.c_str(), (int32_t)over.size(), product), nullptr) << over;
        }
    }
}

}  // namespace
