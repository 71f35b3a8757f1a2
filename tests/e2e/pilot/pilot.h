// The pilot: a Windows program of ours that drives the real setup executable
// the way a person would, and reads back what it did. Journeys are plain
// functions registered with SCENARIO; the runner (pilot.cpp) executes one by
// name. All of it is defined here, inline, so that this header is the one
// place a means is written: the general means first, then the sample
// product's facts and the steps through its pages that the journeys share.
#ifndef PILOT_H
#define PILOT_H

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shlobj.h>
#include <stdio.h>

#include "resources/resource.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <vector>

namespace pilot {

// --setup, --shots, --work and --tools by those names; --set name=value by name.
inline std::map<std::string, std::string> values;

// ---- checks ----------------------------------------------------------------
inline int failures = 0;

#define Log(...) (printf("[%7.3f] ", GetTickCount() / 1000.0), printf(__VA_ARGS__), puts(""))

inline bool Failed(const char* file, int line, const std::string& what)
{
    Log("FAILED %s:%d: %s", file, line, what.c_str());
    ++failures;
    return false;
}

// Each side is evaluated once: what is reported is what was compared.
template <class A, class B>
bool CheckEqual(const char* file, int line, const char* a, const char* b, const A& x, const B& y)
{
    if (x == y)
        return true;
    std::ostringstream s;
    s << a << " == " << b << "\n    got:      [" << x << "]\n    expected: [" << y << "]";
    return Failed(file, line, s.str());
}

// Thrown by STOP and REQUIRE to end the journey at once; the runner catches it.
struct Stop {};

#define CHECK(cond)    ((cond) || ::pilot::Failed(__FILE_NAME__, __LINE__, "CHECK(" #cond ")"))
#define CHECK_EQ(a, b) ::pilot::CheckEqual(__FILE_NAME__, __LINE__, #a, #b, (a), (b))
#define STOP(what)     (::pilot::Failed(__FILE_NAME__, __LINE__, what), throw ::pilot::Stop{})
#define REQUIRE(cond)  ((cond) ? (void)0 : STOP("REQUIRE(" #cond ")"))

// ---- processes -------------------------------------------------------------
struct Process {
    HANDLE handle = 0;
    DWORD pid = 0;
};
// Started programs still running at the end of the journey are ended.
inline std::vector<Process> launched;

inline Process Launch(const std::string& exe, const std::string& arguments = "",
                      const std::string& folder = "")
{
    std::string line = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info))
        STOP("cannot start " + line);
    CloseHandle(info.hThread);
    Log("started %s (pid %lu)", line.c_str(), info.dwProcessId);
    return launched.emplace_back(Process{info.hProcess, info.dwProcessId});
}

// ---- waiting and windows ---------------------------------------------------
inline LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
    return (LRESULT)result;
}

// Polls until the condition holds; false on time-out.
inline bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds)
{
    for (DWORD start = GetTickCount(); !condition(); Sleep(20))
        if (GetTickCount() - start >= milliseconds)
            return false;
    return true;
}

inline bool WaitGone(HWND w, DWORD ms)
{
    return WaitUntil([&] { return !IsWindowVisible(w); }, ms);
}

inline std::string Lower(std::string text)
{
    CharLowerBuffA(&text[0], (DWORD)text.size());
    return text;
}

inline std::string ClassOf(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

inline std::string Text(HWND window)
{
    std::vector<char> text(Ask(window, WM_GETTEXTLENGTH) + 2);
    size_t copied = Ask(window, WM_GETTEXT, text.size(), (LPARAM)text.data());
    return std::string(text.data(), std::min(copied, text.size() - 2));
}

inline DWORD ProcessOf(HWND window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

inline HWND Item(HWND page, int id)
{
    HWND item = GetDlgItem(page, id);
    if (!item)
        STOP("\"" + Text(page) + "\" has no control " + std::to_string(id));
    return item;
}

// Lets the window's thread process what was posted to it: a sent message is
// answered only once the thread is back in its loop.
inline void Settle(HWND window)
{
    Ask(window, WM_NULL);
    Sleep(50);
    Ask(window, WM_NULL);
}

// A dialog's parts: its static text and its icon control; the rest is
// filled in by WaitBox.
struct Box {
    HWND window = 0, owner = 0, iconControl = 0;
    // The icon: "warning", "error", "information", "question", "none" or "unknown".
    std::string text, icon;
    DWORD came = 0;  // GetTickCount() when it was found
};

inline Box Parts(HWND window)
{
    Box box{window, GetWindow(window, GW_OWNER)};
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (Lower(ClassOf(child)) != "static")
            continue;
        else if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            box.iconControl = child;
        else
            box.text += Text(child);
    return box;
}

// Visible top-level windows of a class and caption (either ignored when
// empty), of a process (any for 0), that pass a test (if given).
inline std::vector<HWND> TopWindows(const std::string& className, const std::string& caption,
                                    DWORD pid = 0, bool (*also)(HWND) = nullptr)
{
    std::vector<HWND> found;
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT))
        if (IsWindowVisible(window) && (!pid || ProcessOf(window) == pid) &&
            (className.empty() || ClassOf(window) == className) &&
            (caption.empty() || Text(window) == caption) && (!also || also(window)))
            found.push_back(window);
    return found;
}

// The first such window to come, or 0 on time-out (at once for 0 ms).
inline HWND WaitTop(const std::string& className, const std::string& caption,
                    DWORD milliseconds = 0, DWORD pid = 0, bool (*also)(HWND) = nullptr)
{
    std::vector<HWND> found;
    WaitUntil([&] { return !(found = TopWindows(className, caption, pid, also)).empty(); },
              milliseconds);
    return found.empty() ? nullptr : found.front();
}

// When WaitPage last found its window.
inline DWORD foundAt = 0;

// A visible dialog with this exact caption, of the process (any for 0), that
// passes the test (if given); stops the journey, saying what the dialogs on
// screen say, if none comes.
inline HWND WaitPage(const std::string& caption, DWORD milliseconds = 15000, DWORD pid = 0,
                     bool (*also)(HWND) = nullptr)
{
    HWND page = WaitTop("#32770", caption, milliseconds, pid, also);
    foundAt = GetTickCount();
    if (!page) {
        std::string shown;
        for (HWND box : TopWindows("#32770", ""))
            shown += "; a window \"" + Text(box) + "\" says: " + Parts(box).text;
        STOP("no window captioned \"" + caption + "\" came" + shown);
    }
    Settle(page);
    Log("window \"%s\"", caption.c_str());
    return page;
}

// ---- input -----------------------------------------------------------------
// A button pressed the way a click does (BM_CLICK, posted).
inline void Press(HWND page, int id)
{
    Log("press %d \"%s\" on \"%s\"", id, Text(Item(page, id)).c_str(), Text(page).c_str());
    PostMessageA(Item(page, id), BM_CLICK, 0, 0);
}

// Replaces an edit field's text by typing it, so its own limits apply (empty:
// leaves it as it is).
inline void Type(HWND page, int id, const std::string& text)
{
    Ask(Item(page, id), EM_SETSEL, 0, -1);
    for (unsigned char c : text)
        Ask(Item(page, id), WM_CHAR, c, 1);
    Log("typed %zu characters into %d", text.size(), id);
}

inline HWND Focused(HWND window)
{
    GUITHREADINFO info = {sizeof info};
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus
                                                                              : nullptr;
}

// A key on the control that has the focus in the page, or on the page.
inline void Key(HWND page, int virtualKey)
{
    HWND target = Focused(page);
    if (!target || (target != page && !IsChild(page, target)))
        target = page;
    LPARAM scan = MapVirtualKeyA(virtualKey, 0) << 16;
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | scan);
    PostMessageA(target, WM_KEYUP, virtualKey, 1 | scan | (3u << 30));
    Log("key %d on \"%s\"", virtualKey, Text(page).c_str());
}

// ---- files -----------------------------------------------------------------
inline bool Exists(const std::string& p) { return GetFileAttributesA(p.c_str()) != ~DWORD(0); }

// The file's bytes, or "(missing)".
inline std::string FileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return file ? std::string(std::istreambuf_iterator<char>(file), {}) : "(missing)";
}

inline bool WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary);
    return file.write(bytes.data(), bytes.size()) && (file.close(), !file.fail());
}

// The file opened so, as another program holding it would.
inline HANDLE Hold(const std::string& path, DWORD access, DWORD sharing)
{
    HANDLE held = CreateFileA(path.c_str(), access, sharing, nullptr, OPEN_EXISTING, 0, nullptr);
    REQUIRE(held != INVALID_HANDLE_VALUE);
    return held;
}

// Byte for byte, without printing megabytes when it differs.
inline bool SameBytes(const std::string& path, const std::string& expected)
{
    std::string bytes = FileBytes(path);
    if (bytes != expected)
        Log("%s: %zu bytes, not the %zu expected", path.c_str(), bytes.size(), expected.size());
    return bytes == expected;
}

inline bool MakeFolders(const std::string& p)
{
    return SHCreateDirectoryExA(0, p.c_str(), 0), Exists(p);
}

// Where Wine keeps Windows, the same for both builds.
const std::string Windows = "C:\\windows";

// ---- screen ----------------------------------------------------------------
struct Picture {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;  // COLORREF 0x00BBGGRR, top-down rows
    COLORREF At(int x, int y) const
    {
        return x < 0 || y < 0 || x >= width || y >= height ? CLR_INVALID
                                                           : pixels[(size_t)y * width + x];
    }
};

// What draw paints on a width x height bitmap, black at first.
inline Picture Drawn(int width, int height, const std::function<void(HDC)>& draw)
{
    BITMAPINFO info = {{sizeof info.bmiHeader, width, -height, 1, 32}};
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, section);
    draw(memory);
    GdiFlush();
    Picture picture{width, height};
    for (const DWORD* p = (const DWORD*)bits; p < (const DWORD*)bits + width * height; ++p)
        picture.pixels.push_back(RGB(*p >> 16 & 255, *p >> 8 & 255, *p & 255));
    SelectObject(memory, previous);
    DeleteObject(section);
    DeleteDC(memory);
    return picture;
}

// The screen; with a name, saved in the screenshot folder as NN-name.bmp
// (32 bits a pixel, top row first: no row padding and no turning over).
inline Picture Shot(const std::string& name = "")
{
    static int number = 0;
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    Picture picture = Drawn(width, height, [&](HDC memory) {
        HDC screen = GetDC(nullptr);
        BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY | CAPTUREBLT);
        ReleaseDC(nullptr, screen);
    });
    if (name.empty())
        return picture;
    BITMAPINFOHEADER header = {sizeof header, width, -height, 1, 32};
    BITMAPFILEHEADER file = {0x4D42, 0, 0, 0, sizeof file + sizeof header};
    file.bfSize = file.bfOffBits + 4 * picture.pixels.size();
    std::string bytes = std::string((const char*)&file, sizeof file) +
                        std::string((const char*)&header, sizeof header);
    for (COLORREF c : picture.pixels)
        bytes += {(char)GetBValue(c), (char)GetGValue(c), (char)GetRValue(c), (char)255};
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\%02d-%s.bmp", values["shots"].c_str(), ++number, name.c_str());
    Log(WriteBytes(path, bytes) ? "screenshot %s" : "could not save %s", path);
    return picture;
}

// ---- message boxes -----------------------------------------------------------
// Which system icon the box shows, told by comparing its pixels with the
// system icons drawn on the same background.
inline std::string IconKind(HWND control)
{
    if (!control || !IsWindowVisible(control))
        return "none";
    RECT r = {};
    GetWindowRect(control, &r);
    int size = GetSystemMetrics(SM_CXICON), bestScore = size * size * 9 / 10;
    Picture screen = Shot();
    std::string best = "unknown";
    // The four system icons in the order of their ids.
    const char* const names[] = {"error", "question", "warning", "information"};
    for (int i = 0; i < 4; ++i) {
        Picture drawn = Drawn(size, size, [&](HDC dc) {
            RECT all = {0, 0, size, size};
            SetBkColor(dc, screen.At(r.left + size, r.top));
            ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &all, "", 0, nullptr);
            DrawIconEx(dc, 0, 0, LoadIconA(0, IDI_HAND + i), size, size, 0, 0, DI_NORMAL);
        });
        int score = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                score += drawn.At(x, y) == screen.At(r.left + x, r.top + y);
        if (score > bestScore)
            bestScore = score, best = names[i];
    }
    return best;
}

// The next message box of the process (any for 0) captioned so, read once
// painted; stops the journey if none comes.
inline Box WaitBox(const std::string& caption, DWORD milliseconds = 15000, DWORD pid = 0)
{
    // Only boxes bear these captions; one under another box is disabled.
    Box box = Parts(WaitPage(caption, milliseconds, pid,
                             [](HWND box) { return IsWindowEnabled(box) != FALSE; }));
    box.came = foundAt;
    // It may not be painted yet on a busy machine: look again a while.
    while ((box.icon = IconKind(box.iconControl)) == "unknown" && GetTickCount() - foundAt < 3000)
        Sleep(100);
    Log("box (%s): %s", box.icon.c_str(), box.text.c_str());
    return box;
}

// Answers with a button: IDOK, IDYES, IDNO ...
inline void Answer(const Box& box, int button)
{
    PostMessageA(Item(box.window, button), BM_CLICK, 0, 0);
    CHECK(WaitGone(box.window, 5000));
}

// A box of the process (any process for 0) captioned so: its text and icon
// checked, then answered.
inline Box ExpectBox(DWORD pid, const std::string& caption, const std::string& text,
                     const std::string& icon, int answer = IDOK, DWORD milliseconds = 15000)
{
    Box box = WaitBox(caption, milliseconds, pid);
    CHECK_EQ(box.text, text);
    CHECK_EQ(box.icon, icon);
    Answer(box, answer);
    return box;
}

// ---- registry --------------------------------------------------------------
// The view the setup under test writes to.
inline REGSAM SetupView()
{
    DWORD kind = SCS_64BIT_BINARY;
    GetBinaryTypeA(values["setup"].c_str(), &kind);
    return kind == SCS_32BIT_BINARY ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
}

// A value below HKLM in that view: its type, ':' and its bytes, terminator
// included ("" when missing); with no name, "key" when the key is there.
inline std::string Reg(const std::string& key, const char* name = nullptr)
{
    HKEY opened;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | SetupView(), &opened))
        return "";
    char data[4096];
    DWORD type = 0, size = sizeof data;
    LONG status = name ? RegQueryValueExA(opened, name, nullptr, &type, (BYTE*)data, &size) : 0;
    RegCloseKey(opened);
    return status ? "" : name ? std::to_string(type) + ":" + std::string(data, size) : "key";
}

// ---- before and after ------------------------------------------------------
// Files under C:\ (sizes and write times) and the registry below HKLM and
// HKCU, minus what Wine itself churns: path -> description.
typedef std::map<std::string, std::string> Snapshot;

// What Wine and the desktop change by themselves whatever the program does.
inline bool Churn(const std::string& path)
{
    std::string lowerPath = Lower(path);
    // The 32-bit view churns as the 64-bit one does.
    if (lowerPath.compare(0, 7, "hklm32\\") == 0)
        lowerPath.erase(4, 2);
    for (const char* part :
         {"c:\\windows\\temp", "\\appdata\\local\\temp", "c:\\windows\\system32\\config",
          "hkcu\\software\\wine\\", "hklm\\system\\", "hklm\\hardware\\",
          "hklm\\software\\microsoft\\windows nt\\currentversion\\perflib",
          "hkcu\\volatile environment",
          // Links back into the tree; the class registrations are not ours.
          "hklm\\software\\wow6432node\\", "hklm\\software\\classes\\", "hkcu\\software\\classes\\",
          "\\software\\microsoft\\windows\\currentversion\\explorer\\"})
        if (lowerPath.find(part) != std::string::npos)
            return true;
    return false;
}

inline void ListFiles(const std::string& folder, Snapshot* snapshot)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        std::string name = found.cFileName, path = folder + "\\" + name;
        if (name == "." || name == ".." || Churn(path) || Lower(path) == Lower(values["work"]) ||
            Lower(path) == Lower(values["shots"]))
            continue;
        bool isFolder = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        ULONGLONG written = (ULONGLONG)found.ftLastWriteTime.dwHighDateTime << 32 |
                            found.ftLastWriteTime.dwLowDateTime;
        (*snapshot)[path] = isFolder ? "folder"
                                     : "file " + std::to_string(found.nFileSizeLow) +
                                           " bytes, written " + std::to_string(written);
        if (isFolder)
            ListFiles(path, snapshot);
    }
    FindClose(search);
}

inline void ListKeys(HKEY key, const std::string& path, Snapshot* snapshot, int depth = 0)
{
    std::string lower = Lower(path);
    if (Churn(lower + "\\") || depth > 16)
        return;
    (*snapshot)[lower] = "key";
    char name[512];
    std::vector<BYTE> data(1 << 16);
    for (LONG i = 0, status = 0; status != ERROR_NO_MORE_ITEMS; ++i) {
        DWORD nameSize = sizeof name, type = 0, size = (DWORD)data.size();
        status = RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data.data(), &size);
        if (status == ERROR_SUCCESS)
            (*snapshot)[lower + "\\\\" + Lower(name)] = "type " + std::to_string(type) + ": " +
                                                        std::string((char*)data.data(), size);
    }
    HKEY child;
    for (DWORD i = 0; RegEnumKeyA(key, i, name, sizeof name) == ERROR_SUCCESS; ++i)
        if (RegOpenKeyExA(key, name, 0, KEY_READ, &child) == ERROR_SUCCESS) {
            ListKeys(child, path + "\\" + name, snapshot, depth + 1);
            RegCloseKey(child);
        }
}

inline Snapshot TakeSnapshot()
{
    Snapshot snapshot;
    ListFiles("C:", &snapshot);
    ListKeys(HKEY_LOCAL_MACHINE, "HKLM", &snapshot);
    // Wow6432Node is left out above (Wine links it back into the tree): the
    // 32-bit view of HKLM\Software is listed through the view itself.
    HKEY software32;
    if (!RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ | KEY_WOW64_32KEY, &software32))
        ListKeys(software32, "HKLM32\\Software", &snapshot), RegCloseKey(software32);
    ListKeys(HKEY_CURRENT_USER, "HKCU", &snapshot);
    return snapshot;
}

// What changed since before, each logged: path -> "<then> -> <now>", with
// "(none)" for nothing.
inline Snapshot Differences(const Snapshot& before)
{
    const Snapshot after = TakeSnapshot();
    Snapshot changed;
    auto of = [](const Snapshot& side, const std::string& path) {
        return side.count(path) ? side.at(path) : "(none)";
    };
    for (const Snapshot* side : {&before, &after})
        for (const auto& [path, what] : *side)
            if (of(before, path) != of(after, path))
                changed[path] = of(before, path) + " -> " + of(after, path);
    for (const auto& [path, change] : changed)
        Log("  %s: %s", path.c_str(), change.c_str());
    return changed;
}

inline void ExpectUnchanged(const Snapshot& before) { CHECK(Differences(before).empty()); }

// ==== the sample product and the steps through its pages =====================
const char* const Installer = "Cratewise";
const char* const DefaultFolder = "C:\\Dornwick\\Pellomark";
const char* const AbortText =
    "Installation Aborted!\n\nIf you need assistance you can email\nsupport at - "
    "support@dornwick.example!";
const char* const UninstallEntry =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pellomark";
const char* const ThanksText =
    "Before you begin exploring, I would like to\r\nThank You for taking the time to evaluate "
    "my\r\nproduct Pellomark. If you have any questions you\r\ncan email me at "
    "support@dornwick.example!";

// The product under test (--set product=...) and its pages' captions.
inline std::string Product() { return values.count("product") ? values["product"] : "Pellomark"; }
inline std::string AgreementCaption() { return Product() + " License Agreement"; }
inline std::string LocationCaption() { return Product() + " Program Location"; }
inline std::string CopyCaption() { return "Installing " + Product() + " Program Files"; }
inline std::string GroupCaption() { return Product() + " Program Group"; }

inline Process StartSetup(const std::string& line = "") { return Launch(values["setup"], line); }

inline std::string SetupResource(LPCSTR name, LPCSTR type = (LPCSTR)RT_RCDATA)
{
    HMODULE module = LoadLibraryExA(values["setup"].c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = module ? FindResourceA(module, name, type) : nullptr;
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    if (!loaded)
        STOP("setup has no resource " +
             (IS_INTRESOURCE(name) ? "#" + std::to_string((uintptr_t)name) : name));
    std::string bytes((const char*)LockResource(loaded), SizeofResource(module, found));
    FreeLibrary(module);
    return bytes;
}

inline void ExpectExitZero(const Process& process, DWORD milliseconds = 20000)
{
    DWORD code = 12345;
    CHECK(WaitForSingleObject(process.handle, milliseconds) == WAIT_OBJECT_0 &&
          GetExitCodeProcess(process.handle, &code));
    CHECK_EQ(code, 0ul);
}

// The pages up to the one named, with their defaults (the folder typed when given).
inline HWND ReachLocation()
{
    Press(WaitPage(AgreementCaption(), 20000), IDC_AFFIRM);
    return WaitPage(LocationCaption());
}

inline HWND ReachCopy(const std::string& folder = "")
{
    HWND location = ReachLocation();
    Type(location, IDC_FOLDER_EDIT, folder);
    Press(location, IDC_AFFIRM);
    return WaitPage(CopyCaption());
}

// The group's success box, the read-me question answered, after No the
// thanks; returns when the success box came.
inline DWORD FinishGroup(const Process& setup, int readMe)
{
    Box done = ExpectBox(0, "Pellomark", "Shortcuts Created Successfully!", "information", IDOK,
                         60000);
    ExpectBox(setup.pid, Installer,
              "Pellomark was successfully Installed.\n\nWould you like to view the Read Me file "
              "now?",
              "question", readMe);
    if (readMe == IDNO)
        ExpectBox(setup.pid, Installer, ThanksText, "information");
    return done.came;
}

// From the first page to the end with the default answers.
inline void Install(const Process& setup, const std::string& folder = "")
{
    ReachCopy(folder);
    Press(WaitPage(GroupCaption(), 120000), IDC_GROUP_CONTINUE);
    FinishGroup(setup, IDNO);
    ExpectExitZero(setup, 120000);
}

// A refusal on page: the notice owned by it, exit 0, no page next and
// nothing changed since before.
inline void ExpectRefused(const Process& setup, HWND page, const std::string& next,
                          const Snapshot& before)
{
    CHECK(ExpectBox(setup.pid, Installer, AbortText, "warning", IDOK, 10000).owner == page);
    ExpectExitZero(setup);
    CHECK(!WaitTop("#32770", next));
    ExpectUnchanged(before);
}

// The face up to the agreement page at this screen size, all checked
// (first_look.cpp). Returns the agreement page.
HWND FirstLook(const Process& setup);

// ---- the payload -----------------------------------------------------------
// The sample product's rows in table order; row 0, the uninstaller, goes to
// the Windows directory.
const int RowCount = 4;
const char* const Files[RowCount] = {"Quodgone.exe", "Quodpost.exe", "Quodpost.hlp", "Read_me.txt"};
const char* const Resources[RowCount] = {"PURGESET", "PROGRAM", "HELPFILE", "README"};

inline std::string Uninstaller() { return Windows + "\\Quodgone.exe"; }
inline auto Destination(const std::string& f, int r) { return (r ? f : Windows) + "\\" + Files[r]; }
// The last character of a path replaced: Name.ex_ for a stored copy, and
// Name.ex~ for a file being expanded.
inline auto Marked(const std::string& p, char mark) { return p.substr(0, p.size() - 1) + mark; }
inline auto Stored(const std::string& f, int row) { return Marked(f + "\\" + Files[row], '_'); }
// The file the build made the row from, and the row as the executable carries it.
inline std::string SourceBytes(int row)
{
    std::string bytes = FileBytes("Z:" + values["source" + std::to_string(row)]);
    REQUIRE(bytes != "(missing)");
    return bytes;
}
inline std::string ResourceBytes(int row) { return SetupResource(Resources[row]); }

// What each row's destination holds: "" for the row installed byte for
// byte, else those bytes ("(missing)" for none); and no stored copy or
// half-expanded file left.
inline void ExpectRows(const std::string& folder, const std::vector<std::string>& rows)
{
    for (int row = 0; row < RowCount; ++row) {
        CHECK(!Exists(Stored(folder, row)) && !Exists(Marked(Destination(folder, row), '~')));
        CHECK(
            SameBytes(Destination(folder, row), rows[row].empty() ? SourceBytes(row) : rows[row]));
    }
}

// The product's group folder among the Start Menu's programs.
inline const std::string GroupFolder = [] {
    char programs[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs);
    return std::string(programs) + "\\Pellomark";
}();

// ---- registration ----------------------------------------------------------
inline std::map<std::string, void (*)()> scenarios;

}  // namespace pilot

// SCENARIO(name, screen width, screen height): the CMake file makes one test
// of each line and the harness starts a display of that size.
#define SCENARIO(name, width, height)                                                              \
    static void scenario_##name();                                                                 \
    static bool registered_##name = ::pilot::scenarios.emplace(#name, scenario_##name).second;     \
    static void scenario_##name()

// A journey of a fault (a disk, a file or the executable that goes wrong),
// labelled apart.
#define FAULT_SCENARIO(name, width, height) SCENARIO(name, width, height)

// A journey whose tests the CMake file declares by hand.
#define SCENARIO_BY_HAND(name, width, height) SCENARIO(name, width, height)

#endif
