#include "system.h"

#include "../manifest/text.h"
#include "../platform/hardening.h"

namespace {

const char FinishPrefix[] = "Quo";
enum {
    GroupCommandTimeout = 5000,
    DeleteRetries = 50,
    DeleteRetryPause = 100,
    FinishLineSize = FullPathSize + 32
};

UINT BoxStyle(BoxKind kind)
{
    switch (kind) {
    case BoxWarning:
        return MB_OK | MB_ICONWARNING;
    case BoxError:
        return MB_OK | MB_ICONERROR;
    case BoxQuestion:
        return MB_YESNO | MB_ICONQUESTION;
    case BoxInformation:
        break;
    }
    return MB_OK | MB_ICONINFORMATION;
}

bool NotThere(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_INVALID_NAME || error == ERROR_INVALID_DRIVE ||
           error == ERROR_NOT_READY || error == ERROR_BAD_NETPATH;
}

int32_t EntryKey(char* output, int32_t capacity, const char* product)
{
    return JoinPath(output, capacity, UninstallKeyPath, product, Unquoted);
}

bool EntryExists(const char* product)
{
    char key[RegistryTextSize];
    HKEY opened;
    if (EntryKey(key, sizeof key, product) < 0 ||
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

// Nothing on screen waits on the uninstaller between two attempts.
class SleepingPause : public PausePort {
public:
    void Pause(uint32_t milliseconds) override { Sleep(milliseconds); }
};

HDDEDATA CALLBACK IgnoreDde(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return 0;
}

int32_t RunningImage(char* output, DWORD capacity)
{
    DWORD length = GetModuleFileNameA(0, output, capacity);
    if (length == 0 || length >= capacity) {
        output[0] = 0;
        return -1;
    }
    return 1;
}

// A copy of the running uninstaller in the temporary folder, started to
// wait for this process and then remove the uninstaller's file: a running
// program's file cannot be deleted, and a delete at restart would leave the
// file until then.
bool StartFinishingCopy(const char* self)
{
    char folder[FullPathSize], copy[FullPathSize];
    DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder || !GetTempFileNameA(folder, FinishPrefix, 0, copy))
        return false;
    if (!CopyFileA(self, copy, FALSE)) {
        DeleteFileA(copy);
        return false;
    }
    HANDLE process = GetCurrentProcess();
    HANDLE waitable = 0;
    if (!DuplicateHandle(process, process, process, &waitable, SYNCHRONIZE, TRUE, 0)) {
        DeleteFileA(copy);
        return false;
    }
    // Handle values fit in 32 bits, also in a 64-bit process.
    char line[FinishLineSize];
    STARTUPINFOA startup;
    PROCESS_INFORMATION started;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    if (TextFormat(line, sizeof line, "\"%s\" %s %i", copy, FinishSwitch,
                   (int32_t)(uint32_t)(uintptr_t)waitable) < 0 ||
        !CreateProcessA(copy, line, 0, 0, TRUE, 0, 0, folder, &startup, &started)) {
        CloseHandle(waitable);
        DeleteFileA(copy);
        return false;
    }
    // waitable stays open: the copy's inherited handle is what it waits on.
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return true;
}

enum { UserPrograms = 0x0002, SharedPrograms = 0x0017 };  // CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS
typedef HRESULT(WINAPI* FolderPathFunction)(HWND, int, HANDLE, DWORD, LPSTR);

// From the system folder only, as every library of ours.
FolderPathFunction FolderPath()
{
    char system[FullPathSize], path[FullPathSize];
    UINT length = GetSystemDirectoryA(system, sizeof system);
    if (length == 0 || length >= sizeof system ||
        JoinPath(path, sizeof path, system, "shell32.dll", Unquoted) < 0)
        return 0;
    HMODULE shell = LoadLibraryExA(path, 0, LOAD_WITH_ALTERED_SEARCH_PATH);
    return shell ? (FolderPathFunction)(void*)GetProcAddress(shell, "SHGetFolderPathA") : 0;
}

// Whether the group's folder below that Start menu folder holds anything
// besides the folder's own settings.
bool FolderHoldsOthers(int which, const char* group)
{
    FolderPathFunction folderPath = FolderPath();
    char programs[FullPathSize], folder[FullPathSize], pattern[FullPathSize];
    if (!folderPath || folderPath(0, which, 0, 0, programs) != S_OK ||
        JoinPath(folder, sizeof folder, programs, group, Unquoted) < 0 ||
        JoinPath(pattern, sizeof pattern, folder, "*", Unquoted) < 0)
        return false;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    bool others = false;
    do {
        const char* name = found.cFileName;
        others = lstrcmpA(name, ".") && lstrcmpA(name, "..") && lstrcmpiA(name, "desktop.ini");
    } while (!others && FindNextFileA(search, &found));
    FindClose(search);
    return others;
}

}  // namespace

int32_t InWindowsFolder(char* output, int32_t capacity, const char* fileName)
{
    char windows[FullPathSize];
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof windows) {
        output[0] = 0;
        return -1;
    }
    return JoinPath(output, capacity, windows, fileName, Unquoted);
}

int32_t WindowsPort::Standing(const char* folder) { return ProbeFolder(folder); }

ReadOutcome WindowsPort::ReadEntryValue(const char* product, const char* value, char* data,
                                        uint32_t capacity, uint32_t* size, uint32_t* type)
{
    char key[RegistryTextSize];
    HKEY opened;
    if (EntryKey(key, sizeof key, product) < 0)
        return ReadFailed;
    LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE, &opened);
    if (status != ERROR_SUCCESS)
        return NotThere(status) ? ReadMissing : ReadFailed;
    DWORD valueType = 0, valueSize = capacity;
    status = RegQueryValueExA(opened, value, 0, &valueType, (BYTE*)data, &valueSize);
    RegCloseKey(opened);
    if (status != ERROR_SUCCESS)
        return NotThere(status) ? ReadMissing : ReadFailed;
    *size = valueSize;
    *type = valueType;
    return ReadDone;
}

bool WindowsPort::Ask(const char* text)
{
    return MessageBoxA(0, text, Product.InstallerName, BoxStyle(BoxQuestion) | MB_SETFOREGROUND) ==
           IDYES;
}

void WindowsPort::Tell(const char* text, BoxKind kind)
{
    // Over the group window that Program Manager may open meanwhile.
    MessageBoxA(0, text, Product.InstallerName, BoxStyle(kind) | MB_SETFOREGROUND | MB_TOPMOST);
}

RemovalOutcome WindowsPort::RemoveFile(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return NotThere(GetLastError()) ? Missing : Kept;
    // A folder of that name is not a file that was installed.
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return Missing;
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        DWORD writable = attributes & ~(DWORD)FILE_ATTRIBUTE_READONLY;
        SetFileAttributesA(path, writable ? writable : FILE_ATTRIBUTE_NORMAL);
    }
    if (DeleteFileA(path))
        return Removed;
    return GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES ? Missing : Kept;
}

RemovalOutcome WindowsPort::RemoveFolder(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return NotThere(GetLastError()) ? Missing : Kept;
    // A link to a folder elsewhere would go even when what it shows is not empty.
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return Kept;
    return RemoveDirectoryA(path) ? Removed : Kept;
}

void WindowsPort::AllowDdeReplies() { AllowDdeMessages(); }

bool WindowsPort::OpenProgramManager()
{
    WindowsDde dde(Link, IgnoreDde);
    SleepingPause pause;
    dde.Forget();
    // What a failed opening leaves goes with the process: a late answer may
    // still reach an instance no server answered in time.
    return ::OpenProgramManager(dde, pause);
}

GroupOutcome WindowsPort::SendGroupCommand(const char* command)
{
    WindowsDde dde(Link, IgnoreDde);
    return dde.Execute(command, GroupCommandTimeout) ? GroupDeleted : GroupRefused;
}

void WindowsPort::CloseProgramManager()
{
    WindowsDde dde(Link, IgnoreDde);
    ReleaseProgramManager(dde);
}

bool WindowsPort::GroupHoldsOthers(const char* group)
{
    // Program Manager keeps a group as a folder of the Start menu, the
    // user's own or the one all users share.
    return FolderHoldsOthers(UserPrograms, group) || FolderHoldsOthers(SharedPrograms, group);
}

RemovalOutcome WindowsPort::RemoveEntry(const char* product)
{
    HKEY uninstall;
    LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallKeyPath, 0, KEY_ALL_ACCESS,
                                &uninstall);
    if (status != ERROR_SUCCESS)
        return NotThere(status) ? Missing : Kept;
    status = RegDeleteKeyA(uninstall, product);
    RegCloseKey(uninstall);
    if (status == ERROR_SUCCESS)
        return Removed;
    return NotThere(status) ? Missing : Kept;
}

RemovalOutcome WindowsPort::RemoveValue(const char* key, const char* value)
{
    HKEY opened;
    LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_SET_VALUE, &opened);
    if (status != ERROR_SUCCESS)
        return NotThere(status) ? Missing : Kept;
    status = RegDeleteValueA(opened, value);
    RegCloseKey(opened);
    if (status == ERROR_SUCCESS)
        return Removed;
    return NotThere(status) ? Missing : Kept;
}

RemovalOutcome WindowsPort::RemoveKeyIfEmpty(const char* key)
{
    HKEY opened;
    LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE, &opened);
    if (status != ERROR_SUCCESS)
        return NotThere(status) ? Missing : Kept;
    DWORD subkeys = 1, values = 1;
    status = RegQueryInfoKeyA(opened, 0, 0, 0, &subkeys, 0, 0, &values, 0, 0, 0, 0);
    RegCloseKey(opened);
    if (status != ERROR_SUCCESS || subkeys || values)
        return Kept;
    return RegDeleteKeyA(HKEY_LOCAL_MACHINE, key) == ERROR_SUCCESS ? Removed : Kept;
}

SelfOutcome WindowsPort::RemoveSelf(const char* fileName)
{
    char target[FullPathSize], self[FullPathSize];
    if (InWindowsFolder(target, sizeof target, fileName) < 0)
        return SelfKept;
    if (GetFileAttributesA(target) == INVALID_FILE_ATTRIBUTES)
        return SelfMissing;
    if (RunningImage(self, sizeof self) < 0)
        return MoveFileExA(target, 0, MOVEFILE_DELAY_UNTIL_REBOOT) ? SelfAtRestart : SelfKept;
    // Started from elsewhere, the installed file is not in use and goes now.
    if (lstrcmpiA(self, target) != 0 && DeleteFileA(target))
        return SelfAfterExit;
    if (StartFinishingCopy(self))
        return SelfAfterExit;
    return MoveFileExA(target, 0, MOVEFILE_DELAY_UNTIL_REBOOT) ? SelfAtRestart : SelfKept;
}

void FinishRemoval(uint32_t handleValue, const InstallManifest& product)
{
    HANDLE uninstaller = (HANDLE)(uintptr_t)handleValue;
    // Without the uninstaller's process to wait for, this is not the run
    // that the uninstaller started: nothing is touched.
    if (WaitForSingleObject(uninstaller, INFINITE) != WAIT_OBJECT_0)
        return;
    CloseHandle(uninstaller);
    char target[FullPathSize], self[FullPathSize];
    if (InWindowsFolder(target, sizeof target, product.Payload[UninstallerRow].FileName) < 0)
        return;
    // Never strand an installed product without its uninstaller.
    if (!EntryExists(product.ProductName)) {
        // The file may stay locked for a moment after its process has ended.
        bool gone = false;
        for (int32_t i = 0; i < DeleteRetries && !gone; ++i) {
            gone = DeleteFileA(target) || GetFileAttributesA(target) == INVALID_FILE_ATTRIBUTES;
            if (!gone)
                Sleep(DeleteRetryPause);
        }
        if (!gone)
            MoveFileExA(target, 0, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
    if (RunningImage(self, sizeof self) == 1 && lstrcmpiA(self, target) != 0)
        MoveFileExA(self, 0, MOVEFILE_DELAY_UNTIL_REBOOT);
}
