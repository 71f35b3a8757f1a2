// The destination folder page: its folder browser, its buttons and the rules
// a typed folder must pass, on folders made in the prefix for the purpose.
#include "../pilot/flows.h"
#include "../pilot/lists.h"
#include "../pilot/stateprobe.h"

#include <algorithm>

using namespace pilot;

namespace {

enum { Field = 300, Browser = 301, ResetButton = 302 };
enum { Header = 1, Drive = 2, Folder = 4 };
enum { ComputerPicture = 15, OpenFolderPicture = 4, ClosedFolderPicture = 3 };

const char* const DefaultFolder = "C:\\Dornwick\\Pellomark";

using Texts = std::vector<std::string>;

std::ostream& operator<<(std::ostream& out, const Texts& texts)
{
    for (size_t i = 0; i < texts.size(); ++i)
        out << (i ? " | " : "") << texts[i];
    return out;
}

// C:\Dornwick exists with one sub-folder, the default folder does not.
// C:\Browse holds every kind of entry the listing must keep or leave out.
void MakeTestFolders()
{
    REQUIRE(MakeFolders("C:\\Dornwick\\Tools"));
    for (const char* name : {"ALPHA ONE", "beta", "gamma RAY\\deeper", "x-ray v2.0 beta",
                             "Hidden", "System", "Both", ".dotted"})
        REQUIRE(MakeFolders(std::string("C:\\Browse\\") + name));
    REQUIRE(WriteBytes("C:\\Browse\\file.txt", "not a folder\r\n"));
    REQUIRE(SetFileAttributesA("C:\\Browse\\Hidden", FILE_ATTRIBUTE_HIDDEN));
    REQUIRE(SetFileAttributesA("C:\\Browse\\System", FILE_ATTRIBUTE_SYSTEM));
    REQUIRE(SetFileAttributesA("C:\\Browse\\Both", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    CHECK(GetFileAttributesA("C:\\Browse\\Hidden") & FILE_ATTRIBUTE_HIDDEN);
    CHECK(GetFileAttributesA("C:\\Browse\\System") & FILE_ATTRIBUTE_SYSTEM);
    CHECK(!Exists(DefaultFolder));
}

struct Browse {
    HWND page;
    HWND list;
    StateProbe state;
};

Browse Open(const Process& setup)
{
    Browse b;
    b.page = ReachLocation(setup);
    b.list = Item(b.page, Browser);
    REQUIRE(b.state.Find(setup, 2, DefaultFolder));
    return b;
}

std::vector<LONG_PTR> Kinds(HWND list)
{
    std::vector<LONG_PTR> kinds;
    for (int i = 0; i < ListCount(list); ++i)
        kinds.push_back(ListData(list, i));
    return kinds;
}

std::string Join(const Texts& texts)
{
    std::ostringstream out;
    out << texts;
    return out.str();
}

// The folder view of a current folder: its chain, and the sub-folders below.
void ExpectFolderView(Browse& b, const std::string& path, const Texts& chain, const Texts& below)
{
    Texts expected = chain;
    expected.insert(expected.end(), below.begin(), below.end());
    Texts shown = ListTexts(b.list);
    CHECK_EQ(Join(shown), Join(expected));
    CHECK_EQ(ItemText(b.page, Field), path);
    int current = (int)chain.size() - 1;
    CHECK_EQ(ListSelection(b.list), current);
    std::vector<LONG_PTR> kinds = Kinds(b.list);
    for (size_t i = 0; i < kinds.size(); ++i)
        CHECK_EQ(kinds[i], (LONG_PTR)(i == 0 ? Header : i == 1 ? Drive : Folder));
    InstallState state;
    REQUIRE(b.state.Read(&state));
    CHECK_EQ(std::string(state.InstallDir), path);
    CHECK_EQ(state.ListingDrives, 0);
    CHECK_EQ(state.CurrentFolderItem, current);
    for (int i = 0; i < (int)expected.size(); ++i)
        CHECK_EQ(state.IndentLevels[i], std::min(i, current + 1));
    CHECK_EQ(state.IndentLevels[IndentSlots - 1], current + 1);
}

// The sub-folders shown below the chain of the current folder.
Texts Below(HWND list, int current)
{
    Texts texts = ListTexts(list);
    return Texts(texts.begin() + std::min<size_t>(current + 1, texts.size()), texts.end());
}

int IndexOf(HWND list, const std::string& text)
{
    Texts texts = ListTexts(list);
    auto found = std::find(texts.begin(), texts.end(), text);
    return found == texts.end() ? -1 : (int)(found - texts.begin());
}

void ExpectDriveView(Browse& b, const std::string& root)
{
    Texts shown = ListTexts(b.list);
    REQUIRE(!shown.empty());
    CHECK_EQ(shown[0], std::string("Drives"));
    Texts drives(shown.begin() + 1, shown.end());
    Log("drives: %s", Join(drives).c_str());
    CHECK(std::find(drives.begin(), drives.end(), "C:\\") != drives.end());
    CHECK(std::find(drives.begin(), drives.end(), "Z:\\") != drives.end());
    CHECK(std::is_sorted(drives.begin(), drives.end()));
    for (const std::string& d : drives)
        CHECK(d.size() == 3 && d[0] >= 'A' && d[0] <= 'Z' && d.substr(1) == ":\\");
    std::vector<LONG_PTR> kinds = Kinds(b.list);
    for (size_t i = 0; i < kinds.size(); ++i)
        CHECK_EQ(kinds[i], (LONG_PTR)(i == 0 ? Header : Drive));
    int current = IndexOf(b.list, root);
    CHECK(current > 0);
    CHECK_EQ(ListSelection(b.list), current);
    CHECK_EQ(ItemText(b.page, Field), root);
    InstallState state;
    REQUIRE(b.state.Read(&state));
    CHECK_EQ(std::string(state.InstallDir), root);
    CHECK_EQ(state.ListingDrives, 1);
    CHECK_EQ(state.CurrentFolderItem, current);
    CHECK_EQ(state.IndentLevels[0], 0);
    CHECK_EQ(state.IndentLevels[1], 1);
    CHECK_EQ(state.IndentLevels[IndentSlots - 1], 1);
}

// The picture of item index at its level, as the page paints it.
bool ItemShows(HWND list, const Picture& screen, int index, int level, int image)
{
    RECT r = ListItemScreenRect(list, index);
    int x = r.left + 8 * level + 1;
    int y = r.top + (index == 0 ? 1 : 0);
    // Between the picture and the text rectangle the list's own background shows.
    return ShowsSystemImage(screen, image, x, y, x + 18, r.bottom - 1);
}

// Whether the fixed pictures (folders, computer) are in the shell's list at
// all; where they are not, their places must stay blank.
bool FixedPicturesExist()
{
    static int count = SystemImageCount();
    if (count <= ComputerPicture)
        Log("the shell's small image list holds %d images: the folder and computer pictures "
            "have nothing to show here",
            count);
    return count > ComputerPicture;
}

// Where the selection colour starts and ends on the item's top row, which
// only the text rectangle's fill covers; -1 when it is not there.
std::pair<int, int> HighlightOn(HWND list, const Picture& screen, int index)
{
    RECT r = ListItemScreenRect(list, index);
    COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    int first = -1, last = -1;
    for (int x = r.left; x < r.right; ++x) {
        if (screen.At(x, r.top) != highlight)
            continue;
        if (first < 0)
            first = x;
        last = x;
    }
    return {first < 0 ? -1 : first - r.left, last < 0 ? -1 : last - r.left};
}

void ExpectRefusal(Browse& b, const std::string& typed, const std::string& reason,
                   const std::string& shot = "")
{
    Type(b.page, Field, typed);
    std::string inField = ItemText(b.page, Field);
    Press(b.page, IDOK);
    Box box = WaitBox(Installer, 10000);
    if (!shot.empty())
        Shot(shot);
    CHECK_EQ(box.text, "Path invalid!\n\n" + reason);
    CHECK_EQ(box.icon, std::string("warning"));
    CHECK(GetParent(box.window) == b.page || GetWindow(box.window, GW_OWNER) == b.page);
    Answer(box, IDOK);
    Settle(b.page);
    CHECK(IsWindowVisible(b.page));
    HWND field = Item(b.page, Field);
    CHECK(WaitUntil([&] { return Focused(b.page) == field; }, 3000));
    CHECK_EQ(ItemText(b.page, Field), inField);
}

} // namespace

SCENARIO(location_default_view, 800, 600)
{
    MakeTestFolders();
    Process setup = StartSetup();
    Browse b = Open(setup);
    ExpectFolderView(b, DefaultFolder, {"Folders", "C:\\", "Dornwick", "Pellomark"}, {});
    RECT header = ListItemRect(b.list, 0), root = ListItemRect(b.list, 1);
    CHECK_EQ(header.bottom - header.top, 18l);
    CHECK(root.bottom - root.top != 18);

    Picture screen = Shot("default view");
    CHECK(ItemShows(b.list, screen, 1, 1, SystemImageOf("C:\\")));
    CHECK(ItemShows(b.list, screen, 0, 0, ComputerPicture));
    CHECK(ItemShows(b.list, screen, 2, 2, ClosedFolderPicture));
    CHECK(ItemShows(b.list, screen, 3, 3, OpenFolderPicture));
    if (FixedPicturesExist())
        CHECK(!ItemShows(b.list, screen, 3, 3, ClosedFolderPicture));
    // The current folder is selected: the text rectangle of level 3 starts
    // 8 * 3 + 21 pixels right of the item's edge.
    std::pair<int, int> lit = HighlightOn(b.list, screen, 3);
    CHECK_EQ(lit.first, 45);
    CHECK(lit.second > lit.first + 20);

    // A single click only moves the highlight.
    ClickItem(b.list, 2);
    CHECK_EQ(ListSelection(b.list), 2);
    CHECK_EQ(Join(ListTexts(b.list)), Join({"Folders", "C:\\", "Dornwick", "Pellomark"}));
    CHECK_EQ(ItemText(b.page, Field), std::string(DefaultFolder));
    InstallState state;
    REQUIRE(b.state.Read(&state));
    CHECK_EQ(std::string(state.InstallDir), std::string(DefaultFolder));
    CHECK_EQ(state.CurrentFolderItem, 3);
    pilot::Sleep(200);
    screen = Shot("single click");
    CHECK(ItemShows(b.list, screen, 2, 2, ClosedFolderPicture));
    CHECK(ItemShows(b.list, screen, 3, 3, OpenFolderPicture));
    CHECK_EQ(HighlightOn(b.list, screen, 2).first, 37);
    CHECK_EQ(HighlightOn(b.list, screen, 3).first, -1);

    // Reset while the browser is at the default folder changes nothing, not
    // even a typed path.
    Type(b.page, Field, "D:\\typed");
    Press(b.page, ResetButton);
    Settle(b.page);
    CHECK_EQ(ItemText(b.page, Field), std::string("D:\\typed"));
    CHECK_EQ(ListSelection(b.list), 2);
    CHECK_EQ(b.state.InstallDir(), std::string(DefaultFolder));

    Press(b.page, IDCANCEL);
    ExpectAbortNotice(setup.pid);
    ExpectExitZero(setup);
}

SCENARIO(location_navigation, 800, 600)
{
    MakeTestFolders();
    Process setup = StartSetup();
    Browse b = Open(setup);

    DoubleClickItem(b.list, 2);  // a folder on the chain
    ExpectFolderView(b, "C:\\Dornwick", {"Folders", "C:\\", "Dornwick"}, {"Tools"});
    DoubleClickItem(b.list, 3);  // a sub-folder
    ExpectFolderView(b, "C:\\Dornwick\\Tools", {"Folders", "C:\\", "Dornwick", "Tools"}, {});
    Shot("sub-folder");

    // The current folder: nothing happens, the typed text stays.
    Type(b.page, Field, "typed, not accepted");
    DoubleClickItem(b.list, 3);
    CHECK_EQ(ItemText(b.page, Field), std::string("typed, not accepted"));
    CHECK_EQ(b.state.InstallDir(), std::string("C:\\Dornwick\\Tools"));
    CHECK_EQ(ListCount(b.list), 4);

    DoubleClickItem(b.list, 1);  // the root
    Texts top = Below(b.list, 1);
    Log("C:\\ lists %s", Join(top).c_str());
    ExpectFolderView(b, "C:\\", {"Folders", "C:\\"}, top);
    for (const char* name : {"Browse", "Dornwick", "Windows", "Users"})
        CHECK(std::find(top.begin(), top.end(), name) != top.end());
    int browse = IndexOf(b.list, "Browse");
    REQUIRE(browse > 1);
    CHECK(IndexOf(b.list, "Dornwick") > browse);
    CHECK(IndexOf(b.list, "Windows") > IndexOf(b.list, "Dornwick"));

    DoubleClickItem(b.list, browse);
    ExpectFolderView(b, "C:\\Browse", {"Folders", "C:\\", "Browse"},
                     {"Alpha One", "Beta", "Gamma Ray", "X-ray V2.0 Beta"});
    Picture screen = Shot("re-cased sub-folders");
    CHECK(ItemShows(b.list, screen, 2, 2, OpenFolderPicture));
    RECT inside;
    GetClientRect(b.list, &inside);
    for (int i = 3; i <= 6; ++i)
        if (ListItemRect(b.list, i).bottom <= inside.bottom)
            CHECK(ItemShows(b.list, screen, i, 3, ClosedFolderPicture));

    // A re-cased name reaches the same folder.
    DoubleClickItem(b.list, 5);
    ExpectFolderView(b, "C:\\Browse\\Gamma Ray", {"Folders", "C:\\", "Browse", "Gamma Ray"},
                     {"Deeper"});

    DoubleClickItem(b.list, 0);  // the header: the drive view
    ExpectDriveView(b, "C:\\");
    screen = Shot("drives");
    CHECK(ItemShows(b.list, screen, 0, 0, ComputerPicture));
    CHECK(ItemShows(b.list, screen, 1, 1, SystemImageOf(ListText(b.list, 1))));

    DoubleClickItem(b.list, 0);  // back to the folder view of the drive's root
    ExpectFolderView(b, "C:\\", {"Folders", "C:\\"}, top);

    DoubleClickItem(b.list, 0);
    ExpectDriveView(b, "C:\\");
    DoubleClickItem(b.list, IndexOf(b.list, "C:\\"));  // the current drive
    ExpectFolderView(b, "C:\\", {"Folders", "C:\\"}, top);

    DoubleClickItem(b.list, 0);
    DoubleClickItem(b.list, IndexOf(b.list, "Z:\\"));  // another drive
    ExpectFolderView(b, "Z:\\", {"Folders", "Z:\\"}, Below(b.list, 1));
    CHECK(ListCount(b.list) > 2);
    DoubleClickItem(b.list, 0);
    ExpectDriveView(b, "Z:\\");

    // Reset after a navigation restores the default folder and its view.
    Press(b.page, ResetButton);
    Settle(b.page);
    ExpectFolderView(b, DefaultFolder, {"Folders", "C:\\", "Dornwick", "Pellomark"}, {});
    Shot("reset");

    Press(b.page, IDCANCEL);
    ExpectAbortNotice(setup.pid);
    ExpectExitZero(setup);
}

SCENARIO(location_refusals, 800, 600)
{
    Process setup = StartSetup();
    Browse b = Open(setup);

    ExpectRefusal(b, "", "Path may not be empty!");
    ExpectRefusal(b, "C", "Missing : or \\ in drive.");
    ExpectRefusal(b, "C:/Apps", "Missing : or \\ in drive.");
    ExpectRefusal(b, "C:\\", "Path may not be a root drive...");
    // One character more than the longest folder whose stored copies the
    // LZ library can still open (127 characters).
    ExpectRefusal(b, "C:\\" + std::string(112, 'a'), "Path is too long.", "too long");
    // What the field holds whole but the page's buffers do not.
    ExpectRefusal(b, "C:\\" + std::string(253, 'b'), "Path is too long.");
    ExpectRefusal(b, "C:\\" + std::string(300, 'c'), "Path is too long.");
    CHECK_EQ(ItemText(b.page, Field).size(), 259u);
    CHECK_EQ(b.state.InstallDir(), std::string(DefaultFolder));

    // The root of the drive view is refused too.
    DoubleClickItem(b.list, 0);
    ExpectDriveView(b, "C:\\");
    ExpectRefusal(b, ItemText(b.page, Field), "Path may not be a root drive...");
    CHECK_EQ(b.state.InstallDir(), std::string("C:\\"));

    // The longest folder that fits is accepted, and installs.
    std::string longest = "C:\\" + std::string(111, 'a');
    Type(b.page, Field, longest);
    Press(b.page, IDOK);
    CHECK(WaitGone(b.page, 10000));
    CHECK_EQ(b.state.InstallDir(), longest);
    CHECK(WaitGone(WaitPage(CopyCaption()), 60000));
    WaitPage(GroupCaption());
    CHECK(Exists(longest + "\\Quodpost.exe"));
}

SCENARIO(location_accepts_a_new_folder, 800, 600)
{
    Process setup = StartSetup();
    Browse b = Open(setup);
    const std::string typed = "C:\\Not\\There\\Yet\\";
    CHECK(!Exists(typed));
    Type(b.page, Field, typed);
    Press(b.page, IDOK);
    CHECK(WaitGone(b.page, 10000));
    CHECK_EQ(b.state.InstallDir(), typed);
    InstallState state;
    REQUIRE(b.state.Read(&state));
    CHECK_EQ(state.ListingDrives, 0);
    CHECK_EQ(state.CurrentFolderItem, 4);
    WaitPage(CopyCaption());
}

// More sub-folders than the page keeps indent levels for: the items past the
// last level are drawn one level below the current folder like the others.
SCENARIO(location_many_sub_folders, 800, 600)
{
    const int count = 520;
    for (int i = 0; i < count; ++i) {
        char name[32];
        snprintf(name, sizeof name, "C:\\Many\\sub %03d", i);
        REQUIRE(MakeFolders(name));
    }
    Process setup = StartSetup();
    Browse b = Open(setup);
    DoubleClickItem(b.list, 1);
    int many = IndexOf(b.list, "Many");
    REQUIRE(many > 1);
    DoubleClickItem(b.list, many);
    REQUIRE_EQ(ListCount(b.list), count + 3);
    CHECK_EQ(ListText(b.list, count + 2), std::string("Sub 519"));
    InstallState state;
    REQUIRE(b.state.Read(&state));
    CHECK_EQ(state.CurrentFolderItem, 2);
    CHECK_EQ(state.IndentLevels[IndentSlots - 1], 3);

    // Scrolled to the end, the last item selected: its text rectangle sits
    // at level 3, 8 * 3 + 21 pixels in, like the first sub-folder's.
    for (int item : {count + 2, 499, 500, 3}) {
        SendMessageA(b.list, LB_SETTOPINDEX, item, 0);
        Settle(b.page);
        ClickItem(b.list, item);
        CHECK_EQ(ListSelection(b.list), item);
        pilot::Sleep(150);
        Picture screen = item == count + 2 ? Shot("last of many") : Capture();
        CHECK_EQ(HighlightOn(b.list, screen, item).first, 45);
    }
    CHECK(IsWindowVisible(b.page));
    CHECK_EQ(b.state.InstallDir(), std::string("C:\\Many"));
    Press(b.page, IDCANCEL);
    ExpectAbortNotice(setup.pid);
    ExpectExitZero(setup);
}
