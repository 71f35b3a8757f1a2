#include "pilot.h"

#include <aclapi.h>
#include <shlobj.h>

#include <algorithm>

namespace pilot {

std::string Product() { return Value("product", "Pellomark"); }
std::string AgreementCaption() { return Product() + " License Agreement"; }
std::string LocationCaption() { return Product() + " Program Location"; }
std::string CopyCaption() { return "Installing " + Product() + " Program Files"; }
std::string GroupCaption() { return Product() + " Program Group"; }

Process StartSetup(const std::string& arguments) { return Launch(Value("setup"), arguments); }

Box ExpectBox(DWORD pid, const std::string& caption, const std::string& text,
              const std::string& icon, int answer, DWORD milliseconds)
{
    Box box = WaitBox(caption, milliseconds, pid);
    CHECK_EQ(box.text, text);
    CHECK_EQ(box.icon, icon);
    Answer(box, answer);
    return box;
}

void ExpectExitZero(const Process& setup, DWORD milliseconds)
{
    DWORD code = 12345;
    if (CHECK(WaitForSingleObject(setup.handle, milliseconds) == WAIT_OBJECT_0) &&
        GetExitCodeProcess(setup.handle, &code))
        CHECK_EQ(code, 0ul);
}

HWND ReachLocation()
{
    Press(WaitPage(AgreementCaption(), 20000), IDC_AFFIRM);
    return WaitPage(LocationCaption());
}

HWND ReachCopy(const std::string& folder)
{
    HWND location = ReachLocation();
    if (!folder.empty())
        Type(location, IDC_FOLDER_EDIT, folder);
    Press(location, IDC_AFFIRM);
    return WaitPage(CopyCaption());
}

DWORD FinishGroup(const Process& setup, int readMe)
{
    DWORD came = ExpectBox(0, "Pellomark", "Shortcuts Created Successfully!", "information", IDOK,
                           60000)
                     .came;
    ExpectBox(setup.pid, Installer,
              "Pellomark was successfully Installed.\n\nWould you like to view the Read Me file "
              "now?",
              "question", readMe);
    if (readMe == IDNO)
        ExpectBox(setup.pid, Installer, ThanksText, "information");
    return came;
}

void Install(const Process& setup, const std::string& folder)
{
    ReachCopy(folder);
    Press(WaitPage(GroupCaption(), 120000), IDC_GROUP_CONTINUE);
    FinishGroup(setup, IDNO);
    ExpectExitZero(setup, 120000);
}

std::string SetupResource(LPCSTR name, LPCSTR type)
{
    HMODULE module = LoadLibraryExA(Value("setup").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    REQUIRE(module != nullptr);
    HRSRC found = FindResourceA(module, name, type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const char* data = loaded ? (const char*)LockResource(loaded) : nullptr;
    std::string bytes = data ? std::string(data, SizeofResource(module, found)) : "";
    FreeLibrary(module);
    if (bytes.empty())
        Require(__FILE__, __LINE__,
                "setup has no resource " +
                    (IS_INTRESOURCE(name) ? std::to_string((uintptr_t)name) : std::string(name)));
    return bytes;
}

void ExpectUnchanged(const Snapshot& before)
{
    std::vector<std::string> differences = Differences(before, TakeSnapshot());
    for (const std::string& difference : differences)
        Log("  %s", difference.c_str());
    CHECK(differences.empty());
}

bool SameBytes(const std::string& path, const std::string& expected)
{
    std::string bytes = FileBytes(path);
    if (bytes != expected)
        Log("%s: %zu bytes, not the %zu expected", path.c_str(), bytes.size(), expected.size());
    return bytes == expected;
}

// ---- the uninstaller ------------------------------------------------------------

std::string Uninstaller() { return WindowsDirectory() + "\\Quodgone.exe"; }

Box Uninstall(const std::string& folder, Process* started)
{
    *started = Launch(Uninstaller());
    ExpectBox(started->pid, Installer,
              "This removes Pellomark from the folder\n" + folder +
                  "\n\nIts program files, its program group and its registry entries are "
                  "deleted. Files that you added to the folder are kept.\n\nRemove Pellomark now?",
              "question", IDYES, 20000);
    Box done = WaitBox(Installer, 30000, started->pid);
    // Wine's Program Manager opens a folder window for the ShowGroup that
    // picks the group, over the closing box, before or after the box came:
    // the folder windows are closed, and the box raised and read again
    // while its icon is hidden.
    for (int round = 0; round < 3; ++round) {
        for (HWND window : TopWindows("", ""))
            if (ProcessOf(window) != started->pid && ClassOf(window) != "#32770") {
                PostMessageA(window, WM_CLOSE, 0, 0);
                WaitGone(window, 5000);
            }
        if (done.icon != "unknown")
            break;
        SetWindowPos(done.window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        done = WaitBox(Installer, 10000, started->pid);
    }
    return done;
}

void ExpectUninstallerGone(const Process& uninstaller)
{
    ExpectExitZero(uninstaller);
    CHECK(WaitUntil([] { return !Exists(Uninstaller()); }, 20000));
}

// ---- the payload -------------------------------------------------------------

namespace {

// The sample product's rows in table order; row 0 is the uninstaller.
const char* const Files[RowCount] = {"Quodgone.exe", "Quodpost.exe", "Quodpost.hlp", "Read_me.txt"};
const char* const Resources[RowCount] = {"PURGESET", "PROGRAM", "HELPFILE", "README"};

// The last character of a row's name replaced.
std::string Marked(const std::string& path, char mark)
{
    return path.substr(0, path.size() - 1) + mark;
}

}  // namespace

std::string Stored(const std::string& folder, int row)
{
    return Marked(folder + "\\" + Files[row], '_');
}

std::string Destination(const std::string& folder, int row)
{
    return (row == 0 ? WindowsDirectory() : folder) + "\\" + Files[row];
}

std::string SourceBytes(int row)
{
    std::string bytes = FileBytes("Z:" + Value("source" + std::to_string(row)));
    if (bytes == "(missing)")
        Require(__FILE__, __LINE__, "cannot read the source of row " + std::to_string(row));
    return bytes;
}

std::string ResourceBytes(int row) { return SetupResource(Resources[row]); }

void CheckNothingLeft(const std::string& folder)
{
    // A row is expanded first into a file whose name ends in '~'.
    for (int row = 0; row < RowCount; ++row)
        CHECK(!Exists(Stored(folder, row)) && !Exists(Marked(Destination(folder, row), '~')));
}

void CheckInstalled(const std::string& folder)
{
    for (int row = 0; row < RowCount; ++row)
        CHECK(SameBytes(Destination(folder, row), SourceBytes(row)));
    CheckNothingLeft(folder);
}

// Whether Everyone is let into the folder. Wine derives the access list from
// the folder's mode: one made with the installer's protected list lets
// Everyone in no more, one made without it still lets Everyone read.
bool EveryoneMayEnter(const std::string& folder)
{
    PACL list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoA(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, &list, nullptr, &descriptor) != ERROR_SUCCESS)
        return true;
    bool found = false;
    for (DWORD i = 0; list && i < list->AceCount && !found; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        found = GetAce(list, i, (void**)&ace) && ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE &&
                IsWellKnownSid((PSID)&ace->SidStart, WinWorldSid);
    }
    LocalFree(descriptor);
    return found;
}

// ---- the Start Menu ------------------------------------------------------------

std::string GroupFolder(const std::string& group)
{
    char programs[MAX_PATH] = "";
    REQUIRE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs)));
    return std::string(programs) + "\\" + group;
}

std::string Listing(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        if (strcmp(found.cFileName, ".") && strcmp(found.cFileName, ".."))
            names.push_back(found.cFileName);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    std::sort(names.begin(), names.end());
    std::string joined;
    for (const std::string& name : names)
        joined += (joined.empty() ? "" : " | ") + name;
    return joined;
}

}  // namespace pilot
