// The uninstaller against installations made with the installer itself:
// what it removes, what it keeps, and a prefix left as it was.
#include "../pilot/pilot.h"

using namespace pilot;

namespace {

// The names marked for removal at restart, lower-cased.
std::string PendingAtRestart()
{
    char pending[8192] = "";
    DWORD size = sizeof pending - 1;
    // A list of zero-terminated names: every byte of it is searched.
    RegGetValueA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                 "PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, pending, &size);
    return Lower(std::string(pending, size < sizeof pending ? size : 0));
}

// The prefix as before, less the one file an uninstall leaves until Windows
// restarts: the copy in the temporary folder that removed the uninstaller
// once it had exited. That copy is marked for removal at restart, and no
// other file of the product is.
void ExpectAsBefore(const Snapshot& before)
{
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    Snapshot changed = Differences(before);
    std::string copy = changed.size() == 1 ? Lower(changed.begin()->first) : "";
    CHECK(changed.size() == 1 && copy.rfind(Lower(temp) + "quo", 0) == 0 &&
          copy.rfind(".tmp") + 4 == copy.size() &&
          changed.begin()->second.rfind("(none) -> file ", 0) == 0);
    // The copy marks itself just after it has removed the uninstaller.
    std::string name = copy.substr(copy.rfind('\\') + 1);
    CHECK(WaitUntil([&] { return PendingAtRestart().find(name) != std::string::npos; }, 10000));
    CHECK(PendingAtRestart().find("quodgone.exe") == std::string::npos);
}

// Runs the uninstaller and answers Yes to its question for that folder;
// returns the next box, which shows that icon.
Box Uninstall(const std::string& folder, Process* started, const char* icon)
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
            if (ProcessOf(window) != started->pid && ClassOf(window) != "#32770")
                PostMessageA(window, WM_CLOSE, 0, 0), WaitGone(window, 5000);
        if (done.icon != "unknown")
            break;
        SetWindowPos(done.window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        done = WaitBox(Installer, 10000, started->pid);
    }
    CHECK_EQ(done.icon, icon);
    return done;
}

}  // namespace

SCENARIO(uninstall_what_was_recorded, 800, 600)
{
    // A file in use stops the first run with what lets the user finish later
    // kept: the entry, the uninstaller, the group. The second removes the rest.
    Snapshot before = TakeSnapshot();
    Install(StartSetup());
    const std::string again = values["work"] + "\\Quodgone.exe";
    REQUIRE(CopyFileA(Uninstaller().c_str(), again.c_str(), FALSE));
    std::string program = std::string(DefaultFolder) + "\\Quodpost.exe";
    HANDLE inUse = Hold(program, GENERIC_READ, 0);
    Process uninstaller;
    Box failed = Uninstall(DefaultFolder, &uninstaller, "error");
    CHECK_EQ(failed.text, "Unable to remove " + program +
                              "!\n\nIt may be in use. Close Pellomark and uninstall it again to "
                              "remove the rest.");
    Shot("in-use");
    Answer(failed, IDOK);
    ExpectExitZero(uninstaller);
    Sleep(2000);
    CHECK(Exists(program) && !Exists(std::string(DefaultFolder) + "\\Read_me.txt"));
    CHECK(Reg(UninstallEntry) == "key" && Exists(Uninstaller()) && Exists(GroupFolder));
    CloseHandle(inUse);
    Box done = Uninstall(DefaultFolder, &uninstaller, "information");
    CHECK_EQ(done.text, std::string("Pellomark has been uninstalled.\n\nRemoved:\n"
                                    "- 1 program file from C:\\Dornwick\\Pellomark\n"
                                    "- the folder C:\\Dornwick\\Pellomark\n"
                                    "- its parent folder C:\\Dornwick\n"
                                    "- the program group \"Pellomark\"\n"
                                    "- its entries in the registry\n"
                                    "- the uninstaller Quodgone.exe, once this box is closed"));
    Shot("removed");
    Answer(done, IDOK);
    // Once it has exited it has gone from the Windows directory.
    ExpectExitZero(uninstaller);
    CHECK(WaitUntil([] { return !Exists(Uninstaller()); }, 20000));
    ExpectAsBefore(before);
    // A copy of the uninstaller run again: not installed, nothing changed,
    // and that copy stays.
    before = TakeSnapshot();
    uninstaller = Launch(again);
    ExpectBox(uninstaller.pid, Installer,
              "Pellomark is not installed on this computer.\nNothing was changed.", "warning", IDOK,
              20000);
    ExpectExitZero(uninstaller);
    Sleep(1000);
    ExpectUnchanged(before);
    CHECK(Exists(again));

    // The user's own folder, with a file of its own, chosen with a final
    // backslash; a group that was another program's before: both are left in
    // place, and a payload file the user made read-only is removed all the
    // same.
    REQUIRE(MakeFolders(GroupFolder) && MakeFolders("C:\\Apps\\Tools") &&
            WriteBytes(GroupFolder + "\\Their Tool.lnk", "another program's shortcut") &&
            WriteBytes("C:\\Apps\\Tools\\Other.txt", "not Pellomark's\r\n"));
    before = TakeSnapshot();
    Install(StartSetup(), "C:\\Apps\\Tools\\");
    REQUIRE(SetFileAttributesA("C:\\Apps\\Tools\\Read_me.txt", FILE_ATTRIBUTE_READONLY));
    done = Uninstall("C:\\Apps\\Tools", &uninstaller, "information");
    for (const char* part : {"- 3 program files from C:\\Apps\\Tools\n",
                             "\n\nLeft in place:\n- the folder C:\\Apps\\Tools, which holds files "
                             "that Pellomark did not install",
                             "- the program group \"Pellomark\", which holds shortcuts of other "
                             "programs"})
        if (!CHECK(done.text.find(part) != std::string::npos))
            Log("  missing: %s", part);
    Answer(done, IDOK);
    // Once it has exited it has gone from the Windows directory.
    ExpectExitZero(uninstaller);
    CHECK(WaitUntil([] { return !Exists(Uninstaller()); }, 20000));
    // Their shortcut alone is left in the group: the prefix is as it was.
    ExpectAsBefore(before);
}
