// The destination folder page: its folder browser, its buttons and the rules
// a typed folder must pass, on folders made in the prefix for the purpose.
// The view's rules themselves are the folder logic's unit tests; here they
// are met through the real list box, field and boxes.
#include "../pilot/flows.h"
#include "../pilot/lists.h"

#include <algorithm>

using namespace pilot;

namespace {

enum { Field = 300, Browser = 301, ResetButton = 302 };
enum { Header = 1, Drive = 2, Folder = 4 };
enum { ComputerPicture = 15, OpenFolderPicture = 4, ClosedFolderPicture = 3 };

using Texts = std::vector<std::string>;

std::string Join(const Texts& texts)
{
    std::string joined;
    for (const std::string& text : texts)
        joined += (joined.empty() ? "" : " | ") + text;
    return joined;
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
}

// The items' kinds: the header, then drives, then (in a folder view) folders.
void ExpectKinds(HWND list, bool drives)
{
    for (int i = 0; i < ListCount(list); ++i)
        CHECK_EQ(ListData(list, i), (LONG_PTR)(i == 0 ? Header : i == 1 || drives ? Drive : Folder));
}

// The folder view of a current folder: its chain, and the sub-folders below.
void ExpectFolderView(HWND page, const std::string& path, const Texts& chain, const Texts& below)
{
    HWND list = Item(page, Browser);
    Texts expected = chain;
    expected.insert(expected.end(), below.begin(), below.end());
    CHECK_EQ(Join(ListTexts(list)), Join(expected));
    CHECK_EQ(ItemText(page, Field), path);
    CHECK_EQ(ListSelection(list), (int)chain.size() - 1);
    ExpectKinds(list, false);
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

void ExpectDriveView(HWND page, const std::string& root)
{
    HWND list = Item(page, Browser);
    Texts shown = ListTexts(list);
    REQUIRE(!shown.empty());
    CHECK_EQ(shown[0], std::string("Drives"));
    Texts drives(shown.begin() + 1, shown.end());
    Log("drives: %s", Join(drives).c_str());
    CHECK(IndexOf(list, "C:\\") > 0 && IndexOf(list, "Z:\\") > 0);
    CHECK(std::is_sorted(drives.begin(), drives.end()));
    ExpectKinds(list, true);
    CHECK_EQ(ListSelection(list), IndexOf(list, root));
    CHECK_EQ(ItemText(page, Field), root);
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

// Where the selection colour starts on the item's top row, which only the
// text rectangle's fill covers: 8 pixels a level plus 21; -1 when not there.
int HighlightOn(HWND list, const Picture& screen, int index)
{
    RECT r = ListItemScreenRect(list, index);
    for (int x = r.left; x < r.right; ++x)
        if (screen.At(x, r.top) == GetSysColor(COLOR_HIGHLIGHT))
            return x - r.left;
    return -1;
}

void ExpectRefusal(HWND page, const std::string& typed, const std::string& reason)
{
    Type(page, Field, typed);
    std::string inField = ItemText(page, Field);
    Press(page, IDOK);
    Box box = WaitBox(Installer, 10000);
    CHECK_EQ(box.text, "Path invalid!\n\n" + reason);
    CHECK_EQ(box.icon, std::string("warning"));
    CHECK(GetWindow(box.window, GW_OWNER) == page);
    Answer(box, IDOK);
    Settle(page);
    CHECK(IsWindowVisible(page));
    CHECK(WaitUntil([&] { return Focused(page) == Item(page, Field); }, 3000));
    CHECK_EQ(ItemText(page, Field), inField);
}

void CancelPage(const Process& setup, HWND page)
{
    Press(page, IDCANCEL);
    ExpectAbortNotice(setup.pid);
    ExpectExitZero(setup);
}

} // namespace

SCENARIO(location_default_view, 800, 600)
{
    MakeTestFolders();
    Process setup = StartSetup();
    HWND page = ReachLocation();
    HWND list = Item(page, Browser);
    const Texts chain = {"Folders", "C:\\", "Dornwick", "Pellomark"};
    ExpectFolderView(page, DefaultFolder, chain, {});
    RECT header = ListItemRect(list, 0), root = ListItemRect(list, 1);
    CHECK_EQ(header.bottom - header.top, 18l);
    CHECK(root.bottom - root.top != 18);

    Picture screen = Shot("default view");
    CHECK(ItemShows(list, screen, 0, 0, ComputerPicture));
    CHECK(ItemShows(list, screen, 1, 1, SystemImageOf("C:\\")));
    CHECK(ItemShows(list, screen, 2, 2, ClosedFolderPicture));
    CHECK(ItemShows(list, screen, 3, 3, OpenFolderPicture));
    CHECK_EQ(HighlightOn(list, screen, 3), 45);

    // A single click only moves the highlight.
    ClickItem(list, 2);
    CHECK_EQ(ListSelection(list), 2);
    CHECK_EQ(Join(ListTexts(list)), Join(chain));
    CHECK_EQ(ItemText(page, Field), std::string(DefaultFolder));
    pilot::Sleep(200);
    screen = Shot("single click");
    CHECK_EQ(HighlightOn(list, screen, 2), 37);
    CHECK_EQ(HighlightOn(list, screen, 3), -1);

    // Reset while the browser is at the default folder changes nothing, not
    // even a typed path.
    Type(page, Field, "D:\\typed");
    Press(page, ResetButton);
    Settle(page);
    CHECK_EQ(ItemText(page, Field), std::string("D:\\typed"));
    CHECK_EQ(ListSelection(list), 2);
    CancelPage(setup, page);
}

SCENARIO(location_navigation, 800, 600)
{
    MakeTestFolders();
    Process setup = StartSetup();
    HWND page = ReachLocation();
    HWND list = Item(page, Browser);

    DoubleClickItem(list, 2);  // a folder on the chain
    ExpectFolderView(page, "C:\\Dornwick", {"Folders", "C:\\", "Dornwick"}, {"Tools"});
    DoubleClickItem(list, 3);  // a sub-folder
    ExpectFolderView(page, "C:\\Dornwick\\Tools", {"Folders", "C:\\", "Dornwick", "Tools"}, {});

    // The current folder: nothing happens, the typed text stays.
    Type(page, Field, "typed, not accepted");
    DoubleClickItem(list, 3);
    CHECK_EQ(ItemText(page, Field), std::string("typed, not accepted"));
    CHECK_EQ(ListCount(list), 4);

    DoubleClickItem(list, 1);  // the root
    Texts top = Below(list, 1);
    ExpectFolderView(page, "C:\\", {"Folders", "C:\\"}, top);
    int browse = IndexOf(list, "Browse");
    REQUIRE(browse > 1);
    CHECK(IndexOf(list, "Dornwick") > browse);
    CHECK(IndexOf(list, "Windows") > IndexOf(list, "Dornwick"));

    // Sorted and re-cased; hidden, system and dot-named folders left out.
    DoubleClickItem(list, browse);
    ExpectFolderView(page, "C:\\Browse", {"Folders", "C:\\", "Browse"},
                     {"Alpha One", "Beta", "Gamma Ray", "X-ray V2.0 Beta"});
    Picture screen = Shot("re-cased sub-folders");
    CHECK(ItemShows(list, screen, 3, 3, ClosedFolderPicture));
    // A re-cased name reaches the same folder.
    DoubleClickItem(list, 5);
    ExpectFolderView(page, "C:\\Browse\\Gamma Ray", {"Folders", "C:\\", "Browse", "Gamma Ray"},
                     {"Deeper"});

    DoubleClickItem(list, 0);  // the header: the drive view
    ExpectDriveView(page, "C:\\");
    Shot("drives");
    DoubleClickItem(list, IndexOf(list, "C:\\"));  // the current drive
    ExpectFolderView(page, "C:\\", {"Folders", "C:\\"}, top);
    DoubleClickItem(list, 0);
    DoubleClickItem(list, IndexOf(list, "Z:\\"));  // another drive
    ExpectFolderView(page, "Z:\\", {"Folders", "Z:\\"}, Below(list, 1));
    CHECK(ListCount(list) > 2);

    // Reset after a navigation restores the default folder and its view.
    Press(page, ResetButton);
    Settle(page);
    ExpectFolderView(page, DefaultFolder, {"Folders", "C:\\", "Dornwick", "Pellomark"}, {});
    CancelPage(setup, page);
}

SCENARIO(location_refusals, 800, 600)
{
    StartSetup();
    HWND page = ReachLocation();
    ExpectRefusal(page, "", "Path may not be empty!");
    ExpectRefusal(page, "C", "Missing : or \\ in drive.");
    ExpectRefusal(page, "C:\\", "Path may not be a root drive...");
    ExpectRefusal(page, "C:\\Dornwick\\.\\..", "Path may not be a root drive...");
    // One character more than the longest folder whose stored copies the
    // LZ library can still open (127 characters).
    ExpectRefusal(page, "C:\\" + std::string(112, 'a'), "Path is too long.");
    // More than the field holds.
    ExpectRefusal(page, "C:\\" + std::string(300, 'c'), "Path is too long.");
    CHECK_EQ(ItemText(page, Field).size(), 259u);

    // The longest folder that fits is accepted, though it does not exist
    // yet, and installs.
    std::string longest = "C:\\" + std::string(111, 'a');
    Type(page, Field, longest);
    Press(page, IDOK);
    CHECK(WaitGone(page, 10000));
    CHECK(WaitGone(WaitPage(CopyCaption()), 60000));
    WaitPage(GroupCaption());
    CHECK(Exists(longest + "\\Quodpost.exe"));
}

// More sub-folders than the page keeps indent levels for: the items past the
// last level are drawn one level below the current folder like the others.
SCENARIO(location_many_sub_folders, 800, 600)
{
    const int count = 520;
    for (int i = 0; i < count; ++i)
        REQUIRE(MakeFolders("C:\\Many\\sub " + std::to_string(100 + i)));
    Process setup = StartSetup();
    HWND page = ReachLocation();
    HWND list = Item(page, Browser);
    DoubleClickItem(list, 1);
    DoubleClickItem(list, IndexOf(list, "Many"));
    REQUIRE_EQ(ListCount(list), count + 3);
    CHECK_EQ(ListText(list, count + 2), std::string("Sub 619"));
    // Each selected and scrolled into view: its text rectangle sits at
    // level 3, like the first sub-folder's.
    for (int item : {3, 500, count + 2}) {
        SendMessageA(list, LB_SETTOPINDEX, item, 0);
        ClickItem(list, item);
        pilot::Sleep(150);
        CHECK_EQ(HighlightOn(list, item == count + 2 ? Shot("last of many") : Capture(), item), 45);
    }
    CHECK_EQ(ItemText(page, Field), std::string("C:\\Many"));
    CancelPage(setup, page);
}
