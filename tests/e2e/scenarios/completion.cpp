// The end of an installation: the registry record, the read-me in Notepad,
// the closing boxes and the exit.
#include "group_steps.h"

using namespace pilot;

namespace {

const char* const ProductValues[] = {"winC", "winD", "winL", "winF"};

// The values the installed product keeps beside its version, and one of its
// own that no installer touches.
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
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | RegistryView(), &opened) !=
        ERROR_SUCCESS)
        return 0;
    DWORD values = 0;
    RegQueryInfoKeyA(opened, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                     nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(opened);
    return values;
}

std::string ImageOf(HWND window)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, ProcessOf(window));
    if (!process)
        return "<cannot open>";
    char path[MAX_PATH] = "";
    DWORD size = sizeof path;
    QueryFullProcessImageNameA(process, 0, path, &size);
    CloseHandle(process);
    return path;
}

} // namespace

// With Wine's Program Manager, over an older version: the group list is
// empty, the group folder gets one shortcut per row, the product's values
// go, No skips Notepad and the thanks come all the same.
SCENARIO(completion_over_an_older_version, 800, 600)
{
    SeedProductValues("1.00");
    Process setup = StartSetup();
    HWND page = ReachGroup();
    Shot("group");
    CheckPageAtStart(page);
    CHECK(GroupItems(page).empty());
    CHECK_EQ(GroupSelection(page), -1);
    DWORD pressed = Now();
    Press(page, GroupContinue);
    ExpectShortcutsCreated("Pellomark");
    // Nine paced commands and the pause before the last, then the 3 s timer.
    DWORD took = Now() - pressed;
    Log("the success box came %lu ms after Continue", (unsigned long)took);
    CHECK(took >= 12000);
    CHECK(WaitGone(page, 5000));
    AnswerReadMe(setup.pid, IDNO);
    ExpectThanks(setup.pid);
    CHECK(!WaitTop("Notepad", "", 0));
    ExpectExitZero(setup);

    std::string folder = GroupFolder("Pellomark");
    const std::pair<const char*, std::string> shortcuts[] = {
        {"Help.lnk", std::string(DefaultFolder) + "\\Quodpost.hlp"},
        {"Pellomark.lnk", std::string(DefaultFolder) + "\\Quodpost.exe"},
        {"Read Me.lnk", std::string(DefaultFolder) + "\\Read_me.txt"},
        {"Uninstall.lnk", WindowsDirectory() + "\\Quodgone.exe"},
    };
    std::vector<std::string> names;
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
    CheckValue(UninstallEntry, "UninstallString", WindowsDirectory() + "\\Quodgone.exe");
    CheckValue(UninstallEntry, "Program Path", DefaultFolder);
    CheckValue(UninstallEntry, "Program Group", "Pellomark");
}

// The same version again keeps the product's values. Yes opens the read-me in
// the system's Notepad, even with a program of that name beside the
// installer, and the installer waits minimised until Notepad closes.
SCENARIO(completion_same_version_with_read_me, 800, 600)
{
    SeedProductValues("1.01");
    const std::string downloads = "C:\\Downloads";
    REQUIRE(MakeFolders(downloads));
    REQUIRE(CopyFileA(Opts().setup.c_str(), (downloads + "\\setup.exe").c_str(), FALSE));
    // A program that ends at once: if it ran instead of Notepad, no Notepad shows.
    REQUIRE(CopyFileA((Opts().tools + "\\fake_progman.exe").c_str(),
                      (downloads + "\\Notepad.exe").c_str(), FALSE));
    Process setup = Launch(downloads + "\\setup.exe");
    Press(ReachGroup(), GroupContinue);
    ExpectShortcutsCreated("Pellomark");
    AnswerReadMe(setup.pid, IDYES);

    HWND notepad = WaitTop("Notepad", "", 15000);
    REQUIRE(notepad);
    Settle(notepad);
    Shot("read-me");
    std::string title = Text(notepad);
    Log("Notepad's title: %s", title.c_str());
    CHECK(title.find("Read_me.txt") != std::string::npos);
    std::string image = ImageOf(notepad);
    Log("Notepad runs from %s", image.c_str());
    CHECK_EQ(Lower(image), Lower(SetupSystemDirectory() + "\\notepad.exe"));
    // Found by class alone: the installer answers no messages while it waits.
    HWND main = FindWindowExA(nullptr, nullptr, Installer, nullptr);
    CHECK(main && ProcessOf(main) == setup.pid && IsIconic(main));
    Log("the installer is minimised");

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
    CheckValue(UninstallEntry, "Program Path", DefaultFolder);
}
