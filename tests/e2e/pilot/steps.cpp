#include "steps.h"
#include "lists.h"

#include <aclapi.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>

namespace pilot {

std::string Value(const std::string& name, const std::string& fallback)
{
    auto found = Opts().values.find(name);
    return found == Opts().values.end() ? fallback : found->second;
}

std::string WindowsPathOf(const std::string& linuxPath)
{
    std::string path = "Z:" + linuxPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string Product() { return Value("product", "Pellomark"); }
std::string AgreementCaption() { return Product() + " License Agreement"; }
std::string LocationCaption() { return Product() + " Program Location"; }
std::string CopyCaption() { return "Installing " + Product() + " Program Files"; }
std::string GroupCaption() { return Product() + " Program Group"; }

Process StartSetup(const std::string& arguments) { return Launch(Opts().setup, arguments); }

HWND MainWindow(const Process& setup, bool visibleOnly)
{
    return WaitTop(Installer, Installer, 0, setup.pid, visibleOnly);
}

void ExpectBox(DWORD pid, const std::string& caption, const std::string& text,
               const std::string& icon, int answer, DWORD milliseconds)
{
    Box box = WaitBox(caption, milliseconds, pid);
    CHECK_EQ(box.text, text);
    CHECK_EQ(box.icon, icon);
    Answer(box, answer);
}

void ExpectAbortNotice(DWORD pid) { ExpectBox(pid, Installer, AbortText, "warning"); }

void ExpectExitZero(const Process& setup, DWORD milliseconds)
{
    DWORD code = 12345;
    if (CHECK(WaitExit(setup, milliseconds, &code)))
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

void FinishGroup(const Process& setup, const std::string& group, int readMe, DWORD pressed)
{
    ExpectBox(0, group, "Shortcuts Created Successfully!", "information", IDOK, 60000);
    if (pressed) {
        Log("the success box came %lu ms after Continue", (unsigned long)(Now() - pressed));
        CHECK(Now() - pressed >= 12000);
    }
    ExpectBox(setup.pid, Installer,
              "Pellomark was successfully Installed.\n\nWould you like to view the Read Me file now?",
              "question", readMe);
    if (readMe == IDNO)
        ExpectBox(setup.pid, Installer, ThanksText, "information");
}

void Install(const Process& setup, const std::string& folder)
{
    ReachCopy(folder);
    Press(WaitPage(GroupCaption(), 120000), IDC_GROUP_CONTINUE);
    FinishGroup(setup, Product(), IDNO);
    ExpectExitZero(setup, 120000);
}

std::string SetupResource(LPCSTR name, LPCSTR type)
{
    HMODULE module = LoadLibraryExA(Opts().setup.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    REQUIRE(module != nullptr);
    std::string bytes;
    HRSRC found = FindResourceA(module, name, type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    if (const char* data = loaded ? (const char*)LockResource(loaded) : nullptr)
        bytes.assign(data, SizeofResource(module, found));
    FreeLibrary(module);
    return bytes;
}

void ExpectUnchanged(const Snapshot& before)
{
    std::vector<std::string> differences = Differences(before, TakeSnapshot());
    for (const std::string& difference : differences)
        Log("  %s", difference.c_str());
    CHECK(differences.empty());
}

std::string FileBytes(const std::string& path)
{
    std::string bytes;
    return ReadBytes(path, &bytes) ? bytes : "(missing)";
}

bool SameBytes(const std::string& path, const std::string& expected)
{
    std::string bytes;
    bool read = ReadBytes(path, &bytes);
    if (read && bytes == expected)
        return true;
    Log("%s: %s, %zu bytes where %zu were expected", path.c_str(), read ? "differs" : "missing",
        bytes.size(), expected.size());
    return false;
}

// ---- the uninstaller ------------------------------------------------------------

std::string Uninstaller() { return WindowsDirectory() + "\\Quodgone.exe"; }

Box Uninstall(const std::string& folder, Process* started, int answer, const std::string& exe)
{
    *started = Launch(exe);
    ExpectBox(started->pid, Installer,
              "This removes Pellomark from the folder\n" + folder +
                  "\n\nIts program files, its program group and its registry entries are "
                  "deleted. Files that you added to the folder are kept.\n\nRemove Pellomark now?",
              "question", answer, 20000);
    if (answer != IDYES)
        return Box();
    Box done = WaitBox(Installer, 30000, started->pid);
    // Wine's Program Manager opens a folder window for the ShowGroup that
    // picks the group, over the closing box: once the folder windows are
    // closed the box's icon can be read.
    bool closed = false;
    for (HWND window : TopWindows("", ""))
        if (ProcessOf(window) != started->pid && ClassOf(window) != "#32770") {
            PostMessageA(window, WM_CLOSE, 0, 0);
            closed = WaitGone(window, 5000) || closed;
        }
    return closed ? WaitBox(Installer, 10000, started->pid) : done;
}

void ExpectNotInstalled(const std::string& exe)
{
    Snapshot before = TakeSnapshot();
    Process uninstaller = Launch(exe);
    ExpectBox(uninstaller.pid, Installer,
              "Pellomark is not installed on this computer.\nNothing was changed.", "warning",
              IDOK, 20000);
    ExpectExitZero(uninstaller);
    pilot::Sleep(1000);
    ExpectUnchanged(before);
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

std::string Joined(const std::string& folder, const std::string& name)
{
    return folder + (folder.back() == '\\' ? "" : "\\") + name;
}

// The file beside the destination that a row is expanded into first.
std::string Expanding(const std::string& folder, int row)
{
    std::string path = Destination(folder, row);
    path.back() = '~';
    return path;
}

} // namespace

std::string Stored(const std::string& folder, int row)
{
    std::string path = Joined(folder, Files[row]);
    path.back() = '_';
    return path;
}

std::string Destination(const std::string& folder, int row)
{
    return Joined(row == 0 ? WindowsDirectory() : folder, Files[row]);
}

std::string SourceBytes(int row)
{
    std::string path = WindowsPathOf(Value("source" + std::to_string(row))), bytes;
    if (!ReadBytes(path, &bytes))
        Require(__FILE__, __LINE__, "cannot read the source of row " + std::to_string(row));
    return bytes;
}

std::string ResourceBytes(int row)
{
    std::string bytes = SetupResource(Resources[row]);
    if (bytes.empty())
        Require(__FILE__, __LINE__, std::string("setup has no resource ") + Resources[row]);
    return bytes;
}

void CheckNothingLeft(const std::string& folder)
{
    for (int row = 0; row < RowCount; ++row)
        CHECK(!Exists(Stored(folder, row)) && !Exists(Expanding(folder, row)));
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

// ---- the copy page -------------------------------------------------------------

std::string ReadLabels(HWND page)
{
    std::string reading;
    for (int id : {IDC_COPY_ACTION, IDC_COPY_FILE, IDC_COPY_PATH_LABEL, IDC_COPY_PATH}) {
        HWND label = GetDlgItem(page, id);
        if (!label)
            return "";
        reading += (id == IDC_COPY_ACTION ? "" : "|") + Text(label);
    }
    return IsWindow(page) ? reading : "";
}

std::vector<std::string> ExpectedLabels(const std::string& folder)
{
    std::vector<std::string> expected = {"Extracting:||Destination:|"};
    for (int row = 0; row < RowCount; ++row)
        expected.push_back("Extracting:|" + std::string(Files[row]) + "|Destination:|" +
                           Stored(folder, row));
    for (int row = 0; row < RowCount; ++row)
        expected.push_back("Copying:|" + Stored(folder, row) + "|Destination:|" +
                           Destination(folder, row));
    for (int row = 0; row < RowCount; ++row)
        expected.push_back("Removing:|" + Stored(folder, row) + "||");
    return expected;
}

// Samples the labels every few tens of milliseconds and the meter's fill
// along its top row (which its label never reaches) every 60 ms or so, until
// the page ends or a box comes. poke runs once, some way into the write phase.
Watch WatchCopy(HWND page, const Process& setup, const std::function<void(HWND)>& poke)
{
    Watch watch;
    HWND meter = Item(page, IDC_COPY_METER);
    RECT client = {};
    GetClientRect(meter, &client);
    watch.width = client.right;
    POINT origin = {0, 0};
    ClientToScreen(meter, &origin);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    DWORD start = Now(), lastLook = 0;
    bool poked = false;
    while (!(watch.ended = !IsWindow(page) || !IsWindowVisible(page))) {
        // A box keeps the page as it was when the box came; it is read once more.
        bool boxed = WaitTop("#32770", Installer, 0, setup.pid) != nullptr;
        std::string first = ReadLabels(page);
        if (!first.empty() && first == ReadLabels(page) &&
            (watch.labels.empty() || watch.labels.back() != first))
            watch.labels.push_back(first);
        if ((watch.boxed = boxed))
            break;
        if (Now() - lastLook >= 60) {
            lastLook = Now();
            // Counted only if the meter was on top on both sides of the capture.
            bool onTop = WindowFromPoint(origin) == meter;
            Picture screen = Capture();
            if (onTop && WindowFromPoint(origin) == meter) {
                int fill = 0;
                while (fill < watch.width && screen.At(origin.x + fill, origin.y) != face)
                    ++fill;
                watch.looks.push_back({fill, fill ? screen.At(origin.x, origin.y) : CLR_INVALID});
            }
        }
        if (poke && !poked && Now() - start > 600) {
            poked = true;
            poke(page);
        }
        if (Now() - start > 180000) {
            Failed(__FILE__, __LINE__, "the copy page ran for three minutes");
            break;
        }
        pilot::Sleep(20);
    }
    Log("watched the copy page for %lu ms: %zu label readings, %zu meter readings",
        (unsigned long)(Now() - start), watch.labels.size(), watch.looks.size());
    return watch;
}

void CheckLabels(const Watch& watch, const std::string& folder, size_t through)
{
    std::vector<std::string> expected = ExpectedLabels(folder);
    std::vector<bool> seen(expected.size());
    size_t last = 0;
    for (const std::string& reading : watch.labels) {
        auto found = std::find(expected.begin() + last, expected.end(), reading);
        if (!CHECK(found != expected.end())) {
            Log("  unexpected or out of order: %s", reading.c_str());
            continue;
        }
        seen[last = found - expected.begin()] = true;
        CHECK(reading.find("\\\\") == std::string::npos);
    }
    for (size_t i = 1; i <= through && i < expected.size(); ++i)
        if (!CHECK(seen[i]))
            Log("  never seen: %s", expected[i].c_str());
}

void CheckMeter(const Watch& watch, size_t phases, size_t fullPhases)
{
    // Write, expand, remove.
    const COLORREF colours[] = {0x000080, 0x800000, 0x008000};
    std::vector<COLORREF> order;
    std::vector<bool> full(phases);
    int previous = 0;
    for (const auto& [fill, colour] : watch.looks) {
        if (colour == CLR_INVALID)
            continue;
        if (order.empty() || order.back() != colour)
            order.push_back(colour);
        else if (!CHECK(fill >= previous))
            Log("  the fill went back from %d to %d pixels", previous, fill);
        previous = fill;
        for (size_t phase = 0; phase < phases; ++phase)
            if (colour == colours[phase] && fill == watch.width)
                full[phase] = true;
    }
    std::string seen;
    for (COLORREF colour : order)
        seen += " " + std::to_string(colour);
    Log("meter: %zu readings, fill colours%s", watch.looks.size(), seen.c_str());
    CHECK(order.size() >= fullPhases && order.size() <= phases &&
          std::equal(order.begin(), order.end(), colours));
    for (size_t i = 0; i < fullPhases; ++i)
        if (!CHECK(full[i]))
            Log("  phase %zu never showed a full bar", i);
}

// ---- the group page and the Start Menu ------------------------------------------

namespace {
HWND Combo(HWND page) { return Item(page, IDC_GROUP_COMBO); }
}

std::vector<std::string> GroupItems(HWND page) { return ListTexts(Combo(page), true); }
int GroupSelection(HWND page) { return ListSelection(Combo(page), true); }
std::string GroupFieldText(HWND page) { return Text(Combo(page)); }

// A simple combo's edit is its child 1001.
void TypeGroup(HWND page, const std::string& text) { Type(Combo(page), 1001, text); }

void CheckGroupPageAtStart(HWND page)
{
    CHECK_EQ(ItemText(page, IDC_ACCENT),
             std::string("Shortcuts for Pellomark will be installed to the following group:"));
    CHECK_EQ(GroupFieldText(page), std::string("Pellomark"));
    CHECK(IsWindowEnabled(Item(page, IDC_GROUP_CONTINUE)));
    CHECK(IsWindowEnabled(Item(page, IDC_GROUP_RESET)));
}

std::string GroupFolder(const std::string& group)
{
    char programs[MAX_PATH] = "";
    REQUIRE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs)));
    return std::string(programs) + "\\" + group;
}

std::vector<std::string> ShortcutNames(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::string ShortcutTarget(const std::string& path)
{
    std::string target = "<unreadable>";
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   (void**)&link)) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file))) {
        std::wstring wide(path.begin(), path.end());
        char text[MAX_PATH] = "";
        if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ)) &&
            SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH)))
            target = text;
    }
    if (file)
        file->Release();
    if (link)
        link->Release();
    CoUninitialize();
    return target;
}

std::string Listed(const std::vector<std::string>& entries)
{
    std::string text;
    for (const std::string& entry : entries) {
        text += "\n      <";
        for (unsigned char c : entry) {
            char hex[8];
            snprintf(hex, sizeof hex, c < 32 ? "\\x%02x" : "%c", c);
            text += hex;
        }
        text += ">";
    }
    return text;
}

} // namespace pilot
