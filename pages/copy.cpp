#include "pages.h"
#include "pagekit.h"
#include "meter.h"
#include "copy_logic.h"
#include "../manifest/crc32.h"
#include "../manifest/manifest.h"
#include "../platform/state.h"
#include "../manifest/text.h"
#include "../platform/hardening.h"
#include "../resources/resource.h"

#include <sddl.h>

namespace {

// Each phase runs on its own timer, killed first thing, so the pumps inside
// a phase never re-enter it.
enum {
    WriteTimer = 1,
    ExpandTimer = 2,
    RemoveTimer = 3,
    TickDelay = 100,
    StepPause = 10,
    EntryPause = 100,
    ReadPause = 25,
    WrittenPause = 1000,
    ExpandedPause = 2000,
    RemovedPause = 1000
};

int32_t InstalledCount() { return PayloadCount(Manifest.FileCount); }

void StoredCopyPath(char* output, int32_t index)
{
    StoredPath(output, FullPathSize, State.InstallDir, Manifest.Payload[index].FileName);
}

// The uninstaller goes into the Windows directory, everything else into the
// destination folder. With a mark, the file beside it that it is expanded
// into first.
void DestinationPath(char* output, int32_t index, char mark)
{
    const char* folder = index == UninstallerRow ? State.WindowsDir : State.InstallDir;
    const char* name = Manifest.Payload[index].FileName;
    if (mark)
        MarkedPath(output, FullPathSize, folder, name, mark);
    else
        JoinPath(output, FullPathSize, folder, name, Unquoted);
}

const DWORD CreateFlags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN;

// Each stored copy is held open from its creation until it is removed:
// others may read it, as the LZ library must, but neither write nor delete
// it, so what is expanded is what was written.
HANDLE HeldCopies[PayloadSlots];

// A file of our own, new: whatever lies at path is removed first, and one
// that cannot be removed (another program holds it open, say) is never
// used in its place.
HANDLE CreateFresh(const char* path)
{
    DeleteFileA(path);
    return CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, 0, CREATE_NEW, CreateFlags, 0);
}

void RemoveStoredCopy(int32_t index)
{
    if (!HeldCopies[index])
        return;
    CloseHandle(HeldCopies[index]);
    HeldCopies[index] = 0;
    char stored[FullPathSize];
    StoredCopyPath(stored, index);
    DeleteFileA(stored);
}

void ResetMeter(COLORREF color)
{
    State.MeterState.Percent = 0;
    State.MeterState.PercentExact = 0.0f;
    State.MeterState.MeterColor = color;
    RepaintMeter();
}

void StepMeter(HWND page)
{
    int32_t steps = StepsPerEntry(InstalledCount());
    for (int32_t i = 0; i < steps; ++i) {
        StepWholePercent(State.MeterState.Percent, State.MeterState.PercentExact);
        RepaintMeter();
        PumpFor(page, StepPause);
    }
}

// Folders made here: Administrators and SYSTEM in full control, users may
// read and run, and nothing is inherited from above, where a drive's root
// lets every user change what is made below it.
const char ProtectedFolderAccess[] = "D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

// false when the protected access list cannot be made.
bool CreateFolderChain(const char* path)
{
    SECURITY_ATTRIBUTES access = {sizeof access, 0, FALSE};
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(
            ProtectedFolderAccess, SDDL_REVISION_1, &access.lpSecurityDescriptor, 0))
        return false;
    int32_t lengths[FullPathSize];
    int32_t levels = PlanFolderChain(path, lengths, FullPathSize);
    char folder[FullPathSize];
    for (int32_t i = 0; i < levels; ++i) {
        TextCopyPart(folder, sizeof folder, path, lengths[i]);
        // A level that exists already is no error.
        CreateDirectoryA(folder, &access);
    }
    LocalFree(access.lpSecurityDescriptor);
    return true;
}

// The failure that stops the installation, or NoFailure. A resource that
// is missing, short or not what the packer put there is damaged data, and
// nothing is written.
CopyFailure WriteStoredCopy(int32_t index, const char* path)
{
    const PayloadEntry& entry = Manifest.Payload[index];
    const void* bytes = 0;
    DWORD size = 0;
    HRSRC found = FindResourceA(State.AppInstance, entry.ResourceName, RT_RCDATA);
    HGLOBAL loaded = found ? LoadResource(State.AppInstance, found) : 0;
    if (loaded && (bytes = LockResource(loaded)) != 0)
        size = StoredBytes(entry.StoredSize, SizeofResource(State.AppInstance, found));
    if (size != entry.StoredSize || Crc32(bytes, size) != PayloadCrc[index])
        return PayloadDamaged;
    HANDLE file = CreateFresh(path);
    if (file == INVALID_HANDLE_VALUE)
        return DestinationOpenFailed;
    HeldCopies[index] = file;
    DWORD written = 0;
    if (size && (!WriteFile(file, bytes, size, &written, 0) || written != size))
        return DestinationWriteFailed;
    return NoFailure;
}

void ShowFailure(HWND page, CopyFailure failure)
{
    char text[FailureTextSize];
    FailureText(text, sizeof text, failure);
    MessageBoxA(page, text, Manifest.InstallerName, MB_OK | MB_ICONERROR);
}

// After the failure's own box: the stored copies removed, the meter given
// back, the abort notice, and the page ended with 0. Every installed file
// keeps what it held before.
void AbortInstallation(HWND page)
{
    for (int32_t i = 0; i < PayloadSlots; ++i)
        RemoveStoredCopy(i);
    State.MeterState.ExpandIndex = -1;
    SendMessageA(page, WM_UNHOOK_METER, 0, 0);
    EndDialog(page, AbortNotice(page));
}

bool IsFolder(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void WriteStoredCopies(HWND page)
{
    KillTimer(page, WriteTimer);
    // Checked again now that it is made: no file goes through a link.
    DiskProbe disk;
    if (!CreateFolderChain(State.InstallDir) || !IsFolder(State.InstallDir) ||
        FolderTrustRefusal(State.InstallDir, disk)) {
        ShowFailure(page, FolderCreateFailed);
        AbortInstallation(page);
        return;
    }
    MeterState& meter = State.MeterState;
    meter.TotalExpanded = TotalExpandedSize(Manifest.Payload, InstalledCount());
    meter.ReadsPerHalfPercent = ReadsPerHalfPercent(meter.TotalExpanded);
    for (int32_t i = 0; i < InstalledCount(); ++i) {
        char stored[FullPathSize];
        StoredCopyPath(stored, i);
        SetDlgItemTextA(page, IDC_COPY_FILE, Manifest.Payload[i].FileName);
        SetDlgItemTextA(page, IDC_COPY_PATH, stored);
        CopyFailure failure = WriteStoredCopy(i, stored);
        if (failure != NoFailure) {
            ShowFailure(page, failure);
            AbortInstallation(page);
            return;
        }
        StepMeter(page);
        PumpFor(page, EntryPause);
    }
    PumpFor(page, WrittenPause);
    ResetMeter(ExpandingColor);
    SetTimer(page, ExpandTimer, TickDelay, 0);
}

class LzExpansion : public ExpandPort {
public:
    LzExpansion(HWND page, INT source, HANDLE destination)
        : page_(page), source_(source), destination_(destination)
    {
    }

    int32_t Read(char* buffer, int32_t size) override { return LZRead(source_, buffer, size); }

    void ReadCounted() override
    {
        MeterState& meter = State.MeterState;
        if (CountRead(meter.ReadCount, meter.ReadsPerHalfPercent, State.MeterHook.MeterWindow != 0,
                      meter.Percent, meter.PercentExact)) {
            RepaintMeter();
            PumpFor(page_, ReadPause);
        }
    }

    int32_t Write(const char* data, int32_t size) override
    {
        DWORD written = 0;
        if (!WriteFile(destination_, data, (DWORD)size, &written, 0))
            return -1;
        return (int32_t)written;
    }

private:
    HWND page_;
    INT source_;
    HANDLE destination_;
};

// 1 when the destination holds exactly the expanded source; -1 once the
// user has been told why not. The source is expanded into a file of its own
// beside the destination, which takes its place only once it is whole: a
// failure leaves the destination as it was.
int32_t ExpandPayload(HWND page, const char* source, const char* destination, const char* expanding,
                      uint32_t expandedSize)
{
    OFSTRUCT opened;
    INT lz = LZOpenFileA((LPSTR)source, &opened, OF_READ);
    if (lz < 0) {
        ShowFailure(page, SourceOpenFailed);
        return -1;
    }
    CopyFailure failure = DestinationOpenFailed;
    HANDLE file = CreateFresh(expanding);
    if (file != INVALID_HANDLE_VALUE) {
        LzExpansion expansion(page, lz, file);
        ExpandOutcome outcome = ExpandStream(expansion, expandedSize);
        if (!CloseHandle(file) && outcome == ExpandComplete)
            outcome = ExpandWriteFailed;
        failure = ExpandFailure(outcome);
    }
    LZClose(lz);
    if (failure == NoFailure) {
        // An installed file left read-only (copied from a disc, say), hidden
        // or system is the installer's own to replace, and would refuse it.
        DWORD attributes = GetFileAttributesA(destination);
        SetFileAttributesA(destination, FILE_ATTRIBUTE_NORMAL);
        if (!MoveFileExA(expanding, destination,
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            SetFileAttributesA(destination, attributes);
            failure = DestinationOpenFailed;
        }
    }
    if (failure == NoFailure)
        return 1;
    DeleteFileA(expanding);
    ShowFailure(page, failure);
    return -1;
}

void ExpandNextPayload(HWND page)
{
    KillTimer(page, ExpandTimer);
    MeterState& meter = State.MeterState;
    int32_t index = meter.ExpandIndex;
    if (index >= 0 && index < InstalledCount()) {
        char source[FullPathSize];
        char destination[FullPathSize];
        char expanding[FullPathSize];
        StoredCopyPath(source, index);
        DestinationPath(destination, index, 0);
        DestinationPath(expanding, index, ExpandingMark);
        SetDlgItemTextA(page, IDC_COPY_ACTION, "Copying:");
        SetDlgItemTextA(page, IDC_COPY_FILE, source);
        SetDlgItemTextA(page, IDC_COPY_PATH, destination);
        meter.ExpandIndex = index + 1;
        if (ExpandPayload(page, source, destination, expanding,
                          Manifest.Payload[index].ExpandedSize) == -1) {
            AbortInstallation(page);
            return;
        }
    }
    if (meter.ExpandIndex >= 0 && meter.ExpandIndex < InstalledCount()) {
        SetTimer(page, ExpandTimer, TickDelay, 0);
        return;
    }
    PumpFor(page, ExpandedPause);
    ResetMeter(RemovingColor);
    SetTimer(page, RemoveTimer, TickDelay, 0);
}

void RemoveStoredCopies(HWND page)
{
    KillTimer(page, RemoveTimer);
    SetDlgItemTextA(page, IDC_COPY_ACTION, "Removing:");
    SetDlgItemTextA(page, IDC_COPY_PATH_LABEL, "");
    SetDlgItemTextA(page, IDC_COPY_PATH, "");
    for (int32_t i = 0; i < InstalledCount(); ++i) {
        char stored[FullPathSize];
        StoredCopyPath(stored, i);
        SetDlgItemTextA(page, IDC_COPY_FILE, stored);
        RemoveStoredCopy(i);
        StepMeter(page);
        PumpFor(page, EntryPause);
    }
    PumpFor(page, RemovedPause);
    SendMessageA(page, WM_UNHOOK_METER, 0, 0);
    EndDialog(page, 1);
}

void StartCopy(HWND page)
{
    CenterPage(page, BesideStripe);
    BrandPage(page);
    HookMeter(GetDlgItem(page, IDC_COPY_METER));
    GetWindowsDirectoryA(State.WindowsDir, sizeof State.WindowsDir);
    SetTimer(page, WriteTimer, TickDelay, 0);
}

void CopyTimer(HWND page, WORD timer)
{
    switch (timer) {
    case WriteTimer:
        WriteStoredCopies(page);
        break;
    case ExpandTimer:
        ExpandNextPayload(page);
        break;
    case RemoveTimer:
        RemoveStoredCopies(page);
        break;
    }
}

INT_PTR CopyColors(HDC dc, HWND control)
{
    switch (GetDlgCtrlID(control)) {
    case IDC_COPY_FILE:
    case IDC_COPY_PATH:
        return AccentColors(dc, COLOR_BTNFACE);
    case IDC_ACCENT:
        return AccentColors(dc, COLOR_WINDOW);
    }
    return FALSE;
}

}  // namespace

// Takes no commands: with no buttons and no system menu, neither Enter,
// Escape nor a close request ends the page.
INT_PTR CALLBACK CopyPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        StartCopy(page);
        return TRUE;
    case WM_TIMER:
        CopyTimer(page, LOWORD(wParam));
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return CopyColors((HDC)wParam, (HWND)lParam);
    case WM_UNHOOK_METER:
        UnhookMeter();
        return TRUE;
    }
    return FALSE;
}
