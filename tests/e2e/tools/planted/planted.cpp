// A DLL an attacker might plant beside a downloaded installer. Loaded, it
// leaves a mark file C:\planted-<name>.txt; its functions answer like the
// real ones would fail, so a program that loads it cannot install quietly.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#ifndef PLANT_NAME
#error PLANT_NAME must name the DLL
#endif

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        HANDLE mark = CreateFileA("C:\\planted-" PLANT_NAME ".txt", GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (mark != INVALID_HANDLE_VALUE) {
            DWORD written;
            WriteFile(mark, "loaded\r\n", 8, &written, nullptr);
            CloseHandle(mark);
        }
    }
    return TRUE;
}

extern "C" {
__declspec(dllexport) INT WINAPI LZOpenFileA(LPSTR, void*, WORD) { return -1; }
__declspec(dllexport) INT WINAPI LZRead(INT, LPSTR, INT) { return -1; }
__declspec(dllexport) VOID WINAPI LZClose(INT) {}
__declspec(dllexport) BOOL WINAPI ImageList_Draw(void*, int, HDC, int, int, UINT) { return FALSE; }
}
