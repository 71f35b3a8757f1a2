// The pilot: a Windows program of ours that drives the real setup executable
// the way a person would, and reads back what it did. Scenarios are plain
// functions registered with SCENARIO; the runner executes one by name.
#ifndef PILOT_H
#define PILOT_H

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace pilot {

// ---- what the harness passes in -------------------------------------------
struct Options {
    std::string scenario;
    std::string setup;   // the setup executable under test
    std::string shots;   // folder for screenshots
    std::string work;    // a scratch folder outside the prefix's C: drive
    std::string tools;   // folder holding the pilot and its helper programs
    std::map<std::string, std::string> values;  // --set name=value
};
const Options& Opts();

// ---- checks ----------------------------------------------------------------
void Log(const char* format, ...);
void Failed(const char* file, int line, const std::string& what);
// Ends the scenario at once (thrown; caught by the runner).
struct Stop {
    std::string why;
};
[[noreturn]] void Require(const char* file, int line, const std::string& what);

// Each side is evaluated once: what is reported is what was compared.
template <class A, class B>
bool CheckEqual(const char* file, int line, const char* a, const char* b, const A& x, const B& y)
{
    if (x == y)
        return true;
    std::ostringstream s;
    s << a << " == " << b << "\n    got:      [" << x << "]\n    expected: [" << y << "]";
    Failed(file, line, s.str());
    return false;
}

#define CHECK(cond) \
    ((cond) ? true : (::pilot::Failed(__FILE__, __LINE__, "CHECK(" #cond ")"), false))
#define CHECK_EQ(a, b) ::pilot::CheckEqual(__FILE__, __LINE__, #a, #b, (a), (b))
#define REQUIRE(cond) \
    do { if (!(cond)) ::pilot::Require(__FILE__, __LINE__, "REQUIRE(" #cond ")"); } while (0)

// ---- processes -------------------------------------------------------------
struct Process {
    HANDLE handle = 0;
    DWORD pid = 0;
};
// Starts a program; the pilot ends it at the end of the scenario if it is
// still running.
Process Launch(const std::string& exe, const std::string& arguments = "",
               const std::string& folder = "");
// Waits for the process to end; false on time-out.
bool WaitExit(const Process& process, DWORD milliseconds, DWORD* exitCode);
bool Running(const Process& process);
void Kill(const Process& process);

// ---- waiting ---------------------------------------------------------------
void Sleep(DWORD milliseconds);
DWORD Now();
// Polls until the condition holds; false on time-out.
bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds);

// ---- windows ---------------------------------------------------------------
std::string ClassOf(HWND window);
std::string Text(HWND window);
std::string Lower(std::string text);
DWORD ProcessOf(HWND window);
// Visible top-level windows; filters are ignored when empty or 0. WaitTop
// gives the first that comes, or 0 on time-out (at once for 0 ms).
std::vector<HWND> TopWindows(const std::string& className, const std::string& caption,
                             DWORD pid = 0, bool visibleOnly = true);
HWND WaitTop(const std::string& className, const std::string& caption, DWORD milliseconds,
             DWORD pid = 0, bool visibleOnly = true);
// A page: a visible dialog with this exact caption. Fails the scenario if it
// does not come.
HWND WaitPage(const std::string& caption, DWORD milliseconds = 15000);
bool WaitGone(HWND window, DWORD milliseconds);
HWND Item(HWND page, int id);
std::string ItemText(HWND page, int id);
RECT ScreenRect(HWND window);
// Lets the window's thread process what was posted to it.
void Settle(HWND window);

// ---- input -----------------------------------------------------------------
// Presses a button the way a click does (BM_CLICK, posted).
void Press(HWND page, int id);
// Replaces an edit field's text by typing it (select all, then characters),
// so the field's own limits apply.
void Type(HWND page, int id, const std::string& text);
// A key pressed on the control that has the focus in the page (or on the
// page itself), e.g. VK_ESCAPE or VK_RETURN.
void Key(HWND page, int virtualKey);
// The control that has the keyboard focus in the window's thread.
HWND Focused(HWND window);
// Closes a window from its system menu (SC_CLOSE).
void CloseFromSystemMenu(HWND window);

// ---- message boxes ---------------------------------------------------------
struct Box {
    HWND window = 0;
    std::string caption;
    std::string text;
    std::string icon;  // "warning", "error", "information", "question" or "none"
};
// The next message box captioned so (any caption when empty); fails the
// scenario if none comes.
Box WaitBox(const std::string& caption, DWORD milliseconds = 15000, DWORD pid = 0);
// Answers with a button: IDOK, IDYES, IDNO ...
void Answer(const Box& box, int button);

// ---- screen ----------------------------------------------------------------
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;  // COLORREF 0x00BBGGRR, top-down rows
    COLORREF At(int x, int y) const;
};
Picture Capture();
// How many pixels of the width x height square at (x, y) of the screen are
// as draw paints them on a square filled with background.
int MatchingPixels(const Picture& screen, int x, int y, int width, int height,
                   COLORREF background, const std::function<void(HDC)>& draw);
// A 32-bit top-down DIB section, its pixels 0x00RRGGBB at *bits.
HBITMAP DibSection(int width, int height, void** bits);
// Captures the screen into the screenshot folder as NN-name.bmp.
Picture Shot(const std::string& name);

// ---- files -----------------------------------------------------------------
bool Exists(const std::string& path);
bool IsFolder(const std::string& path);
bool ReadBytes(const std::string& path, std::string* bytes);
bool WriteBytes(const std::string& path, const std::string& bytes);
bool MakeFolders(const std::string& path);
std::string WindowsDirectory();
// Whether the setup executable under test is a 32-bit program.
bool SetupIs32Bit();
// The system folder as the setup under test sees it: a 32-bit program's is
// the 32-bit one (SysWOW64).
std::string SetupSystemDirectory();

// ---- registry --------------------------------------------------------------
// The registry view the setup under test writes to, for RegOpenKeyEx and
// RegCreateKeyEx: a 32-bit program's keys below HKLM\Software are in the
// 32-bit view. The helpers below read and write in that view.
REGSAM RegistryView();
bool RegText(HKEY root, const std::string& key, const std::string& value, std::string* text,
             DWORD* type = nullptr, DWORD* size = nullptr);
bool RegKeyExists(HKEY root, const std::string& key);
bool RegSetText(HKEY root, const std::string& key, const std::string& value,
                const std::string& text);

// ---- before and after ------------------------------------------------------
// Files under C:\ (sizes and write times) and the registry below
// HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER, minus what Wine itself churns.
struct Snapshot {
    std::map<std::string, std::string> entries;
};
Snapshot TakeSnapshot();
std::vector<std::string> Differences(const Snapshot& before, const Snapshot& after);

// ---- registration ----------------------------------------------------------
typedef void (*ScenarioFunction)();
struct Registrar {
    Registrar(const char* name, ScenarioFunction function);
};

} // namespace pilot

// SCENARIO(name, screen width, screen height): the harness reads the size
// from this line and starts a display of that size.
#define SCENARIO(name, width, height)                               \
    static void scenario_##name();                                  \
    static ::pilot::Registrar registrar_##name(#name, scenario_##name); \
    static void scenario_##name()

// A scenario of a fault: a disk, a file or the executable itself that goes
// wrong. Registered like any other, and counted apart.
#define FAULT_SCENARIO(name, width, height) SCENARIO(name, width, height)

// A scenario that the CMake file does not register by itself, because its
// tests are declared by hand (with arguments of their own).
#define SCENARIO_BY_HAND(name, width, height) SCENARIO(name, width, height)

#endif
