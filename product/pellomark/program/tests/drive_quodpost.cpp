// Drives Quodpost.exe from outside as a user would: starts it on two
// folders, presses Update, answers its boxes. One copy is made to fail by
// holding a target file open, to see the failure reported; last, Help must
// open the help file in Notepad. Run by wine_check.sh, which checks the files.
// Usage: drive_quodpost <Quodpost.exe> <source> <target> <busy file> <pause ms>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "resource.h"

namespace {

struct BoxSearch {
    DWORD Thread;
    HWND Main;
    HWND Found;
};

BOOL CALLBACK MatchBox(HWND wnd, LPARAM param) {
    BoxSearch* search = reinterpret_cast<BoxSearch*>(param);
    char cls[32];
    if (wnd == search->Main || !IsWindowVisible(wnd)) return TRUE;
    if (GetWindowThreadProcessId(wnd, nullptr) != search->Thread) return TRUE;
    if (!GetClassNameA(wnd, cls, sizeof cls) || std::strcmp(cls, "#32770") != 0) return TRUE;
    search->Found = wnd;
    return FALSE;
}

// A message box of the program's thread, or null after the wait.
HWND WaitForBox(HWND main, DWORD waitMs) {
    BoxSearch search = {GetWindowThreadProcessId(main, nullptr), main, nullptr};
    for (DWORD waited = 0; waited <= waitMs && search.Found == nullptr; waited += 100) {
        EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&search));
        if (search.Found == nullptr) Sleep(100);
    }
    return search.Found;
}

// The box's text: its longest static control (the other holds the icon).
BOOL CALLBACK LongestStatic(HWND wnd, LPARAM param) {
    char* longest = reinterpret_cast<char*>(param);
    char cls[32];
    char text[2048];
    if (!GetClassNameA(wnd, cls, sizeof cls) || lstrcmpiA(cls, "Static") != 0) return TRUE;
    if (GetWindowTextA(wnd, text, sizeof text) > lstrlenA(longest)) lstrcpynA(longest, text, sizeof text);
    return TRUE;
}

void Click(HWND wnd, int id) {
    PostMessageA(wnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(wnd, id)));
}

// Answers the next box if its text holds the expected words.
bool Answer(HWND main, const char* expected, int button, const char* step) {
    HWND box = WaitForBox(main, 10000);
    char text[2048] = "";
    if (box) EnumChildWindows(box, LongestStatic, reinterpret_cast<LPARAM>(text));
    std::printf("%s box: [%s]\n", step, box ? text : "none");
    if (box) Click(box, button);
    for (int i = 0; i < 50 && IsWindow(box); ++i) Sleep(100);
    if (box && std::strstr(text, expected)) return true;
    std::printf("FAIL %s: expected \"%s\"\n", step, expected);
    return false;
}

// The program's main window, after up to ten seconds.
HWND WaitForMain() {
    HWND wnd = nullptr;
    for (int i = 0; i < 100 && (wnd = FindWindowA("#32770", MAIN_CAPTION)) == nullptr; ++i) Sleep(100);
    return wnd;
}

bool Drive(HWND main, const char* busy) {
    // Hold one target file open without sharing: its copy must fail.
    HANDLE held = CreateFileA(busy, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (held == INVALID_HANDLE_VALUE) {
        std::printf("FAIL cannot open %s (%lu)\n", busy, GetLastError());
        return false;
    }
    Click(main, IDC_UPDATE);
    bool ok = Answer(main, "will be replaced", IDYES, "confirm") && Answer(main, "The update stopped", IDOK, "failure");
    if (ok && WaitForBox(main, 1500) != nullptr) {
        std::printf("FAIL a further box followed the failure\n");
        ok = false;
    }
    CloseHandle(held);
    if (!ok) return false;
    Click(main, IDC_UPDATE);
    if (!Answer(main, "will be replaced", IDYES, "confirm again") ||
        !Answer(main, "The target folder is up to date", IDOK, "success"))
        return false;
    if (SendDlgItemMessageA(main, IDC_LIST, LB_GETCOUNT, 0, 0) != 0) {
        std::printf("FAIL the list is not empty after the update\n");
        ok = false;
    }
    Click(main, IDC_UPDATE);
    if (!Answer(main, "nothing to copy", IDOK, "nothing left")) return false;

    Click(main, IDC_SHOWHELP);
    // Notepad's window is titled "Untitled" until it has read the file.
    HWND notepad = nullptr;
    char title[256] = "";
    for (int i = 0; i < 100 && std::strstr(title, "Quodpost.hlp") == nullptr; ++i) {
        Sleep(100);
        notepad = FindWindowA("Notepad", nullptr);
        if (notepad) GetWindowTextA(notepad, title, sizeof title);
    }
    std::printf("help window: [%s]\n", title);
    if (notepad) PostMessageA(notepad, WM_CLOSE, 0, 0);
    if (notepad == nullptr || std::strstr(title, "Quodpost.hlp") == nullptr) {
        std::printf("FAIL Help did not open Quodpost.hlp in Notepad\n");
        ok = false;
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::printf("usage: drive_quodpost <Quodpost.exe> <source> <target> <busy file> <pause ms>\n");
        return 2;
    }
    char command[1024];
    std::snprintf(command, sizeof command, "\"%s\" \"%s\" \"%s\"", argv[1], argv[2], argv[3]);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        std::printf("FAIL cannot start %s (%lu)\n", argv[1], GetLastError());
        return 1;
    }
    CloseHandle(process.hThread);
    WaitForInputIdle(process.hProcess, 10000);
    HWND main = WaitForMain();
    bool ok = main != nullptr;
    if (ok) {
        // wine_check.sh takes its screenshot of the filled list now.
        std::printf("list holds %d line(s)\nREADY\n", int(SendDlgItemMessageA(main, IDC_LIST, LB_GETCOUNT, 0, 0)));
        std::fflush(stdout);
        Sleep(static_cast<DWORD>(std::strtoul(argv[5], nullptr, 10)));
        ok = Drive(main, argv[4]);
        Click(main, IDCANCEL);
    } else {
        std::printf("FAIL no main window\n");
    }
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
        std::printf("FAIL the program did not close\n");
        TerminateProcess(process.hProcess, 1);
        ok = false;
    }
    CloseHandle(process.hProcess);
    std::printf(ok ? "PASS\n" : "FAIL\n");
    return ok ? 0 : 1;
}
