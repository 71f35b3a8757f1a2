// A person refuses the agreement, then browses and types on the folder page,
// installs over an older version watching the copy page, installs again with
// the read-me, and meets recorded values the uninstaller will not trust.
#include "../pilot/lists.h"
#include "../pilot/steps.h"

#include <algorithm>

using namespace pilot;

namespace {

enum { Header = 1, Drive = 2, Folder = 4 };  // the browser's item kinds
enum { ComputerPicture = 15, OpenFolderPicture = 4, ClosedFolderPicture = 3 };
const int ManyFolders = 520;
const char* const ProductValues[] = {"winC", "winD", "winL", "winF"};

using Texts = std::vector<std::string>;

std::string Join(const Texts& texts)
{
    std::string joined;
    for (const std::string& text : texts)
        joined += (joined.empty() ? "" : " | ") + text;
    return joined;
}

// C:\Dornwick with one sub-folder; C:\Browse with every kind of entry the
// listing must keep or leave out; C:\Many with more than the indent levels.
void MakeTestFolders()
{
    REQUIRE(MakeFolders("C:\\Dornwick\\Tools"));
    for (const char* name : {"ALPHA ONE", "beta", "gamma RAY\\deeper", "x-ray v2.0 beta", "Hidden",
                             "System", "Both", ".dotted"})
        REQUIRE(MakeFolders(std::string("C:\\Browse\\") + name));
    REQUIRE(WriteBytes("C:\\Browse\\file.txt", "not a folder\r\n"));
    REQUIRE(SetFileAttributesA("C:\\Browse\\Hidden", FILE_ATTRIBUTE_HIDDEN));
    REQUIRE(SetFileAttributesA("C:\\Browse\\System", FILE_ATTRIBUTE_SYSTEM));
    REQUIRE(SetFileAttributesA("C:\\Browse\\Both", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    for (int i = 0; i < ManyFolders; ++i)
        REQUIRE(MakeFolders("C:\\Many\\sub " + std::to_string(100 + i)));
}

int IndexOf(HWND list, const std::string& text)
{
    Texts texts = ListTexts(list);
    auto found = std::find(texts.begin(), texts.end(), text);
    return found == texts.end() ? -1 : (int)(found - texts.begin());
}

// The sub-folders shown below the chain of the current folder.
Texts Below(HWND list, int current)
{
    Texts texts = ListTexts(list);
    return Texts(texts.begin() + std::min<size_t>(current + 1, texts.size()), texts.end());
}

// The folder view of a current folder: its chain, the sub-folders below, the
// field, the selection on the current folder and each item's kind.
void ExpectFolderView(HWND page, const std::string& path, const Texts& chain, const Texts& below)
{
    HWND list = Item(page, IDC_FOLDER_LIST);
    Texts expected = chain;
    expected.insert(expected.end(), below.begin(), below.end());
    CHECK_EQ(Join(ListTexts(list)), Join(expected));
    CHECK_EQ(ItemText(page, IDC_FOLDER_EDIT), path);
    CHECK_EQ(ListSelection(list), (int)chain.size() - 1);
    for (int i = 0; i < ListCount(list); ++i)
        CHECK_EQ(ListData(list, i), (LONG_PTR)(i == 0 ? Header : i == 1 ? Drive : Folder));
}

// The picture of an item at its level, as the page paints it; between it and
// the text rectangle the list's own background shows.
bool ItemShows(HWND list, const Picture& screen, int index, int level, int image)
{
    RECT r = ListItemScreenRect(list, index);
    int x = r.left + 8 * level + 1, y = r.top + (index == 0 ? 1 : 0);
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

void ExpectFolderRefused(HWND page, const std::string& typed, const std::string& reason)
{
    Type(page, IDC_FOLDER_EDIT, typed);
    std::string inField = ItemText(page, IDC_FOLDER_EDIT);
    Press(page, IDC_AFFIRM);
    Box box = WaitBox(Installer, 10000);
    CHECK_EQ(box.text, "Path invalid!\n\n" + reason);
    CHECK_EQ(box.icon, std::string("warning"));
    CHECK(GetWindow(box.window, GW_OWNER) == page);
    Answer(box, IDOK);
    Settle(page);
    CHECK(IsWindowVisible(page));
    CHECK(WaitUntil([&] { return Focused(page) == Item(page, IDC_FOLDER_EDIT); }, 3000));
    CHECK_EQ(ItemText(page, IDC_FOLDER_EDIT), inField);
}

// The folder page from its default view through every way of moving, typing
// and refusing, back to the default folder.
void BrowseFolders(HWND page)
{
    HWND list = Item(page, IDC_FOLDER_LIST);
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
    CHECK_EQ(ItemText(page, IDC_FOLDER_EDIT), std::string(DefaultFolder));
    pilot::Sleep(200);
    screen = Shot("single click");
    CHECK_EQ(HighlightOn(list, screen, 2), 37);
    CHECK_EQ(HighlightOn(list, screen, 3), -1);
    // Reset at the default folder changes nothing, not even a typed path.
    Type(page, IDC_FOLDER_EDIT, "D:\\typed");
    Press(page, IDC_FOLDER_RESET);
    Settle(page);
    CHECK_EQ(ItemText(page, IDC_FOLDER_EDIT), std::string("D:\\typed"));
    CHECK_EQ(ListSelection(list), 2);

    ExpectFolderRefused(page, "", "Path may not be empty!");
    ExpectFolderRefused(page, "C", "Missing : or \\ in drive.");
    ExpectFolderRefused(page, "C:\\", "Path may not be a root drive...");
    ExpectFolderRefused(page, "C:\\Dornwick\\.\\..", "Path may not be a root drive...");
    // One character more than the longest folder whose stored copies the LZ
    // library can still open (127 characters); then more than the field holds.
    ExpectFolderRefused(page, "C:\\" + std::string(112, 'a'), "Path is too long.");
    ExpectFolderRefused(page, "C:\\" + std::string(300, 'c'), "Path is too long.");
    CHECK_EQ(ItemText(page, IDC_FOLDER_EDIT).size(), 259u);

    DoubleClickItem(list, 2);  // a folder on the chain
    ExpectFolderView(page, "C:\\Dornwick", {"Folders", "C:\\", "Dornwick"}, {"Tools"});
    DoubleClickItem(list, 3);  // a sub-folder
    ExpectFolderView(page, "C:\\Dornwick\\Tools", {"Folders", "C:\\", "Dornwick", "Tools"}, {});
    // The current folder: nothing happens, the typed text stays.
    Type(page, IDC_FOLDER_EDIT, "typed, not accepted");
    DoubleClickItem(list, 3);
    CHECK_EQ(ItemText(page, IDC_FOLDER_EDIT), std::string("typed, not accepted"));
    CHECK_EQ(ListCount(list), 4);
    DoubleClickItem(list, 1);  // the root
    Texts top = Below(list, 1);
    ExpectFolderView(page, "C:\\", {"Folders", "C:\\"}, top);
    int browse = IndexOf(list, "Browse");
    CHECK(browse > 1 && IndexOf(list, "Dornwick") > browse &&
          IndexOf(list, "Windows") > IndexOf(list, "Dornwick"));
    // Sorted and re-cased; hidden, system and dot-named folders left out; a
    // re-cased name reaches the same folder.
    DoubleClickItem(list, browse);
    ExpectFolderView(page, "C:\\Browse", {"Folders", "C:\\", "Browse"},
                     {"Alpha One", "Beta", "Gamma Ray", "X-ray V2.0 Beta"});
    CHECK(ItemShows(list, Shot("re-cased sub-folders"), 3, 3, ClosedFolderPicture));
    DoubleClickItem(list, 5);
    ExpectFolderView(page, "C:\\Browse\\Gamma Ray", {"Folders", "C:\\", "Browse", "Gamma Ray"},
                     {"Deeper"});

    DoubleClickItem(list, 0);  // the header: the drive view, sorted, on C:
    Texts shown = ListTexts(list);
    REQUIRE(!shown.empty());
    CHECK_EQ(shown[0], std::string("Drives"));
    Log("drives: %s", Join(shown).c_str());
    CHECK(IndexOf(list, "C:\\") > 0 && IndexOf(list, "Z:\\") > 0);
    CHECK(std::is_sorted(shown.begin() + 1, shown.end()));
    for (int i = 0; i < ListCount(list); ++i)
        CHECK_EQ(ListData(list, i), (LONG_PTR)(i == 0 ? Header : Drive));
    CHECK_EQ(ListSelection(list), IndexOf(list, "C:\\"));
    CHECK_EQ(ItemText(page, IDC_FOLDER_EDIT), std::string("C:\\"));
    Shot("drives");
    DoubleClickItem(list, IndexOf(list, "C:\\"));  // the current drive
    ExpectFolderView(page, "C:\\", {"Folders", "C:\\"}, top);
    DoubleClickItem(list, 0);
    DoubleClickItem(list, IndexOf(list, "Z:\\"));  // another drive
    ExpectFolderView(page, "Z:\\", {"Folders", "Z:\\"}, Below(list, 1));
    CHECK(ListCount(list) > 2);

    // More sub-folders than the page keeps indent levels for: each, selected
    // and scrolled into view, has its text rectangle at level 3.
    DoubleClickItem(list, 0);
    DoubleClickItem(list, IndexOf(list, "C:\\"));
    DoubleClickItem(list, IndexOf(list, "Many"));
    REQUIRE(ListCount(list) == ManyFolders + 3);
    CHECK_EQ(ListText(list, ManyFolders + 2), std::string("Sub 619"));
    for (int item : {3, 500, ManyFolders + 2}) {
        SendMessageA(list, LB_SETTOPINDEX, item, 0);
        ClickItem(list, item);
        pilot::Sleep(150);
        CHECK_EQ(HighlightOn(list, item == ManyFolders + 2 ? Shot("last of many") : Capture(), item), 45);
    }
    CHECK_EQ(ItemText(page, IDC_FOLDER_EDIT), std::string("C:\\Many"));

    // Reset after navigating brings back the default folder and its view.
    Press(page, IDC_FOLDER_RESET);
    Settle(page);
    ExpectFolderView(page, DefaultFolder, chain, {});
}

// Neither a key nor a close request ends the copy page. Meanwhile the first
// stored copy, written by now, is the page's own: others may read it, as the
// LZ library does, but neither write nor delete it.
void TryToClose(HWND page)
{
    std::string stored = Stored(DefaultFolder, 0);
    HANDLE writer = CreateFileA(stored.c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (!CHECK(writer == INVALID_HANDLE_VALUE))
        CloseHandle(writer);
    CHECK(!DeleteFileA(stored.c_str()));
    CHECK(SameBytes(stored, ResourceBytes(0)));
    Key(page, VK_ESCAPE);
    Key(page, VK_RETURN);
    CloseFromSystemMenu(page);
    PostMessageA(page, WM_CLOSE, 0, 0);
    Settle(page);
    CHECK(IsWindow(page) && IsWindowVisible(page));
}

// The installed product's version, the values it keeps beside it, and one
// of its own that no installer touches.
void SeedProductValues(const std::string& version)
{
    REQUIRE(RegSetText(HKEY_LOCAL_MACHINE, VersionKey, "Program Version", version));
    for (const char* name : ProductValues)
        REQUIRE(RegSetText(HKEY_LOCAL_MACHINE, VersionKey, name, std::string("set by ") + name));
    REQUIRE(RegSetText(HKEY_LOCAL_MACHINE, VersionKey, "winX", "the product's own"));
}

int ProductValuesLeft()
{
    int left = 0;
    for (const char* name : ProductValues)
        left += RegText(HKEY_LOCAL_MACHINE, VersionKey, name, nullptr);
    return left;
}

// A value as text, its type and size: the size counts the stored terminator.
void CheckValue(const char* key, const char* name, const std::string& expected)
{
    std::string text;
    DWORD type = 0, size = 0;
    if (!CHECK(RegText(HKEY_LOCAL_MACHINE, key, name, &text, &type, &size)))
        Log("  missing: %s\\%s", key, name);
    CHECK_EQ(text, expected);
    CHECK_EQ(type, (DWORD)REG_SZ);
    CHECK_EQ(size, (DWORD)expected.size() + 1);
}

DWORD ValueCount(const char* key)
{
    HKEY opened;
    DWORD values = 0;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | RegistryView(), &opened) != ERROR_SUCCESS)
        return 0;
    RegQueryInfoKeyA(opened, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                     nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(opened);
    return values;
}

std::string ImageOf(HWND window)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, ProcessOf(window));
    char path[MAX_PATH] = "<cannot open>";
    DWORD size = sizeof path;
    if (process) {
        QueryFullProcessImageNameA(process, 0, path, &size);
        CloseHandle(process);
    }
    return path;
}

} // namespace

SCENARIO(browse_and_install_twice, 800, 600)
{
    MakeTestFolders();
    Snapshot before = TakeSnapshot();
    Process setup = StartSetup();
    HWND page = FirstLook(setup);
    Press(page, IDC_NEGATE);
    ExpectRefused(setup, page, LocationCaption(), before);

    // Over an older version, into the default folder.
    SeedProductValues("1.00");
    setup = StartSetup();
    page = ReachLocation();
    BrowseFolders(page);
    Press(page, IDC_AFFIRM);
    page = WaitPage(CopyCaption());
    LONG style = GetWindowLongA(page, GWL_STYLE);
    CHECK(!(style & WS_SYSMENU) && !(style & WS_THICKFRAME));
    CHECK(!FindWindowExA(page, nullptr, "Button", nullptr));
    Shot("copy");
    Watch watch = WatchCopy(page, setup, TryToClose);
    REQUIRE(watch.ended);
    CheckLabels(watch, DefaultFolder, ExpectedLabels(DefaultFolder).size() - 1);
    CheckMeter(watch, 3, 3);
    CheckInstalled(DefaultFolder);
    CHECK(!EveryoneMayEnter(DefaultFolder));

    // Wine's Program Manager: an empty group list; nine paced commands and
    // the pause before the last, then the 3 s timer, before the success box.
    page = WaitPage(GroupCaption(), 120000);
    Shot("group");
    CheckGroupPageAtStart(page);
    CHECK(GroupItems(page).empty());
    CHECK_EQ(GroupSelection(page), -1);
    DWORD pressed = Now();
    Press(page, IDC_GROUP_CONTINUE);
    FinishGroup(setup, "Pellomark", IDNO, pressed);
    CHECK(!IsWindow(page) || !IsWindowVisible(page));
    CHECK(!WaitTop("Notepad", "", 0));
    ExpectExitZero(setup);
    std::string folder = GroupFolder("Pellomark");
    const std::pair<const char*, std::string> shortcuts[] = {
        {"Help.lnk", std::string(DefaultFolder) + "\\Quodpost.hlp"},
        {"Pellomark.lnk", std::string(DefaultFolder) + "\\Quodpost.exe"},
        {"Read Me.lnk", std::string(DefaultFolder) + "\\Read_me.txt"},
        {"Uninstall.lnk", Uninstaller()},
    };
    Texts names;
    for (const auto& [name, target] : shortcuts) {
        names.push_back(name);
        CHECK_EQ(Lower(ShortcutTarget(folder + "\\" + name)), Lower(target));
    }
    CHECK_EQ(Listed(ShortcutNames(folder)), Listed(names));
    CheckValue(VersionKey, "Program Version", "1.01");
    CHECK_EQ(ProductValuesLeft(), 0);
    CHECK(RegText(HKEY_LOCAL_MACHINE, VersionKey, "winX", nullptr));
    // Directly below the root, not below its Software key.
    CHECK(!RegKeyExists(HKEY_LOCAL_MACHINE, "Software\\Shareware"));
    CHECK_EQ(ValueCount(UninstallEntry), 4ul);
    CheckValue(UninstallEntry, "DisplayName", "Pellomark Uninstall");
    CheckValue(UninstallEntry, "UninstallString", Uninstaller());
    CheckValue(UninstallEntry, "Program Path", DefaultFolder);
    CheckValue(UninstallEntry, "Program Group", "Pellomark");

    // The same version again keeps the product's values; a file left
    // read-only is replaced. Yes opens the read-me in the system's Notepad
    // though a program of that name is beside the installer (one that ends at
    // once), and the installer waits minimised until Notepad closes.
    SeedProductValues("1.01");
    std::string readOnly = Destination(DefaultFolder, 2);
    REQUIRE(WriteBytes(readOnly, "the help of an older version\r\n"));
    REQUIRE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::string downloads = Opts().work;
    REQUIRE(CopyFileA(Opts().setup.c_str(), (downloads + "\\setup.exe").c_str(), FALSE));
    REQUIRE(CopyFileA((Opts().tools + "\\fake_progman.exe").c_str(),
                      (downloads + "\\Notepad.exe").c_str(), FALSE));
    setup = Launch(downloads + "\\setup.exe");
    ReachCopy();
    Press(WaitPage(GroupCaption(), 120000), IDC_GROUP_CONTINUE);
    FinishGroup(setup, "Pellomark", IDYES);
    HWND notepad = WaitTop("Notepad", "", 15000);
    REQUIRE(notepad);
    Settle(notepad);
    Shot("read-me");
    Log("Notepad's title: %s", Text(notepad).c_str());
    CHECK(Text(notepad).find("Read_me.txt") != std::string::npos);
    CHECK_EQ(Lower(ImageOf(notepad)), Lower(SetupSystemDirectory() + "\\notepad.exe"));
    // Found by class alone: the installer answers no messages while it waits.
    HWND main = FindWindowExA(nullptr, nullptr, Installer, nullptr);
    CHECK(main && ProcessOf(main) == setup.pid && IsIconic(main));
    PostMessageA(notepad, WM_CLOSE, 0, 0);
    CHECK(WaitGone(notepad, 10000));
    Box thanks = WaitBox(Installer, 15000, setup.pid);
    CHECK_EQ(thanks.text, std::string(ThanksText));
    CHECK_EQ(thanks.icon, std::string("information"));
    CHECK(main && !IsIconic(main));
    Answer(thanks, IDOK);
    ExpectExitZero(setup);
    CheckValue(VersionKey, "Program Version", "1.01");
    CHECK_EQ(ProductValuesLeft(), 4);
    CHECK(SameBytes(readOnly, SourceBytes(2)));
    CHECK(!(GetFileAttributesA(readOnly.c_str()) & FILE_ATTRIBUTE_READONLY));

    // Recorded folders the installer would not have written are refused
    // before anything is asked or removed (the rest of the rules are the
    // removal plan's unit tests).
    for (const std::string& path : {std::string("C:\\"), std::string("Dornwick\\Pellomark"),
                                    "C:\\" + std::string(300, 'p')}) {
        REQUIRE(RegSetText(HKEY_LOCAL_MACHINE, UninstallEntry, "Program Path", path));
        Log("recorded folder [%s]", path.c_str());
        ExpectNotInstalled(Uninstaller());
    }
    // A recorded group whose name would end the command early and slip in
    // another is not sent, so no group is deleted, and the rest goes.
    REQUIRE(RegSetText(HKEY_LOCAL_MACHINE, UninstallEntry, "Program Path", DefaultFolder));
    REQUIRE(MakeFolders(GroupFolder("Games")));
    const std::string sly = "Pellomark\")][DeleteGroup(\"Games";
    REQUIRE(RegSetText(HKEY_LOCAL_MACHINE, UninstallEntry, "Program Group", sly));
    Process uninstaller;
    Box warned = Uninstall(DefaultFolder, &uninstaller);
    CHECK_EQ(warned.icon, std::string("warning"));
    CHECK_EQ(warned.text, "The program group \"" + sly +
                              "\" has a name that cannot be sent to Windows Explorer, so it is "
                              "left in place.");
    Answer(warned, IDOK);
    Box done = WaitBox(Installer, 30000, uninstaller.pid);
    CHECK(done.text.find("Left in place:\n- the program group \"" + sly + "\"") != std::string::npos);
    Answer(done, IDOK);
    ExpectUninstallerGone(uninstaller);
    CHECK(IsFolder(GroupFolder("Games")) && IsFolder(GroupFolder("Pellomark")));
    CHECK(!IsFolder(DefaultFolder));
    CHECK(!RegKeyExists(HKEY_LOCAL_MACHINE, UninstallEntry));
}
