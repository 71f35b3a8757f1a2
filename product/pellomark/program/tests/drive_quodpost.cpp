// Drives Quodpost.exe from outside as a user would: starts it on two
// folders, presses Update and answers its boxes, first with one target file
// held open so that its copy fails, then until nothing is left to copy;
// last, Help must open the help file in Notepad. Run by wine_check.sh,
// which checks the files.
// Usage: drive_quodpost <Quodpost.exe> <source> <target> <busy file> <pause ms>
#include <process.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <tuple>

#include "resource.h"

namespace {

bool failed = false;

bool Check(bool holds, const char* what, const char* seen = "")
{
    return failed |= !holds, std::printf("%s %s [%s]\n", holds ? "ok" : "FAIL", what, seen), holds;
}

void Click(HWND wnd, int id) { PostMessageA(wnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

// What the user does and sees: the button pressed (0: none), the words of
// the box that must follow (none: no box may), and the answer to it.
const std::tuple<int, const char*, int> kSteps[] = {
    {IDC_UPDATE, "will be replaced", IDYES},
    {0, "The update stopped", IDOK},
    {0, nullptr, IDOK},  // the held file
    {IDC_UPDATE, "will be replaced", IDYES},
    {0, "The target folder is up to date", IDOK},
    {IDC_UPDATE, "nothing to copy", IDOK},
};

void Drive(HWND main, HANDLE held)
{
    for (const auto& [press, words, answer] : kSteps) {
        if (press)
            Click(main, press);
        // The program's box is the popup of its window that was last active;
        // a message box's text is its control 0xFFFF.
        HWND box = main;
        for (DWORD waited = 0; box == main && waited <= (words ? 10000u : 1500u); waited += 100)
            Sleep((box = GetLastActivePopup(main)) == main ? 100 : 0);
        char text[2048] = "";
        if (box != main)
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text), Click(box, answer);
        for (int i = 0; i < 50 && box != main && IsWindow(box); ++i)
            Sleep(100);
        Check(words ? std::strstr(text, words) != nullptr : box == main, words ? words : "no box",
              text);
        if (!words)
            CloseHandle(held);
    }
    Check(SendDlgItemMessageA(main, IDC_LIST, LB_GETCOUNT, 0, 0) == 0, "the list is emptied");
    Click(main, IDC_SHOWHELP);
    // Notepad's window is titled "Untitled" until it has read the file.
    char title[256] = "";
    for (int i = 0; i < 100 && !std::strstr(title, "Quodpost.hlp"); ++i, Sleep(100))
        GetWindowTextA(FindWindowA("Notepad", nullptr), title, sizeof title);
    Check(std::strstr(title, "Quodpost.hlp") != nullptr, "Help opens it in Notepad", title);
    PostMessageA(FindWindowA("Notepad", nullptr), WM_CLOSE, 0, 0);
}

}  // namespace

int main(int, char** argv)
{
    // The paths hold no blanks, so they go through as they are.
    const intptr_t process = _spawnl(_P_NOWAIT, argv[1], argv[1], argv[2], argv[3], nullptr);
    Check(process != -1, "the program starts", argv[1]);
    HWND main = nullptr;
    for (int i = 0; i < 100 && (main = FindWindowA("#32770", MAIN_CAPTION)) == nullptr; ++i)
        Sleep(100);
    // wine_check.sh takes its screenshot of the filled list now.
    std::printf("READY\n"), std::fflush(stdout);
    Sleep(static_cast<DWORD>(std::strtoul(argv[5], nullptr, 10)));
    // One target file held open without sharing: its copy must fail.
    HANDLE held = CreateFileA(argv[4], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (Check(main && held != INVALID_HANDLE_VALUE, "its window shows, the busy file is held"))
        Drive(main, held);
    Click(main, IDCANCEL);
    Check(WaitForSingleObject(HANDLE(process), 10000) == WAIT_OBJECT_0, "the program closes");
    return std::printf(failed ? "FAIL\n" : "PASS\n"), failed;
}
