#include "pilot.h"

#include <stdarg.h>
#include <stdio.h>
#include <shlobj.h>

#include <algorithm>

namespace pilot {

namespace {

std::map<std::string, std::string> values;
int failures = 0;
int shotNumber = 0;
std::vector<Process> launched;

std::map<std::string, void (*)()>& Scenarios()
{
    static std::map<std::string, void (*)()> scenarios;
    return scenarios;
}

LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
    return (LRESULT)result;
}

}  // namespace

std::string Value(const std::string& name, const std::string& fallback)
{
    auto found = values.find(name);
    return found == values.end() ? fallback : found->second;
}

std::string Lower(std::string text)
{
    CharLowerBuffA(&text[0], (DWORD)text.size());
    return text;
}

void Log(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    printf("[%7.3f] ", GetTickCount() / 1000.0);
    vprintf(format, args);
    printf("\n");
    va_end(args);
}

void Failed(const char* file, int line, const std::string& what)
{
    ++failures;
    const char* base = strrchr(file, '/');
    Log("FAILED %s:%d: %s", base ? base + 1 : file, line, what.c_str());
}

void Require(const char* file, int line, const std::string& what)
{
    Failed(file, line, what);
    throw Stop{};
}

// ---- processes ---------------------------------------------------------------

Process Launch(const std::string& exe, const std::string& arguments, const std::string& folder)
{
    std::string line = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info))
        Require(__FILE__, __LINE__, "cannot start " + line);
    CloseHandle(info.hThread);
    launched.push_back({info.hProcess, info.dwProcessId});
    Log("started %s (pid %lu)", line.c_str(), info.dwProcessId);
    return launched.back();
}

void Kill(const Process& process)
{
    if (WaitForSingleObject(process.handle, 0) == WAIT_TIMEOUT &&
        TerminateProcess(process.handle, 99))
        WaitForSingleObject(process.handle, 5000);
}

// ---- waiting and windows -------------------------------------------------------

DWORD Now() { return GetTickCount(); }

bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds)
{
    for (DWORD start = Now();; ::Sleep(20)) {
        if (condition())
            return true;
        if (Now() - start >= milliseconds)
            return false;
    }
}

std::string ClassOf(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string Text(HWND window)
{
    std::vector<char> text(Ask(window, WM_GETTEXTLENGTH) + 2);
    size_t copied = Ask(window, WM_GETTEXT, text.size(), (LPARAM)text.data());
    return std::string(text.data(), std::min(copied, text.size() - 2));
}

DWORD ProcessOf(HWND window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

std::vector<HWND> TopWindows(const std::string& className, const std::string& caption, DWORD pid,
                             bool visibleOnly)
{
    std::vector<HWND> all, found;
    EnumWindows(
        [](HWND window, LPARAM list) {
            ((std::vector<HWND>*)list)->push_back(window);
            return TRUE;
        },
        (LPARAM)&all);
    for (HWND window : all)
        if ((!visibleOnly || IsWindowVisible(window)) && (!pid || ProcessOf(window) == pid) &&
            (className.empty() || ClassOf(window) == className) &&
            (caption.empty() || Text(window) == caption))
            found.push_back(window);
    return found;
}

HWND WaitTop(const std::string& className, const std::string& caption, DWORD milliseconds,
             DWORD pid, bool visibleOnly)
{
    std::vector<HWND> found;
    WaitUntil([&] { return !(found = TopWindows(className, caption, pid, visibleOnly)).empty(); },
              milliseconds);
    return found.empty() ? nullptr : found.front();
}

bool WaitGone(HWND window, DWORD milliseconds)
{
    return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, milliseconds);
}

HWND Item(HWND page, int id)
{
    HWND item = GetDlgItem(page, id);
    if (!item)
        Require(__FILE__, __LINE__, "\"" + Text(page) + "\" has no control " + std::to_string(id));
    return item;
}

std::string ItemText(HWND page, int id) { return Text(Item(page, id)); }

void Settle(HWND window)
{
    // A sent message is answered only once the thread is back in its loop.
    Ask(window, WM_NULL);
    ::Sleep(50);
    Ask(window, WM_NULL);
}

// ---- input ---------------------------------------------------------------------

void Press(HWND page, int id)
{
    HWND button = Item(page, id);
    Log("press %d \"%s\" on \"%s\"", id, Text(button).c_str(), Text(page).c_str());
    PostMessageA(button, BM_CLICK, 0, 0);
}

void Type(HWND page, int id, const std::string& text)
{
    HWND edit = Item(page, id);
    Ask(edit, EM_SETSEL, 0, -1);
    for (unsigned char c : text)
        Ask(edit, WM_CHAR, c, 1);
    Log("typed %zu characters into %d", text.size(), id);
}

HWND Focused(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus
                                                                              : nullptr;
}

void Key(HWND page, int virtualKey)
{
    HWND target = Focused(page);
    if (!target || (target != page && !IsChild(page, target)))
        target = page;
    LPARAM scan = MapVirtualKeyA(virtualKey, 0) << 16;
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | scan);
    PostMessageA(target, WM_KEYUP, virtualKey, 1 | scan | (3u << 30));
    Log("key %d on \"%s\"", virtualKey, Text(page).c_str());
}

// ---- screen ----------------------------------------------------------------------

COLORREF Picture::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return CLR_INVALID;
    return pixels[(size_t)y * width + x];
}

Picture Drawn(int width, int height, const std::function<void(HDC)>& draw)
{
    Picture picture;
    picture.width = width;
    picture.height = height;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32};
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, section);
    draw(memory);
    GdiFlush();
    for (const DWORD* p = (const DWORD*)bits; p < (const DWORD*)bits + width * height; ++p)
        picture.pixels.push_back(RGB(*p >> 16 & 255, *p >> 8 & 255, *p & 255));
    SelectObject(memory, previous);
    DeleteObject(section);
    DeleteDC(memory);
    return picture;
}

Picture Capture()
{
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    return Drawn(width, height, [&](HDC memory) {
        HDC screen = GetDC(nullptr);
        BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY | CAPTUREBLT);
        ReleaseDC(nullptr, screen);
    });
}

Picture Shot(const std::string& name)
{
    Picture picture = Capture();
    char number[16];
    snprintf(number, sizeof number, "\\%02d-", ++shotNumber);
    std::string path = Value("shots") + number + name + ".bmp";
    // 32 bits a pixel, top row first: no row padding and no turning over.
    BITMAPINFOHEADER header = {sizeof header, picture.width, -picture.height, 1, 32};
    BITMAPFILEHEADER file = {0x4D42, 0, 0, 0, sizeof file + sizeof header};
    file.bfSize = file.bfOffBits + 4 * picture.pixels.size();
    std::string bytes = std::string((const char*)&file, sizeof file) +
                        std::string((const char*)&header, sizeof header);
    for (COLORREF c : picture.pixels)
        bytes += {(char)GetBValue(c), (char)GetGValue(c), (char)GetRValue(c), (char)255};
    Log(WriteBytes(path, bytes) ? "screenshot %s" : "could not save %s", path.c_str());
    return picture;
}

// ---- message boxes ---------------------------------------------------------------

namespace {

// A dialog's text, its icon control and whether it has a button.
struct BoxParts {
    std::string text;
    HWND icon = nullptr;
    bool hasButton = false;
};

BoxParts PartsOf(HWND window)
{
    BoxParts parts;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM found) {
            BoxParts* parts = (BoxParts*)found;
            std::string name = Lower(ClassOf(child));
            if (name == "button")
                parts->hasButton = true;
            else if (name == "static" &&
                     (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                parts->icon = child;
            else if (name == "static")
                parts->text += Text(child);
            return TRUE;
        },
        (LPARAM)&parts);
    return parts;
}

// Which system icon the box shows, told by comparing its pixels with the
// system icons drawn on the same background.
std::string IconKind(HWND control)
{
    if (!control || !IsWindowVisible(control))
        return "none";
    RECT r = {};
    GetWindowRect(control, &r);
    int size = GetSystemMetrics(SM_CXICON);
    Picture screen = Capture();
    const std::pair<const char*, LPCSTR> kinds[] = {{"warning", IDI_WARNING},
                                                    {"error", IDI_ERROR},
                                                    {"information", IDI_INFORMATION},
                                                    {"question", IDI_QUESTION}};
    std::string best = "unknown";
    int bestScore = size * size * 9 / 10;
    for (const auto& [name, id] : kinds) {
        HICON icon = LoadIconA(nullptr, id);
        Picture drawn = Drawn(size, size, [&](HDC dc) {
            HBRUSH brush = CreateSolidBrush(screen.At(r.left + size, r.top));
            RECT all = {0, 0, size, size};
            FillRect(dc, &all, brush);
            DeleteObject(brush);
            DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
        });
        int score = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                score += drawn.At(x, y) == screen.At(r.left + x, r.top + y);
        if (score > bestScore) {
            bestScore = score;
            best = name;
        }
    }
    return best;
}

bool IsBox(HWND window, const BoxParts& parts)
{
    return parts.hasButton && IsWindowEnabled(window) && !parts.text.empty();
}

}  // namespace

HWND WaitPage(const std::string& caption, DWORD milliseconds)
{
    HWND page = WaitTop("#32770", caption, milliseconds);
    if (!page) {
        std::string shown;
        for (HWND window : TopWindows("#32770", ""))
            if (IsBox(window, PartsOf(window)))
                shown += "; a window \"" + Text(window) + "\" says: " + PartsOf(window).text;
        Require(__FILE__, __LINE__, "no page captioned \"" + caption + "\" came" + shown);
    }
    Settle(page);
    Log("page \"%s\"", caption.c_str());
    return page;
}

Box WaitBox(const std::string& caption, DWORD milliseconds, DWORD pid)
{
    Box box;
    if (!WaitUntil(
            [&] {
                for (HWND window : TopWindows("#32770", caption, pid))
                    if (IsBox(window, PartsOf(window)))
                        return (box.window = window) != nullptr;
                return false;
            },
            milliseconds))
        Require(__FILE__, __LINE__, "no message box captioned \"" + caption + "\" came");
    box.came = Now();
    Settle(box.window);
    BoxParts parts = PartsOf(box.window);
    box.owner = GetWindow(box.window, GW_OWNER);
    box.text = parts.text;
    // It may not be painted yet on a busy machine: look again a while.
    DWORD looking = Now();
    while ((box.icon = IconKind(parts.icon)) == "unknown" && Now() - looking < 3000)
        ::Sleep(100);
    Log("box \"%s\" (%s): %s", Text(box.window).c_str(), box.icon.c_str(), box.text.c_str());
    return box;
}

void Answer(const Box& box, int button)
{
    PostMessageA(Item(box.window, button), BM_CLICK, 0, 0);
    if (!WaitGone(box.window, 5000))
        Failed(__FILE__, __LINE__, "the box did not close on button " + std::to_string(button));
}

// ---- files -----------------------------------------------------------------------

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FileBytes(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "(missing)";
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    bool ok = file != INVALID_HANDLE_VALUE &&
              WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, nullptr) &&
              written == bytes.size();
    return file != INVALID_HANDLE_VALUE && CloseHandle(file) && ok;
}

bool MakeFolders(const std::string& path)
{
    SHCreateDirectoryExA(nullptr, path.c_str(), nullptr);
    return IsFolder(path);
}

std::string WindowsDirectory()
{
    char folder[MAX_PATH] = "";
    GetWindowsDirectoryA(folder, sizeof folder);
    return folder;
}

namespace {
bool SetupIs32Bit()
{
    DWORD kind = SCS_64BIT_BINARY;
    GetBinaryTypeA(Value("setup").c_str(), &kind);
    return kind == SCS_32BIT_BINARY;
}

REGSAM RegistryView() { return SetupIs32Bit() ? KEY_WOW64_32KEY : KEY_WOW64_64KEY; }
}  // namespace

// ---- registry --------------------------------------------------------------------

bool RegText(HKEY root, const std::string& key, const std::string& value, std::string* text,
             DWORD* type, DWORD* size)
{
    HKEY opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | RegistryView(), &opened) != ERROR_SUCCESS)
        return false;
    char data[4096] = "";
    DWORD valueType = 0, valueSize = sizeof data - 1;
    bool ok = RegQueryValueExA(opened, value.c_str(), nullptr, &valueType, (BYTE*)data,
                               &valueSize) == ERROR_SUCCESS;
    RegCloseKey(opened);
    if (ok && text)
        text->assign(data, strnlen(data, valueSize));
    if (type)
        *type = valueType;
    if (size)
        *size = valueSize;
    return ok;
}

bool RegKeyExists(HKEY root, const std::string& key)
{
    HKEY opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | RegistryView(), &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

bool RegSetText(HKEY root, const std::string& key, const std::string& value,
                const std::string& text)
{
    HKEY opened;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | RegistryView(), nullptr,
                        &opened, nullptr) != ERROR_SUCCESS)
        return false;
    bool ok = RegSetValueExA(opened, value.c_str(), 0, REG_SZ, (const BYTE*)text.c_str(),
                             (DWORD)text.size() + 1) == ERROR_SUCCESS;
    RegCloseKey(opened);
    return ok;
}

// ---- before and after ------------------------------------------------------------

namespace {

// What Wine and the desktop change by themselves whatever the program does.
bool Churn(std::string lowerPath)
{
    // The 32-bit view churns as the 64-bit one does.
    if (lowerPath.compare(0, 7, "hklm32\\") == 0)
        lowerPath.erase(4, 2);
    static const char* const ignored[] = {
        "c:\\windows\\temp",
        "\\appdata\\local\\temp",
        "c:\\windows\\system32\\config",
        "hkcu\\software\\wine\\",
        "hklm\\system\\",
        "hklm\\hardware\\",
        "hklm\\software\\microsoft\\windows nt\\currentversion\\perflib",
        "hkcu\\volatile environment",
        // Links back into the tree; the class registrations are not ours.
        "hklm\\software\\wow6432node\\",
        "hklm\\software\\classes\\",
        "hkcu\\software\\classes\\",
        "\\software\\microsoft\\windows\\currentversion\\explorer\\",
    };
    for (const char* part : ignored)
        if (lowerPath.find(part) != std::string::npos)
            return true;
    return false;
}

void ListFiles(const std::string& folder, Snapshot* snapshot)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        std::string name = found.cFileName, path = folder + "\\" + name, lower = Lower(path);
        if (name == "." || name == ".." || Churn(lower) || lower == Lower(Value("work")) ||
            lower == Lower(Value("shots")))
            continue;
        bool folder = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        const FILETIME& t = found.ftLastWriteTime;
        ULONGLONG written = (ULONGLONG)t.dwHighDateTime << 32 | t.dwLowDateTime;
        (*snapshot)[lower] = folder ? "folder"
                                    : "file " + std::to_string(found.nFileSizeLow) +
                                          " bytes, written " + std::to_string(written);
        if (folder)
            ListFiles(path, snapshot);
    }
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
}

void ListKeys(HKEY key, const std::string& path, Snapshot* snapshot, int depth = 0)
{
    std::string lower = Lower(path);
    if (Churn(lower + "\\") || depth > 16)
        return;
    (*snapshot)[lower] = "key";
    char name[512];
    std::vector<BYTE> data(1 << 16);
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name, type = 0, dataSize = (DWORD)data.size();
        LONG status = RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data.data(),
                                    &dataSize);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status != ERROR_SUCCESS)
            continue;
        std::string value = "type " + std::to_string(type) + ":";
        for (DWORD j = 0; j < dataSize; ++j)
            value += " " + std::to_string(data[j]);
        (*snapshot)[lower + "\\\\" + Lower(name)] = value;
    }
    HKEY child;
    for (DWORD i = 0; RegEnumKeyA(key, i, name, sizeof name) == ERROR_SUCCESS; ++i)
        if (RegOpenKeyExA(key, name, 0, KEY_READ, &child) == ERROR_SUCCESS) {
            ListKeys(child, path + "\\" + name, snapshot, depth + 1);
            RegCloseKey(child);
        }
}

}  // namespace

Snapshot TakeSnapshot()
{
    Snapshot snapshot;
    ListFiles("C:", &snapshot);
    ListKeys(HKEY_LOCAL_MACHINE, "HKLM", &snapshot);
    // Wow6432Node is left out above (Wine links it back into the tree): the
    // 32-bit view of HKLM\Software is listed through the view itself.
    HKEY software32;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ | KEY_WOW64_32KEY, &software32) ==
        ERROR_SUCCESS) {
        ListKeys(software32, "HKLM32\\Software", &snapshot);
        RegCloseKey(software32);
    }
    ListKeys(HKEY_CURRENT_USER, "HKCU", &snapshot);
    return snapshot;
}

std::vector<std::string> Differences(const Snapshot& before, const Snapshot& after)
{
    std::vector<std::string> differences;
    for (const auto& [path, what] : before) {
        auto later = after.find(path);
        if (later == after.end())
            differences.push_back("removed " + path);
        else if (later->second != what)
            differences.push_back("changed " + path + " (" + what + " -> " + later->second + ")");
    }
    for (const auto& [path, what] : after)
        if (!before.count(path))
            differences.push_back("added " + path + " (" + what + ")");
    return differences;
}

// ---- registration and the runner ----------------------------------------------

bool Register(const char* name, void (*scenario)())
{
    return Scenarios().emplace(name, scenario).second;
}

}  // namespace pilot

int main(int argc, char** argv)
{
    using namespace pilot;
    setvbuf(stdout, nullptr, _IONBF, 0);
    for (int i = 2; i + 1 < argc; i += 2) {
        std::string flag = argv[i], value = argv[i + 1];
        if (flag == "--set")
            values[value.substr(0, value.find('='))] = value.substr(value.find('=') + 1);
        else
            values[flag.substr(2)] = value;
    }
    auto found = argc < 2 ? Scenarios().end() : Scenarios().find(argv[1]);
    if (found == Scenarios().end()) {
        fprintf(stderr, "usage: pilot <scenario> [--setup exe] [--shots dir] [--work dir]"
                        " [--tools dir] [--set name=value]...\n");
        return 2;
    }
    Log("scenario %s on a %dx%d screen", argv[1], GetSystemMetrics(SM_CXSCREEN),
        GetSystemMetrics(SM_CYSCREEN));
    try {
        found->second();
    } catch (const Stop&) {
        Log("scenario stopped");
    }
    for (const Process& process : launched) {
        if (WaitForSingleObject(process.handle, 0) == WAIT_TIMEOUT)
            Log("ending pid %lu, still running", process.pid);
        Kill(process);
        CloseHandle(process.handle);
    }
    Log("%s %s (%d failed checks)", failures ? "FAIL" : "PASS", argv[1], failures);
    return failures ? 1 : 0;
}
