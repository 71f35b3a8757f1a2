// The uninstaller against installations made with the installer itself:
// what it removes, what it keeps, and the recorded values it refuses.
#include "group_steps.h"

#include <algorithm>

using namespace pilot;

namespace {

std::string Uninstaller() { return WindowsDirectory() + "\\Quodgone.exe"; }

std::string Question(const std::string& folder)
{
    return "This removes Pellomark from the folder\n" + folder +
           "\n\nIts program files, its program group and its registry entries are deleted. "
           "Files that you added to the folder are kept.\n\nRemove Pellomark now?";
}

const char NotInstalled[] = "Pellomark is not installed on this computer.\nNothing was changed.";

void InstallSample(const std::string& folder = "")
{
    Install(StartSetup(), folder);
    REQUIRE(Exists(Uninstaller()));
}

// Runs the uninstaller and answers its question; returns the next box.
Box Uninstall(const std::string& exe, const std::string& folder, Process* started,
              int answer = IDYES)
{
    *started = Launch(exe);
    Box ask = WaitBox(Installer, 20000, started->pid);
    CHECK_EQ(ask.icon, std::string("question"));
    CHECK_EQ(ask.text, Question(folder));
    Answer(ask, answer);
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

// Runs the uninstaller, which must refuse at once, and checks that nothing
// changed.
void ExpectNotInstalled(const std::string& exe)
{
    Snapshot before = TakeSnapshot();
    Process uninstaller = Launch(exe);
    Box refused = WaitBox(Installer, 20000, uninstaller.pid);
    CHECK_EQ(refused.icon, std::string("warning"));
    CHECK_EQ(refused.text, std::string(NotInstalled));
    Answer(refused, IDOK);
    ExpectExitZero(uninstaller);
    pilot::Sleep(1000);
    ExpectUnchanged(before);
}

// The uninstaller, once it has exited, has gone from the Windows directory.
void ExpectUninstallerGone(const Process& uninstaller)
{
    ExpectExitZero(uninstaller);
    CHECK(WaitUntil([] { return !Exists(Uninstaller()); }, 20000));
}

std::string PendingAtRestart()
{
    HKEY key;
    std::string pending;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                      0, KEY_READ, &key) != ERROR_SUCCESS)
        return pending;
    DWORD size = 0;
    // A list of zero-terminated names, so not read as one text.
    if (RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, nullptr, nullptr, &size) ==
        ERROR_SUCCESS) {
        pending.assign(size, '\0');
        RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, nullptr, (BYTE*)&pending[0],
                         &size);
    }
    RegCloseKey(key);
    return Lower(pending);
}

// The differences from before, less the one file an uninstall leaves until
// Windows restarts: the copy in the temporary folder that removed the
// uninstaller once it had exited. That copy must be marked for removal at
// restart, and no other file of the product may be so marked.
std::vector<std::string> DifferencesAfterUninstall(const Snapshot& before)
{
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    std::string copies = "added " + Lower(temp) + "quo";
    std::vector<std::string> rest;
    int finishing = 0;
    for (const std::string& difference : Differences(before, TakeSnapshot())) {
        size_t end = difference.find(".tmp (file ");
        if (difference.rfind(copies, 0) == 0 && end != std::string::npos) {
            std::string path = difference.substr(6, end + 4 - 6);
            std::string file = path.substr(path.rfind('\\'));
            // The copy marks itself just after it has removed the uninstaller.
            CHECK(WaitUntil([&] { return PendingAtRestart().find(file) != std::string::npos; },
                            10000));
            ++finishing;
            continue;
        }
        Log("  %s", difference.c_str());
        rest.push_back(difference);
    }
    CHECK_EQ(finishing, 1);
    CHECK(PendingAtRestart().find("quodgone.exe") == std::string::npos);
    return rest;
}

bool NoTrace()
{
    return !RegKeyExists(HKEY_LOCAL_MACHINE, UninstallEntry) &&
           !RegKeyExists(HKEY_LOCAL_MACHINE, "Shareware") && !IsFolder(GroupFolder("Pellomark"));
}

} // namespace

// Install with the installer, then uninstall with what it recorded: the
// prefix must be as it was. Again, from a copy outside the drive: not
// installed, nothing changed, and that copy stays.
SCENARIO(uninstall_after_real_install, 800, 600)
{
    Snapshot before = TakeSnapshot();
    InstallSample();
    std::string command, folder, group;
    REQUIRE(RegText(HKEY_LOCAL_MACHINE, UninstallEntry, "UninstallString", &command));
    REQUIRE(RegText(HKEY_LOCAL_MACHINE, UninstallEntry, "Program Path", &folder));
    REQUIRE(RegText(HKEY_LOCAL_MACHINE, UninstallEntry, "Program Group", &group));
    CHECK_EQ(Lower(command), Lower(Uninstaller()));
    CHECK(IsFolder(GroupFolder(group)));
    const std::string again = Opts().work + "\\Quodgone.exe";
    REQUIRE(CopyFileA(command.c_str(), again.c_str(), FALSE));
    Shot("installed");

    Process uninstaller;
    Box done = Uninstall(command, folder, &uninstaller);
    CHECK_EQ(done.icon, std::string("information"));
    CHECK_EQ(done.text, std::string("Pellomark has been uninstalled.\n\nRemoved:\n"
                                    "- 3 program files from C:\\Dornwick\\Pellomark\n"
                                    "- the folder C:\\Dornwick\\Pellomark\n"
                                    "- its parent folder C:\\Dornwick\n"
                                    "- the program group \"Pellomark\"\n"
                                    "- its entries in the registry\n"
                                    "- the uninstaller Quodgone.exe, once this box is closed"));
    Shot("removed");
    Answer(done, IDOK);
    ExpectUninstallerGone(uninstaller);
    CHECK(NoTrace());
    CHECK(DifferencesAfterUninstall(before).empty());

    ExpectNotInstalled(again);
    CHECK(Exists(again));
}

// Declined first, which changes nothing; then accepted. The group was
// another program's before: its shortcut stays, and so does the group.
SCENARIO(uninstall_keeps_what_the_user_added, 800, 600)
{
    const std::string theirs = GroupFolder("Pellomark") + "\\Their Tool.lnk";
    REQUIRE(MakeFolders(GroupFolder("Pellomark")));
    REQUIRE(WriteBytes(theirs, "another program's shortcut"));
    Snapshot before = TakeSnapshot();
    InstallSample();
    CHECK_EQ(ShortcutNames(GroupFolder("Pellomark")).size(), (size_t)5);
    std::string notes = std::string(DefaultFolder) + "\\My notes.txt";
    REQUIRE(WriteBytes(notes, "mine\r\n"));

    Snapshot installed = TakeSnapshot();
    Process uninstaller;
    Uninstall(Uninstaller(), DefaultFolder, &uninstaller, IDNO);
    ExpectExitZero(uninstaller);
    pilot::Sleep(2000);
    ExpectUnchanged(installed);

    Box done = Uninstall(Uninstaller(), DefaultFolder, &uninstaller);
    CHECK_EQ(done.icon, std::string("information"));
    CHECK(done.text.find("\n\nLeft in place:\n- the folder C:\\Dornwick\\Pellomark, which holds "
                         "files that Pellomark did not install") != std::string::npos);
    CHECK(done.text.find("- the folder C:\\Dornwick\\Pellomark\n") == std::string::npos);
    CHECK(done.text.find("- the program group \"Pellomark\", which holds shortcuts of other "
                         "programs") != std::string::npos);
    Answer(done, IDOK);
    ExpectUninstallerGone(uninstaller);

    std::string content;
    CHECK(ReadBytes(notes, &content) && content == "mine\r\n");
    CHECK(!RegKeyExists(HKEY_LOCAL_MACHINE, UninstallEntry) &&
          !RegKeyExists(HKEY_LOCAL_MACHINE, "Shareware"));
    CHECK(ShortcutNames(GroupFolder("Pellomark")) == std::vector<std::string>{"Their Tool.lnk"});
    std::vector<std::string> differences = DifferencesAfterUninstall(before);
    std::sort(differences.begin(), differences.end());
    CHECK_EQ(differences.size(), (size_t)3);
    if (differences.size() == 3) {
        CHECK_EQ(differences[0], std::string("added c:\\dornwick (folder)"));
        CHECK_EQ(differences[1], std::string("added c:\\dornwick\\pellomark (folder)"));
        CHECK(differences[2].rfind("added c:\\dornwick\\pellomark\\my notes.txt (file 6 bytes", 0) == 0);
    }
}

SCENARIO(uninstall_keeps_an_existing_destination, 800, 600)
{
    // The user's own folder, with files of its own, chosen with a final
    // backslash as the folder page accepts it.
    REQUIRE(MakeFolders("C:\\Apps\\Tools"));
    REQUIRE(WriteBytes("C:\\Apps\\Tools\\Other.txt", "not Pellomark's\r\n"));
    Snapshot before = TakeSnapshot();
    InstallSample("C:\\Apps\\Tools\\");
    // A payload file the user made read-only is removed all the same.
    REQUIRE(SetFileAttributesA("C:\\Apps\\Tools\\Read_me.txt", FILE_ATTRIBUTE_READONLY));

    Process uninstaller;
    Box done = Uninstall(Uninstaller(), "C:\\Apps\\Tools", &uninstaller);
    CHECK(done.text.find("- 3 program files from C:\\Apps\\Tools\n") != std::string::npos);
    CHECK(done.text.find("Left in place:\n- the folder C:\\Apps\\Tools, which holds files that "
                         "Pellomark did not install") != std::string::npos);
    Answer(done, IDOK);
    ExpectUninstallerGone(uninstaller);
    CHECK(DifferencesAfterUninstall(before).empty());
}

// Recorded folders that the installer would not have written (the rest of the
// rules are the removal plan's unit tests) are refused before anything is
// asked or removed. A recorded group whose name would end the command early
// and slip in another is not sent, so no group at all is deleted, and the
// rest goes.
SCENARIO(uninstall_refuses_bad_recorded_values, 800, 600)
{
    InstallSample();
    for (const std::string& path : {std::string("C:\\"), std::string("Dornwick\\Pellomark"),
                                    "C:\\" + std::string(300, 'p')}) {
        REQUIRE(RegSetText(HKEY_LOCAL_MACHINE, UninstallEntry, "Program Path", path));
        Log("recorded folder [%s]", path.c_str());
        ExpectNotInstalled(Uninstaller());
    }
    REQUIRE(RegSetText(HKEY_LOCAL_MACHINE, UninstallEntry, "Program Path", DefaultFolder));
    REQUIRE(MakeFolders(GroupFolder("Games")));
    const std::string sly = "Pellomark\")][DeleteGroup(\"Games";
    REQUIRE(RegSetText(HKEY_LOCAL_MACHINE, UninstallEntry, "Program Group", sly));

    Process uninstaller;
    Box warned = Uninstall(Uninstaller(), DefaultFolder, &uninstaller);
    CHECK_EQ(warned.icon, std::string("warning"));
    CHECK_EQ(warned.text, "The program group \"" + sly +
                              "\" has a name that cannot be sent to Windows Explorer, so it is "
                              "left in place.");
    Answer(warned, IDOK);
    Box done = WaitBox(Installer, 30000, uninstaller.pid);
    CHECK(done.text.find("Left in place:\n- the program group \"" + sly + "\"") !=
          std::string::npos);
    Answer(done, IDOK);
    ExpectUninstallerGone(uninstaller);
    CHECK(IsFolder(GroupFolder("Games")));
    CHECK(IsFolder(GroupFolder("Pellomark")));
    CHECK(!IsFolder(DefaultFolder));
    CHECK(!RegKeyExists(HKEY_LOCAL_MACHINE, UninstallEntry));
}

SCENARIO(uninstall_with_a_file_in_use, 800, 600)
{
    Snapshot before = TakeSnapshot();
    InstallSample();
    std::string program = std::string(DefaultFolder) + "\\Quodpost.exe";
    HANDLE inUse = CreateFileA(program.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    REQUIRE(inUse != INVALID_HANDLE_VALUE);

    Process first;
    Box failed = Uninstall(Uninstaller(), DefaultFolder, &first);
    CHECK_EQ(failed.icon, std::string("error"));
    CHECK_EQ(failed.text, "Unable to remove " + program +
                              "!\n\nIt may be in use. Close Pellomark and uninstall it again to "
                              "remove the rest.");
    Shot("in-use");
    Answer(failed, IDOK);
    ExpectExitZero(first);
    pilot::Sleep(2000);
    // What lets the user finish later stays: the entry, the uninstaller, the group.
    CHECK(Exists(program));
    CHECK(!Exists(std::string(DefaultFolder) + "\\Read_me.txt"));
    CHECK(RegKeyExists(HKEY_LOCAL_MACHINE, UninstallEntry));
    CHECK(Exists(Uninstaller()));
    CHECK(IsFolder(GroupFolder("Pellomark")));

    CloseHandle(inUse);
    Process second;
    Box done = Uninstall(Uninstaller(), DefaultFolder, &second);
    CHECK_EQ(done.icon, std::string("information"));
    CHECK(done.text.find("- 1 program file from C:\\Dornwick\\Pellomark\n") != std::string::npos);
    Answer(done, IDOK);
    ExpectUninstallerGone(second);
    CHECK(DifferencesAfterUninstall(before).empty());
}
