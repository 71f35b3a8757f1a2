// The uninstaller against an installed sample. The installed state is made
// here from the setup executable's own payload (the same files, the same
// registry values and a group created through Program Manager), so that the
// uninstaller is tested on its own; uninstall_after_real_install, at the end,
// installs with the installer itself.
#include "group_steps.h"

#include <ddeml.h>

#include <algorithm>

using namespace pilot;

namespace {

struct Row {
    const char* file;
    const char* resource;
    const char* caption;
};

const Row Rows[] = {
    {"Quodgone.exe", "PURGESET", "Uninstall"},
    {"Quodpost.exe", "PROGRAM", "Pellomark"},
    {"Quodpost.hlp", "HELPFILE", "Help"},
    {"Read_me.txt", "README", "Read Me"},
};

const char* const EntryKey = UninstallEntry;

std::string Uninstaller() { return WindowsDirectory() + "\\Quodgone.exe"; }

// Writes a row's file as the installer does: a stored copy expanded through
// the LZ library, which passes a plain file through unchanged.
void Expand(const char* resource, const std::string& destination)
{
    typedef INT(WINAPI * OpenFunction)(LPSTR, LPOFSTRUCT, WORD);
    typedef LONG(WINAPI * CopyFunction)(INT, INT);
    typedef void(WINAPI * CloseFunction)(INT);
    HMODULE lz = LoadLibraryA("lz32.dll");
    REQUIRE(lz != nullptr);
    OpenFunction open = (OpenFunction)(void*)GetProcAddress(lz, "LZOpenFileA");
    CopyFunction copy = (CopyFunction)(void*)GetProcAddress(lz, "LZCopy");
    CloseFunction close = (CloseFunction)(void*)GetProcAddress(lz, "LZClose");
    REQUIRE(open && copy && close);
    std::string stored = Opts().work + "\\stored.bin";
    std::string payload = SetupResource(resource);
    REQUIRE(!payload.empty() && WriteBytes(stored, payload));
    OFSTRUCT from = {}, to = {};
    std::string source = stored, target = destination;
    INT in = open(&source[0], &from, OF_READ);
    INT out = open(&target[0], &to, OF_CREATE);
    REQUIRE(in >= 0 && out >= 0);
    LONG written = copy(in, out);
    close(in);
    close(out);
    DeleteFileA(stored.c_str());
    REQUIRE(written >= 0);
}

HDDEDATA CALLBACK IgnoreDde(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

// Sends commands to Program Manager; true when every one was accepted.
bool ToProgramManager(const std::vector<std::string>& commands)
{
    DWORD instance = 0;
    if (DdeInitializeA(&instance, IgnoreDde, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR)
        return false;
    HSZ name = DdeCreateStringHandleA(instance, "PROGMAN", CP_WINANSI);
    HCONV conversation = DdeConnect(instance, name, name, nullptr);
    bool ok = conversation != nullptr;
    for (const std::string& command : commands) {
        if (!ok)
            break;
        DWORD result = 0;
        ok = DdeClientTransaction((BYTE*)command.c_str(), (DWORD)command.size() + 1, conversation,
                                  nullptr, CF_TEXT, XTYP_EXECUTE, 5000, &result) != nullptr;
        Log("program manager %s: %s", ok ? "took" : "refused", command.c_str());
    }
    if (conversation)
        DdeDisconnect(conversation);
    DdeFreeStringHandle(instance, name);
    DdeUninitialize(instance);
    return ok;
}

// Program Manager opens a folder window for a new group, which would cover
// the boxes that the scenario reads. (Closed, it is hidden; the screen keeps
// its picture where nothing else is drawn.)
void CloseGroupWindow(const std::string& group)
{
    if (!WaitTop("", group, 10000))
        return;
    // It may be shown more than once while it opens.
    DWORD quiet = Now();
    while (Now() - quiet < 1500) {
        for (HWND window : TopWindows("", group)) {
            if (ProcessOf(window) == GetCurrentProcessId())
                continue;
            PostMessageA(window, WM_CLOSE, 0, 0);
            CHECK(WaitGone(window, 10000));
            quiet = Now();
        }
        pilot::Sleep(100);
    }
}

void MakeGroup(const std::string& group, const std::string& folder)
{
    std::vector<std::string> commands = {"[CreateGroup(\"" + group + "\")]"};
    for (const Row& row : Rows) {
        std::string directory = &row == Rows ? WindowsDirectory() : folder;
        if (directory.back() == '\\')
            directory.pop_back();
        commands.push_back("[AddItem(\"" + directory + "\\" + row.file + "\",\"" + row.caption +
                           "\")]");
    }
    REQUIRE(ToProgramManager(commands));
    REQUIRE(IsFolder(GroupFolder(group)));
    CloseGroupWindow(group);
}

std::string InFolder(const std::string& folder, const char* file)
{
    return folder.back() == '\\' ? folder + file : folder + "\\" + file;
}

// What a completed installation of the sample into folder leaves: the
// files, the uninstaller, the group and the registry values.
void InstallSample(const std::string& folder, const std::string& group = "Pellomark")
{
    REQUIRE(MakeFolders(folder.back() == '\\' ? folder.substr(0, folder.size() - 1) : folder));
    for (const Row& row : Rows)
        Expand(row.resource, &row == Rows ? Uninstaller() : InFolder(folder, row.file));
    MakeGroup(group, folder);
    REQUIRE(RegSetText(HKEY_LOCAL_MACHINE, VersionKey, "Program Version", "1.01"));
    REQUIRE(RegSetText(HKEY_LOCAL_MACHINE, EntryKey, "DisplayName", "Pellomark Uninstall"));
    REQUIRE(RegSetText(HKEY_LOCAL_MACHINE, EntryKey, "UninstallString", Uninstaller()));
    REQUIRE(RegSetText(HKEY_LOCAL_MACHINE, EntryKey, "Program Path", folder));
    REQUIRE(RegSetText(HKEY_LOCAL_MACHINE, EntryKey, "Program Group", group));
    Log("installed the sample into %s, group %s", folder.c_str(), group.c_str());
}

std::string Question(const std::string& folder)
{
    return "This removes Pellomark from the folder\n" + folder +
           "\n\nIts program files, its program group and its registry entries are deleted. "
           "Files that you added to the folder are kept.\n\nRemove Pellomark now?";
}

const char NotInstalled[] = "Pellomark is not installed on this computer.\nNothing was changed.";

// Runs the uninstaller and answers its question; returns the next box.
Box Uninstall(const std::string& exe, const std::string& folder, Process* started)
{
    *started = Launch(exe);
    Box ask = WaitBox(Installer, 20000, started->pid);
    CHECK_EQ(ask.icon, std::string("question"));
    CHECK_EQ(ask.text, Question(folder));
    Shot("confirm");
    Answer(ask, IDYES);
    return WaitBox(Installer, 30000, started->pid);
}

// The uninstaller, once it has exited, has gone from the Windows directory.
void ExpectUninstallerGone(const Process& uninstaller)
{
    ExpectExitZero(uninstaller);
    DWORD exited = Now();
    bool gone = WaitUntil([] { return !Exists(Uninstaller()); }, 20000);
    CHECK(gone);
    Log("the uninstaller's file went %lu ms after it exited", (unsigned long)(Now() - exited));
}

bool RawValue(HKEY root, const char* key, const char* value, std::string* data)
{
    HKEY opened;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    bool ok = RegQueryValueExA(opened, value, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
    if (ok) {
        data->assign(size, '\0');
        ok = RegQueryValueExA(opened, value, nullptr, nullptr, (BYTE*)&(*data)[0], &size) ==
             ERROR_SUCCESS;
    }
    RegCloseKey(opened);
    return ok;
}

// The differences from before, less the one file an uninstall leaves until
// Windows restarts: the copy in the temporary folder that removed the
// uninstaller once it had exited. That copy must be marked for removal at
// restart, and no other file of the product may be so marked.
std::string PendingAtRestart()
{
    std::string pending;
    RawValue(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
             "PendingFileRenameOperations", &pending);
    return Lower(pending);
}

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
            bool marked = WaitUntil(
                [&] { return PendingAtRestart().find(file) != std::string::npos; }, 10000);
            Log("  finishing copy %s, %s", path.c_str(), marked ? "marked for restart" : "NOT marked");
            CHECK(marked);
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
    return !RegKeyExists(HKEY_LOCAL_MACHINE, EntryKey) &&
           !RegKeyExists(HKEY_LOCAL_MACHINE, "Shareware") && !IsFolder(GroupFolder("Pellomark"));
}

} // namespace

SCENARIO(uninstall_removes_what_was_installed, 800, 600)
{
    Snapshot before = TakeSnapshot();
    InstallSample(DefaultFolder);
    CHECK(Exists(GroupFolder("Pellomark") + "\\Uninstall.lnk"));
    Shot("installed");

    Process uninstaller;
    Box done = Uninstall(Uninstaller(), DefaultFolder, &uninstaller);
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
    CHECK(DifferencesAfterUninstall(before).empty());

    // Again, from a copy outside the drive: not installed, nothing changed,
    // and that copy stays.
    Snapshot removed = TakeSnapshot();
    std::string again = Opts().work + "\\Quodgone.exe";
    Expand("PURGESET", again);
    Process second = Launch(again);
    Box refused = WaitBox(Installer, 20000, second.pid);
    CHECK_EQ(refused.icon, std::string("warning"));
    CHECK_EQ(refused.text, std::string(NotInstalled));
    Shot("not-installed");
    Answer(refused, IDOK);
    ExpectExitZero(second);
    pilot::Sleep(2000);
    CHECK(Exists(again));
    ExpectUnchanged(removed);
}

// Declined first, which changes nothing; then accepted.
SCENARIO(uninstall_keeps_what_the_user_added, 800, 600)
{
    Snapshot before = TakeSnapshot();
    InstallSample(DefaultFolder);
    std::string notes = std::string(DefaultFolder) + "\\My notes.txt";
    REQUIRE(WriteBytes(notes, "mine\r\n"));

    Snapshot installed = TakeSnapshot();
    Process declined = Launch(Uninstaller());
    Box ask = WaitBox(Installer, 20000, declined.pid);
    CHECK_EQ(ask.text, Question(DefaultFolder));
    Answer(ask, IDNO);
    ExpectExitZero(declined);
    pilot::Sleep(2000);
    ExpectUnchanged(installed);

    Process uninstaller;
    Box done = Uninstall(Uninstaller(), DefaultFolder, &uninstaller);
    CHECK_EQ(done.icon, std::string("information"));
    CHECK(done.text.find("\n\nLeft in place:\n- the folder C:\\Dornwick\\Pellomark, which holds "
                         "files that Pellomark did not install") != std::string::npos);
    CHECK(done.text.find("- the folder C:\\Dornwick\\Pellomark\n") == std::string::npos);
    Answer(done, IDOK);
    ExpectUninstallerGone(uninstaller);

    std::string content;
    CHECK(ReadBytes(notes, &content) && content == "mine\r\n");
    CHECK(NoTrace());
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
    // The user's own folder, with files of its own, recorded with a final
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

// Recorded folders that the installer would not have written (the rest of
// the rules are the removal plan's unit tests): each is refused before
// anything is asked or removed.
SCENARIO(uninstall_refuses_a_bad_recorded_folder, 800, 600)
{
    InstallSample(DefaultFolder);
    const std::string recorded[] = {"C:\\", "Dornwick\\Pellomark", "C:\\" + std::string(300, 'p')};
    for (const std::string& path : recorded) {
        REQUIRE(RegSetText(HKEY_LOCAL_MACHINE, EntryKey, "Program Path", path));
        Snapshot installed = TakeSnapshot();
        Log("recorded folder [%s]", path.c_str());
        Process uninstaller = Launch(Uninstaller());
        Box refused = WaitBox(Installer, 20000, uninstaller.pid);
        CHECK_EQ(refused.icon, std::string("warning"));
        CHECK_EQ(refused.text, std::string(NotInstalled));
        Answer(refused, IDOK);
        ExpectExitZero(uninstaller);
        pilot::Sleep(1000);
        ExpectUnchanged(installed);
    }
    CHECK(Exists(std::string(DefaultFolder) + "\\Quodpost.exe"));
}

SCENARIO(uninstall_with_a_file_in_use, 800, 600)
{
    Snapshot before = TakeSnapshot();
    InstallSample(DefaultFolder);
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
    CHECK(RegKeyExists(HKEY_LOCAL_MACHINE, EntryKey));
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

// A recorded group whose name would end the command early and slip in
// another: it is not sent, so no group at all is deleted, and the rest goes.
SCENARIO(uninstall_does_not_send_a_breaking_group_name, 800, 600)
{
    REQUIRE(ToProgramManager({"[CreateGroup(\"Games\")]"}));
    CloseGroupWindow("Games");
    InstallSample(DefaultFolder);
    const std::string sly = "Pellomark\")][DeleteGroup(\"Games";
    REQUIRE(RegSetText(HKEY_LOCAL_MACHINE, EntryKey, "Program Group", sly));

    Process uninstaller;
    Box warned = Uninstall(Uninstaller(), DefaultFolder, &uninstaller);
    CHECK_EQ(warned.icon, std::string("warning"));
    CHECK_EQ(warned.text, "The program group \"" + sly +
                              "\" has a name that cannot be sent to Windows Explorer, so it is "
                              "left in place.");
    Answer(warned, IDOK);
    Box done = WaitBox(Installer, 30000, uninstaller.pid);
    CHECK_EQ(done.icon, std::string("information"));
    CHECK(done.text.find("Left in place:\n- the program group \"" + sly + "\"") !=
          std::string::npos);
    Answer(done, IDOK);
    ExpectUninstallerGone(uninstaller);
    CHECK(IsFolder(GroupFolder("Games")));
    CHECK(IsFolder(GroupFolder("Pellomark")));
    CHECK(!IsFolder(DefaultFolder));
    CHECK(!RegKeyExists(HKEY_LOCAL_MACHINE, EntryKey));
}

// Install with the installer itself, then uninstall with what it recorded:
// the prefix must be as it was.
SCENARIO(uninstall_after_real_install, 800, 600)
{
    Snapshot before = TakeSnapshot();
    Process setup = StartSetup();
    Press(WaitPage(AgreementCaption(), 20000), IDOK);
    Press(WaitPage(LocationCaption()), IDOK);
    CHECK(WaitGone(WaitPage(CopyCaption()), 60000));
    Press(WaitPage(GroupCaption(), 20000), 2000);
    Box created = WaitBox("Pellomark", 60000, setup.pid);
    Answer(created, IDOK);
    Box readMe = WaitBox(Installer, 20000, setup.pid);
    CHECK_EQ(readMe.icon, std::string("question"));
    Answer(readMe, IDNO);
    Answer(WaitBox(Installer, 20000, setup.pid), IDOK);
    ExpectExitZero(setup, 60000);

    std::string command, folder, group;
    REQUIRE(RegText(HKEY_LOCAL_MACHINE, EntryKey, "UninstallString", &command));
    REQUIRE(RegText(HKEY_LOCAL_MACHINE, EntryKey, "Program Path", &folder));
    REQUIRE(RegText(HKEY_LOCAL_MACHINE, EntryKey, "Program Group", &group));
    CHECK_EQ(Lower(command), Lower(Uninstaller()));
    CHECK_EQ(folder, std::string(DefaultFolder));
    CHECK(IsFolder(GroupFolder(group)));
    Shot("installed");

    Process uninstaller;
    Box done = Uninstall(command, folder, &uninstaller);
    CHECK_EQ(done.icon, std::string("information"));
    Shot("removed");
    Answer(done, IDOK);
    ExpectUninstallerGone(uninstaller);
    CHECK(NoTrace());
    CHECK(DifferencesAfterUninstall(before).empty());
}
