#include <gtest/gtest.h>

#include <strings.h>

#include <map>
#include <string>
#include <vector>

#include "manifest/paths.h"
#include "manifest/text.h"
#include "pages/location_logic.h"
#include "sample_product.h"

namespace {

struct Entry {
    uint32_t attributes;
    std::string name;
};

const uint32_t Dir = EntryDirectory;
enum { Canary = 0x5a5a5a5a, CanarySlots = 8 };

// A list box, an edit field and folders in memory.
class FakePage : public FolderPage {
public:
    explicit FakePage(const InstallManifest& product = Sample)
        : FolderPage(FolderBrowser{installDir, &current, &drivesShown, levels}, product)
    {
        for (int32_t& level : levels)
            level = Canary;
    }
    int32_t Standing(const char* folder) override
    {
        auto found = standings.find(folder);
        return found == standings.end() ? FolderMissing : found->second;
    }
    void ShowPath(const char* path) override { field = path; }
    int32_t ReadPath(char* output, int32_t capacity) override
    {
        TextCopy(output, capacity, field.c_str());
        return (int32_t)field.size();
    }
    void Warn(const char* message) override { warnings += message; }
    void StartRebuild() override { items.clear(), ++rebuilds; }
    void FinishRebuild() override {}
    void InsertItem(int32_t index, const char* text, int32_t kind) override
    {
        items.insert(items.begin() + index, {text, kind});
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
    void ReadItem(int32_t index, char* output, int32_t capacity) override
    {
        TextCopy(output, capacity, items.at(index).first.c_str());
    }
    void DriveRoots(char* output, int32_t capacity) override
    {
        memcpy(output, drives.data(), std::min(drives.size(), (size_t)capacity));
    }
    bool StartListing(const char* pattern) override
    {
        next = 0;
        return (listing = folders.count(pattern) ? &folders[pattern] : nullptr) != nullptr;
    }
    bool NextEntry(uint32_t* attributes, char* name, int32_t capacity) override
    {
        if (!listing || next >= listing->size())
            return false;
        *attributes = (*listing)[next].attributes;
        return TextCopy(name, capacity, (*listing)[next++].name.c_str()), true;
    }
    void EndListing() override { listing = nullptr; }

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
    int32_t levels[FolderIndentSlots + CanarySlots];
    std::string field, warnings;
    std::map<std::string, int32_t> standings;  // what the disk holds; missing otherwise
    std::vector<std::pair<std::string, int32_t>> items;
    std::string drives = std::string("C:\\\0Z:\\\0\0", 9);
    std::map<std::string, std::vector<Entry>> folders;
    std::vector<Entry>* listing = nullptr;
    size_t next = 0;
};

TEST(CapitalizeWords, ReCasesEachWordAsListed)
{
    const std::pair<std::string, std::string> cases[] = {
        {"MY DOCUMENTS", "My Documents"},
        {"x-ray v2.0 beta", "X-ray V2.0 Beta"},
        {"a  b", "A  b"},
        {"a\\bC\\\\dE", "A\\Bc\\\\de"},
        {"\xe9T\xc9 \xe9t\xc9", "\xe9t\xc9 \xe9t\xc9"},
    };
    for (const auto& [found, listed] : cases) {
        char name[64];
        TextCopy(name, sizeof name, found.c_str());
        CapitalizeWords(name);
        EXPECT_EQ(std::string(name), listed) << "for [" << found << "]";
    }
}

TEST(FolderView, WorkedExampleListsOnlyVisibleFoldersSortedAndReCased)
{
    FakePage page;
    page.folders["C:\\Dornwick\\Pellomark\\*.*"] = {
        {Dir, "."},
        {Dir, ".."},
        {Dir, "HELP FILES"},
        {Dir | 0x21, "data"},
        {Dir | EntryHidden, "secret"},
        {Dir | EntrySystem, "sys"},
        {Dir, ".cache"},
        {0x20, "readme.txt"},
    };
    ShowFolder(page, "C:\\Dornwick\\Pellomark", 0);
    EXPECT_EQ(page.View(), "0Folders|1C:\\|2Dornwick|3Pellomark|4Data|4Help Files");
    EXPECT_EQ(page.selected, 3);
    EXPECT_EQ(page.field, "C:\\Dornwick\\Pellomark");
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
    std::vector<Entry>& many = page.folders["C:\\Big\\*.*"];
    for (int i = 0; i < 620; ++i)
        many.push_back({Dir, "f" + std::to_string(1000 + i)});
    many.push_back({Dir, std::string(PagePathSize - 1, 'a')});
    many.push_back({Dir, std::string(PagePathSize, 'b')});
    ShowFolder(page, "C:\\Big", 0);
    ASSERT_EQ(page.items.size(), 624u);
    EXPECT_EQ(page.items[3].first.size(), size_t(PagePathSize - 1));
    EXPECT_EQ(std::count(page.levels + FolderIndentSlots, std::end(page.levels), Canary),
              CanarySlots);
    for (int32_t index : {3, 499, 500, 623})
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
    const struct {
        std::string installDir;
        int32_t drives, current, index;
        std::string itemText;
        std::string target;
        int32_t driveView;
    } cases[] = {
        // target "": nothing
        {Data, 0, 4, 0, "Folders", "C:\\", 1},
        {Data, 0, 4, 3, "Pellomark", "C:\\Dornwick\\Pellomark", 0},
        {Data, 0, 4, 1, "C:\\", "C:\\", 0},
        {Data, 0, 4, 4, "Data", "", 0},
        {Data, 0, 4, 5, "Old", "C:\\Dornwick\\Pellomark\\Data\\Old", 0},
        {Data, 0, 4, -1, "", "", 0},
        {"C:\\", 0, 1, 1, "C:\\", "", 0},  // the current item, at the root
        {"D:\\", 1, 1, 0, "Drives", "D:\\", 0},
        {"C:\\", 1, 1, 2, "Z:\\", "Z:\\", 0},
        {"Q:\\", 1, -1, 1, "C:\\", "C:\\", 0},
        {"C:\\Apps\\", 0, 2, 3, "Tools", "C:\\Apps\\Tools", 0},
        {"C:\\a\\\\b", 0, 4, 3, "", "C:\\a\\", 0},
        {Long, 0, 2, 3, "nnnnnn", Long + "\\nnnnnn", 0},
        {Long, 0, 2, 3, "nnnnnnn", "", 0},
    };
    for (const auto& c : cases) {
        char target[PagePathSize] = "";
        int32_t driveView = -7;
        EXPECT_EQ(NavigationTarget(c.installDir.c_str(), c.drives, c.current, c.index,
                                   c.itemText.c_str(), target, &driveView),
                  c.target.empty() ? 0 : 1)
            << c.installDir << " " << c.index;
        EXPECT_TRUE(c.target.empty() || (target == c.target && driveView == c.driveView)) << target;
    }
}

TEST(ResetAndValidate, TheDefaultUnlessThereAlreadyAndATypedFolderOnlyOnceChecked)
{
    FakePage page;
    ResetFolder(page);
    EXPECT_EQ(page.View(), "0Folders|1C:\\|2Dornwick|3Pellomark");
    page.field = "D:\\typed";
    ResetFolder(page);
    EXPECT_EQ(std::make_pair(page.rebuilds, page.field),
              std::make_pair(1, std::string("D:\\typed")));
    ShowFolder(page, "c:\\dornwick\\pellomark", 0);
    ResetFolder(page);
    EXPECT_EQ(std::make_pair(page.field, page.current),
              std::make_pair(std::string("C:\\Dornwick\\Pellomark"), 3));
    EXPECT_EQ(page.rebuilds, 3);
    // A typed folder is checked, then shown as resolved; a refused one is kept
    // in the field only.
    page.field = "D:\\Old\\..\\.\\New\\";
    EXPECT_EQ(ValidateFolder(page), 1);
    EXPECT_EQ(page.View(), "0Folders|1D:\\|2New");
    page.field = "C:\\";
    EXPECT_EQ(ValidateFolder(page), -1);
    EXPECT_EQ(page.warnings, "Path invalid!\n\nPath may not be a root drive...");
    EXPECT_STREQ(page.installDir, "D:\\New");
    EXPECT_EQ(page.rebuilds, 4);
}

// The folder itself may belong to no other user, and no level of it may be a
// link; the levels asked are those of the folder as resolved.
TEST(ResetAndValidate, RefusesAFolderOfAnotherUserOrBehindALink)
{
    const std::string Owner = "The folder belongs to another user.",
                      Link = "The folder is, or lies below, a link.";
    const struct {
        std::map<std::string, int32_t> disk;
        std::string refusal;
    } cases[] = {
        {{{"D:\\Apps", FolderOwnedByOthers}}, ""},
        {{{"D:\\Apps", FolderOwnedSafely}, {"D:\\Apps\\New", FolderOwnedByOthers}}, Owner},
        {{{"D:\\Apps", FolderIsLink}}, Link},
        {{{"D:\\Apps", FolderOwnedByOthers}, {"D:\\Apps\\New", FolderIsLink}}, Link},
    };
    for (const auto& c : cases) {
        FakePage page;
        page.standings = c.disk;
        page.standings["D:\\Apps\\Old"] = FolderIsLink;  // typed, but resolved away
        page.field = "D:\\Apps\\Old\\..\\New";
        EXPECT_EQ(ValidateFolder(page), c.refusal.empty() ? 1 : -1);
        EXPECT_EQ(page.warnings, c.refusal.empty() ? "" : "Path invalid!\n\n" + c.refusal);
    }
}

TEST(FolderRefusal, RefusesWithTheRulesMessageOrAccepts)
{
    const std::string Empty = "Path may not be empty!", Missing = "Missing : or \\ in drive.",
                      Root = "Path may not be a root drive...", TooLong = "Path is too long.";
    const std::pair<std::string, std::string> cases[] = {
        {"", Empty},
        {"C", Missing},
        {"C:/Apps", Missing},
        {"C:\\", Root},
        {"C:\\.\\Apps\\..\\..\\", Root},
        {"C:\\\\", Root},
        {"C:\\..\\Apps", ""},
        {"1:\\x", ""},
        {"C:\\" + std::string(400, 'a'), TooLong},  // longer than the field is read
    };
    for (const auto& [text, reason] : cases) {
        // The page reads at most 259 characters of the field, and knows its whole length.
        std::string read = text.substr(0, FullPathSize - 1);
        const char* refusal = FolderRefusal(read.c_str(), (int32_t)text.size(), Sample);
        char message[RefusalSize] = "";
        if (refusal)
            TextFormat(message, sizeof message, refusal, RefusalPrefix);
        EXPECT_EQ(message, reason.empty() ? "" : "Path invalid!\n\n" + reason) << text;
    }
    EXPECT_NE(FolderRefusal("C:\\Apps", 300, Sample), nullptr) << "a field longer than was read";
}

// The longest folder accepted is the one whose every stored copy and
// installed path still fits; one character more is refused.
TEST(FolderRefusal, AcceptsExactlyWhatFitsForEachManifest)
{
    const struct {
        const char* rows[PayloadSlots];
        size_t longest;
    } cases[] = {
        // <folder>\Quodgone.ex_ in the 128 bytes the LZ library opens.
        {{"Quodgone.exe", "Quodpost.exe", "Quodpost.hlp", "Read_me.txt", ""}, 114},
        // The uninstaller goes to the Windows directory, but its stored copy is made here.
        {{"UUUUUUUUUUUUUUU.exe", "a.b", "c.d", "r", ""}, 107},
        // Rows past the file count do not count.
        {{"Q", "a.b", "c.d", "r", "EEEEEEEEEEEEEEE.exe"}, 123},
    };
    for (const auto& c : cases) {
        InstallManifest product = Sample;
        for (int32_t row = 0; row < PayloadSlots; ++row)
            TextCopy(product.Payload[row].FileName, FileNameWidth, c.rows[row]);
        for (const char* end : {"", "\\"}) {
            std::string fits = "C:\\" + std::string(c.longest - 3, 'f') + end;
            std::string over = "C:\\" + std::string(c.longest - 2, 'f') + end;
            EXPECT_EQ(FolderRefusal(fits.c_str(), (int32_t)fits.size(), product), nullptr) << fits;
            EXPECT_NE(FolderRefusal(over.c_str(), (int32_t)over.size(), product), nullptr) << over;
        }
    }
}

}  // namespace
