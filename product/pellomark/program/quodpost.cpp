// Pellomark: brings a target folder up to date from a source folder.
// Command line: Quodpost.exe [source folder [target folder]]
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "resource.h"
#include "update_plan.h"

using pellomark::DirEntry;
using pellomark::PlanItem;
using pellomark::PlanSummary;

namespace {

const char AppName[] = "Pellomark";
const char HelpFileName[] = "Quodpost.hlp";

// Columns of the file list, in dialog units: state, size, date.
const int ListTabs[3] = {120, 180, 232};

// Holds two paths, a system message and some words around them.
const std::size_t MessageSize = 2 * MAX_PATH + 1024;

struct Folders {
    char Source[MAX_PATH];
    char Target[MAX_PATH];
};

struct Scan {
    Folders Paths;
    std::vector<DirEntry> Source;
    std::vector<DirEntry> Target;
    std::vector<PlanItem> Plan;
};

void Warn(HWND owner, const char* text)
{
    MessageBoxA(owner, text, AppName, MB_OK | MB_ICONWARNING);
}

// The system's text for an error code, without its line end.
void SystemText(char* out, std::size_t capacity, DWORD code)
{
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             code, 0, out, static_cast<DWORD>(capacity), nullptr);
    while (n > 0 && (out[n - 1] == '\r' || out[n - 1] == '\n' || out[n - 1] == ' '))
        out[--n] = '\0';
    if (n == 0)
        std::snprintf(out, capacity, "Error %lu.", static_cast<unsigned long>(code));
}

// Checks one folder field and turns it into a full path.
bool ReadFolder(HWND dlg, int editId, const char* role, char* out)
{
    char typed[MAX_PATH];
    char message[MessageSize];
    if (GetDlgItemTextA(dlg, editId, typed, MAX_PATH) == 0) {
        std::snprintf(message, sizeof message, "Please choose the %s folder.", role);
        Warn(dlg, message);
        return false;
    }
    const DWORD n = GetFullPathNameA(typed, MAX_PATH, out, nullptr);
    const DWORD attributes = (n > 0 && n < MAX_PATH) ? GetFileAttributesA(out)
                                                     : INVALID_FILE_ATTRIBUTES;
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        std::snprintf(message, sizeof message, "The %s folder\n%s\ndoes not exist.", role, typed);
        Warn(dlg, message);
        return false;
    }
    return true;
}

bool ListFolder(HWND dlg, const char* dir, std::vector<DirEntry>& out)
{
    char pattern[MAX_PATH];
    char message[MessageSize];
    char reason[512];
    out.clear();
    if (!pellomark::JoinFolder(pattern, sizeof pattern, dir, "*")) {
        std::snprintf(message, sizeof message, "The folder name\n%s\nis too long.", dir);
        Warn(dlg, message);
        return false;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    DWORD error = ERROR_NO_MORE_FILES;
    if (search == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND)
            error = ERROR_NO_MORE_FILES;  // empty root
    } else {
        do {
            if (std::strcmp(found.cFileName, ".") == 0 || std::strcmp(found.cFileName, "..") == 0)
                continue;
            DirEntry entry;
            entry.Name = found.cFileName;
            entry.Size = (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) |
                         found.nFileSizeLow;
            entry.WriteTime = (static_cast<std::uint64_t>(found.ftLastWriteTime.dwHighDateTime)
                               << 32) |
                              found.ftLastWriteTime.dwLowDateTime;
            entry.IsFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            out.push_back(entry);
        } while (FindNextFileA(search, &found));
        error = GetLastError();
        FindClose(search);
    }
    if (error == ERROR_NO_MORE_FILES)
        return true;
    SystemText(reason, sizeof reason, error);
    std::snprintf(message, sizeof message, "Cannot read the folder\n%s\n\n%s", dir, reason);
    MessageBoxA(dlg, message, AppName, MB_OK | MB_ICONERROR);
    return false;
}

bool BuildScan(HWND dlg, Scan& scan)
{
    if (!ReadFolder(dlg, IDC_SOURCE, "source", scan.Paths.Source) ||
        !ReadFolder(dlg, IDC_TARGET, "target", scan.Paths.Target))
        return false;
    if (pellomark::SameFolder(scan.Paths.Source, scan.Paths.Target)) {
        Warn(dlg, "The source and the target are the same folder.");
        return false;
    }
    if (!ListFolder(dlg, scan.Paths.Source, scan.Source) ||
        !ListFolder(dlg, scan.Paths.Target, scan.Target))
        return false;
    scan.Plan = pellomark::PlanUpdate(scan.Source, scan.Target);
    return true;
}

void FormatWhen(char* out, std::size_t capacity, std::uint64_t ticks)
{
    FILETIME utc, local;
    SYSTEMTIME when;
    utc.dwLowDateTime = static_cast<DWORD>(ticks);
    utc.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    if (FileTimeToLocalFileTime(&utc, &local) && FileTimeToSystemTime(&local, &when))
        std::snprintf(out, capacity, "%04u-%02u-%02u %02u:%02u", when.wYear, when.wMonth, when.wDay,
                      when.wHour, when.wMinute);
    else
        std::snprintf(out, capacity, "?");
}

void ShowScan(HWND dlg, const Scan& scan)
{
    HWND list = GetDlgItem(dlg, IDC_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const PlanItem& item : scan.Plan) {
        if (!pellomark::IsListed(item.Outcome))
            continue;
        const DirEntry& file = scan.Source[item.Source];
        char size[32];
        char when[32];
        char line[MAX_PATH + 96];
        pellomark::FormatBytes(size, sizeof size, file.Size);
        FormatWhen(when, sizeof when, file.WriteTime);
        std::snprintf(line, sizeof line, "%s\t%s\t%s\t%s", file.Name.c_str(),
                      pellomark::VerdictLabel(item.Outcome), size, when);
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    }
    const PlanSummary sum = pellomark::Summarize(scan.Plan);
    char status[160];
    std::snprintf(status, sizeof status,
                  "%u new, %u to replace, %u up to date, %u newer in the target, %u blocked.",
                  static_cast<unsigned>(sum.NewFiles), static_cast<unsigned>(sum.Replaced),
                  static_cast<unsigned>(sum.Same), static_cast<unsigned>(sum.KeptNewer),
                  static_cast<unsigned>(sum.Blocked));
    SetDlgItemTextA(dlg, IDC_STATUS, status);
}

void ClearScan(HWND dlg)
{
    SendDlgItemMessageA(dlg, IDC_LIST, LB_RESETCONTENT, 0, 0);
    SetDlgItemTextA(dlg, IDC_STATUS, "");
}

void OnCompare(HWND dlg)
{
    Scan scan;
    if (BuildScan(dlg, scan))
        ShowScan(dlg, scan);
    else
        ClearScan(dlg);
}

// Copies one file; on failure fills reason and returns false.
bool CopyOne(const Folders& paths, const DirEntry& file, bool replace, char* reason,
             std::size_t capacity)
{
    char from[MAX_PATH];
    char to[MAX_PATH];
    const bool fromFits = pellomark::JoinFolder(from, sizeof from, paths.Source, file.Name.c_str());
    const bool toFits = pellomark::JoinFolder(to, sizeof to, paths.Target, file.Name.c_str());
    if (!fromFits || !toFits) {
        std::snprintf(reason, capacity, "Could not copy %s:\nthe path is too long.",
                      file.Name.c_str());
        return false;
    }
    // A file that was missing at the scan must not be overwritten unasked.
    if (CopyFileA(from, to, replace ? FALSE : TRUE))
        return true;
    char system[512];
    SystemText(system, sizeof system, GetLastError());
    std::snprintf(reason, capacity, "Could not copy\n%s\nto\n%s\n\n%s", from, to, system);
    return false;
}

// Asks before replacing files; answers whether to replace, or cancels.
bool ConfirmReplace(HWND dlg, std::size_t count, bool& replace)
{
    char question[256];
    std::snprintf(question, sizeof question,
                  "%u file(s) in the target folder will be replaced by the newer "
                  "versions from the source folder.\n\nReplace them?\n\n"
                  "Choose No to copy only the new files.",
                  static_cast<unsigned>(count));
    const int answer = MessageBoxA(dlg, question, AppName, MB_YESNOCANCEL | MB_ICONQUESTION);
    replace = answer == IDYES;
    return answer != IDCANCEL;
}

void OnUpdate(HWND dlg)
{
    Scan scan;
    if (!BuildScan(dlg, scan)) {
        ClearScan(dlg);
        return;
    }
    ShowScan(dlg, scan);
    const PlanSummary sum = pellomark::Summarize(scan.Plan);
    bool replace = true;
    if (sum.Replaced > 0 && !ConfirmReplace(dlg, sum.Replaced, replace))
        return;
    const std::size_t wanted = sum.NewFiles + (replace ? sum.Replaced : 0);
    if (wanted == 0) {
        MessageBoxA(dlg, "There is nothing to copy.", AppName, MB_OK | MB_ICONINFORMATION);
        return;
    }

    HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    std::size_t copied = 0;
    char reason[MessageSize];
    bool failed = false;
    for (const PlanItem& item : scan.Plan) {
        if (!pellomark::NeedsCopy(item.Outcome))
            continue;
        const bool replaces = pellomark::ReplacesFile(item.Outcome);
        if (replaces && !replace)
            continue;
        if (!CopyOne(scan.Paths, scan.Source[item.Source], replaces, reason, sizeof reason)) {
            failed = true;
            break;
        }
        ++copied;
    }
    SetCursor(previous);
    OnCompare(dlg);

    char message[MessageSize + 128];
    if (failed) {
        std::snprintf(message, sizeof message,
                      "%s\n\nThe update stopped: %u of %u file(s) were copied.", reason,
                      static_cast<unsigned>(copied), static_cast<unsigned>(wanted));
        MessageBoxA(dlg, message, AppName, MB_OK | MB_ICONERROR);
        return;
    }
    const std::size_t left = sum.Blocked + (replace ? 0 : sum.Replaced);
    if (left > 0) {
        std::snprintf(message, sizeof message,
                      "%u file(s) copied.\n\n%u file(s) were not updated; see the list.",
                      static_cast<unsigned>(copied), static_cast<unsigned>(left));
        Warn(dlg, message);
    } else {
        std::snprintf(message, sizeof message,
                      "%u file(s) copied. The target folder is up to date.",
                      static_cast<unsigned>(copied));
        MessageBoxA(dlg, message, AppName, MB_OK | MB_ICONINFORMATION);
    }
}

int CALLBACK BrowseStart(HWND browser, UINT msg, LPARAM, LPARAM start)
{
    if (msg == BFFM_INITIALIZED && start != 0)
        SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, start);
    return 0;
}

void OnBrowse(HWND dlg, int editId, const char* title)
{
    char current[MAX_PATH];
    char display[MAX_PATH];
    GetDlgItemTextA(dlg, editId, current, MAX_PATH);
    BROWSEINFOA info = {};
    info.hwndOwner = dlg;
    info.pszDisplayName = display;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = BrowseStart;
    info.lParam = current[0] ? reinterpret_cast<LPARAM>(current) : 0;
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    if (chosen == nullptr)
        return;
    char path[MAX_PATH];
    if (SHGetPathFromIDListA(chosen, path))
        SetDlgItemTextA(dlg, editId, path);
    else
        Warn(dlg, "Please choose a folder on a disk.");
    CoTaskMemFree(chosen);
}

// The help is a text file next to the program; Notepad shows it.
void OnHelp(HWND dlg)
{
    char folder[MAX_PATH];
    char help[MAX_PATH];
    char message[MessageSize];
    const DWORD n = GetModuleFileNameA(nullptr, folder, MAX_PATH);
    char* slash = (n > 0 && n < MAX_PATH) ? std::strrchr(folder, '\\') : nullptr;
    if (slash != nullptr)
        slash[1] = '\0';
    if (slash == nullptr || !pellomark::JoinFolder(help, sizeof help, folder, HelpFileName)) {
        Warn(dlg, "The help file cannot be found: the program's folder name is too long.");
        return;
    }
    if (GetFileAttributesA(help) == INVALID_FILE_ATTRIBUTES) {
        std::snprintf(message, sizeof message, "The help file\n%s\nwas not found.", help);
        Warn(dlg, message);
        return;
    }
    char command[MAX_PATH + 32];
    std::snprintf(command, sizeof command, "notepad.exe \"%s\"", help);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process)) {
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        return;
    }
    char reason[512];
    SystemText(reason, sizeof reason, GetLastError());
    std::snprintf(message, sizeof message, "Notepad could not be started to show the help.\n\n%s",
                  reason);
    MessageBoxA(dlg, message, AppName, MB_OK | MB_ICONERROR);
}

void OnInit(HWND dlg)
{
    SendDlgItemMessageA(dlg, IDC_LIST, LB_SETTABSTOPS, 3, reinterpret_cast<LPARAM>(ListTabs));
    SendDlgItemMessageA(dlg, IDC_SOURCE, EM_LIMITTEXT, MAX_PATH - 1, 0);
    SendDlgItemMessageA(dlg, IDC_TARGET, EM_LIMITTEXT, MAX_PATH - 1, 0);
    if (__argc > 1)
        SetDlgItemTextA(dlg, IDC_SOURCE, __argv[1]);
    if (__argc > 2) {
        SetDlgItemTextA(dlg, IDC_TARGET, __argv[2]);
        OnCompare(dlg);
    }
}

void OnCommand(HWND dlg, int id, int code)
{
    if (code != BN_CLICKED)
        return;
    switch (id) {
    case IDC_BROWSE_SOURCE:
        OnBrowse(dlg, IDC_SOURCE, "Choose the source folder:");
        break;
    case IDC_BROWSE_TARGET:
        OnBrowse(dlg, IDC_TARGET, "Choose the target folder:");
        break;
    case IDC_COMPARE:
        OnCompare(dlg);
        break;
    case IDC_UPDATE:
        OnUpdate(dlg);
        break;
    case IDC_SHOWHELP:
        OnHelp(dlg);
        break;
    case IDCANCEL:
        EndDialog(dlg, 0);
        break;
    }
}

INT_PTR CALLBACK MainDialog(HWND dlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        OnInit(dlg);
        return TRUE;
    case WM_COMMAND:
        OnCommand(dlg, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        EndDialog(dlg, 0);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // The folder browser needs COM on this thread.
    const HRESULT com = CoInitialize(nullptr);
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialog, 0);
    if (SUCCEEDED(com))
        CoUninitialize();
    return 0;
}
