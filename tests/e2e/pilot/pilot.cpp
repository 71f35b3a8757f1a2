#include "pilot.h"

#include <stdarg.h>
#include <stdio.h>

#include <algorithm>

namespace pilot {

namespace {

Options options;
int failures = 0;
int shotNumber = 0;
std::vector<Process> launched;

std::map<std::string, ScenarioFunction>& Scenarios()
{
    static std::map<std::string, ScenarioFunction> scenarios;
    return scenarios;
}

} // namespace

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return (char)tolower(c); });
    return text;
}

const Options& Opts() { return options; }

void Log(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    printf("[%7.3f] ", GetTickCount() / 1000.0);
    vprintf(format, args);
    printf("\n");
    fflush(stdout);
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
    throw Stop{what};
}

// ---- processes ---------------------------------------------------------------

Process Launch(const std::string& exe, const std::string& arguments, const std::string& folder)
{
    std::string line = "\"" + exe + "\"";
    if (!arguments.empty())
        line += " " + arguments;
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back(0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    Process process;
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
        Require(__FILE__, __LINE__, "cannot start " + line);
    }
    CloseHandle(info.hThread);
    process.handle = info.hProcess;
    process.pid = info.dwProcessId;
    launched.push_back(process);
    Log("started %s (pid %lu)", line.c_str(), (unsigned long)process.pid);
    return process;
}

bool WaitExit(const Process& process, DWORD milliseconds, DWORD* exitCode)
{
    if (WaitForSingleObject(process.handle, milliseconds) != WAIT_OBJECT_0)
        return false;
    DWORD code = 0;
    GetExitCodeProcess(process.handle, &code);
    if (exitCode)
        *exitCode = code;
    return true;
}

bool Running(const Process& process)
{
    return WaitForSingleObject(process.handle, 0) == WAIT_TIMEOUT;
}

void Kill(const Process& process)
{
    if (Running(process)) {
        TerminateProcess(process.handle, 99);
        WaitForSingleObject(process.handle, 5000);
    }
}

// ---- waiting -----------------------------------------------------------------

void Sleep(DWORD milliseconds) { ::Sleep(milliseconds); }

DWORD Now() { return GetTickCount(); }

bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start >= milliseconds)
            return false;
        ::Sleep(20);
    }
}

// ---- windows -----------------------------------------------------------------

std::string ClassOf(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string Text(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return "";
    std::vector<char> text(length + 2);
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, text.size(), (LPARAM)text.data(), SMTO_ABORTIFHUNG,
                        5000, &copied);
    return std::string(text.data(), std::min<size_t>(copied, length));
}

DWORD ProcessOf(HWND window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

namespace {

struct TopQuery {
    std::string className;
    std::string caption;
    DWORD pid;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTop(HWND window, LPARAM parameter)
{
    TopQuery* query = (TopQuery*)parameter;
    if (query->visibleOnly && !IsWindowVisible(window))
        return TRUE;
    if (query->pid && ProcessOf(window) != query->pid)
        return TRUE;
    if (!query->className.empty() && ClassOf(window) != query->className)
        return TRUE;
    if (!query->caption.empty() && Text(window) != query->caption)
        return TRUE;
    query->found.push_back(window);
    return TRUE;
}

} // namespace

std::vector<HWND> TopWindows(const std::string& className, const std::string& caption, DWORD pid,
                             bool visibleOnly)
{
    TopQuery query{className, caption, pid, visibleOnly, {}};
    EnumWindows(CollectTop, (LPARAM)&query);
    return query.found;
}

HWND WaitTop(const std::string& className, const std::string& caption, DWORD milliseconds,
             DWORD pid, bool visibleOnly)
{
    std::vector<HWND> found;
    WaitUntil([&] { return !(found = TopWindows(className, caption, pid, visibleOnly)).empty(); },
              milliseconds);
    return found.empty() ? nullptr : found.front();
}

namespace {
std::string ShownBoxes();
}

HWND WaitPage(const std::string& caption, DWORD milliseconds)
{
    HWND page = WaitTop("#32770", caption, milliseconds);
    if (!page)
        Require(__FILE__, __LINE__,
                "no page captioned \"" + caption + "\" came" + ShownBoxes());
    Settle(page);
    Log("page \"%s\"", caption.c_str());
    return page;
}

bool WaitGone(HWND window, DWORD milliseconds)
{
    return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, milliseconds);
}

HWND Item(HWND page, int id)
{
    HWND item = GetDlgItem(page, id);
    if (!item)
        Require(__FILE__, __LINE__, "page \"" + Text(page) + "\" has no control " + std::to_string(id));
    return item;
}

std::string ItemText(HWND page, int id) { return Text(Item(page, id)); }

RECT ScreenRect(HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}

void Settle(HWND window)
{
    // A sent message is answered only once the thread is back in its loop.
    DWORD_PTR ignored;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    ::Sleep(50);
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
}

// ---- input -------------------------------------------------------------------

void Press(HWND page, int id)
{
    HWND button = Item(page, id);
    Log("press %d \"%s\" on \"%s\"", id, Text(button).c_str(), Text(page).c_str());
    PostMessageA(button, BM_CLICK, 0, 0);
}

void Type(HWND page, int id, const std::string& text)
{
    HWND edit = Item(page, id);
    DWORD_PTR ignored;
    SendMessageTimeoutA(edit, EM_SETSEL, 0, -1, SMTO_ABORTIFHUNG, 5000, &ignored);
    if (text.empty())
        SendMessageTimeoutA(edit, WM_CHAR, VK_BACK, 1, SMTO_ABORTIFHUNG, 5000, &ignored);
    for (unsigned char c : text)
        SendMessageTimeoutA(edit, WM_CHAR, c, 1, SMTO_ABORTIFHUNG, 5000, &ignored);
    Log("typed %zu characters into %d", text.size(), id);
}

HWND Focused(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (!GetGUIThreadInfo(thread, &info))
        return nullptr;
    return info.hwndFocus;
}

void Key(HWND page, int virtualKey)
{
    HWND target = Focused(page);
    if (!target || (target != page && !IsChild(page, target)))
        target = page;
    UINT scan = MapVirtualKeyA(virtualKey, 0);
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    PostMessageA(target, WM_KEYUP, virtualKey, 1 | (scan << 16) | (3u << 30));
    Log("key %d on \"%s\"", virtualKey, Text(page).c_str());
}

void CloseFromSystemMenu(HWND window)
{
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    Log("close \"%s\" from its system menu", Text(window).c_str());
}

// ---- message boxes -----------------------------------------------------------

namespace {

struct BoxParts {
    std::string text;
    HWND icon = nullptr;
    bool hasButton = false;
};

BOOL CALLBACK CollectBoxPart(HWND child, LPARAM parameter)
{
    BoxParts* parts = (BoxParts*)parameter;
    std::string className = Lower(ClassOf(child));
    if (className == "button") {
        parts->hasButton = true;
    } else if (className == "static") {
        LONG style = GetWindowLongA(child, GWL_STYLE);
        if ((style & SS_TYPEMASK) == SS_ICON)
            parts->icon = child;
        else
            parts->text += Text(child);
    }
    return TRUE;
}

// Which system icon the box shows, told by comparing its pixels with the
// system icons drawn on the same background.
std::string IconKind(HWND iconControl)
{
    if (!iconControl || !IsWindowVisible(iconControl))
        return "none";
    RECT r = ScreenRect(iconControl);
    int size = GetSystemMetrics(SM_CXICON);
    Picture screen = Capture();
    const std::pair<const char*, LPCSTR> candidates[] = {{"warning", IDI_WARNING},
                                                         {"error", IDI_ERROR},
                                                         {"information", IDI_INFORMATION},
                                                         {"question", IDI_QUESTION}};
    std::string best = "unknown";
    int bestScore = size * size * 9 / 10;
    COLORREF background = screen.At(r.left + size, r.top);
    for (const auto& [name, id] : candidates) {
        HICON icon = LoadIconA(nullptr, id);
        int score = MatchingPixels(screen, r.left, r.top, size, size, background, [&](HDC dc) {
            DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
        });
        if (score > bestScore) {
            bestScore = score;
            best = name;
        }
    }
    return best;
}

// What the dialogs with buttons on screen say, for a page that did not come.
std::string ShownBoxes()
{
    std::string shown;
    for (HWND window : TopWindows("#32770", "")) {
        BoxParts parts;
        EnumChildWindows(window, CollectBoxPart, (LPARAM)&parts);
        if (parts.hasButton && !parts.text.empty())
            shown += "; a window \"" + Text(window) + "\" says: " + parts.text;
    }
    return shown;
}

} // namespace

Box WaitBox(const std::string& caption, DWORD milliseconds, DWORD pid)
{
    Box box;
    bool found = WaitUntil(
        [&] {
            for (HWND window : TopWindows("#32770", caption, pid)) {
                BoxParts parts;
                EnumChildWindows(window, CollectBoxPart, (LPARAM)&parts);
                if (!parts.hasButton || !IsWindowEnabled(window) || parts.text.empty())
                    continue;
                box.window = window;
                return true;
            }
            return false;
        },
        milliseconds);
    if (!found)
        Require(__FILE__, __LINE__, "no message box captioned \"" + caption + "\" came");
    Settle(box.window);
    ::Sleep(150);  // painted, so that its icon can be read off the screen
    BoxParts parts;
    EnumChildWindows(box.window, CollectBoxPart, (LPARAM)&parts);
    box.caption = Text(box.window);
    box.text = parts.text;
    // The box may not be painted yet on a busy machine: look again a while.
    DWORD looking = GetTickCount();
    while ((box.icon = IconKind(parts.icon)) == "unknown" && GetTickCount() - looking < 3000)
        ::Sleep(100);
    Log("box \"%s\" (%s): %s", box.caption.c_str(), box.icon.c_str(), box.text.c_str());
    return box;
}

void Answer(const Box& box, int button)
{
    HWND control = GetDlgItem(box.window, button);
    if (!control)
        Require(__FILE__, __LINE__, "the box has no button " + std::to_string(button));
    PostMessageA(control, BM_CLICK, 0, 0);
    if (!WaitGone(box.window, 5000))
        Failed(__FILE__, __LINE__, "the box did not close on button " + std::to_string(button));
}

// ---- screen ------------------------------------------------------------------

COLORREF Picture::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return CLR_INVALID;
    return pixels[(size_t)y * width + x];
}

HBITMAP DibSection(int width, int height, void** bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

Picture Capture()
{
    Picture picture;
    picture.width = GetSystemMetrics(SM_CXSCREEN);
    picture.height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP section = DibSection(picture.width, picture.height, &bits);
    HGDIOBJ previous = SelectObject(memory, section);
    BitBlt(memory, 0, 0, picture.width, picture.height, screen, 0, 0, SRCCOPY | CAPTUREBLT);
    GdiFlush();
    picture.pixels.resize((size_t)picture.width * picture.height);
    const BYTE* p = (const BYTE*)bits;
    for (size_t i = 0; i < picture.pixels.size(); ++i)
        picture.pixels[i] = RGB(p[4 * i + 2], p[4 * i + 1], p[4 * i]);
    SelectObject(memory, previous);
    DeleteObject(section);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return picture;
}

Picture Shot(const std::string& name)
{
    Picture picture = Capture();
    char number[8];
    snprintf(number, sizeof number, "%02d-", ++shotNumber);
    std::string path = options.shots + "\\" + number + name + ".bmp";
    // 32 bits a pixel, top row first: no row padding and no turning over.
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = picture.width;
    header.biHeight = -picture.height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + 4 * picture.pixels.size();
    std::string bytes((const char*)&file, sizeof file);
    bytes.append((const char*)&header, sizeof header);
    for (COLORREF c : picture.pixels) {
        const char pixel[4] = {(char)GetBValue(c), (char)GetGValue(c), (char)GetRValue(c),
                               (char)255};
        bytes.append(pixel, 4);
    }
    if (options.shots.empty() || !WriteBytes(path, bytes))
        Log("could not save screenshot %s", path.c_str());
    else
        Log("screenshot %s", path.c_str());
    return picture;
}

int MatchingPixels(const Picture& screen, int x, int y, int width, int height,
                   COLORREF background, const std::function<void(HDC)>& draw)
{
    HDC screenDc = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screenDc);
    HBITMAP bitmap = CreateCompatibleBitmap(screenDc, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    HBRUSH brush = CreateSolidBrush(background);
    RECT all = {0, 0, width, height};
    FillRect(memory, &all, brush);
    draw(memory);
    int same = 0;
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            same += GetPixel(memory, column, row) == screen.At(x + column, y + row);
    SelectObject(memory, previous);
    DeleteObject(brush);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screenDc);
    return same;
}

// ---- files -------------------------------------------------------------------

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadBytes(const std::string& path, std::string* bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bytes->clear();
    char buffer[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr)) && got)
        bytes->append(buffer, got);
    CloseHandle(file);
    return ok;
}

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, nullptr) &&
              written == bytes.size();
    return CloseHandle(file) && ok;
}

bool MakeFolders(const std::string& path)
{
    for (size_t at = 3; at <= path.size(); ++at) {
        if (at == path.size() || path[at] == '\\') {
            std::string part = path.substr(0, at);
            if (!IsFolder(part) && !CreateDirectoryA(part.c_str(), nullptr))
                return false;
        }
    }
    return IsFolder(path);
}

std::string WindowsDirectory()
{
    char folder[MAX_PATH] = "";
    GetWindowsDirectoryA(folder, sizeof folder);
    return folder;
}

bool SetupIs32Bit()
{
    DWORD kind = SCS_64BIT_BINARY;
    GetBinaryTypeA(options.setup.c_str(), &kind);
    return kind == SCS_32BIT_BINARY;
}

std::string SetupSystemDirectory()
{
    char folder[MAX_PATH] = "";
    if (SetupIs32Bit())
        GetSystemWow64DirectoryA(folder, sizeof folder);
    else
        GetSystemDirectoryA(folder, sizeof folder);
    return folder;
}

// ---- registry ----------------------------------------------------------------

REGSAM RegistryView() { return SetupIs32Bit() ? KEY_WOW64_32KEY : KEY_WOW64_64KEY; }

bool RegText(HKEY root, const std::string& key, const std::string& value, std::string* text,
             DWORD* type, DWORD* size)
{
    HKEY opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | RegistryView(), &opened) != ERROR_SUCCESS)
        return false;
    DWORD valueType = 0, valueSize = 0;
    bool ok = RegQueryValueExA(opened, value.c_str(), nullptr, &valueType, nullptr, &valueSize) ==
              ERROR_SUCCESS;
    if (ok) {
        std::vector<char> data(valueSize + 1);
        ok = RegQueryValueExA(opened, value.c_str(), nullptr, &valueType, (BYTE*)data.data(),
                              &valueSize) == ERROR_SUCCESS;
        if (ok && text)
            text->assign(data.data(), strnlen(data.data(), valueSize));
    }
    RegCloseKey(opened);
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

// ---- before and after --------------------------------------------------------

namespace {

// What Wine and the desktop change by themselves whatever the program does.
bool Churn(std::string lowerPath)
{
    // The 32-bit view churns as the 64-bit one does.
    if (lowerPath.compare(0, 7, "hklm32\\") == 0)
        lowerPath.erase(4, 2);
    static const char* const ignored[] = {
        "c:\\windows\\temp", "\\appdata\\local\\temp", "c:\\windows\\system32\\config",
        "hkcu\\software\\wine\\", "hklm\\system\\", "hklm\\hardware\\",
        "hklm\\software\\microsoft\\windows nt\\currentversion\\perflib",
        "hkcu\\volatile environment",
        // Links back into the tree; the class registrations are not ours.
        "hklm\\software\\wow6432node\\", "hklm\\software\\classes\\",
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
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        std::string path = folder + "\\" + name;
        std::string lower = Lower(path);
        if (Churn(lower) || lower == Lower(options.work) || lower == Lower(options.shots))
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            snapshot->entries[lower] = "folder";
            ListFiles(path, snapshot);
        } else {
            char description[96];
            snprintf(description, sizeof description, "file %lu bytes, written %08lx%08lx",
                     (unsigned long)found.nFileSizeLow,
                     (unsigned long)found.ftLastWriteTime.dwHighDateTime,
                     (unsigned long)found.ftLastWriteTime.dwLowDateTime);
            snapshot->entries[lower] = description;
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

void ListKeys(HKEY key, const std::string& path, Snapshot* snapshot, int depth = 0)
{
    std::string lower = Lower(path);
    if (Churn(lower + "\\") || depth > 16)
        return;
    snapshot->entries[lower] = "key";
    char name[512];
    std::vector<BYTE> data(1 << 16);
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name, type = 0, dataSize = (DWORD)data.size();
        LONG status = RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data.data(), &dataSize);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status != ERROR_SUCCESS)
            continue;
        std::string value = "type " + std::to_string(type) + ": ";
        for (DWORD j = 0; j < dataSize; ++j) {
            char hex[4];
            snprintf(hex, sizeof hex, "%02x", data[j]);
            value += hex;
        }
        snapshot->entries[lower + "\\\\" + Lower(name)] = value;
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name;
        LONG status = RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status != ERROR_SUCCESS)
            continue;
        HKEY child;
        if (RegOpenKeyExA(key, name, 0, KEY_READ, &child) == ERROR_SUCCESS) {
            ListKeys(child, path + "\\" + name, snapshot, depth + 1);
            RegCloseKey(child);
        }
    }
}

} // namespace

Snapshot TakeSnapshot()
{
    Snapshot snapshot;
    ListFiles("C:", &snapshot);
    ListKeys(HKEY_LOCAL_MACHINE, "HKLM", &snapshot);
    // Wow6432Node is left out above (Wine links it back into the tree): the
    // 32-bit view of HKLM\Software is listed through the view itself.
    HKEY software32;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ | KEY_WOW64_32KEY,
                      &software32) == ERROR_SUCCESS) {
        ListKeys(software32, "HKLM32\\Software", &snapshot);
        RegCloseKey(software32);
    }
    ListKeys(HKEY_CURRENT_USER, "HKCU", &snapshot);
    return snapshot;
}

std::vector<std::string> Differences(const Snapshot& before, const Snapshot& after)
{
    std::vector<std::string> differences;
    for (const auto& [path, what] : before.entries) {
        auto later = after.entries.find(path);
        if (later == after.entries.end())
            differences.push_back("removed " + path);
        else if (later->second != what)
            differences.push_back("changed " + path + " (" + what + " -> " + later->second + ")");
    }
    for (const auto& [path, what] : after.entries)
        if (!before.entries.count(path))
            differences.push_back("added " + path + " (" + what + ")");
    return differences;
}

// ---- registration and the runner --------------------------------------------

Registrar::Registrar(const char* name, ScenarioFunction function)
{
    Scenarios()[name] = function;
}

} // namespace pilot

int main(int argc, char** argv)
{
    using namespace pilot;
    setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc < 2) {
        fprintf(stderr, "usage: pilot <scenario> [--setup exe] [--shots dir] [--work dir]"
                        " [--tools dir] [--set name=value]...\n");
        return 2;
    }
    options.scenario = argv[1];
    for (int i = 2; i + 1 < argc; i += 2) {
        std::string flag = argv[i], value = argv[i + 1];
        if (flag == "--setup")
            options.setup = value;
        else if (flag == "--shots")
            options.shots = value;
        else if (flag == "--work")
            options.work = value;
        else if (flag == "--tools")
            options.tools = value;
        else if (flag == "--set" && value.find('=') != std::string::npos)
            options.values[value.substr(0, value.find('='))] = value.substr(value.find('=') + 1);
        else {
            fprintf(stderr, "unknown argument %s\n", flag.c_str());
            return 2;
        }
    }
    auto found = Scenarios().find(options.scenario);
    if (found == Scenarios().end()) {
        fprintf(stderr, "no scenario %s\n", options.scenario.c_str());
        return 2;
    }
    Log("scenario %s on a %dx%d screen", options.scenario.c_str(),
        GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    try {
        found->second();
    } catch (const Stop&) {
        Log("scenario stopped");
    }
    for (const Process& process : launched) {
        if (Running(process)) {
            Log("ending pid %lu, still running", (unsigned long)process.pid);
            Kill(process);
        }
        CloseHandle(process.handle);
    }
    Log("%s %s (%d failed checks)", failures ? "FAIL" : "PASS", options.scenario.c_str(), failures);
    return failures ? 1 : 0;
}
