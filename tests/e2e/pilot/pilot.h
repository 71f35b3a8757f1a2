// The pilot: a Windows program of ours that drives the real setup executable
// the way a person would, and reads back what it did. Scenarios are plain
// functions registered with SCENARIO; the runner executes one by name. Below
// the general means come the sample product's facts and the steps through
// its pages that the journeys share.
#ifndef PILOT_H
#define PILOT_H

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "resources/resource.h"

#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace pilot {

// --setup, --shots, --work and --tools by those names; --set name=value by name.
std::string Value(const std::string& name, const std::string& fallback = "");

// ---- checks ----------------------------------------------------------------
void Log(const char* format, ...);
void Failed(const char* file, int line, const std::string& what);
// Ends the scenario at once (thrown; caught by the runner).
struct Stop {};
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

#define CHECK(cond)                                                                                \
    ((cond) ? true : (::pilot::Failed(__FILE__, __LINE__, "CHECK(" #cond ")"), false))
#define CHECK_EQ(a, b) ::pilot::CheckEqual(__FILE__, __LINE__, #a, #b, (a), (b))
#define REQUIRE(cond)                                                                              \
    ((cond) ? (void)0 : ::pilot::Require(__FILE__, __LINE__, "REQUIRE(" #cond ")"))

// ---- processes -------------------------------------------------------------
struct Process {
    HANDLE handle = 0;
    DWORD pid = 0;
};
// Started programs still running at the end of the scenario are ended.
Process Launch(const std::string& exe, const std::string& arguments = "",
               const std::string& folder = "");
void Kill(const Process& process);

// ---- waiting and windows ---------------------------------------------------
DWORD Now();
// Polls until the condition holds; false on time-out.
bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds);
std::string ClassOf(HWND window);
std::string Text(HWND window);
std::string Lower(std::string text);
DWORD ProcessOf(HWND window);
// Visible top-level windows; a filter is ignored when empty or 0.
std::vector<HWND> TopWindows(const std::string& className, const std::string& caption,
                             DWORD pid = 0, bool visibleOnly = true);
// The first such window to come, or 0 on time-out (at once for 0 ms).
HWND WaitTop(const std::string& className, const std::string& caption, DWORD milliseconds,
             DWORD pid = 0, bool visibleOnly = true);
// A visible dialog with this exact caption; stops the scenario, saying what
// the boxes on screen say, if it does not come.
HWND WaitPage(const std::string& caption, DWORD milliseconds = 15000);
bool WaitGone(HWND window, DWORD milliseconds);
HWND Item(HWND page, int id);
std::string ItemText(HWND page, int id);
// Lets the window's thread process what was posted to it.
void Settle(HWND window);

// ---- input -----------------------------------------------------------------
// A button pressed the way a click does (BM_CLICK, posted).
void Press(HWND page, int id);
// Replaces an edit field's text by typing it (not empty), so its own limits
// apply.
void Type(HWND page, int id, const std::string& text);
// A key on the control that has the focus in the page, or on the page.
void Key(HWND page, int virtualKey);
HWND Focused(HWND window);

// ---- message boxes ---------------------------------------------------------
struct Box {
    HWND window = 0;
    HWND owner = 0;
    DWORD came = 0;  // Now() when it was found
    std::string text;
    std::string icon;  // "warning", "error", "information", "question" or "none"
};
// The next message box captioned so (any when empty); stops the scenario if
// none comes.
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
// Captures the screen and saves it in the screenshot folder as NN-name.bmp.
Picture Shot(const std::string& name);
// What draw paints on a width x height bitmap, black at first.
Picture Drawn(int width, int height, const std::function<void(HDC)>& draw);

// ---- files -----------------------------------------------------------------
bool Exists(const std::string& path);
bool IsFolder(const std::string& path);
// The file's bytes, or "(missing)".
std::string FileBytes(const std::string& path);
bool WriteBytes(const std::string& path, const std::string& bytes);
bool MakeFolders(const std::string& path);
std::string WindowsDirectory();

// ---- registry, in the view the setup under test writes to ------------------
bool RegText(HKEY root, const std::string& key, const std::string& value, std::string* text,
             DWORD* type = nullptr, DWORD* size = nullptr);
bool RegKeyExists(HKEY root, const std::string& key);
bool RegSetText(HKEY root, const std::string& key, const std::string& value,
                const std::string& text);

// ---- before and after ------------------------------------------------------
// Files under C:\ (sizes and write times) and the registry below HKLM and
// HKCU, minus what Wine itself churns: path -> description.
typedef std::map<std::string, std::string> Snapshot;
Snapshot TakeSnapshot();
std::vector<std::string> Differences(const Snapshot& before, const Snapshot& after);

// ==== the sample product and the steps through its pages (steps.cpp) ========
const char* const Installer = "Cratewise";
const char* const DefaultFolder = "C:\\Dornwick\\Pellomark";
const char* const AbortText =
    "Installation Aborted!\n\nIf you need assistance you can email\nsupport at - "
    "support@dornwick.example!";
const char* const VersionKey = "Shareware\\Dornwick\\Programs\\Pellomark\\Current Version";
const char* const UninstallEntry =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pellomark";
const char* const ThanksText =
    "Before you begin exploring, I would like to\r\nThank You for taking the time to evaluate "
    "my\r\nproduct Pellomark. If you have any questions you\r\ncan email me at "
    "support@dornwick.example!";
const char* const OpenFailedText =
    "Unable to open destination file!\nInstallation will now be aborted.";

// The product under test (--set product=...) and its pages' captions.
std::string Product();
std::string AgreementCaption();
std::string LocationCaption();
std::string CopyCaption();
std::string GroupCaption();

Process StartSetup(const std::string& arguments = "");
// A box of the process (any process for 0) captioned so: its text and icon
// checked, then answered.
Box ExpectBox(DWORD pid, const std::string& caption, const std::string& text,
              const std::string& icon, int answer = IDOK, DWORD milliseconds = 15000);
void ExpectExitZero(const Process& setup, DWORD milliseconds = 20000);
// The pages up to the one named, with their defaults (the folder typed when given).
HWND ReachLocation();
HWND ReachCopy(const std::string& folder = "");
// From the first page to the end with the default answers.
void Install(const Process& setup, const std::string& folder = "");
// The group's success box, the read-me question answered, after No the
// thanks; returns when the success box came.
DWORD FinishGroup(const Process& setup, int readMe);

std::string SetupResource(LPCSTR name, LPCSTR type = (LPCSTR)RT_RCDATA);
void ExpectUnchanged(const Snapshot& before);
// Byte for byte, without printing megabytes when it differs.
bool SameBytes(const std::string& path, const std::string& expected);

// The face up to the agreement page at this screen size, all checked
// (first_look.cpp). Returns the agreement page.
HWND FirstLook(const Process& setup);
// A refusal on page: the notice owned by it, exit 0, no page next and
// nothing changed since before.
void ExpectRefused(const Process& setup, HWND page, const std::string& next,
                   const Snapshot& before);

// ---- the uninstaller ------------------------------------------------------
std::string Uninstaller();  // where the installer puts it
// Runs it and answers Yes to its question for that folder; returns the next box.
Box Uninstall(const std::string& folder, Process* started);
// Once it has exited it has gone from the Windows directory.
void ExpectUninstallerGone(const Process& uninstaller);

// ---- the payload -----------------------------------------------------------
const int RowCount = 4;
std::string Stored(const std::string& folder, int row);       // Name.ex_
std::string Destination(const std::string& folder, int row);  // row 0 in Windows
std::string SourceBytes(int row);    // the file the build made the row from
std::string ResourceBytes(int row);  // the row as the executable carries it
// Every row installed, and no stored copy or half-expanded file left.
void CheckInstalled(const std::string& folder);
void CheckNothingLeft(const std::string& folder);
bool EveryoneMayEnter(const std::string& folder);

// ---- the Start Menu ----------------------------------------------------------
std::string GroupFolder(const std::string& group);
// The names in a folder, sorted and joined with " | ".
std::string Listing(const std::string& folder);

// ---- registration ----------------------------------------------------------
bool Register(const char* name, void (*scenario)());

}  // namespace pilot

// SCENARIO(name, screen width, screen height): the CMake file makes one test
// of each line and the harness starts a display of that size.
#define SCENARIO(name, width, height)                                                              \
    static void scenario_##name();                                                                 \
    static bool registered_##name = ::pilot::Register(#name, scenario_##name);                     \
    static void scenario_##name()

// A scenario of a fault (a disk, a file or the executable that goes wrong),
// labelled apart.
#define FAULT_SCENARIO(name, width, height) SCENARIO(name, width, height)

// A scenario whose tests the CMake file declares by hand.
#define SCENARIO_BY_HAND(name, width, height) SCENARIO(name, width, height)

#endif
