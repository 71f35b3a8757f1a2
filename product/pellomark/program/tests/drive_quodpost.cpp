// Drives Quodpost.exe from outside as a user would: starts it on two
// folders, reads its list, presses Update, answers its boxes. One copy is
// made to fail by holding a target file open, to see the failure reported;
// last, Help must open the help file in Notepad.
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
    for (DWORD waited = 0; waited <= waitMs; waited += 100) {
        search.Found = nullptr;
        EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&search));
        if (search.Found) return search.Found;
        Sleep(100);
    }
    return nullptr;
}

struct TextSearch {
    char Text[2048];
};

BOOL CALLBACK LongestStatic(HWND wnd, LPARAM param) {
    TextSearch* search = reinterpret_cast<TextSearch*>(param);
    char cls[32];
    char text[2048];
    if (!GetClassNameA(wnd, cls, sizeof cls) || lstrcmpiA(cls, "Static") != 0) return TRUE;
    if (GetWindowTextA(wnd, text, sizeof text) > static_cast<int>(std::strlen(search->Text)))
        lstrcpynA(search->Text, text, sizeof search->Text);
    return TRUE;
}

void BoxText(HWND box, TextSearch& out) {
    out.Text[0] = '\0';
    EnumChildWindows(box, LongestStatic, reinterpret_cast<LPARAM>(&out));
}

// Answers the next box if its text holds the expected words.
bool Answer(HWND main, const char* expected, int button, const char* step) {
    HWND box = WaitForBox(main, 10000);
    if (box == nullptr) {
        std::printf("FAIL %s: no message box\n", step);
        return false;
    }
    TextSearch text;
    BoxText(box, text);
    std::printf("%s box: [%s]\n", step, text.Text);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    for (int i = 0; i < 50 && IsWindow(box); ++i) Sleep(100);
    if (std::strstr(text.Text, expected) == nullptr) {
        std::printf("FAIL %s: expected \"%s\"\n", step, expected);
        return false;
    }
    return true;
}

void PressUpdate(HWND main) {
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDC_UPDATE, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(main, IDC_UPDATE)));
}

int ListCount(HWND main) {
    return static_cast<int>(SendDlgItemMessageA(main, IDC_LIST, LB_GETCOUNT, 0, 0));
}

void PrintList(HWND main) {
    const int count = ListCount(main);
    std::printf("list holds %d line(s)\n", count);
    for (int i = 0; i < count; ++i) {
        // Wine hands list texts to other processes reliably only as wide text.
        WCHAR wide[512];
        char line[1024];
        const LRESULT n = SendDlgItemMessageW(main, IDC_LIST, LB_GETTEXTLEN, i, 0);
        if (n < 0 || n >= static_cast<LRESULT>(sizeof wide / sizeof wide[0])) continue;
        SendDlgItemMessageW(main, IDC_LIST, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide));
        if (!WideCharToMultiByte(CP_ACP, 0, wide, -1, line, sizeof line, nullptr, nullptr))
            continue;
        for (char* p = line; *p; ++p)
            if (*p == '\t') *p = '|';
        std::printf("  %s\n", line);
    }
}

int Run(const char* program, const char* source, const char* target, const char* busy,
        DWORD pause) {
    char command[1024];
    std::snprintf(command, sizeof command, "\"%s\" \"%s\" \"%s\"", program, source, target);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::printf("FAIL cannot start %s (%lu)\n", program, GetLastError());
        return 1;
    }
    CloseHandle(process.hThread);
    WaitForInputIdle(process.hProcess, 10000);
    HWND main = nullptr;
    for (int i = 0; i < 100 && main == nullptr; ++i) {
        main = FindWindowA("#32770", MAIN_CAPTION);
        if (!main) Sleep(100);
    }
    if (main == nullptr) {
        std::printf("FAIL no main window\n");
        TerminateProcess(process.hProcess, 1);
        return 1;
    }
    PrintList(main);
    char status[256];
    GetDlgItemTextA(main, IDC_STATUS, status, sizeof status);
    std::printf("status: %s\nREADY\n", status);
    std::fflush(stdout);
    Sleep(pause);

    bool ok = true;
    // Hold one target file open without sharing: its copy must fail.
    HANDLE held = CreateFileA(busy, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (held == INVALID_HANDLE_VALUE) {
        std::printf("FAIL cannot open %s (%lu)\n", busy, GetLastError());
        ok = false;
    } else {
        PressUpdate(main);
        ok = Answer(main, "will be replaced", IDYES, "confirm") &&
             Answer(main, "The update stopped", IDOK, "failure");
        if (ok && WaitForBox(main, 1500) != nullptr) {
            std::printf("FAIL a further box followed the failure\n");
            ok = false;
        }
        CloseHandle(held);
    }
    if (ok) {
        PressUpdate(main);
        ok = Answer(main, "will be replaced", IDYES, "confirm again") &&
             Answer(main, "The target folder is up to date", IDOK, "success");
    }
    if (ok) {
        PrintList(main);
        if (ListCount(main) != 0) {
            std::printf("FAIL the list is not empty after the update\n");
            ok = false;
        }
        PressUpdate(main);
        ok = Answer(main, "nothing to copy", IDOK, "nothing left") && ok;
    }
    if (ok) {
        PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDC_SHOWHELP, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(main, IDC_SHOWHELP)));
        HWND notepad = nullptr;
        for (int i = 0; i < 100 && notepad == nullptr; ++i) {
            notepad = FindWindowA("Notepad", nullptr);
            if (!notepad) Sleep(100);
        }
        char title[256] = "";
        if (notepad) GetWindowTextA(notepad, title, sizeof title);
        std::printf("help window: [%s]\n", title);
        if (notepad == nullptr || std::strstr(title, "Quodpost.hlp") == nullptr) {
            std::printf("FAIL Help did not open Quodpost.hlp in Notepad\n");
            ok = false;
        }
        if (notepad) PostMessageA(notepad, WM_CLOSE, 0, 0);
    }
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
        std::printf("FAIL the program did not close\n");
        TerminateProcess(process.hProcess, 1);
        ok = false;
    }
    CloseHandle(process.hProcess);
    std::printf(ok ? "PASS\n" : "FAIL\n");
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::printf("usage: drive_quodpost <Quodpost.exe> <source> <target> <busy file> <pause ms>\n");
        return 2;
    }
    return Run(argv[1], argv[2], argv[3], argv[4],
               static_cast<DWORD>(std::strtoul(argv[5], nullptr, 10)));
}
