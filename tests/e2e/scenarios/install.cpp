// A person refuses the agreement; then scrolls the folder page, is refused a
// folder, watches the copy page and gets the group from Wine's Program
// Manager; installs again and reads the read-me.
#include "../pilot/pilot.h"

#include <aclapi.h>
#include <sddl.h>

using namespace pilot;

SCENARIO(browse_and_install_twice, 800, 600)
{
    const int many = 520;
    auto sub = [](int i) { return DefaultFolder + ("\\sub " + std::to_string(100 + i)); };
    for (int i = 0; i < many; ++i)
        REQUIRE(MakeFolders(sub(i)));
    Snapshot before = TakeSnapshot();
    Process setup = StartSetup();
    HWND page = FirstLook(setup);
    Press(page, IDC_NEGATE);
    ExpectRefused(setup, page, LocationCaption(), before);

    // The default folder holds more sub-folders than the page keeps indent
    // levels for: the last, scrolled into view and clicked, moves only the
    // highlight, drawn at the level of the first, 4 (8 pixels a level plus 21,
    // where the selection colour starts on the item's top row, which only the
    // text rectangle's fill covers).
    setup = StartSetup();
    page = ReachLocation();
    HWND list = Item(page, IDC_FOLDER_LIST), field = Item(page, IDC_FOLDER_EDIT);
    int last = (int)SendMessageA(list, LB_GETCOUNT, 0, 0) - 1;
    REQUIRE(last == 3 + many);
    SendMessageA(list, LB_SETTOPINDEX, last, 0);
    RECT r = {};
    SendMessageA(list, LB_GETITEMRECT, last, (LPARAM)&r);
    LPARAM middle = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    PostMessageA(list, WM_LBUTTONUP, 0, middle);
    Settle(page);
    Sleep(150);
    MapWindowPoints(list, nullptr, (POINT*)&r, 2);
    Picture screen = Shot("last sub-folder");
    int x = r.left;
    while (x < r.right && screen.At(x, r.top) != GetSysColor(COLOR_HIGHLIGHT))
        ++x;
    CHECK_EQ(x - r.left, 8 * 4 + 21);
    CHECK_EQ(Text(field), DefaultFolder);

    // A folder longer than the field holds is refused, owned by the page,
    // with the focus back in the field and the text kept, cut at 259.
    Type(page, IDC_FOLDER_EDIT, "C:\\" + std::string(300, 'c'));
    Press(page, IDC_AFFIRM);
    CHECK(ExpectBox(0, Installer, "Path invalid!\n\nPath is too long.", "warning").owner == page);
    CHECK(WaitUntil([&] { return Focused(page) == field; }, 3000));
    CHECK_EQ(Text(field), "C:\\" + std::string(256, 'c'));

    // The folders go before the default folder is accepted, so that the
    // installer makes it.
    Type(page, IDC_FOLDER_EDIT, DefaultFolder);
    for (int i = 0; i < many; ++i)
        RemoveDirectoryA(sub(i).c_str());
    REQUIRE(RemoveDirectoryA(DefaultFolder) && RemoveDirectoryA("C:\\Dornwick"));
    Press(page, IDC_AFFIRM);
    page = WaitPage(CopyCaption());
    CHECK(!(GetWindowLongA(page, GWL_STYLE) & (WS_SYSMENU | WS_THICKFRAME)));
    CHECK(!FindWindowExA(page, nullptr, "Button", nullptr));
    Shot("copy");
    Sleep(600);
    // Neither a key nor a close request ends the copy page. Meanwhile the
    // first stored copy, written by now, is the page's own: others may read
    // it, as the LZ library does, but neither write nor delete it.
    std::string stored = Stored(DefaultFolder, 0);
    CHECK(!WriteBytes(stored, "planted") && !DeleteFileA(stored.c_str()));
    CHECK(SameBytes(stored, ResourceBytes(0)));
    Key(page, VK_ESCAPE);
    Key(page, VK_RETURN);
    PostMessageA(page, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageA(page, WM_CLOSE, 0, 0);
    Settle(page);
    CHECK(IsWindowVisible(page));
    REQUIRE(WaitGone(page, 180000));
    ExpectRows(DefaultFolder, {"", "", "", ""});
    // Its access list as text. Wine derives it from the folder's mode: one
    // made with the installer's protected list lets Everyone (WD) in no more,
    // one made without it still lets Everyone read.
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    char* access = nullptr;
    GetNamedSecurityInfoA(DefaultFolder, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                          nullptr, nullptr, nullptr, &descriptor);
    ConvertSecurityDescriptorToStringSecurityDescriptorA(
        descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &access, nullptr);
    Log("access list %s", access ? access : "(none)");
    CHECK(access && strncmp(access, "D:", 2) == 0 && !strstr(access, ";WD)"));
    LocalFree(access);
    LocalFree(descriptor);

    // Wine's Program Manager: an empty group list; nine paced commands and
    // the pause before the last, then the 3 s timer, before the success box.
    page = WaitPage(GroupCaption(), 120000);
    Shot("group");
    CHECK_EQ(Text(Item(page, IDC_ACCENT)),
             "Shortcuts for Pellomark will be installed to the following group:");
    HWND combo = Item(page, IDC_GROUP_COMBO);
    CHECK_EQ(Text(combo), "Pellomark");
    CHECK(!SendMessageA(combo, CB_GETCOUNT, 0, 0) && SendMessageA(combo, CB_GETCURSEL, 0, 0) < 0);
    CHECK(IsWindowEnabled(Item(page, IDC_GROUP_CONTINUE)) &&
          IsWindowEnabled(Item(page, IDC_GROUP_RESET)));
    DWORD pressed = GetTickCount();
    Press(page, IDC_GROUP_CONTINUE);
    DWORD came = FinishGroup(setup, IDNO);
    Log("the success box came %lu ms after Continue", came - pressed);
    CHECK(came - pressed >= 12000 && !WaitTop("Notepad", ""));
    ExpectExitZero(setup);
    // One shortcut per row and nothing else, each carrying its target's full
    // path among its bytes.
    Snapshot group;
    ListFiles(GroupFolder, &group);
    CHECK_EQ(group.size(), 4u);
    for (auto [name, row] :
         {std::pair{"Help.lnk", 2}, {"Pellomark.lnk", 1}, {"Read Me.lnk", 3}, {"Uninstall.lnk", 0}})
        CHECK(Lower(FileBytes(GroupFolder + "\\" + name))
                  .find(Lower(Destination(DefaultFolder, row))) != std::string::npos);
    // Texts (type 1) with their terminators, the version directly below the
    // root, not below its Software key.
    const std::tuple<const char*, const char*, std::string> recorded[] = {
        {"Shareware\\Dornwick\\Programs\\Pellomark\\Current Version", "Program Version", "1.01"},
        {UninstallEntry, "DisplayName", "Pellomark Uninstall"},
        {UninstallEntry, "UninstallString", Uninstaller()},
        {UninstallEntry, "Program Path", DefaultFolder},
        {UninstallEntry, "Program Group", "Pellomark"}};
    for (const auto& [key, name, text] : recorded)
        CHECK_EQ(Reg(key, name), "1:" + text + '\0');
    CHECK_EQ(Reg("Software\\Shareware"), "");

    // Again, over a file left read-only, which is replaced. Yes opens the
    // read-me in the system's Notepad though a program of that name is beside
    // the installer (one that ends at once, showing no window), and the
    // installer waits minimised until Notepad closes.
    std::string readOnly = Destination(DefaultFolder, 2), downloads = values["work"];
    REQUIRE(WriteBytes(readOnly, "the help of an older version\r\n") &&
            SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY) &&
            CopyFileA(values["setup"].c_str(), (downloads + "\\setup.exe").c_str(), FALSE) &&
            CopyFileA((Windows + "\\system32\\hostname.exe").c_str(),
                      (downloads + "\\Notepad.exe").c_str(), FALSE));
    setup = Launch(downloads + "\\setup.exe");
    ReachCopy();
    // Reset brings the product's name back into the field (a simple combo's
    // edit is its child 1001).
    page = WaitPage(GroupCaption(), 120000);
    combo = Item(page, IDC_GROUP_COMBO);
    Type(combo, 1001, "Something else");
    Press(page, IDC_GROUP_RESET);
    Settle(page);
    CHECK_EQ(Text(combo), "Pellomark");
    Press(page, IDC_GROUP_CONTINUE);
    FinishGroup(setup, IDYES);
    HWND notepad = WaitTop("Notepad", "", 15000);
    REQUIRE(notepad);
    Settle(notepad);
    Shot("read-me");
    Log("Notepad's title: %s", Text(notepad).c_str());
    CHECK(Text(notepad).find("Read_me.txt") != std::string::npos);
    // Found by class alone: the installer answers no messages while it waits.
    HWND main = FindWindowExA(nullptr, nullptr, Installer, nullptr);
    CHECK(main && ProcessOf(main) == setup.pid && IsIconic(main));
    PostMessageA(notepad, WM_CLOSE, 0, 0);
    CHECK(WaitGone(notepad, 10000));
    WaitBox(Installer, 15000, setup.pid);
    CHECK(main && !IsIconic(main));
    ExpectBox(setup.pid, Installer, ThanksText, "information");
    ExpectExitZero(setup);
    CHECK(SameBytes(readOnly, SourceBytes(2)));
    CHECK(!(GetFileAttributesA(readOnly.c_str()) & FILE_ATTRIBUTE_READONLY));
}
