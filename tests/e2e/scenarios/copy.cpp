// The copy page end to end: every file installed byte for byte where it
// belongs, the labels and the two-tone meter through the three phases, a page
// that cannot be closed, and the failures that end it.
#include "../pilot/flows.h"

#include <aclapi.h>

#include <algorithm>

using namespace pilot;

namespace {

const int ActionLabel = 400, FileLabel = 401, PathLabel = 403, PathText = 404, MeterId = 405;
const int FolderEdit = 300;
const COLORREF WriteColor = 0x000080, ExpandColor = 0x800000, RemoveColor = 0x008000;

const char* const WriteFailedText =
    "Unable to write destination file!\nInstallation will now be aborted.";
const char* const DestinationOpenFailedText =
    "Unable to open destination file!\nInstallation will now be aborted.";
const char* const FolderFailedText =
    "Unable to create destination folder!\nInstallation will now be aborted.";
const char* const DamagedText = "Installation data is damaged!\nInstallation will now be aborted.";

struct Row {
    const char* file;
    const char* resource;
};
// The sample product's payload in table order; row 0 is the uninstaller.
const Row Rows[] = {{"Quodgone.exe", "PURGESET"},
                    {"Quodpost.exe", "PROGRAM"},
                    {"Quodpost.hlp", "HELPFILE"},
                    {"Read_me.txt", "README"}};
const int RowCount = 4;

std::string Joined(const std::string& folder, const std::string& name)
{
    return folder + (folder.back() == '\\' ? "" : "\\") + name;
}

std::string Stored(const std::string& folder, int row)
{
    std::string path = Joined(folder, Rows[row].file);
    path.back() = '_';
    return path;
}

std::string Destination(const std::string& folder, int row)
{
    return Joined(row == 0 ? WindowsDirectory() : folder, Rows[row].file);
}

// The file beside the destination that a row is expanded into first.
std::string Expanding(const std::string& folder, int row)
{
    std::string path = Destination(folder, row);
    path.back() = '~';
    return path;
}

// The file the sample product built a row from, given by the build as a
// Linux path (--set source<row>=...), seen through drive Z:.
std::string Source(int row)
{
    std::string path = Value("source" + std::to_string(row));
    if (path.empty())
        Require(__FILE__, __LINE__, "no --set source" + std::to_string(row));
    return WindowsPathOf(path);
}

std::string SourceBytes(int row)
{
    std::string bytes;
    if (!ReadBytes(Source(row), &bytes))
        Require(__FILE__, __LINE__, "cannot read " + Source(row));
    return bytes;
}

// A row's stored form, as the setup executable under test carries it.
std::string ResourceBytes(int row)
{
    std::string bytes = SetupResource(Rows[row].resource);
    if (bytes.empty())
        Require(__FILE__, __LINE__, std::string("setup has no resource ") + Rows[row].resource);
    return bytes;
}

std::string FileBytes(const std::string& path)
{
    std::string bytes;
    if (!ReadBytes(path, &bytes))
        return "(missing)";
    return bytes;
}

// Byte for byte, without printing megabytes when it differs.
bool SameBytes(const std::string& path, const std::string& expected)
{
    std::string bytes;
    bool read = ReadBytes(path, &bytes);
    if (read && bytes == expected)
        return true;
    Log("%s: %s, %zu bytes where %zu were expected", path.c_str(),
        read ? "differs" : "missing", bytes.size(), expected.size());
    return false;
}

// ---- watching the page -------------------------------------------------------

// The four labels as one reading, "action|file|path label|path"; empty once
// the page is gone, which may happen halfway through.
std::string ReadLabels(HWND page)
{
    std::string reading;
    for (int id : {ActionLabel, FileLabel, PathLabel, PathText}) {
        HWND label = GetDlgItem(page, id);
        if (!label)
            return "";
        reading += (id == ActionLabel ? "" : "|") + Text(label);
    }
    return IsWindow(page) ? reading : "";
}

// What the labels read in each phase, in the order the page goes through
// them; the first is the page before its first tick.
std::vector<std::string> ExpectedLabels(const std::string& folder)
{
    std::vector<std::string> expected = {"Extracting:||Destination:|"};
    for (int row = 0; row < RowCount; ++row)
        expected.push_back("Extracting:|" + std::string(Rows[row].file) + "|Destination:|" +
                           Stored(folder, row));
    for (int row = 0; row < RowCount; ++row)
        expected.push_back("Copying:|" + Stored(folder, row) + "|Destination:|" +
                           Destination(folder, row));
    for (int row = 0; row < RowCount; ++row)
        expected.push_back("Removing:|" + Stored(folder, row) + "||");
    return expected;
}

struct Watch {
    std::vector<std::string> labels;  // each settled reading unlike the one before
    std::vector<std::pair<int, COLORREF>> looks;  // the meter's fill: pixels, colour
    int width = 0;
    bool ended = false;               // the page went away by itself
    bool boxed = false;               // a message box of the installer came up
};

// Samples the labels every few tens of milliseconds and the meter's fill
// every 60 ms or so, until the page ends or shows a message box. The fill is
// read along the meter's top row, which the label (its text and place are the
// meter's unit tests) never reaches. poke runs once, some time into the
// write phase.
Watch WatchCopy(HWND page, const Process& setup, const std::function<void(HWND)>& poke = {})
{
    Watch watch;
    HWND meter = Item(page, MeterId);
    RECT client = {};
    GetClientRect(meter, &client);
    watch.width = client.right;
    POINT origin = {0, 0};
    ClientToScreen(meter, &origin);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    DWORD start = Now(), lastLook = 0;
    bool poked = false;
    for (;;) {
        if (!IsWindow(page) || !IsWindowVisible(page)) {
            watch.ended = true;
            break;
        }
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
            // A look counts only if the meter was on top on both sides of the
            // capture: the next page may already cover it as this one goes.
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

// Every reading is one of the table's, in the table's order, and the readings
// from 1 to through (the page's ticks up to there) were all seen.
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
        last = found - expected.begin();
        seen[last] = true;
        CHECK(reading.find("\\\\") == std::string::npos);
    }
    for (size_t i = 1; i <= through && i < expected.size(); ++i)
        if (!CHECK(seen[i]))
            Log("  never seen: %s", expected[i].c_str());
}

// The fill's colours come in the phases' order, the first fullPhases of
// them at least, each of those full before the next; within a phase the
// fill never goes back.
void CheckMeter(const Watch& watch, const std::vector<COLORREF>& phases, size_t fullPhases)
{
    std::vector<COLORREF> order;
    std::vector<bool> full(phases.size());
    int previous = 0;
    for (const auto& [fill, colour] : watch.looks) {
        if (colour == CLR_INVALID)
            continue;
        if (order.empty() || order.back() != colour)
            order.push_back(colour);
        else if (!CHECK(fill >= previous))
            Log("  the fill went back from %d to %d pixels", previous, fill);
        previous = fill;
        auto phase = std::find(phases.begin(), phases.end(), colour);
        if (phase != phases.end() && fill == watch.width)
            full[phase - phases.begin()] = true;
    }
    std::string colours;
    for (COLORREF colour : order)
        colours += " " + std::to_string(colour);
    Log("meter: %zu readings, fill colours%s", watch.looks.size(), colours.c_str());
    CHECK(order.size() >= fullPhases && order.size() <= phases.size() &&
          std::equal(order.begin(), order.end(), phases.begin()));
    for (size_t i = 0; i < fullPhases && i < phases.size(); ++i)
        if (!CHECK(full[i]))
            Log("  phase %zu never showed a full bar", i);
}

void CheckInstalled(const std::string& folder)
{
    for (int row = 0; row < RowCount; ++row) {
        CHECK(SameBytes(Destination(folder, row), SourceBytes(row)));
        CHECK(!Exists(Stored(folder, row)) && !Exists(Expanding(folder, row)));
    }
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

// After an abort: no stored copy and no file half expanded is left.
void CheckNothingLeft(const std::string& folder)
{
    for (int row = 0; row < RowCount; ++row)
        CHECK(!Exists(Stored(folder, row)) && !Exists(Expanding(folder, row)));
}

// Neither a key nor a close request ends the page: it has no buttons and no
// system menu, and it takes no commands. Meanwhile the first stored copy,
// written by now, is the page's own: others may read it, as the LZ library
// does, but neither write nor delete it.
void TryToClose(HWND page)
{
    std::string stored = Stored(DefaultFolder, 0);
    HANDLE writer = CreateFileA(stored.c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (!CHECK(writer == INVALID_HANDLE_VALUE))
        CloseHandle(writer);
    CHECK(!DeleteFileA(stored.c_str()));
    CHECK(SameBytes(stored, ResourceBytes(0)));

    Key(page, VK_ESCAPE);
    Key(page, VK_RETURN);
    CloseFromSystemMenu(page);
    PostMessageA(page, WM_CLOSE, 0, 0);
    Settle(page);
    CHECK(IsWindow(page) && IsWindowVisible(page));
}

void CheckPageStyle(HWND page)
{
    LONG style = GetWindowLongA(page, GWL_STYLE);
    CHECK(!(style & WS_SYSMENU));
    CHECK(!(style & WS_THICKFRAME));
    int buttons = 0;
    for (HWND child = nullptr; (child = FindWindowExA(page, child, "Button", nullptr)) != nullptr;)
        ++buttons;
    CHECK_EQ(buttons, 0);
}

HWND ChooseFolder(const std::string& folder)
{
    HWND location = ReachLocation();
    Type(location, FolderEdit, folder);
    Press(location, IDOK);
    return WaitPage(CopyCaption());
}

// After a full run: the group page comes; cancelling it ends the program.
void LeaveAtGroupPage(const Process& setup)
{
    HWND group = WaitPage(GroupCaption(), 120000);
    PostMessageA(group, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ExpectAbortNotice(setup.pid);
    ExpectExitZero(setup);
}

// typed, when given, is folder as the user typed it.
void InstallInto(const std::string& folder, bool tryToClose, const std::string& typed = "")
{
    Process setup = StartSetup();
    HWND page = folder == DefaultFolder ? ReachCopy() : ChooseFolder(typed.empty() ? folder : typed);
    CheckPageStyle(page);
    Shot("copy");
    Watch watch = tryToClose ? WatchCopy(page, setup, TryToClose) : WatchCopy(page, setup);
    REQUIRE(watch.ended);
    CheckLabels(watch, folder, ExpectedLabels(folder).size() - 1);
    CheckMeter(watch, {WriteColor, ExpandColor, RemoveColor}, 3);
    CheckInstalled(folder);
    CHECK(!EveryoneMayEnter(folder));
    LeaveAtGroupPage(setup);
}

// ---- failures ----------------------------------------------------------------

// The abort after a failed expansion: its own error box, then the notice; the
// program ends with 0 and never reaches the group page.
void ExpectFailedExpansion(const Process& setup, const std::string& text)
{
    Box box = WaitBox(Installer, 10000, setup.pid);
    CHECK_EQ(box.text, text);
    CHECK_EQ(box.icon, std::string("error"));
    Answer(box, IDOK);
    ExpectAbortNotice(setup.pid);
    ExpectExitZero(setup);
    CHECK(!WaitTop("#32770", GroupCaption(), 0));
}

// A failure some way into the page, watched: the labels up to tick `through`
// and still at it when the box came, a full write phase on the meter if it
// came after it, then the failure's boxes.
void ExpectWatchedFailure(const std::string& folder, size_t through, const std::string& text)
{
    Process setup = StartSetup();
    HWND page = folder == DefaultFolder ? ReachCopy() : ChooseFolder(folder);
    Watch watch = WatchCopy(page, setup);
    REQUIRE(watch.boxed);
    CheckLabels(watch, folder, through);
    CheckMeter(watch, {WriteColor, ExpandColor}, through > RowCount ? 1 : 0);
    CHECK_EQ(ReadLabels(page), ExpectedLabels(folder)[through]);
    Shot("failed");
    ExpectFailedExpansion(setup, text);
}

// Leaves room bytes free on drive E: (the hook's small drive) with a ballast
// file, so the sizes that decide where the drive fills are this executable's
// own.
void LeaveRoom(ULONGLONG room)
{
    ULARGE_INTEGER available = {}, total = {}, free = {};
    REQUIRE(GetDiskFreeSpaceExA("E:\\", &available, &total, &free));
    REQUIRE(available.QuadPart > room + 4096);
    ULONGLONG ballast = (available.QuadPart - room) / 4096 * 4096;
    REQUIRE(WriteBytes("E:\\ballast", std::string((size_t)ballast, 'b')));
    REQUIRE(GetDiskFreeSpaceExA("E:\\", &available, &total, &free));
    Log("drive E: %llu of %llu bytes free", available.QuadPart, total.QuadPart);
    CHECK(available.QuadPart <= room && available.QuadPart + 8192 >= room);
}

ULONGLONG Pages(size_t bytes) { return (bytes + 4095) / 4096 * 4096; }

} // namespace

SCENARIO(copy_installs_every_file, 800, 600)
{
    InstallInto(DefaultFolder, true);
}

// A typed folder that does not exist, several new levels deep, with "." and
// ".." and a final backslash: it is made as the system resolves it, and the
// files go there.
SCENARIO(copy_into_new_folders_ending_in_a_backslash, 800, 600)
{
    CHECK(!Exists("C:\\Apps"));
    InstallInto("C:\\Apps\\Suite\\Tools\\Pellomark", false,
                "C:\\Apps\\Old\\..\\Suite\\.\\Tools\\Pellomark\\");
    CHECK(IsFolder("C:\\Apps\\Suite\\Tools"));
    CHECK(!Exists("C:\\Apps\\Old"));
}

FAULT_SCENARIO(copy_destination_held_open, 800, 600)
{
    // Row 2's destination, an older version opened without sharing, cannot
    // be replaced: it keeps what it held.
    const std::string older = "the help of an older version\r\n";
    REQUIRE(MakeFolders(DefaultFolder));
    std::string held = Destination(DefaultFolder, 2);
    REQUIRE(WriteBytes(held, older));
    HANDLE file = CreateFileA(held.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    REQUIRE(file != INVALID_HANDLE_VALUE);
    ExpectWatchedFailure(DefaultFolder, RowCount + 3, DestinationOpenFailedText);
    CloseHandle(file);

    for (int row = 0; row < 2; ++row)
        CHECK(SameBytes(Destination(DefaultFolder, row), SourceBytes(row)));
    CHECK_EQ(FileBytes(held), older);
    CHECK(!Exists(Destination(DefaultFolder, 3)));
    CheckNothingLeft(DefaultFolder);
}

// Another user's program planted where the program's stored copy goes, and
// held open against writing: the page cannot make the stored copy its own,
// so it stops there, and the planted file is never expanded.
FAULT_SCENARIO(copy_planted_stored_copy_is_refused, 800, 600)
{
    const std::string planted = "MZ a program of another user's\r\n";
    REQUIRE(MakeFolders(DefaultFolder));
    std::string stored = Stored(DefaultFolder, 1);
    REQUIRE(WriteBytes(stored, planted));
    HANDLE held = CreateFileA(stored.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    REQUIRE(held != INVALID_HANDLE_VALUE);
    ExpectWatchedFailure(DefaultFolder, 2, DestinationOpenFailedText);
    CloseHandle(held);

    CHECK_EQ(FileBytes(stored), planted);
    CHECK(!Exists(Stored(DefaultFolder, 0)));
    for (int row = 0; row < RowCount; ++row)
        CHECK(!Exists(Destination(DefaultFolder, row)));
    CHECK(!RegKeyExists(HKEY_LOCAL_MACHINE, "Shareware"));
}

// The drive fills while the stored copies are written: the uninstaller's
// stored copy cannot be written whole, and the page stops there; the older
// uninstaller in the Windows directory stays as it was.
FAULT_SCENARIO(copy_small_drive_fills_while_writing, 800, 600)
{
    const std::string folder = "E:\\Pellomark";
    const std::string older = "MZ an older uninstaller\r\n";
    REQUIRE(WriteBytes(Destination(folder, 0), older));
    ULONGLONG room = 4096;
    REQUIRE(room < ResourceBytes(0).size());
    LeaveRoom(room);
    ExpectWatchedFailure(folder, 1, WriteFailedText);

    CHECK_EQ(FileBytes(Destination(folder, 0)), older);
    CHECK(!Exists(Destination(folder, 1)));
    CheckNothingLeft(folder);
}

// The stored copies all fit; the drive fills while the program is expanded
// next to them.
FAULT_SCENARIO(copy_small_drive_fills_while_expanding, 800, 600)
{
    const std::string folder = "E:\\Pellomark";
    ULONGLONG stored = 0;
    for (int row = 0; row < RowCount; ++row)
        stored += Pages(ResourceBytes(row).size());
    ULONGLONG room = stored + 32768;
    REQUIRE(room < stored + Pages(SourceBytes(1).size()));
    // An older program there is kept whole: no cut-off file takes its place.
    const std::string older = "MZ an older program\r\n";
    REQUIRE(MakeFolders(folder));
    REQUIRE(WriteBytes(Destination(folder, 1), older));
    LeaveRoom(room);
    ExpectWatchedFailure(folder, RowCount + 2, WriteFailedText);

    CHECK(SameBytes(Destination(folder, 0), SourceBytes(0)));
    CHECK_EQ(FileBytes(Destination(folder, 1)), older);
    CheckNothingLeft(folder);
}

// A byte of the program's resource flipped in a copy of the executable: the
// copy page finds the damage before it writes that stored copy, and nothing
// is expanded.
FAULT_SCENARIO(copy_damaged_payload_is_refused, 800, 600)
{
    std::string program = ResourceBytes(1);
    std::string executable = FileBytes(Opts().setup);
    size_t at = executable.find(program);
    REQUIRE(at != std::string::npos);
    executable[at + program.size() / 2] ^= 0x20;
    const std::string folder = "C:\\users\\Public\\Downloads";
    REQUIRE(MakeFolders(folder));
    REQUIRE(WriteBytes(folder + "\\setup.exe", executable));

    Process setup = Launch(folder + "\\setup.exe", "", folder);
    ReachCopy();
    ExpectFailedExpansion(setup, DamagedText);
    CheckNothingLeft(DefaultFolder);
    for (int row = 0; row < RowCount; ++row)
        CHECK(!Exists(Destination(DefaultFolder, row)));
    CHECK(!RegKeyExists(HKEY_LOCAL_MACHINE, "Shareware"));
}

// A file of the folder's name is in the way: the folder cannot be made, and
// the page says so at once instead of failing on the first stored copy.
FAULT_SCENARIO(copy_destination_folder_cannot_be_created, 800, 600)
{
    const std::string inTheWay = "a file where the folder should be\r\n";
    REQUIRE(MakeFolders("C:\\Dornwick"));
    REQUIRE(WriteBytes(DefaultFolder, inTheWay));

    Process setup = StartSetup();
    ReachCopy();
    ExpectFailedExpansion(setup, FolderFailedText);
    CHECK_EQ(FileBytes(DefaultFolder), inTheWay);
    CHECK(!Exists(Destination(DefaultFolder, 0)));
}

// An installed file left read-only (copied from a disc, say) is replaced,
// and the installation goes on.
FAULT_SCENARIO(copy_read_only_file_to_replace, 800, 600)
{
    REQUIRE(MakeFolders(DefaultFolder));
    std::string readOnly = Destination(DefaultFolder, 2);
    REQUIRE(WriteBytes(readOnly, "the help of an older version\r\n"));
    REQUIRE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));

    StartSetup();
    CHECK(WaitGone(ReachCopy(), 60000));
    WaitPage(GroupCaption());
    CHECK(SameBytes(readOnly, SourceBytes(2)));
    CHECK(!(GetFileAttributesA(readOnly.c_str()) & FILE_ATTRIBUTE_READONLY));
    CheckInstalled(DefaultFolder);
}

// An uninstaller of that name is running from the Windows directory: it
// cannot be replaced, and the page says so before anything else changes.
FAULT_SCENARIO(copy_uninstaller_in_use, 800, 600)
{
    std::string inUse = Destination(DefaultFolder, 0);
    REQUIRE(CopyFileA((WindowsDirectory() + "\\notepad.exe").c_str(), inUse.c_str(), FALSE));
    std::string running = FileBytes(inUse);
    Process old = Launch(inUse);
    REQUIRE(WaitTop("Notepad", "", 15000, old.pid));

    Process setup = StartSetup();
    ReachCopy();
    ExpectFailedExpansion(setup, DestinationOpenFailedText);
    CHECK(Running(old));
    CHECK(FileBytes(inUse) == running);
    CheckNothingLeft(DefaultFolder);
    for (int row = 1; row < RowCount; ++row)
        CHECK(!Exists(Destination(DefaultFolder, row)));
    Kill(old);
}

namespace {

// Not a test: bench/copy-pace.sh runs it to time the copy page from the
// moment it shows until it goes away.
void PaceCopyPage()
{
    Process setup = StartSetup();
    HWND location = ReachLocation();
    Press(location, IDOK);
    HWND page = nullptr;
    REQUIRE(WaitUntil([&] { return (page = WaitTop("#32770", CopyCaption(), 0, setup.pid)) != nullptr; },
                      20000));
    // Timed with the performance counter: the tick counter moves in steps of
    // about 16 ms here. Message boxes are looked for only now and then, so
    // that the page is not kept busy answering.
    LARGE_INTEGER frequency, shown, gone;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&shown);
    for (int polls = 1; IsWindow(page) && IsWindowVisible(page); ++polls) {
        if (polls % 50 == 0 && WaitTop("#32770", Installer, 0, setup.pid))
            break;
        ::Sleep(1);
    }
    QueryPerformanceCounter(&gone);
    REQUIRE(!WaitTop("#32770", Installer, 0, setup.pid));
    Log("copy page wall time: %lu ms",
        (unsigned long)((gone.QuadPart - shown.QuadPart) * 1000 / frequency.QuadPart));
    LeaveAtGroupPage(setup);
}

::pilot::Registrar pace("copy_pace", PaceCopyPage);

} // namespace
