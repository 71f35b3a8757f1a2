// Installations that a disk, a file or the executable itself stops on the
// copy page: each failure's own box, the abort notice, exit 0, no group page,
// and what was there before kept.
#include "../pilot/steps.h"

using namespace pilot;

namespace {

const char* const DamagedText = "Installation data is damaged!\nInstallation will now be aborted.";
const char* const FolderFailedText =
    "Unable to create destination folder!\nInstallation will now be aborted.";

void ExpectFailedCopy(const Process& setup, const std::string& text)
{
    ExpectBox(setup.pid, Installer, text, "error", IDOK, 10000);
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
    HWND page = ReachCopy(folder == DefaultFolder ? "" : folder);
    Watch watch = WatchCopy(page, setup);
    REQUIRE(watch.boxed);
    CheckLabels(watch, folder, through);
    CheckMeter(watch, 2, through > RowCount ? 1 : 0);
    CHECK_EQ(ReadLabels(page), ExpectedLabels(folder)[through]);
    Shot("failed");
    ExpectFailedCopy(setup, text);
}

void ExpectNoneInstalled(int from = 0)
{
    for (int row = from; row < RowCount; ++row)
        CHECK(!Exists(Destination(DefaultFolder, row)));
    CheckNothingLeft(DefaultFolder);
    CHECK(!RegKeyExists(HKEY_LOCAL_MACHINE, "Shareware"));
}

// Leaves room bytes free on drive E: (the hook's small drive) with a ballast
// file, so the sizes that decide where the drive fills are this executable's.
void LeaveRoom(ULONGLONG room)
{
    DeleteFileA("E:\\ballast");
    ULARGE_INTEGER available = {};
    REQUIRE(GetDiskFreeSpaceExA("E:\\", &available, nullptr, nullptr));
    REQUIRE(available.QuadPart > room + 4096);
    REQUIRE(WriteBytes("E:\\ballast", std::string((size_t)((available.QuadPart - room) / 4096 * 4096), 'b')));
    REQUIRE(GetDiskFreeSpaceExA("E:\\", &available, nullptr, nullptr));
    Log("drive E: %llu bytes free", available.QuadPart);
    CHECK(available.QuadPart <= room && available.QuadPart + 8192 >= room);
}

ULONGLONG Pages(size_t bytes) { return (bytes + 4095) / 4096 * 4096; }

} // namespace

FAULT_SCENARIO(copy_faults, 800, 600)
{
    // A file of the folder's name is in the way: the page says so at once.
    const std::string inTheWay = "a file where the folder should be\r\n";
    REQUIRE(MakeFolders("C:\\Dornwick") && WriteBytes(DefaultFolder, inTheWay));
    Process setup = StartSetup();
    ReachCopy();
    ExpectFailedCopy(setup, FolderFailedText);
    CHECK_EQ(FileBytes(DefaultFolder), inTheWay);
    CHECK(!Exists(Destination(DefaultFolder, 0)));
    REQUIRE(DeleteFileA(DefaultFolder));

    // A byte of the program's resource flipped in a copy of the executable:
    // the damage is found before that stored copy is written.
    std::string program = ResourceBytes(1), executable = FileBytes(Opts().setup);
    size_t at = executable.find(program);
    REQUIRE(at != std::string::npos);
    executable[at + program.size() / 2] ^= 0x20;
    REQUIRE(WriteBytes(Opts().work + "\\setup.exe", executable));
    setup = Launch(Opts().work + "\\setup.exe", "", Opts().work);
    ReachCopy();
    ExpectFailedCopy(setup, DamagedText);
    ExpectNoneInstalled();

    // An uninstaller of that name running from the Windows directory cannot
    // be replaced; the page says so before anything else changes.
    std::string inUse = Destination(DefaultFolder, 0);
    REQUIRE(CopyFileA((WindowsDirectory() + "\\notepad.exe").c_str(), inUse.c_str(), FALSE));
    std::string running = FileBytes(inUse);
    Process old = Launch(inUse);
    REQUIRE(WaitTop("Notepad", "", 15000, old.pid));
    setup = StartSetup();
    ReachCopy();
    ExpectFailedCopy(setup, OpenFailedText);
    CHECK(Running(old) && FileBytes(inUse) == running);
    ExpectNoneInstalled(1);
    Kill(old);
    REQUIRE(WaitUntil([&] { return DeleteFileA(inUse.c_str()); }, 5000));

    // Another user's program planted where the program's stored copy goes,
    // held open against writing: the page stops there, never expanding it.
    const std::string planted = "MZ a program of another user's\r\n";
    REQUIRE(MakeFolders(DefaultFolder));
    std::string stored = Stored(DefaultFolder, 1);
    REQUIRE(WriteBytes(stored, planted));
    HANDLE held = CreateFileA(stored.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    REQUIRE(held != INVALID_HANDLE_VALUE);
    ExpectWatchedFailure(DefaultFolder, 2, OpenFailedText);
    CloseHandle(held);
    CHECK_EQ(FileBytes(stored), planted);
    CHECK(!Exists(Stored(DefaultFolder, 0)));
    REQUIRE(DeleteFileA(stored.c_str()));
    ExpectNoneInstalled();

    // Row 2's destination, an older version opened without sharing, cannot
    // be replaced: it keeps what it held, the rows before it are installed.
    const std::string older = "the help of an older version\r\n";
    std::string help = Destination(DefaultFolder, 2);
    REQUIRE(WriteBytes(help, older));
    held = CreateFileA(help.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    REQUIRE(held != INVALID_HANDLE_VALUE);
    ExpectWatchedFailure(DefaultFolder, RowCount + 3, OpenFailedText);
    CloseHandle(held);
    for (int row = 0; row < 2; ++row)
        CHECK(SameBytes(Destination(DefaultFolder, row), SourceBytes(row)));
    CHECK_EQ(FileBytes(help), older);
    CHECK(!Exists(Destination(DefaultFolder, 3)));
    CheckNothingLeft(DefaultFolder);
}

// Drive E: is a 4 MiB drive of its own (hooks/small_drive_fills.sh).
FAULT_SCENARIO(small_drive_fills, 800, 600)
{
    // It fills while the stored copies are written: the uninstaller's cannot
    // be written whole, and the older one in the Windows directory stays.
    const std::string folder = "E:\\Pellomark";
    const std::string olderRemover = "MZ an older uninstaller\r\n";
    REQUIRE(WriteBytes(Destination(folder, 0), olderRemover));
    REQUIRE(4096 < ResourceBytes(0).size());
    LeaveRoom(4096);
    ExpectWatchedFailure(folder, 1, WriteFailedText);
    CHECK_EQ(FileBytes(Destination(folder, 0)), olderRemover);
    CHECK(!Exists(Destination(folder, 1)));
    CheckNothingLeft(folder);

    // The stored copies all fit; it fills while the program is expanded next
    // to them. An older program there is kept whole, not cut off.
    ULONGLONG stored = 0;
    for (int row = 0; row < RowCount; ++row)
        stored += Pages(ResourceBytes(row).size());
    REQUIRE(32768 < Pages(SourceBytes(1).size()));
    const std::string olderProgram = "MZ an older program\r\n";
    REQUIRE(MakeFolders(folder) && WriteBytes(Destination(folder, 1), olderProgram));
    LeaveRoom(stored + 32768);
    ExpectWatchedFailure(folder, RowCount + 2, WriteFailedText);
    CHECK(SameBytes(Destination(folder, 0), SourceBytes(0)));
    CHECK_EQ(FileBytes(Destination(folder, 1)), olderProgram);
    CheckNothingLeft(folder);
}

namespace {

// Not a test: bench/copy-pace.sh runs it to time the copy page from the
// moment it shows until it goes away, with the performance counter (the tick
// counter moves in steps of about 16 ms here), looking for boxes only now
// and then so that the page is not kept busy answering.
void PaceCopyPage()
{
    Process setup = StartSetup();
    Press(ReachLocation(), IDC_AFFIRM);
    HWND page = nullptr;
    REQUIRE(WaitUntil([&] { return (page = WaitTop("#32770", CopyCaption(), 0, setup.pid)) != nullptr; },
                      20000));
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
}

::pilot::Registrar pace("copy_pace", PaceCopyPage);

} // namespace
