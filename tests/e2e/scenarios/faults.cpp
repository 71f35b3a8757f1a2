// Installations that a disk, a file or the executable itself stops on the
// copy page, one after another: each failure's own box, the abort notice, exit 0, no group page,
// and what was there before kept.
#include "../pilot/pilot.h"

using namespace pilot;

namespace {

const char* const OpenFailedText =
    "Unable to open destination file!\nInstallation will now be aborted.";
const char* const WriteFailedText =
    "Unable to write destination file!\nInstallation will now be aborted.";
const std::string Missing = "(missing)";
const std::vector<std::string> None(RowCount, Missing);

// From the first page to the failure's box and the abort that follows it;
// then, the file held for the fault let go, no registry and the rows as
// ExpectRows reads them (none given: left to the caller).
void ExpectFailedCopy(const std::string& text, const std::vector<std::string>& rows,
                      const std::string& folder = "", HANDLE held = nullptr,
                      const Process& setup = StartSetup())
{
    ReachCopy(folder);
    ExpectBox(setup.pid, Installer, text, "error", IDOK, 60000);
    Shot("failed");
    ExpectBox(setup.pid, Installer, AbortText, "warning");
    ExpectExitZero(setup);
    CHECK(!WaitTop("#32770", GroupCaption()));
    CloseHandle(held);
    CHECK_EQ(Reg("Shareware"), "");
    if (!rows.empty())
        ExpectRows(folder.empty() ? DefaultFolder : folder, rows);
}

// Leaves room bytes free on drive E: (the hook's small drive) with a ballast
// file, so the sizes that decide where the drive fills are this executable's.
void LeaveRoom(ULONGLONG room)
{
    DeleteFileA("E:\\ballast");
    ULARGE_INTEGER available = {};
    REQUIRE(GetDiskFreeSpaceExA("E:\\", &available, nullptr, nullptr) &&
            available.QuadPart > room + 4096);
    REQUIRE(WriteBytes("E:\\ballast", std::string((available.QuadPart - room) / 4096 * 4096, 'b')));
    REQUIRE(GetDiskFreeSpaceExA("E:\\", &available, nullptr, nullptr));
    Log("drive E: %llu bytes free", available.QuadPart);
    CHECK(available.QuadPart <= room && available.QuadPart + 8192 >= room);
}

ULONGLONG Pages(size_t bytes) { return (bytes + 4095) / 4096 * 4096; }

}  // namespace

FAULT_SCENARIO(copy_faults, 800, 600)
{
    // A file of the folder's name is in the way: the page says so at once.
    const std::string inTheWay = "a file where the folder should be\r\n";
    REQUIRE(MakeFolders("C:\\Dornwick") && WriteBytes(DefaultFolder, inTheWay));
    ExpectFailedCopy("Unable to create destination folder!\nInstallation will now be aborted.",
                     None);
    CHECK_EQ(FileBytes(DefaultFolder), inTheWay);
    REQUIRE(DeleteFileA(DefaultFolder));

    // A byte of the program's resource flipped in a copy of the executable:
    // the damage is found before that stored copy is written.
    std::string program = ResourceBytes(1), executable = FileBytes(values["setup"]);
    size_t at = executable.find(program);
    REQUIRE(at != std::string::npos);
    executable[at + program.size() / 2] ^= 0x20;
    REQUIRE(WriteBytes(values["work"] + "\\setup.exe", executable));
    ExpectFailedCopy("Installation data is damaged!\nInstallation will now be aborted.", None, "",
                     nullptr, Launch(values["work"] + "\\setup.exe", "", values["work"]));

    // An uninstaller of that name running from the Windows directory cannot
    // be replaced; the page says so before anything else changes.
    std::string inUse = Destination(DefaultFolder, 0);
    REQUIRE(CopyFileA((Windows + "\\notepad.exe").c_str(), inUse.c_str(), FALSE));
    std::string running = FileBytes(inUse);
    Process old = Launch(inUse);
    REQUIRE(WaitTop("Notepad", "", 15000, old.pid));
    ExpectFailedCopy(OpenFailedText, {running, Missing, Missing, Missing});
    CHECK(WaitForSingleObject(old.handle, 0) == WAIT_TIMEOUT);
    TerminateProcess(old.handle, 99);
    REQUIRE(WaitUntil([&] { return DeleteFileA(inUse.c_str()); }, 5000));

    // Another user's program planted where the program's stored copy goes,
    // held open against writing: the page stops there, never expanding it.
    const std::string planted = "MZ a program of another user's\r\n";
    std::string stored = Stored(DefaultFolder, 1);
    REQUIRE(MakeFolders(DefaultFolder) && WriteBytes(stored, planted));
    ExpectFailedCopy(OpenFailedText, {}, "", Hold(stored, GENERIC_READ, FILE_SHARE_READ));
    CHECK_EQ(FileBytes(stored), planted);
    REQUIRE(DeleteFileA(stored.c_str()));
    ExpectRows(DefaultFolder, None);

    // Row 2's destination, an older version opened without sharing, cannot
    // be replaced: it keeps what it held, the rows before it are installed.
    const std::string older = "the help of an older version\r\n";
    REQUIRE(WriteBytes(Destination(DefaultFolder, 2), older));
    ExpectFailedCopy(OpenFailedText, {"", "", older, Missing}, "",
                     Hold(Destination(DefaultFolder, 2), GENERIC_READ | GENERIC_WRITE, 0));

    // Drive E: is a 4 MiB drive of its own (hooks/copy_faults.sh). It fills
    // while the stored copies are written: the uninstaller's cannot be
    // written whole, and the older one in the Windows directory stays.
    const std::string folder = "E:\\Pellomark", olderRemover = "MZ an older uninstaller\r\n";
    REQUIRE(WriteBytes(Destination(folder, 0), olderRemover) && ResourceBytes(0).size() > 4096);
    LeaveRoom(4096);
    ExpectFailedCopy(WriteFailedText, {olderRemover, Missing, Missing, Missing}, folder);

    // The stored copies all fit; it fills while the program is expanded next
    // to them. An older program there is kept whole, not cut off.
    ULONGLONG room = 32768;
    for (int row = 0; row < RowCount; ++row)
        room += Pages(ResourceBytes(row).size());
    const std::string olderProgram = "MZ an older program\r\n";
    REQUIRE(Pages(SourceBytes(1).size()) > 32768 && MakeFolders(folder) &&
            WriteBytes(Destination(folder, 1), olderProgram));
    LeaveRoom(room);
    ExpectFailedCopy(WriteFailedText, {"", olderProgram, Missing, Missing}, folder);
}

// Not a journey: bench/copy-pace.sh runs it to time the copy page from the
// moment it shows until it goes away, with the performance counter (the tick
// counter moves in steps of about 16 ms here), looking for boxes only now
// and then so that the page is not kept busy answering.
SCENARIO_BY_HAND(copy_pace, 800, 600)
{
    Process setup = StartSetup();
    Press(ReachLocation(), IDC_AFFIRM);
    HWND page = WaitTop("#32770", CopyCaption(), 20000, setup.pid);
    LARGE_INTEGER frequency, shown, gone;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&shown);
    for (int polls = 1; IsWindowVisible(page); ++polls, Sleep(1))
        REQUIRE(polls % 50 || !WaitTop("#32770", Installer, 0, setup.pid));
    QueryPerformanceCounter(&gone);
    REQUIRE(page && !WaitTop("#32770", Installer, 0, setup.pid));
    Log("copy page wall time: %lld ms",
        (gone.QuadPart - shown.QuadPart) * 1000 / frequency.QuadPart);
}
