#include "pages.h"
#include "pagekit.h"
#include "meter.h"
#include "copy_logic.h"
#include "../manifest/crc32.h"
#include "../manifest/manifest.h"
#include "../manifest/state.h"
#include "../manifest/text.h"
#include "../resources/resource.h"

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

const DWORD CreateFlags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN;

int32_t InstalledCount() { return PayloadCount(Manifest.FileCount); }

void StoredCopyPath(char* output, int32_t index)
{
    StoredPath(output, FullPathSize, State.InstallDir, Manifest.Payload[index].FileName);
}

// The uninstaller goes into the Windows directory, everything else into the
// destination folder.
void DestinationPath(char* output, int32_t index)
{
    const char* folder = index == UninstallerRow ? State.WindowsDir : State.InstallDir;
    JoinPath(output, FullPathSize, folder, Manifest.Payload[index].FileName, 0);
}

// An installed file left read-only (copied from a disc, say), hidden or
// system is the installer's own to replace, and CreateFileA refuses to
// replace any of them.
void AllowReplacing(const char* path)
{
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
}

HANDLE CreateForWriting(const char* path)
{
    return CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, 0, CREATE_ALWAYS, CreateFlags, 0);
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

void CreateFolderChain(const char* path)
{
    int32_t lengths[FullPathSize];
    int32_t levels = PlanFolderChain(path, lengths, FullPathSize);
    char folder[FullPathSize];
    for (int32_t i = 0; i < levels; ++i) {
        TextCopyPart(folder, sizeof folder, path, lengths[i]);
        // A level that exists already is no error.
        CreateDirectoryA(folder, 0);
    }
}

// A resource that is missing, short or not what the packer put there is
// damaged data: -1, and nothing is written. Failures to write pass
// silently: a stored copy that is missing or cut short fails its
// expansion, which tells the user.
int32_t WriteStoredCopy(int32_t index, const char* path)
{
    const PayloadEntry& entry = Manifest.Payload[index];
    const void* bytes = 0;
    DWORD size = 0;
    HRSRC found = FindResourceA(State.AppInstance, entry.ResourceName, RT_RCDATA);
    HGLOBAL loaded = found ? LoadResource(State.AppInstance, found) : 0;
    if (loaded && (bytes = LockResource(loaded)) != 0)
        size = StoredBytes(entry.StoredSize, SizeofResource(State.AppInstance, found));
    if (size != entry.StoredSize || Crc32(bytes, size) != PayloadCrc[index])
        return -1;
    HANDLE file = CreateForWriting(path);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    if (size)
        WriteFile(file, bytes, size, &written, 0);
    CloseHandle(file);
    return 1;
}

void ShowFailure(HWND page, int32_t failure)
{
    char text[FailureTextSize];
    FailureText(text, sizeof text, failure);
    MessageBoxA(page, text, Manifest.InstallerName, MB_OK | MB_ICONERROR);
}

// After the failure's own box: the meter given back, the abort notice, and
// the page ended with 0. Nothing on disk is touched.
void AbortInstallation(HWND page)
{
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
    CreateFolderChain(State.InstallDir);
    if (!IsFolder(State.InstallDir)) {
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
        if (WriteStoredCopy(i, stored) == -1) {
            ShowFailure(page, PayloadDamaged);
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
        : page_(page), source_(source), destination_(destination) {}

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
// user has been told why not. Files are left as they are either way.
int32_t ExpandPayload(HWND page, const char* source, const char* destination,
                      uint32_t expandedSize)
{
    OFSTRUCT opened;
    INT lz = LZOpenFileA((LPSTR)source, &opened, OF_READ);
    if (lz < 0) {
        ShowFailure(page, SourceOpenFailed);
        return -1;
    }
    AllowReplacing(destination);
    HANDLE file = CreateForWriting(destination);
    if (file == INVALID_HANDLE_VALUE) {
        ShowFailure(page, DestinationOpenFailed);
        LZClose(lz);
        return -1;
    }
    LzExpansion expansion(page, lz, file);
    ExpandOutcome outcome = ExpandStream(expansion, expandedSize);
    LZClose(lz);
    if (!CloseHandle(file) && outcome == ExpandComplete)
        outcome = ExpandWriteFailed;
    if (outcome != ExpandComplete) {
        ShowFailure(page, ExpandFailure(outcome));
        return -1;
    }
    return 1;
}

void ExpandNextPayload(HWND page)
{
    KillTimer(page, ExpandTimer);
    MeterState& meter = State.MeterState;
    int32_t index = meter.ExpandIndex;
    if (index >= 0 && index < InstalledCount()) {
        char source[FullPathSize];
        char destination[FullPathSize];
        StoredCopyPath(source, index);
        DestinationPath(destination, index);
        SetDlgItemTextA(page, IDC_COPY_ACTION, "Copying:");
        SetDlgItemTextA(page, IDC_COPY_FILE, source);
        SetDlgItemTextA(page, IDC_COPY_PATH, destination);
        meter.ExpandIndex = index + 1;
        if (ExpandPayload(page, source, destination, Manifest.Payload[index].ExpandedSize) == -1) {
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
        DeleteFileA(stored);
        StepMeter(page);
        PumpFor(page, EntryPause);
    }
    PumpFor(page, RemovedPause);
    SendMessageA(page, WM_UNHOOK_METER, 0, 0);
    EndDialog(page, 1);
}

void StartCopy(HWND page)
{
    CenterPage(page, 1);
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

} // namespace

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
