// Drives Quodpost.exe from outside as a user would: starts it on two
// folders, presses Update and answers its boxes, first with one target file
// held open so that its copy fails, then until nothing is left to copy;
// last, Help must open the help file in Notepad. Run by wine_check.sh,
// which checks the files.
// Usage: drive_quodpost <Quodpost.exe> <source> <target> <busy file> <pause ms>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "resource.h"

namespace {

struct BoxSearch {
    DWORD Thread;
    HWND Main, Found;
};

BOOL CALLBACK MatchBox(HWND wnd, LPARAM param)
{
    BoxSearch* search = reinterpret_cast<BoxSearch*>(param);
    char cls[32];
    if (wnd != search->Main && IsWindowVisible(wnd) &&
        GetWindowThreadProcessId(wnd, nullptr) == search->Thread &&
        GetClassNameA(wnd, cls, sizeof cls) && std::strcmp(cls, "#32770") == 0)
        search->Found = wnd;
    return search->Found == nullptr;
}

// A box's text: its longest static control (the other holds the icon).
BOOL CALLBACK LongestStatic(HWND wnd, LPARAM param)
{
    char cls[32], text[2048], *longest = reinterpret_cast<char*>(param);
    if (GetClassNameA(wnd, cls, sizeof cls) && lstrcmpiA(cls, "Static") == 0 &&
        GetWindowTextA(wnd, text, sizeof text) > lstrlenA(longest))
        lstrcpynA(longest, text, sizeof text);
    return TRUE;
}

void Click(HWND wnd, int id)
{
    PostMessageA(wnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(wnd, id)));
}

// What the user does and sees: the button pressed (0: none), the words of
// the box that must follow (none: no box may), and the answer to it.
struct Step {
    int Press;
    const char* Box;
    int Answer;
};
const Step kSteps[] = {
    {IDC_UPDATE, "will be replaced", IDYES},
    {0, "The update stopped", IDOK},
    {0, nullptr, IDOK},  // the held file
    {IDC_UPDATE, "will be replaced", IDYES},
    {0, "The target folder is up to date", IDOK},
    {IDC_UPDATE, "nothing to copy", IDOK},
};

bool Drive(HWND main, HANDLE held)
{
    bool ok = held != INVALID_HANDLE_VALUE;
    for (const Step& step : kSteps) {
        if (step.Press)
            Click(main, step.Press);
        BoxSearch search = {GetWindowThreadProcessId(main, nullptr), main, nullptr};
        for (DWORD waited = 0; waited <= (step.Box ? 10000u : 1500u) && !search.Found;
             waited += 100)
            if (EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&search)))
                Sleep(100);
        char text[2048] = "";
        if (search.Found)
            EnumChildWindows(search.Found, LongestStatic, reinterpret_cast<LPARAM>(text)),
                Click(search.Found, step.Answer);
        for (int i = 0; i < 50 && IsWindow(search.Found); ++i)
            Sleep(100);
        std::printf("box: [%s]\n", search.Found ? text : "none");
        if (step.Box ? !std::strstr(text, step.Box) : search.Found != nullptr)
            ok = false, std::printf("FAIL wanted [%s]\n", step.Box ? step.Box : "no box");
        if (!step.Box)
            CloseHandle(held);
    }
    if (SendDlgItemMessageA(main, IDC_LIST, LB_GETCOUNT, 0, 0) != 0)
        ok = false, std::printf("FAIL the list is not empty after the update\n");
    Click(main, IDC_SHOWHELP);
    // Notepad's window is titled "Untitled" until it has read the file.
    HWND notepad = nullptr;
    char title[256] = "";
    for (int i = 0; i < 100 && !std::strstr(title, "Quodpost.hlp"); ++i, Sleep(100))
        if ((notepad = FindWindowA("Notepad", nullptr)) != nullptr)
            GetWindowTextA(notepad, title, sizeof title);
    std::printf("help window: [%s]\n", title);
    if (notepad)
        PostMessageA(notepad, WM_CLOSE, 0, 0);
    return std::strstr(title, "Quodpost.hlp")
               ? ok
               : (std::printf("FAIL Help did not open Quodpost.hlp in Notepad\n"), false);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 6)
        return std::printf("usage: drive_quodpost <Quodpost.exe> <source> <target> <busy file> "
                           "<pause ms>\n"),
               2;
    char command[1024];
    std::snprintf(command, sizeof command, "\"%s\" \"%s\" \"%s\"", argv[1], argv[2], argv[3]);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return std::printf("FAIL cannot start %s (%lu)\n", argv[1], GetLastError()), 1;
    CloseHandle(process.hThread);
    WaitForInputIdle(process.hProcess, 10000);
    HWND main = nullptr;
    for (int i = 0; i < 100 && (main = FindWindowA("#32770", MAIN_CAPTION)) == nullptr; ++i)
        Sleep(100);
    // wine_check.sh takes its screenshot of the filled list now.
    std::printf(main ? "list holds %d line(s)\nREADY\n" : "FAIL no main window\n",
                int(SendDlgItemMessageA(main, IDC_LIST, LB_GETCOUNT, 0, 0)));
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(std::strtoul(argv[5], nullptr, 10)));
    // Hold one target file open without sharing: its copy must fail.
    bool ok = main && Drive(main, CreateFileA(argv[4], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                              nullptr));
    if (main)
        Click(main, IDCANCEL);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
        ok = false, std::printf("FAIL the program did not close\n"),
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    std::printf(ok ? "PASS\n" : "FAIL\n");
    return ok ? 0 : 1;
}
