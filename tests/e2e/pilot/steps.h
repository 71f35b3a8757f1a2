// What the journeys share: the sample product's facts, the steps through its
// pages, the copy page watched, the group list and the Start Menu.
#ifndef PILOT_STEPS_H
#define PILOT_STEPS_H

#include "pilot.h"
#include "resources/resource.h"

namespace pilot {

const char* const Installer = "Cratewise";
const char* const DefaultFolder = "C:\\Dornwick\\Pellomark";
const char* const AbortText =
    "Installation Aborted!\n\nIf you need assistance you can email\nsupport at - "
    "support@dornwick.example!";
const char* const VersionKey = "Shareware\\Dornwick\\Programs\\Pellomark\\Current Version";
const char* const UninstallEntry = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pellomark";
const char* const ThanksText =
    "Before you begin exploring, I would like to\r\nThank You for taking the time to evaluate "
    "my\r\nproduct Pellomark. If you have any questions you\r\ncan email me at "
    "support@dornwick.example!";
const char* const OpenFailedText =
    "Unable to open destination file!\nInstallation will now be aborted.";
const char* const WriteFailedText =
    "Unable to write destination file!\nInstallation will now be aborted.";

// The value of --set name=..., or the fallback; a Linux path as drive Z: sees it.
std::string Value(const std::string& name, const std::string& fallback = "");
std::string WindowsPathOf(const std::string& linuxPath);

// The product under test (--set product=...) and its pages' captions.
std::string Product();
std::string AgreementCaption();
std::string LocationCaption();
std::string CopyCaption();
std::string GroupCaption();

Process StartSetup(const std::string& arguments = "");
HWND MainWindow(const Process& setup, bool visibleOnly = true);
// A box of the process captioned so: its text and icon checked, then answered.
void ExpectBox(DWORD pid, const std::string& caption, const std::string& text,
               const std::string& icon, int answer = IDOK, DWORD milliseconds = 15000);
void ExpectAbortNotice(DWORD pid);
void ExpectExitZero(const Process& setup, DWORD milliseconds = 20000);
// The pages up to the one named, with their defaults (folder typed when given).
HWND ReachLocation();
HWND ReachCopy(const std::string& folder = "");
// From the first page to the end with the default answers.
void Install(const Process& setup, const std::string& folder = "");
// The group's success box (when Continue was pressed at a time given, after
// Wine's paced commands: nine, the pause before the last, then the 3 s timer),
// the read-me question answered, and after No the thanks.
void FinishGroup(const Process& setup, const std::string& group, int readMe, DWORD pressed = 0);

std::string SetupResource(LPCSTR name, LPCSTR type = (LPCSTR)RT_RCDATA);
void ExpectUnchanged(const Snapshot& before);
std::string FileBytes(const std::string& path);
// Byte for byte, without printing megabytes when it differs.
bool SameBytes(const std::string& path, const std::string& expected);

// The face up to the agreement page at this screen size (first_look.cpp):
// the splash, the backdrop, the main window, the first page's delay and the
// agreement page, all checked. Returns the agreement page.
HWND FirstLook(const Process& setup);
// A refusal on page: the notice owned by it, exit 0, no page next and
// nothing changed since before.
void ExpectRefused(const Process& setup, HWND page, const std::string& next,
                   const Snapshot& before);

// ---- the uninstaller ------------------------------------------------------
std::string Uninstaller();  // where the installer puts it
// Runs it and answers its question for that folder; returns the next box
// (none when declined).
Box Uninstall(const std::string& folder, Process* started, int answer = IDYES,
              const std::string& exe = Uninstaller());
// It must refuse at once as not installed, and change nothing.
void ExpectNotInstalled(const std::string& exe);
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

// ---- the copy page ---------------------------------------------------------
struct Watch {
    std::vector<std::string> labels;              // each reading unlike the one before
    std::vector<std::pair<int, COLORREF>> looks;  // the meter's fill: pixels, colour
    int width = 0;
    bool ended = false;  // the page went away by itself
    bool boxed = false;  // a message box of the installer came up
};
Watch WatchCopy(HWND page, const Process& setup, const std::function<void(HWND)>& poke = {});
std::string ReadLabels(HWND page);
std::vector<std::string> ExpectedLabels(const std::string& folder);
// The readings in the table's order, ticks 1 to through all seen; the meter's
// colours in the phases' order, the first fullPhases full.
void CheckLabels(const Watch& watch, const std::string& folder, size_t through);
void CheckMeter(const Watch& watch, size_t phases, size_t fullPhases);

// ---- the group page and the Start Menu -------------------------------------
std::vector<std::string> GroupItems(HWND page);
int GroupSelection(HWND page);
std::string GroupFieldText(HWND page);
void TypeGroup(HWND page, const std::string& text);
void CheckGroupPageAtStart(HWND page);
std::string GroupFolder(const std::string& group);
std::vector<std::string> ShortcutNames(const std::string& folder);
std::string ShortcutTarget(const std::string& path);
// A list as one text, for comparing and showing; control characters as \xNN.
std::string Listed(const std::vector<std::string>& entries);

} // namespace pilot

#endif
